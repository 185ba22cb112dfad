// The scripted console's operations.
#include "script_console.h"

#include <cstring>

namespace {

ScriptConsole* self(void* context) { return static_cast<ScriptConsole*>(context); }

int open(void* context, const char* title) {
    ScriptConsole* s = self(context);
    if (s->openFails) return 0;
    ++s->opens;
    s->title = title;
    return 1;
}

void close(void* context) { ++self(context)->closes; }

void write(void* context, const char* text, int attribute) {
    ScriptConsole* s = self(context);
    s->out += text;
    if (attribute == MonitorTextBright) s->bright += text;
}

int readLine(void* context, char* line, int size) {
    ScriptConsole* s = self(context);
    if (s->next >= s->lines.size()) return 0;
    if (s->beforeLine) s->beforeLine(s->next);
    std::string text = s->lines[s->next++] + "\n";
    std::strncpy(line, text.c_str(), static_cast<size_t>(size - 1));
    line[size - 1] = '\0';
    return 1;
}

int columnsOf(void* context) { return self(context)->columns; }

} // namespace

MonitorConsole ScriptConsole::record() {
    return MonitorConsole{this, open, close, write, readLine, columnsOf};
}
