// Frame timing (scan lines, the 50 Hz NMI, cassette polling in both timing
// modes) and the picture: text, blinking, graphics switching and 2 x 3 block
// cells.
#include "machine/frame.h"

#include <cstring>

#include "cpu/z80.h"
#include "data/chargen.h"
#include "machine/memory.h"
#include "machine/peripherals.h"
#include "machine/ports.h"

uint32_t frameCounter = 0;
int32_t lineCycles = 0;
int64_t fastCarry = 0;
int lastTapeLevel = 0;

namespace {

constexpr int FastFirstPart = CyclesPerFrame - CyclesPerLine; // 311 lines

// A step that counts no cycles (an undefined ED opcode, an empty trap) is
// charged this many cycles by the frame's line accounting, so a frame ends
// whatever the memory holds. TCOUNT itself is left as the processor counted.
constexpr int32_t ZeroCycleStepCharge = 4;

// Where a frame stopped by the debug layer is resumed. The cycle-based frame
// keeps its loop's line, cycle count and budget; the fast frame its part
// (the 311 lines before the NMI, or the NMI line), that part's budget and the
// cycles charged to it so far.
struct CycleFrame {
    bool pending = false;
    int line = 0;
    int32_t acc = 0;
    int32_t budget = 0;
};
struct FastFrame {
    bool pending = false;
    int part = 0;
    int64_t budget = 0;
    int64_t charged = 0;
    bool stepped = false; // at least one step of this part ran
};
CycleFrame cycleFrame;
FastFrame fastFrame;

// Runs the processor until about the part's budget is charged; false when
// the run stopped at a boundary first. execute gives up after a run of
// MaxZeroCycleSteps zero-cycle steps without using its budget; such a run is
// charged like single steps, so the fast frame moves on and its carry stays
// within one instruction. Like execute, it runs at least one step even when
// the budget is already used up by an earlier overshoot.
bool runCharged(FastFrame& part) {
    while (!part.stepped || part.charged < part.budget) {
        part.stepped = true;
        int64_t left = part.budget - part.charged;
        int64_t used = execute(static_cast<int32_t>(left));
        if (stoppedAt) {
            part.charged += used;
            return false;
        }
        if (used < left) used += int64_t{MaxZeroCycleSteps} * ZeroCycleStepCharge;
        part.charged += used;
    }
    return true;
}

// The cassette input as the machine sees it: the level of a playing tape at
// the current cycle; a change is an edge at port 3Ah.
inline void pollTape() {
    int level = cassettePort.sampleInput(cpu.TCOUNT);
    if (level != lastTapeLevel) {
        tapeEdge();
        lastTapeLevel = level;
    }
}

// The fast mode's execution while a tape is in the deck to play, in slices
// with a poll after each. While the motor runs, a slice ends at the first
// instruction boundary at or after the cycle the next sample is due (one
// instruction when that is now), which is where polling after every
// instruction, as the cycle-based mode does, would first see the level
// change: port 3Ah sees the same edges. While the motor is stopped, slices
// of one scan line: a motor start is seen within a line, long before the
// tape delivers its first sample (44.5 sample periods after the start).
bool runChargedPollingTape(FastFrame& part) {
    while (!part.stepped || (part.charged < part.budget && cassettePort.inserted())) {
        part.stepped = true;
        int64_t slice = part.budget - part.charged;
        if (slice > CyclesPerLine) slice = CyclesPerLine;
        uint64_t due = cassettePort.nextSampleCycle();
        if (due <= cpu.TCOUNT)
            slice = 0;
        else if (due - cpu.TCOUNT < static_cast<uint64_t>(slice))
            slice = static_cast<int64_t>(due - cpu.TCOUNT);
        if (slice <= 0) {
            int32_t used = execute(0);
            part.charged += used || stoppedAt ? used : ZeroCycleStepCharge;
        } else {
            int64_t used = execute(static_cast<int32_t>(slice));
            if (used < slice && !stoppedAt)
                used += int64_t{MaxZeroCycleSteps} * ZeroCycleStepCharge;
            part.charged += used;
        }
        pollTape();
        if (stoppedAt) return false;
    }
    return part.charged >= part.budget || runCharged(part); // the tape went
}

bool runFastPart(FastFrame& part) {
    return cassettePort.inserted() ? runChargedPollingTape(part) : runCharged(part);
}

// The six pixels of every pattern of bits 6..1, so a glyph row is one copy.
struct PixelPatterns {
    uint8_t pixels[64][6];
    constexpr PixelPatterns() : pixels{} {
        for (int pattern = 0; pattern < 64; pattern++)
            for (int i = 0; i < 6; i++)
                pixels[pattern][i] = (pattern & (0x20 >> i)) ? 0xFF : 0x00;
    }
};
constexpr PixelPatterns Patterns;

inline void putGlyphRow(uint8_t* dest, uint8_t g) {
    std::memcpy(dest, Patterns.pixels[(g >> 1) & 0x3F], 6);
}

// A block cell row: three left pixels for bit 0 of m, three right for bit 1.
inline void putBlockRow(uint8_t* dest, uint8_t b, int pixelRow) {
    int m = ((b & 0x40) >> 1) | (b & 0x1F);
    m >>= pixelRow < 3 ? 0 : pixelRow < 7 ? 2 : 4;
    static constexpr uint8_t cellPatterns[4] = {0x00, 0x38, 0x07, 0x3F};
    std::memcpy(dest, Patterns.pixels[cellPatterns[m & 3]], 6);
}

} // namespace

void renderLine(int line, uint8_t* frameBuffer, int pitchShift) {
    if (line < 0 || line >= VisibleLines) return;
    const uint8_t* base = videoMemory();
    const int columns = videoColumns();
    int row = line / 10, pixelRow = line % 10;
    const uint8_t* text = videoRow(base, row);
    uint8_t* dest = frameBuffer + line * (240 << pitchShift);
    bool blinkPhase = (frameCounter & 8) != 0;
    bool graphics = false;
    for (int x = 0; x < columns; x++, dest += 6) {
        uint8_t b = text[x];
        uint8_t k = b & 0x77;
        if (k == 0x17) graphics = true;
        if (k <= 0x07) graphics = false;
        if (!graphics) {
            uint8_t g = CharacterGenerator[(b & 0x7F) * 10 + pixelRow];
            if ((b & 0x80) && blinkPhase) g = static_cast<uint8_t>(~g);
            putGlyphRow(dest, g);
        } else if (b == 0x17) {
            putGlyphRow(dest, 0);
        } else if ((b & 0x60) == 0x40) {
            putGlyphRow(dest, CharacterGenerator[(b & 0x7F) * 10 + pixelRow]);
        } else {
            putBlockRow(dest, b, pixelRow);
        }
    }
}

int32_t runFrame(int32_t budget, uint8_t* frameBuffer, int pitchShift) {
    CycleFrame& f = cycleFrame;
    if (!f.pending) {
        f.pending = true;
        f.line = 0;
        f.acc = lineCycles;
        f.budget = budget;
    }
    while (f.budget > 0) {
        int32_t c = execute(0);
        if (c == 0 && !stoppedAt) c = ZeroCycleStepCharge;
        f.budget -= c;
        f.acc += c;
        if (f.acc >= CyclesPerLine) {
            if (f.line < VisibleLines && frameBuffer) renderLine(f.line, frameBuffer, pitchShift);
            f.line++;
            f.acc -= CyclesPerLine;
            if (f.line == NmiRaiseLine)
                nmiRaise();
            else if (f.line == NmiLowerLine)
                nmiLower();
            else if (f.line == LinesPerFrame)
                f.line = 0;
        }
        if (cassettePort.playing()) pollTape();
        if (stoppedAt) return f.budget;
    }
    f.pending = false;
    frameCounter++;
    cassettePort.frameEnd(cpu.TCOUNT);
    lineCycles = f.budget;
    return f.budget;
}

void runFrameFast() {
    FastFrame& f = fastFrame;
    if (!f.pending) f = FastFrame{true, 0, fastCarry + FastFirstPart, 0, false};
    if (f.part == 0) {
        if (!runFastPart(f)) return;
        fastCarry = f.budget - f.charged;
        nmiRaise();
        f = FastFrame{true, 1, fastCarry + CyclesPerLine, 0, false};
    }
    if (!runFastPart(f)) return;
    fastCarry = f.budget - f.charged;
    f.pending = false;
    nmiLower();
    frameCounter++;
    cassettePort.frameEnd(cpu.TCOUNT);
}

void runFramesBlind(int count) {
    for (int i = 0; i < count; i++) {
        runFrameFast();
        if (fastFrame.pending) return;
    }
}

bool framePending() { return cycleFrame.pending || fastFrame.pending; }
bool fastFramePending() { return fastFrame.pending; }

void forgetPendingFrame() {
    cycleFrame = CycleFrame{};
    fastFrame = FastFrame{};
}

FrameProgress frameProgress() {
    return {cycleFrame.pending, cycleFrame.line,   cycleFrame.acc,
            cycleFrame.budget,  fastFrame.pending, fastFrame.part,
            fastFrame.budget,   fastFrame.charged, fastFrame.stepped};
}

void setFrameProgress(const FrameProgress& p) {
    cycleFrame = {p.cyclePending, p.cycleLine, p.cycleAcc, p.cycleBudget};
    fastFrame = {p.fastPending, p.fastPart, p.fastBudget, p.fastCharged, p.fastStepped};
}

int framePitchShift() { return wideVideoSelected() ? 1 : 0; }
