// The platform drivers without a sound card: SDL's dummy audio driver and
// ALSA's null device, plus the driver choice and its fallbacks.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "host/sound/drivers.h"

namespace {

int16_t block[SoundBlockSamples];

class DriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("ORVANE_ALSA_DEVICE", "null", 1);
        InstallSoundDriver(&NoSoundDriver);
        InitSoundSystem();
    }
    void TearDown() override {
        ShutdownSoundSystem();
        InstallSoundDriver(&NoSoundDriver);
    }
};

TEST_F(DriverTest, SdlQueueGivesThePlayPosition) {
    OpenSoundDriver(1);
    ASSERT_EQ(CurrentSoundDriver(), &SdlSoundDriver);
    EXPECT_EQ(SoundDriverSetting, 1u);
    const SoundDriver& d = SdlSoundDriver;
    EXPECT_EQ(d.Position(), SoundPositionUnknown) << "nothing queued yet";

    d.Pause(); // a paused device keeps its whole queue
    d.Write(block, 0, SoundBlockBytes);
    d.Write(block, 1920, SoundBlockBytes);
    d.Write(block, 3840, SoundBlockBytes);
    EXPECT_EQ(SDL_GetQueuedAudioSize(SdlSoundDevice()), 3 * SoundBlockBytes);
    EXPECT_EQ(d.Position(), 0u);

    // Wrapping round the ring end.
    d.Reset();
    EXPECT_EQ(d.Position(), SoundPositionUnknown);
    d.Write(block, SoundRingBytes - SoundBlockBytes, SoundBlockBytes);
    d.Write(block, 0, SoundBlockBytes);
    EXPECT_EQ(d.Position(), SoundRingBytes - SoundBlockBytes);

    // Playing drains the queue, so the position moves up to the writer.
    d.Resume();
    for (int i = 0; i < 400 && d.Position() != SoundBlockBytes; ++i)
        SDL_Delay(5);
    EXPECT_EQ(d.Position(), SoundBlockBytes);
}

TEST_F(DriverTest, SdlNeverQueuesMoreThanTheRing) {
    OpenSoundDriver(1);
    ASSERT_EQ(CurrentSoundDriver(), &SdlSoundDriver);
    SdlSoundDriver.Pause();
    for (uint32_t i = 0; i < 60; ++i)
        SdlSoundDriver.Write(block, (i * SoundBlockBytes) % SoundRingBytes, SoundBlockBytes);
    EXPECT_LT(SDL_GetQueuedAudioSize(SdlSoundDevice()), SoundRingBytes);
    EXPECT_GE(SDL_GetQueuedAudioSize(SdlSoundDevice()), SoundRingBytes - 2 * SoundBlockBytes);
}

TEST_F(DriverTest, ReopeningTheSameDriverIsClean) {
    OpenSoundDriver(1);
    OpenSoundDriver(1);
    ASSERT_EQ(CurrentSoundDriver(), &SdlSoundDriver);
    SdlSoundDriver.Pause();
    SdlSoundDriver.Write(block, 0, SoundBlockBytes);
    EXPECT_EQ(SdlSoundDriver.Position(), 0u);
    SdlSoundDriver.Close();
    SdlSoundDriver.Close(); // closing twice is harmless
    EXPECT_EQ(SdlSoundDevice(), 0u);
    EXPECT_EQ(SdlSoundDriver.Position(), SoundPositionUnknown);
    SdlSoundDriver.Write(block, 0, SoundBlockBytes); // and so is writing when closed
}

TEST_F(DriverTest, SdlFailureFallsBackToNoSound) {
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    testing::internal::CaptureStderr();
    OpenSoundDriver(1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(CurrentSoundDriver(), &NoSoundDriver);
    EXPECT_EQ(SoundDriverSetting, 1u) << "the choice is kept";
    EXPECT_NE(err.find("SDL audio"), std::string::npos) << err;
}

TEST_F(DriverTest, AlsaNullDevicePlays) {
    OpenSoundDriver(2);
    ASSERT_EQ(CurrentSoundDriver(), &AlsaSoundDriver);
    EXPECT_EQ(SoundDriverSetting, 2u);
    const SoundDriver& d = AlsaSoundDriver;
    EXPECT_EQ(d.Position(), SoundPositionUnknown);
    d.Write(block, 0, SoundBlockBytes);
    d.Write(block, 1920, SoundBlockBytes);
    const uint32_t p = d.Position();
    ASSERT_NE(p, SoundPositionUnknown);
    EXPECT_LE(p, 2 * SoundBlockBytes) << "never ahead of the writer";
    d.Pause();
    d.Resume();
    d.Reset();
    EXPECT_EQ(d.Position(), SoundPositionUnknown);
}

TEST_F(DriverTest, AlsaFailureFallsBackToNoSound) {
    setenv("ORVANE_ALSA_DEVICE", "orvane-no-such-pcm", 1);
    testing::internal::CaptureStderr();
    OpenSoundDriver(2);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(CurrentSoundDriver(), &NoSoundDriver);
    EXPECT_EQ(SoundDriverSetting, 2u);
    EXPECT_NE(err.find("orvane-no-such-pcm"), std::string::npos) << err;
}

TEST_F(DriverTest, ChoosingNoSoundAndOutOfRange) {
    OpenSoundDriver(1);
    OpenSoundDriver(0);
    EXPECT_EQ(CurrentSoundDriver(), &NoSoundDriver);
    EXPECT_EQ(SoundDriverSetting, 0u);
    EXPECT_EQ(SdlSoundDriver.Position(), SoundPositionUnknown) << "SDL was closed";
    OpenSoundDriver(7);
    EXPECT_EQ(SoundDriverSetting, 2u);
    EXPECT_EQ(CurrentSoundDriver(), &AlsaSoundDriver);
}

TEST_F(DriverTest, MixerThroughSdlKeepsTheQueueMeasurable) {
    OpenSoundDriver(1);
    ASSERT_EQ(CurrentSoundDriver(), &SdlSoundDriver);
    PauseSound();
    ResumeSound();
    SdlSoundDriver.Pause(); // hold the device so the queue only grows by what is written
    uint64_t cycles = 0;
    for (int i = 0; i < 10; ++i)
        MixUpTo(cycles += 59904);
    const uint32_t queued = SDL_GetQueuedAudioSize(SdlSoundDevice());
    ASSERT_GT(queued, 0u);
    EXPECT_EQ((SoundWritePosition() + SoundRingBytes - SdlSoundDriver.Position()) % SoundRingBytes,
              queued);
}

} // namespace
