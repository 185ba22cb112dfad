// The machine as a tokeniser and lister.
#include "host/session/basic_text.h"

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "data/firmware.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"
#include "media/host_file.h"
#include "media/program_area.h"
#include "media/tape_images.h"
#include "monitor/debug.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int BootFrames = 50;
constexpr long MaxFrames = 2000000; // a bound far above any program's typing

void bootOpenFirmware() {
    static bool initialised = false;
    clearRomImages(); // the open firmware, whatever ROM folder the user has
    if (!initialised) {
        machineInit();
        initialised = true;
    }
    basicRom = BasicRomOld;
    dosRom = DosRomNone;
    machineHardReset();
    for (int i = 0; i < BootFrames; ++i)
        runFrameFast();
}

// The 24 screen rows' last non-blank row is the bare prompt.
bool atPrompt() {
    // The open firmware draws on the 40-column screen.
    const VideoLayout& layout = Abc80Model.video[0];
    const uint8_t* video = memoryArray() + layout.base;
    for (int r = layout.rows - 1; r >= 0; --r) {
        std::string row;
        for (int c = 0; c < layout.columns; ++c)
            row += static_cast<char>(video[layout.rowOffset(r) + c] & 0x7F);
        row.erase(row.find_last_not_of(' ') + 1);
        if (!row.empty()) return row == ">";
    }
    return false;
}

// Types the text and runs frames until it is read and the prompt is back.
int typeAndWait(const std::string& text, std::string& cause) {
    if (!typeText(text.c_str())) {
        cause = "the machine did not take the text";
        return 0;
    }
    long frames = 0;
    while (typingInProgress() && frames < MaxFrames) {
        runFrameFast();
        ++frames;
    }
    for (int i = 0; i < 2; ++i)
        runFrameFast();
    while (!atPrompt() && frames < MaxFrames) {
        runFrameFast();
        ++frames;
    }
    if (frames >= MaxFrames) {
        cause = "the machine did not come back to its prompt";
        return 0;
    }
    return 1;
}

std::vector<uint8_t> programInMemory() {
    const uint8_t* memory = memoryArray();
    uint32_t end = memory[ProgramEndPointer] | (memory[ProgramEndPointer + 1] << 8);
    if (end <= ProgramAreaStart) return {};
    return std::vector<uint8_t>(memory + ProgramAreaStart, memory + end);
}

int putInMemory(const std::vector<uint8_t>& program, std::string& cause) {
    ProgramLoad load;
    StartProgramLoad(load);
    std::vector<uint8_t> records = program;
    if (!records.empty() && records.back() == 0x01) records.pop_back();
    AppendProgramBytes(load, records.data(), static_cast<uint32_t>(records.size()));
    if (load.tooBig) {
        cause = ProgramTooBigText();
        return 0;
    }
    CommitProgram(load);
    return 1;
}

} // namespace

int TokeniseBasicText(const std::string& text, std::vector<uint8_t>& program, std::string& cause) {
    if (text.find('\0') != std::string::npos) {
        cause = "not a text file (it holds NUL bytes)";
        return 0;
    }
    std::string typed;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        typed += text[i] == '\n' ? '\r' : text[i];
    }
    if (!typed.empty() && typed.back() != '\r') typed += '\r';
    bootOpenFirmware();
    if (!typeAndWait("NEW\r", cause) || !typeAndWait(typed, cause)) return 0;
    program = programInMemory();
    if (program.size() < 2) {
        cause = "no program lines in the text";
        return 0;
    }
    return 1;
}

namespace {

// LLIST to a printer file in a folder of its own; the machine is booted by
// `boot` first.
template <typename Boot>
int listThroughPrinter(const std::vector<uint8_t>& program, std::string& text, std::string& cause,
                       Boot boot) {
    char folder[] = "/tmp/orvane-list-XXXXXX";
    if (!mkdtemp(folder)) {
        cause = "cannot make a temporary folder";
        return 0;
    }
    boot();
    setPrinterDirectory(folder);
    int ok = putInMemory(program, cause) && typeAndWait("LLIST\r", cause);
    closePrinter();
    std::string printed;
    // Plain C files: the streams library would weigh more than the web page may.
    if (std::FILE* in = std::fopen(printerFilePath().c_str(), "rb")) {
        char block[4096];
        for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;)
            printed.append(block, got);
        std::fclose(in);
    }
    setPrinterDirectory("");
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (!ok) return 0;
    // The printer file starts with a line break of its own.
    if (!printed.empty() && printed[0] == '\n') printed.erase(0, 1);
    text = printed;
    return 1;
}

} // namespace

int ListBasicProgram(const std::vector<uint8_t>& program, std::string& text, std::string& cause) {
    return listThroughPrinter(program, text, cause, bootOpenFirmware);
}

int ListRunningProgram(std::string& text, std::string& cause) {
    // A first record shorter than a line record: no program lines at all.
    const std::vector<uint8_t> program = programInMemory();
    if (memoryArray()[ProgramAreaStart] < 2 || program.size() < 2) {
        cause = "no program in memory";
        return 0;
    }
    // A state is taken between frames only.
    if (framePending()) {
        cause = "the machine is stopped in the monitor";
        return 0;
    }
    std::vector<uint8_t> state;
    saveState(state);
    // The user's breakpoints are not the listing's: out while it runs.
    const std::vector<DebugBreakpoint> breakpoints = debugBreakpoints();
    debugClearBreakpoints();
    const std::string printerFolder = printerDirectory();
    const uint32_t basic = basicRom, dos = dosRom;
    const uint8_t* oldSlot = BasicRomImages[BasicRomOld];
    // The open firmware lists whatever BASIC runs: the slot points at it while
    // the listing runs, and the ROM images stay installed.
    const int ok = listThroughPrinter(program, text, cause, [] {
        BasicRomImages[BasicRomOld] = OpenFirmwareRom;
        basicRom = BasicRomOld;
        dosRom = DosRomNone;
        machineHardReset();
        for (int i = 0; i < BootFrames; ++i)
            runFrameFast();
    });
    BasicRomImages[BasicRomOld] = oldSlot;
    basicRom = basic;
    dosRom = dos;
    setPrinterDirectory(printerFolder);
    for (const DebugBreakpoint& breakpoint : breakpoints)
        debugAddBreakpoint(breakpoint);
    std::string note;
    if (!loadState(state, note)) {
        cause = "the machine could not be put back as it was: " + note;
        return 0;
    }
    return ok;
}

int ReadBacProgram(const std::string& path, std::vector<uint8_t>& program, std::string& cause) {
    bootOpenFirmware();
    if (!LoadBacImage(path)) {
        cause = MediaError();
        return 0;
    }
    program = programInMemory();
    return 1;
}

int WriteBacProgram(const std::string& path, const std::vector<uint8_t>& program,
                    std::string& cause) {
    bootOpenFirmware();
    if (!putInMemory(program, cause)) return 0;
    if (!SaveBacImage(path)) {
        cause = MediaError();
        return 0;
    }
    return 1;
}
