// A monitor console on a pair of stdio streams (the headless runner uses
// standard input and output). The two text attributes become ANSI colours
// only when the output stream is a terminal. Once the input has ended the
// console no longer opens, so later stops of a scripted run pass silently.
#pragma once

#include "monitor/console.h"

#include <cstdio>

struct TerminalConsole {
    std::FILE* in;
    std::FILE* out;
    bool colour;       // write ANSI colour sequences
    int lastAttribute; // attribute of the colour sequence last written, or -1
    bool inputEnded;   // end of input seen: the console cannot be opened again
};

// Sets up a terminal console on in and out; colour is used when out is a
// terminal.
void terminalConsoleInit(TerminalConsole& terminal, std::FILE* in, std::FILE* out);
// The console record that drives terminal.
MonitorConsole terminalMonitorConsole(TerminalConsole* terminal);
