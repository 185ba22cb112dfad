// The eight PCW benchmark programs (Rugg and Feldman's BM1-BM7 and the
// transcendental BM8) typed into the open firmware and run in the headless
// machine. The counter "emulated_s" is the machine's own time from the "S"
// the program prints first to the "E" it prints last, in 20 ms frames; the
// host time beside it only says how fast the emulation ran them.
#include <benchmark/benchmark.h>

#include "basic_session.h"

#include "machine/frame.h"
#include "machine/keyboard.h"

#include <string>
#include <vector>

using namespace basic_test;

namespace {

using Program = std::vector<std::string>;

const Program Bm1 = {"100 PRINT \"S\"", "200 FOR K=1 TO 1000", "300 NEXT K", "700 PRINT \"E\"",
                     "800 END"};
const Program Bm2 = {"100 PRINT \"S\"",        "200 K=0",         "300 K=K+1",
                     "500 IF K<1000 THEN 300", "700 PRINT \"E\"", "800 END"};
const Program Bm3 = {"100 PRINT \"S\"",        "200 K=0",         "300 K=K+1", "400 A=K/K*K+K-K",
                     "500 IF K<1000 THEN 300", "700 PRINT \"E\"", "800 END"};
const Program Bm4 = {"100 PRINT \"S\"",        "200 K=0",         "300 K=K+1", "400 A=K/2*3+4-5",
                     "500 IF K<1000 THEN 300", "700 PRINT \"E\"", "800 END"};
const Program Bm5 = {"100 PRINT \"S\"", "200 K=0",       "300 K=K+1",
                     "400 A=K/2*3+4-5", "450 GOSUB 820", "500 IF K<1000 THEN 300",
                     "700 PRINT \"E\"", "800 END",       "820 RETURN"};
const Program Bm6 = {"100 PRINT \"S\"",        "200 K=0",         "250 DIM M(5)",     "300 K=K+1",
                     "400 A=K/2*3+4-5",        "450 GOSUB 820",   "460 FOR L=1 TO 5", "480 NEXT L",
                     "500 IF K<1000 THEN 300", "700 PRINT \"E\"", "800 END",          "820 RETURN"};
const Program Bm7 = {
    "100 PRINT \"S\"", "200 K=0",          "250 DIM M(5)", "300 K=K+1",  "400 A=K/2*3+4-5",
    "450 GOSUB 820",   "460 FOR L=1 TO 5", "470 M(L)=A",   "480 NEXT L", "500 IF K<1000 THEN 300",
    "700 PRINT \"E\"", "800 END",          "820 RETURN"};
const Program Bm8 = {"100 PRINT \"S\"",
                     "200 K=0",
                     "300 K=K+1",
                     "400 A=K^2",
                     "410 B=LOG(K)",
                     "420 C=SIN(K)",
                     "500 IF K<1000 THEN 300",
                     "700 PRINT \"E\"",
                     "800 END"};

bool screenShows(const std::string& row) {
    for (const auto& r : screenRows())
        if (r == row) return true;
    return false;
}

// Frames from the first "S" on the screen to the "E", at most 10 minutes.
int framesToRun(const Program& program) {
    bootMachine();
    typeAndRun("NEW\r");
    enterProgram(program);
    typeAndRun("CLS\r");
    typeText("RUN\r");
    int frame = 0;
    while (!screenShows("S") && frame < 1000) {
        runFrameFast();
        ++frame;
    }
    int frames = 0;
    while (!screenShows("E") && frames < 30000) {
        runFrameFast();
        ++frames;
    }
    return frames;
}

void pcw(benchmark::State& state, const Program* program) {
    int frames = 0;
    for (auto _ : state)
        frames = framesToRun(*program);
    state.counters["emulated_s"] = frames * 0.02;
}

BENCHMARK_CAPTURE(pcw, BM1, &Bm1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pcw, BM2, &Bm2)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pcw, BM3, &Bm3)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pcw, BM4, &Bm4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pcw, BM5, &Bm5)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pcw, BM6, &Bm6)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pcw, BM7, &Bm7)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pcw, BM8, &Bm8)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
