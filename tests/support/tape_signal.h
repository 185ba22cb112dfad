// A cassette signal generator for tests and measurements: the bytes of ABC80
// tape blocks turned into the signal the machine records, then worn the way
// real cassettes and their digitisations are (volume, DC offset, white and
// pink noise, hum, a cheap deck's narrow band, speed error, wow, reversed
// polarity, clicks, dropouts), sampled at any rate and written as a WAV file
// in any of the usual sample formats.
//
// The machine writes 700 bits a second, least significant bit first; every
// bit cell starts with a level change and a 1 bit changes level again in the
// middle of its cell. The recording chain high-passes the level (a 15 ms DC
// tracker), as the ABC80's own recording does. Sampling integrates the
// signal over each sample period, so level changes fall between samples.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tapesignal {

constexpr double kBitSeconds = 1.0 / 700;

// ---- Tape bytes ---------------------------------------------------------------

inline uint16_t BlockChecksum(const std::vector<uint8_t>& data) {
    uint16_t sum = 0x03;
    for (uint8_t b : data)
        sum = uint16_t(sum + b);
    return sum;
}

// One block as recorded after its lead-in: 16h 16h 16h 02h, 256 data bytes,
// 03h and the checksum, low byte first (also how an ATP file holds it).
inline std::vector<uint8_t> BlockBody(std::vector<uint8_t> data) {
    data.resize(256, 0x00);
    std::vector<uint8_t> body(263, 0x00);
    body[0] = body[1] = body[2] = 0x16;
    body[3] = 0x02;
    std::memcpy(body.data() + 4, data.data(), 256);
    const uint16_t sum = BlockChecksum(data);
    body[260] = 0x03;
    body[261] = uint8_t(sum);
    body[262] = uint8_t(sum >> 8);
    return body;
}

// A BASIC program as the machine saves it: a header block with the name,
// then data blocks numbered from 0 with 253 bytes of the program area each,
// the marker 82h first, padded with 00h.
inline std::vector<std::vector<uint8_t>> ProgramBlocks(const std::string& name,
                                                       const std::vector<uint8_t>& program) {
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<uint8_t> header(256, 0x00);
    header[0] = header[1] = header[2] = 0xFF;
    std::string padded = name;
    padded.resize(8, ' ');
    std::memcpy(header.data() + 3, padded.data(), 8);
    std::memcpy(header.data() + 11, "BAS", 3);
    blocks.push_back(header);
    std::vector<uint8_t> stream(program.size() + 1);
    stream[0] = 0x82;
    std::copy(program.begin(), program.end(), stream.begin() + 1);
    for (size_t at = 0, number = 0; at < stream.size(); at += 253, number++) {
        std::vector<uint8_t> data(256, 0x00);
        data[1] = uint8_t(number);
        data[2] = uint8_t(number >> 8);
        const size_t n = std::min<size_t>(253, stream.size() - at);
        std::memcpy(data.data() + 3, stream.data() + at, n);
        blocks.push_back(data);
    }
    return blocks;
}

// BASIC line records as the open firmware keeps them: length byte (counting
// itself), text, 0Dh.
inline std::vector<uint8_t> SampleProgram(int lines) {
    std::vector<uint8_t> bytes;
    for (int line = 10; line <= lines * 10; line += 10) {
        const std::string text = std::to_string(line) + " PRINT \"LINE " + std::to_string(line) +
                                 "\";" + std::string(size_t(line % 7), 'X');
        bytes.push_back(uint8_t(text.size() + 2));
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0x0D);
    }
    return bytes;
}

// ---- The recorded level, in tape time -------------------------------------------

struct Recording {
    std::vector<double> edges;       // level changes, seconds of tape time
    std::vector<double> blockStarts; // where each block's lead-in begins
    double length = 0;               // seconds of tape time
};

struct RecordingShape {
    int settleBytes = 16;        // zero bytes before the first block
    int leadInBytes = 16;        // zero bytes before every block
    int tailBytes = 16;          // zero bytes after the last block
    double leaderSeconds = 0.5;  // silence before the signal starts
    double trailerSeconds = 0.5; // silence after it
};

// The level changes of the machine writing `blocks` (256 data bytes each).
inline Recording Record(const std::vector<std::vector<uint8_t>>& blocks,
                        const RecordingShape& shape = {}) {
    Recording r;
    double t = shape.leaderSeconds;
    auto byte = [&](uint8_t value) {
        for (int i = 0; i < 8; i++) {
            r.edges.push_back(t);
            if (value >> i & 1) r.edges.push_back(t + kBitSeconds / 2);
            t += kBitSeconds;
        }
    };
    for (int i = 0; i < shape.settleBytes; i++)
        byte(0x00);
    for (const auto& data : blocks) {
        r.blockStarts.push_back(t);
        for (int i = 0; i < shape.leadInBytes; i++)
            byte(0x00);
        for (uint8_t b : BlockBody(data))
            byte(b);
    }
    for (int i = 0; i < shape.tailBytes; i++)
        byte(0x00);
    r.edges.push_back(t); // the motor stops: the output goes back to its idle level
    r.length = t + shape.trailerSeconds;
    return r;
}

// The whole zero bytes of the tail a decoder hears: the last bit cell ends
// only if stopping the motor changes the level (the idle level is low).
inline int HeardTailBytes(const Recording& r, const RecordingShape& shape = {}) {
    const bool lastChangeIsReal = (r.edges.size() - 1) % 2 == 1;
    return (shape.tailBytes * 8 - 1 + (lastChangeIsReal ? 1 : 0)) / 8;
}

// ---- Wear and digitisation ----------------------------------------------------

struct Wear {
    double volume = 1.0;       // 1.0: the machine's full swing
    double dcOffset = 0.0;     // share of full scale added
    double snrDb = 1000;       // white noise; 1000 means none
    double humShare = 0.0;     // 50 Hz hum, its amplitude as a share of the signal's
    double speed = 1.0;        // tape speed against the recording
    double wowDepth = 0.0;     // slow speed swing (0.02 is +-2 %), at 0.5 Hz
    bool inverted = false;     // polarity reversed
    bool clicks = false;       // a click every second
    double dropoutSeconds = 0; // silence this long in the middle of every block's lead-in
    double highPassHz = 0;     // a cheap deck's bass cut (2-pole Butterworth); 0: none
    double lowPassHz = 0;      // its treble cut (2-pole Butterworth); 0: none
    double pinkSnrDb = 1000;   // pink noise (-3 dB an octave); 1000 means none
    uint32_t seed = 1;
};

// Volume given in dB, as sound editors give it (-6 dB is about half).
inline double VolumeOfDb(double db) { return std::pow(10.0, db / 20); }

// A 2-pole Butterworth section (the audio cookbook's biquad with Q = 1/sqrt 2),
// as sound editors filter: "highpass 300" and "lowpass 3000".
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    Biquad() = default;
    Biquad(bool highPass, double hz, double rate) {
        const double w = 2 * M_PI * hz / rate, alpha = std::sin(w) / (2 * M_SQRT1_2);
        const double c = std::cos(w), a0 = 1 + alpha;
        b1 = (highPass ? -(1 + c) : 1 - c) / a0;
        b0 = b2 = (highPass ? (1 + c) / 2 : (1 - c) / 2) / a0;
        a1 = -2 * c / a0;
        a2 = (1 - alpha) / a0;
    }
    double operator()(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// Samples (-1 to 1) of the recording as digitised at `rate`.
inline std::vector<float> Digitise(const Recording& rec, uint32_t rate, const Wear& wear = {}) {
    const double wowRate = 0.5;
    const double wowTerm = wear.wowDepth / (2 * M_PI * wowRate);
    // Tape position reached after `seconds` of playing.
    auto tapeAt = [&](double seconds) {
        return wear.speed * (seconds + wowTerm * (1 - std::cos(2 * M_PI * wowRate * seconds)));
    };
    std::vector<double> dropouts;
    if (wear.dropoutSeconds > 0)
        for (size_t i = 1; i < rec.blockStarts.size(); i++)
            dropouts.push_back(rec.blockStarts[i] + 8 * 8 * kBitSeconds);

    const double realLength = rec.length / wear.speed / (1 - wear.wowDepth);
    const size_t count = size_t(realLength * rate);
    std::vector<float> out(count);
    // The machine's level, integrated over each sample period in tape time.
    size_t edge = 0;
    int level = -1; // idle
    double previous = tapeAt(0);
    double dc = 0;
    const double dcK = 1 - std::exp(-1.0 / (0.015 * rate));
    const double swing = 112.0 / 128 * wear.volume;
    double sumSquares = 0;
    size_t signalSamples = 0;
    Biquad highPass, lowPass;
    if (wear.highPassHz > 0) highPass = Biquad(true, wear.highPassHz, rate);
    if (wear.lowPassHz > 0) lowPass = Biquad(false, wear.lowPassHz, rate);
    for (size_t n = 0; n < count; n++) {
        const double end = tapeAt(double(n + 1) / rate);
        double area = 0, at = previous;
        while (edge < rec.edges.size() && rec.edges[edge] < end) {
            const double e = rec.edges[edge] > at ? rec.edges[edge] : at;
            area += level * (e - at);
            at = e;
            level = edge + 1 == rec.edges.size() ? -1 : -level;
            edge++;
        }
        area += level * (end - at);
        const double x = (end > previous ? area / (end - previous) : level) * 0.5 + 0.5; // 0..1
        previous = end;
        // High-passed as the machine's recording does, around the middle.
        dc += (x - dc) * dcK;
        double v = (x - dc) * 2 * swing;
        for (double d : dropouts)
            if (end >= d && end < d + wear.dropoutSeconds * wear.speed) v = 0;
        if (wear.highPassHz > 0) v = highPass(v);
        if (wear.lowPassHz > 0) v = lowPass(v);
        if (wear.inverted) v = -v;
        out[n] = float(v);
        if (std::fabs(v) > 0.001) {
            sumSquares += v * v;
            signalSamples++;
        }
    }
    const double signalRms = signalSamples ? std::sqrt(sumSquares / double(signalSamples)) : 0;
    const double noiseSigma = signalRms / std::pow(10.0, wear.snrDb / 20);
    uint64_t state = 0x9E3779B97F4A7C15ull * wear.seed;
    auto uniform = [&state]() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return (double(state >> 11) + 0.5) / 9007199254740992.0;
    };
    // Pink noise: white noise through Kellet's filter, scaled to its own RMS.
    std::vector<float> pink;
    if (wear.pinkSnrDb < 1000) {
        uint64_t pinkState = 0xD1B54A32D192ED03ull * wear.seed;
        auto white = [&pinkState]() {
            pinkState = pinkState * 6364136223846793005ull + 1442695040888963407ull;
            return (double(pinkState >> 11) + 0.5) / 9007199254740992.0 * 2 - 1;
        };
        pink.resize(count);
        double b[7] = {}, squares = 0;
        for (size_t n = 0; n < count; n++) {
            const double w = white();
            b[0] = 0.99886 * b[0] + w * 0.0555179;
            b[1] = 0.99332 * b[1] + w * 0.0750759;
            b[2] = 0.96900 * b[2] + w * 0.1538520;
            b[3] = 0.86650 * b[3] + w * 0.3104856;
            b[4] = 0.55000 * b[4] + w * 0.5329522;
            b[5] = -0.7616 * b[5] - w * 0.0168980;
            const double p = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
            b[6] = w * 0.115926;
            pink[n] = float(p);
            squares += p * p;
        }
        const double pinkRms = count ? std::sqrt(squares / double(count)) : 1;
        const double scale = signalRms / std::pow(10.0, wear.pinkSnrDb / 20) / pinkRms;
        for (float& p : pink)
            p = float(p * scale);
    }
    const size_t clickLength = size_t(rate * 0.0001) + 1;
    for (size_t n = 0; n < count; n++) {
        double v = out[n];
        if (!pink.empty()) v += pink[n];
        if (wear.snrDb < 1000)
            v += noiseSigma * std::sqrt(-2 * std::log(uniform())) * std::cos(2 * M_PI * uniform());
        if (wear.humShare > 0)
            v += wear.humShare * swing * std::sin(2 * M_PI * 50 * double(n) / rate);
        if (wear.clicks && (n + rate / 2) % rate < clickLength) v += 0.8;
        v += wear.dcOffset;
        out[n] = float(v > 1 ? 1 : v < -1 ? -1 : v);
    }
    return out;
}

// ---- WAV files ----------------------------------------------------------------

enum class SampleFormat { U8, S16, S24, S32, F32, F64 };

struct WavShape {
    uint32_t rate = 44100;
    SampleFormat format = SampleFormat::S16;
    uint16_t channels = 1;
    uint16_t signalChannel = 0; // the others carry a quiet unrelated tone
    bool extensible = false;    // WAVE_FORMAT_EXTENSIBLE header
};

inline int BitsOf(SampleFormat f) {
    switch (f) {
    case SampleFormat::U8: return 8;
    case SampleFormat::S16: return 16;
    case SampleFormat::S24: return 24;
    case SampleFormat::S32:
    case SampleFormat::F32: return 32;
    case SampleFormat::F64: return 64;
    }
    return 16;
}

inline const char* NameOf(SampleFormat f) {
    switch (f) {
    case SampleFormat::U8: return "8-bit";
    case SampleFormat::S16: return "16-bit";
    case SampleFormat::S24: return "24-bit";
    case SampleFormat::S32: return "32-bit";
    case SampleFormat::F32: return "32-bit float";
    case SampleFormat::F64: return "64-bit float";
    }
    return "?";
}

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline void PutSample(std::vector<uint8_t>& out, SampleFormat f, double v) {
    v = v > 1 ? 1 : v < -1 ? -1 : v;
    switch (f) {
    case SampleFormat::U8: out.push_back(uint8_t(std::lround(v * 127) + 128)); break;
    case SampleFormat::S16: Put16(out, uint32_t(std::lround(v * 32767))); break;
    case SampleFormat::S24: {
        const uint32_t s = uint32_t(std::lround(v * 8388607));
        out.push_back(uint8_t(s));
        out.push_back(uint8_t(s >> 8));
        out.push_back(uint8_t(s >> 16));
        break;
    }
    case SampleFormat::S32: Put32(out, uint32_t(int32_t(std::llround(v * 2147483647.0)))); break;
    case SampleFormat::F32: {
        const float x = float(v);
        uint32_t bits;
        std::memcpy(&bits, &x, 4);
        Put32(out, bits);
        break;
    }
    case SampleFormat::F64: {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        Put32(out, uint32_t(bits));
        Put32(out, uint32_t(bits >> 32));
        break;
    }
    }
}

inline std::vector<uint8_t> WavFile(const std::vector<float>& samples, const WavShape& shape) {
    const bool isFloat = shape.format == SampleFormat::F32 || shape.format == SampleFormat::F64;
    const uint16_t bits = uint16_t(BitsOf(shape.format));
    const uint32_t frame = uint32_t(bits / 8) * shape.channels;
    const uint32_t dataBytes = uint32_t(samples.size()) * frame;
    const uint32_t fmtSize = shape.extensible ? 40 : 16;
    std::vector<uint8_t> out;
    out.reserve(dataBytes + 80);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 4 + 8 + fmtSize + 8 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, fmtSize);
    Put16(out, shape.extensible ? 0xFFFE : isFloat ? 3 : 1);
    Put16(out, shape.channels);
    Put32(out, shape.rate);
    Put32(out, shape.rate * frame);
    Put16(out, uint16_t(frame));
    Put16(out, bits);
    if (shape.extensible) {
        Put16(out, 22);
        Put16(out, bits); // valid bits
        Put32(out, 0);    // channel mask
        Put16(out, isFloat ? 3 : 1);
        out.insert(out.end(), {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00,
                               0x38, 0x9B, 0x71});
    }
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, dataBytes);
    for (size_t n = 0; n < samples.size(); n++)
        for (uint16_t ch = 0; ch < shape.channels; ch++)
            PutSample(out, shape.format,
                      ch == shape.signalChannel
                          ? samples[n]
                          : 0.05 * std::sin(2 * M_PI * 440 * double(n) / shape.rate));
    return out;
}

} // namespace tapesignal
