// Frame pacing: holds the machine at a chosen percentage of real speed (50
// frames a second at 100 %), or lets it run free, against a high-resolution
// clock; counts frames and display ticks for the title every two seconds.
//
// Driven once per displayed frame by PaceFrame; ResetPacing restarts the
// schedule after every modal wait so no burst of catch-up frames follows.
// The schedule is never re-based otherwise: a machine that fell behind runs
// without waiting until it has caught up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Speed table by speed index: 0 no limit, then 100, 20, 50, 200, 400, 800 %.
constexpr uint32_t SpeedCount = 7;
extern const uint32_t SpeedPercent[SpeedCount];
constexpr int SpeedCommandFirst = 40014; // menu id of speed index i is 40014 + i

// The clock: ticks now, ticks per second, and a 1 ms sleep. sleepMs, when
// set, sleeps several milliseconds in one go: the wait then sleeps most of
// its time at once and only its last millisecond in 1 ms slices, so an idle
// machine wakes the host some 100 times a second instead of 1,000.
struct PaceClock {
    std::function<int64_t()> now;
    int64_t frequency = 1000000000;
    std::function<void()> sleepOneMs;
    std::function<void(int milliseconds)> sleepMs;
};

// A clock on std::chrono::steady_clock (nanosecond ticks).
PaceClock SteadyPaceClock();

struct FramePacer {
    const PaceClock* clock = nullptr;
    uint32_t speedIndex = 1;
    uint32_t rememberedSpeed = 1; // last limited speed chosen
    int64_t twoSeconds = 0;
    int64_t framePeriod = 0;
    int64_t step = 0;
    int64_t target = 0;
    int64_t titleDeadline = 0;
    uint32_t framesInWindow = 0;
    uint32_t displayInterval = 0;
    int64_t nextDisplayTick = 0;
    uint32_t displayTicks = 0;
    uint32_t lastDisplayTicks = 0;
    // The limit lifted for a while (fast tape): PaceFrame never waits.
    bool unlimited = false;
    // Called every two seconds with the frames of the window (= percent of
    // real speed) and the frames a display would have shown per second.
    std::function<void(uint32_t percent, int32_t fps)> onTitle;
};

// Sets up the pacer for a speed index and a display refresh rate (0 counts as
// 100 Hz), then resets the schedule. A starting index of 0 (no limit) gets
// the doubled display interval it would have after switching to it.
void InitPacer(FramePacer& pacer, const PaceClock& clock, uint32_t speedIndex, int refreshHz);
void ResetPacing(FramePacer& pacer);
void PaceFrame(FramePacer& pacer);
// Changes the schedule to a new speed index (an index beyond the table
// counts as 100 %).
void SetSpeed(FramePacer& pacer, uint32_t index);
// The speed menu command (ids 40014-40020): the no-limit command toggles
// back to the last limited speed; returns the speed index now in force.
uint32_t SelectSpeed(FramePacer& pacer, int commandId);

// "Orvane - 2.995 Mhz (100%/50 fps)"
std::string FormatTitle(uint32_t percent, int32_t fps);
