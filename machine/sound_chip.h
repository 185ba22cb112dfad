// The SN76477 complex sound generator behind output port 6, modelled as a
// sample generator: a 3 Hz super-low-frequency oscillator (SLF), a 640 Hz VCO
// that the SLF can sweep, a noise register, the chip's mixer selection, a 30 ms
// one-shot envelope, a low-pass on the noise and a 25 Hz high-pass on the
// output.
//
// Driven by the sound mixer, which pulls samples through the source
// "sn76477Sound" (sound/mixer.h); a port 6 write brings the mixer up to
// the current cycle first, then calls soundChipWrite.
//
//   soundChipInit(48000);   // once at machine initialisation
//   soundChipWrite(0x01);   // enabled, VCO alone: a 640 Hz tone
#pragma once

#include <cstdint>

#include "machine/one_pole_filter.h"
#include "sound/mixer.h"

// Phases and periods are in 1/65536 of a sample.
struct SoundChip {
    uint32_t enabled;      // bit 0 of the control byte
    uint32_t oneShot;      // the one-shot envelope is running
    uint32_t oneShotCount; // samples produced in it
    uint32_t oneShotLength;
    uint32_t amplitude; // 8192 or 0, the envelope of the current sample
    uint64_t slfPhase, slfHalfPeriod;
    uint32_t slfState; // the SLF square
    int32_t slfSlope;  // +1 rising, -1 falling: the matching triangle
    uint64_t vcoPhase, vcoHalfPeriod;
    uint32_t vcoModulated; // bit 2: the SLF triangle sweeps the VCO
    uint32_t vcoState;
    uint64_t noisePhase, noiseHalfPeriod;
    uint32_t lfsr; // 16-bit noise register
    uint32_t noiseBit;
    uint32_t mixerSelect;    // bits 3-5
    uint32_t envelopeSelect; // bits 6-7
    uint32_t controlBit1;    // stored, no effect
    OnePoleFilter noiseFilter;
    OnePoleFilter outputFilter;
    int rate;
};

extern SoundChip soundChip;

void soundChipInit(int rate);
void soundChipWrite(uint8_t value);
void soundChipShutdown();

// The chip's mixer source: generate, reset and setRate.
SoundSource* soundChipSource();
