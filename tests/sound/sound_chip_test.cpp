// The SN76477 model measured from the samples it generates: oscillator
// frequencies, the noise clock, the one-shot envelope, silence and the filters.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "machine/one_pole_filter.h"
#include "machine/sound_chip.h"

namespace {

constexpr int Rate = 48000;

std::vector<int16_t> generate(int count) {
    std::vector<int16_t> samples(count);
    // In mixer-sized pieces, as the chip is driven.
    for (int done = 0; done < count; done += 960) {
        const int n = std::min(960, count - done);
        soundChipSource()->generate(samples.data() + done, n);
    }
    return samples;
}

// Indices of square-wave edges: sample-to-sample jumps of at least half the
// amplitude, upward (+1) or downward (-1).
std::vector<int> edges(const std::vector<int16_t>& s, int direction) {
    std::vector<int> at;
    for (size_t i = 1; i < s.size(); ++i) {
        const int jump = s[i] - s[i - 1];
        if (jump * direction >= 4096) at.push_back(static_cast<int>(i));
    }
    return at;
}

class SoundChipTest : public ::testing::Test {
  protected:
    void SetUp() override { soundChipInit(Rate); }
    void TearDown() override { soundChipShutdown(); }
};

TEST_F(SoundChipTest, VcoAloneIsA640HzSquareWithoutDc) {
    soundChipWrite(0x01);
    const auto s = generate(Rate);
    const auto rising = edges(s, +1);
    EXPECT_NEAR(static_cast<double>(rising.size()), 640.0, 1.0);
    EXPECT_NEAR(static_cast<double>(edges(s, -1).size()), 640.0, 1.0);

    // Each edge is a full 8192 step; the 25 Hz high-pass centres the square.
    int maxJump = 0;
    double sum = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        maxJump = std::max(maxJump, std::abs(s[i] - s[i - 1]));
        sum += s[i];
    }
    EXPECT_NEAR(maxJump, 8192, 40);               // less the high-pass's own step
    const int16_t* last = s.data() + Rate - 4800; // the final 100 ms, settled
    double settled = 0;
    for (int i = 0; i < 4800; ++i)
        settled += last[i];
    EXPECT_LT(std::abs(settled / 4800), 60.0);
}

TEST_F(SoundChipTest, ModulatedVcoSweepsFrom512ToAbout853Hz) {
    soundChipWrite(0x05);
    const auto s = generate(Rate);
    const auto rising = edges(s, +1);
    ASSERT_GT(rising.size(), 500u);
    double lowest = 1e9, highest = 0;
    for (size_t i = 1; i < rising.size(); ++i) {
        const double hz = static_cast<double>(Rate) / (rising[i] - rising[i - 1]);
        lowest = std::min(lowest, hz);
        highest = std::max(highest, hz);
    }
    EXPECT_NEAR(lowest, 512.0, 8.0);
    EXPECT_NEAR(highest, 853.0, 12.0);
}

TEST_F(SoundChipTest, SlfIsA3HzSquare) {
    soundChipWrite(0x11); // mixer 2: the SLF alone
    const auto s = generate(2 * Rate);
    const auto rising = edges(s, +1);
    ASSERT_EQ(rising.size(), 3u * 2);
    for (size_t i = 1; i < rising.size(); ++i)
        EXPECT_NEAR(rising[i] - rising[i - 1], Rate / 3, 1);
}

TEST_F(SoundChipTest, NoiseRegisterIsClocked4744TimesPerSecond) {
    soundChipWrite(0x09); // mixer 1: noise
    int clocks = 0;
    bool bothSigns[2] = {false, false};
    for (int i = 0; i < Rate; ++i) {
        const uint32_t before = soundChip.lfsr;
        int16_t sample;
        soundChipSource()->generate(&sample, 1);
        if (soundChip.lfsr != before) ++clocks;
        bothSigns[sample > 0] = bothSigns[sample > 0] || sample != 0;
    }
    EXPECT_NEAR(clocks, 4744, 1);
    EXPECT_TRUE(bothSigns[0] && bothSigns[1]) << "noise should swing both ways";
}

TEST_F(SoundChipTest, OneShotSounds1440SamplesThenDecaysToSilence) {
    soundChipWrite(0x81);
    const auto s = generate(Rate);
    const auto all = [&] {
        auto up = edges(s, +1), down = edges(s, -1);
        up.insert(up.end(), down.begin(), down.end());
        return up;
    }();
    ASSERT_FALSE(all.empty());
    const int lastEdge = *std::max_element(all.begin(), all.end());
    // The tone toggles every 37.5 samples, so the last full step comes within
    // one half period before the burst ends; then only the input's fall.
    EXPECT_GT(lastEdge, 1440 - 40);
    EXPECT_LE(lastEdge, 1441);
    EXPECT_EQ(soundChip.oneShotCount, 1440u);
    EXPECT_TRUE(soundChip.enabled);

    for (int i = 1442; i < Rate; ++i)
        ASSERT_LE(std::abs(s[i]), std::abs(s[i - 1])) << "at " << i;
    EXPECT_NE(s[1442], 0);
    EXPECT_EQ(s[Rate - 1], 0) << "the tail decays to exact silence";
}

TEST_F(SoundChipTest, SecondEnableWriteEndsTheOneShotAndTheToneStays) {
    soundChipWrite(0x81);
    generate(100);
    soundChipWrite(0x81); // already enabled: no new burst, envelope off
    const auto s = generate(Rate);
    const auto rising = edges(s, +1);
    ASSERT_FALSE(rising.empty());
    EXPECT_GT(rising.back(), Rate - 80);
    EXPECT_NEAR(static_cast<double>(rising.size()), 640.0, 2.0);
}

TEST_F(SoundChipTest, SilenceAndDisabling) {
    soundChipWrite(0x39); // enabled, mixer 7
    for (int16_t v : generate(4800))
        ASSERT_EQ(v, 0);

    soundChipWrite(0x01);
    generate(1000);
    const SoundChip before = soundChip;
    soundChipWrite(0x00);
    for (int16_t v : generate(4800))
        ASSERT_EQ(v, 0);
    // Nothing advances while disabled.
    EXPECT_EQ(soundChip.vcoPhase, before.vcoPhase);
    EXPECT_EQ(soundChip.slfPhase, before.slfPhase);
    EXPECT_EQ(soundChip.lfsr, before.lfsr);
    EXPECT_EQ(soundChip.outputFilter.y, before.outputFilter.y);
}

TEST_F(SoundChipTest, OutputRestartKeepsWhatTheProgramSelected) {
    soundChipWrite(0x39);
    soundChipSource()->reset();
    for (int16_t v : generate(2000))
        ASSERT_EQ(v, 0) << "a silenced chip stays silent";

    soundChipWrite(0x00);
    soundChipWrite(0x81);
    generate(2000); // the burst is over
    soundChipSource()->reset();
    const auto s = generate(Rate);
    EXPECT_TRUE(edges(s, +1).empty()) << "a finished one-shot does not turn into a tone";
}

TEST_F(SoundChipTest, OtherRatesKeepTheFrequencies) {
    soundChipSource()->setRate(24000);
    EXPECT_EQ(soundChip.oneShotLength, 720u);
    soundChipWrite(0x01);
    const auto s = generate(24000);
    EXPECT_NEAR(static_cast<double>(edges(s, +1).size()), 640.0, 1.0);
}

// Steady-state gain of a sine through the filter at its own corner frequency.
double gainAtCorner(FilterKind kind, double fc) {
    OnePoleFilter f = filterCreate(kind, fc);
    double peak = 0;
    const int n = static_cast<int>(Rate / fc) * 40;
    for (int i = 0; i < n; ++i) {
        const int x =
            static_cast<int>(std::lround(10000 * std::sin(2 * std::numbers::pi * fc * i / Rate)));
        const int y = filterStep(f, x, Rate);
        if (i > n / 2) peak = std::max(peak, std::abs(static_cast<double>(y)));
    }
    return peak / 10000;
}

// |H| of y = a*y + (1-a)*x at frequency fc, and of its complement x - y.
double expectedGain(FilterKind kind, double fc) {
    const double a = std::exp(-2 * std::numbers::pi * fc / Rate);
    const std::complex<double> z = std::polar(1.0, -2 * std::numbers::pi * fc / Rate);
    const std::complex<double> low = (1 - a) / (1.0 - a * z);
    return std::abs(kind == FilterKind::LowPass ? low : 1.0 - low);
}

TEST(OnePoleFilter, GainAtTheCorner) {
    for (FilterKind kind : {FilterKind::LowPass, FilterKind::HighPass}) {
        for (double fc : {25.0, 1000.0, 9946.0}) {
            SCOPED_TRACE(fc);
            EXPECT_NEAR(gainAtCorner(kind, fc), expectedGain(kind, fc), 0.01);
        }
    }
    // Close to half power where the corner is far below the rate.
    EXPECT_NEAR(gainAtCorner(FilterKind::HighPass, 25), std::sqrt(0.5), 0.01);
}

TEST(OnePoleFilter, StepResponseAndRateChange) {
    OnePoleFilter lp = filterCreate(FilterKind::LowPass, 1000);
    OnePoleFilter hp = filterCreate(FilterKind::HighPass, 1000);
    const double a = std::exp(-2 * std::numbers::pi * 1000 / Rate);
    int y = 0, h = 0;
    for (int i = 1; i <= 8; ++i) {
        y = filterStep(lp, 10000, Rate);
        h = filterStep(hp, 10000, Rate);
        EXPECT_NEAR(y, 10000 * (1 - std::pow(a, i)), 1.0);
        EXPECT_EQ(h, 10000 - y);
    }
    // At a lower rate the same corner means a slower filter per sample.
    const double before = lp.y;
    filterStep(lp, 0, Rate / 4);
    const double a4 = std::exp(-2 * std::numbers::pi * 1000 / (Rate / 4));
    EXPECT_NEAR(lp.y, a4 * before, 1e-9);
    EXPECT_EQ(lp.rate, Rate / 4);
}

} // namespace
