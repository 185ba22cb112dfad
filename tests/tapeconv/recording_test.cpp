// Whole recordings through the converter: synthesised cassette WAVs in the
// formats recorders produce, with the faults real tapes have, decode to the
// exact bytes that were recorded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cassette_wav.h"
#include "dravik_runner.h"

using cassette::Signal;
using cassette::TapeBlock;
using cassette::WavFormat;

namespace {

std::vector<uint8_t> blockData(uint8_t seed) {
    std::vector<uint8_t> data(256);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = uint8_t(seed + i * 37 + (i >> 3));
    return data;
}

// What the converter writes for blocks recorded back to back: everything
// from the first sync byte on.
std::vector<uint8_t> fromFirstSync(const std::vector<uint8_t>& recorded) {
    size_t i = 0;
    while (i < recorded.size() && recorded[i] != 0x16)
        i++;
    return std::vector<uint8_t>(recorded.begin() + long(i), recorded.end());
}

struct Decoded {
    RunOutcome run;
    std::vector<uint8_t> atp;
};

Decoded convert(const Signal& signal, const WavFormat& format,
                std::vector<std::string> extraArgs = {}) {
    ScratchDir dir;
    WriteFile(dir.path("tape.wav"), cassette::RenderWav(signal, format));
    std::vector<std::string> args = {"-i", dir.path("tape.wav"), "-o", dir.path("tape.atp")};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    Decoded decoded;
    decoded.run = RunInProcess(args, dir.path("outfile.atp"));
    decoded.atp = ReadFile(dir.path("tape.atp"));
    return decoded;
}

struct FormatCase {
    const char* name;
    WavFormat format;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class RecordingFormats : public ::testing::TestWithParam<FormatCase> {};

} // namespace

TEST_P(RecordingFormats, TwoBlocksDecodeExactly) {
    const WavFormat format = GetParam().format;
    Signal signal = cassette::MakeSignal(format.sampleRate);
    std::vector<uint8_t> recorded = TapeBlock(blockData(1));
    const std::vector<uint8_t> second = TapeBlock(blockData(99));
    recorded.insert(recorded.end(), second.begin(), second.end());
    signal.bytes(recorded);
    signal.closingEdge();

    const Decoded decoded =
        convert(signal, format,
                format.inverted ? std::vector<std::string>{"-r"} : std::vector<std::string>{});
    EXPECT_EQ(decoded.run.exitCode, 0) << decoded.run.err;
    EXPECT_EQ(decoded.atp, fromFirstSync(recorded));
    EXPECT_NE(decoded.run.out.find(std::to_string(decoded.atp.size()) + " bytes written.\n"),
              std::string::npos);
    EXPECT_EQ(decoded.run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Dravik, RecordingFormats,
    ::testing::Values(FormatCase{"Mono8", WavFormat{44100, 8, 1, false, 0}},
                      FormatCase{"Mono16", WavFormat{44100, 16, 1, false, 0}},
                      FormatCase{"Stereo8", WavFormat{44100, 8, 2, false, 0}},
                      FormatCase{"Stereo16", WavFormat{44100, 16, 2, false, 0}},
                      FormatCase{"Inverted8", WavFormat{44100, 8, 1, true, 0}},
                      FormatCase{"InvertedStereo16", WavFormat{48000, 16, 2, true, 0}},
                      FormatCase{"Hiss22k", WavFormat{22050, 16, 1, false, 30}},
                      FormatCase{"Slow11k", WavFormat{11025, 8, 1, false, 0}}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(Recordings, ContactBounceAtEdgesIsIgnored) {
    Signal signal = cassette::MakeSignal(44100);
    const std::vector<uint8_t> recorded = TapeBlock(blockData(7), 0x4242);
    // Every level change bounces twice within 0.1 ms before it settles.
    for (uint8_t byte : recorded) {
        for (int i = 0; i < 8; i++) {
            const uint32_t cell = signal.cellSamples;
            signal.spike(2);
            signal.hold(2);
            if (byte >> i & 1) {
                signal.change();
                signal.hold(cell / 2 - 4);
                signal.change();
                signal.hold(cell - cell / 2);
            } else {
                signal.change();
                signal.hold(cell - 4);
            }
        }
    }
    signal.closingEdge();
    const Decoded decoded = convert(signal, WavFormat{});
    EXPECT_EQ(decoded.run.exitCode, 0);
    EXPECT_EQ(decoded.atp, fromFirstSync(recorded));
}

TEST(Recordings, LeadingNoiseBeforeTheFirstBlockIsIgnored) {
    Signal signal = cassette::MakeSignal(44100, 50);
    // Crackle: spikes of 1 to 5 samples, 1 to 10 samples apart, for 0.1 s.
    uint32_t seed = 99;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return 1 + (seed >> 20) % range;
    };
    while (signal.levels.size() < 4410) {
        signal.spike(next(5));
        signal.hold(next(10));
    }
    signal.silence(2000);
    const std::vector<uint8_t> recorded = TapeBlock(blockData(3), 0x5150);
    signal.bytes(recorded);
    signal.closingEdge();
    WavFormat format;
    format.hiss = 30;
    const Decoded decoded = convert(signal, format);
    EXPECT_EQ(decoded.atp, fromFirstSync(recorded));
}

TEST(Recordings, UnpairedShortPulseIsReportedAndDecodingGoesOn) {
    Signal signal = cassette::MakeSignal(44100);
    const std::vector<uint8_t> recorded = TapeBlock(blockData(11));
    // A lone half-bit pulse inside the block, before a byte that starts with a 0 bit.
    size_t k = 100;
    while (recorded[k] & 1)
        k++;
    signal.bytes(std::vector<uint8_t>(recorded.begin(), recorded.begin() + long(k)));
    signal.change();
    signal.hold(signal.cellSamples / 2);
    const size_t zeroBitEdge = signal.levels.size();
    signal.bytes(std::vector<uint8_t>(recorded.begin() + long(k), recorded.end()));
    signal.closingEdge();

    Decoded decoded = convert(signal, WavFormat{}, {"-v"});
    EXPECT_EQ(decoded.run.exitCode, 0);
    EXPECT_EQ(decoded.atp, fromFirstSync(recorded)) << "a short then a long is the 0 bit alone";
    // Reported at the end of the long interval; the lone half is dropped there.
    const size_t reportedSample = zeroBitEdge + signal.cellSamples;
    EXPECT_EQ(decoded.run.err,
              "Short pulse with no pair at pos=" + std::to_string(44 + reportedSample + 1) + "!\n");
    // Without -v the reports are counted into one line.
    decoded = convert(signal, WavFormat{});
    EXPECT_EQ(decoded.run.err, "Short pulse with no pair: 1 time (-v lists them).\n");
}

TEST(Recordings, BlockGapKeepsTheFraming) {
    // The recorder stops after the last bit cell of a block, so the gap
    // closes that cell; the next block's lead-in starts afresh.
    Signal signal = cassette::MakeSignal(44100);
    const std::vector<uint8_t> first = TapeBlock(blockData(5));
    const std::vector<uint8_t> second = TapeBlock(blockData(6));
    const std::vector<uint8_t> third = TapeBlock(blockData(7));
    signal.bytes(first);
    signal.hold(22050); // half a second at the last level
    signal.bytes(second);
    signal.silence(22050); // half a second of silence
    signal.bytes(third);
    signal.closingEdge();

    std::vector<uint8_t> expected = fromFirstSync(first);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), third.begin(), third.end());
    const Decoded decoded = convert(signal, WavFormat{});
    EXPECT_EQ(decoded.atp, expected);
}

TEST(Recordings, OneBitCutByAGapStaysAOne) {
    // The recorder pauses in the second half of the block's last bit, a 1.
    Signal signal = cassette::MakeSignal(44100);
    const std::vector<uint8_t> first = TapeBlock(blockData(5), 0x8001); // last bit recorded is 1
    const std::vector<uint8_t> second = TapeBlock(blockData(6));
    signal.bytes(first);
    signal.hold(22050);
    signal.bytes(second);
    signal.closingEdge();

    std::vector<uint8_t> expected = fromFirstSync(first);
    expected.insert(expected.end(), second.begin(), second.end());
    const Decoded decoded = convert(signal, WavFormat{});
    EXPECT_EQ(decoded.atp, expected);
    EXPECT_EQ(decoded.run.err.find("Short pulse with no pair"), std::string::npos);
    EXPECT_NE(decoded.run.err.find("Warning: block 1 (other (first byte 05h)): bad checksum "
                                   "(recorded 8001h, sum "),
              std::string::npos)
        << "the made-up checksum is named";
}

TEST(Recordings, ExtraBitIsLeftBehindAtTheNextBlock) {
    // A level change before a gap adds one 0 bit; the next block is framed afresh.
    Signal signal = cassette::MakeSignal(44100);
    const std::vector<uint8_t> first = TapeBlock(blockData(5));
    const std::vector<uint8_t> second = TapeBlock(blockData(6));
    signal.bytes(first);
    signal.closingEdge();
    signal.hold(22050);
    signal.bytes(second);
    signal.closingEdge();

    std::vector<uint8_t> expected = fromFirstSync(first);
    expected.insert(expected.end(), second.begin(), second.end());
    const Decoded decoded = convert(signal, WavFormat{}, {"-v"});
    EXPECT_EQ(decoded.atp, expected);
    EXPECT_EQ(decoded.run.err, "");
    EXPECT_NE(decoded.run.out.find("Block 1: other (first byte 05h), OK.\n"
                                   "Block 2: other (first byte 06h), OK.\n"),
              std::string::npos)
        << decoded.run.out;
}
