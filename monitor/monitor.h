// The interactive monitor: stops the machine, inspects and changes it,
// single-steps it, and keeps breakpoints and watchpoints.
//
// It is one text front end of the debug layer (monitor/debug.h), opened by a
// front end while the machine waits between two instructions: with reason
// MonitorStopped after a frame call returned at a stop (debugStopped), or
// with reason MonitorOpenedByUser between frames (menu, or --monitor on the
// headless runner). The machine does not run while it is open, except for
// the steps its z command asks for. Leaving it resumes the debug layer, and
// the front end's next frame call goes on where the machine stopped.
//
// Two ways to drive it: monitorEnter reads lines from its console until x
// (a terminal, the tests); monitorBegin, monitorCommand and monitorEnd take one
// line at a time from a front end that has its own event loop (the desktop).
// Breakpoints and watchpoints are the debug layer's; they survive closing
// and resets.
#pragma once

#include "monitor/console.h"

#include <cstdint>
#include <string>

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

// The machine's history, for the commands that go back in time; connected
// by the machine's owner. Each jump returns false with the reason in message
// when it cannot go back, and a line for the user otherwise. changed is
// told when a command changed memory or registers (the history starts again
// there). Without it the commands say there is no history.
struct MonitorHistory {
    bool (*stepBack)(std::string& message);
    bool (*backToBreakpoint)(std::string& message);
    bool (*backFrames)(uint32_t frames, std::string& message);
    bool (*whoWrote)(uint16_t address, std::string& message);
    void (*changed)();
};
void monitorSetHistory(const MonitorHistory* history);

// The console and host the monitor uses from now on. Without a console the
// monitor talks to standard input and output.
void monitorSetConsole(const MonitorConsole* console);
void monitorSetHost(const MonitorHost* host);

// Opens the monitor. reason MonitorStopped reports the stop at ip first.
// Returns 0 at once when the monitor is already open; otherwise 1 after the
// user has left it.
int monitorEnter(int reason, uint16_t ip);

// Opens the monitor and writes its greeting (and the stop); 1 when open, 0
// when it already was, -1 when the console could not open (it is closed).
int monitorBegin(int reason, uint16_t ip);
// Runs one command line; false when it closed the monitor (x).
bool monitorCommand(const char* line);
// Closes the monitor as x would (the console went away).
void monitorEnd();
