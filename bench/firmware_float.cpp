// T-states the firmware's floating-point routines take on the emulated Z80,
// averaged over typical operands: the counter "tstates" is per call (at
// 2,995,200 Hz, 3000 T-states are 1 ms). The host time measured alongside
// only says how fast the emulation runs them.
#include <benchmark/benchmark.h>

#include "float_machine.h"

#include <string>
#include <vector>

using namespace float_test;

namespace {

// Operand pairs: nearby magnitudes, whole numbers, far apart.
const std::vector<std::pair<long double, long double>> Operands = {
    {1.2345678L, 3.7654321L}, {-2.5L, 1.75L}, {1234, 3}, {100, 7}, {1e6L, 0.001L}, {0.1L, 0.3L},
    {3.14159L, -2.71828L},    {65535, 255},
};

// Same exponent, same sign: no shifting, no normalising.
const std::vector<std::pair<long double, long double>> Aligned = {
    {1.5L, 1.25L},
    {5, 6},
    {0.3L, 0.4L},
    {1000, 1001},
};

void binaryRoutine(benchmark::State& state, const std::string& routine,
                   const std::vector<std::pair<long double, long double>>& operands = Operands) {
    uint64_t cycles = 0, calls = 0;
    for (auto _ : state)
        for (auto [a, b] : operands) {
            cycles += binary(routine, a, b).cycles;
            ++calls;
        }
    state.counters["tstates"] = static_cast<double>(cycles) / static_cast<double>(calls);
}

void unaryRoutine(benchmark::State& state, const std::string& routine,
                  const std::vector<long double>& arguments) {
    uint64_t cycles = 0, calls = 0;
    for (auto _ : state)
        for (long double x : arguments) {
            setFpa(x);
            // HL: a number to load, room to store, or a whole number.
            cycles +=
                call(routine,
                     {.hl = static_cast<uint16_t>(routine == "fp_from_int" ? 1000 : OperandAddress),
                      .de = TextAddress})
                    .cycles;
            ++calls;
        }
    state.counters["tstates"] = static_cast<double>(cycles) / static_cast<double>(calls);
}

void parseRoutine(benchmark::State& state) {
    uint64_t cycles = 0, calls = 0;
    for (auto _ : state)
        for (const char* text : {"1", "100", "3.14159", "0.001", "1.5E-7", "123456789"}) {
            ensureMachine();
            parse(text);
            setFpa(0);
            Outcome outcome = call("fp_parse", {.hl = TextAddress});
            cycles += outcome.cycles;
            ++calls;
        }
    state.counters["tstates"] = static_cast<double>(cycles) / static_cast<double>(calls);
}

const std::vector<long double> Mixed = {0.5L, 1.5L, 2, 10, 0.001L, 3.7L, -1.25L, 100};

} // namespace

BENCHMARK_CAPTURE(binaryRoutine, add, std::string("fp_add"));
BENCHMARK_CAPTURE(binaryRoutine, add_aligned, std::string("fp_add"), Aligned);
BENCHMARK_CAPTURE(binaryRoutine, sub, std::string("fp_sub"));
BENCHMARK_CAPTURE(binaryRoutine, mul, std::string("fp_mul"));
BENCHMARK_CAPTURE(binaryRoutine, div, std::string("fp_div"));
BENCHMARK_CAPTURE(binaryRoutine, cmp, std::string("fp_cmp"));
BENCHMARK_CAPTURE(binaryRoutine, pow, std::string("fp_pow"));
// x^2 in one multiplication; other whole powers and fractional ones in
// pairs of twice the precision.
BENCHMARK_CAPTURE(binaryRoutine, pow_square, std::string("fp_pow"),
                  std::vector<std::pair<long double, long double>>{{1.5L, 2}, {123, 2}, {0.3L, 2}});
BENCHMARK_CAPTURE(binaryRoutine, pow_whole, std::string("fp_pow"),
                  std::vector<std::pair<long double, long double>>{
                      {1.05L, 12}, {3, 5}, {0.9L, -7}});
BENCHMARK_CAPTURE(binaryRoutine, pow_fraction, std::string("fp_pow"),
                  std::vector<std::pair<long double, long double>>{
                      {9.04L, 2.5L}, {10, 0.3L}, {0.5L, -1.7L}});
BENCHMARK_CAPTURE(unaryRoutine, load, std::string("fp_load"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, store, std::string("fp_store"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, from_int, std::string("fp_from_int"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, int, std::string("fp_int"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, to_int, std::string("fp_to_int"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, format, std::string("fp_format"),
                  std::vector<long double>{1, 100, 1.0L / 3, -32768, 1.5e-5L, 123456789, 1e20L});
BENCHMARK(parseRoutine);
BENCHMARK_CAPTURE(unaryRoutine, sqr, std::string("fp_sqr"),
                  std::vector<long double>{0.5L, 2, 10, 1e6L, 3});
BENCHMARK_CAPTURE(unaryRoutine, exp, std::string("fp_exp"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, log, std::string("fp_log"),
                  std::vector<long double>{0.5L, 2, 10, 1e6L, 3});
BENCHMARK_CAPTURE(unaryRoutine, sin, std::string("fp_sin"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, cos, std::string("fp_cos"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, tan, std::string("fp_tan"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, atn, std::string("fp_atn"), Mixed);
BENCHMARK_CAPTURE(unaryRoutine, rnd, std::string("fp_rnd"), std::vector<long double>{0});
