// The headless runner's option table, its frame loop and its outputs.
#include "host/headless.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "cpu/z80.h"
#include "files/file_write.h"
#include "host/session/frames.h"
#include "host/session/media_commands.h"
#include "host/session/session.h"
#include "host/session/typing.h"
#include "host/sound/drivers.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"
#include "media/disk_card.h"
#include "media/media_file.h"
#include "media/media_status.h"
#include "media/tape_deck.h"
#include "monitor/debug.h"
#include "monitor/monitor.h"

namespace {

// Settings that must be in place before machineInit.
struct MachineChoices {
    long basic = -1; // -1: keep the machine's default
    long dos = -1;
    std::string romFolder;
    bool romFolderSet = false;
};

// Sound: played through a driver at real-time pace, and/or recorded as WAV in
// emulated time. Either brings the mixer up to the cycle counter after every
// frame. Fast tape: while the tape moves, a playing run leaves real time and
// mutes the driver (the recording keeps every sample).
struct SoundChoices {
    bool play = false;
    std::string recordPath;
    bool hooked = false;
    bool fastTape = true;
    std::chrono::steady_clock::time_point next = std::chrono::steady_clock::now();
};

// What the options of one run chose. RunHeadless starts every run from a
// fresh one, so a run never sees what an earlier one in the same process
// asked for.
struct RunChoices {
    MachineChoices machine;
    SoundChoices sound;
    bool helpAsked = false;
    std::vector<std::string> inputs;     // files the run reads
    std::vector<std::string> recordings; // files it records into from the start
};
RunChoices state;
MachineChoices& choices = state.machine;
SoundChoices& sound = state.sound;
bool stateLoaded = false;     // --load-state given
bool bootFramesGiven = false; // --boot-frames given

int chooseFrom(const char* value, const char* const* names, long& choice) {
    for (long i = 0; names[i]; i++)
        if (std::strcmp(value, names[i]) == 0) {
            choice = i;
            return 1;
        }
    return 0;
}

// A session result on stderr: a failure after the program's name, ending the
// run; a success as it stands unless quiet.
int report(const SessionResult& result, bool sayDone = true) {
    if (result.ok()) {
        if (sayDone && !result.message.empty())
            std::fprintf(stderr, "%s\n", result.message.c_str());
        return 1;
    }
    const bool captioned = result.caption != "Error";
    std::fprintf(stderr, "orvane: %s%s%s\n", captioned ? result.caption.c_str() : "",
                 captioned ? " " : "", result.message.c_str());
    return 0;
}

bool isFolder(const char* path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

int optionHeadless(HeadlessRun&, const char*) { return 1; }

int optionHelp(HeadlessRun&, const char*) {
    state.helpAsked = true;
    return 1;
}

int optionFrames(HeadlessRun& run, const char* value) {
    return ParseNumber(value, 0, 100000000, run.frames);
}

int optionSeconds(HeadlessRun& run, const char* value) {
    char* end = nullptr;
    errno = 0;
    double seconds = std::strtod(value, &end);
    if (errno || end == value || *end || !(seconds >= 0) || seconds > 2000000) return 0;
    run.frames = std::lround(seconds * 50);
    return 1;
}

int optionBootFrames(HeadlessRun& run, const char* value) {
    bootFramesGiven = true;
    return ParseNumber(value, 0, 100000000, run.bootFrames);
}

int optionFast(HeadlessRun& run, const char*) {
    run.cycleBased = false;
    return 1;
}

int optionCycleBased(HeadlessRun& run, const char*) {
    run.cycleBased = true;
    return 1;
}

int optionType(HeadlessRun& run, const char* value) {
    std::string text = UnescapeText(value);
    if (text.empty() || text.find('\0') != std::string::npos) {
        std::fprintf(stderr, "orvane: --type needs a text without NUL bytes\n");
        return 0;
    }
    run.typing.push_back(text);
    return 1;
}

// A chord such as 0x10+0x41 (Shift and A): pressed in order, released together.
int optionKey(HeadlessRun& run, const char* value) {
    std::vector<uint32_t> chord;
    std::string text = value;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('+', start);
        if (end == std::string::npos) end = text.size();
        std::string code = text.substr(start, end - start);
        char* stop = nullptr;
        errno = 0;
        unsigned long vk = std::strtoul(code.c_str(), &stop, 0);
        if (code.empty() || errno || *stop || vk > 0xFF) return 0;
        chord.push_back(static_cast<uint32_t>(vk));
        start = end + 1;
    }
    run.keys.push_back(chord);
    return 1;
}

int optionScreenText(HeadlessRun& run, const char*) {
    run.endHooks.push_back([](HeadlessRun&) {
        std::fputs(ScreenText().c_str(), stdout);
        std::fflush(stdout);
        return 1;
    });
    return 1;
}

int optionScreenshot(HeadlessRun& run, const char* value) {
    std::string path = value;
    run.endHooks.push_back([path](HeadlessRun& r) {
        return report(SaveSessionScreenshot(path, r.frameBuffer.data(), r.pitchShift), false);
    });
    return 1;
}

int optionDumpMemory(HeadlessRun& run, const char* value) {
    std::string path = value;
    run.endHooks.push_back([path](HeadlessRun&) {
        std::string cause;
        if (WriteWholeFile(path, memoryArray(), 65536, &cause)) return 1;
        std::fprintf(stderr, "orvane: cannot write memory dump %s: %s\n", path.c_str(),
                     cause.c_str());
        return 0;
    });
    return 1;
}

int optionSaveState(HeadlessRun& run, const char* value) {
    std::string path = value;
    run.endHooks.push_back([path](HeadlessRun& run) {
        cycleBasedFrames = run.cycleBased;
        return report(SaveSessionState(path, path));
    });
    return 1;
}

// Loaded before the first frame; the machine is then already booted, so the
// boot frames are skipped unless --boot-frames asks for them.
int optionLoadState(HeadlessRun& run, const char* value) {
    std::string path = value;
    stateLoaded = true;
    run.startHooks.push_back([path](HeadlessRun& run) {
        if (!report(LoadSessionState(path, path))) return 0;
        run.cycleBased = cycleBasedFrames;
        return 1;
    });
    return 1;
}

int optionBasicRom(HeadlessRun&, const char* value) {
    static const char* const names[] = {"old", "new", "external", nullptr};
    return chooseFrom(value, names, choices.basic);
}

int optionDos(HeadlessRun&, const char* value) {
    static const char* const names[] = {"none", "abcdos", "ufddos", "open", nullptr};
    return chooseFrom(value, names, choices.dos);
}

int optionRomPath(HeadlessRun&, const char* value) {
    if (!isFolder(value)) {
        std::fprintf(stderr, "orvane: ROM folder %s is not a folder\n", value);
        return 0;
    }
    choices.romFolder = value;
    choices.romFolderSet = true;
    return 1;
}

int optionPrinterDir(HeadlessRun&, const char* value) {
    if (!isFolder(value)) {
        std::fprintf(stderr, "orvane: printer folder %s is not a folder\n", value);
        return 0;
    }
    setPrinterDirectory(value);
    return 1;
}

int startSound(HeadlessRun&) {
    InitSoundSystem();
    ShutdownSoundSystem();
    // Completes the recording however the process ends.
    static bool completedAtExit = false;
    if (!completedAtExit) std::atexit(ShutdownSoundSystem);
    completedAtExit = true;
    if (sound.play) OpenSoundDriver(SoundDriverSetting);
    if (!sound.recordPath.empty() && !report(StartSessionSoundRecording(sound.recordPath), false))
        return 0;
    sound.next = std::chrono::steady_clock::now();
    return 1;
}

// Holds a playing run to 50 frames a second; a run that fell far behind
// starts its schedule again rather than racing to catch up. A recording that
// failed ends the run.
int mixAndPace(HeadlessRun&) {
    using Clock = std::chrono::steady_clock;
    MixUpTo(cpu.TCOUNT);
    if (!sound.recordPath.empty() && !SoundRecordingFailure().empty()) return 0;
    if (!sound.play) return 1;
    const std::string change = FollowFastTape(sound.fastTape, true, "real time");
    if (!change.empty()) {
        std::fprintf(stderr, "%s\n", change.c_str());
        if (!FastTapeOn()) sound.next = Clock::now();
    }
    if (FastTapeOn()) return 1;
    sound.next += std::chrono::milliseconds(20);
    const Clock::time_point now = Clock::now();
    if (now > sound.next + std::chrono::milliseconds(200)) sound.next = now;
    std::this_thread::sleep_until(sound.next);
    return 1;
}

int endSound(HeadlessRun&) {
    ShutdownSoundSystem();
    return sound.recordPath.empty() || SoundRecordingFailure().empty() ? 1 : 0;
}

void hookSound(HeadlessRun& run) {
    if (sound.hooked) return;
    sound.hooked = true;
    run.startHooks.push_back(startSound);
    run.frameHooks.push_back(mixAndPace);
    run.endHooks.push_back(endSound);
}

int optionSound(HeadlessRun& run, const char*) {
    sound.play = true;
    hookSound(run);
    return 1;
}

int optionSoundDriver(HeadlessRun&, const char* value) {
    static const char* const names[] = {"none", "sdl", "alsa", nullptr};
    long index = 0;
    if (!chooseFrom(value, names, index) && !ParseNumber(value, 0, SoundDriverCount - 1, index))
        return 0;
    SoundDriverSetting = static_cast<uint32_t>(index);
    return 1;
}

int optionNoFastTape(HeadlessRun&, const char*) {
    sound.fastTape = false;
    return 1;
}

int optionRecordSound(HeadlessRun& run, const char* value) {
    if (!*value) return 0;
    sound.recordPath = value;
    state.recordings.push_back(value);
    hookSound(run);
    return 1;
}

// The monitor on standard input and output, opened before the first frame;
// x starts the run. Breakpoints and watchpoints set there open it again
// where the program stops.
int optionMonitor(HeadlessRun& run, const char*) {
    run.startHooks.push_back([](HeadlessRun&) {
        monitorEnter(MonitorOpenedByUser, cpuIP());
        return 1;
    });
    return 1;
}

// Storage media: a program loaded into memory or a tape opened after the
// boot frames (--autostart resets first and types RUN or LOAD CAS:; --tape-in
// only puts the tape in the deck), a tape recorded from the cassette output,
// disk images attached before the first frame, and the program in memory
// saved as BAC at the end. The deck holds one tape: played or recorded.
struct TapeChoices {
    std::string played;   // a WAV given to play
    std::string recorded; // --tape-out
};
TapeChoices tapes;

int addLoad(HeadlessRun& run, const char* value, bool autostart) {
    std::string path = value;
    state.inputs.push_back(path);
    MediaFileKind kind = MediaFileKindOf(path);
    if (kind == MediaFileKind::Unknown) {
        std::fprintf(stderr, "orvane: %s is not an .atp, .bac, .bas or .wav file\n", value);
        return 0;
    }
    if (kind == MediaFileKind::Wav) tapes.played = path;
    const LoadStart start = autostart ? LoadStart::Autostart : LoadStart::Load;
    HeadlessHook hook = [path, start](HeadlessRun&) {
        return report(LoadSessionFile(path, start));
    };
    // A reset closes any tape, so an autostart goes before the other boot work.
    if (autostart)
        run.bootHooks.insert(run.bootHooks.begin(), hook);
    else
        run.bootHooks.push_back(hook);
    return 1;
}

int optionLoad(HeadlessRun& run, const char* value) { return addLoad(run, value, false); }
int optionAutostart(HeadlessRun& run, const char* value) { return addLoad(run, value, true); }

int optionTapeIn(HeadlessRun& run, const char* value) {
    if (!*value) return 0;
    std::string path = value;
    if (MediaFileKindOf(path) != MediaFileKind::Wav) return 0;
    state.inputs.push_back(path);
    tapes.played = path;
    run.bootHooks.push_back([path](HeadlessRun&) { return report(InsertSessionTape(path)); });
    return 1;
}

int optionTapeOut(HeadlessRun& run, const char* value) {
    if (!*value) return 0;
    std::string path = value;
    state.recordings.push_back(path);
    tapes.recorded = path;
    run.bootHooks.push_back([path](HeadlessRun&) { return report(RecordSessionTape(path)); });
    // A recording that failed ends the run at once.
    run.frameHooks.push_back([](HeadlessRun&) { return TapeRecordingFailure().empty() ? 1 : 0; });
    // The recording ends when the motor stops, or here with the run.
    run.endHooks.push_back([path](HeadlessRun&) {
        if (tapeDeck.file && !tapeDeck.reading && tapeDeck.motorOn)
            std::fprintf(stderr,
                         "orvane: warning: the run ended while the cassette motor was still "
                         "recording; %s may be incomplete\n",
                         path.c_str());
        CloseTape();
        return TapeRecordingFailure().empty() ? 1 : 0;
    });
    return 1;
}

// A played tape and a recording can't share the deck.
int checkTapeChoices() {
    if (tapes.played.empty() || tapes.recorded.empty()) return 1;
    std::fprintf(stderr,
                 "orvane: --tape-out %s cannot record while %s plays: the deck holds one tape\n",
                 tapes.recorded.c_str(), tapes.played.c_str());
    return 0;
}

int attachDisk(HeadlessRun& run, unsigned drive, const char* value) {
    if (!*value) return 0;
    std::string path = value;
    state.inputs.push_back(path);
    // Attaching says so on stderr itself ("Image ... attached successfully.").
    run.startHooks.push_back(
        [drive, path](HeadlessRun&) { return report(AttachSessionDisk(drive, path), false); });
    return 1;
}

int optionDisk0(HeadlessRun& run, const char* value) { return attachDisk(run, 0, value); }
int optionDisk1(HeadlessRun& run, const char* value) { return attachDisk(run, 1, value); }

// The drive's switch, whatever image it holds or gets; set before the first frame.
int optionWriteProtect0(HeadlessRun&, const char*) {
    SetDriveWriteProtect(0, true);
    return 1;
}
int optionWriteProtect1(HeadlessRun&, const char*) {
    SetDriveWriteProtect(1, true);
    return 1;
}

int optionSaveBac(HeadlessRun& run, const char* value) {
    if (!*value) return 0;
    std::string path = value;
    if (std::filesystem::path(path).extension().empty()) path += ".bac";
    run.endHooks.push_back([path](HeadlessRun&) { return report(SaveSessionProgram(path)); });
    return 1;
}

// The program by the name's extension, as Save as does: .bac, or .bas for
// its LIST text. A tape recording cannot be started at the end of a run.
int optionSave(HeadlessRun& run, const char* value) {
    if (!*value) return 0;
    std::string path = value;
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".wav") return 0;
    run.endHooks.push_back([path](HeadlessRun&) { return report(SaveSessionFile(path)); });
    return 1;
}

// The tape counter on stderr, a line for every block that passes the head and
// a counter line when the second or the block changes. The activity mark (95h)
// flickers with the signal many times a second: it is shown as a bullet in the
// lines printed but changes no line by itself.
std::string lastTapeCounter;
bool tapeCounterPrinted = false;

void printTapeCounter(int field, const char* text) {
    if (field == TapeBlockField) {
        std::fprintf(stderr, "Tape block: %s\n", text);
        tapeCounterPrinted = false;
        return;
    }
    if (field != TapeCounterField) return;
    std::string shown, unmarked;
    for (const char* p = text; *p; ++p) {
        const bool mark = static_cast<unsigned char>(*p) == 0x95;
        shown += mark ? std::string("\u2022") : std::string(1, *p);
        unmarked += mark ? ' ' : *p;
    }
    if (tapeCounterPrinted && unmarked == lastTapeCounter) return;
    tapeCounterPrinted = true;
    lastTapeCounter = unmarked;
    std::fprintf(stderr, "Tape counter: %s\n", shown.empty() ? "-" : shown.c_str());
}

int optionTapeCounter(HeadlessRun&, const char*) {
    SetMediaStatusWriter(printTapeCounter);
    return 1;
}

const HeadlessOption* findOption(const std::string& name) {
    for (size_t i = 0; i < HeadlessOptionCount; i++)
        if (name == HeadlessOptions[i].name) return &HeadlessOptions[i];
    return nullptr;
}

void printHelp() {
    std::printf("Usage: orvane [--headless] [OPTION]...\n"
                "Runs the emulated ABC80 without a window: boot frames, then typing and\n"
                "loading, then more frames, then the requested outputs. Without options it\n"
                "boots and prints the screen.\n\n");
    for (size_t i = 0; i < HeadlessOptionCount; i++) {
        const HeadlessOption& option = HeadlessOptions[i];
        std::string left =
            std::string(option.name) + (option.argument ? std::string(" ") + option.argument : "");
        std::printf("  %-30s %s\n", left.c_str(), option.help);
    }
    std::printf("\nExit codes: 0 ok, 1 failure (unreadable or unwritable file, a failed disk\n"
                "write), 2 usage error.\n");
}

// The sound is mixed by its own frame hook, which also paces a playing run.
// A breakpoint, watch or step that stops the frame opens the monitor on the
// terminal; leaving it goes on with the frame.
void runOneFrame(HeadlessRun& run) {
    run.pitchShift = framePitchShift();
    while (!RunSessionFrame(run.cycleBased, run.frameBuffer.data(), run.pitchShift, false))
        if (debugStopped()) monitorEnter(MonitorStopped, cpuIP());
    run.frameNumber++;
}

// The --type texts join the queue after whatever the loads asked to type.
int queueTyping(HeadlessRun& run) {
    for (const std::string& text : run.typing)
        TypeAfterCurrent(text);
    run.typing.clear();
    return 1;
}

// Holds the next queued chord for one frame once typing is over.
int pressNextKeys(HeadlessRun& run) {
    if (!run.booted || run.keys.empty() || TypingPending()) return 1;
    if (!run.chordDown) {
        for (uint32_t vk : run.keys.front())
            keyPressed(vk);
        run.chordDown = true;
    } else {
        for (uint32_t vk : run.keys.front())
            keyReleased(vk);
        run.keys.erase(run.keys.begin());
        run.chordDown = false;
    }
    return 1;
}

int runHooks(std::vector<HeadlessHook>& hooks, HeadlessRun& run) {
    for (HeadlessHook& hook : hooks)
        if (!hook(run)) return 0;
    return 1;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

// One row per option. Other subsystems add their rows here.
const HeadlessOption HeadlessOptions[] = {
    {"--headless", nullptr, "run without a window", optionHeadless},
    {"--help", nullptr, "list the options and exit", optionHelp},
    {"--frames", "N", "frames to run after the boot frames (default 100)", optionFrames},
    {"--seconds", "S", "emulated seconds to run after the boot frames (50 frames each)",
     optionSeconds},
    {"--boot-frames", "N", "frames run before typing and loading (default 50)", optionBootFrames},
    {"--fast", nullptr, "fast timing: whole frame, then the picture (default)", optionFast},
    {"--cycle-based", nullptr, "cycle-based timing: picture drawn line by line", optionCycleBased},
    {"--type", "TEXT", "type TEXT after the boot frames (escapes \\r \\n \\t \\\\ \\xHH)",
     optionType},
    {"--key", "VK[+VK...]",
     "after the boot frames hold host keys (Windows key codes, 0x41 or 65) for one frame",
     optionKey},
    {"--screen-text", nullptr, "print the 24 text rows as UTF-8 at the end", optionScreenText},
    {"--screen", nullptr, "same as --screen-text", optionScreenText},
    {"--screenshot", "FILE", "write the final picture as BMP (or PNG for *.png)", optionScreenshot},
    {"--dump-memory", "FILE", "write the 65,536 bytes of main memory at the end", optionDumpMemory},
    {"--basic-rom", "old|new|external", "BASIC ROM slot (default old)", optionBasicRom},
    {"--rom", "old|new|external", "same as --basic-rom", optionBasicRom},
    {"--dos", "none|abcdos|ufddos|open",
     "disk operating system ROM (default ufddos, which runs the Open DOS when its image is not "
     "installed)",
     optionDos},
    {"--rom-path", "DIR", "ROM folder to use instead of the standard ones", optionRomPath},
    {"--printer-dir", "DIR", "folder of printer.txt (default: current directory)",
     optionPrinterDir},
    {"--monitor", nullptr, "open the interactive monitor on stdin/stdout before the first frame",
     optionMonitor},
    {"--sound", nullptr, "play the sound through the sound driver, at real-time pace", optionSound},
    {"--sound-driver", "none|sdl|alsa", "sound driver for --sound (default sdl)",
     optionSoundDriver},
    {"--no-fast-tape", nullptr,
     "with --sound, keep real time while the tape moves (default: full speed, muted)",
     optionNoFastTape},
    {"--record-sound", "FILE", "record the sound as WAV in emulated time (no rate control)",
     optionRecordSound},
    {"--load", "FILE", "after the boot frames load FILE (.atp .bac .bas, or .wav as tape)",
     optionLoad},
    {"--autostart", "FILE", "reset, 50 frames, load FILE, then type RUN (LOAD CAS: for .wav)",
     optionAutostart},
    {"--tape-in", "WAV", "put WAV in the deck to play (LOAD CAS: reads it)", optionTapeIn},
    {"--tape-out", "WAV", "record the cassette output as WAV (44,100 Hz, 8-bit)", optionTapeOut},
    {"--disk0", "IMAGE", "attach a disk image to drive DR0", optionDisk0},
    {"--disk1", "IMAGE", "attach a disk image to drive DR1", optionDisk1},
    {"--write-protect0", nullptr, "switch on DR0's write protection (writes fail with error 64)",
     optionWriteProtect0},
    {"--write-protect1", nullptr, "switch on DR1's write protection", optionWriteProtect1},
    {"--save-bac", "FILE", "save the program in memory as BAC at the end", optionSaveBac},
    {"--save", "FILE", "save the program at the end: .bac, or .bas for its LIST text", optionSave},
    {"--load-state", "FILE",
     "restore a save state before the first frame (no boot frames unless --boot-frames)",
     optionLoadState},
    {"--save-state", "FILE", "write a save state of the machine at the end", optionSaveState},
    {"--tape-counter", nullptr,
     "print the tape counter and every block passing the head (with its program) on stderr",
     optionTapeCounter},
};
const size_t HeadlessOptionCount = sizeof HeadlessOptions / sizeof HeadlessOptions[0];

std::string UnescapeText(const char* text) {
    std::string out;
    for (const char* p = text; *p; p++) {
        if (*p != '\\' || !p[1]) {
            out += *p;
            continue;
        }
        char c = *++p;
        switch (c) {
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        case 'x':
            if (hexDigit(p[1]) >= 0 && hexDigit(p[2]) >= 0) {
                out += static_cast<char>(hexDigit(p[1]) * 16 + hexDigit(p[2]));
                p += 2;
                break;
            }
            [[fallthrough]];
        default: out += '\\'; out += c;
        }
    }
    return out;
}

int ParseNumber(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end || v < low || v > high) return 0;
    value = v;
    return 1;
}

void RenderPicture(HeadlessRun& run) {
    run.pitchShift = framePitchShift();
    for (int line = 0; line < VisibleLines; line++)
        renderLine(line, run.frameBuffer.data(), run.pitchShift);
}

// A recording opened over a file the run also reads would empty that file
// before it is read: refused before anything is opened.
int refuseRecordingOverInput(HeadlessRun&) {
    for (const std::string& recording : state.recordings) {
        struct stat out;
        if (::stat(recording.c_str(), &out) != 0) continue;
        for (const std::string& input : state.inputs) {
            struct stat in;
            if (::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev &&
                in.st_ino == out.st_ino) {
                std::fprintf(stderr,
                             "orvane: cannot record to %s: it is %s, which this run also reads\n",
                             recording.c_str(), input.c_str());
                return 0;
            }
        }
    }
    return 1;
}

// Puts back what an earlier run in the same process may have changed: the
// machine powered on afresh, then the host's own choices at their defaults.
void startAfresh() {
    state = RunChoices{};
    tapes = TapeChoices{};
    machinePowerOn();
    SoundDriverSetting = 1;
    setRomFolder("");
    setPrinterDirectory("");
    SetMediaStatusWriter(nullptr);
    SetTapeSound(0);
    tapeDeck.recordingFailure.clear();
    for (unsigned drive = 0; drive < MenuDrives; drive++)
        SetDriveWriteProtect(drive, false);
}

// Whatever way the run ended: recordings completed, files closed.
void finishRun() {
    CloseTape();
    DetachSessionDisks(); // flushed to the storage
    if (sound.hooked) ShutdownSoundSystem();
    closePrinter();
    SetMediaStatusWriter(nullptr);
}

int RunHeadless(int argc, char** argv) {
    startAfresh();
    HeadlessRun run;
    stateLoaded = bootFramesGiven = false;
    const uint64_t diskFailuresBefore = DiskWriteFailures();
    run.frameBuffer.assign(FrameBufferBytes, 0);
    bool onlyHeadless = true;
    for (int i = 1; i < argc; i++)
        onlyHeadless = onlyHeadless && std::strcmp(argv[i], "--headless") == 0;
    if (onlyHeadless) optionScreenText(run, "");
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        if (size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        const HeadlessOption* option = findOption(arg);
        if (!option) {
            std::fprintf(stderr, "orvane: unknown option '%s' (see --help)\n", argv[i]);
            return 2;
        }
        if (option->argument && !hasValue) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "orvane: %s needs %s\n", option->name, option->argument);
                return 2;
            }
            value = argv[++i];
        } else if (!option->argument && hasValue) {
            std::fprintf(stderr, "orvane: %s takes no value\n", option->name);
            return 2;
        }
        if (!option->apply(run, value.c_str())) {
            std::fprintf(stderr, "orvane: bad value '%s' for %s\n", value.c_str(), option->name);
            return 2;
        }
    }
    if (state.helpAsked) {
        printHelp();
        return 0;
    }
    if (!checkTapeChoices()) return 2;
    if (stateLoaded && !bootFramesGiven) run.bootFrames = 0;
    cycleBasedFrames = run.cycleBased;

    if (choices.romFolderSet) setRomFolder(choices.romFolder);
    if (choices.basic >= 0) basicRom = static_cast<uint32_t>(choices.basic);
    if (choices.dos >= 0) dosRom = static_cast<uint32_t>(choices.dos);
    const SessionStart start = StartSession();
    if (!start.warning.empty()) std::fprintf(stderr, "%s\n", start.warning.c_str());
    std::fprintf(stderr, "%s\n", start.romLine.c_str());

    run.startHooks.insert(run.startHooks.begin(), refuseRecordingOverInput);
    run.bootHooks.push_back(queueTyping);
    run.frameHooks.insert(run.frameHooks.begin(), pressNextKeys);

    int ok = runHooks(run.startHooks, run);
    for (long i = 0; ok && i < run.bootFrames; i++) {
        runOneFrame(run);
        ok = runHooks(run.frameHooks, run);
    }
    run.booted = true;
    if (ok) ok = runHooks(run.bootHooks, run);
    for (long i = 0; ok && i < run.frames; i++) {
        runOneFrame(run);
        ok = runHooks(run.frameHooks, run);
    }
    if (!run.cycleBased) RenderPicture(run);
    if (ok) ok = runHooks(run.endHooks, run);
    finishRun();
    if (!PrinterFailure().empty()) ok = 0; // reported when it happened
    if (DiskWriteFailures() != diskFailuresBefore) {
        // Each failure was on stderr when it happened; the run fails with the last.
        std::fprintf(stderr, "orvane: %s\n", LastDiskWriteFailure().c_str());
        ok = 0;
    }
    return ok ? 0 : 1;
}
