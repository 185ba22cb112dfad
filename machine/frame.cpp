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

// Runs the processor for about `budget` cycles and returns the cycles charged
// to the frame. execute gives up after a run of MaxZeroCycleSteps zero-cycle
// steps without using its budget; such a run is charged like single steps,
// so the fast frame moves on and its carry stays within one instruction.
// Like execute, it runs at least one step even when the budget is already
// used up by an earlier overshoot.
int64_t runCharged(int64_t budget) {
    int64_t charged = 0;
    do {
        int64_t left = budget - charged;
        int64_t used = execute(static_cast<int32_t>(left));
        if (used < left) used += int64_t{MaxZeroCycleSteps} * ZeroCycleStepCharge;
        charged += used;
    } while (charged < budget);
    return charged;
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
int64_t runChargedPollingTape(int64_t budget) {
    int64_t charged = 0;
    do {
        int64_t slice = budget - charged;
        if (slice > CyclesPerLine) slice = CyclesPerLine;
        uint64_t due = cassettePort.nextSampleCycle();
        if (due <= cpu.TCOUNT)
            slice = 0;
        else if (due - cpu.TCOUNT < static_cast<uint64_t>(slice))
            slice = static_cast<int64_t>(due - cpu.TCOUNT);
        if (slice <= 0) {
            int32_t used = execute(0);
            charged += used ? used : ZeroCycleStepCharge;
        } else {
            int64_t used = execute(static_cast<int32_t>(slice));
            if (used < slice) used += int64_t{MaxZeroCycleSteps} * ZeroCycleStepCharge;
            charged += used;
        }
        pollTape();
    } while (charged < budget && cassettePort.inserted());
    if (charged < budget) charged += runCharged(budget - charged); // the tape went
    return charged;
}

int64_t runFastPart(int64_t budget) {
    return cassettePort.inserted() ? runChargedPollingTape(budget) : runCharged(budget);
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
    int line = 0;
    int32_t acc = lineCycles;
    while (budget > 0) {
        int32_t c = execute(0);
        if (c == 0) c = ZeroCycleStepCharge;
        budget -= c;
        acc += c;
        if (acc >= CyclesPerLine) {
            if (line < VisibleLines && frameBuffer) renderLine(line, frameBuffer, pitchShift);
            line++;
            acc -= CyclesPerLine;
            if (line == NmiRaiseLine)
                nmiRaise();
            else if (line == NmiLowerLine)
                nmiLower();
            else if (line == LinesPerFrame)
                line = 0;
        }
        if (cassettePort.playing()) pollTape();
    }
    frameCounter++;
    cassettePort.frameEnd(cpu.TCOUNT);
    lineCycles = budget;
    return budget;
}

void runFrameFast() {
    int64_t b = fastCarry + FastFirstPart;
    fastCarry = b - runFastPart(b);
    nmiRaise();
    b = fastCarry + CyclesPerLine;
    fastCarry = b - runFastPart(b);
    nmiLower();
    frameCounter++;
    cassettePort.frameEnd(cpu.TCOUNT);
}

void runFramesBlind(int count) {
    for (int i = 0; i < count; i++)
        runFrameFast();
}

int framePitchShift() { return wideVideoSelected() ? 1 : 0; }
