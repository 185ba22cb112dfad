// Breaks the rule on purpose: a shared host layer that knows the desktop.
#include "host/qt/main_window.h"
#include "host/text/screen_text.h"
