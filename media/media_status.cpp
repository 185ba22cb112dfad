// Status texts from the storage devices, formatted and handed to the front
// end's writer when one is installed.
#include "media/media_status.h"

#include <cstdarg>
#include <cstdio>

static MediaStatusWriter statusWriter = nullptr;

void SetMediaStatusWriter(MediaStatusWriter writer) { statusWriter = writer; }

void MediaStatus(int field, const char* format, ...) {
    char text[432];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (statusWriter) statusWriter(field, text);
}
