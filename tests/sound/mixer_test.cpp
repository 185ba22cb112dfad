// The mixer against a stand-in driver whose play position the test moves:
// block production from cycle counts, the rate control at 20, 100 and 200 %
// speed, pausing, source mixing and the WAV recording.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <unistd.h>

#include "cpu/z80.h"
#include "sound/mixer.h"
#include "sound/sources.h"

namespace {

constexpr uint64_t FrameCycles = 59904;

// A device that plays 1,920 bytes per emulated-time frame of the host, from a
// 96,000-byte ring, and never plays past what was written (an underrun stops
// it at the writer).
struct StandIn {
    uint64_t written = 0; // bytes ever written
    uint64_t played = 0;
    int writes = 0;
    int closes = 0;
    int resets = 0;
    int pauses = 0;
    int resumes = 0;
    bool positionKnown = true;
    std::vector<uint32_t> positions;
    std::vector<int16_t> firstSamples;
} device;

void standInWrite(const int16_t* block, uint32_t pos, uint32_t count) {
    EXPECT_EQ(count, SoundBlockBytes);
    device.positions.push_back(pos);
    device.firstSamples.push_back(block[0]);
    device.written += count;
    ++device.writes;
}
uint32_t standInPosition() {
    return device.positionKnown ? static_cast<uint32_t>(device.played % SoundRingBytes)
                                : SoundPositionUnknown;
}
void play(uint64_t bytes) { device.played = std::min(device.played + bytes, device.written); }
int queuedBlocks() { return static_cast<int>((device.written - device.played) / SoundBlockBytes); }

const SoundDriver StandInDriver{
    "stand-in",
    [](int) { return 1; },
    [] { ++device.closes; },
    standInWrite,
    [] { ++device.resets; },
    [] { ++device.pauses; },
    [] { ++device.resumes; },
    standInPosition,
};

// Sources with recognisable output.
int16_t constantValue = 100;
int sourceResets = 0;
SoundSource constant{"constant", nullptr,
                     [](int16_t* b, int n) { std::fill(b, b + n, constantValue); },
                     [] { ++sourceResets; }, nullptr};
SoundSource loud{"loud", nullptr, [](int16_t* b, int n) { std::fill(b, b + n, int16_t{30000}); },
                 [] { ++sourceResets; }, nullptr};

class MixerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        cpu.clockHz = 2995200;
        cpu.cyclesPerLine = 191;
        device = StandIn{};
        InstallSoundDriver(&StandInDriver);
        InitSoundSystem();
        AddSoundSource(&constant);
        cycles = 0;
    }
    void TearDown() override {
        SetSoundMuted(0);
        StopSoundRecording();
        RemoveSoundSource(&constant);
        RemoveSoundSource(&loud);
        InstallSoundDriver(&NoSoundDriver);
    }
    // Runs emulated frames at a speed of percent; the device plays in real
    // time, one 20 ms block per host frame.
    void runAtSpeed(int percent, int hostFrames) {
        for (int f = 0; f < hostFrames; ++f) {
            emulated += percent;
            while (emulated >= 100) {
                emulated -= 100;
                cycles += FrameCycles;
                MixUpTo(cycles);
            }
            play(SoundBlockBytes);
        }
    }
    uint64_t cycles = 0;
    int emulated = 0;
};

TEST_F(MixerTest, CyclesBecomeSamplesSlightlyFasterThanTheClock) {
    MixUpTo(FrameCycles);
    EXPECT_EQ(SoundSamplesProduced(), 963u); // 59,904 * 48,000 / 2,984,375 = 963.47
    // The empty measurement ring asks for an added block at the first boundary.
    ASSERT_EQ(device.writes, 2);
    EXPECT_EQ(device.positions[0], 0u);
    EXPECT_EQ(device.positions[1], SoundBlockBytes);
    EXPECT_EQ(SoundWritePosition(), 2 * SoundBlockBytes);

    MixUpTo(2 * FrameCycles);
    EXPECT_EQ(SoundSamplesProduced(), 1927u); // rounded from 1,926.94

    // Ten seconds of emulated time.
    MixUpTo(500 * FrameCycles);
    EXPECT_EQ(SoundSamplesProduced(), 481741u);
}

TEST_F(MixerTest, WritePositionWrapsRoundTheRing) {
    // Keep the queue normal so that every finished block is one write.
    for (int i = 0; i < 60; ++i) {
        cycles += FrameCycles;
        device.played =
            device.written > 5 * SoundBlockBytes ? device.written - 5 * SoundBlockBytes : 0;
        MixUpTo(cycles);
    }
    ASSERT_GT(device.writes, 50);
    for (size_t i = 0; i < device.positions.size(); ++i) {
        EXPECT_EQ(device.positions[i], (i * SoundBlockBytes) % SoundRingBytes);
        EXPECT_LT(device.positions[i], SoundRingBytes);
    }
}

TEST_F(MixerTest, FullSpeedHoldsTheQueueWithoutCorrections) {
    runAtSpeed(100, 100); // settle
    const int writesBefore = device.writes;
    const uint32_t producedBefore = SoundSamplesProduced();
    for (int f = 0; f < 400; ++f) {
        runAtSpeed(100, 1);
        ASSERT_GE(queuedBlocks(), 3) << "frame " << f;
        ASSERT_LE(queuedBlocks(), 8) << "frame " << f;
    }
    // About one block per frame: the 3.5-sample surplus per frame is the only
    // thing the control corrects.
    const int naturalBlocks = static_cast<int>((SoundSamplesProduced() - producedBefore) / 960);
    EXPECT_NEAR(device.writes - writesBefore, naturalBlocks, 3);
    EXPECT_NEAR(device.writes - writesBefore, 400, 5);
}

TEST_F(MixerTest, DoubleSpeedDropsWholeCallsToKeepUp) {
    runAtSpeed(200, 100);
    const int settled = queuedBlocks();
    const int writes = device.writes;
    runAtSpeed(200, 400);
    // Without drops the queue would grow by a block every host frame; with
    // them it stays put, and the device gets one block per frame, not two.
    EXPECT_NEAR(queuedBlocks(), settled, 1);
    EXPECT_LE(queuedBlocks(), 12);
    EXPECT_NEAR(device.writes - writes, 400, 2);
}

TEST_F(MixerTest, SlowSpeedAddsBlocksWhenTheQueueRunsLow) {
    runAtSpeed(20, 500); // 100 emulated frames
    const int natural = static_cast<int>(SoundSamplesProduced() / 960);
    EXPECT_GT(device.writes, natural * 3 / 2);
    EXPECT_LE(device.writes, 2 * natural);
}

TEST_F(MixerTest, RecordingNeverStretchesOrCutsTheStream) {
    const auto path = std::filesystem::temp_directory_path() / "orvane_mixer_record.wav";
    ASSERT_EQ(StartSoundRecording(path.c_str()), 1);
    runAtSpeed(20, 250);
    runAtSpeed(200, 250);
    runAtSpeed(100, 100);
    const uint32_t natural = SoundSamplesProduced() / 960;
    EXPECT_EQ(static_cast<uint32_t>(device.writes), natural);
    uint64_t bytes = 0;
    EXPECT_EQ(SoundRecordingBytes(&bytes), 1);
    EXPECT_EQ(bytes, uint64_t{natural} * SoundBlockBytes);
    StopSoundRecording();
    EXPECT_EQ(SoundRecordingBytes(&bytes), 0);
    EXPECT_EQ(std::filesystem::file_size(path), 44 + uint64_t{natural} * SoundBlockBytes);
    std::filesystem::remove(path);
}

TEST_F(MixerTest, PausedOutputDropsUntilResumed) {
    runAtSpeed(100, 50);
    const int writes = device.writes;
    PauseSound();
    EXPECT_EQ(device.pauses, 1);
    EXPECT_EQ(Sync(), 0);
    for (int i = 0; i < 20; ++i)
        MixUpTo(cycles += FrameCycles);
    EXPECT_LE(device.writes, writes + 1) << "at most the block that was already filling";
    ResumeSound();
    EXPECT_EQ(device.resumes, 1);
    runAtSpeed(100, 20);
    EXPECT_GE(device.writes, writes + 15);
}

TEST_F(MixerTest, MutedOutputIsSilentWhileTheRecordingKeepsTheSound) {
    const auto path = std::filesystem::temp_directory_path() / "orvane_mixer_muted.wav";
    ASSERT_EQ(StartSoundRecording(path.c_str()), 1);
    SetSoundMuted(1);
    runAtSpeed(100, 20);
    SetSoundMuted(0);
    ASSERT_GT(device.writes, 10);
    for (int16_t first : device.firstSamples)
        EXPECT_EQ(first, 0) << "the driver hears nothing while muted";
    const size_t mutedWrites = device.firstSamples.size();
    runAtSpeed(100, 5);
    ASSERT_GT(device.firstSamples.size(), mutedWrites);
    EXPECT_EQ(device.firstSamples.back(), constantValue) << "the sound is back";
    StopSoundRecording();
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 44u + 4);
    EXPECT_EQ(static_cast<unsigned char>(bytes[44]), constantValue & 0xFF)
        << "the recording kept the muted stretch";
    std::filesystem::remove(path);
}

TEST_F(MixerTest, UnknownPositionWritesWithoutControl) {
    device.positionKnown = false;
    EXPECT_EQ(Sync(), 1);
    runAtSpeed(400, 50);
    EXPECT_EQ(static_cast<uint32_t>(device.writes), SoundSamplesProduced() / 960);
}

TEST_F(MixerTest, QueueMeasurementTreatsAnOvertakingDeviceAsNegative) {
    // The device 10 blocks ahead of the writer. Read as a negative queue this
    // asks for blocks three times running; read as 40 queued blocks the third
    // measurement would already drop.
    device.written = 0;
    device.played = SoundRingBytes - 10 * SoundBlockBytes;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Sync(), 2) << i;
}

TEST_F(MixerTest, LongQueueDropsWholeCalls) {
    // The writer (at ring position 0) 20 blocks ahead of the device.
    device.played = SoundRingBytes - 20 * SoundBlockBytes;
    device.written = SoundRingBytes;
    int firstDrop = -1;
    for (int i = 0; i < 14 && firstDrop < 0; ++i)
        if (Sync() == 0) firstDrop = i;
    ASSERT_GE(firstDrop, 0);
    EXPECT_GE(firstDrop, 2) << "an empty history first asks for blocks";
    // Through the mixer: with the queue held at 20 blocks, whole calls go silent.
    InitSoundSystem();
    int silentCalls = 0;
    for (int i = 0; i < 30; ++i) {
        const int writes = device.writes;
        device.played = SoundWritePosition() + SoundRingBytes - 20 * SoundBlockBytes;
        MixUpTo(cycles += FrameCycles);
        silentCalls += device.writes == writes;
    }
    EXPECT_GT(silentCalls, 10);
    EXPECT_EQ(SoundSamplesProduced(), 963u * 30 + 14) << "the count moves on; the samples are gone";
}

TEST_F(MixerTest, RecordingKeepsEveryBlockOfALongCall) {
    const auto path = std::filesystem::temp_directory_path() / "orvane_mixer_long.wav";
    ASSERT_EQ(StartSoundRecording(path.c_str()), 1);
    MixUpTo(FrameCycles);
    MixUpTo(50 * FrameCycles); // a second in one call
    EXPECT_EQ(static_cast<uint32_t>(device.writes), SoundSamplesProduced() / 960);
    StopSoundRecording();
    std::filesystem::remove(path);

    // Without a recording the backlog is cut to one block.
    InitSoundSystem();
    device.positionKnown = false;
    MixUpTo(FrameCycles);
    const int writes = device.writes;
    MixUpTo(50 * FrameCycles);
    EXPECT_EQ(device.writes, writes + 1);
}

TEST_F(MixerTest, RecordingCountsExactly960SamplesAFrameWithoutJumps) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvane_mixer_exact_" + std::to_string(getpid()) + ".wav");
    MixUpTo(cycles += 10 * FrameCycles);
    const uint32_t before = SoundSamplesProduced();
    ASSERT_EQ(StartSoundRecording(path.c_str()), 1);
    for (int f = 0; f < 5050; ++f)
        MixUpTo(cycles += FrameCycles);
    EXPECT_EQ(SoundSamplesProduced() - before, 5050u * 960);
    StopSoundRecording();
    // Back at the playing rate, counting on from where the recording ended.
    const uint32_t after = SoundSamplesProduced();
    MixUpTo(cycles += 2 * FrameCycles);
    EXPECT_EQ(SoundSamplesProduced() - after, 1927u);
    std::filesystem::remove(path);
}

// A recording holds the samples from its start to its stop and no others:
// not those owed from before it (nothing was mixed since, as with "No sound"),
// not the part block mixed before it, and its own last part block too.
TEST_F(MixerTest, RecordingHoldsExactlyTheSamplesBetweenStartAndStop) {
    InstallSoundDriver(&NoSoundDriver);
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvane_mixer_edges_" + std::to_string(getpid()) + ".wav");
    MixUpTo(cycles += FrameCycles / 3);      // a part block mixed
    cpu.TCOUNT = cycles + 250 * FrameCycles; // five seconds nobody mixed
    ASSERT_EQ(StartSoundRecording(path.c_str()), 1);
    constantValue = 7;
    cpu.TCOUNT += 2 * FrameCycles + FrameCycles / 2; // 2.5 frames: 2,400 samples
    StopSoundRecording();
    constantValue = 100;
    cpu.TCOUNT = 0;
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::filesystem::remove(path);
    ASSERT_EQ(bytes.size(), 44u + 2400 * 2);
    for (size_t i = 44; i < bytes.size(); i += 2)
        ASSERT_EQ(bytes[i], 7) << "sample " << (i - 44) / 2 << " is from before the start";
}

TEST_F(MixerTest, BackwardsCounterRestartsTheCount) {
    MixUpTo(100 * FrameCycles);
    const int writes = device.writes;
    MixUpTo(FrameCycles); // a fresh processor
    EXPECT_EQ(device.writes, writes);
    EXPECT_EQ(SoundSamplesProduced(), 963u);
}

// A source that counts the samples it was asked for: the sound chip's
// oscillators advance by exactly this many.
uint64_t samplesAsked = 0;
SoundSource counting{"counting", nullptr,
                     [](int16_t* b, int n) {
                         samplesAsked += static_cast<uint64_t>(n);
                         std::fill(b, b + n, int16_t{0});
                     },
                     nullptr, nullptr};

// Dropped calls, cut backlogs and added blocks change what the driver gets,
// never how far the sources have run: every sample owed is generated once.
TEST_F(MixerTest, SourcesKeepEmulatedTimeWhateverTheRateControlDoes) {
    struct Case {
        const char* name;
        int percent;
        int frames;
        bool knownPosition;
    };
    for (const Case& c : {Case{"double speed", 200, 300, true}, Case{"slow", 20, 500, true},
                          Case{"no position", 100, 200, false}}) {
        SCOPED_TRACE(c.name);
        device = StandIn{};
        device.positionKnown = c.knownPosition;
        InitSoundSystem();
        cycles = 0;
        emulated = 0;
        RemoveSoundSource(&constant);
        AddSoundSource(&counting);
        samplesAsked = 0;
        runAtSpeed(c.percent, c.frames);
        MixUpTo(cycles += 7 * FrameCycles); // a long call: the backlog is cut
        EXPECT_EQ(samplesAsked, SoundSamplesProduced());
        RemoveSoundSource(&counting);
        AddSoundSource(&constant);
    }
}

TEST_F(MixerTest, SampleBoundariesDoNotDependOnWhereTheStreamStarted) {
    AddSoundSource(&counting);
    RemoveSoundSource(&constant);
    // From cycle 0 to 12 frames, and the same stretch after a restore at 5.
    samplesAsked = 0;
    MixUpTo(5 * FrameCycles);
    const uint64_t before = samplesAsked;
    MixUpTo(12 * FrameCycles);
    const uint64_t straight = samplesAsked - before;

    cpu.TCOUNT = 5 * FrameCycles;
    FollowRestoredProcessor();
    samplesAsked = 0;
    MixUpTo(12 * FrameCycles);
    EXPECT_EQ(samplesAsked, straight);
    cpu.TCOUNT = 0;
    RemoveSoundSource(&counting);
    AddSoundSource(&constant);
}

TEST_F(MixerTest, SourcesAreSummedWithSaturation) {
    int16_t buffer[960];
    Mix(buffer, 960);
    EXPECT_EQ(buffer[0], 100);
    EXPECT_EQ(buffer[959], 100);

    AddSoundSource(&loud);
    Mix(buffer, 10);
    EXPECT_EQ(buffer[0], 30100 > 32767 ? 32767 : 30100);
    constantValue = 5000;
    Mix(buffer, 10);
    EXPECT_EQ(buffer[9], 32767) << "no wrap to negative";
    constantValue = -5000;
    Mix(buffer, 10);
    EXPECT_EQ(buffer[9], 25000);
    constantValue = 100;

    // Registration order: the first source writes, the second adds.
    EXPECT_EQ(SoundSources(), &constant);
    EXPECT_EQ(constant.next, &loud);
    RemoveSoundSource(&constant);
    EXPECT_EQ(SoundSources(), &loud);
    RemoveSoundSource(&constant); // not listed: nothing happens
    EXPECT_EQ(SoundSources(), &loud);
    RemoveSoundSource(&loud);
    std::fill(buffer, buffer + 960, int16_t{7});
    Mix(buffer, 960);
    EXPECT_EQ(buffer[500], 7) << "no sources: the buffer keeps its contents";
    AddSoundSource(&constant);
}

TEST_F(MixerTest, ResetRestartsDriverAndSources) {
    AddSoundSource(&loud);
    sourceResets = 0;
    const int driverResets = device.resets;
    ResetSoundOutput();
    EXPECT_EQ(device.resets, driverResets + 1);
    EXPECT_EQ(sourceResets, 2);
}

TEST_F(MixerTest, InstallingClosesThePreviousDriver) {
    InstallSoundDriver(&StandInDriver);
    EXPECT_EQ(device.closes, 0) << "the same driver stays open";
    InstallSoundDriver(&NoSoundDriver);
    EXPECT_EQ(device.closes, 1);
    EXPECT_EQ(CurrentSoundDriver(), &NoSoundDriver);
    InstallSoundDriver(&StandInDriver);
    ShutdownSoundSystem();
    EXPECT_EQ(device.closes, 2);
    EXPECT_EQ(CurrentSoundDriver(), &StandInDriver) << "shutdown keeps the reference";
}

std::vector<unsigned char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

class RecordingTest : public MixerTest {
  protected:
    // One file per process and test: ctest runs tests side by side.
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("orvane_recording_" + std::to_string(getpid()) + "_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav");
    void TearDown() override {
        MixerTest::TearDown();
        std::filesystem::remove(path);
    }
};

TEST_F(RecordingTest, OneBlockGivesTheCompleteHeader) {
    ASSERT_EQ(StartSoundRecording(path.c_str()), 1);
    int16_t block[960];
    for (int i = 0; i < 960; ++i)
        block[i] = static_cast<int16_t>(i * 67 - 32000);
    Submit(block);
    uint64_t bytes = 0;
    EXPECT_EQ(SoundRecordingBytes(&bytes), 1);
    EXPECT_EQ(bytes, 1920u);
    StopSoundRecording();

    const auto b = readFile(path);
    ASSERT_EQ(b.size(), 1964u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(le32(b, 4), 1956u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(b, 16), 16u);
    EXPECT_EQ(le16(b, 20), 1);
    EXPECT_EQ(le16(b, 22), 1);
    EXPECT_EQ(le32(b, 24), 48000u);
    EXPECT_EQ(le32(b, 28), 96000u);
    EXPECT_EQ(le16(b, 32), 2);
    EXPECT_EQ(le16(b, 34), 16);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(le32(b, 40), 1920u);
    for (int i = 0; i < 960; ++i)
        ASSERT_EQ(static_cast<int16_t>(le16(b, 44 + 2 * i)), block[i]);
}

TEST_F(RecordingTest, OpenFileHasZeroSizesUntilStopped) {
    ASSERT_EQ(StartSoundRecording(path.c_str()), 1);
    int16_t block[960] = {};
    Submit(block);
    Submit(block);
    std::fflush(nullptr);
    auto b = readFile(path);
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(le32(b, 4), 0u);
    EXPECT_EQ(le32(b, 40), 0u);
    StopSoundRecording();
    b = readFile(path);
    EXPECT_EQ(le32(b, 4), 44 + 3840 - 8u);
    EXPECT_EQ(le32(b, 40), 3840u);
}

TEST_F(RecordingTest, StartingAgainOrShuttingDownCompletesTheFile) {
    const auto second = path.string() + ".2.wav";
    ASSERT_EQ(StartSoundRecording(path.c_str()), 1);
    int16_t block[960] = {};
    Submit(block);
    ASSERT_EQ(StartSoundRecording(second.c_str()), 1);
    EXPECT_EQ(le32(readFile(path), 40), 1920u);
    uint64_t bytes = 1;
    SoundRecordingBytes(&bytes);
    EXPECT_EQ(bytes, 0u);
    Submit(block);
    Submit(block);
    ShutdownSoundSystem();
    EXPECT_EQ(SoundRecordingBytes(nullptr), 0);
    EXPECT_EQ(le32(readFile(second), 40), 3840u);
    std::filesystem::remove(second);
}

TEST_F(RecordingTest, UncreatableFileFails) {
    const auto bad = std::filesystem::temp_directory_path() / "orvane-no-such-dir" / "x.wav";
    EXPECT_EQ(StartSoundRecording(bad.c_str()), 0);
    EXPECT_EQ(SoundRecordingBytes(nullptr), 0);
    StopSoundRecording(); // nothing open: harmless
}

} // namespace
