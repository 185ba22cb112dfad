#include "basic_session.h"

#include "abc80/abc80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/roms.h"

#include <filesystem>
#include <unistd.h>

namespace basic_test {

namespace {

// An empty folder stands in for the ROM folder, so the open firmware runs
// whatever images the host has installed. It goes when the process ends.
struct EmptyRomFolder {
    std::filesystem::path path = scratchPath("roms");
    EmptyRomFolder() { std::filesystem::create_directories(path); }
    ~EmptyRomFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

std::string emptyRomFolder() {
    static const EmptyRomFolder folder;
    return folder.path.string();
}

bool machineReady = false;

} // namespace

void bootMachine() {
    setRomFolder(emptyRomFolder());
    installRomImages();
    if (!machineReady) {
        machineInit();
        machineReady = true;
    }
    basicRom = BasicRomOld;
    dosRom = DosRomNone;
    machineHardReset();
    runFrames(50);
}

void runFrames(int n) {
    for (int i = 0; i < n; ++i)
        runFrameFast();
}

bool atPrompt() {
    std::vector<std::string> rows = screenRows();
    for (int r = 23; r >= 0; --r)
        if (!rows[r].empty()) return rows[r] == ">";
    return false;
}

void typeAndRun(const std::string& text, int maxFrames) {
    typeText(text.c_str());
    int frames = 0;
    while (typingInProgress() && frames < maxFrames) {
        runFrameFast();
        ++frames;
    }
    runFrames(2);
    while (!atPrompt() && frames < maxFrames) {
        runFrameFast();
        ++frames;
    }
}

std::vector<std::string> screenRows() {
    const uint8_t* video = memoryArray() + 0x7C00;
    std::vector<std::string> rows;
    for (int r = 0; r < 24; ++r) {
        std::string row;
        for (int c = 0; c < 40; ++c) {
            uint8_t b = video[(r % 8) * 128 + (r / 8) * 40 + c];
            if (b == 0xA0) b = 0x20; // the cursor on a blank cell
            row.push_back(static_cast<char>(screenCharToText(b)));
        }
        row.erase(row.find_last_not_of(' ') + 1);
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> outputOfLastCommand(size_t commandLength) {
    std::vector<std::string> rows = screenRows();
    int last = -1, previous = -1;
    for (int r = 0; r < 24; ++r) {
        if (!rows[r].empty() && rows[r][0] == '>') {
            previous = last;
            last = r;
        }
    }
    std::vector<std::string> out;
    if (previous < 0) return out;
    // A command longer than a row continues on the rows below its prompt.
    for (int r = previous + 1 + static_cast<int>(commandLength / 40); r < last; ++r)
        out.push_back(rows[r]);
    return out;
}

void pressBreak() {
    keyPressed(VkControl);
    keyPressed('C');
    runFrames(2);
    keyReleased('C');
    keyReleased(VkControl);
    runFrames(5);
}

void enterProgram(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r";
    typeAndRun(text, 2000);
}

std::filesystem::path scratchPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("orvane-firmware-" + std::to_string(getpid()) + "-" + name);
}

uint16_t peekWord(uint16_t address) {
    return static_cast<uint16_t>(MainMemory[address] | (MainMemory[address + 1] << 8));
}

} // namespace basic_test
