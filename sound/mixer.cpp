// The mixer and its rate control. Everything runs on the emulation thread:
// mixing, the driver calls and the recording's file writes.
#include "sound/mixer.h"

#include <algorithm>
#include <cstring>

#include "cpu/z80.h"
#include "sound/recording.h"
#include "sound/sources.h"

namespace {

constexpr int QueueHistory = 14;

const SoundDriver* current = &NoSoundDriver;

int16_t blockBuffer[SoundBlockSamples];
int16_t scratch[SoundBlockSamples];
int16_t unheard[SoundBlockSamples];
uint32_t produced = 0;
uint32_t fill = 0;
uint32_t writePosition = 0;
int syncState = 1;
bool paused = false;
bool muted = false;
const int16_t silence[SoundBlockSamples] = {};
int32_t queueHistory[QueueHistory];
int historyIndex = 0;

int noSoundOpen(int) { return 0; }
void noSoundNothing() {}
void noSoundWrite(const int16_t*, uint32_t, uint32_t) {}
uint32_t noSoundPosition() { return 0; }

// Samples per second are reckoned from whole cycles per scan line times
// 15,625 lines, slightly below the clock: a frame yields about 963.5 samples
// and the rate control absorbs the surplus. A recording keeps emulated time
// exactly, so while one is open the samples follow the clock itself: 960 a
// frame, 48,000 an emulated second.
uint64_t samplesBase() {
    const uint64_t clock = cpu.clockHz ? cpu.clockHz : 2995200;
    if (SoundRecordingOpen()) return clock;
    uint64_t perLine = cpu.cyclesPerLine;
    if (perLine == 0) perLine = clock / 15625;
    return perLine * 15625;
}

// The sample count is reckoned from the last change of base on, so that a
// recording starting or ending does not make the count jump.
uint64_t countedBase = 0;
uint64_t originCycles = 0;
uint32_t originSamples = 0;
uint64_t lastCycles = 0;

} // namespace

const SoundDriver NoSoundDriver{"No sound",     noSoundOpen,    noSoundNothing, noSoundWrite,
                                noSoundNothing, noSoundNothing, noSoundNothing, noSoundPosition};

uint32_t SoundDriverSetting = 1;

// Start-up state of the stream: ring position, block fill, sample count and
// the rate control's measurements.
void InitSoundSystem() {
    writePosition = 0;
    fill = 0;
    produced = 0;
    // The stream starts now: cycles run before (an earlier run of the
    // processor) are not owed as samples.
    countedBase = 0;
    originCycles = lastCycles = cpu.TCOUNT;
    originSamples = 0;
    syncState = 1;
    paused = false;
    std::memset(queueHistory, 0, sizeof queueHistory);
    historyIndex = 0;
    current->Reset();
}

void ShutdownSoundSystem() {
    StopSoundRecording();
    current->Close();
}

void InstallSoundDriver(const SoundDriver* driver) {
    if (!driver) driver = &NoSoundDriver;
    if (driver == &NoSoundDriver || driver != current) current->Close();
    current = driver;
}

const SoundDriver* CurrentSoundDriver() { return current; }

int Sync() {
    // A recording is never cut, not even while the output is paused (a
    // command that runs frames between two of the main loop's).
    if (paused) return SoundRecordingOpen() ? 1 : 0;
    const uint32_t position = current->Position();
    if (position == SoundPositionUnknown) return 1;

    int32_t queued = static_cast<int32_t>(
        (writePosition + SoundRingBytes - position % SoundRingBytes) % SoundRingBytes);
    if (queued >= static_cast<int32_t>(SoundRingBytes / 2)) queued -= SoundRingBytes;
    queueHistory[historyIndex] = queued / static_cast<int32_t>(SoundBlockBytes);
    historyIndex = (historyIndex + 1) % QueueHistory;

    if (SoundRecordingOpen()) return 1;

    int32_t sum = 0;
    for (int32_t q : queueHistory)
        sum += q;
    if (sum >= 7 * QueueHistory) {
        for (int32_t& q : queueHistory)
            q -= 1;
        return 0;
    }
    if (sum >= 4 * QueueHistory) return 1;
    for (int32_t& q : queueHistory)
        q += 1;
    return 2;
}

void Mix(int16_t* buffer, int n) {
    n = std::clamp(n, 0, SoundBlockSamples);
    if (!SoundSources() || n == 0) return;
    SoundSources()->generate(buffer, n);
    for (SoundSource* s = SoundSources()->next; s; s = s->next) {
        s->generate(scratch, n);
        // Saturate rather than wrap: an overflow must not flip the sign.
        for (int i = 0; i < n; ++i)
            buffer[i] = static_cast<int16_t>(std::clamp(buffer[i] + scratch[i], -32768, 32767));
    }
}

void Submit(const int16_t* block) {
    current->Write(muted ? silence : block, writePosition, SoundBlockBytes);
    writePosition = (writePosition + SoundBlockBytes) % SoundRingBytes;
    AppendSoundRecording(block, SoundBlockBytes);
}

namespace {

// Samples owed from cycle 0 to a cycle count, rounded. Counting from cycle 0
// rather than from the origin puts the sample boundaries at the same cycles
// whenever the stream was started, so the sources advance alike in a run and
// in the same run resumed from a save state.
uint64_t samplesAt(uint64_t cycles, uint64_t base) {
    const unsigned __int128 scaled =
        static_cast<unsigned __int128>(cycles) * (2 * SoundSampleRate) + base;
    return static_cast<uint64_t>(scaled / (2 * base));
}

// The sources keep emulated time: every sample owed is generated, also those
// the rate control drops. Only what reaches the driver follows the host.
void advanceUnheard(uint32_t n) {
    while (n > 0) {
        const uint32_t k = std::min<uint32_t>(n, SoundBlockSamples);
        Mix(unheard, static_cast<int>(k));
        n -= k;
    }
}

} // namespace

void MixUpTo(uint64_t cycles) {
    const uint64_t base = samplesBase();
    if (cycles < originCycles) { // a fresh processor: count from its start
        originCycles = 0;
        originSamples = 0;
    } else if (base != countedBase) {
        if (countedBase != 0) {
            originCycles = lastCycles < cycles ? lastCycles : cycles;
            originSamples = produced;
        }
        countedBase = base;
    }
    lastCycles = cycles;
    const uint32_t target = originSamples + static_cast<uint32_t>(samplesAt(cycles, base) -
                                                                  samplesAt(originCycles, base));
    uint32_t n = target - produced;
    // A counter that went backwards (a fresh processor) restarts the count
    // instead of being taken for four billion pending samples.
    if (n == 0 || n >= 0x80000000u) {
        produced = target;
        return;
    }

    if (syncState == 0) {
        syncState = Sync();
        advanceUnheard(n);
        produced = target;
        return;
    }
    if (fill + n >= SoundBlockSamples) {
        syncState = Sync();
        Mix(blockBuffer + fill, static_cast<int>(SoundBlockSamples - fill));
        Submit(blockBuffer);
        n = fill + n - SoundBlockSamples;
        fill = 0;
        if (SoundRecordingOpen() && syncState != 0) {
            // A recording keeps emulated time: every whole block goes out,
            // even when a call brings more than one.
            while (n >= SoundBlockSamples) {
                syncState = Sync();
                Mix(blockBuffer, SoundBlockSamples);
                Submit(blockBuffer);
                n -= SoundBlockSamples;
            }
        }
        // Otherwise more than one block's worth never reaches the driver:
        // the excess whole blocks are dropped to keep the latency.
        advanceUnheard(n - n % SoundBlockSamples);
        n %= SoundBlockSamples;
        if (syncState == 2) {
            // The added block repeats the last one: the sources stay in step.
            Submit(blockBuffer);
            advanceUnheard(n);
            produced = target;
            return;
        }
        if (n == 0) {
            produced = target;
            return;
        }
    }
    Mix(blockBuffer + fill, static_cast<int>(n));
    fill += n;
    produced = target;
}

namespace {
// Up to the processor's count; a count behind the stream's (a processor
// restarted, one the caller drives itself) brings nothing.
void mixUpToProcessor() { MixUpTo(std::max(cpu.TCOUNT, lastCycles)); }
} // namespace

void StartRecordedStream() {
    mixUpToProcessor();
    fill = 0;
    syncState = 1; // a drop decided before the start would lose recorded samples
}

void EndRecordedStream() {
    mixUpToProcessor();
    if (fill > 0) AppendSoundRecording(blockBuffer, fill * 2);
}

void FollowRestoredProcessor() {
    originCycles = lastCycles = cpu.TCOUNT;
    originSamples = produced;
}

void PauseSound() {
    paused = true;
    current->Pause();
}

void ResumeSound() {
    paused = false;
    current->Resume();
}

void ResetSoundOutput() {
    current->Reset();
    for (SoundSource* s = SoundSources(); s; s = s->next)
        if (s->reset) s->reset();
}

void SetSoundMuted(int on) { muted = on != 0; }
int SoundMuted() { return muted ? 1 : 0; }

uint32_t SoundWritePosition() { return writePosition; }
uint32_t SoundSamplesProduced() { return produced; }
