// The tape signal decoder: samples to level changes to bits.
//
// Each sample (one channel of a frame, as a value from -1 to 1) passes the
// front end: the gain (-g), the 50 Hz / 7.5 kHz filters (-f), then one of two
// comparators with hysteresis. The fixed one (-t) compares with a threshold
// of a given share of full scale around the middle. The default one follows
// the recording: it removes the DC offset and sets its threshold from the
// running mean amplitude, so quiet, loud and offset recordings decode alike.
//
// The time between two level changes is long (a 0 bit), short (half of a 1
// bit) or a glitch. A glitch, a pulse too short to be a half bit, is taken
// out with both its level changes, so a click or a bounce inside a bit cell
// does not split the cell. The bits go to the block framer.
#pragma once

#include <cstdint>
#include <cstdio>

#include "block_framer.h"
#include "input_reader.h"
#include "wav_format.h"

struct FrontEndSettings {
    double gainDb = 0;              // -g: amplification before everything else
    bool filter = false;            // -f: 50 Hz high-pass and 7.5 kHz low-pass
    int fixedThresholdPercent = -1; // -t: 0..100, or -1 for the level-following comparator
    bool invert = false;            // -r: polarity reversed
};

struct FrontEnd {
    float gain = 1;
    bool applyGain = false;
    bool filter = false;
    bool adaptive = true;
    float fixedThreshold = 0.25f;
    // Filters (-f).
    float highPassCoefficient = 0, lowPassCoefficient = 1;
    float highPassPrevIn = 0, highPassOut = 0, lowPassOut = 0;
    // Level following.
    float dcCoefficient = 0, envelopeCoefficient = 0, peakAttack = 0, peakDecay = 1;
    float dc = 0, envelope = 0, peak = 0;
    bool primed = false; // the DC tracker starts at the first sample
    int level = 0;
};

struct DecoderState {
    FrontEnd frontEnd;
    // Edge timing, in sample frames counted from the first sample.
    uint64_t confirmedEdge = 0; // the last edge whose interval has been classified
    uint64_t pendingEdge = 0;   // the newest edge; its interval waits for the next edge
    bool hasPending = false;
    bool halfPending = false; // one short interval waits for its pair
    uint32_t longLimit = 0;   // samples in 1 ms: longer intervals are 0 bits
    uint32_t shortLimit = 0;  // samples in 0.3 ms: not longer is a glitch
    uint32_t pauseLimit = 0;  // samples in 2 ms: longer is no bit cell at all
    uint32_t gapLimit = 0;    // samples in 10 ms: longer is a stop or a dropout
    // Where the samples lie, for the positions in reports.
    uint64_t dataOffset = 0;
    uint32_t frameBytes = 1;
    uint64_t frames = 0; // sample frames decoded
    uint64_t bits = 0;   // bits handed to the framer
    uint64_t unpairedShorts = 0;
    BlockFramer framer;
};

struct DecoderSettings {
    WavFormat format;     // encoding, channels, rate (possibly forced)
    uint16_t channel = 0; // which channel of each frame to listen to
    FrontEndSettings frontEnd;
    std::FILE* pulseReports = nullptr; // every unpaired short pulse, when listed
    FramerEvents events;
};

void ResetDecoder(DecoderState& state, const DecoderSettings& settings, uint64_t dataOffset);

// Decodes frames from the reader's position up to file offset `end` (or the
// end of the input). Call again to go on; FinishDecoder at the very end.
void DecodeFrames(DecoderState& state, const DecoderSettings& settings, InputReader& reader,
                  uint64_t end);

void FinishDecoder(DecoderState& state, const DecoderSettings& settings);

// The swing of the listened channel from the reader's position up to file
// offset `end`: half the distance between its lowest and highest sample, as a
// share of full scale (0 to 1), before gain and filters.
double MeasureSwing(const DecoderSettings& settings, InputReader& reader, uint64_t end);

// One sample through the front end: the new level (0 or 1), or -1 when the
// level stays.
int FrontEndStep(FrontEnd& fe, float sample);
