// The deck's input level against recordings of every loudness: full-swing
// 8-bit tapes keep the classic edges sample for sample, quiet and offset
// signals are read once the level has adapted, silence and hiss stay quiet,
// and in stereo files the channel that carries the signal is followed.
#include "abc80/abc80.h"
#include "cpu/z80.h"
#include "media/tape_deck.h"
#include "tests/media/media_files.h"
#include "tests/support/tape_signal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <utility>

namespace {

constexpr uint32_t Clock = 2995200;

// (sample index, new level) for every change of the input level.
using SampleEdges = std::vector<std::pair<uint64_t, int>>;

// The classic rule: a hysteresis of 25 around 128 on 8-bit samples.
SampleEdges classicEdges(const Bytes& samples) {
    SampleEdges edges;
    int level = 0;
    for (size_t j = 0; j < samples.size(); ++j) {
        if (samples[j] > 153 && level == 0)
            edges.emplace_back(j, level = 1);
        else if (samples[j] <= 103 && level == 1)
            edges.emplace_back(j, level = 0);
    }
    return edges;
}

// A RIFF WAV file of PCM samples already laid out (any bits, any channels).
Bytes wavFile(uint32_t rate, uint16_t bits, uint16_t channels, const Bytes& data) {
    Bytes file(44);
    auto le16 = [&](size_t at, uint32_t v) {
        file[at] = uint8_t(v);
        file[at + 1] = uint8_t(v >> 8);
    };
    auto le32 = [&](size_t at, uint32_t v) {
        le16(at, v & 0xFFFF);
        le16(at + 2, v >> 16);
    };
    std::memcpy(file.data(), "RIFF", 4);
    std::memcpy(file.data() + 8, "WAVEfmt ", 8);
    le32(16, 16);
    le16(20, 1);
    le16(22, channels);
    le32(24, rate);
    le32(28, rate * channels * bits / 8);
    le16(32, channels * bits / 8);
    le16(34, bits);
    std::memcpy(file.data() + 36, "data", 4);
    le32(40, uint32_t(data.size()));
    file.insert(file.end(), data.begin(), data.end());
    le32(4, uint32_t(file.size() - 8));
    return file;
}

void put16(Bytes& out, int value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

class TapeLevelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machineConnect();
        cpuInit(Clock);
        CloseTape();
        SetTapeMotor(0, 0);
        tapeDeck.inputLevel = 0;
        // The recording filter carries over from one recording to the next;
        // every test records as a freshly started program does.
        tapeDeck.lowPass = tapeDeck.dcTrack = 0;
        tapeDeck.sampleAccumulator = 0;
    }
    void TearDown() override { CloseTape(); }

    // Plays the file from cycle 1000 to its end, sampling every 16 cycles, and
    // returns the edges by the sample that made them.
    SampleEdges play(const Bytes& file, uint32_t rate, uint64_t samples) {
        writeFile(dir_.path("tape.wav"), file);
        cpu.TCOUNT = 1000;
        OpenTapeForReading(dir_.path("tape.wav"));
        EXPECT_NE(nullptr, tapeDeck.file);
        SetTapeMotor(1, 1000);
        SampleEdges edges;
        int last = tapeDeck.inputLevel;
        const uint64_t end = 1000 + (samples + 44) * uint64_t(Clock) / rate;
        for (uint64_t c = 1000; c < end; c += 16) {
            int level = SampleTapeInput(c);
            if (level != last) edges.emplace_back(tapeDeck.position - 45, level);
            last = level;
        }
        return edges;
    }

    ScratchDir dir_;
};

// 8-bit samples of the generator's recording of a short program.
Bytes generatedSamples(uint32_t rate, const tapesignal::Wear& wear = {}) {
    const auto blocks = tapesignal::ProgramBlocks("LEVEL", tapesignal::SampleProgram(8));
    const auto signal = tapesignal::Digitise(tapesignal::Record(blocks), rate, wear);
    Bytes samples;
    for (float v : signal)
        samples.push_back(uint8_t(std::lround(v * 127) + 128));
    return samples;
}

TEST_F(TapeLevelTest, FullSwingRecordingsKeepTheClassicEdgesSampleForSample) {
    for (uint32_t rate : {44100u, 11025u}) {
        SCOPED_TRACE(rate);
        // Two recordings with three seconds of silence between them, as
        // programs saved one after the other.
        Bytes samples = generatedSamples(rate);
        samples.insert(samples.end(), rate * 3, 128);
        const Bytes second = generatedSamples(rate);
        samples.insert(samples.end(), second.begin(), second.end());
        const SampleEdges expected = classicEdges(samples);
        ASSERT_GT(expected.size(), 5000u);
        SetUp();
        EXPECT_EQ(expected, play(wavFile(rate, 8, 1, samples), rate, samples.size()));
    }

    // The deck's own recording of a pattern of output changes, with a pause.
    ASSERT_EQ(1, StartTapeRecording(dir_.path("own.wav"), 44100));
    SetTapeMotor(1, 1000);
    uint64_t c = 1000 + Clock / 10;
    RenderTapeOutput(c, 0);
    std::mt19937 random(7);
    int bit = 0;
    for (int i = 0; i < 3000; ++i) {
        c += i == 1500 ? Clock : (random() % 2 ? 2140 : 1070);
        RenderTapeOutput(c, bit);
        bit ^= 1;
    }
    cpu.TCOUNT = c;
    CloseTape();
    const Bytes own = readFile(dir_.path("own.wav"));
    ASSERT_GT(own.size(), 44u + 44100);
    const Bytes samples(own.begin() + 44, own.end());
    const SampleEdges expected = classicEdges(samples);
    ASSERT_GT(expected.size(), 2900u);
    SetUp();
    EXPECT_EQ(expected, play(own, 44100, samples.size()));
}

// A square wave of 700 changes a second between two 8-bit levels.
Bytes squareWave(uint32_t rate, double seconds, int high, int low) {
    Bytes samples;
    for (uint32_t j = 0; j < uint32_t(rate * seconds); ++j)
        samples.push_back(uint8_t((j * 700 / rate) % 2 ? low : high));
    return samples;
}

// Every change after the first `settle` samples makes an edge, on time.
void expectEveryChange(const SampleEdges& edges, uint32_t rate, uint64_t settle, uint64_t end) {
    uint64_t changes = 0;
    for (uint64_t j = settle; j < end; ++j)
        if ((j * 700 / rate) % 2 != ((j - 1) * 700 / rate) % 2) ++changes;
    uint64_t seen = 0;
    for (const auto& [sample, level] : edges) {
        if (sample < settle) continue;
        ++seen;
        EXPECT_NE((sample * 700 / rate) % 2, ((sample - 1) * 700 / rate) % 2)
            << "an edge between changes at sample " << sample;
        EXPECT_EQ((sample * 700 / rate) % 2 ? 0 : 1, level) << sample;
    }
    EXPECT_EQ(changes, seen);
}

TEST_F(TapeLevelTest, QuietAndOffsetSignalsAreReadOnceTheLevelHasAdapted) {
    const uint32_t rate = 44100;
    struct Case {
        const char* what;
        int high, low;
    };
    const Case cases[] = {
        {"a sixth of the full swing", 150, 110},
        {"a tenth", 139, 117},
        {"a twentieth", 134, 122},
        {"raised by 40 %", 190, 168},
        {"lowered by 40 %", 88, 66},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        SetUp();
        const Bytes samples = squareWave(rate, 2.0, k.high, k.low);
        const SampleEdges edges = play(wavFile(rate, 8, 1, samples), rate, samples.size());
        expectEveryChange(edges, rate, rate / 2, samples.size());
    }
}

TEST_F(TapeLevelTest, SilenceAndHissDoNotChatter) {
    const uint32_t rate = 44100;
    std::mt19937 random(11);
    // Hiss of up to one 8-bit step either way, after a loud start and alone.
    for (bool loudFirst : {true, false}) {
        SCOPED_TRACE(loudFirst);
        Bytes data;
        const Bytes loud = squareWave(rate, 0.2, 240, 16);
        if (loudFirst)
            for (uint8_t s : loud)
                put16(data, (s - 128) * 256);
        const size_t quietFrom = data.size() / 2;
        for (uint32_t j = 0; j < rate * 3; ++j)
            put16(data, int(random() % 513) - 256);
        SetUp();
        const SampleEdges edges = play(wavFile(rate, 16, 1, data), rate, data.size() / 2);
        for (const auto& [sample, level] : edges)
            EXPECT_LT(sample, quietFrom + rate / 100) << "an edge in the hiss";
    }
}

TEST_F(TapeLevelTest, StereoFilesFollowTheChannelThatCarriesTheSignal) {
    const uint32_t rate = 44100;
    const Bytes signal = squareWave(rate, 1.0, 220, 36);
    const Bytes other = squareWave(rate / 2, 1.0, 220, 36); // the same swing, half the speed
    auto stereo = [&](auto left, auto right) {
        Bytes data;
        for (uint32_t j = 0; j < signal.size(); ++j) {
            put16(data, left(j));
            put16(data, right(j));
        }
        return wavFile(rate, 16, 2, data);
    };
    auto signalAt = [&](uint32_t j) { return (signal[j] - 128) * 256; };
    auto tone = [&](uint32_t j) { return int(1600 * std::sin(2 * M_PI * 440 * j / rate)); };
    auto otherAt = [&](uint32_t j) { return (other[j / 2] - 128) * 256; };

    // Right only, a quiet tone on the left: the right is read from its start.
    SampleEdges edges = play(stereo(tone, signalAt), rate, signal.size());
    expectEveryChange(edges, rate, rate / 100, signal.size());

    // Both channels loud: the first one is kept.
    SetUp();
    edges = play(stereo(signalAt, otherAt), rate, signal.size());
    expectEveryChange(edges, rate, 1, signal.size());

    // The signal on the left, a constant at the bottom of the scale on the right.
    SetUp();
    edges = play(stereo(signalAt, [](uint32_t) { return -32768; }), rate, signal.size());
    expectEveryChange(edges, rate, 1, signal.size());
}

} // namespace
