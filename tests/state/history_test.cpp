// Going back in time: the machine stepped back, sent back frames, and asked
// who wrote a byte ends in exactly the state it had then, byte for byte,
// with keys, typing and a playing tape coming in from outside; and a change
// the history did not hear of is caught instead of replayed wrongly.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "abc80/abc80.h"
#include "abc80/history.h"
#include "abc80/save_state.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "media/tape_deck.h"
#include "monitor/debug.h"
#include "tests/state/state_machine.h"

using namespace state_test;

namespace {

// One frame the way a front end runs it: a pending frame in its own mode,
// and the history told of every completed frame.
void frontEndFrame() {
    if (fastFramePending() || (!cycleBasedFrames && !framePending()))
        runFrameFast();
    else
        runFrame(CyclesPerFrame, nullptr, 0);
    if (!framePending()) historyFrameEnd();
}

void frames(int n) {
    for (int i = 0; i < n; ++i)
        frontEndFrame();
}

Bytes stateNow() {
    Bytes state;
    saveState(state);
    return state;
}

void stepInto() {
    debugStepInto();
    ASSERT_TRUE(debugRun(2));
}

// True in the last scan line of a frame, in either timing mode.
bool inLastLine() {
    const FrameProgress p = frameProgress();
    return (p.cyclePending && p.cycleLine == LinesPerFrame - 1) ||
           (p.fastPending && p.fastPart == 1);
}

class History : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        bootMachine();
        cycleBasedFrames = GetParam();
        debugSetRunner(frontEndFrame);
    }
    void TearDown() override {
        debugSetRunner(nullptr);
        debugPowerOn();
        CloseTape();
        historyConfigure({});
    }
    Scratch scratch;
};

// A program that reads the keyboard, so keys and typing change its course.
constexpr const char* Program = "10 A$=INKEY$\r20 PRINT A$;\r30 GOTO 10\rRUN\r";

TEST_P(History, StepsBackThroughAFrameEndToEveryEarlierState) {
    const std::string wav = scratch.path("tone.wav");
    writeFile(wav, squareWav(4, 9));
    ASSERT_TRUE(OpenTapeForReading(wav));
    SetTapeMotor(1, cpu.TCOUNT);
    historyConfigure({1, 20});
    historyMachineChanged(); // the tape went in from outside
    typeText(Program);
    frames(20);
    ASSERT_TRUE(TapeIsPlaying());

    // Stopped a few dozen instructions before the frame ends.
    for (int i = 0; i < 40000 && !inLastLine(); ++i)
        stepInto();
    ASSERT_TRUE(inLastLine());

    constexpr int Steps = 160;
    std::vector<Bytes> before;
    const uint32_t firstFrame = frameCounter;
    for (int i = 0; i < Steps; ++i) {
        if (i == 30) keyPressed('A');
        if (i == 70) keyReleased('A');
        if (i == 90) keyPressed('B');
        before.push_back(stateNow());
        stepInto();
    }
    ASSERT_GT(frameCounter, firstFrame) << "the steps did not cross a frame end";

    for (int i = Steps - 1; i >= 0; --i) {
        std::string message;
        ASSERT_TRUE(historyStepBack(message)) << "step " << i << ": " << message;
        ASSERT_EQ(stateNow(), before[static_cast<size_t>(i)])
            << "after stepping back to step " << i;
    }
    // Going on from there runs the same way again.
    stepInto();
    EXPECT_EQ(stateNow(), before[1]);
}

TEST_P(History, BackFramesLandsOnEachFrameStart) {
    historyConfigure({4, 20});
    typeText(Program);
    frames(3);
    std::vector<Bytes> starts; // starts[k]: the state frame k began in
    std::vector<uint32_t> numbers;
    for (int k = 0; k < 30; ++k) {
        if (k == 5) keyPressed('Q');
        if (k == 9) keyReleased('Q');
        if (k == 17) typeText("HELLO");
        numbers.push_back(frameCounter);
        starts.push_back(stateNow());
        frontEndFrame();
    }
    // Stopped inside a frame: 0 is the start of that frame.
    for (int i = 0; i < 200; ++i)
        stepInto();
    ASSERT_TRUE(framePending());
    std::string message;
    ASSERT_TRUE(historyBackFrames(0, message)) << message;
    EXPECT_FALSE(framePending());
    EXPECT_EQ(frameCounter, numbers.back() + 1);

    for (int back : {3, 1, 7, 2}) {
        const uint32_t target = frameCounter - static_cast<uint32_t>(back);
        ASSERT_TRUE(historyBackFrames(static_cast<uint32_t>(back), message)) << message;
        ASSERT_EQ(frameCounter, target);
        ASSERT_EQ(stateNow(), starts[target - numbers.front()]) << "frame " << target;
    }

    // Further than the ring reaches: refused, the machine where it was.
    const Bytes here = stateNow();
    EXPECT_FALSE(historyBackFrames(1000, message));
    EXPECT_EQ(message, "Not recorded that far back.");
    EXPECT_EQ(stateNow(), here);
}

TEST_P(History, AChangeTheLogDidNotHoldIsCaughtNotReplayed) {
    historyConfigure({2, 10});
    frames(7);
    // Memory changed behind the history's back (no historyMachineChanged),
    // and the machine ran on.
    MainMemory[0xF000] ^= 0x5A;
    frames(1);
    stepInto();
    const Bytes changed = stateNow();
    std::string message;
    EXPECT_FALSE(historyStepBack(message));
    EXPECT_NE(message.find("changed from outside"), std::string::npos) << message;
    EXPECT_EQ(stateNow(), changed);
    // The history starts again there.
    frames(1);
    stepInto();
    const Bytes later = stateNow();
    stepInto();
    ASSERT_TRUE(historyStepBack(message)) << message;
    EXPECT_EQ(stateNow(), later);
}

INSTANTIATE_TEST_SUITE_P(TimingModes, History, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "CycleBased" : "Fast"; });

// The test's own program in RAM, run from 8100h.
class HistoryProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        bootMachine();
        debugSetRunner(frontEndFrame);
        historyConfigure({3, 20});
    }
    void TearDown() override {
        debugSetRunner(nullptr);
        debugPowerOn();
        historyConfigure({});
    }
    // Places the program and starts it, as the monitor's g would.
    void start(std::initializer_list<uint8_t> bytes) {
        uint16_t at = Origin;
        for (uint8_t b : bytes)
            MainMemory[at++] = b;
        cpu.IP = Origin;
        cpu.AF = 0;
        cpu.IFF1 = cpu.IFF2 = 0;
        historyMachineChanged();
    }
    static constexpr uint16_t Origin = 0x8100;
};

// Writes 11h, 22h, 22h again and 23h to 9000h, with delays of a few frames
// between, then waits in a loop.
//   8100 LD HL,9000h / LD (HL),11h / CALL delay / LD A,22h / LD (9000h),A
//   810D CALL delay / LD (HL),A / CALL delay / INC (HL) (at 8114)
//   8115 JR 8115
//   8118 delay: LD D,40 / outer: LD B,0 / DJNZ $ / DEC D / JR NZ outer / RET
//   (RET at 8121)
constexpr std::initializer_list<uint8_t> Writer = {
    0x21, 0x00, 0x90, 0x36, 0x11, 0xCD, 0x18, 0x81, 0x3E, 0x22, 0x32, 0x00,
    0x90, 0xCD, 0x18, 0x81, 0x77, 0xCD, 0x18, 0x81, 0x34, 0x18, 0xFE, 0x00,
    0x16, 0x28, 0x06, 0x00, 0x10, 0xFE, 0x15, 0x20, 0xF9, 0xC9};

TEST_F(HistoryProgram, WhoWroteFindsEachWriterInTurn) {
    const uint8_t initial = MainMemory[0x9000];
    start(Writer);
    frames(20);
    ASSERT_EQ(cpu.IP, 0x8115);
    ASSERT_EQ(MainMemory[0x9000], 0x23);

    struct Expected {
        uint16_t ip;
        uint8_t before, after;
    };
    // INC (HL), the same value stored again by LD (HL),A, LD (9000h),A,
    // then LD (HL),11h.
    for (const Expected& e : {Expected{0x8114, 0x22, 0x23}, Expected{0x8110, 0x22, 0x22},
                              Expected{0x810A, 0x11, 0x22}, Expected{0x8103, initial, 0x11}}) {
        HistoryWrite write;
        std::string message;
        ASSERT_TRUE(historyWhoWrote(0x9000, write, message)) << message;
        EXPECT_EQ(write.ip, e.ip) << message;
        EXPECT_EQ(write.before, e.before) << message;
        EXPECT_EQ(write.after, e.after) << message;
        // Stopped before the writer, at the T-state it started at.
        EXPECT_EQ(cpu.IP, e.ip);
        EXPECT_EQ(cpu.TCOUNT, write.tcount);
        EXPECT_EQ(MainMemory[0x9000], e.before);
    }
    // Before the first write: nobody wrote it, and the machine stays.
    const Bytes here = stateNow();
    HistoryWrite write;
    std::string message;
    EXPECT_FALSE(historyWhoWrote(0x9000, write, message));
    EXPECT_EQ(message, "No write to 9000h in the recorded history.");
    EXPECT_EQ(stateNow(), here);
}

TEST_F(HistoryProgram, BackToBreakpointFindsTheLatestHitWhoseConditionHolds) {
    start(Writer);
    frames(20);
    std::string message;
    EXPECT_FALSE(historyBackToBreakpoint(message));
    EXPECT_EQ(message, "No breakpoints set.");

    // The delay routine's RET runs three times; A is 22h only after the
    // second call.
    DebugBreakpoint ret;
    ret.from = ret.to = 0x8121;
    ret.kinds = WatchExecute;
    debugAddBreakpoint(ret);
    ASSERT_TRUE(historyBackToBreakpoint(message)) << message;
    EXPECT_EQ(cpu.IP, 0x8121);
    EXPECT_EQ(MainMemory[0x9000], 0x22); // before INC (HL)
    const uint64_t third = cpu.TCOUNT;
    ASSERT_TRUE(historyBackToBreakpoint(message)) << message;
    EXPECT_EQ(cpu.IP, 0x8121);
    EXPECT_LT(cpu.TCOUNT, third);

    debugClearBreakpoints();
    DebugBreakpoint first = ret;
    ASSERT_TRUE(debugParseCondition("A=00", first.condition));
    debugAddBreakpoint(first);
    ASSERT_TRUE(historyBackToBreakpoint(message)) << message;
    EXPECT_EQ(cpu.IP, 0x8121);
    EXPECT_EQ(cpu.AF >> 8, 0);
    EXPECT_EQ(MainMemory[0x9000], 0x11);
    // Resuming runs the instruction the machine holds at, and the program
    // goes on to the same end.
    frames(20);
    EXPECT_EQ(MainMemory[0x9000], 0x23);
}

} // namespace
