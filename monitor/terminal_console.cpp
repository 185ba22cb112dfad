// Monitor console on stdio streams: line input with fgets, output with
// fputs, colours as ANSI sequences on a terminal, the width from the
// terminal's window size (80 columns when it is not a terminal).
#include "monitor/terminal_console.h"

#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

TerminalConsole* asTerminal(void* context) { return static_cast<TerminalConsole*>(context); }

int openTerminal(void* context, const char* title) {
    TerminalConsole* t = asTerminal(context);
    if (!t->in || !t->out || t->inputEnded) return 0;
    if (t->colour) std::fprintf(t->out, "\033]0;%s\007", title);
    t->lastAttribute = -1;
    return 1;
}

void closeTerminal(void* context) {
    TerminalConsole* t = asTerminal(context);
    if (t->colour && t->lastAttribute != -1) std::fputs("\033[0m", t->out);
    t->lastAttribute = -1;
    std::fflush(t->out);
}

void writeTerminal(void* context, const char* text, int attribute) {
    TerminalConsole* t = asTerminal(context);
    if (t->colour && attribute != t->lastAttribute) {
        std::fputs(attribute == MonitorTextBright ? "\033[1;97m" : "\033[0;92m", t->out);
        t->lastAttribute = attribute;
    }
    std::fputs(text, t->out);
}

int readTerminalLine(void* context, char* line, int size) {
    TerminalConsole* t = asTerminal(context);
    if (size < 2) return 0;
    std::fflush(t->out);
    if (!std::fgets(line, size, t->in)) {
        t->inputEnded = true;
        return 0;
    }
    size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') return 1;
    // Too long for the buffer, or the last line without its newline: drop the
    // rest of the line so that it is not read as the next command.
    int c;
    while ((c = std::fgetc(t->in)) != EOF && c != '\n') {
    }
    if (length == static_cast<size_t>(size - 1)) --length;
    line[length] = '\n';
    line[length + 1] = '\0';
    return 1;
}

int terminalColumns(void* context) {
    TerminalConsole* t = asTerminal(context);
    winsize size{};
    if (isatty(fileno(t->out)) && ioctl(fileno(t->out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

void terminalConsoleInit(TerminalConsole& terminal, std::FILE* in, std::FILE* out) {
    terminal.in = in;
    terminal.out = out;
    terminal.colour = out && isatty(fileno(out));
    terminal.lastAttribute = -1;
    terminal.inputEnded = false;
}

MonitorConsole terminalMonitorConsole(TerminalConsole* terminal) {
    return MonitorConsole{terminal,      openTerminal,     closeTerminal,
                          writeTerminal, readTerminalLine, terminalColumns};
}
