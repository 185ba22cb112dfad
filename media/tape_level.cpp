// The input level from played samples: DC removal, a hysteresis from the
// running peak, and the choice of channel.
#include "media/tape_level.h"

#include <cmath>

namespace {

constexpr double Step = 256.0; // one 8-bit step on the 16-bit scale
constexpr double ClassicHysteresis = 25 * Step;
constexpr double FullSwingPeak = 112 * Step; // what the machine's recordings reach
constexpr double HysteresisFloor = 1.5 * Step;
// A recording whose peak reaches this is full-swing: the classic hysteresis
// of 25 and a centre held still within a quarter of the peak, as always.
constexpr double FullSwingFrom = 90 * Step;
// A quieter one gets the hysteresis a full-swing recording has against its
// level, from its mean distance from the centre (about 110 at full swing),
// so noise and hum are read alike at -6 and -20 dB: the peak, which noise
// and hum raise, would give them a wider band than at full volume.
constexpr double ClassicDistance = 106 * Step;
// A deck that cuts the bass turns each level change into a spike that sags
// back through the middle: its peak is twice its mean distance or more, and
// the hysteresis must stay above the sag. Noise and hum raise the peak far
// less (a fifth to two fifths of the mean distance).
constexpr double SpikeShare = 0.9;
// The centre of a full-swing recording is held still within a quarter of its
// peak; a quieter one's centre is the running mean, so it follows slow
// wander (pink noise), which clipping trims at full volume.
constexpr double DeadbandShare = 1.0 / 4;
constexpr double MeanSeconds = 0.1;
constexpr double AttackSeconds = 0.002;
constexpr double PeakSeconds = 0.1;
constexpr double DistanceSeconds = 0.02;
constexpr double EnvelopeSeconds = 0.2;
constexpr double SwitchRatio = 1.5; // another channel's swing over the followed one's

double perSample(double seconds, uint32_t rate) {
    return rate ? 1.0 - std::exp(-1.0 / (seconds * rate)) : 0.0;
}

void followChannel(TapeLevelTracker& t, uint32_t channel) {
    t.channel = channel;
    t.mean = (t.high[channel] + t.low[channel]) / 2;
    t.peak = t.distance = (t.high[channel] - t.low[channel]) / 2;
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
    t.distance = FullSwingPeak;
    t.distanceK = perSample(DistanceSeconds, rate);
    t.meanK = perSample(MeanSeconds, rate);
    t.attackK = perSample(AttackSeconds, rate);
    t.peakDecay = 1.0 - perSample(PeakSeconds, rate);
    t.envelopeK = perSample(EnvelopeSeconds, rate);
    t.channels = channels == 0 ? 1 : channels > MaxChosenChannels ? MaxChosenChannels : channels;
}

int StepTapeLevel(TapeLevelTracker& t, const int32_t* levels, int inputLevel) {
    if (t.channels > 1) chooseChannel(t, levels);
    const double s = levels[t.channel];

    double hysteresis = ClassicHysteresis, deadband = t.peak * DeadbandShare;
    if (t.peak < FullSwingFrom) {
        deadband = 0;
        hysteresis = ClassicHysteresis * t.distance / ClassicDistance;
        const double spike = SpikeShare * (t.peak - t.distance);
        if (hysteresis < spike) hysteresis = spike;
        if (hysteresis > ClassicHysteresis) hysteresis = ClassicHysteresis;
    }
    if (hysteresis < HysteresisFloor) hysteresis = HysteresisFloor;
    double offset = t.mean - MidLevel;
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
    if (distance >= HysteresisFloor || distance > t.distance)
        t.distance += (distance - t.distance) * t.distanceK;
    return inputLevel;
}
