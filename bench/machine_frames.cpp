// Frames per second of the two timing modes on a busy Z80 loop; the counter
// "realtime" is the multiple of real time (50 frames per emulated second).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "abc80/abc80.h"
#include "abc80/history.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/roms.h"

namespace {

// A program of our own in the external slot: it keeps copying and summing
// memory, writes the screen, and takes the 50 Hz NMI.
void loadBusyProgram() {
    std::memset(MainMemory, 0, sizeof MainMemory);
    clearRomImages();
    basicRom = BasicRomExternal;
    dosRom = DosRomNone;
    keyboardInit();
    machineConnect();
    cpuInit(MachineClockHz);
    const uint8_t program[] = {
        0xF3, 0x31, 0x00, 0xFF, // DI; LD SP,FF00h
        0x21, 0x00, 0x80,       // loop: LD HL,8000h
        0x11, 0x00, 0x7C,       // LD DE,7C00h
        0x01, 0x00, 0x01,       // LD BC,0100h
        0xED, 0xB0,             // LDIR
        0x06, 0x00,             // LD B,0
        0x7E, 0x23, 0x83, 0x5F, // sum: LD A,(HL); INC HL; ADD A,E; LD E,A
        0xDD, 0x77, 0x00,       // LD (IX+0),A
        0xCB, 0x27,             // SLA A
        0x10, 0xF5,             // DJNZ sum
        0xC3, 0x04, 0x00,       // JP loop
    };
    std::memcpy(MainMemory, program, sizeof program);
    const uint8_t nmi[] = {0xF5, 0x3A, 0x00, 0x90, 0x3C, 0x32, 0x00, 0x90, 0xF1, 0xED, 0x45};
    std::memcpy(MainMemory + 0x66, nmi, sizeof nmi);
    for (int i = 0; i < 0x100; i++)
        MainMemory[0x8000 + i] = static_cast<uint8_t>(0x20 + i % 0x60);
}

void report(benchmark::State& state) {
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["realtime"] = benchmark::Counter(static_cast<double>(state.iterations()) / 50.0,
                                                    benchmark::Counter::kIsRate);
}

void CycleBasedFrames(benchmark::State& state) {
    loadBusyProgram();
    std::vector<uint8_t> picture(FrameBufferBytes);
    for (auto _ : state) {
        runFrame(CyclesPerFrame, picture.data(), 0);
        benchmark::DoNotOptimize(picture.data());
    }
    report(state);
}
BENCHMARK(CycleBasedFrames)->Unit(benchmark::kMicrosecond);

void FastFramesWithPicture(benchmark::State& state) {
    loadBusyProgram();
    std::vector<uint8_t> picture(FrameBufferBytes);
    for (auto _ : state) {
        runFrameFast();
        for (int line = 0; line < VisibleLines; line++)
            renderLine(line, picture.data(), 0);
        benchmark::DoNotOptimize(picture.data());
    }
    report(state);
}
BENCHMARK(FastFramesWithPicture)->Unit(benchmark::kMicrosecond);

// The same with the history at its default settings: a snapshot every 10
// frames into a ring of 160. Counters: the ring's memory once full, and how
// far back it reaches.
void FastFramesWithPictureAndHistory(benchmark::State& state) {
    loadBusyProgram();
    historyConfigure({});
    std::vector<uint8_t> picture(FrameBufferBytes);
    for (auto _ : state) {
        runFrameFast();
        historyFrameEnd();
        for (int line = 0; line < VisibleLines; line++)
            renderLine(line, picture.data(), 0);
        benchmark::DoNotOptimize(picture.data());
    }
    report(state);
    // Fill the ring, whatever the iterations did, for the memory figure.
    const HistorySettings settings = historySettings();
    for (uint32_t i = 0; i < settings.intervalFrames * (settings.snapshots + 1); i++) {
        runFrameFast();
        historyFrameEnd();
    }
    const HistoryReach reach = historyReach();
    state.counters["ringKiB"] = static_cast<double>(reach.bytes) / 1024.0;
    state.counters["reachSeconds"] = static_cast<double>(frameCounter - reach.oldestFrame) / 50.0;
    historyClear();
}
BENCHMARK(FastFramesWithPictureAndHistory)->Unit(benchmark::kMicrosecond);

// One step back in the middle of a stretch between snapshots (5 frames in,
// at the default settings): the replay the debugger's button waits for.
void HistoryStepBack(benchmark::State& state) {
    loadBusyProgram();
    historyConfigure({});
    for (int i = 0; i < 25; i++) {
        runFrameFast();
        historyFrameEnd();
    }
    historyMachineChanged();
    for (int i = 0; i < 5; i++) {
        runFrameFast();
        historyFrameEnd();
    }
    std::string message;
    for (auto _ : state) {
        bool went = historyStepBack(message);
        benchmark::DoNotOptimize(went);
    }
    historyClear();
}
BENCHMARK(HistoryStepBack)->Unit(benchmark::kMillisecond);

void FastFramesBlind(benchmark::State& state) {
    loadBusyProgram();
    for (auto _ : state)
        runFrameFast();
    report(state);
}
BENCHMARK(FastFramesBlind)->Unit(benchmark::kMicrosecond);

void RenderPicture(benchmark::State& state) {
    loadBusyProgram();
    for (int i = 0; i < 1024; i++)
        MainMemory[0x7C00 + i] = static_cast<uint8_t>(i);
    std::vector<uint8_t> picture(FrameBufferBytes);
    for (auto _ : state) {
        for (int line = 0; line < VisibleLines; line++)
            renderLine(line, picture.data(), 0);
        benchmark::DoNotOptimize(picture.data());
    }
}
BENCHMARK(RenderPicture)->Unit(benchmark::kMicrosecond);

} // namespace
