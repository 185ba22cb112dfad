// The cassette deck's recording side. The machine's output bit is rendered
// once per processor cycle through a one-pole low-pass at half the sample
// rate and a 15 ms tracking filter that takes the DC away, so the file holds
// the bit high-passed round the mid value 128: a set bit swings the samples
// down, a clear bit up. One 8-bit sample is written every clock / rate cycles.
#include "cpu/z80.h"
#include "files/file_write.h"
#include "media/host_file.h"
#include "media/media_status.h"
#include "media/tape_deck.h"
#include "media/tape_internal.h"
#include "sound/mixer.h"

#include <cerrno>
#include <cmath>
#include <numbers>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double SetLevel = 0.0;
constexpr double ClearLevel = 224.0;
constexpr double TrackingSeconds = 0.015;

// Steps the filters from renderedCycle up to (at least one step) the cycle
// `until`, writing the samples that fall due.
void renderUntil(uint64_t until, int levelBit) {
    TapeDeck& d = tapeDeck;
    const uint32_t rate = ReadLe32(d.header + 24);
    const double clock = TapeClockHz();
    const uint64_t clockCycles = static_cast<uint64_t>(clock);
    const double a =
        1.0 - std::exp(static_cast<float>(-2.0 * std::numbers::pi * 0.5 * rate / clock));
    const double k = 1.0 / (TrackingSeconds * clock);
    const double target = levelBit ? SetLevel : ClearLevel;
    double lowPass = d.lowPass, dcTrack = d.dcTrack;
    uint64_t accumulator = d.sampleAccumulator;
    do {
        accumulator += rate;
        lowPass += (target - lowPass) * a;
        dcTrack += (lowPass - dcTrack) * k;
        if (accumulator >= clockCycles) {
            accumulator -= clockCycles;
            double v = std::trunc(lowPass - dcTrack) + 128.0;
            int sample = v < 0.0 ? 0 : v > 255.0 ? 255 : static_cast<int>(v);
            WriteWavByte(d.writer, static_cast<uint8_t>(sample));
            ++d.samplesWritten;
        }
        ++d.renderedCycle;
    } while (d.renderedCycle < until);
    d.lowPass = lowPass;
    d.dcTrack = dcTrack;
    d.sampleAccumulator = accumulator;
}

} // namespace

int StartTapeRecording(const std::string& path, uint32_t sampleRate) {
    TapeDeck& d = tapeDeck;
    if (d.file && d.reading && SameFileAs(path, fileno(d.file))) {
        SetMediaError("it is the tape being played");
        return 0;
    }
    if (d.file) CloseTape();
    d.outputFlag = 0;
    d.reading = 0;
    d.bitsLeft = 0;
    d.renderedCycle = cpu.TCOUNT;
    d.samplesWritten = 0;
    d.recordingFailure.clear();
    TapeBlockWatchReset(d.blocks);
    BuildWavHeader(d.header, sampleRate);
    if (path.empty() || sampleRate == 0) {
        SetMediaError(path.empty() ? "no file named" : "sample rate 0");
        return 0;
    }
    struct stat before;
    bool existed = ::stat(path.c_str(), &before) == 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        SetMediaError(FileErrorText(errno));
        return 0;
    }
    if (!StartWavWriter(d.writer, fileno(file), d.header, 1)) {
        SetMediaError(FileErrorText(d.writer.error));
        std::fclose(file);
        if (!existed) ::unlink(path.c_str()); // leave no empty file behind
        return 0;
    }
    d.file = file;
    d.path = path;
    d.headerEnd = WavHeaderSize;
    ForgetShownCounter();
    RegisterTapeSound();
    return 1;
}

const std::string& TapeRecordingFailure() { return tapeDeck.recordingFailure; }

void RenderTapeOutput(uint64_t cycle, int level) {
    TapeDeck& d = tapeDeck;
    if (!d.file || d.reading || !d.motorOn || cycle < d.renderedCycle) return;
    // The level held until now differs from the one before: the output
    // changed at the previous write, where rendering stopped.
    if ((level != 0) != (d.outputFlag != 0)) NoteTapeEdge(d.renderedCycle);
    renderUntil(cycle, level);
    if (d.writer.error) {
        CloseTape(); // the first failed write ends the recording
        return;
    }
    MixUpTo(cycle);
    d.outputFlag = level ? 2 : 0;
}

void FinishTapeRecording(uint64_t now) {
    TapeDeck& d = tapeDeck;
    if (!d.writer.error) {
        if (d.renderedCycle > now) d.renderedCycle = now;
        uint64_t until = d.renderedCycle + static_cast<uint64_t>(TapeClockHz()) / 2;
        renderUntil(until, 0); // half a second of the idle level ends the recording
        MixUpTo(until);
    }
    if (FinishWavWriter(d.writer)) return;
    d.recordingFailure = "cannot write " + d.path + ": " + FileErrorText(d.writer.error);
    uint64_t kept = d.writer.fileBytes > WavHeaderSize ? d.writer.fileBytes - WavHeaderSize : 0;
    std::fprintf(stderr, "Tape recording stopped: %s (%llu samples kept).\n",
                 d.recordingFailure.c_str(), static_cast<unsigned long long>(kept));
    MediaStatus(MessageField, "Tape recording stopped: %s.", d.recordingFailure.c_str());
}
