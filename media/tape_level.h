// Turning played samples into the cassette input level, following the
// recording's own level: a slow running mean removes any DC offset, the
// running peak distance from it sets the hysteresis, and in files with
// several channels the one with the largest swing is followed.
//
// Samples arrive on a 16-bit scale, 32768 the mid level (an 8-bit sample s
// is s x 256). A full-swing recording keeps the classic rule exactly: a
// hysteresis of 25 (8-bit steps) around 128. The centre moves only by what
// the mean strays beyond a quarter of the peak, and the hysteresis is 3/8 of
// the peak, at most 25 and at least 1.5, so quiet recordings get a narrow
// band and silence or hiss a floor. The peak starts at the full swing, falls
// slowly while a signal is weaker and is held through silence, so the first
// edges of a full-swing tape and those after a pause come as before.
#pragma once

#include <cstdint>

constexpr int MidLevel = 32768;
constexpr int MaxChosenChannels = 8; // channels considered in a multi-channel file

struct TapeLevelTracker {
    double mean = MidLevel;
    double peak = 0; // running peak of |sample - mean|
    double meanK = 0, attackK = 0, peakDecay = 1, envelopeK = 0;
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
