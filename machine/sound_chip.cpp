// The SN76477 sound generator: control byte decoding and sample synthesis.
// All oscillators are integer phase accumulators advanced by one sample
// (65536) per output sample; the filters always run at 48,000 Hz.
#include "machine/sound_chip.h"

#include <algorithm>

namespace {

constexpr int FilterRate = 48000;
constexpr uint32_t FullAmplitude = 8192;
constexpr int SlfHz = 3;
constexpr int VcoHz = 640;
constexpr int NoiseHalfHz = 2372; // the register is clocked twice per period
constexpr double NoiseCornerHz = 9946.0;
constexpr double OutputCornerHz = 25.0;

void generateSamples(int16_t* buffer, int count);
void resetChip();
void setChipRate(int rate);

SoundSource chipSource{"sn76477Sound", nullptr, generateSamples, resetChip, setChipRate};
bool registered = false;

void restartOscillators() {
    soundChip.slfSlope = 1;
    soundChip.slfPhase = 0;
    soundChip.vcoPhase = 0;
    soundChip.noisePhase = 0;
    soundChip.lfsr = 0xFFFF;
}

void setChipRate(int rate) {
    // Periods are kept in 64 bits so that any positive rate fits.
    const uint64_t r = static_cast<uint64_t>(std::max(rate, 1));
    soundChip.rate = static_cast<int>(r);
    soundChip.slfHalfPeriod = (r << 15) / SlfHz;
    soundChip.vcoHalfPeriod = (r << 15) / VcoHz;
    soundChip.noiseHalfPeriod = (r << 15) / NoiseHalfHz;
    soundChip.oneShotLength = static_cast<uint32_t>(r * 3 / 100);
}

// Restarts the oscillators when the output is restarted. The control byte
// (enable, mixer selection, modulation) and the envelope are the port's latch
// and stay as the program left them, so a silent or one-shot chip does not
// start sounding on its own.
void resetChip() {
    restartOscillators();
    soundChip.amplitude = 0;
}

uint32_t nextSample() {
    SoundChip& c = soundChip;
    if (c.oneShot) {
        if (c.oneShotCount < c.oneShotLength) {
            ++c.oneShotCount;
            c.amplitude = FullAmplitude;
        } else {
            c.amplitude = 0;
        }
    } else {
        c.amplitude = FullAmplitude;
    }

    c.slfPhase += 65536;
    if (c.slfPhase >= c.slfHalfPeriod) {
        c.slfPhase -= c.slfHalfPeriod;
        c.slfState ^= 1;
        c.slfSlope = -c.slfSlope;
    }

    c.vcoPhase += 65536;
    uint64_t threshold = c.vcoHalfPeriod;
    if (c.vcoModulated) {
        // The SLF triangle, 0 to 1, moves the half period from 0.75 to 1.25 of its base.
        const double half = static_cast<double>(c.slfHalfPeriod);
        const double t = (c.slfState * half + c.slfSlope * static_cast<double>(c.slfPhase)) / half;
        threshold = static_cast<uint64_t>((t * 0.5 + 0.75) * static_cast<double>(c.vcoHalfPeriod));
    }
    if (c.vcoPhase >= threshold) {
        c.vcoPhase -= threshold;
        c.vcoState ^= 1;
    }

    c.noisePhase += 65536;
    if (c.noisePhase >= c.noiseHalfPeriod) {
        c.noisePhase -= c.noiseHalfPeriod;
        const uint32_t f = ((c.lfsr >> 13) ^ (c.lfsr >> 14)) & 1;
        c.lfsr = ((c.lfsr << 1) | f) & 0xFFFF;
        c.noiseBit = f;
    }
    const uint32_t n =
        static_cast<uint32_t>(filterStep(c.noiseFilter, static_cast<int>(c.noiseBit), FilterRate)) &
        1;

    uint32_t mix = 0;
    switch (c.mixerSelect) {
    case 0: mix = c.vcoState; break;
    case 1: mix = n; break;
    case 2: mix = c.slfState; break;
    case 3: mix = n & c.vcoState; break;
    case 4: mix = n & c.slfState; break;
    case 5: mix = n & c.vcoState & c.slfState; break;
    case 6: mix = c.vcoState & c.slfState; break;
    default: mix = 0; break;
    }
    return mix * c.amplitude;
}

void generateSamples(int16_t* buffer, int count) {
    for (int i = 0; i < count; ++i) {
        if (!soundChip.enabled) {
            buffer[i] = 0;
            continue;
        }
        const int x = static_cast<int>(nextSample());
        const int y = filterStep(soundChip.outputFilter, x, FilterRate);
        buffer[i] = static_cast<int16_t>(std::clamp(y, -32768, 32767));
    }
}

} // namespace

SoundChip soundChip;

void soundChipInit(int rate) {
    const OnePoleFilter noise = filterCreate(FilterKind::LowPass, NoiseCornerHz);
    const OnePoleFilter output = filterCreate(FilterKind::HighPass, OutputCornerHz);
    soundChip = SoundChip{};
    soundChip.noiseFilter = noise;
    soundChip.outputFilter = output;
    if (!registered) {
        AddSoundSource(&chipSource);
        registered = true;
    }
    setChipRate(rate);
    restartOscillators();
}

void soundChipWrite(uint8_t value) {
    // Enabling with envelope bits 10 fires the one-shot; every other write ends it.
    soundChip.oneShot = !soundChip.enabled && (value & 0x01) && (value & 0xC0) == 0x80;
    if (soundChip.oneShot) soundChip.oneShotCount = 0;
    soundChip.enabled = value & 0x01;
    soundChip.controlBit1 = (value >> 1) & 1;
    soundChip.vcoModulated = (value >> 2) & 1;
    soundChip.mixerSelect = (value >> 3) & 7;
    soundChip.envelopeSelect = (value >> 6) & 3;
}

void soundChipShutdown() {
    if (registered) RemoveSoundSource(&chipSource);
    registered = false;
}

SoundSource* soundChipSource() { return &chipSource; }
