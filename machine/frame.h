// The frame driver: one television frame of the ABC80 at a time.
//
// A frame is 312 scan lines of 192 processor cycles (59,904 cycles, 1/50 s).
// The NMI line goes high when line 288 begins and low when line 290 begins.
// runFrame interleaves execution with drawing line by line; runFrameFast runs
// the whole frame first and the caller then draws lines 0-239 with
// renderLine. Both modes poll a playing tape after every instruction while
// its motor runs, so the cassette input reaches the machine the same way in
// either. The picture is one byte per pixel (00h dark, FFh lit), 6 pixels
// per character column, line y at y * (240 << pitchShift).
//
// A frame may end early: when execute stops at an instruction boundary (the
// debug layer's breakpoints, watches and steps), runFrame and runFrameFast
// return at once with the frame pending, and the next call of the same one
// resumes it where it stopped (runFrame then ignores its budget argument).
// A frame run in pieces is the same, cycle for cycle, as one run straight.
#pragma once

#include <cstdint>

constexpr int CyclesPerLine = 192;
constexpr int LinesPerFrame = 312;
constexpr int CyclesPerFrame = CyclesPerLine * LinesPerFrame; // 59,904
constexpr int VisibleLines = 240;
constexpr int NmiRaiseLine = 288;
constexpr int NmiLowerLine = 290;
constexpr int FrameBufferBytes = 480 * 240;

extern uint32_t frameCounter; // +1 per frame; bit 3 drives blinking
extern int32_t lineCycles;    // cycles carried into the next runFrame
extern int64_t fastCarry;     // cycles carried between fast frames
extern int lastTapeLevel;

int32_t runFrame(int32_t budget, uint8_t* frameBuffer, int pitchShift);
void runFrameFast();
void runFramesBlind(int count);
void renderLine(int line, uint8_t* frameBuffer, int pitchShift);
// True while a frame stopped on its way waits to be resumed.
bool framePending();
bool fastFramePending();
// Drops a pending frame (power-on, reset, a loaded save state): the next call
// starts a new frame.
void forgetPendingFrame();

// Where a pending frame stands (opaque to callers): taken and put back by
// the history, which runs the machine elsewhere and returns to a moment
// inside a frame. A save state does not hold it.
struct FrameProgress {
    bool cyclePending = false;
    int cycleLine = 0;
    int32_t cycleAcc = 0, cycleBudget = 0;
    bool fastPending = false;
    int fastPart = 0;
    int64_t fastBudget = 0, fastCharged = 0;
    bool fastStepped = false;
};
FrameProgress frameProgress();
void setFrameProgress(const FrameProgress& progress);

// The pitch shift that fits the current layout: 1 for the 80-column
// picture (480 pixels a line), 0 for 40 columns (240 pixels).
int framePitchShift();
inline int frameWidth(int pitchShift) { return 240 << pitchShift; }
