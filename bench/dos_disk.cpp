// The Open DOS moving files through the "mo" card on a real image file, in
// the machine's own time: the counter "emulated_s" is the processor's
// cycles from the call to the return, at 2,995,200 Hz. SAVE and LOAD of a
// 10 KB program go through the DOS entries BASIC's SAVE DR0: and LOAD DR0:
// use; the data file is 1,000 records of "RECORD n" written as one file,
// the way it reaches the disk, and then the same records written by a BASIC
// program through PRINT # and read back by one through INPUT #, from RUN to
// the end of the program.
#include <benchmark/benchmark.h>

#include "basic_session.h"

#include "cpu/z80.h"
#include "machine/memory.h"
#include "media/disk_card.h"
#include "media/orvane_disk.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint16_t HaltAddress = 0xF0F0;
constexpr uint16_t StackTop = 0xF0E0;
constexpr uint16_t DataArea = 0x8000;

uint16_t label(const std::string& name) {
    static std::map<std::string, uint16_t> labels;
    if (labels.empty()) {
        std::ifstream in(DOS_LABELS_PATH);
        std::string line;
        while (std::getline(in, line)) {
            size_t colon = line.find(':'), dollar = line.find('$');
            if (colon != std::string::npos && dollar != std::string::npos)
                labels[line.substr(0, colon)] =
                    static_cast<uint16_t>(std::stoul(line.substr(dollar + 1), nullptr, 16));
        }
    }
    auto it = labels.find(name);
    if (it == labels.end()) throw std::runtime_error("no DOS label " + name);
    return it->second;
}

std::string image() { return basic_test::scratchPath("bench.dsk").string(); }

void freshDisk() {
    basic_test::bootMachine();
    dosRom = DosRomOpen;
    std::vector<uint8_t> blank = FormatOrvaneDisk();
    std::ofstream(image(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(blank.data()),
               static_cast<std::streamsize>(blank.size()));
    DetachDrive(0);
    AttachDiskImage(0, image());
    DiskDrive& drive = MoDiskCard().drives[0];
    std::fclose(drive.file);
    drive.file = std::fopen(image().c_str(), "r+b");
}

// Calls a DOS entry on file NAME with length bytes at DataArea; the cycles
// it took.
uint64_t callDos(const char* entry, const char* name, uint16_t length) {
    MainMemory[label("dpdrive")] = 0;
    for (int i = 0; i < 8; ++i)
        MainMemory[label("dpname") + i] = static_cast<uint8_t>(name[i] ? name[i] : ' ');
    MainMemory[label("dpkind")] = 'D';
    MainMemory[label("dpaddr")] = DataArea & 0xFF;
    MainMemory[label("dpaddr") + 1] = DataArea >> 8;
    MainMemory[label("dplen")] = length & 0xFF;
    MainMemory[label("dplen") + 1] = length >> 8;
    MainMemory[HaltAddress] = 0x76;
    cpu.IFF1 = cpu.IFF2 = 0;
    cpu.SP = StackTop - 2;
    MainMemory[cpu.SP] = HaltAddress & 0xFF;
    MainMemory[cpu.SP + 1] = HaltAddress >> 8;
    cpu.IP = label(entry);
    uint64_t start = cpu.TCOUNT;
    while (cpu.IP != HaltAddress)
        execute(1);
    if (cpu.AF & FlagC) throw std::runtime_error(std::string(entry) + " failed");
    return cpu.TCOUNT - start;
}

// The counter, and the image gone.
void report(benchmark::State& state, uint64_t cycles) {
    state.counters["emulated_s"] = static_cast<double>(cycles) / 2995200.0;
    DetachDrive(0);
    std::remove(image().c_str());
}

void BM_Save10KProgram(benchmark::State& state) {
    freshDisk();
    for (int i = 0; i < 10240; ++i)
        MainMemory[DataArea + i] = static_cast<uint8_t>(i * 7);
    uint64_t cycles = 0;
    for (auto _ : state)
        cycles = callDos("dsave", "PROGRAM", 10240);
    report(state, cycles);
}
BENCHMARK(BM_Save10KProgram)->Unit(benchmark::kMillisecond);

void BM_Load10KProgram(benchmark::State& state) {
    freshDisk();
    callDos("dsave", "PROGRAM", 10240);
    uint64_t cycles = 0;
    for (auto _ : state)
        cycles = callDos("dload", "PROGRAM", 0x7000);
    report(state, cycles);
}
BENCHMARK(BM_Load10KProgram)->Unit(benchmark::kMillisecond);

void BM_Write1000Records(benchmark::State& state) {
    freshDisk();
    std::string records;
    for (int i = 1; i <= 1000; ++i)
        records += "RECORD " + std::to_string(i) + "\r";
    std::copy(records.begin(), records.end(), MainMemory + DataArea);
    uint64_t cycles = 0;
    for (auto _ : state)
        cycles = callDos("dsave", "RECORDS", static_cast<uint16_t>(records.size()));
    report(state, cycles);
    state.counters["bytes"] = static_cast<double>(records.size());
}
BENCHMARK(BM_Write1000Records)->Unit(benchmark::kMillisecond);

// Runs the program in memory from its first line until it ends at the
// prompt (interrupts off: no key, no clock); the cycles it took.
uint64_t runProgram() {
    cpu.IFF1 = cpu.IFF2 = 0;
    cpu.NMI = 0;
    cpu.SP = label("stacktop");
    cpu.HL = label("progbase");
    cpu.IP = label("runline");
    uint64_t start = cpu.TCOUNT;
    while (cpu.IP != label("warm"))
        execute(1);
    return cpu.TCOUNT - start;
}

const std::vector<std::string> WriteRecords = {"10 PREPARE #1,\"DR0:RECORDS\"",
                                               "20 FOR I=1 TO 1000:PRINT #1,\"RECORD\";I:NEXT I",
                                               "30 CLOSE #1"};
const std::vector<std::string> ReadRecords = {
    "10 OPEN #1,\"DR0:RECORDS\"", "20 FOR I=1 TO 1000:INPUT #1,A$:NEXT I",
    "30 IF A$<>\"RECORD 1000\" OR EOF(1)=0 THEN PRINT 1/0", "40 CLOSE #1"};

void BM_Write1000RecordsFromBasic(benchmark::State& state) {
    freshDisk();
    basic_test::enterProgram(WriteRecords);
    uint64_t cycles = 0;
    for (auto _ : state)
        cycles = runProgram();
    std::vector<uint8_t> bytes;
    std::string cause;
    OrvaneDisk disk;
    std::ifstream in(image(), std::ios::binary);
    std::vector<uint8_t> all((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    if (!disk.open(all, cause) || !disk.read("RECORDS", bytes, cause) || bytes.size() < 10000)
        state.SkipWithError("the records did not reach the disk");
    state.counters["bytes"] = static_cast<double>(bytes.size());
    report(state, cycles);
}
BENCHMARK(BM_Write1000RecordsFromBasic)->Unit(benchmark::kMillisecond);

void BM_Read1000RecordsFromBasic(benchmark::State& state) {
    freshDisk();
    basic_test::enterProgram(WriteRecords);
    runProgram();
    basic_test::typeAndRun("NEW\r");
    basic_test::enterProgram(ReadRecords);
    uint64_t cycles = 0;
    for (auto _ : state)
        cycles = runProgram();
    // The program stops with an error unless it read the last record and
    // then found the end.
    for (const std::string& row : basic_test::screenRows())
        if (row.find(" IN LINE ") != std::string::npos) state.SkipWithError(row.c_str());
    report(state, cycles);
}
BENCHMARK(BM_Read1000RecordsFromBasic)->Unit(benchmark::kMillisecond);

} // namespace
