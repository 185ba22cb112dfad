// The monitor's console: a record of operations through which the monitor
// talks to its user, so the same monitor runs on a terminal (standard input
// and output) or in a console window of the desktop program.
#pragma once

// Text attributes of the monitor's output.
enum : int {
    MonitorTextNormal = 10, // bright green: ordinary output
    MonitorTextBright = 15, // bright white: help text and register lines
};

struct MonitorConsole {
    void* context;
    // Makes the console ready, with the given window title; 1 on success, 0
    // when no console can be had.
    int (*open)(void* context, const char* title);
    void (*close)(void* context);
    // Writes text in one of the attributes above.
    void (*write)(void* context, const char* text, int attribute);
    // Reads one line into line (at most size - 1 characters, ending in '\n',
    // zero-terminated); the rest of a longer line is dropped. 0 at end of
    // input.
    int (*readLine)(void* context, char* line, int size);
    // Width of the console in columns.
    int (*columns)(void* context);
};
