// How far the firmware's functions are from the true values, in units of
// the last bit of each result's own mantissa (so a result of 0.001 is
// measured against its own last bit, not against that of 1), over inputs
// that cover each function's range. The worst figures are printed as a
// table (the one docs/firmware.md publishes) and held to their bounds.
#include "float_machine.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include <gtest/gtest.h>

using namespace float_test;

namespace {

struct Worst {
    long double error = 0; // units of the result's last bit
    long double x = 0, y = 0;
};

// The error of one result: the distance from the exact value of the
// firmware's own operands, in units of the exact result's last bit.
long double errorOf(long double got, long double want) {
    if (want == 0) return got == 0 ? 0 : INFINITY;
    return std::fabs(got - want) / ulpOf(want);
}

void report(const char* name, const char* range, const Worst& worst) {
    char at[64];
    if (worst.y != 0)
        std::snprintf(at, sizeof at, "%.10Lg, %.10Lg", worst.x, worst.y);
    else
        std::snprintf(at, sizeof at, "%.10Lg", worst.x);
    std::printf("| %s | %s | %.2Lf | %s |\n", name, range, worst.error, at);
}

// The worst error of routine over cases arguments spread evenly between
// from and to (in logarithm when logarithmic).
Worst unaryWorst(const std::string& routine, const std::function<long double(long double)>& exact,
                 long double from, long double to, bool logarithmic, int cases = 1000) {
    std::mt19937 random(static_cast<unsigned>(routine.size() * 7919 + cases));
    Worst worst;
    for (int i = 0; i < cases; ++i) {
        long double t = std::uniform_real_distribution<double>(0, 1)(random);
        long double x = logarithmic ? from * std::pow(to / from, t) : from + (to - from) * t;
        x = unpack(pack(x));
        setFpa(x);
        Outcome outcome = call(routine);
        EXPECT_EQ(outcome.error, "") << routine << "(" << x << ")";
        long double error = errorOf(fpa(), exact(x));
        if (error > worst.error) worst = {error, x, 0};
    }
    return worst;
}

// x^y for x spread in logarithm over [from, to] and y from powers().
template <typename Powers>
Worst powerWorst(long double from, long double to, Powers powers, int cases = 1000) {
    std::mt19937 random(static_cast<unsigned>(cases * 31 + static_cast<int>(to)));
    Worst worst;
    for (int i = 0; i < cases; ++i) {
        long double t = std::uniform_real_distribution<double>(0, 1)(random);
        long double x = unpack(pack(from * std::pow(to / from, t)));
        long double y = unpack(pack(powers(random)));
        long double want = std::pow(x, y);
        if (std::fabs(want) > 1e37L || std::fabs(want) < 1e-37L) continue;
        Outcome outcome = binary("fp_pow", x, y);
        EXPECT_EQ(outcome.error, "") << x << "^" << y;
        long double error = errorOf(fpa(), want);
        if (error > worst.error) worst = {error, x, y};
    }
    return worst;
}

TEST(FloatAccuracy, EachFunctionOverItsRangeInTheResultsOwnLastBit) {
    std::printf("| Function | Range | Worst error (ulp) | at |\n|---|---|---|---|\n");
    struct Case {
        const char* name;
        const char* range;
        Worst worst;
        long double bound;
    };
    auto wholePowers = [](std::mt19937& random) {
        return static_cast<long double>(static_cast<int>(random() % 81) - 40);
    };
    auto fractionalPowers = [](std::mt19937& random) {
        return std::uniform_real_distribution<double>(-12, 12)(random);
    };
    const Case cases[] = {
        {"SQR", "1E-38..1E38", unaryWorst("fp_sqr", sqrtl, 1e-38L, 1e38L, true), 1.0L},
        {"EXP", "-88..88", unaryWorst("fp_exp", expl, -88, 88, false), 1.0L},
        {"EXP", "-1..1", unaryWorst("fp_exp", expl, -1, 1, false), 1.0L},
        {"LOG", "1E-38..1E38", unaryWorst("fp_log", logl, 1e-38L, 1e38L, true), 1.0L},
        {"LOG", "0.5..2", unaryWorst("fp_log", logl, 0.5L, 2, false), 1.0L},
        {"SIN", "-10..10", unaryWorst("fp_sin", sinl, -10, 10, false), 1.25L},
        {"SIN", "1E-20..0.5", unaryWorst("fp_sin", sinl, 1e-20L, 0.5L, true), 1.0L},
        {"SIN", "-1000..1000", unaryWorst("fp_sin", sinl, -1000, 1000, false), 1.25L},
        {"COS", "-10..10", unaryWorst("fp_cos", cosl, -10, 10, false), 1.25L},
        {"TAN", "-1.5..1.5", unaryWorst("fp_tan", tanl, -1.5L, 1.5L, false), 2.0L},
        {"ATN", "-5..5", unaryWorst("fp_atn", atanl, -5, 5, false), 2.0L},
        {"ATN", "1E-30..1E30", unaryWorst("fp_atn", atanl, 1e-30L, 1e30L, true), 1.25L},
        {"x^n", "x 0.1..10, n -40..40 whole", powerWorst(0.1L, 10, wholePowers), 1.0L},
        {"x^y", "x 0.01..100, y -12..12", powerWorst(0.01L, 100, fractionalPowers), 2.0L},
    };
    for (const auto& c : cases) {
        report(c.name, c.range, c.worst);
        EXPECT_LE(c.worst.error, c.bound) << c.name << " " << c.range;
    }
}

// Values that were wrong in the ninth digit.
TEST(FloatAccuracy, ArgumentsOnceWrongInTheNinthDigit) {
    setFpa(unpack(pack(2.62629994L)));
    call("fp_sin");
    long double x = unpack(pack(2.62629994L));
    EXPECT_LE(errorOf(fpa(), sinl(x)), 1.0L) << format(fpa());
    for (auto [base, power] : {std::pair{1.05552722L, 12.0L}, {9.04468435L, 2.5L}}) {
        long double b = unpack(pack(base));
        binary("fp_pow", b, power);
        EXPECT_LE(errorOf(fpa(), std::pow(b, power)), 1.0L)
            << base << "^" << power << " gave " << format(fpa());
    }
}

// Square roots of the largest numbers once overflowed: the halved
// exponent was worked out in a byte that wrapped.
TEST(FloatAccuracy, SquareRootsAtTheTopOfTheRange) {
    for (long double x : {8.5e37L, 1e38L, 1.7e38L, std::ldexp(1.0L, 126), std::ldexp(1.0L, 125)}) {
        long double packed = unpack(pack(x));
        setFpa(packed);
        Outcome outcome = call("fp_sqr");
        EXPECT_EQ(outcome.error, "") << x;
        EXPECT_LE(errorOf(fpa(), sqrtl(packed)), 1.0L) << x;
    }
}

} // namespace
