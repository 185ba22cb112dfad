// The monitor's command lines, one per input line, against a machine whose
// memory is checked afterwards. Path separators are taken out of the lines so
// every file the monitor saves lands in the scratch folder; "@" in a load
// command names a prepared file that must come through unchanged. Checked:
// the ROM and unmapped areas are as they were, every watch flag has its
// handler and every handler its flag, the monitor is closed again, and the
// prepared file is unchanged.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "fuzz/fuzz_support.h"
#include "machine/memory.h"
#include "monitor/debug.h"
#include "monitor/monitor.h"

namespace {

struct Script {
    const uint8_t* data;
    size_t size;
    size_t at;
};
Script script;
std::string seedPath;

int openConsole(void*, const char*) { return 1; }
void closeConsole(void*) {}
void writeConsole(void*, const char* text, int) { FUZZ_CHECK(text != nullptr); }
int consoleColumns(void*) { return 80; }

int readConsoleLine(void*, char* line, int size) {
    if (script.at >= script.size) return 0;
    std::string text;
    while (script.at < script.size && script.data[script.at] != '\n') {
        char c = static_cast<char>(script.data[script.at++]);
        if (c == '/' || c == '\\') c = '_';
        if (c == '@') {
            text += seedPath;
            continue;
        }
        text += c;
    }
    if (script.at < script.size) script.at++; // the '\n'
    // '@' names the prepared file only in load commands.
    if (text.empty() || text[0] != 'l')
        for (size_t p; (p = text.find(seedPath)) != std::string::npos;)
            text.replace(p, seedPath.size(), "_");
    text += '\n';
    if (text.size() > static_cast<size_t>(size - 1)) {
        text.resize(static_cast<size_t>(size - 2));
        text += '\n';
    }
    std::memcpy(line, text.c_str(), text.size() + 1);
    return 1;
}

const MonitorConsole Console = {nullptr,      openConsole,     closeConsole,
                                writeConsole, readConsoleLine, consoleColumns};

uint8_t before[65536];

void checkUnwritable() {
    FUZZ_CHECK(std::memcmp(MainMemory, before, 0x5800) == 0);
    FUZZ_CHECK(std::memcmp(MainMemory + 0x6000, before + 0x6000, 0x1400) == 0);
}

void checkWatchTables() {
    for (uint32_t a = 0; a < 65536; a++) {
        uint32_t flags = WatchFlags[a];
        bool readWatched = (flags & (WatchExecute | WatchRead | WatchTarget)) != 0;
        FUZZ_CHECK(ReadHandlers[a] == (readWatched ? readWatchHandler : memRead));
        FUZZ_CHECK(WriteHandlers[a] == ((flags & WatchWrite) ? writeWatchHandler : memWrite));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        fuzz::enterScratchFolder();
        std::filesystem::create_directories(fuzz::scratchPath("ro"));
        seedPath = "ro/seed.bin";
        static const uint8_t seed[] = {0x3E, 0x41, 0x32, 0x00, 0x7C, 0x18, 0xFE, 0x00};
        fuzz::writeFile(fuzz::scratchPath(seedPath), seed, sizeof seed);
        monitorSetConsole(&Console);
        return true;
    }();
    (void)once;
    static const uint64_t seedHash = fuzz::fileHash(fuzz::scratchPath(seedPath));

    fuzz::prepareMachine();
    debugPowerOn(); // no entries, no trace, no step from the input before
    std::memset(WatchFlags, 0, sizeof WatchFlags);
    std::fill(std::begin(ReadHandlers), std::end(ReadHandlers), memRead);
    std::fill(std::begin(WriteHandlers), std::end(WriteHandlers), memWrite);
    static bool patterned = [] {
        for (uint32_t a = 0; a < 65536; a++)
            before[a] = static_cast<uint8_t>(a ^ (a >> 8) ^ 0xA7);
        return true;
    }();
    (void)patterned;
    std::memcpy(MainMemory, before, sizeof before);
    monitorCurrent = MonitorNoAddress;
    cpu.breakRequest = 0;

    script = Script{data, size, 0};
    FUZZ_CHECK(monitorEnter(MonitorOpenedByUser, cpu.IP) == 1);
    FUZZ_CHECK(!monitorOpen);
    // Only a trace left on keeps the processor checking every step.
    FUZZ_CHECK((cpu.breakRequest & BreakHit) == 0);
    FUZZ_CHECK(cpu.breakRequest == (debugTracing() ? BreakEveryStep : 0u));
    checkUnwritable();
    checkWatchTables();
    FUZZ_CHECK(fuzz::fileHash(fuzz::scratchPath(seedPath)) == seedHash);
    // Files the commands saved would pile up over a long run.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(fuzz::scratchFolder(), error))
        if (entry.is_regular_file()) std::filesystem::remove(entry.path(), error);
    return 0;
}
