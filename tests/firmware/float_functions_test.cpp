// The functions of the firmware's floating point against the host's libm,
// over the ranges BASIC programs use, and their failures.
#include "float_machine.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include <gtest/gtest.h>

using namespace float_test;

namespace {

// Worst error of the routine over `cases` arguments spread evenly in
// logarithm (or linearly) between from and to, in units of the last place
// of the exact result (or absolute error below `floor`, where the result
// passes through 0).
long double worstError(const std::string& routine, long double (*exact)(long double),
                       long double from, long double to, bool logarithmic, long double floor = 0,
                       int cases = 300) {
    std::mt19937 rng(static_cast<unsigned>(routine.size() * 1000 + cases));
    long double worst = 0;
    for (int i = 0; i < cases; ++i) {
        long double t = std::uniform_real_distribution<double>(0, 1)(rng);
        long double x = logarithmic ? from * std::pow(to / from, t) : from + (to - from) * t;
        x = unpack(pack(x));
        setFpa(x);
        Outcome outcome = call(routine);
        EXPECT_EQ(outcome.error, "") << routine << "(" << x << ")";
        long double want = exact(x);
        long double got = fpa();
        long double error = std::fabs(want) < floor ? std::fabs(got - want) / ulpOf(floor)
                                                    : std::fabs(got - want) / ulpOf(want);
        worst = std::max(worst, error);
    }
    return worst;
}

TEST(FloatFunctions, SquareRootExpAndLogNearTheFormatsPrecision) {
    EXPECT_LE(worstError("fp_sqr", sqrtl, 1e-38L, 1e38L, true), 1.0L);
    EXPECT_LE(worstError("fp_sqr", sqrtl, 0.25L, 4, false), 1.0L);
    EXPECT_LE(worstError("fp_exp", expl, -88, 88, false), 1.5L);
    EXPECT_LE(worstError("fp_exp", expl, -1, 1, false), 1.5L);
    EXPECT_LE(worstError("fp_log", logl, 1e-38L, 1e38L, true), 1.5L);
    EXPECT_LE(worstError("fp_log", logl, 0.5L, 2, false, 1), 1.5L);
}

TEST(FloatFunctions, TrigonometryToNineDigits) {
    // 2 ulp is better than one part in 2E9.
    EXPECT_LE(worstError("fp_sin", sinl, -10, 10, false, 1), 2.0L);
    EXPECT_LE(worstError("fp_cos", cosl, -10, 10, false, 1), 2.0L);
    EXPECT_LE(worstError("fp_sin", sinl, -1000, 1000, false, 1), 4.0L);
    EXPECT_LE(worstError("fp_sin", sinl, 1e-20L, 0.5L, true), 2.0L);
    EXPECT_LE(worstError("fp_tan", tanl, -1.5L, 1.5L, false, 1), 3.0L);
    EXPECT_LE(worstError("fp_atn", atanl, -1e30L, -1e-30L, true), 2.0L);
    EXPECT_LE(worstError("fp_atn", atanl, -5, 5, false, 1), 2.0L);
}

TEST(FloatFunctions, ExactValuesStayExact) {
    for (long double square : {0.0L, 1.0L, 4.0L, 16.0L, 1e8L, 0.25L, 1024.0L * 1024}) {
        setFpa(square);
        call("fp_sqr");
        EXPECT_EQ(fpa(), std::sqrt(square));
    }
    for (long double x : {0.0L}) {
        setFpa(x);
        call("fp_sin");
        EXPECT_EQ(fpa(), 0);
        setFpa(x);
        call("fp_exp");
        EXPECT_EQ(fpa(), 1);
        setFpa(x);
        call("fp_atn");
        EXPECT_EQ(fpa(), 0);
    }
    setFpa(1);
    call("fp_log");
    EXPECT_EQ(fpa(), 0);
    call("fp_pi");
    EXPECT_EQ(fpa(), unpack(pack(3.14159265358979323846L)));
    EXPECT_EQ(format(fpa()), " 3.14159265");
}

TEST(FloatFunctions, PowersWholeExactAndGeneral) {
    const std::tuple<long double, long double, long double> exact[] = {
        {2, 10, 1024},
        {3, 4, 81},
        {-2, 3, -8},
        {-2, 4, 16},
        {10, -2, 1.0L / 100},
        {7, 1, 7},
        {5, 0, 1},
        {0, 0, 1},
        {0, 3, 0},
        {-1, 63, -1},
        {3.5L, 2, 12.25L},
        {-3, 2, 9},
        {-4, -2, 1.0L / 16},
        {2, 31, 2147483648.0L},
        {2, -64, std::ldexp(1.0L, -64)},
    };
    for (auto [x, y, want] : exact) {
        Outcome outcome = binary("fp_pow", x, y);
        EXPECT_EQ(outcome.error, "") << x << "^" << y;
        EXPECT_EQ(fpa(), unpack(pack(want))) << x << "^" << y;
    }
    const std::pair<long double, long double> general[] = {
        {2, 0.5L}, {10, 0.3L}, {1.5L, 100}, {0.9L, 500}, {-2, 101}, {7.5L, -3.25L}, {1e10L, 3.5L},
    };
    for (auto [x, y] : general) {
        binary("fp_pow", x, y);
        long double want = std::pow(unpack(pack(x)), unpack(pack(y)));
        EXPECT_NEAR(fpa(), want, std::fabs(want) * 2e-8L) << x << "^" << y;
    }
}

TEST(FloatFunctions, ArgumentsOutsideTheDomain) {
    for (long double x : {-1.0L, -1e-30L}) {
        setFpa(x);
        EXPECT_EQ(call("fp_sqr").error, "err_argument");
        setFpa(x);
        EXPECT_EQ(call("fp_log").error, "err_argument");
    }
    setFpa(0);
    EXPECT_EQ(call("fp_log").error, "err_argument");
    EXPECT_EQ(binary("fp_pow", -2, 0.5L).error, "err_argument");
    EXPECT_EQ(binary("fp_pow", 0, -1).error, "err_divzero");
    EXPECT_EQ(binary("fp_pow", 10, 39).error, "err_overflow");
    EXPECT_EQ(binary("fp_pow", 10, 38.5L).error, "err_overflow");
    setFpa(89);
    EXPECT_EQ(call("fp_exp").error, "err_overflow");
    setFpa(1000);
    EXPECT_EQ(call("fp_exp").error, "err_overflow");
    for (long double x : {-89.0L, -1000.0L, -1e30L}) {
        setFpa(x);
        EXPECT_EQ(call("fp_exp").error, "");
        EXPECT_EQ(fpaPacked(), Packed{}) << x;
    }
}

// The generator fills [0,1) evenly, never repeats quickly and recovers
// from a zero seed.
TEST(FloatFunctions, RandomNumbersAreEvenAndNeverStuck) {
    poke(label("fp_seed"), Packed{});
    int buckets[10] = {};
    long double previous = -1;
    for (int i = 0; i < 2000; ++i) {
        call("fp_rnd");
        long double r = fpa();
        ASSERT_GT(r, 0);
        ASSERT_LT(r, 1);
        EXPECT_NE(r, previous);
        previous = r;
        ++buckets[static_cast<int>(r * 10)];
    }
    for (int count : buckets) {
        EXPECT_GT(count, 150);
        EXPECT_LT(count, 250);
    }
}

// The interpreter's stack is shared: no routine may go deep. The deepest
// chains are x^y through LOG and EXP, and SIN/COS through their kernel.
TEST(FloatFunctions, StackUseStaysSmall) {
    int deepest = 0;
    for (const char* routine : {"fp_sqr", "fp_exp", "fp_log", "fp_sin", "fp_cos", "fp_tan",
                                "fp_atn", "fp_format", "fp_rnd", "fp_int"}) {
        setFpa(2.5L);
        deepest = std::max(deepest, call(routine, {.de = TextAddress}).stackBytes);
    }
    for (const char* routine : {"fp_add", "fp_sub", "fp_mul", "fp_div", "fp_cmp", "fp_pow"})
        deepest = std::max(deepest, binary(routine, 2.5L, 3.7L).stackBytes);
    EXPECT_GT(deepest, 20) << "the measurement sees the calls";
    EXPECT_LE(deepest, 64);
}

TEST(FloatFunctions, FunctionsKeepTheCallersRegisters) {
    for (const char* routine :
         {"fp_sqr", "fp_exp", "fp_log", "fp_sin", "fp_cos", "fp_tan", "fp_atn", "fp_pi", "fp_rnd",
          "fp_int", "fp_fix", "fp_neg", "fp_abs", "fp_sgn", "fp_test"}) {
        setFpa(0.75L);
        Outcome outcome = call(routine, {.hl = 0x1234, .de = 0xBEEF, .bc = 0xCAFE});
        EXPECT_EQ(outcome.hl, 0x1234) << routine;
        EXPECT_EQ(outcome.de, 0xBEEF) << routine;
        EXPECT_EQ(outcome.bc, 0xCAFE) << routine;
        EXPECT_EQ(outcome.ix, 0x1357) << routine;
        EXPECT_EQ(outcome.iy, 0x2468) << routine;
    }
    setFpa(2);
    poke(OperandAddress, pack(3));
    Outcome outcome = call("fp_pow", {.hl = OperandAddress, .de = 0xBEEF, .bc = 0xCAFE});
    EXPECT_EQ(outcome.hl, OperandAddress);
    EXPECT_EQ(outcome.de, 0xBEEF);
    EXPECT_EQ(outcome.bc, 0xCAFE);
}

} // namespace
