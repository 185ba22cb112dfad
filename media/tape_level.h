// Turning played samples into the cassette input level, following the
// recording's own level: a slow running mean removes any DC offset, the
// running peak and mean distance from it set the hysteresis, and in files
// with several channels the one with the largest swing is followed.
//
// Samples arrive on a 16-bit scale, 32768 the mid level (an 8-bit sample s
// is s x 256). A full-swing recording (a peak of 90 or more, in 8-bit steps)
// keeps the classic rule exactly: a hysteresis of 25 around 128, the centre
// moving only by what the mean strays beyond a quarter of the peak. A
// quieter one gets the hysteresis a full-swing one has against its level
// (25 at a mean distance of 106, so about 0.24 of it), around the running
// mean: noise and hum then read alike at every volume. A deck that cuts the
// bass makes spikes whose peak is twice their mean distance or more; the
// hysteresis is then at least 0.9 of the difference, above the sag after each
// spike. It is never below 1.5, so silence and hiss stay quiet. The peak and
// mean distance start at the full swing, follow the signal and are held
// through silence, so the first edges of a full-swing tape and those after a
// pause come as before.
#pragma once

#include <cstdint>

constexpr int MidLevel = 32768;
constexpr int MaxChosenChannels = 8; // channels considered in a multi-channel file

struct TapeLevelTracker {
    double mean = MidLevel;
    double peak = 0;     // running peak of |sample - mean|
    double distance = 0; // running mean of |sample - mean|
    double meanK = 0, attackK = 0, peakDecay = 1, envelopeK = 0, distanceK = 0;
    uint32_t channels = 1; // considered, at most MaxChosenChannels
    uint32_t channel = 0;  // the one followed
    bool envelopesStarted = false;
    double high[MaxChosenChannels] = {}, low[MaxChosenChannels] = {};
};

// Starts following a tape of this rate and channel count.
void StartTapeLevel(TapeLevelTracker& tracker, uint32_t sampleRate, uint32_t channels);
// One sample frame (levels of the first `channels` channels): the new input
// level given the current one.
int StepTapeLevel(TapeLevelTracker& tracker, const int32_t* levels, int inputLevel);
