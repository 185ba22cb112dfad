// The cassette deck's playing side, its motor, its counter and its sound
// source. A played file's samples are taken in step with the processor's
// cycle count while the motor runs and turned into the input level by the
// level tracker (tape_level), which follows the recording's level.
#include "media/tape_deck.h"
#include "files/file_write.h"
#include "media/host_file.h"

#include "cpu/z80.h"
#include "media/media_status.h"
#include "media/tape_internal.h"
#include "sound/mixer.h"

#include <cstdio>
#include <cstring>

TapeDeck tapeDeck;

namespace {

constexpr double DefaultClockHz = 2995200.0;
constexpr int PastEndSample = 255;

// Buffered sequential reading of the sample bytes, with the logical file
// position the counter shows.
struct SampleReader {
    uint64_t pos = 0; // file offset of the next byte
    uint64_t end = UINT64_MAX;
    uint8_t buffer[4096];
    size_t length = 0, at = 0;
} reader;

void startReader(uint64_t start, uint64_t end) {
    reader.pos = start;
    reader.end = end;
    reader.length = reader.at = 0;
    std::fseek(tapeDeck.file, static_cast<long>(start), SEEK_SET);
}

int readByte() {
    if (reader.pos >= reader.end) return -1;
    if (reader.at == reader.length) {
        uint64_t want = sizeof reader.buffer;
        if (reader.end - reader.pos < want) want = reader.end - reader.pos;
        reader.length = std::fread(reader.buffer, 1, want, tapeDeck.file);
        reader.at = 0;
        if (reader.length == 0) return -1;
    }
    ++reader.pos;
    return reader.buffer[reader.at++];
}

void skipBytes(uint64_t n) {
    if (n <= reader.length - reader.at) {
        reader.at += n;
        reader.pos += n;
        return;
    }
    reader.pos += n;
    reader.length = reader.at = 0;
    if (reader.pos < reader.end) std::fseek(tapeDeck.file, static_cast<long>(reader.pos), SEEK_SET);
}

// One channel's sample on the 16-bit level scale (32768 the mid level).
int32_t levelOf(const uint8_t* sample) {
    const WavLayout& layout = tapeDeck.layout;
    switch (layout.encoding) {
    case SampleEncoding::Signed: // the top two bytes; wider samples are at least 16 bits
        return ((sample[layout.levelByte] << 8) | sample[layout.levelByte - 1]) ^ 0x8000;
    case SampleEncoding::Float32:
    case SampleEncoding::Float64: {
        double v;
        if (layout.encoding == SampleEncoding::Float32) {
            float f;
            std::memcpy(&f, sample, sizeof f);
            v = f;
        } else {
            std::memcpy(&v, sample, sizeof v);
        }
        v = v * 32768.0 + 32768.0;
        return v >= 65535.0 ? 65535 : !(v > 0.0) ? 0 : static_cast<int32_t>(v); // NaN reads as 0
    }
    default: return sample[0] << 8;
    }
}

// The levels of the next sample frame's channels (up to MaxChosenChannels);
// false past the end.
bool readFrameLevels(int32_t* levels) {
    const WavLayout& layout = tapeDeck.layout;
    uint8_t frame[MaxWavFrameBytes];
    for (uint32_t i = 0; i < layout.frameBytes; ++i) {
        int b = readByte();
        if (b < 0) return false;
        if (i < sizeof frame) frame[i] = static_cast<uint8_t>(b);
    }
    const uint32_t considered = tapeDeck.level.channels;
    for (uint32_t c = 0; c < considered; ++c)
        levels[c] = (c + 1) * layout.sampleBytes <= sizeof frame
                        ? levelOf(frame + c * layout.sampleBytes)
                        : MidLevel;
    return true;
}

void takeBits(uint64_t target) {
    TapeDeck& d = tapeDeck;
    while (d.position < target) {
        if (d.bitsLeft == 0) {
            uint64_t remaining = target - d.position;
            if (remaining > 8) { // whole bytes whose bits are all overtaken
                uint64_t skip = (remaining - 1) / 8;
                skipBytes(skip);
                d.position += skip * 8;
            }
            d.bitsLeft = 7;
            int b = readByte();
            d.currentByte = static_cast<uint8_t>(b < 0 ? PastEndSample : b);
        } else {
            --d.bitsLeft;
        }
        d.inputLevel = d.currentByte >> 7;
        d.currentByte = static_cast<uint8_t>(d.currentByte << 1);
        ++d.position;
    }
}

void takeSamples(uint64_t target) {
    TapeDeck& d = tapeDeck;
    uint64_t count = target - d.position; // at least 1; only the last one counts
    if (count > 1) skipBytes((count - 1) * d.layout.frameBytes);
    int32_t levels[MaxChosenChannels];
    d.position = target;
    if (readFrameLevels(levels))
        d.inputLevel = StepTapeLevel(d.level, levels, d.inputLevel);
    else
        d.inputLevel = 1; // past the end every sample reads as the top level
}

// ---- tape sound and counter ----

int tapeSoundFlag = 0;
int soundRegistered = 0;

void generateTapeSound(int16_t* buffer, int count) {
    int16_t value = (tapeSoundFlag && (tapeDeck.inputLevel || tapeDeck.outputFlag)) ? 1023 : 0;
    for (int i = 0; i < count; ++i)
        buffer[i] = value;
}
void resetTapeSound() {}
void setTapeSoundRate(int) {}

SoundSource tapeSound = {"TapeSound", nullptr, generateTapeSound, resetTapeSound, setTapeSoundRate};

bool counterShown = false;
uint64_t shownSeconds = 0;
int shownActivity = 0;
uint32_t shownBlocks = 0;

uint64_t fileSizeOf(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    return size < 0 ? 0 : static_cast<uint64_t>(size);
}

} // namespace

double TapeClockHz() { return cpu.clockHz ? static_cast<double>(cpu.clockHz) : DefaultClockHz; }

void RegisterTapeSound() {
    AddSoundSource(&tapeSound);
    soundRegistered = 1;
}

void UnregisterTapeSound() {
    if (soundRegistered) RemoveSoundSource(&tapeSound);
    soundRegistered = 0;
}

void ForgetShownCounter() { counterShown = false; }

void NoteTapeEdge(uint64_t cycle) {
    TapeDeck& d = tapeDeck;
    if (!TapeBlockWatchEdge(d.blocks, cycle, TapeClockHz())) return;
    MediaStatus(TapeBlockField, "%s", DescribeTapeBlock(d.blocks.last).c_str());
}

void SetTapeSound(int on) { tapeSoundFlag = on ? 1 : 0; }
int TapeSoundEnabled() { return tapeSoundFlag; }

int TapeIsPlaying() { return tapeDeck.reading; }
int TapeInserted() { return tapeDeck.file && tapeDeck.reading; }
int TapeMotorRunning() { return tapeDeck.file && tapeDeck.motorOn; }

uint64_t TapeNextSampleCycle() {
    const TapeDeck& d = tapeDeck;
    if (!TapeInserted() || !d.motorOn || !(d.ratio > 0)) return UINT64_MAX;
    // Due when tape time * ratio + 0.5 reaches position + 1; a cycle early
    // for the rounding, never late.
    double due = (static_cast<double>(d.position) + 0.5) / d.ratio;
    if (!(due < 1e18)) return UINT64_MAX;
    uint64_t wait = due > 1 ? static_cast<uint64_t>(due) - 1 : 0;
    return d.startCycle + d.pausedCycles + wait;
}

uint64_t TapeReadOffset() { return reader.pos; }

void SeekTapeRead(uint64_t offset) {
    if (tapeDeck.file && tapeDeck.reading) startReader(offset, reader.end);
}

int TapeDeckHolds(const std::string& path) {
    return tapeDeck.file && SameFileAs(path, fileno(tapeDeck.file));
}

int OpenTapeForReading(const std::string& path) {
    TapeDeck& d = tapeDeck;
    // A file that can't be opened leaves the tape in the deck as it was.
    std::FILE* file = path.empty() ? nullptr : OpenHostFile(path, "rb");
    if (!file) {
        if (path.empty()) SetMediaError("no file named");
        return 0;
    }
    if (d.file) CloseTape();

    d.file = file;
    d.path = path;
    d.reading = 1;
    d.bitsLeft = 0;
    d.outputFlag = 0;
    std::memset(d.header, 0, sizeof d.header);
    uint64_t size = fileSizeOf(file);
    size_t got = std::fread(d.header, 1, WavHeaderSize, file);
    (void)got; // a short header leaves zeros: rate 0 then plays nothing
    d.layout = ReadWavLayout(file, d.header, size);
    d.headerEnd = WavHeaderSize;
    d.position = WavHeaderSize;
    // Past the physical end every sample reads as 255 without touching the file.
    startReader(d.layout.dataStart, d.layout.dataEnd < size ? d.layout.dataEnd : size);

    uint64_t now = cpu.TCOUNT;
    d.startCycle = d.renderedCycle = d.motorOffCycle = now;
    d.pausedCycles = 0;
    d.ratio = d.layout.sampleRate / TapeClockHz();
    StartTapeLevel(d.level, d.layout.sampleRate, d.layout.channels);
    TapeBlockWatchReset(d.blocks);
    ForgetShownCounter();
    RegisterTapeSound();
    return 1;
}

void CloseTape() {
    TapeDeck& d = tapeDeck;
    d.outputFlag = 0;
    UnregisterTapeSound();
    if (!d.file) return;
    if (!d.reading) FinishTapeRecording(cpu.TCOUNT);
    d.reading = 0;
    std::fclose(d.file);
    d.file = nullptr;
    d.path.clear();
    TapeBlockWatchReset(d.blocks);
    ForgetShownCounter();
    MediaStatus(TapeCounterField, "%s", "");
}

void SetTapeMotor(int on, uint64_t cycle) {
    TapeDeck& d = tapeDeck;
    if (!on) {
        if (!d.motorOn) return;
        d.motorOn = 0;
        if (d.file) d.motorOffCycle = cycle;
    } else if (!d.motorOn) {
        d.renderedCycle = cycle; // a recording skips the stopped time
        d.pausedCycles += cycle - d.motorOffCycle;
        d.motorOn = on;
        if (d.file && !d.reading) TapeRecordingMotorStarted();
        if (!d.file) {
            const char* empty = "The cassette motor runs with no tape in the deck: SAVE CAS: "
                                "needs a recording started first (Record tape, --tape-out), "
                                "LOAD CAS: a tape inserted (Insert tape, --tape-in).";
            std::fprintf(stderr, "%s\n", empty);
            MediaStatus(MessageField, "%s", empty);
        }
    } else {
        d.motorOn = on;
        if (d.file) d.motorOffCycle = cycle;
    }
}

int SampleTapeInput(uint64_t cycle) {
    TapeDeck& d = tapeDeck;
    if (!d.file || !d.motorOn) return 0;
    // Tape time in cycles, kept in 64 bits so that long tapes never wrap.
    int64_t t = static_cast<int64_t>(cycle - d.pausedCycles - d.startCycle);
    if (t < 0) return d.inputLevel;
    double target = static_cast<double>(t) * d.ratio + 0.5;
    if (!(target >= static_cast<double>(d.position + 1))) return d.inputLevel;
    uint64_t samples = static_cast<uint64_t>(target);
    int before = d.inputLevel;
    if (d.layout.encoding == SampleEncoding::OneBit)
        takeBits(samples);
    else
        takeSamples(samples);
    if (d.inputLevel != before) NoteTapeEdge(cycle);
    MixUpTo(cycle);
    return d.inputLevel;
}

int RewindTape() {
    TapeDeck& d = tapeDeck;
    if (!TapeInserted()) return 0;
    startReader(d.layout.dataStart, reader.end);
    d.position = WavHeaderSize;
    d.bitsLeft = 0;
    StartTapeLevel(d.level, d.layout.sampleRate, d.layout.channels);
    uint64_t now = cpu.TCOUNT;
    // Tape time starts again now, or when the motor next starts.
    d.startCycle = d.motorOffCycle = now;
    d.pausedCycles = 0;
    TapeBlockWatchReset(d.blocks);
    ForgetShownCounter();
    return 1;
}

namespace {

uint64_t secondsOf(uint64_t bytes, uint64_t rate, uint64_t bits) { return bytes * 8 / rate / bits; }

} // namespace

uint64_t TapeLengthSeconds() {
    TapeDeck& d = tapeDeck;
    if (!TapeInserted() || d.layout.sampleRate == 0 || d.layout.counterBits == 0) return 0;
    uint64_t start = d.layout.dataStart;
    return reader.end > start
               ? secondsOf(reader.end - start, d.layout.sampleRate, d.layout.counterBits)
               : 0;
}

void UpdateTapeCounter(uint64_t cycle) {
    TapeDeck& d = tapeDeck;
    if (!d.file) return;
    uint64_t rate, bits, pos, start;
    if (d.reading) {
        rate = d.layout.sampleRate;
        bits = d.layout.counterBits;
        pos = reader.pos;
        start = d.layout.dataStart;
    } else {
        rate = ReadLe32(d.header + 24);
        bits = 8;
        start = WavHeaderSize;
        pos = start + d.samplesWritten;
        if (d.motorOn && d.samplesWritten == 0 && cycle > d.renderedCycle)
            pos = start + static_cast<uint64_t>(
                              rate * static_cast<double>(cycle - d.renderedCycle) / TapeClockHz());
    }
    if (rate == 0 || bits == 0) return; // no counter for a header without rate or sample size
    uint64_t seconds = secondsOf(pos > start ? pos - start : 0, rate, bits);
    int activity = d.outputFlag || d.inputLevel;
    if (counterShown && seconds == shownSeconds && activity == shownActivity &&
        d.blocks.blocks == shownBlocks)
        return;
    counterShown = true;
    shownSeconds = seconds;
    shownActivity = activity;
    shownBlocks = d.blocks.blocks;
    char position[48];
    if (d.reading) {
        uint64_t length = TapeLengthSeconds();
        std::snprintf(position, sizeof position, "%02u:%02u/%02u:%02u",
                      static_cast<unsigned>(seconds / 60), static_cast<unsigned>(seconds % 60),
                      static_cast<unsigned>(length / 60), static_cast<unsigned>(length % 60));
    } else {
        std::snprintf(position, sizeof position, "REC %02u:%02u",
                      static_cast<unsigned>(seconds / 60), static_cast<unsigned>(seconds % 60));
    }
    const std::string& program = d.blocks.program;
    MediaStatus(TapeCounterField, "%04u %c %s%s%s", static_cast<unsigned>(seconds),
                activity ? 0x95 : ' ', position, program.empty() ? "" : " ", program.c_str());
}
