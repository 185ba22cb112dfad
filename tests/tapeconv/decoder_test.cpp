// The decoder on raw sample streams: comparator levels and the interval rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tape_decoder.h"

namespace {

struct Collected {
    std::vector<uint8_t> bytes;
};

void collect(void* context, uint8_t byte) {
    static_cast<Collected*>(context)->bytes.push_back(byte);
}

// Decodes raw samples (no header) as if they started at file offset 44.
struct RawRun {
    DecoderState state;
    Collected collected;
    std::string diagnostics;
};

RawRun decodeRaw(std::vector<uint8_t> samples, WavHeader format, uint16_t invertMask = 0) {
    std::vector<uint8_t> file(44, 0);
    file.insert(file.end(), samples.begin(), samples.end());
    RawRun run;
    std::FILE* in = fmemopen(file.data(), file.size(), "rb");
    std::FILE* diag = std::tmpfile();
    InputReader reader;
    AttachInputReader(reader, in);
    uint8_t skip[44];
    ReadBytes(reader, skip, 44);
    ResetDecoder(run.state, format, 44);
    DecoderSettings settings;
    settings.format = format;
    settings.invertMask = invertMask;
    settings.diagnostics = diag;
    settings.sink = {collect, &run.collected};
    DecodeToEnd(run.state, settings, reader);
    std::fclose(in);
    std::rewind(diag);
    for (int c; (c = std::fgetc(diag)) != EOF;)
        run.diagnostics += char(c);
    std::fclose(diag);
    return run;
}

WavHeader format8(uint32_t rate = 44100) { return WavHeader{1, rate, 8}; }
WavHeader format16(uint32_t rate = 44100) { return WavHeader{1, rate, 16}; }

std::vector<uint8_t> samples16(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) {
        out.push_back(uint8_t(v & 0xFF));
        out.push_back(uint8_t((v >> 8) & 0xFF));
    }
    return out;
}

// 8-bit square wave: starts low, then changes level after each given count.
std::vector<uint8_t> squareWave(std::initializer_list<uint32_t> intervals, uint32_t leadLow = 100) {
    std::vector<uint8_t> out(leadLow, 28);
    uint8_t level = 228;
    for (uint32_t n : intervals) {
        out.insert(out.end(), n, level);
        level = level == 228 ? 28 : 228;
    }
    return out;
}

} // namespace

TEST(TapeComparator, EightBitThresholdIsExclusiveAndInvertIsComplement) {
    EXPECT_EQ(decodeRaw({128 + 32}, format8()).state.level, 0) << "32 above mid is inside the band";
    EXPECT_EQ(decodeRaw({128 + 33}, format8()).state.level, 1);
    EXPECT_EQ(decodeRaw({128 + 33, 128 - 32}, format8()).state.level, 1) << "-32 keeps the level";
    EXPECT_EQ(decodeRaw({128 + 33, 128 - 33}, format8()).state.level, 0);
    // Complemented: 0x00 reads as 127 (high), 0xFF as -128 (low).
    EXPECT_EQ(decodeRaw({0x00}, format8(), 0xFFFF).state.level, 1);
    EXPECT_EQ(decodeRaw({0x00, 0xFF}, format8(), 0xFFFF).state.level, 0);
    EXPECT_EQ(decodeRaw({0xFF}, format8()).state.level, 1);
}

TEST(TapeComparator, SixteenBitDividesTowardZeroAfterComplement) {
    EXPECT_EQ(decodeRaw(samples16({8447}), format16()).state.level, 0) << "8447 / 256 is 32";
    EXPECT_EQ(decodeRaw(samples16({8448}), format16()).state.level, 1);
    // -8447 / 256 is -32 when rounded toward zero, so the level stays high.
    EXPECT_EQ(decodeRaw(samples16({8448, -8447}), format16()).state.level, 1);
    EXPECT_EQ(decodeRaw(samples16({8448, -8448}), format16()).state.level, 0);
    // The complement of -8449 is 8448 (33 after the division), of 8448 is -8449.
    EXPECT_EQ(decodeRaw(samples16({-8449}), format16(), 0xFFFF).state.level, 1);
    EXPECT_EQ(decodeRaw(samples16({-8449, 8448}), format16(), 0xFFFF).state.level, 0);
    // Negation would turn -8448 into 8448 (high); the complement gives 8447 (no change).
    EXPECT_EQ(decodeRaw(samples16({-8448}), format16(), 0xFFFF).state.level, 0);
}

TEST(TapeComparator, WeakSignalNeverChangesLevel) {
    std::vector<uint8_t> weak;
    for (int i = 0; i < 5000; i++)
        weak.push_back(uint8_t(128 + (i / 20 % 2 ? 32 : -32)));
    const RawRun run = decodeRaw(weak, format8());
    EXPECT_EQ(run.state.level, 0);
    EXPECT_EQ(run.state.bitCount, 0u);
    EXPECT_EQ(run.state.lastEdge, 44u) << "no edge was seen";
}

TEST(TapeIntervals, ClassifiedAgainstOneMillisecondAndThreeTenths) {
    // At 44100 samples per second the limits are 44 (long) and 13 (glitch).
    RawRun ones = decodeRaw(squareWave({20, 20, 20, 20, 20}), format8());
    EXPECT_EQ(ones.state.bitCount, 3u) << "lead interval gives a 0 bit, then two 1 bits";
    EXPECT_EQ(ones.state.shifter, 0xC0);

    RawRun zeros = decodeRaw(squareWave({60, 60, 60}), format8());
    EXPECT_EQ(zeros.state.bitCount, 3u);
    EXPECT_EQ(zeros.state.shifter, 0x00);
    EXPECT_FALSE(zeros.state.halfPending);

    RawRun glitches = decodeRaw(squareWave({10, 10, 10, 10, 10}), format8());
    EXPECT_EQ(glitches.state.bitCount, 1u) << "only the lead interval counts";
    EXPECT_FALSE(glitches.state.halfPending);

    // Boundaries: 44 is still short, 45 is long; 13 is a glitch, 14 a half.
    RawRun atLong = decodeRaw(squareWave({44, 10}), format8());
    EXPECT_TRUE(atLong.state.halfPending);
    RawRun overLong = decodeRaw(squareWave({45, 10}), format8());
    EXPECT_FALSE(overLong.state.halfPending);
    EXPECT_EQ(overLong.state.bitCount, 2u);
    EXPECT_FALSE(decodeRaw(squareWave({13, 10}), format8()).state.halfPending);
    EXPECT_TRUE(decodeRaw(squareWave({14, 10}), format8()).state.halfPending);
}

TEST(TapeIntervals, LimitsFollowTheSampleRate) {
    // At 8000 samples per second: long above 8, glitch up to 2.
    RawRun run = decodeRaw(squareWave({9, 3, 3, 8, 5}, 20), format8(8000));
    EXPECT_EQ(run.state.bitCount, 3u); // lead, 9, then 3+3
    EXPECT_EQ(run.state.shifter, 0x80);
    EXPECT_TRUE(run.state.halfPending) << "8 is not above the long limit";
    EXPECT_EQ(decodeRaw(squareWave({2, 5}, 20), format8(8000)).state.bitCount, 1u);
}

TEST(TapeFraming, SyncOnlyOnAZeroBitThenEveryEightBits) {
    // Bits of 0x16 least significant first (0 1 1 0 1 0 0 0) after a few zeros,
    // then 0xA5 and the first 3 bits of another byte.
    std::vector<uint32_t> intervals;
    auto addBits = [&](uint8_t value, int count) {
        for (int i = 0; i < count; i++) {
            if (value >> i & 1) {
                intervals.push_back(30);
                intervals.push_back(30);
            } else {
                intervals.push_back(60);
            }
        }
    };
    addBits(0x00, 5);
    addBits(0x16, 8);
    addBits(0xA5, 8);
    addBits(0xFF, 3);
    std::vector<uint8_t> samples(100, 28);
    uint8_t level = 228;
    for (uint32_t n : intervals) {
        samples.insert(samples.end(), n, level);
        level = level == 228 ? 28 : 228;
    }
    samples.insert(samples.end(), 60, level); // closes the last cell
    const RawRun run = decodeRaw(samples, format8());
    EXPECT_EQ(run.collected.bytes, (std::vector<uint8_t>{0x16, 0xA5}));
    EXPECT_EQ(run.state.bytesWritten, 2u);
    EXPECT_EQ(run.state.bitCount, 3u);
    EXPECT_EQ(run.state.shifter, 0xE0);
}
