// The four operations, comparison and the sign and rounding helpers of the
// firmware's floating point, run on the emulated Z80 and checked against
// the host's long double arithmetic.
#include "float_machine.h"

#include <cmath>
#include <functional>
#include <random>

#include <gtest/gtest.h>

using namespace float_test;

namespace {

// A random number of the format: any mantissa, exponent within +-range
// binary places, either sign.
long double randomNumber(std::mt19937& rng, int range) {
    uint32_t m = static_cast<uint32_t>(rng()) | 0x80000000u;
    int exponent = static_cast<int>(rng() % (2 * range + 1)) - range;
    long double value = std::ldexp(static_cast<long double>(m), exponent - 32);
    return (rng() & 1) ? -value : value;
}

// Runs the operation on many random pairs and returns the worst error in
// units of the last place of the exact result.
long double worstError(const std::string& routine,
                       const std::function<long double(long double, long double)>& exact, int range,
                       int cases, unsigned seed) {
    std::mt19937 rng(seed);
    long double worst = 0;
    for (int i = 0; i < cases; ++i) {
        long double a = randomNumber(rng, range), b = randomNumber(rng, range);
        // Nearby exponents half the time, where cancellation happens.
        if (i % 2)
            b = std::ldexp(b, std::ilogb(a) - std::ilogb(b) + static_cast<int>(rng() % 3) - 1);
        long double want = exact(a, b);
        Outcome outcome = binary(routine, a, b);
        EXPECT_EQ(outcome.error, "") << a << " " << routine << " " << b;
        long double got = fpa();
        long double error = want == 0 ? std::fabs(got) : std::fabs(got - want) / ulpOf(want);
        if (error > worst) worst = error;
        EXPECT_LE(error, 0.51L) << routine << "(" << a << ", " << b << ") = " << got << ", want "
                                << want;
        if (error > 0.51L) break;
    }
    return worst;
}

TEST(FloatArithmetic, RandomOperandsRoundToNearest) {
    EXPECT_LE(worstError(
                  "fp_add", [](auto a, auto b) { return a + b; }, 40, 1500, 1),
              0.51L);
    EXPECT_LE(worstError(
                  "fp_sub", [](auto a, auto b) { return a - b; }, 40, 1500, 2),
              0.51L);
    EXPECT_LE(worstError(
                  "fp_mul", [](auto a, auto b) { return a * b; }, 60, 1500, 3),
              0.51L);
    EXPECT_LE(worstError(
                  "fp_div", [](auto a, auto b) { return a / b; }, 60, 1500, 4),
              0.51L);
}

// Mantissas that take the rarer paths: zero bytes (skipped by mul),
// equal high words (the division's trial on the low words alone).
TEST(FloatArithmetic, MantissasWithZeroBytesOrEqualHalves) {
    const uint32_t mantissas[] = {0x80000000u, 0x80000001u, 0x80010000u, 0x80000100u, 0xFF00FF00u,
                                  0xC0000001u, 0xC0000005u, 0xC000FFFFu, 0xFFFFFFFFu, 0xC0010000u};
    for (uint32_t ma : mantissas)
        for (uint32_t mb : mantissas) {
            long double a = std::ldexp(static_cast<long double>(ma), -32);
            long double b = std::ldexp(static_cast<long double>(mb), -29);
            binary("fp_mul", a, b);
            EXPECT_LE(std::fabs(fpa() - a * b) / ulpOf(a * b), 0.5L)
                << std::hex << ma << " * " << mb;
            binary("fp_div", a, b);
            EXPECT_LE(std::fabs(fpa() - a / b) / ulpOf(a / b), 0.5L)
                << std::hex << ma << " / " << mb;
            binary("fp_sub", a, -b);
            EXPECT_LE(std::fabs(fpa() - (a + b)) / ulpOf(a + b), 0.5L)
                << std::hex << ma << " - " << mb;
        }
}

TEST(FloatArithmetic, WholeNumbersStayExact) {
    for (long double a : {0.0L, 1.0L, 7.0L, 255.0L, 256.0L, 65535.0L, 999999999.0L, 4294967295.0L})
        for (long double b : {0.0L, 1.0L, 3.0L, 10.0L, 1000.0L, 123456.0L}) {
            if (a + b < 4294967296.0L) {
                binary("fp_add", a, b);
                EXPECT_EQ(fpa(), a + b) << a << "+" << b;
            }
            binary("fp_sub", a, b);
            EXPECT_EQ(fpa(), a - b) << a << "-" << b;
            if (a * b < 4294967296.0L) {
                binary("fp_mul", a, b);
                EXPECT_EQ(fpa(), a * b) << a << "*" << b;
            }
        }
    binary("fp_div", 1e9L, 1000);
    EXPECT_EQ(fpa(), 1e6L);
    binary("fp_div", -144, 12);
    EXPECT_EQ(fpa(), -12);
}

TEST(FloatArithmetic, CancellationAndZeroOperands) {
    const long double third = unpack(pack(1.0L / 3));
    binary("fp_sub", third, third);
    EXPECT_EQ(fpaPacked(), Packed{});
    binary("fp_add", -2.5L, 2.5L);
    EXPECT_EQ(fpaPacked(), Packed{}) << "no negative zero";
    binary("fp_sub", 1.0L, 1.0L - std::ldexp(1.0L, -32));
    EXPECT_EQ(fpa(), std::ldexp(1.0L, -32));
    binary("fp_sub", 1e-20L * 3, 1e-20L * 3 - ulpOf(3e-20L));
    EXPECT_EQ(fpa(), unpack(pack(3e-20L)) - unpack(pack(3e-20L - ulpOf(3e-20L))));
    binary("fp_add", 0, -5);
    EXPECT_EQ(fpa(), -5);
    binary("fp_sub", 0, -5);
    EXPECT_EQ(fpa(), 5);
    binary("fp_add", 5, 0);
    EXPECT_EQ(fpa(), 5);
    binary("fp_mul", 0, -5);
    EXPECT_EQ(fpaPacked(), Packed{});
    binary("fp_mul", -5, 0);
    EXPECT_EQ(fpaPacked(), Packed{});
    binary("fp_div", 0, 7);
    EXPECT_EQ(fpaPacked(), Packed{});
    binary("fp_add", 1e30L, 1);
    EXPECT_EQ(fpa(), unpack(pack(1e30L)));
}

TEST(FloatArithmetic, OverflowUnderflowAndDivisionByZero) {
    EXPECT_EQ(binary("fp_mul", 1e20L, 1e20L).error, "err_overflow");
    EXPECT_EQ(binary("fp_div", 1e20L, 1e-20L).error, "err_overflow");
    EXPECT_EQ(binary("fp_add", 1.7e38L, 1.7e38L).error, "err_overflow");
    EXPECT_EQ(binary("fp_sub", -1.7e38L, 1.7e38L).error, "err_overflow");
    EXPECT_EQ(binary("fp_div", 1, 0).error, "err_divzero");
    EXPECT_EQ(binary("fp_div", 0, 0).error, "err_divzero");

    EXPECT_EQ(binary("fp_mul", 1e-20L, 1e-20L).error, "");
    EXPECT_EQ(fpaPacked(), Packed{});
    EXPECT_EQ(binary("fp_div", 1e-20L, 1e20L).error, "");
    EXPECT_EQ(fpaPacked(), Packed{});
    binary("fp_sub", 3e-39L, 2.95e-39L);
    EXPECT_EQ(fpaPacked(), Packed{});
    // Powers of two only move the exponent, and still meet the ends.
    EXPECT_EQ(binary("fp_mul", 1.7e38L, 2).error, "err_overflow");
    EXPECT_EQ(binary("fp_mul", 4, 1.7e38L).error, "err_overflow");
    EXPECT_EQ(binary("fp_div", 1.7e38L, 0.5L).error, "err_overflow");
    binary("fp_div", 3e-39L, 2);
    EXPECT_EQ(fpaPacked(), Packed{});
    binary("fp_mul", 0.5L, 3e-39L);
    EXPECT_EQ(fpaPacked(), Packed{});
    binary("fp_mul", -0.25L, 12345.678L);
    EXPECT_EQ(fpa(), unpack(pack(12345.678L)) * -0.25L);
    binary("fp_div", -12345.678L, -1024);
    EXPECT_EQ(fpa(), unpack(pack(12345.678L)) / 1024);

    // The ends of the range.
    const long double largest = std::ldexp(4294967295.0L, 127 - 32);
    const long double smallest = std::ldexp(1.0L, -128);
    binary("fp_mul", largest, 1);
    EXPECT_EQ(fpa(), largest);
    binary("fp_div", smallest * 2, 2);
    EXPECT_EQ(fpa(), smallest);
    EXPECT_EQ(binary("fp_add", largest, ulpOf(largest) / 2).error, "err_overflow")
        << "rounding up past the largest number";
}

TEST(FloatArithmetic, CompareOrdersAllSignsAndZero) {
    const long double values[] = {-1e30L, -3.5L,         -1, -1e-30L, 0, 1e-30L,
                                  1,      1.0000000005L, 2,  7e37L};
    for (long double a : values)
        for (long double b : values) {
            Outcome outcome = binary("fp_cmp", a, b);
            uint8_t want = a == b ? 0 : a > b ? 1 : 0xFF;
            EXPECT_EQ(outcome.a, want) << a << " vs " << b;
            EXPECT_EQ(outcome.zero, a == b) << a << " vs " << b;
        }
    // Mantissas differing in the lowest byte only.
    const long double one = 1, next = 1 + std::ldexp(1.0L, -31);
    EXPECT_EQ(binary("fp_cmp", next, one).a, 1);
    EXPECT_EQ(binary("fp_cmp", -next, -one).a, 0xFF);
}

TEST(FloatArithmetic, RandomCompareIntAndFix) {
    std::mt19937 rng(7);
    for (int i = 0; i < 400; ++i) {
        long double a = randomNumber(rng, 40);
        long double b = (i % 3 == 0) ? a : (i % 3 == 1) ? -a : randomNumber(rng, 40);
        if (i % 7 == 0) b = std::nextafter(static_cast<double>(a), 0.0);
        b = unpack(pack(b));
        EXPECT_EQ(binary("fp_cmp", a, b).a, a == b ? 0 : a > b ? 1 : 0xFF) << a << " vs " << b;
        setFpa(a);
        call("fp_int");
        EXPECT_EQ(fpa(), std::floor(a)) << "INT " << a;
        setFpa(a);
        call("fp_fix");
        EXPECT_EQ(fpa(), std::trunc(a)) << "FIX " << a;
    }
}

TEST(FloatArithmetic, SignHelpers) {
    for (long double v : {-7.25L, 0.0L, 3e-20L}) {
        setFpa(v);
        Outcome test = call("fp_test");
        EXPECT_EQ(test.a, v == 0 ? 0 : v > 0 ? 1 : 0xFF);
        EXPECT_EQ(test.zero, v == 0);
        setFpa(v);
        call("fp_neg");
        EXPECT_EQ(fpaPacked(), pack(-v + 0)) << v;
        setFpa(v);
        call("fp_abs");
        EXPECT_EQ(fpa(), std::fabs(unpack(pack(v))));
        setFpa(v);
        call("fp_sgn");
        EXPECT_EQ(fpa(), v == 0 ? 0 : v > 0 ? 1 : -1);
    }
}

TEST(FloatArithmetic, IntFloorsAndFixTruncates) {
    for (long double v : {0.0L, 0.5L, -0.5L, 1.0L, -1.0L, 2.75L, -2.75L, -3.0L, 1e-30L, -1e-30L,
                          123456.999L, -123456.001L, 4294967295.5L, -65536.25L, 1e20L, -1e20L}) {
        setFpa(v);
        call("fp_int");
        EXPECT_EQ(fpa(), std::floor(unpack(pack(v)))) << "INT " << v;
        setFpa(v);
        call("fp_fix");
        EXPECT_EQ(fpa(), std::trunc(unpack(pack(v)))) << "FIX " << v;
    }
}

TEST(FloatArithmetic, RoutinesKeepTheCallersRegisters) {
    for (const char* routine : {"fp_add", "fp_sub", "fp_mul", "fp_div", "fp_cmp"}) {
        setFpa(3.5);
        poke(OperandAddress, pack(-1.25));
        Outcome outcome = call(routine, {.hl = OperandAddress, .de = 0xBEEF, .bc = 0xCAFE});
        EXPECT_EQ(outcome.hl, OperandAddress) << routine;
        EXPECT_EQ(outcome.de, 0xBEEF) << routine;
        EXPECT_EQ(outcome.bc, 0xCAFE) << routine;
        EXPECT_EQ(outcome.ix, 0x1357) << routine;
        EXPECT_EQ(outcome.iy, 0x2468) << routine;
    }
}

} // namespace
