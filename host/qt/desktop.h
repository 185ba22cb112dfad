// The desktop program: start-up, the main loop and shutdown. One thread does
// everything: window events, emulation, presentation, sound mixing and
// pacing. Each pass of the loop handles the waiting events, then (while the
// machine runs and no menu is open) runs one frame: the frame driver, the
// picture to the video view, the mixer up to TCOUNT, and the pacer's wait.
// Fast tape: while the cassette motor runs with a tape playing or recording,
// the machine runs as fast as it can with the sound muted; emulated time, and
// so every byte on the tape, is the same as at the chosen speed.
#pragma once

#include <QSettings>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/qt/pacing.h"

class DebuggerWindow;
class MainWindow;

struct Desktop {
    PaceClock clock;
    FramePacer pacer;
    std::vector<uint8_t> frameBuffer;
    std::string shownPrinterFailure; // the printer failure the user was told of
    int pitchShift = 0;
    bool running = true; // false while paused
    bool paused = false;
    bool quitRequested = false;
    bool fastTape = false;     // the tape moves with "Fast tape" on: no limit, sound muted
    int menusOpen = 0;         // frames stop while a menu is open
    bool windowMonitor = true; // the monitor talks in a console window, not the terminal
    int rewinding = 0;         // RewindByMenu or RewindByKey while the machine plays backwards
    int rewindTicks = 0;       // frames shown since the last snapshot
    MainWindow* window = nullptr;
    DebuggerWindow* debugger = nullptr; // created when first opened, owned by the window
    std::unique_ptr<QSettings> store;
};

extern Desktop desktop;

struct DesktopOptions {
    std::string file;                 // loaded and started after start-up
    bool terminalMonitor = false;     // the monitor talks to the terminal
    int refreshHz = 0;                // 0: as the screen reports
    const PaceClock* clock = nullptr; // nullptr: the steady clock
    bool showWindow = true;
    bool debugger = false;  // the debugger window opens at the start
    std::string symbolFile; // loaded into the debugger window
    // Replaces the window's message boxes from the start (tests).
    std::function<void(const QString& caption, const QString& text)> messageBox;
};

// Restarts the frame schedule from now (after every modal wait).
void ResetPacing();
// Opens the interactive monitor (reason as monitorEnter's). In its console
// window it stays open while the event loop runs and frames wait; on the
// terminal it reads its lines there before this returns.
void OpenMonitor(int reason);
// True while the machine waits for the monitor: no frames run.
bool MonitorHoldsFrames();

// Start-up up to the shown window; 1 on success.
int StartDesktop(const DesktopOptions& options);
// The command-line file: blind frames, then the autostart of the file (reset,
// blind frames, load, then "LOAD CAS:\r" for a WAV file or "RUN\r" for a
// program). 1 when loaded.
int StartWithFile(const std::string& path);
// One frame: produce the picture, present it, mix the sound, pace. A frame
// that stops at a breakpoint, watch or step is presented as far as it got,
// and the debugger window shows the stop when it is open, else the monitor
// opens; the frame goes on after the machine is let go. While
// the tape moves with "Fast tape" on, frames run back to back for one display
// period (at most FastTapeBatchFrames), and only the last is drawn.
void RunOneFrame();

// Rewind for players: while on, the frames show the history's snapshots
// backwards (one every RewindFramesPerSnapshot displayed frames, five times
// real time at the default snapshot interval) instead of running the
// machine; when it ends, the machine goes on from the last one shown. It
// ends by itself at the oldest snapshot.
enum : int { RewindByMenu = 1, RewindByKey = 2 };
constexpr int RewindFramesPerSnapshot = 2;
void StartRewind(int how);
void StopRewind();

// The picture of the machine as it is now, presented in the window (after
// steps the debugger ran outside the main loop).
void PresentMachinePicture();
// True while an open menu holds the frames (see desktop.cpp).
bool MenuHoldsFrames();
constexpr int FastTapeBatchFrames = 250;
// Enters or leaves fast tape as the tape and the setting say: the limit
// lifted and the sound muted, or back to the chosen speed; the status bar
// says which.
void UpdateFastTape();
// Loops until the window is closed (or SIGINT/SIGTERM arrives).
void RunMainLoop();
// Sound system down (completing recordings), settings written, window gone.
void ShutdownDesktop();

// True when the argument after --debugger is its symbol file: not an option
// and not a file the machine loads (.bac, .bas, .atp, .wav).
bool DebuggerSymbolArgument(const std::string& argument);
// The whole program; argv may name one file to load and start.
int RunDesktop(int argc, char** argv);
