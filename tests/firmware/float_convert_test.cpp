// Numbers in and out of the firmware's floating point: whole numbers to and
// from registers, decimal text read by fp_parse and written by fp_format.
#include "float_machine.h"

#include <cmath>
#include <cstdio>
#include <random>

#include <gtest/gtest.h>

using namespace float_test;

namespace {

TEST(FloatConvert, WholeNumbersFromRegisters) {
    for (int v : {0, 1, -1, 255, 256, 32767, -32768, -12345}) {
        call("fp_from_int", {.hl = static_cast<uint16_t>(v)});
        EXPECT_EQ(fpa(), v);
    }
    for (unsigned v : {0u, 1u, 32768u, 40000u, 65535u}) {
        call("fp_from_uint", {.hl = static_cast<uint16_t>(v)});
        EXPECT_EQ(fpa(), v);
    }
    for (unsigned v : {0u, 1u, 128u, 255u}) {
        call("fp_from_a", {.a = static_cast<uint8_t>(v)});
        EXPECT_EQ(fpa(), v);
    }
}

TEST(FloatConvert, ToIntTruncatesAndReportsTheLimits) {
    struct Case {
        long double value;
        bool fits;
        int result;
    };
    for (Case c : std::initializer_list<Case>{{0, true, 0},
                                              {0.999L, true, 0},
                                              {-0.999L, true, 0},
                                              {2.9L, true, 2},
                                              {-2.9L, true, -2},
                                              {32767.99L, true, 32767},
                                              {32768, false, 0},
                                              {-32768.9L, true, -32768},
                                              {-32769, false, 0},
                                              {65536, false, 0},
                                              {-1e30L, false, 0},
                                              {1e-30L, true, 0}}) {
        setFpa(c.value);
        Outcome outcome = call("fp_to_int", {.de = 0xBEEF, .bc = 0xCAFE});
        EXPECT_EQ(!outcome.carry, c.fits) << c.value;
        if (c.fits) {
            EXPECT_EQ(static_cast<int16_t>(outcome.hl), c.result) << c.value;
        }
        EXPECT_EQ(outcome.de, 0xBEEF);
        EXPECT_EQ(outcome.bc, 0xCAFE);
    }
    for (Case c : std::initializer_list<Case>{{0, true, 0},
                                              {-0.5L, true, 0},
                                              {-1, false, 0},
                                              {65535.9L, true, 65535},
                                              {65536, false, 0},
                                              {40000.5L, true, 40000},
                                              {1e10L, false, 0}}) {
        setFpa(c.value);
        Outcome outcome = call("fp_to_uint");
        EXPECT_EQ(!outcome.carry, c.fits) << c.value;
        if (c.fits) {
            EXPECT_EQ(outcome.hl, c.result) << c.value;
        }
    }
}

TEST(FloatConvert, FormatFollowsTheUsualLayout) {
    const std::pair<long double, const char*> cases[] = {
        {1.0L / 3, " 0.333333333"},
        {2.0L / 3, " 0.666666667"},
        {100, " 100"},
        {1e9L, " 1E+09"},
        {-32768, "-32768"},
        {0, " 0"},
        {1, " 1"},
        {-1, "-1"},
        {0.5L, " 0.5"},
        {-0.25L, "-0.25"},
        {1.5e-5L, " 1.5E-05"},
        {-1.23456789e12L, "-1.23456789E+12"},
        {1e10L, " 1E+10"},
        {0.01L, " 0.01"},
        {0.00999L, " 9.99E-03"},
        {0.1L, " 0.1"},
        {123456789, " 123456789"},
        {999999999, " 999999999"},
        {999999999.6L, " 1E+09"},
        {1234.5L, " 1234.5"},
        {-0.012345L, "-0.012345"},
        {1.7e38L, " 1.7E+38"},
        {3e-39L, " 3E-39"},
        {4294967295.0L, " 4.2949673E+09"},
        {12345678.9L, " 12345678.9"},
    };
    for (auto [value, text] : cases)
        EXPECT_EQ(format(value), text) << static_cast<double>(value);
}

TEST(FloatConvert, ParseReadsTheUsualForms) {
    const std::tuple<const char*, long double, int> cases[] = {
        {"0.1", 0.1L, 3},
        {".5", 0.5L, 2},
        {"5.", 5, 2},
        {"1E3", 1000, 3},
        {"1.5E-7", 1.5e-7L, 6},
        {"1.5e+7", 1.5e7L, 6},
        {"123456789", 123456789, 9},
        {"4294967295", 4294967295.0L, 10},
        {"007", 7, 3},
        {"0.000000000000001", 1e-15L, 17},
        {"1E", 1, 1},
        {"2E+", 2, 1},
        {"3ELSE", 3, 1},
        {"12.5.3", 12.5L, 4},
        {"1E-50", 0, 5},
        {"0E99", 0, 4},
        {"12345678901234567890", 12345678901234567890.0L, 20},
        {"1.7E38", 1.7e38L, 6},
        {"2.95E-39", 2.95e-39L, 8},
        {"2.9E-39", 0, 7},
        {"65535 ", 65535, 5},
    };
    for (auto [text, value, length] : cases) {
        Parsed parsed = parse(text);
        EXPECT_EQ(parsed.error, "") << text;
        EXPECT_EQ(parsed.length, length) << text;
        // Correctly rounded while the power of ten is exact (up to 10^13).
        bool exactScale = value == 0 || std::fabs(std::log10(value)) < 13;
        long double tolerance = ulpOf(value) * (std::string(text).size() > 12 ? 2
                                                : exactScale                  ? 0.5L
                                                                              : 1.5L);
        EXPECT_NEAR(parsed.value, value, tolerance) << text;
    }
    for (const char* text : {"", "x", ".", ".E5", "E5", "-1", "+1"})
        EXPECT_EQ(parse(text).length, -1) << "'" << text << "' is not a number";
    EXPECT_EQ(parse("1E39").error, "err_overflow");
    EXPECT_EQ(parse("99999999999999999999999999999999999999999").error, "err_overflow");
}

// Nine significant digits go through text and back unchanged: parse gives
// the nearest number (within 1.5 units of the last place once the power of
// ten needed is above 10^13, and so inexact), format recovers the digits.
TEST(FloatConvert, NineDigitsRoundTrip) {
    std::mt19937 rng(15);
    for (int i = 0; i < 400; ++i) {
        long digits = 100000000 + static_cast<long>(rng() % 900000000);
        int exponent = static_cast<int>(rng() % 70) - 35;
        char text[32];
        std::snprintf(text, sizeof text, "%ld.%08ldE%d", digits / 100000000, digits % 100000000,
                      exponent);
        Parsed parsed = parse(text);
        long double exact = std::strtold(text, nullptr);
        ASSERT_EQ(parsed.length, static_cast<int>(std::string(text).size())) << text;
        EXPECT_LE(std::fabs(parsed.value - exact),
                  ulpOf(exact) * (std::abs(exponent - 8) <= 13 ? 0.5L : 1.5L))
            << text;
        // The formatted text of the parsed number holds the same 9 digits.
        std::string shown = format(parsed.value);
        std::string want = std::to_string(digits);
        std::string got;
        for (char c : shown.substr(0, shown.find('E')))
            if (c >= '0' && c <= '9') got.push_back(c);
        got.erase(0, got.find_first_not_of('0'));
        want.erase(want.find_last_not_of('0') + 1);
        EXPECT_EQ(got, want) << text << " shown as" << shown;
    }
}

// Any number of the format from 1E-4 to 1E12 shows its exact value
// rounded to nine digits (halves away from 0), also where scaling it by a
// power of ten rounds it onto a half (1.05552722^12 is 1.912640064727 and
// showed as 1.91264007).
TEST(FloatConvert, FormatRoundsTheExactValueToNineDigits) {
    std::mt19937 rng(8);
    int checked = 0;
    for (int i = 0; i < 3000; ++i) {
        uint32_t mantissa = static_cast<uint32_t>(rng()) | 0x80000000u;
        int exponent = static_cast<int>(rng() % 54) - 14; // 2^-14 .. 2^40
        long double value = std::ldexp(static_cast<long double>(mantissa), exponent - 32);
        int d = static_cast<int>(std::floor(std::log10(value)));
        // value x 10^(8-d) is exact in a long double (32 + 30 bits).
        long double scaled = value * std::pow(10.0L, 8 - d);
        if (scaled >= 999999999.5L) scaled /= 10, ++d;
        long double whole = std::floor(scaled + 0.5L);
        std::string want = std::to_string(static_cast<long long>(whole));
        std::string shown = format(value);
        std::string got;
        for (char c : shown.substr(0, shown.find('E')))
            if (c >= '0' && c <= '9') got.push_back(c);
        got.erase(0, got.find_first_not_of('0'));
        want.erase(want.find_last_not_of('0') + 1);
        got.erase(got.find_last_not_of('0') + 1);
        EXPECT_EQ(got, want) << static_cast<double>(value) << " shown as" << shown;
        ++checked;
    }
    EXPECT_EQ(checked, 3000);
    setFpa(1.05552722L);
    poke(OperandAddress, pack(12));
    call("fp_pow", {.hl = OperandAddress});
    EXPECT_EQ(format(fpa()), " 1.91264006");
}

TEST(FloatConvert, FormatKeepsFpaAndParseLeavesNoTrace) {
    setFpa(-2.5L);
    call("fp_format", {.de = TextAddress, .bc = 0xCAFE});
    EXPECT_EQ(fpa(), -2.5L);
    Outcome outcome = call("fp_format", {.de = TextAddress, .bc = 0xCAFE});
    EXPECT_EQ(outcome.bc, 0xCAFE);
    EXPECT_EQ(outcome.ix, 0x1357);
    EXPECT_EQ(outcome.hl, TextAddress);
}

} // namespace
