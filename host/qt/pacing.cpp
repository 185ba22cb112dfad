// Frame pacing arithmetic; see pacing.h.
#include "host/qt/pacing.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "machine/memory.h"

const uint32_t SpeedPercent[SpeedCount] = {9999999, 100, 20, 50, 200, 400, 800};

PaceClock SteadyPaceClock() {
    PaceClock clock;
    clock.frequency = 1000000000;
    clock.now = [] {
        return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
    };
    clock.sleepOneMs = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
    clock.sleepMs = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    return clock;
}

static int64_t periodFor(const FramePacer& pacer, uint32_t index) {
    int64_t period = pacer.twoSeconds / SpeedPercent[index];
    return period < 1 ? 1 : period;
}

void InitPacer(FramePacer& pacer, const PaceClock& clock, uint32_t speedIndex, int refreshHz) {
    pacer.clock = &clock;
    if (refreshHz <= 0) refreshHz = 100;
    pacer.twoSeconds = 2 * clock.frequency;
    pacer.speedIndex = 1;
    pacer.framePeriod = periodFor(pacer, 1);
    pacer.step = pacer.framePeriod;
    pacer.displayInterval = static_cast<uint32_t>((pacer.twoSeconds / refreshHz) / 2);
    int64_t now = clock.now();
    pacer.displayTicks = 0;
    pacer.lastDisplayTicks = 0;
    pacer.nextDisplayTick = now;
    pacer.titleDeadline = now + pacer.twoSeconds;
    SetSpeed(pacer, speedIndex);
    ResetPacing(pacer);
}

void ResetPacing(FramePacer& pacer) {
    int64_t now = pacer.clock->now();
    pacer.target = now;
    pacer.nextDisplayTick = now;
    pacer.titleDeadline = now + pacer.twoSeconds;
    pacer.framesInWindow = 0;
    pacer.displayTicks = 0;
    pacer.lastDisplayTicks = 0;
}

void PaceFrame(FramePacer& pacer) {
    int64_t now = pacer.clock->now();
    if (pacer.speedIndex != 0 && !pacer.unlimited) {
        const int64_t oneMs = pacer.clock->frequency / 1000;
        while (pacer.target - now >= pacer.framePeriod) {
            const int64_t spare = pacer.target - now - pacer.framePeriod;
            if (pacer.clock->sleepMs && spare >= 2 * oneMs)
                pacer.clock->sleepMs(static_cast<int>(spare / oneMs) - 1);
            else
                pacer.clock->sleepOneMs();
            now = pacer.clock->now();
        }
    }
    pacer.framesInWindow++;
    if (now >= pacer.titleDeadline) {
        pacer.titleDeadline += pacer.twoSeconds;
        int32_t fps = static_cast<int32_t>(pacer.displayTicks - pacer.lastDisplayTicks) >> 1;
        if (pacer.onTitle) pacer.onTitle(pacer.framesInWindow, fps);
        pacer.lastDisplayTicks = pacer.displayTicks;
        pacer.framesInWindow = 0;
    }
    if (now >= pacer.nextDisplayTick) {
        pacer.displayTicks++;
        pacer.nextDisplayTick += pacer.displayInterval;
    }
    pacer.target += pacer.step;
}

void SetSpeed(FramePacer& pacer, uint32_t index) {
    if (index >= SpeedCount) index = 1;
    if (index != 0) {
        pacer.framePeriod = periodFor(pacer, index);
        pacer.step = pacer.framePeriod;
        if (pacer.speedIndex == 0) pacer.displayInterval >>= 1;
    } else {
        if (pacer.speedIndex != 0) pacer.displayInterval *= 2;
        pacer.step = 1;
    }
    pacer.speedIndex = index;
}

uint32_t SelectSpeed(FramePacer& pacer, int commandId) {
    uint32_t index = static_cast<uint32_t>(commandId - SpeedCommandFirst);
    if (index >= SpeedCount) return pacer.speedIndex;
    if (commandId != SpeedCommandFirst)
        pacer.rememberedSpeed = index;
    else if (pacer.speedIndex == 0)
        index = pacer.rememberedSpeed;
    SetSpeed(pacer, index);
    return pacer.speedIndex;
}

std::string FormatTitle(uint32_t percent, int32_t fps) {
    char text[96];
    std::snprintf(text, sizeof text, "%s - %1.3f Mhz (%d%%/%u fps)", "Orvane",
                  MachineClockHz / 1000000.0, static_cast<int>(percent),
                  static_cast<unsigned>(fps));
    return text;
}
