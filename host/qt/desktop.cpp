// Start-up, main loop and shutdown of the desktop program; see desktop.h.
#include "host/qt/desktop.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <xcb/xcb.h>

#include "abc80/abc80.h"
#include "abc80/history.h"
#include "cpu/z80.h"
#include "host/qt/console_window.h"
#include "host/qt/debugger_window.h"
#include "host/qt/key_queue.h"
#include "host/qt/language.h"
#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "host/qt/status_bar.h"
#include "host/qt/window_extras.h"
#include "host/qt/x11_colormap.h"
#include "host/session/frames.h"
#include "host/session/session.h"
#include "host/session/typing.h"
#include "host/sound/drivers.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"
#include "media/tape_deck.h"
#include "monitor/debug.h"
#include "monitor/monitor.h"
#include "sound/mixer.h"

Desktop desktop;

namespace {

// The monitor's console window, while the desktop runs the monitor.
DesktopConsole console;

PaceClock steadyClock;

void pauseSoundForMonitor() { PauseSound(); }
void resumeSoundForMonitor() {
    if (desktop.running) ResumeSound();
}
void resetPacingForMonitor() { ResetPacing(); }

const MonitorHost DesktopMonitorHost = {pauseSoundForMonitor, resumeSoundForMonitor,
                                        resetPacingForMonitor, 0};

void showTitle(uint32_t percent, int32_t fps) {
    if (!desktop.window) return;
    desktop.window->setWindowTitle(QString::fromStdString(FormatTitle(percent, fps)));
    uint64_t bytes = 0;
    if (SoundRecordingBytes(&bytes))
        ShowStatus("Sound recording %llu kB so far, press Alt+U to stop...",
                   static_cast<unsigned long long>(bytes / 1024));
    else if (desktop.window->isChecked(CmdSoundRecording) && !SoundRecordingFailure().empty()) {
        desktop.window->setChecked(CmdSoundRecording, false); // it stopped on a write failure
        ShowStatus("Sound recording stopped: %s.", SoundRecordingFailure().c_str());
    }
}

// Printer output that could not be written is lost: said once, when it
// happens, in the status bar and a message box. Printing again after the
// cause is gone (the folder made again, say) works without a word.
void reportPrinterFailure() {
    if (PrinterFailure() == desktop.shownPrinterFailure) return;
    desktop.shownPrinterFailure = PrinterFailure();
    if (desktop.shownPrinterFailure.empty()) return;
    const std::string text = "Printer output lost: " + desktop.shownPrinterFailure + ".";
    ShowStatus("%s", text.c_str());
    PauseSound();
    desktop.window->showError("Error", QString::fromLocal8Bit(text.c_str()));
    if (desktop.running) ResumeSound();
    ResetPacing();
}

int displayRefreshRate() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<int>(std::lround(screen->refreshRate())) : 0;
}

// SIGINT and SIGTERM close the window through a pipe the event loop watches.
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    char byte = 1;
    ssize_t written = write(signalPipe[1], &byte, 1);
    (void)written;
}

xcb_atom_t atomNamed(const char* name) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return XCB_ATOM_NONE;
    xcb_connection_t* connection = x11->connection();
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// The main window gone or asked to close while a modal dialog is open: the
// dialogs are closed (their waits end as on Cancel) and the program ends.
void quitFromModalDialogs() {
    desktop.quitRequested = true;
    while (QWidget* modal = QApplication::activeModalWidget())
        if (!modal->close()) break;
    if (console.window) console.window->windowLost();
}

// Two things from the window manager that Qt does not pass on:
// - A window of ours that the X server destroys (xdotool windowclose, a
//   client killed by the window manager) sends no close event: Qt goes on
//   waiting for it. The monitor's console then ends its wait as on a close,
//   and the main window's loss ends the program, a modal dialog included.
// - The close request of the main window (its close button) while a modal
//   dialog is open: Qt drops it, as the dialog blocks the window. It ends
//   the program all the same, closing the dialog first.
class WindowLossFilter : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || !desktop.window) return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const uint8_t kind = event->response_type & 0x7F;
        if (kind == XCB_CLIENT_MESSAGE) {
            const auto* client = static_cast<const xcb_client_message_event_t*>(message);
            if (client->window != desktop.window->internalWinId() || client->format != 32 ||
                !QApplication::activeModalWidget())
                return false;
            if (!protocols) {
                protocols = atomNamed("WM_PROTOCOLS");
                deleteWindow = atomNamed("WM_DELETE_WINDOW");
            }
            if (client->type == protocols && client->data.data32[0] == deleteWindow &&
                deleteWindow != XCB_ATOM_NONE)
                QTimer::singleShot(0, [] { quitFromModalDialogs(); });
            return false;
        }
        if (kind != XCB_DESTROY_NOTIFY) return false;
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
        if (desktop.debugger && desktop.debugger->internalWinId() == destroyed->window) {
            // The debugger's window lost: the machine goes on as on a close.
            QTimer::singleShot(0, [] {
                if (desktop.debugger) desktop.debugger->close();
            });
        } else if (console.window && console.window->internalWinId() == destroyed->window) {
            QTimer::singleShot(0, [] {
                if (console.window) console.window->windowLost();
            });
        } else if (desktop.window->internalWinId() == destroyed->window) {
            QTimer::singleShot(0, [] { quitFromModalDialogs(); });
        }
        return false;
    }

  private:
    xcb_atom_t protocols = XCB_ATOM_NONE;
    xcb_atom_t deleteWindow = XCB_ATOM_NONE;
};

void watchSignals(QObject* owner) {
    if (pipe(signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] {
        char byte;
        ssize_t got = read(signalPipe[0], &byte, 1);
        (void)got;
        // Dialogs and message boxes are closed too, so a modal wait ends.
        desktop.quitRequested = true;
        QApplication::closeAllWindows();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool displayAvailable() {
    if (std::getenv("QT_QPA_PLATFORM")) return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

void printUsage() {
    std::printf("usage: orvane [FILE] [--terminal-monitor] [--debugger [SYMBOLS]]\n"
                "       orvane --headless [options]   (see orvane --headless --help)\n\n"
                "Opens the emulator's window; FILE (.bac, .bas, .atp or .wav) is loaded and\n"
                "started. --terminal-monitor keeps the interactive monitor on this terminal.\n"
                "--debugger opens the debugger window at the start; SYMBOLS, a symbol file\n"
                "(NAME EQU value, NAME: value), is loaded into it.\n");
}

} // namespace

bool DebuggerSymbolArgument(const std::string& argument) {
    if (argument.empty() || argument[0] == '-') return false;
    std::string extension = argument.size() > 4 ? argument.substr(argument.size() - 4) : "";
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension != ".bac" && extension != ".bas" && extension != ".atp" && extension != ".wav";
}

void ResetPacing() {
    if (desktop.pacer.clock) ResetPacing(desktop.pacer);
}

int StartDesktop(const DesktopOptions& options) {
    desktop = Desktop();
    ClearKeyQueue();
    if (QCoreApplication* app = QCoreApplication::instance()) UseDefaultColormapForNewWindows(*app);
    desktop.window = new MainWindow();
    if (options.messageBox) desktop.window->messageBox = options.messageBox;
    SetStatusBar(desktop.window->status());

    desktop.store = std::make_unique<QSettings>("Emulators", "Orvane");
    ReadAllSettings(*desktop.store);
    ApplyLanguage(LanguageSetting);
    desktop.window->retranslateMenus();

    const SessionStart start = StartSession();
    if (!start.warning.empty()) std::fprintf(stderr, "%s\n", start.warning.c_str());

    InitSoundSystem();
    ShutdownSoundSystem();
    // A missing sound device is no reason to stop: the next driver plays,
    // or none, and the message area says so once the window is up.
    const uint32_t soundChoice = SoundDriverSetting;
    OpenWorkingSoundDriver(soundChoice);

    desktop.frameBuffer.assign(FrameBufferBytes, 0);

    if (!options.clock) {
        steadyClock = SteadyPaceClock();
        desktop.clock = steadyClock;
    } else {
        desktop.clock = *options.clock;
    }
    desktop.pacer.onTitle = showTitle;
    int refresh = options.refreshHz ? options.refreshHz : displayRefreshRate();
    // A saved "no limit" is kept; the pacer starts it with the display
    // interval a switch to it would give.
    InitPacer(desktop.pacer, desktop.clock, SyncSpeed, refresh);
    SyncSpeed = desktop.pacer.speedIndex;

    monitorSetHost(&DesktopMonitorHost);
    monitorSetConsole(nullptr);
    desktop.windowMonitor = !options.terminalMonitor;
    if (!options.terminalMonitor) {
        static MonitorConsole monitorConsole;
        console = DesktopConsole();
        console.owner = desktop.window;
        monitorConsole = DesktopMonitorConsole(&console);
        monitorSetConsole(&monitorConsole);
    }

    desktop.window->markChoices();
    VideoDriverSetting = desktop.window->video()->SelectVideoDriver(VideoDriverSetting);
    desktop.window->markChoices();
    desktop.window->markRoms();
    // The same line the headless runner prints: what actually runs.
    ShowStatus("%s", start.romLine.c_str());
    // The menu ticks the sound driver that runs.
    desktop.window->reportSoundDriver(soundChoice);
    if (SoundDriverSetting != soundChoice) {
        // Stored at once, as a clean exit would store it: a machine without
        // that sound device is told once, not at every start until then.
        desktop.store->setValue("SoundDriver", SoundDriverSetting);
        desktop.store->sync();
    }

    desktop.window->setRecentFiles(desktop.store->value("RecentFiles").toStringList());
    RestoreWindowGeometry(*desktop.store, desktop.window);
    if (options.showWindow) desktop.window->show();
    if (options.debugger) OpenDebugger(QString::fromLocal8Bit(options.symbolFile.c_str()));
    ResetPacing();
    return 1;
}

int StartWithFile(const std::string& path) {
    runFramesBlind(50);
    int loaded = desktop.window->LoadFileByExtension(path, LoadStart::Autostart);
    ResetPacing();
    return loaded;
}

namespace {

// The machine's part of a frame: the next key from the key queue, then the
// session's frame. An open recording is fed whatever the driver, "No sound"
// included.
void runMachineFrame(uint8_t* picture) {
    if (!framePending()) DeliverQueuedKey();
    RunSessionFrame(CycleBased != 0, picture, desktop.pitchShift,
                    SoundDriverSetting != 0 || SoundRecordingBytes(nullptr));
}

std::string speedName(uint32_t index) {
    if (index == 0 || index >= SpeedCount) return "no limit";
    return std::to_string(SpeedPercent[index]) + "%";
}

} // namespace

void UpdateFastTape() {
    const std::string message = FollowFastTape(FastTape != 0, true, speedName(SyncSpeed));
    if (message.empty()) return;
    desktop.fastTape = FastTapeOn();
    desktop.pacer.unlimited = desktop.fastTape;
    ShowStatus("%s", message.c_str());
    ResetPacing();
}

void StartRewind(int how) {
    if (desktop.rewinding) return;
    if (historyReach().snapshots == 0) {
        ShowStatus("%s", "Nothing to rewind yet.");
        desktop.window->setChecked(CmdRewind, false);
        return;
    }
    desktop.rewinding = how;
    desktop.rewindTicks = 0;
    ReleaseMachineKeys();
    PauseSound();
    desktop.window->setChecked(CmdRewind, true);
    ShowStatus("%s", "Rewinding: the last seconds play backwards.");
}

void StopRewind() {
    if (!desktop.rewinding) return;
    desktop.rewinding = 0;
    desktop.window->setChecked(CmdRewind, false);
    ShowStatus("%s", "");
    ResetSoundOutput();
    ResumeSound();
    ResetPacing();
}

namespace {

// A displayed frame while rewinding: every few frames the snapshot before
// the one shown, drawn from its video memory.
void showRewindFrame(uint8_t* picture) {
    if (++desktop.rewindTicks < RewindFramesPerSnapshot) return;
    desktop.rewindTicks = 0;
    if (!historyRewindStep()) {
        StopRewind();
        ShowStatus("%s", "Rewound as far as the history reaches.");
        return;
    }
    desktop.pitchShift = framePitchShift();
    for (int line = 0; line < VisibleLines; line++)
        renderLine(line, picture, desktop.pitchShift);
}

} // namespace

void RunOneFrame() {
    uint8_t* picture = desktop.frameBuffer.data();
    if (desktop.rewinding) {
        showRewindFrame(picture);
        desktop.window->video()->PresentFrame(picture, frameWidth(desktop.pitchShift),
                                              VisibleLines);
        PaceFrame(desktop.pacer);
        return;
    }
    desktop.pitchShift = framePitchShift();
    UpdateFastTape();
    int frames = 0;
    if (desktop.fastTape) {
        const PaceClock& clock = *desktop.pacer.clock;
        const int64_t start = clock.now();
        const int64_t period =
            desktop.pacer.displayInterval ? desktop.pacer.displayInterval : clock.frequency / 50;
        do {
            runMachineFrame(picture);
            frames++;
        } while (frames < FastTapeBatchFrames && TapeMotorRunning() && !debugStopped() &&
                 clock.now() - start < period);
    } else {
        runMachineFrame(picture);
        frames = 1;
    }
    PresentMachinePicture();
    desktop.window->showDrives();
    desktop.pacer.framesInWindow += static_cast<uint32_t>(frames - 1);
    PaceFrame(desktop.pacer);
    UpdateFastTape();
    reportPrinterFailure();
    // The frame stopped on its way: the machine waits for the debugger
    // window, or else for the monitor.
    if (DebuggerTakesStops())
        desktop.debugger->afterFrame();
    else if (debugStopped() && !monitorOpen)
        OpenMonitor(MonitorStopped);
}

void PresentMachinePicture() {
    uint8_t* picture = desktop.frameBuffer.data();
    if (!CycleBased)
        for (int line = 0; line < VisibleLines; line++)
            renderLine(line, picture, desktop.pitchShift);
    desktop.window->video()->PresentFrame(picture, frameWidth(desktop.pitchShift), VisibleLines);
}

// True while an open menu holds the frames. A count left over by a menu that
// closed without telling (so that no popup is open any more) is dropped, so
// the machine can never stay frozen behind a menu that is gone.
bool MenuHoldsFrames() {
    if (desktop.menusOpen <= 0) return false;
    if (QApplication::activePopupWidget()) return true;
    desktop.menusOpen = 0;
    if (desktop.running) ResumeSound();
    ReleaseMachineKeys();
    ResetPacing();
    return false;
}

void OpenMonitor(int reason) {
    if (desktop.windowMonitor)
        monitorBegin(reason, cpu.IP);
    else
        monitorEnter(reason, cpu.IP);
}

bool MonitorHoldsFrames() { return monitorOpen; }

void RunMainLoop() {
    bool wasRunning = desktop.running;
    while (!desktop.quitRequested) {
        if (!desktop.running || MenuHoldsFrames() || MonitorHoldsFrames() ||
            DebuggerHoldsFrames()) {
            ResetPacing();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            ResetPacing();
            if (desktop.running && !wasRunning && SoundDriverSetting != 0) ResumeSound();
            wasRunning = desktop.running;
            continue;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (desktop.quitRequested || !desktop.running || MenuHoldsFrames() ||
            MonitorHoldsFrames() || DebuggerHoldsFrames())
            continue;
        RunOneFrame();
    }
}

void ShutdownDesktop() {
    // A monitor still open ends with the program: its console goes with the
    // window, and nothing of it is left for a next start.
    monitorEnd();
    ShutdownSoundSystem();
    CloseTape();
    if (desktop.store) {
        if (desktop.window) SaveWindowGeometry(*desktop.store, desktop.window);
        if (!WriteAllSettings(*desktop.store))
            std::fprintf(stderr, "The settings could not be stored.\n");
        desktop.store.reset();
    }
    SetStatusBar(nullptr);
    desktop.debugger = nullptr; // goes with its owner, the window
    delete desktop.window;
    desktop.window = nullptr;
}

int RunDesktop(int argc, char** argv) {
    DesktopOptions options;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage();
            return 0;
        }
        if (arg == "--terminal-monitor") {
            options.terminalMonitor = true;
        } else if (arg == "--debugger") {
            options.debugger = true;
            // The next argument is the symbol file unless it is an option or
            // a file the machine loads.
            if (i + 1 < argc && DebuggerSymbolArgument(argv[i + 1])) options.symbolFile = argv[++i];
        } else if (arg.rfind("--debugger=", 0) == 0) {
            options.debugger = true;
            options.symbolFile = arg.substr(11);
        } else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "orvane: unknown option '%s' (see orvane --help)\n", arg.c_str());
            return 2;
        } else if (options.file.empty()) {
            options.file = arg;
        }
    }
    if (!displayAvailable()) {
        std::fprintf(stderr, "orvane: no display to open a window on (DISPLAY is not set).\n"
                             "Run 'orvane --headless' to use the machine without a window.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Emulators");
    QApplication::setApplicationName("Orvane");
    watchSignals(&app);
    WindowLossFilter windowLoss;
    app.installNativeEventFilter(&windowLoss);
    StartDesktop(options);
    if (!options.file.empty()) StartWithFile(options.file);
    RunMainLoop();
    ShutdownDesktop();
    return 0;
}
