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
#include <climits>
#include <cmath>
#include <cstdlib>
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
    // A device or pipe is written in place; a file is recorded beside its
    // target until the motor runs (TapeRecordingMotorStarted).
    struct stat existing;
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    std::string target = path;
    std::string temporary;
    std::FILE* file = nullptr;
    if (exists && S_ISDIR(existing.st_mode)) {
        SetMediaError(FileErrorText(EISDIR));
        return 0;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        file = std::fopen(path.c_str(), "wb");
    } else {
        if (exists) {
            char resolved[PATH_MAX];
            if (::realpath(path.c_str(), resolved)) target = resolved;
            // Not even root replaces a file its owner made read-only.
            if ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
                SetMediaError("the file is read-only");
                return 0;
            }
        }
        const size_t slash = target.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
        const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
        temporary = (slash == 0 ? "" : folder) + "/." + name + ".XXXXXX";
        const int fd = ::mkstemp(temporary.data());
        if (fd >= 0) {
            mode_t mode = existing.st_mode & 07777;
            if (!exists) {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                mode = 0666 & ~mask;
            }
            ::fchmod(fd, mode);
            file = ::fdopen(fd, "wb");
            if (!file) ::close(fd);
        }
    }
    if (!file) {
        SetMediaError(FileErrorText(errno));
        if (!temporary.empty()) ::unlink(temporary.c_str());
        return 0;
    }
    if (!StartWavWriter(d.writer, fileno(file), d.header, 1)) {
        SetMediaError(FileErrorText(d.writer.error));
        std::fclose(file);
        if (!temporary.empty()) ::unlink(temporary.c_str()); // leave no file behind
        return 0;
    }
    d.target = temporary.empty() ? std::string() : target;
    d.temporaryPath = temporary;
    if (d.motorOn) TapeRecordingMotorStarted(); // the tape moves already
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

void TapeRecordingMotorStarted() {
    TapeDeck& d = tapeDeck;
    if (d.temporaryPath.empty()) return;
    if (::rename(d.temporaryPath.c_str(), d.target.c_str()) != 0 && d.writer.error == 0)
        d.writer.error = errno;
    d.temporaryPath.clear();
}

void FinishTapeRecording(uint64_t now) {
    TapeDeck& d = tapeDeck;
    if (!d.temporaryPath.empty()) {
        // The motor never ran: nothing was recorded, and the target stays.
        ::unlink(d.temporaryPath.c_str());
        d.temporaryPath.clear();
        FinishWavWriter(d.writer);
        std::fprintf(stderr, "Nothing was recorded on %s; the file was left as it was.\n",
                     d.path.c_str());
        MediaStatus(MessageField, "Nothing was recorded on %s.", d.path.c_str());
        return;
    }
    if (!d.writer.error) {
        if (d.renderedCycle > now) d.renderedCycle = now;
        uint64_t until = d.renderedCycle + static_cast<uint64_t>(TapeClockHz()) / 2;
        renderUntil(until, 0); // half a second of the idle level ends the recording
        MixUpTo(until);
    }
    if (FinishWavWriter(d.writer)) {
        const uint32_t rate = ReadLe32(d.header + 24);
        const uint64_t seconds = rate ? d.samplesWritten / rate : 0;
        char text[64];
        std::snprintf(text, sizeof text, "%02u:%02u", static_cast<unsigned>(seconds / 60),
                      static_cast<unsigned>(seconds % 60));
        std::fprintf(stderr, "Recording finished: %s, %s.\n", d.path.c_str(), text);
        MediaStatus(MessageField, "Recording finished: %s, %s.", d.path.c_str(), text);
        return;
    }
    d.recordingFailure = "cannot write " + d.path + ": " + FileErrorText(d.writer.error);
    uint64_t kept = d.writer.fileBytes > WavHeaderSize ? d.writer.fileBytes - WavHeaderSize : 0;
    std::fprintf(stderr, "Tape recording stopped: %s (%llu samples kept).\n",
                 d.recordingFailure.c_str(), static_cast<unsigned long long>(kept));
    MediaStatus(MessageField, "Tape recording stopped: %s.", d.recordingFailure.c_str());
}
