// The interactive monitor: stops the machine, inspects and changes it,
// single-steps it, and keeps breakpoints and watchpoints.
//
// It runs modally on the emulation thread: monitorEnter reads command lines
// from its console until the user types x. The processor enters it with
// reason 1 when a breakpoint or watchpoint has set breakRequest; the host
// opens it with reason 0 (menu, or --monitor on the headless runner).
// Breakpoints and watchpoints live in WatchFlags (cpu/bus.h) and are put into
// effect with setReadWatch/setWriteWatch; they survive closing and resets.
#pragma once

#include "monitor/console.h"

#include <cstdint>

// Why the monitor opens.
enum : int {
    MonitorOpenedByUser = 0,
    MonitorStopped = 1, // breakpoint or watchpoint
};

// Set while the monitor is open; it is not re-entered then.
extern bool monitorOpen;
// Current address of the memory commands; MonitorNoAddress until first set.
extern uint32_t monitorCurrent;
constexpr uint32_t MonitorNoAddress = 0xFFFFFFFFu;

// Host operations around an opening; every field may be empty.
struct MonitorHost {
    void (*pauseSound)();
    void (*resumeSound)();
    void (*resetPacing)();
    int closeDelayMs; // pause after the console is released, before pacing resumes
};

// The console and host the monitor uses from now on. Without a console the
// monitor talks to standard input and output.
void monitorSetConsole(const MonitorConsole* console);
void monitorSetHost(const MonitorHost* host);

// Opens the monitor. reason MonitorStopped reports the stop at ip first.
// Returns 0 at once when the monitor is already open; otherwise 1 after the
// user has left it (breakRequest is then clear).
int monitorEnter(int reason, uint16_t ip);
