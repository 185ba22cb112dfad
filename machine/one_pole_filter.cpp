// One-pole filter: y := a*y + (1-a)*x with a = exp(-2*pi*fc/rate).
#include "machine/one_pole_filter.h"

#include <cmath>
#include <numbers>

OnePoleFilter filterCreate(FilterKind kind, double fc) {
    OnePoleFilter filter{};
    filter.fc = fc;
    filter.kind = kind;
    return filter;
}

int filterStep(OnePoleFilter& filter, int x, int rate) {
    if (rate != filter.rate) {
        filter.rate = rate;
        // A rate of zero or below has no meaningful corner; pass nothing through
        // the low-pass rather than divide by it.
        filter.a = rate > 0 ? std::exp(-2.0 * std::numbers::pi * filter.fc / rate) : 1.0;
        filter.b = 1.0 - filter.a;
    }
    filter.y = filter.a * filter.y + filter.b * x;
    // Truncated toward zero after adding a half, as the filter always has.
    const int r = static_cast<int>(filter.y + 0.5); // NOLINT(bugprone-incorrect-roundings)
    return filter.kind == FilterKind::LowPass ? r : x - r;
}
