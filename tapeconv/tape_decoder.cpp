// The tape signal decoder (see tape_decoder.h).
#include "tape_decoder.h"

#include <cinttypes>
#include <cmath>
#include <cstring>

namespace {

// Level following: the DC tracker and the mean amplitude have time constants
// long against a bit cell (1.43 ms) and short against a change of volume; the
// threshold is a third of the mean amplitude, and never below 1.5 % of full
// scale, so hiss in the silence between recordings stays silent.
//
// A deck that cuts the bass turns every level change into a spike that sags
// back through the middle before the next change: its mean amplitude is a
// third of its peaks, and a threshold from it switches on the sag. So the
// threshold is also at least 35 % of the running peak (0.5 ms to rise, 50 ms
// to fall), which lies above the sag and, for a square signal, well below
// its level; but never more than the mean amplitude, so the jump the DC
// tracker sees at the first level change of a recording (or after a click)
// does not blind it to the bits that follow.
constexpr double kDcSeconds = 0.005;
constexpr double kEnvelopeSeconds = 0.02;
constexpr float kThresholdShare = 0.33f;
constexpr float kThresholdFloor = 0.015f;
constexpr double kPeakAttackSeconds = 0.0005;
constexpr double kPeakDecaySeconds = 0.05;
constexpr float kPeakShare = 0.35f;
// Keeps the trackers clear of denormal numbers in digital silence.
constexpr float kTiny = 1e-18f;

constexpr double kPi = 3.14159265358979323846;

float onePoleCoefficient(double seconds, double rate) {
    return float(1.0 - std::exp(-1.0 / (seconds * rate)));
}

template <SampleEncoding E> inline float sampleAt(const uint8_t* p, uint32_t invert) {
    if constexpr (E == SampleEncoding::Unsigned8) {
        return float(int((p[0] ^ invert) & 0xFF) - 128) * (1.0f / 128);
    } else if constexpr (E == SampleEncoding::Signed16) {
        const int16_t v = int16_t(uint16_t((p[0] | p[1] << 8) ^ invert));
        return float(v) * (1.0f / 32768);
    } else if constexpr (E == SampleEncoding::Signed24) {
        const int32_t v =
            int32_t((uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) ^
                    (invert << 8)) >>
            8;
        return float(v) * (1.0f / 8388608);
    } else if constexpr (E == SampleEncoding::Signed32) {
        const int32_t v = int32_t(
            (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24) ^
            invert);
        return float(double(v) * (1.0 / 2147483648.0));
    } else {
        double v;
        if constexpr (E == SampleEncoding::Float32) {
            float f;
            std::memcpy(&f, p, 4);
            v = f;
        } else {
            std::memcpy(&v, p, 8);
        }
        if (!(v == v)) v = 0; // NaN
        if (invert) v = -v;
        return float(v > 1 ? 1 : v < -1 ? -1 : v);
    }
}

void classify(DecoderState& s, const DecoderSettings& settings, uint64_t interval, uint64_t edge) {
    if (interval > s.longLimit) {
        int bit = 0;
        if (s.halfPending) {
            s.halfPending = false;
            if (interval > s.gapLimit) {
                bit = 1; // the tape stopped in the second half of a 1 bit
            } else if (s.framer.state != BlockFramer::State::Hunt) {
                // A lost half inside a block; in the noise between blocks it means nothing.
                s.unpairedShorts++;
                if (settings.pulseReports != nullptr)
                    std::fprintf(settings.pulseReports,
                                 "Short pulse with no pair at pos=%" PRIu64 "!\n",
                                 s.dataOffset + edge * s.frameBytes);
            }
        }
        if (interval > s.pauseLimit) FramerPause(s.framer);
        s.bits++;
        FramerBit(s.framer, bit);
        if (interval > s.gapLimit) FramerGap(s.framer);
    } else if (interval > s.shortLimit) {
        if (!s.halfPending) {
            s.halfPending = true;
            return;
        }
        s.halfPending = false;
        s.bits++;
        FramerBit(s.framer, 1);
    }
}

// A level change after sample frame `edge` (counted from 1). Its interval is
// classified when the next change shows it was not the start of a glitch.
void onEdge(DecoderState& s, const DecoderSettings& settings, uint64_t edge) {
    if (s.hasPending) {
        if (edge - s.pendingEdge <= s.shortLimit) {
            s.hasPending = false; // a glitch: both of its changes go
            return;
        }
        classify(s, settings, s.pendingEdge - s.confirmedEdge, s.pendingEdge);
        s.confirmedEdge = s.pendingEdge;
    }
    s.pendingEdge = edge;
    s.hasPending = true;
}

template <SampleEncoding E>
void decodeRun(DecoderState& s, const DecoderSettings& settings, InputReader& reader,
               uint64_t end) {
    const size_t frameBytes = s.frameBytes;
    const size_t channelOffset = size_t(settings.channel) * settings.format.bytesPerSample();
    const uint32_t invert = settings.frontEnd.invert ? 0xFFFFFFFFu : 0;
    FrontEnd& fe = s.frontEnd;
    uint64_t frame = s.frames;
    while (ReaderPosition(reader) < end && EnsureBytes(reader, frameBytes)) {
        const uint8_t* data = reader.buffer.data();
        size_t at = reader.begin;
        size_t stop = reader.end;
        if (end - reader.bufferBase < stop) stop = size_t(end - reader.bufferBase);
        if (at + frameBytes > stop) break; // a split frame at the declared end
        for (; at + frameBytes <= stop; at += frameBytes) {
            frame++;
            const int changed = FrontEndStep(fe, sampleAt<E>(data + at + channelOffset, invert));
            if (changed >= 0) onEdge(s, settings, frame);
        }
        reader.begin = at;
    }
    s.frames = frame;
}

template <SampleEncoding E>
double swingRun(const DecoderSettings& settings, InputReader& reader, uint64_t end) {
    const uint32_t frameBytes = settings.format.frameBytes();
    const uint32_t channelOffset = settings.channel * settings.format.bytesPerSample();
    float low = 1, high = -1;
    while (ReaderPosition(reader) < end && EnsureBytes(reader, frameBytes)) {
        const uint8_t* data = reader.buffer.data();
        size_t at = reader.begin;
        size_t stop = reader.end;
        if (end - reader.bufferBase < stop) stop = size_t(end - reader.bufferBase);
        if (at + frameBytes > stop) break;
        for (; at + frameBytes <= stop; at += frameBytes) {
            const float x = sampleAt<E>(data + at + channelOffset, 0);
            low = x < low ? x : low;
            high = x > high ? x : high;
        }
        reader.begin = at;
    }
    return high >= low ? (double(high) - double(low)) / 2 : 0;
}

} // namespace

double MeasureSwing(const DecoderSettings& settings, InputReader& reader, uint64_t end) {
    switch (settings.format.encoding) {
    case SampleEncoding::Unsigned8:
        return swingRun<SampleEncoding::Unsigned8>(settings, reader, end);
    case SampleEncoding::Signed16: return swingRun<SampleEncoding::Signed16>(settings, reader, end);
    case SampleEncoding::Signed24: return swingRun<SampleEncoding::Signed24>(settings, reader, end);
    case SampleEncoding::Signed32: return swingRun<SampleEncoding::Signed32>(settings, reader, end);
    case SampleEncoding::Float32: return swingRun<SampleEncoding::Float32>(settings, reader, end);
    case SampleEncoding::Float64: return swingRun<SampleEncoding::Float64>(settings, reader, end);
    case SampleEncoding::None: break;
    }
    return 0;
}

int FrontEndStep(FrontEnd& fe, float x) {
    if (fe.applyGain) {
        x *= fe.gain;
        x = x > 1 ? 1 : x < -1 ? -1 : x;
    }
    if (fe.filter) {
        fe.highPassOut = fe.highPassCoefficient * (fe.highPassOut + x - fe.highPassPrevIn) + kTiny;
        fe.highPassPrevIn = x;
        fe.lowPassOut += fe.lowPassCoefficient * (fe.highPassOut - fe.lowPassOut);
        x = fe.lowPassOut;
    }
    float threshold = fe.fixedThreshold;
    if (fe.adaptive) {
        if (!fe.primed) {
            fe.dc = x;
            fe.primed = true;
        }
        x -= fe.dc;
        fe.dc += fe.dcCoefficient * x + kTiny;
        const float distance = std::fabs(x);
        fe.envelope += fe.envelopeCoefficient * (distance - fe.envelope) + kTiny;
        if (distance > fe.peak)
            fe.peak += fe.peakAttack * (distance - fe.peak);
        else
            fe.peak = fe.peak * fe.peakDecay + kTiny;
        threshold = fe.envelope * kThresholdShare;
        float fromPeak = fe.peak * kPeakShare;
        if (fromPeak > fe.envelope) fromPeak = fe.envelope;
        if (threshold < fromPeak) threshold = fromPeak;
        if (threshold < kThresholdFloor) threshold = kThresholdFloor;
    }
    if (fe.level) {
        if (x < -threshold) {
            fe.level = 0;
            return 0;
        }
    } else if (x > threshold) {
        fe.level = 1;
        return 1;
    }
    return -1;
}

void ResetDecoder(DecoderState& s, const DecoderSettings& settings, uint64_t dataOffset) {
    s = DecoderState{};
    const double rate = settings.format.sampleRate;
    s.longLimit = uint32_t((rate * 1000 + 0.5) / 1000000);
    s.shortLimit = uint32_t((rate * 300 + 0.5) / 1000000);
    s.pauseLimit = uint32_t((rate * 2000 + 0.5) / 1000000);
    s.gapLimit = uint32_t((rate * 10000 + 0.5) / 1000000);
    s.dataOffset = dataOffset;
    s.frameBytes = settings.format.frameBytes();

    FrontEnd& fe = s.frontEnd;
    const FrontEndSettings& fs = settings.frontEnd;
    fe.applyGain = fs.gainDb != 0;
    fe.gain = float(std::pow(10.0, fs.gainDb / 20));
    fe.filter = fs.filter;
    fe.highPassCoefficient = float(1.0 / (1.0 + 2 * kPi * 50 / rate)); // RC / (RC + dt)
    fe.lowPassCoefficient = float(1.0 - std::exp(-2 * kPi * 7500 / rate));
    fe.adaptive = fs.fixedThresholdPercent < 0;
    fe.fixedThreshold = float(fs.fixedThresholdPercent) / 100;
    fe.dcCoefficient = onePoleCoefficient(kDcSeconds, rate);
    fe.envelopeCoefficient = onePoleCoefficient(kEnvelopeSeconds, rate);
    fe.peakAttack = onePoleCoefficient(kPeakAttackSeconds, rate);
    fe.peakDecay = 1 - onePoleCoefficient(kPeakDecaySeconds, rate);
    ResetFramer(s.framer, settings.events);
}

void DecodeFrames(DecoderState& s, const DecoderSettings& settings, InputReader& reader,
                  uint64_t end) {
    switch (settings.format.encoding) {
    case SampleEncoding::Unsigned8:
        decodeRun<SampleEncoding::Unsigned8>(s, settings, reader, end);
        break;
    case SampleEncoding::Signed16:
        decodeRun<SampleEncoding::Signed16>(s, settings, reader, end);
        break;
    case SampleEncoding::Signed24:
        decodeRun<SampleEncoding::Signed24>(s, settings, reader, end);
        break;
    case SampleEncoding::Signed32:
        decodeRun<SampleEncoding::Signed32>(s, settings, reader, end);
        break;
    case SampleEncoding::Float32:
        decodeRun<SampleEncoding::Float32>(s, settings, reader, end);
        break;
    case SampleEncoding::Float64:
        decodeRun<SampleEncoding::Float64>(s, settings, reader, end);
        break;
    case SampleEncoding::None: break;
    }
}

void FinishDecoder(DecoderState& s, const DecoderSettings& settings) {
    if (s.hasPending) {
        classify(s, settings, s.pendingEdge - s.confirmedEdge, s.pendingEdge);
        s.confirmedEdge = s.pendingEdge;
        s.hasPending = false;
    }
    if (s.halfPending) { // the recording ended in the second half of a 1 bit
        s.halfPending = false;
        s.bits++;
        FramerBit(s.framer, 1);
    }
    FinishFramer(s.framer);
}
