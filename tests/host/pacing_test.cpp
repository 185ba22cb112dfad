// Frame pacing with a stand-in clock: frame periods per speed, the title's
// figures, the no-limit toggle, catching up after a stall and the reset
// after a modal wait.
#include <gtest/gtest.h>

#include <vector>

#include "desktop_fixture.h"
#include "host/qt/pacing.h"

namespace {

struct Title {
    uint32_t percent;
    int32_t fps;
};

struct PacedRun {
    FakeClock fake;
    FramePacer pacer;
    std::vector<Title> titles;
    PacedRun(uint32_t speedIndex, int refreshHz) {
        pacer.onTitle = [this](uint32_t percent, int32_t fps) { titles.push_back({percent, fps}); };
        InitPacer(pacer, fake.clock, speedIndex, refreshHz);
    }
    // Frames that each take frameMs of host time before pacing.
    void run(int frames, int64_t frameMs = 1) {
        for (int i = 0; i < frames; i++) {
            fake.advanceMs(frameMs);
            PaceFrame(pacer);
        }
    }
};

TEST(Pacing, FramePeriodFollowsTheSpeed) {
    PacedRun run(2, 60);                         // 20 %
    EXPECT_EQ(run.pacer.framePeriod, 100000000); // 100 ms
    int64_t start = run.fake.now;
    run.run(11);
    // The machine may finish a frame one period ahead of its schedule, never more.
    EXPECT_GE(run.fake.now - start, 900000000);
    EXPECT_LE(run.fake.now - start, 1000000000 + 11000000);

    SetSpeed(run.pacer, 6); // 800 %
    EXPECT_EQ(run.pacer.framePeriod, 2500000);
    SetSpeed(run.pacer, 1);
    EXPECT_EQ(run.pacer.framePeriod, 20000000);
}

TEST(Pacing, TitleReportsPercentAndDisplayRate) {
    PacedRun full(1, 60);
    full.run(300);
    ASSERT_GE(full.titles.size(), 2u);
    EXPECT_NEAR(full.titles[1].percent, 100u, 1);
    EXPECT_NEAR(full.titles[1].fps, 50, 1); // the smaller of 50 and the refresh rate

    PacedRun slowDisplay(1, 30);
    slowDisplay.run(300);
    ASSERT_GE(slowDisplay.titles.size(), 2u);
    EXPECT_NEAR(slowDisplay.titles[1].fps, 30, 1);

    PacedRun fifth(2, 60);
    fifth.run(60);
    ASSERT_GE(fifth.titles.size(), 2u);
    EXPECT_NEAR(fifth.titles[1].percent, 20u, 1);

    EXPECT_EQ(FormatTitle(100, 50), "Orvane - 2.995 Mhz (100%/50 fps)");
}

TEST(Pacing, NoLimitTogglesBackToTheLastLimitedSpeed) {
    PacedRun run(1, 60);
    uint32_t limitedInterval = run.pacer.displayInterval;
    EXPECT_EQ(SelectSpeed(run.pacer, 40019), 5u); // 400 %
    EXPECT_EQ(SelectSpeed(run.pacer, 40014), 0u); // Alt+W: no limit
    EXPECT_EQ(run.pacer.step, 1);
    EXPECT_EQ(run.pacer.displayInterval, 2 * limitedInterval);
    EXPECT_EQ(SelectSpeed(run.pacer, 40014), 5u); // Alt+W again: back to 400 %
    EXPECT_EQ(run.pacer.displayInterval, limitedInterval);
    EXPECT_EQ(run.pacer.framePeriod, 5000000);

    // Under no limit nothing waits.
    SelectSpeed(run.pacer, 40014);
    int sleepsBefore = run.fake.sleeps;
    run.run(100, 0);
    EXPECT_EQ(run.fake.sleeps, sleepsBefore);
    // An identifier outside the speed items changes nothing.
    EXPECT_EQ(SelectSpeed(run.pacer, 40021), 0u);
}

TEST(Pacing, StartingWithoutLimitUsesTheDoubledDisplayInterval) {
    PacedRun limited(1, 50);
    PacedRun free(0, 50);
    EXPECT_EQ(free.pacer.speedIndex, 0u);
    EXPECT_EQ(free.pacer.displayInterval, 2 * limited.pacer.displayInterval);
    EXPECT_EQ(SelectSpeed(free.pacer, 40014), 1u); // remembered limited speed: 100 %
    EXPECT_EQ(free.pacer.displayInterval, limited.pacer.displayInterval);
}

TEST(Pacing, CatchesUpAfterAStallUnlessReset) {
    PacedRun run(1, 60);
    run.run(10);
    run.fake.advanceMs(200); // the host stalls for ten frames
    int sleepsBefore = run.fake.sleeps;
    run.run(9, 0);
    EXPECT_EQ(run.fake.sleeps, sleepsBefore) << "lost frames are made up without waiting";
    run.run(3, 0);
    EXPECT_GT(run.fake.sleeps, sleepsBefore) << "then the schedule holds again";

    // A modal wait (dialog, menu, monitor) resets the schedule: no burst.
    run.fake.advanceMs(5000);
    ResetPacing(run.pacer);
    sleepsBefore = run.fake.sleeps;
    run.run(2, 0);
    EXPECT_GT(run.fake.sleeps, sleepsBefore);
}

} // namespace

namespace {

// With a clock that can sleep several milliseconds at once the wait keeps
// the same schedule with a few wake-ups a frame instead of one a millisecond.
TEST(Pacing, LongSleepsKeepTheScheduleWithFewWakeUps) {
    PacedRun slices(1, 50), longSleeps(1, 50);
    int wakeUps = 0;
    longSleeps.fake.clock.sleepMs = [&](int ms) {
        longSleeps.fake.advanceMs(ms);
        wakeUps++;
    };
    slices.run(150);
    const int sliceSleeps = slices.fake.sleeps;
    longSleeps.run(150);
    wakeUps += longSleeps.fake.sleeps;
    EXPECT_EQ(longSleeps.fake.now, slices.fake.now) << "the same schedule";
    EXPECT_GT(sliceSleeps, 2500);
    EXPECT_LT(wakeUps, 600);
    ASSERT_EQ(longSleeps.titles.size(), slices.titles.size());
    ASSERT_FALSE(slices.titles.empty());
    EXPECT_EQ(longSleeps.titles.back().percent, slices.titles.back().percent);
}

} // namespace
