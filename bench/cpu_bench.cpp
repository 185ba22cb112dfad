// Processor speed in emulated MHz (and as a multiple of the ABC80's
// 2,995,200 Hz) on a fixed program mixing ALU work, loads, jumps, calls, the
// stack, block moves and indexed instructions, and on a tight DJNZ loop. When
// built with z80ex, the same mix also runs on that core and the last line of
// output is "z80ex-ratio: R", our T-states per second divided by z80ex's.
#include "cpu/bus.h"
#include "cpu/z80.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#ifdef ORVANE_HAVE_Z80EX
#include <z80ex/z80ex.h>
#endif

namespace {

uint8_t ram[65536];

constexpr double MachineHz = 2995200.0;
constexpr int32_t CyclesPerRun = 10 * 59904; // ten frames

// Assembled from:
//         ld sp,0f000h / ld ix,8000h / ld iy,9000h / ld c,0
// outer:  ld b,0
// inner:  ld a,b / add a,c / xor 5ah / ld (ix+3),a / inc (iy+1) / ld e,(ix+3)
//         call sub1 / push bc / pop hl / add hl,de / and 0fh / or h / cp 7
//         jr nz,skip / inc c
// skip:   ex de,hl / sbc hl,de / djnz inner
//         ld hl,8000h / ld de,0a000h / ld bc,64 / ldir
//         bit 3,(ix+1) / rl c / srl (iy+2) / jp outer
// sub1:   inc d / rlca / ld (9100h),a / ld a,(9101h) / adc a,e / dec a
//         jp p,sub2 / neg
// sub2:   ret
const uint8_t MixProgram[] = {
    0x31, 0x00, 0xf0, 0xdd, 0x21, 0x00, 0x80, 0xfd, 0x21, 0x00, 0x90, 0x0e, 0x00, 0x06, 0x00,
    0x78, 0x81, 0xee, 0x5a, 0xdd, 0x77, 0x03, 0xfd, 0x34, 0x01, 0xdd, 0x5e, 0x03, 0xcd, 0x47,
    0x00, 0xc5, 0xe1, 0x19, 0xe6, 0x0f, 0xb4, 0xfe, 0x07, 0x20, 0x01, 0x0c, 0xeb, 0xed, 0x52,
    0x10, 0xe0, 0x21, 0x00, 0x80, 0x11, 0x00, 0xa0, 0x01, 0x40, 0x00, 0xed, 0xb0, 0xdd, 0xcb,
    0x01, 0x5e, 0xcb, 0x11, 0xfd, 0xcb, 0x02, 0x3e, 0xc3, 0x0d, 0x00, 0x14, 0x07, 0x32, 0x00,
    0x91, 0x3a, 0x01, 0x91, 0x8b, 0x3d, 0xf2, 0x56, 0x00, 0xed, 0x44, 0xc9};

// loop: ld b,0 / djnz $ / inc a / jr loop
const uint8_t TightLoop[] = {0x06, 0x00, 0x10, 0xfe, 0x3c, 0x18, 0xf9};

// The processor's view of the machine: flat RAM; ports idle and no monitor
// (the open-bus defaults).
uint8_t flatRead(uint16_t address) { return ram[address]; }
void flatWrite(uint16_t address, uint8_t value) { ram[address] = value; }

void loadProgram(const uint8_t* program, size_t size) {
    std::memset(ram, 0, sizeof ram);
    std::memcpy(ram, program, size);
}

void report(benchmark::State& state, uint64_t cycles) {
    state.counters["MHz"] =
        benchmark::Counter(static_cast<double>(cycles) / 1e6, benchmark::Counter::kIsRate);
    state.counters["xRealTime"] =
        benchmark::Counter(static_cast<double>(cycles) / MachineHz, benchmark::Counter::kIsRate);
}

void runOurs(benchmark::State& state, const uint8_t* program, size_t size) {
    loadProgram(program, size);
    cpuConnect({.read = flatRead, .write = flatWrite});
    cpuInit(static_cast<uint64_t>(MachineHz));
    uint64_t cycles = 0;
    for (auto _ : state) {
        int32_t budget = CyclesPerRun;
        while (budget > 0)
            budget -= execute(budget);
        cycles += static_cast<uint64_t>(CyclesPerRun - budget);
    }
    benchmark::DoNotOptimize(cpu.AF);
    report(state, cycles);
}

void BM_Mix(benchmark::State& state) { runOurs(state, MixProgram, sizeof MixProgram); }
void BM_TightLoop(benchmark::State& state) { runOurs(state, TightLoop, sizeof TightLoop); }
// The host is shared, so each figure is the median of three runs.
BENCHMARK(BM_Mix)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
BENCHMARK(BM_TightLoop)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

#ifdef ORVANE_HAVE_Z80EX
Z80EX_BYTE exRead(Z80EX_CONTEXT*, Z80EX_WORD address, int, void*) { return ram[address]; }
void exWrite(Z80EX_CONTEXT*, Z80EX_WORD address, Z80EX_BYTE value, void*) { ram[address] = value; }
Z80EX_BYTE exIn(Z80EX_CONTEXT*, Z80EX_WORD, void*) { return 0xFF; }
void exOut(Z80EX_CONTEXT*, Z80EX_WORD, Z80EX_BYTE, void*) {}
Z80EX_BYTE exVector(Z80EX_CONTEXT*, void*) { return 0xFF; }

void BM_Mix_z80ex(benchmark::State& state) {
    loadProgram(MixProgram, sizeof MixProgram);
    Z80EX_CONTEXT* z = z80ex_create(exRead, nullptr, exWrite, nullptr, exIn, nullptr, exOut,
                                    nullptr, exVector, nullptr);
    uint64_t cycles = 0;
    for (auto _ : state) {
        int32_t done = 0;
        while (done < CyclesPerRun)
            done += z80ex_step(z);
        cycles += static_cast<uint64_t>(done);
    }
    z80ex_destroy(z);
    report(state, cycles);
}
BENCHMARK(BM_Mix_z80ex)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(3)
    ->ReportAggregatesOnly();
#endif

} // namespace

// Takes the median rates of the two mix runs from the counters they report.
class RateCapture : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto mhz = run.counters.find("MHz");
            if (mhz == run.counters.end() || run.aggregate_name != "median") continue;
            std::string name = run.run_name.function_name;
            if (name == "BM_Mix_z80ex") z80exRate = mhz->second.value;
            if (name == "BM_Mix") oursRate = mhz->second.value;
        }
    }
    double oursRate = 0, z80exRate = 0;
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RateCapture reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.oursRate > 0 && reporter.z80exRate > 0)
        std::printf("z80ex-ratio: %.2f\n", reporter.oursRate / reporter.z80exRate);
    return 0;
}
