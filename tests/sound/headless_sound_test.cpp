// The headless runner's sound options, run in-process: a recording holds the
// emulated time of the run, and bad sound options are usage errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/headless.h"
#include "sound/mixer.h"

namespace {

int run(std::vector<std::string> args) {
    args.insert(args.begin(), "orvane");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    return RunHeadless(static_cast<int>(argv.size()), argv.data());
}

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(HeadlessSound, RecordingHoldsTheEmulatedTime) {
    const auto path = std::filesystem::temp_directory_path() / "orvane_headless_sound.wav";
    ASSERT_EQ(run({"--boot-frames", "10", "--frames", "90", "--record-sound", path.string()}), 0);
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(in), {}};
    // 100 frames are 96,347 samples at the mixer's rate: 100 whole blocks.
    ASSERT_EQ(b.size(), 44u + 100 * 1920);
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    EXPECT_EQ(le32(b, 40), 100u * 1920);
    EXPECT_EQ(SoundRecordingBytes(nullptr), 0) << "the run completed the file";
    std::filesystem::remove(path);
}

TEST(HeadlessSound, RecordingHoldsExactly960SamplesPerFrame) {
    // 5,050 frames at the old rate of 191 x 15,625 cycles a second would
    // give 17,280 samples too many; the recording follows the clock.
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvane_exact_" + std::to_string(getpid()) + ".wav");
    ASSERT_EQ(run({"--boot-frames", "0", "--frames", "5050", "--record-sound", path.string()}), 0);
    EXPECT_EQ(std::filesystem::file_size(path), 44u + 5050u * 960 * 2);
    std::filesystem::remove(path);
}

TEST(HeadlessSound, RunsKeepNothingFromEarlierRuns) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvane_fresh_" + std::to_string(getpid()) + ".wav");
    std::filesystem::remove(path);
    // An earlier run that only asked for help, chose a driver and a ROM folder...
    ASSERT_EQ(run({"--help", "--sound-driver", "alsa", "--rom-path", "/"}), 0);
    // ...leaves a later run to do its own work with the defaults.
    ASSERT_EQ(run({"--frames", "5", "--record-sound", path.string()}), 0);
    EXPECT_TRUE(std::filesystem::exists(path)) << "the later run was not taken for --help";
    EXPECT_EQ(SoundDriverSetting, 1u);
    // A run that failed half-way still completed its recording.
    ASSERT_EQ(run({"--frames", "5", "--record-sound", path.string(), "--load", "/nonexistent.atp"}),
              1);
    EXPECT_EQ(SoundRecordingBytes(nullptr), 0);
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(le32(b, 40), b.size() - 44);
    std::filesystem::remove(path);
}

TEST(HeadlessSound, UnwritableRecordingFailsTheRun) {
    EXPECT_EQ(run({"--frames", "1", "--record-sound", "/orvane-no-such-dir/x.wav"}), 1);
}

TEST(HeadlessSound, DriverNamesAndNumbers) {
    EXPECT_EQ(run({"--sound-driver", "alsa", "--help"}), 0);
    EXPECT_EQ(SoundDriverSetting, 2u);
    EXPECT_EQ(run({"--sound-driver", "0", "--help"}), 0);
    EXPECT_EQ(SoundDriverSetting, 0u);
    EXPECT_EQ(run({"--sound-driver", "3"}), 2);
    EXPECT_EQ(run({"--sound-driver", "pulse"}), 2);
    EXPECT_EQ(run({"--record-sound", ""}), 2);
}

} // namespace
