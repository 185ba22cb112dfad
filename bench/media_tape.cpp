// Cassette and tape image speed. Each recording or playing iteration is one
// emulated second; the "x real time" counter is emulated seconds per second.
#include "abc80/abc80.h"
#include "cpu/z80.h"
#include "machine/memory.h"
#include "media/tape_deck.h"
#include "media/tape_images.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string scratch = "/tmp/orvane-media-bench";

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// One emulated second of recording with the output flipping every 2,140
// cycles, as a tape's bits do.
void BM_RecordOneSecond(benchmark::State& state) {
    machineConnect();
    cpuInit(MachineClockHz);
    std::string path = scratch + "-out.wav";
    for (auto _ : state) {
        cpu.TCOUNT = 0;
        StartTapeRecording(path, 44100);
        SetTapeMotor(1, 0);
        int bit = 0;
        for (uint64_t c = 2140; c <= MachineClockHz; c += 2140) {
            RenderTapeOutput(c, bit);
            bit ^= 1;
        }
        SetTapeMotor(0, MachineClockHz);
        cpu.TCOUNT = MachineClockHz;
        state.PauseTiming();
        CloseTape(); // renders half a second more; not counted
        state.ResumeTiming();
    }
    state.counters["x real time"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    std::remove(path.c_str());
}
BENCHMARK(BM_RecordOneSecond)->Unit(benchmark::kMillisecond);

// One emulated second of playing, sampled after every instruction (about
// every 6 cycles), as the cycle-based frame driver does.
void BM_PlayOneSecond(benchmark::State& state) {
    machineConnect();
    cpuInit(MachineClockHz);
    std::vector<uint8_t> wav(44 + 44100 * 2, 0);
    const char header[] = "RIFF\0\0\0\0WAVEfmt ";
    std::copy(header, header + 16, wav.begin());
    wav[16] = 16, wav[20] = 1, wav[22] = 1;
    wav[24] = 0x44, wav[25] = 0xAC; // 44,100
    wav[28] = 0x44, wav[29] = 0xAC, wav[32] = 1, wav[34] = 8;
    std::copy(std::begin("data"), std::begin("data") + 4, wav.begin() + 36);
    for (size_t i = 44; i < wav.size(); ++i)
        wav[i] = (i / 30) % 2 ? 200 : 60;
    std::string path = scratch + "-in.wav";
    writeBytes(path, wav);
    for (auto _ : state) {
        cpu.TCOUNT = 0;
        OpenTapeForReading(path);
        SetTapeMotor(1, 0);
        int edges = 0, last = 0;
        for (uint64_t c = 0; c < MachineClockHz; c += 6) {
            int level = SampleTapeInput(c);
            edges += level != last;
            last = level;
        }
        benchmark::DoNotOptimize(edges);
        SetTapeMotor(0, MachineClockHz);
        CloseTape();
    }
    state.counters["x real time"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    std::remove(path.c_str());
}
BENCHMARK(BM_PlayOneSecond)->Unit(benchmark::kMillisecond);

// A program of nearly 32 KB from 129 ATP blocks.
void BM_LoadFullAtp(benchmark::State& state) {
    machineConnect();
    cpuInit(MachineClockHz);
    std::vector<uint8_t> file;
    for (unsigned k = 0; k < 129; ++k) {
        file.insert(file.end(), 8, 0x00);
        file.insert(file.end(), {0x16, 0x16, 0x16, 0x02, 0x00, uint8_t(k), uint8_t(k >> 8)});
        for (int i = 0; i < 253; ++i)
            file.push_back(static_cast<uint8_t>(0x20 + (i + k) % 90));
        file.insert(file.end(), {0x03, 0x00, 0x00});
    }
    std::string path = scratch + ".atp";
    writeBytes(path, file);
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadAtpImage(path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadFullAtp)->Unit(benchmark::kMicrosecond);

} // namespace
