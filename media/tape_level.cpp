// The input level from played samples: DC removal, a hysteresis from the
// running peak, and the choice of channel.
#include "media/tape_level.h"

#include <cmath>

namespace {

constexpr double Step = 256.0; // one 8-bit step on the 16-bit scale
constexpr double ClassicHysteresis = 25 * Step;
constexpr double FullSwingPeak = 112 * Step; // what the machine's recordings reach
constexpr double HysteresisFloor = 1.5 * Step;
constexpr double HysteresisShare = 3.0 / 8;
constexpr double DeadbandShare = 1.0 / 4;
constexpr double MeanSeconds = 0.1;
constexpr double AttackSeconds = 0.002;
constexpr double PeakSeconds = 0.1;
constexpr double EnvelopeSeconds = 0.2;
constexpr double SwitchRatio = 1.5; // another channel's swing over the followed one's

double perSample(double seconds, uint32_t rate) {
    return rate ? 1.0 - std::exp(-1.0 / (seconds * rate)) : 0.0;
}

void followChannel(TapeLevelTracker& t, uint32_t channel) {
    t.channel = channel;
    t.mean = (t.high[channel] + t.low[channel]) / 2;
    t.peak = (t.high[channel] - t.low[channel]) / 2;
}

// Keeps each channel's swing (a decaying envelope) and moves to a channel
// whose swing clearly exceeds the followed one's.
void chooseChannel(TapeLevelTracker& t, const int32_t* levels) {
    if (!t.envelopesStarted) {
        for (uint32_t c = 0; c < t.channels; ++c)
            t.high[c] = t.low[c] = levels[c];
        t.envelopesStarted = true;
        return;
    }
    uint32_t widest = t.channel;
    for (uint32_t c = 0; c < t.channels; ++c) {
        double s = levels[c];
        t.high[c] = s > t.high[c] ? s : t.high[c] + (s - t.high[c]) * t.envelopeK;
        t.low[c] = s < t.low[c] ? s : t.low[c] + (s - t.low[c]) * t.envelopeK;
        if (t.high[c] - t.low[c] > t.high[widest] - t.low[widest]) widest = c;
    }
    double followed = t.high[t.channel] - t.low[t.channel];
    double swing = t.high[widest] - t.low[widest];
    if (swing > SwitchRatio * followed && swing > 2 * HysteresisFloor) followChannel(t, widest);
}

} // namespace

void StartTapeLevel(TapeLevelTracker& t, uint32_t rate, uint32_t channels) {
    t = TapeLevelTracker{};
    t.peak = FullSwingPeak;
    t.meanK = perSample(MeanSeconds, rate);
    t.attackK = perSample(AttackSeconds, rate);
    t.peakDecay = 1.0 - perSample(PeakSeconds, rate);
    t.envelopeK = perSample(EnvelopeSeconds, rate);
    t.channels = channels == 0 ? 1 : channels > MaxChosenChannels ? MaxChosenChannels : channels;
}

int StepTapeLevel(TapeLevelTracker& t, const int32_t* levels, int inputLevel) {
    if (t.channels > 1) chooseChannel(t, levels);
    const double s = levels[t.channel];

    double hysteresis = t.peak * HysteresisShare;
    if (hysteresis > ClassicHysteresis) hysteresis = ClassicHysteresis;
    if (hysteresis < HysteresisFloor) hysteresis = HysteresisFloor;
    double offset = t.mean - MidLevel, deadband = t.peak * DeadbandShare;
    double centre = MidLevel + (offset > deadband    ? offset - deadband
                                : offset < -deadband ? offset + deadband
                                                     : 0.0);
    if (s > centre + hysteresis && inputLevel == 0)
        inputLevel = 1;
    else if (s <= centre - hysteresis && inputLevel == 1)
        inputLevel = 0;

    t.mean += (s - t.mean) * t.meanK;
    double distance = std::fabs(s - t.mean);
    if (distance > t.peak)
        t.peak += (distance - t.peak) * t.attackK;
    else if (distance >= HysteresisFloor) // held through silence
        t.peak *= t.peakDecay;
    return inputLevel;
}
