// The cassette deck against WAV files built here: timing of played samples,
// motor pauses, 1-bit files, recordings as people make them today (16-bit,
// stereo, extra chunks), the counter, recording and a record-then-play trip.
#include "abc80/abc80.h"
#include "cpu/z80.h"
#include "machine/memory.h"
#include "media/host_file.h"
#include "media/media_status.h"
#include "media/tape_deck.h"
#include "sound/sources.h"
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

namespace {

using Edges = std::vector<std::pair<uint64_t, int>>;

constexpr uint32_t Clock = 2995200;
constexpr uint32_t Rate64 = Clock / 64; // one sample every 64 cycles exactly

std::vector<std::pair<int, std::string>> statusTexts;
void captureStatus(int field, const char* text) { statusTexts.emplace_back(field, text); }

void putLe16(Bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void putLe32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void appendChunk(Bytes& file, const char* id, const Bytes& body) {
    size_t at = file.size();
    file.resize(at + 8);
    std::memcpy(file.data() + at, id, 4);
    putLe32(file, at + 4, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    if (body.size() & 1) file.push_back(0);
}

// A RIFF WAV file; extra chunks before "data" and after it when asked.
Bytes wavFile(uint32_t rate, uint16_t bits, uint16_t channels, const Bytes& data,
              uint16_t format = 1, bool chunkBefore = false, const Bytes& chunkAfter = {}) {
    Bytes file(12);
    std::memcpy(file.data(), "RIFF", 4);
    std::memcpy(file.data() + 8, "WAVE", 4);
    Bytes fmt(format == 0xFFFE ? 40 : 16);
    putLe16(fmt, 0, format);
    putLe16(fmt, 2, channels);
    putLe32(fmt, 4, rate);
    uint32_t align = channels * ((bits + 7) / 8);
    putLe32(fmt, 8, rate * align);
    putLe16(fmt, 12, align);
    putLe16(fmt, 14, bits);
    if (format == 0xFFFE) putLe16(fmt, 24, 1); // sub-format PCM
    appendChunk(file, "fmt ", fmt);
    if (chunkBefore) appendChunk(file, "LIST", Bytes(27, 'x'));
    appendChunk(file, "data", data);
    if (!chunkAfter.empty()) appendChunk(file, "junk", chunkAfter);
    putLe32(file, 4, static_cast<uint32_t>(file.size() - 8));
    return file;
}

// Blocks of 100 samples at 160, 100, 160: the level rises, falls and rises.
Bytes blockLevels() {
    Bytes s;
    for (uint8_t v : {160, 100, 160})
        s.insert(s.end(), 100, v);
    return s;
}

class TapeDeckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machineConnect();
        cpuInit(Clock);
        cpu.TCOUNT = 1000;
        CloseTape();
        SetTapeMotor(0, cpu.TCOUNT);
        tapeDeck.inputLevel = 0;
        // The recording filter carries over from one recording to the next;
        // every test records as a freshly started program does.
        tapeDeck.lowPass = tapeDeck.dcTrack = 0;
        tapeDeck.sampleAccumulator = 0;
        SetTapeSound(0);
        statusTexts.clear();
        SetMediaStatusWriter(captureStatus);
    }
    void TearDown() override {
        CloseTape();
        SetMediaStatusWriter(nullptr);
    }

    // Opens a file as tape at cycle 1000 with the motor started there.
    void play(const Bytes& file) {
        writeFile(dir_.path("tape.wav"), file);
        cpu.TCOUNT = 1000;
        OpenTapeForReading(dir_.path("tape.wav"));
        ASSERT_NE(nullptr, tapeDeck.file);
        SetTapeMotor(1, 1000);
    }

    // Samples the input at every cycle in [from, to) as the frame driver does.
    Edges sampleEdges(uint64_t from, uint64_t to) {
        Edges edges;
        int last = tapeDeck.inputLevel;
        for (uint64_t c = from; c < to; ++c) {
            int level = SampleTapeInput(c);
            if (level != last) edges.emplace_back(c, level);
            last = level;
        }
        return edges;
    }

    ScratchDir dir_;
};

// Sample j is taken when the tape time reaches 64 x (44.5 + j) cycles.
const Edges ExpectedBlockEdges = {{1000 + 2848, 1}, {1000 + 9248, 0}, {1000 + 15648, 1}};

TEST_F(TapeDeckTest, EightBitSamplesArriveOnTimeWithHysteresis) {
    play(wavFile(Rate64, 8, 1, blockLevels()));
    EXPECT_EQ(ExpectedBlockEdges, sampleEdges(1000, 40000)) << "past the end the level stays 1";

    Bytes inside, outside;
    for (int i = 0; i < 50; ++i)
        inside.insert(inside.end(), {150, 110});
    for (int i = 0; i < 5; ++i)
        outside.insert(outside.end(), {160, 100});
    SetUp();
    play(wavFile(Rate64, 8, 1, inside));
    EXPECT_TRUE(sampleEdges(1000, 1000 + 64 * 140).empty())
        << "150 and 110 lie inside the band a tape starts with";

    SetUp();
    play(wavFile(Rate64, 8, 1, outside));
    Edges e = sampleEdges(1000, 1000 + 64 * 54);
    ASSERT_EQ(10u, e.size());
    for (size_t j = 0; j < e.size(); ++j) {
        EXPECT_EQ(1000 + 2848 + 64 * j, e[j].first);
        EXPECT_EQ(j % 2 == 0 ? 1 : 0, e[j].second);
    }
}

TEST_F(TapeDeckTest, MotorStopPausesTheTapeWhereItStopped) {
    play(wavFile(Rate64, 8, 1, blockLevels()));
    EXPECT_EQ(1, static_cast<int>(sampleEdges(1000, 5000).size()));
    uint64_t positionAtStop = tapeDeck.position;
    SetTapeMotor(0, 5000);
    for (uint64_t c = 5000; c < 5000 + 2 * Clock; c += 997)
        EXPECT_EQ(0, SampleTapeInput(c));
    EXPECT_EQ(positionAtStop, tapeDeck.position) << "nothing is consumed while stopped";

    uint64_t resume = 5000 + 2 * Clock;
    SetTapeMotor(1, resume);
    Edges e = sampleEdges(resume, resume + 20000);
    ASSERT_EQ(2u, e.size());
    EXPECT_EQ(1000 + 9248 + 2 * Clock, e[0].first);
    EXPECT_EQ(1000 + 15648 + 2 * Clock, e[1].first);
}

TEST_F(TapeDeckTest, OneBitFilesGiveEightSamplesPerByteTopBitFirst) {
    const Bytes data = {0xB2, 0x0F};
    const int bits[16] = {1, 0, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 1, 1, 1};
    play(wavFile(Rate64, 1, 1, data));
    for (int j = 0; j < 16; ++j) {
        uint64_t due = 1000 + 64 * 44 + 32 + 64 * j;
        EXPECT_EQ(bits[j], SampleTapeInput(due)) << "sample " << j;
    }
    EXPECT_EQ(1, SampleTapeInput(1000 + 64 * 200)) << "past the end every bit is 1";
}

TEST_F(TapeDeckTest, TodaysRecordingsPlayLikeTheCanonicalFile) {
    Bytes levels = blockLevels();
    auto signed16 = [&](bool stereo) {
        Bytes d;
        for (uint8_t v : levels) {
            int s = (v - 128) * 256 + 77;
            d.insert(d.end(), {static_cast<uint8_t>(s), static_cast<uint8_t>(s >> 8)});
            if (stereo) d.insert(d.end(), {0x00, 0x80}); // the other channel says "low"
        }
        return d;
    };
    Bytes pcm24, float32, float64, stereo8;
    for (uint8_t v : levels) {
        int s = (v - 128) * 65536;
        pcm24.insert(pcm24.end(),
                     {0x12, static_cast<uint8_t>(s >> 8), static_cast<uint8_t>(s >> 16)});
        float f = (v - 128) / 128.0f;
        uint8_t raw[4];
        std::memcpy(raw, &f, 4);
        float32.insert(float32.end(), raw, raw + 4);
        double d = (v - 128) / 128.0;
        uint8_t raw64[8];
        std::memcpy(raw64, &d, 8);
        float64.insert(float64.end(), raw64, raw64 + 8);
        stereo8.insert(stereo8.end(), {v, 0});
    }
    // Bytes that would pull the level down if they were taken for samples.
    Bytes trailer(64);
    for (size_t i = 0; i < trailer.size(); i += 2)
        trailer[i] = 0x00, trailer[i + 1] = 0x80;

    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"16-bit stereo, chunk before and after data",
         wavFile(Rate64, 16, 2, signed16(true), 1, true, trailer)},
        {"16-bit mono", wavFile(Rate64, 16, 1, signed16(false))},
        {"16-bit extensible", wavFile(Rate64, 16, 1, signed16(false), 0xFFFE)},
        {"24-bit mono", wavFile(Rate64, 24, 1, pcm24)},
        {"32-bit float", wavFile(Rate64, 32, 1, float32, 3)},
        {"64-bit float", wavFile(Rate64, 64, 1, float64, 3)},
        {"8-bit stereo", wavFile(Rate64, 8, 2, stereo8, 1, false, trailer)},
        {"8-bit mono behind a chunk", wavFile(Rate64, 8, 1, levels, 1, true)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        play(c.file);
        EXPECT_EQ(ExpectedBlockEdges, sampleEdges(1000, 40000));
    }
}

TEST_F(TapeDeckTest, HeaderOnlyFilesPlayFromByte44AtTheHeaderRate) {
    // Not a RIFF file: the first 44 bytes are the header whatever they hold.
    Bytes file(44, 0x5A);
    putLe32(file, 24, Rate64);
    putLe16(file, 34, 16);
    Bytes levels = blockLevels();
    file.insert(file.end(), levels.begin(), levels.end());
    play(file);
    EXPECT_EQ(ExpectedBlockEdges, sampleEdges(1000, 40000));

    // A canonical file plays to the physical end: its size fields are not used.
    SetUp();
    Bytes canonical = wavFile(Rate64, 8, 1, Bytes(100, 160), 1, false, Bytes(200, 100));
    ASSERT_EQ(44u, canonical.size() - 100 - 208);
    play(canonical);
    Edges e = sampleEdges(1000, 40000);
    ASSERT_GE(e.size(), 2u) << "the bytes after the data chunk are played too";
    EXPECT_EQ(0, e[1].second);

    // An absurd rate runs past the end at once, where every sample reads 255.
    SetUp();
    play(wavFile(0xFFFFFFF0u, 8, 1, Bytes(100, 0)));
    EXPECT_EQ(1, SampleTapeInput(1000 + 10 * Clock));
    EXPECT_EQ(1, SampleTapeInput(1000 + 20 * Clock));

    SetUp();
    Bytes noRate = wavFile(0, 8, 1, Bytes(100, 255));
    play(noRate);
    EXPECT_TRUE(sampleEdges(1000, 100000).empty()) << "a rate of 0 reads nothing";
    UpdateTapeCounter(100000);
    for (const auto& [field, text] : statusTexts)
        EXPECT_NE(TapeCounterField, field) << text;
}

TEST_F(TapeDeckTest, RandomAndTruncatedFilesPlayWithoutHarm) {
    std::mt19937 random(2024);
    Bytes nanFloats;
    for (int i = 0; i < 400; ++i)
        nanFloats.insert(nanFloats.end(), {0x01, 0x00, 0xC0, 0x7F});
    std::vector<Bytes> files = {Bytes{}, Bytes(30, 0x44), wavFile(Rate64, 32, 1, nanFloats, 3),
                                wavFile(Rate64, 16, 3, Bytes(7, 0x80))};
    for (int round = 0; round < 12; ++round) {
        Bytes noise(random() % 3000);
        for (uint8_t& b : noise)
            b = static_cast<uint8_t>(random());
        Bytes file = wavFile(Rate64 + random() % 1000, static_cast<uint16_t>(random() % 40),
                             static_cast<uint16_t>(random() % 9), noise, random() % 4);
        file.resize(random() % (file.size() + 1)); // cut anywhere, the header included
        files.push_back(file);
    }
    for (const Bytes& file : files) {
        SetUp();
        play(file);
        for (uint64_t c = 1000; c < 1000 + Clock / 10; c += 7) {
            int level = SampleTapeInput(c);
            ASSERT_TRUE(level == 0 || level == 1);
        }
        UpdateTapeCounter(1000 + Clock / 10);
    }
}

TEST_F(TapeDeckTest, CounterShowsSecondsAndActivityOnlyWhenTheyChange) {
    play(wavFile(Rate64, 8, 1, Bytes(Rate64 * 3, 160)));
    for (uint64_t c = 1000; c < 1000 + Clock * 5 / 2; c += 64) {
        SampleTapeInput(c);
        if (c % 59904 < 64) UpdateTapeCounter(c);
    }
    std::vector<std::string> shown;
    for (const auto& [field, text] : statusTexts)
        if (field == TapeCounterField) shown.push_back(text);
    const std::vector<std::string> expected = {"0000 \x95 00:00/00:03", "0001 \x95 00:01/00:03",
                                               "0002 \x95 00:02/00:03"};
    EXPECT_EQ(expected, shown);

    statusTexts.clear();
    CloseTape();
    ASSERT_EQ(1u, statusTexts.size());
    EXPECT_EQ("", statusTexts[0].second);
    play(wavFile(Rate64, 8, 1, Bytes(10, 100)));
    UpdateTapeCounter(1000);
    ASSERT_EQ(2u, statusTexts.size()) << "a new tape shows its counter again";
    EXPECT_EQ("0000", statusTexts[1].second.substr(0, 4));
}

TEST_F(TapeDeckTest, RewindPlaysTheTapeFromItsStartAgain) {
    play(wavFile(Rate64, 8, 1, blockLevels()));
    EXPECT_EQ(0u, TapeLengthSeconds()) << "300 samples: under a second";
    Edges first = sampleEdges(1000, 1000 + 400 * 64);
    ASSERT_EQ(3u, first.size());

    // Rewound with the motor stopped: the tape starts again with the motor.
    SetTapeMotor(0, 30000);
    cpu.TCOUNT = 50000;
    ASSERT_EQ(1, RewindTape());
    SetTapeMotor(1, 60000);
    // The level is still high from the end of the first pass, so the first
    // rise is no change; the fall and the rise come at their old times.
    Edges again = sampleEdges(60000, 60000 + 400 * 64);
    ASSERT_EQ(2u, again.size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(first[i + 1].first - 1000, again[i].first - 60000) << i;
        EXPECT_EQ(first[i + 1].second, again[i].second) << i;
    }

    // A recording is not rewound; nor is an empty deck.
    ASSERT_EQ(1, StartTapeRecording(dir_.path("rec.wav"), 44100));
    EXPECT_EQ(0, RewindTape());
    CloseTape();
    EXPECT_EQ(0, RewindTape());
}

TEST_F(TapeDeckTest, LengthAndPathOfThePlayedTape) {
    play(wavFile(Rate64, 8, 1, Bytes(Rate64 * 83 + 10, 128)));
    EXPECT_EQ(83u, TapeLengthSeconds());
    EXPECT_EQ(dir_.path("tape.wav"), tapeDeck.path);
    UpdateTapeCounter(1000);
    ASSERT_FALSE(statusTexts.empty());
    EXPECT_EQ("0000   00:00/01:23", statusTexts.back().second);
    CloseTape();
    EXPECT_EQ("", tapeDeck.path);
    EXPECT_EQ(0u, TapeLengthSeconds());
}

TEST_F(TapeDeckTest, TapeSoundFollowsTheLevelWhileTheFlagIsOn) {
    play(wavFile(Rate64, 8, 1, Bytes(100, 160)));
    SoundSource* source = SoundSources();
    while (source && std::string(source->name) != "TapeSound")
        source = source->next;
    ASSERT_NE(nullptr, source) << "registered while a tape is open";
    sampleEdges(1000, 5000);
    int16_t buffer[16];
    source->generate(buffer, 16);
    EXPECT_EQ(0, buffer[15]) << "silent with the flag off";
    SetTapeSound(1);
    source->generate(buffer, 16);
    EXPECT_EQ(1023, buffer[0]);
    EXPECT_EQ(1023, buffer[15]);
    CloseTape();
    for (SoundSource* s = SoundSources(); s; s = s->next)
        EXPECT_NE(source, s);
}

// ---- recording ----------------------------------------------------------------

TEST_F(TapeDeckTest, RecordingFiltersTheOutputAndCompletesTheFileWhenClosed) {
    EXPECT_EQ(0, StartTapeRecording("", 44100));
    EXPECT_EQ(0, TapeIsPlaying()) << "a failed start still leaves the input side off";

    ASSERT_EQ(1, StartTapeRecording(dir_.path("out.wav"), 44100));
    SetTapeMotor(1, 1000);
    const uint64_t settled = 1000 + Clock / 10;
    RenderTapeOutput(settled, 0);               // 100 ms of the idle output first
    RenderTapeOutput(settled + Clock / 100, 1); // then bit 6 held at 1 for 10 ms
    SetTapeMotor(0, settled + Clock / 100);
    cpu.TCOUNT = settled + Clock / 100;
    CloseTape();

    Bytes full = readFile(dir_.path("out.wav"));
    ASSERT_GT(full.size(), 44u + 4410 + 441 + 22050 - 2);
    EXPECT_LT(full.size(), 44u + 4410 + 441 + 22050 + 2);
    EXPECT_EQ(full.size() - 8, ReadLe32(full.data() + 4));
    EXPECT_EQ(full.size() - 44, ReadLe32(full.data() + 40));
    Bytes file(full.begin(), full.begin() + 44);
    file.insert(file.end(), full.begin() + 44 + 4410, full.end());
    for (int i = 5; i < 441; ++i)
        EXPECT_LT(file[44 + i], 64) << "sample " << i;
    EXPECT_GT(file[44 + 440], file[44 + 20]) << "creeps back toward 128";
    for (size_t i = file.size() - 22000; i < file.size(); ++i)
        ASSERT_GE(file[i], 127);
    EXPECT_LE(file.back(), 129) << "the last half second settles at the idle level";
}

TEST_F(TapeDeckTest, RecordingAfterAnyPlayedFileWritesACanonicalHeader) {
    Bytes garbage(200, 0xC3);
    for (const Bytes& played : {wavFile(22050, 16, 2, Bytes(400, 0)), garbage}) {
        SetUp();
        play(played);
        ASSERT_EQ(1, StartTapeRecording(dir_.path("rec.wav"), 44100));
        CloseTape();
        Bytes file = readFile(dir_.path("rec.wav"));
        ASSERT_GE(file.size(), 44u);
        EXPECT_EQ(0, std::memcmp(file.data(), "RIFF", 4));
        EXPECT_EQ(0, std::memcmp(file.data() + 8, "WAVEfmt ", 8));
        EXPECT_EQ(16u, ReadLe32(file.data() + 16));
        EXPECT_EQ(1u, ReadLe16(file.data() + 20));
        EXPECT_EQ(1u, ReadLe16(file.data() + 22)) << "mono";
        EXPECT_EQ(44100u, ReadLe32(file.data() + 24));
        EXPECT_EQ(44100u, ReadLe32(file.data() + 28));
        EXPECT_EQ(1u, ReadLe16(file.data() + 32));
        EXPECT_EQ(8u, ReadLe16(file.data() + 34));
        EXPECT_EQ(0, std::memcmp(file.data() + 36, "data", 4));
    }
}

TEST_F(TapeDeckTest, PlayingStateAcrossOpenAndClose) {
    play(wavFile(Rate64, 8, 1, Bytes(10, 160)));
    EXPECT_EQ(1, TapeIsPlaying());
    CloseTape();
    EXPECT_EQ(0, TapeIsPlaying()) << "a closed tape leaves the input side off";
    OpenTapeForReading(dir_.path("absent.wav"));
    EXPECT_EQ(0, TapeIsPlaying());
    OpenTapeForReading(dir_.path(""));
    EXPECT_EQ(0, TapeIsPlaying()) << "a folder is not a tape";
    EXPECT_EQ(1, OpenTapeForReading(dir_.path("tape.wav")));
    EXPECT_EQ(1, TapeIsPlaying());
    // A tape that can't be opened leaves the one in the deck playing.
    std::FILE* playing = tapeDeck.file;
    EXPECT_EQ(0, OpenTapeForReading(dir_.path("absent.wav")));
    EXPECT_EQ("no such file or folder", MediaError());
    EXPECT_EQ(0, OpenTapeForReading(dir_.path("")));
    EXPECT_EQ("is a folder", MediaError());
    EXPECT_EQ(playing, tapeDeck.file);
    EXPECT_EQ(1, TapeIsPlaying());
}

// The output toggled at known cycles, recorded, then played back: every
// toggle comes back as an input edge (set bit -> low level), with the same
// spacing to within one sample period. A lead-in of even toggles centres the
// tracking filter first, as the sync bytes of a real recording do; the first
// few pulses of it may be swallowed while it settles.
TEST_F(TapeDeckTest, RecordedEdgesPlayBackWithTheirSpacing) {
    const uint32_t rate = 44100;
    ASSERT_EQ(1, StartTapeRecording(dir_.path("trip.wav"), rate));
    uint64_t c = 1000;
    SetTapeMotor(1, c);
    c += Clock / 10;
    RenderTapeOutput(c, 0);
    std::vector<uint64_t> toggles;
    int bit = 0;
    auto toggle = [&](uint64_t gap) {
        c += gap;
        RenderTapeOutput(c, bit); // the level held until now
        bit ^= 1;
        toggles.push_back(c);
    };
    for (int i = 0; i < 200; ++i)
        toggle(2140);
    const uint64_t gaps[] = {4280, 2140, 2140, 4280, 6000, 2140,
                             4280, 3100, 2140, 2140, 4280, 5000};
    for (int round = 0; round < 4; ++round)
        for (uint64_t gap : gaps)
            toggle(gap);
    c += 4000;
    RenderTapeOutput(c, bit);
    cpu.TCOUNT = c;
    CloseTape();

    SetUp();
    cpu.TCOUNT = 50000;
    OpenTapeForReading(dir_.path("trip.wav"));
    SetTapeMotor(1, 50000);
    tapeDeck.inputLevel = 1; // the idle output (bit clear) reads as a high level
    Edges edges = sampleEdges(50000, 50000 + (c - 1000) + 10000);
    ASSERT_LE(edges.size(), toggles.size());
    ASSERT_GE(edges.size() + 4, toggles.size());

    // Align the two from the end and compare the last 240 edges.
    const size_t compared = 240;
    const size_t e0 = edges.size() - compared, t0 = toggles.size() - compared;
    const double samplePeriod = double(Clock) / rate;
    for (size_t k = 0; k < compared; ++k) {
        EXPECT_EQ((t0 + k) % 2 == 0 ? 0 : 1, edges[e0 + k].second) << "edge " << k;
        double played = double(edges[e0 + k].first - edges[e0].first);
        double recorded = double(toggles[t0 + k] - toggles[t0]);
        EXPECT_NEAR(recorded, played, samplePeriod) << "edge " << k;
    }
}

} // namespace

namespace {

TEST_F(TapeDeckTest, RecordingOntoThePlayedTapeIsRefusedAndTheTapePlaysOn) {
    Bytes tape = wavFile(Rate64, 8, 1, Bytes(100, 160));
    play(tape);
    std::filesystem::create_hard_link(dir_.path("tape.wav"), dir_.path("link.wav"));
    for (const char* name : {"tape.wav", "link.wav"}) {
        EXPECT_EQ(0, StartTapeRecording(dir_.path(name), 44100)) << name;
        EXPECT_EQ("it is the tape being played", MediaError());
    }
    EXPECT_EQ(1, TapeIsPlaying());
    EXPECT_EQ(tape, readFile(dir_.path("tape.wav")));
    EXPECT_EQ(ExpectedBlockEdges.front(), sampleEdges(1000, 1000 + 3000).front())
        << "the tape still plays from its start";
}

TEST_F(TapeDeckTest, RecordingThatFailsStopsAtOnceAndSaysWhy) {
    // A full disk refuses even the header: nothing starts.
    EXPECT_EQ(0, StartTapeRecording("/dev/full", 44100));
    EXPECT_EQ("no space left on device", MediaError());
    EXPECT_EQ(nullptr, tapeDeck.file);
    EXPECT_EQ(0, StartTapeRecording(dir_.path(""), 44100));
    EXPECT_EQ("is a folder", MediaError());
    EXPECT_TRUE(TapeRecordingFailure().empty());
}

} // namespace
