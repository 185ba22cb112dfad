// One-pole low-pass or high-pass filter on integer samples. The coefficients
// are computed lazily for the rate a step is run at, so a filter made before
// the output rate is known costs one exponential on its first step only.
#pragma once

#include <cstdint>

enum class FilterKind : uint8_t { LowPass, HighPass };

struct OnePoleFilter {
    double fc; // corner frequency in Hz
    FilterKind kind;
    int rate; // the rate a and b were computed for; 0 before the first step
    double a, b;
    double y; // the low-pass state
};

OnePoleFilter filterCreate(FilterKind kind, double fc);

// One sample through the filter: the low-passed input, or for a high-pass the
// input minus that low-passed value.
int filterStep(OnePoleFilter& filter, int x, int rate);
