// Sound costs per emulated second: the chip's synthesis of 48,000 samples and
// the mixer's blocks for 50 frames into a device without rate control.
#include <benchmark/benchmark.h>

#include "cpu/z80.h"
#include "machine/sound_chip.h"
#include "sound/mixer.h"

namespace {

void chipSecond(benchmark::State& state) {
    soundChipInit(48000);
    soundChipWrite(static_cast<uint8_t>(state.range(0)));
    int16_t block[960];
    for (auto _ : state) {
        for (int i = 0; i < 50; ++i)
            soundChipSource()->generate(block, 960);
        benchmark::DoNotOptimize(block);
    }
    state.SetItemsProcessed(state.iterations() * 48000);
}
BENCHMARK(chipSecond)->Arg(0x01)->Arg(0x05)->Arg(0x29)->Unit(benchmark::kMicrosecond);

// A device that cannot tell its position: every block is mixed and written.
const SoundDriver Sink{
    "sink", [](int) { return 1; },
    [] {},  [](const int16_t* block, uint32_t, uint32_t) { benchmark::DoNotOptimize(block[0]); },
    [] {},  [] {},
    [] {},  [] { return SoundPositionUnknown; }};

void mixerSecond(benchmark::State& state) {
    cpu.cyclesPerLine = 191;
    soundChipInit(48000);
    soundChipWrite(0x05);
    InstallSoundDriver(&Sink);
    InitSoundSystem();
    uint64_t cycles = 0;
    for (auto _ : state) {
        for (int i = 0; i < 50; ++i)
            MixUpTo(cycles += 59904);
    }
    state.SetItemsProcessed(state.iterations() * 48000);
}
BENCHMARK(mixerSecond)->Unit(benchmark::kMicrosecond);

} // namespace
