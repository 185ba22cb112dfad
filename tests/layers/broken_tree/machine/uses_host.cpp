// Breaks the rule twice: a core file may not include host headers.
#include <QWidget>
#include <cstdint>

#include "host/sound/drivers.h"
#include "machine/memory.h"
