// Synthesised cassette recordings for the tape converter's tests and benchmark.
// The signal is written the way the ABC80 records: every bit cell starts with
// a level change, a 1 bit changes level again in the middle of its cell, bytes
// go out least significant bit first, and each block is lead-in zero bytes,
// three sync bytes 0x16, 0x02, 256 data bytes, 0x03 and a two-byte checksum
// (the real one unless a test asks for another).
// Levels (+1 high, -1 low, 0 silence) are then rendered as a PCM WAV file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cassette {

// One level per sample: +1 high, -1 low, 0 silence (the mid level).
struct Signal {
    uint32_t cellSamples = 63; // one bit cell: 1/700 s at 44100 samples per second
    std::vector<int8_t> levels;
    int8_t current = -1;

    void hold(uint32_t samples) { levels.insert(levels.end(), samples, current); }
    void silence(uint32_t samples) { levels.insert(levels.end(), samples, int8_t(0)); }
    void change() { current = int8_t(-current); }

    void bit(int value) {
        change();
        if (value) {
            hold(cellSamples / 2);
            change();
            hold(cellSamples - cellSamples / 2);
        } else {
            hold(cellSamples);
        }
    }
    void byte(uint8_t value) {
        for (int i = 0; i < 8; i++)
            bit(value >> i & 1);
    }
    void bytes(const std::vector<uint8_t>& values) {
        for (uint8_t v : values)
            byte(v);
    }
    // The level change that closes the last bit cell of a recording.
    void closingEdge() {
        change();
        hold(cellSamples);
    }
    // A spike of `samples` samples at the other level.
    void spike(uint32_t samples) {
        change();
        hold(samples);
        change();
    }
};

inline Signal MakeSignal(uint32_t sampleRate, uint32_t leadSamples = 100) {
    Signal signal;
    signal.cellSamples = (sampleRate + 350) / 700;
    signal.hold(leadSamples);
    return signal;
}

// The bytes of one tape block as recorded (and as an ATP image holds them).
inline std::vector<uint8_t> TapeBlock(const std::vector<uint8_t>& data, uint16_t checksum,
                                      int leadInZeros = 32) {
    std::vector<uint8_t> block(size_t(leadInZeros), 0x00);
    block.insert(block.end(), {0x16, 0x16, 0x16, 0x02});
    std::vector<uint8_t> padded = data;
    padded.resize(256, 0x00);
    block.insert(block.end(), padded.begin(), padded.end());
    block.push_back(0x03);
    block.push_back(uint8_t(checksum));
    block.push_back(uint8_t(checksum >> 8));
    return block;
}

// The checksum the machine records: the 16-bit sum of the data bytes and 03h.
inline uint16_t Checksum(std::vector<uint8_t> data) {
    data.resize(256, 0x00);
    uint16_t sum = 0x03;
    for (uint8_t b : data)
        sum = uint16_t(sum + b);
    return sum;
}

inline std::vector<uint8_t> TapeBlock(const std::vector<uint8_t>& data) {
    return TapeBlock(data, Checksum(data));
}

struct WavFormat {
    uint32_t sampleRate = 44100;
    uint16_t bitsPerSample = 8; // 8 or 16
    uint16_t channels = 1;      // the signal is on the first channel
    bool inverted = false;      // polarity reversed, as some recorders do
    int hiss =
        0; // peak of pseudo-random noise added, in 8-bit steps, at most 37 (the signal swings 90)
};

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The canonical 44-byte header followed by the samples. Channels after the
// first carry a fast square wave that would decode as a stream of 1 bits.
inline std::vector<uint8_t> RenderWav(const Signal& signal, const WavFormat& format) {
    const uint32_t bytesPerSample = format.bitsPerSample / 8u;
    const uint32_t frame = bytesPerSample * format.channels;
    const uint32_t dataBytes = uint32_t(signal.levels.size()) * frame;
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(out, 36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, 1);
    put16(out, format.channels);
    put32(out, format.sampleRate);
    put32(out, format.sampleRate * frame);
    put16(out, frame);
    put16(out, format.bitsPerSample);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, dataBytes);

    uint32_t noise = 12345;
    auto hiss = [&]() {
        if (format.hiss == 0) return 0;
        noise = noise * 1103515245u + 12345u;
        return int(noise >> 16) % (2 * format.hiss + 1) - format.hiss;
    };
    for (size_t i = 0; i < signal.levels.size(); i++) {
        for (uint32_t ch = 0; ch < format.channels; ch++) {
            int level = ch == 0 ? signal.levels[i] : ((i / 25) % 2 ? 1 : -1);
            if (format.inverted) level = -level;
            const int value = level * 90 + hiss(); // 8-bit steps around the mid level
            if (format.bitsPerSample == 16) {
                put16(out, uint16_t(int16_t(value * 200)));
            } else {
                out.push_back(uint8_t(128 + value));
            }
        }
    }
    return out;
}

} // namespace cassette
