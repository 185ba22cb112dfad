// The decoder on raw sample streams: the comparators, the interval rules and
// the block framer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "block_framer.h"
#include "tape_decoder.h"

namespace {

struct Collected {
    std::vector<uint8_t> bytes;
    std::vector<BlockReport> blocks;
};

void collectByte(void* context, uint8_t byte) {
    static_cast<Collected*>(context)->bytes.push_back(byte);
}
void collectBlock(void* context, const BlockReport& report) {
    static_cast<Collected*>(context)->blocks.push_back(report);
}

// Decodes raw samples (no header) as if they started at file offset 44.
struct RawRun {
    DecoderState state;
    Collected collected;
    std::string pulseReports;
};

WavFormat format8(uint32_t rate = 44100) {
    WavFormat f;
    f.formatTag = kWaveFormatPcm;
    f.channels = 1;
    f.sampleRate = rate;
    f.bitsPerSample = 8;
    ResolveEncoding(f);
    return f;
}

WavFormat format16(uint32_t rate = 44100) {
    WavFormat f = format8(rate);
    f.bitsPerSample = 16;
    ResolveEncoding(f);
    return f;
}

RawRun decodeRaw(std::vector<uint8_t> samples, WavFormat format, FrontEndSettings frontEnd = {},
                 bool finish = false) {
    std::vector<uint8_t> file(44, 0);
    file.insert(file.end(), samples.begin(), samples.end());
    RawRun run;
    std::FILE* in = fmemopen(file.data(), file.size(), "rb");
    std::FILE* reports = std::tmpfile();
    InputReader reader;
    AttachInputReader(reader, in);
    SkipBytes(reader, 44);
    DecoderSettings settings;
    settings.format = format;
    settings.frontEnd = frontEnd;
    settings.pulseReports = reports;
    settings.events = {collectByte, collectBlock, &run.collected};
    ResetDecoder(run.state, settings, 44);
    DecodeFrames(run.state, settings, reader, UINT64_MAX);
    if (finish) FinishDecoder(run.state, settings);
    std::fclose(in);
    std::rewind(reports);
    for (int c; (c = std::fgetc(reports)) != EOF;)
        run.pulseReports += char(c);
    std::fclose(reports);
    return run;
}

FrontEndSettings fixed(int percent, bool invert = false) {
    FrontEndSettings s;
    s.fixedThresholdPercent = percent;
    s.invert = invert;
    return s;
}

std::vector<uint8_t> samples16(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) {
        out.push_back(uint8_t(v & 0xFF));
        out.push_back(uint8_t((v >> 8) & 0xFF));
    }
    return out;
}

// 8-bit square wave of the given swing: starts low, then changes level after
// each given count, and once more at the end so every interval is closed.
std::vector<uint8_t> squareWave(std::initializer_list<uint32_t> intervals, uint32_t leadLow = 100,
                                int swing = 100) {
    const uint8_t low = uint8_t(128 - swing), high = uint8_t(128 + swing);
    std::vector<uint8_t> out(leadLow, low);
    uint8_t level = high;
    for (uint32_t n : intervals) {
        out.insert(out.end(), n, level);
        level = level == high ? low : high;
    }
    out.insert(out.end(), 30, level);
    return out;
}

// Bits of the given bytes as intervals, least significant bit first.
std::vector<uint32_t> intervalsOf(const std::vector<uint8_t>& bytes, uint32_t cell = 63) {
    std::vector<uint32_t> intervals;
    for (uint8_t byte : bytes)
        for (int i = 0; i < 8; i++) {
            if (byte >> i & 1) {
                intervals.push_back(cell / 2);
                intervals.push_back(cell - cell / 2);
            } else {
                intervals.push_back(cell);
            }
        }
    return intervals;
}

std::vector<uint8_t> squareOf(const std::vector<uint32_t>& intervals, int swing = 100,
                              int offset = 0) {
    std::vector<uint8_t> out(100, uint8_t(128 + offset - swing));
    int level = 1;
    for (uint32_t n : intervals) {
        out.insert(out.end(), n, uint8_t(128 + offset + (level ? swing : -swing)));
        level ^= 1;
    }
    out.insert(out.end(), 63, uint8_t(128 + offset + (level ? swing : -swing)));
    return out;
}

std::vector<uint8_t> block(uint8_t seed, bool goodSum = true) {
    std::vector<uint8_t> b = {0x16, 0x16, 0x16, 0x02};
    uint16_t sum = 0x03;
    for (int i = 0; i < 256; i++) {
        const uint8_t v = uint8_t(seed + i * 7);
        b.push_back(v);
        sum = uint16_t(sum + v);
    }
    if (!goodSum) sum ^= 0x0100;
    b.insert(b.end(), {0x03, uint8_t(sum), uint8_t(sum >> 8)});
    return b;
}

} // namespace

TEST(TapeComparator, FixedThresholdIsExclusiveAndInvertIsComplement) {
    // -t 25 on 8-bit samples: 32 steps of 128 around the middle, as Dravik always compared.
    EXPECT_EQ(decodeRaw({128 + 32}, format8(), fixed(25)).state.frontEnd.level, 0);
    EXPECT_EQ(decodeRaw({128 + 33}, format8(), fixed(25)).state.frontEnd.level, 1);
    EXPECT_EQ(decodeRaw({128 + 33, 128 - 32}, format8(), fixed(25)).state.frontEnd.level, 1);
    EXPECT_EQ(decodeRaw({128 + 33, 128 - 33}, format8(), fixed(25)).state.frontEnd.level, 0);
    // Complemented: 0x00 reads as 127 (high), 0xFF as -128 (low).
    EXPECT_EQ(decodeRaw({0x00}, format8(), fixed(25, true)).state.frontEnd.level, 1);
    EXPECT_EQ(decodeRaw({0x00, 0xFF}, format8(), fixed(25, true)).state.frontEnd.level, 0);
    // 16-bit: a quarter of full scale is 8192.
    EXPECT_EQ(decodeRaw(samples16({8192}), format16(), fixed(25)).state.frontEnd.level, 0);
    EXPECT_EQ(decodeRaw(samples16({8193}), format16(), fixed(25)).state.frontEnd.level, 1);
    EXPECT_EQ(decodeRaw(samples16({8193, -8193}), format16(), fixed(25)).state.frontEnd.level, 0);
    // The complement of -8194 is 8193.
    EXPECT_EQ(decodeRaw(samples16({-8194}), format16(), fixed(25, true)).state.frontEnd.level, 1);
}

TEST(TapeComparator, FixedThresholdMissesAWeakSignalThatTheDefaultFollows) {
    const std::vector<uint8_t> weak = squareOf(intervalsOf({0x00, 0x16, 0xA5}), 10);
    EXPECT_EQ(decodeRaw(weak, format8(), fixed(25)).state.bits, 0u);
    // The level-following comparator hears every bit (24 and the lead interval).
    EXPECT_EQ(decodeRaw(weak, format8(), {}, true).state.bits, 25u);
    // Sitting 40 % off the middle makes no difference to it.
    const std::vector<uint8_t> offset = squareOf(intervalsOf({0x00, 0x16, 0xA5}), 10, 50);
    EXPECT_EQ(decodeRaw(offset, format8(), {}, true).state.bits, 25u);
    // Without the DC removal the fixed comparator never sees the signal go low.
    EXPECT_EQ(decodeRaw(offset, format8(), fixed(10)).state.bits, 0u);
}

TEST(TapeComparator, QuietHissNeverChangesTheLevel) {
    std::vector<uint8_t> hiss;
    uint32_t seed = 5;
    hiss.push_back(128);
    for (int i = 0; i < 44100; i++) {
        seed = seed * 1664525u + 1013904223u;
        hiss.push_back(uint8_t(128 + int(seed >> 16) % 3 - 1)); // -1, 0 or 1 step
    }
    const RawRun run = decodeRaw(hiss, format8());
    EXPECT_EQ(run.state.bits, 0u);
    EXPECT_FALSE(run.state.hasPending);
}

TEST(TapeComparator, GainAndFilterChangeTheSignalAsTheUsageSays) {
    // 20 steps of 128 are below a 20 % threshold; 6 dB of gain lifts them above it.
    const std::vector<uint8_t> wave = squareWave({60, 60, 60}, 100, 20);
    EXPECT_EQ(decodeRaw(wave, format8(), fixed(20)).state.bits, 0u);
    FrontEndSettings gained = fixed(20);
    gained.gainDb = 6;
    EXPECT_EQ(decodeRaw(wave, format8(), gained).state.bits, 3u);
    // A DC offset fools the fixed comparator; the 50 Hz high-pass of -f takes it out.
    const std::vector<uint8_t> offset = squareOf(intervalsOf({0x00, 0x16}), 40, 60);
    EXPECT_EQ(decodeRaw(offset, format8(), fixed(10)).state.bits, 0u);
    FrontEndSettings filtered = fixed(10);
    filtered.filter = true;
    EXPECT_EQ(decodeRaw(offset, format8(), filtered, true).state.framer.state,
              BlockFramer::State::Sync)
        << "the sync byte was heard";
}

TEST(TapeIntervals, ClassifiedAgainstOneMillisecondAndThreeTenths) {
    // At 44100 samples per second the limits are 44 (long) and 13 (glitch).
    RawRun ones = decodeRaw(squareWave({20, 20, 20, 20}), format8(), {}, true);
    EXPECT_EQ(ones.state.bits, 3u) << "lead interval gives a 0 bit, then two 1 bits";
    EXPECT_EQ(ones.state.framer.window, 0xC0);

    RawRun zeros = decodeRaw(squareWave({60, 60, 60}), format8(), {}, true);
    EXPECT_EQ(zeros.state.bits, 4u);
    EXPECT_EQ(zeros.state.framer.window, 0x00);

    // Boundaries: 44 is still short, 45 is long.
    RawRun atLong = decodeRaw(squareWave({44, 44}), format8(), {}, true);
    EXPECT_EQ(atLong.state.bits, 2u);
    EXPECT_EQ(atLong.state.framer.window, 0x80);
    RawRun overLong = decodeRaw(squareWave({45, 45}), format8(), {}, true);
    EXPECT_EQ(overLong.state.bits, 3u);
    EXPECT_EQ(overLong.state.framer.window, 0x00);
    // 14 is a half; a pulse of 13 is a glitch and goes with both its changes.
    RawRun halves = decodeRaw(squareWave({14, 14}), format8(), {}, true);
    EXPECT_EQ(halves.state.framer.window, 0x80);
    RawRun glitch = decodeRaw(squareWave({30, 13, 32, 60}), format8(), {}, true);
    EXPECT_EQ(glitch.state.bits, 3u) << "30 + 13 + 32 is one long interval";
    EXPECT_EQ(glitch.state.framer.window, 0x00);
}

TEST(TapeIntervals, LimitsFollowTheSampleRate) {
    // At 8000 samples per second: long above 8, glitch up to 2.
    RawRun run = decodeRaw(squareWave({9, 3, 3, 8, 9}, 20), format8(8000), {}, true);
    EXPECT_EQ(run.state.bits, 4u) << "lead, 9, then 3+3, then 8 (not above the limit) and 9";
    EXPECT_EQ(run.state.framer.window, 0x40);
    // Pulses of 2 are glitches: low, then nothing but glitches, is no bit at all.
    EXPECT_EQ(decodeRaw(squareWave({2, 2, 2}, 20), format8(8000), {}, true).state.bits, 0u);
}

TEST(TapeIntervals, UnpairedShortIsDroppedWithTheLongThatFollows) {
    // After a sync byte (inside a block): a half, a long, a whole 1, a long.
    std::vector<uint32_t> intervals = intervalsOf({0x00, 0x16});
    intervals.insert(intervals.end(), {30, 60, 30, 30, 60});
    const RawRun run = decodeRaw(squareOf(intervals), format8(), {}, true);
    EXPECT_EQ(run.state.unpairedShorts, 1u);
    EXPECT_EQ(run.state.framer.bitCount, 3) << "the lone half dropped: 0, then 1, 0";
    EXPECT_EQ(run.state.framer.shifter, 0x40);
    EXPECT_NE(run.pulseReports.find("Short pulse with no pair at pos="), std::string::npos);
    // Between blocks the same pattern is noise and not counted.
    const RawRun noise = decodeRaw(squareWave({30, 60, 30, 30, 60}), format8(), {}, true);
    EXPECT_EQ(noise.state.unpairedShorts, 0u);
    EXPECT_EQ(noise.state.framer.window, 0x40);
}

TEST(TapeFraming, BlocksAreFoundAfreshAfterEveryFault) {
    std::vector<uint8_t> bytes(20, 0x00);
    const std::vector<uint8_t> first = block(1), second = block(2, false), third = block(3);
    bytes.insert(bytes.end(), first.begin(), first.end());
    bytes.insert(bytes.end(), 16, 0x00);
    bytes.insert(bytes.end(), second.begin(), second.end());
    bytes.insert(bytes.end(), 16, 0x00);
    std::vector<uint32_t> intervals = intervalsOf(bytes);
    intervals.push_back(63); // an extra 0 bit between the second and the third block
    const std::vector<uint32_t> more = intervalsOf(std::vector<uint8_t>(16, 0x00));
    intervals.insert(intervals.end(), more.begin(), more.end());
    const std::vector<uint32_t> last = intervalsOf(third);
    intervals.insert(intervals.end(), last.begin(), last.end());

    const RawRun run = decodeRaw(squareOf(intervals), format8(), {}, true);
    ASSERT_EQ(run.collected.blocks.size(), 3u);
    EXPECT_TRUE(run.collected.blocks[0].ok());
    EXPECT_FALSE(run.collected.blocks[1].ok()) << "the second block's checksum is wrong";
    EXPECT_EQ(run.collected.blocks[1].recordedSum ^ run.collected.blocks[1].computedSum, 0x0100);
    EXPECT_TRUE(run.collected.blocks[2].ok()) << "the extra bit is left behind";
    std::vector<uint8_t> expected = first;
    expected.insert(expected.end(), 16, 0x00);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), 32, 0x00); // 16 + 1 bit + 16 zero bytes: 32 whole ones
    expected.insert(expected.end(), third.begin(), third.end());
    EXPECT_EQ(run.collected.bytes, expected);
    EXPECT_EQ(run.state.framer.blocks, 3u);
    EXPECT_EQ(run.state.framer.badBlocks, 1u);
}

TEST(TapeFraming, FalseSyncInNoiseWritesNothing) {
    // 16h followed by something other than 16h or 02h is not a block.
    const RawRun run =
        decodeRaw(squareOf(intervalsOf({0x00, 0x16, 0xA5, 0x00})), format8(), {}, true);
    EXPECT_TRUE(run.collected.bytes.empty());
    EXPECT_EQ(run.state.framer.blocks, 0u);
    EXPECT_EQ(run.state.framer.falseSyncs, 1u);
}

TEST(TapeFraming, BlockCutByTheEndIsPaddedToItsLengthAndReported) {
    std::vector<uint8_t> cut = block(4);
    cut.resize(100);
    const RawRun run = decodeRaw(squareOf(intervalsOf(cut)), format8(), {}, true);
    ASSERT_EQ(run.collected.blocks.size(), 1u);
    EXPECT_EQ(run.collected.blocks[0].bytesHeard, 96u);
    EXPECT_FALSE(run.collected.blocks[0].ok());
    // What was heard, zeros for the rest of the data, 03h, and a checksum
    // that is the complement of the padded block's sum.
    std::vector<uint8_t> padded = cut;
    padded.resize(260, 0x00);
    uint16_t sum = 0x03;
    for (size_t i = 4; i < 260; i++)
        sum = uint16_t(sum + padded[i]);
    padded.push_back(0x03);
    padded.push_back(uint8_t(~sum));
    padded.push_back(uint8_t(~sum >> 8));
    EXPECT_EQ(run.collected.bytes, padded);
}

TEST(TapeFraming, HeaderBlockNamesTheProgram) {
    std::vector<uint8_t> data(256, 0x20);
    data[0] = data[1] = data[2] = 0xFF;
    std::memcpy(data.data() + 3, "GAME    BAS", 11);
    BlockFramer framer;
    Collected collected;
    ResetFramer(framer, {collectByte, collectBlock, &collected});
    std::vector<uint8_t> bytes = {0x00, 0x16, 0x16, 0x16, 0x02};
    bytes.insert(bytes.end(), data.begin(), data.end());
    uint16_t sum = 3;
    for (uint8_t b : data)
        sum = uint16_t(sum + b);
    bytes.insert(bytes.end(), {0x03, uint8_t(sum), uint8_t(sum >> 8)});
    for (uint8_t b : bytes)
        for (int i = 0; i < 8; i++)
            FramerBit(framer, b >> i & 1);
    ASSERT_EQ(collected.blocks.size(), 1u);
    EXPECT_EQ(collected.blocks[0].kind, BlockKind::Header);
    EXPECT_EQ(collected.blocks[0].name, "GAME.BAS");
    EXPECT_TRUE(collected.blocks[0].ok());
}
