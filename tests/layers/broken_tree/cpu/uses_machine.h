// Breaks the rule: the processor may not name the machine.
#include "machine/memory.h"
