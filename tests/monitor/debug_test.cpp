// The debug layer headless: conditions, hit counts, watches on ranges,
// stepping over and out of calls, run to, and the stop that returns: a run
// stopped and resumed many times, mid-frame, ends in the same machine state,
// byte for byte, as the same run straight.
#include "monitor/debug.h"

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/roms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class DebugLayer : public ::testing::Test {
  protected:
    void SetUp() override {
        machinePowerOn();
        dosRom = DosRomNone;
        std::memset(MainMemory + 0x8000, 0, 0x8000);
        cpu.SP = 0xF000;
    }
    void TearDown() override { debugPowerOn(); }

    static void poke(uint16_t address, std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes)
            MainMemory[address++] = b;
    }
    static void counterProgram() {
        // 9000 ld a,05h / 9002 ld (a000h),a / 9005 ld hl,a000h
        // 9008 inc (hl) / 9009 jr 9008h
        poke(0x9000, {0x3E, 0x05, 0x32, 0x00, 0xA0, 0x21, 0x00, 0xA0, 0x34, 0x18, 0xFD});
        cpu.IP = 0x9000;
    }
    static void callProgram() {
        // 9000 call 9100h / 9003 ld b,a / 9004 jr 9004h
        // 9100 ld a,01h / 9102 call 9200h / 9105 ret
        // 9200 inc a / 9201 ret
        poke(0x9000, {0xCD, 0x00, 0x91, 0x47, 0x18, 0xFE});
        poke(0x9100, {0x3E, 0x01, 0xCD, 0x00, 0x92, 0xC9});
        poke(0x9200, {0x3C, 0xC9});
        cpu.IP = 0x9000;
    }
    static DebugBreakpoint entry(uint16_t from, uint16_t to, uint32_t kinds,
                                 const char* condition = "", uint32_t hitCount = 1) {
        DebugBreakpoint b;
        b.from = from;
        b.to = to;
        b.kinds = kinds;
        b.hitCount = hitCount;
        EXPECT_TRUE(debugParseCondition(condition, b.condition)) << condition;
        return b;
    }
};

TEST(DebugConditions, ReadsRegistersMemoryAndComparisons) {
    cpu = Z80Cpu{};
    cpu.AF = 0x00FF;
    cpu.HL = 0x7C01;
    cpu.SP = 0xF000;
    MainMemory[0x9000] = 0x41;
    const struct {
        const char* text;
        bool holds;
        const char* shown;
    } cases[] = {
        {"A=0", true, "A=00"},
        {"a == 1", false, "A=01"},
        {"F=FF", true, "F=FF"},
        {"HL>7C00", true, "HL>7C00"},
        {"HL<7C01", false, "HL<7C01"},
        {"hl<=7c01", true, "HL<=7C01"},
        {"SP>=F001", false, "SP>=F001"},
        {"(9000)=41", true, "(9000)=41"},
        {"(9000)!=41", false, "(9000)!=41"},
        {"PC<>0", false, "IP!=0000"},
    };
    for (const auto& c : cases) {
        DebugCondition condition;
        ASSERT_TRUE(debugParseCondition(c.text, condition)) << c.text;
        EXPECT_EQ(debugConditionHolds(condition), c.holds) << c.text;
        EXPECT_EQ(debugConditionText(condition), c.shown) << c.text;
    }
    // What is not a condition leaves the old one as it was.
    DebugCondition kept;
    ASSERT_TRUE(debugParseCondition("B=12", kept));
    for (const char* bad :
         {"Q=1", "A=100", "HL>10000", "A", "=5", "(zz)=1", "A=>1", "A=g", "(10000)=1", "HLX=1"}) {
        EXPECT_FALSE(debugParseCondition(bad, kept)) << bad;
        EXPECT_EQ(debugConditionText(kept), "B=12") << bad;
    }
    EXPECT_TRUE(debugParseCondition("  ", kept));
    EXPECT_TRUE(debugConditionHolds(kept));
}

TEST_F(DebugLayer, ConditionsAndHitCountsChooseTheStop) {
    counterProgram();
    // Stops only where the condition holds: the sixth pass through inc.
    const int conditional = debugAddBreakpoint(entry(0x9008, 0x9008, WatchExecute, "(A000)=0A"));
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(debugLastStop().reason, DebugStopReason::Breakpoint);
    EXPECT_EQ(debugLastStop().entry, conditional);
    EXPECT_EQ(cpu.IP, 0x9008);
    EXPECT_EQ(MainMemory[0xA000], 0x0A);
    debugRemoveBreakpoint(conditional);

    // A hit count of three: the third pass after the one the run resumes
    // from, then every later one.
    debugAddBreakpoint(entry(0x9008, 0x9008, WatchExecute, "", 3));
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(MainMemory[0xA000], 0x0D);
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(MainMemory[0xA000], 0x0E);
    EXPECT_EQ(debugBreakpoints()[0].hits, 4u);

    // Without entries the frame runs to its end.
    debugClearBreakpoints();
    EXPECT_EQ(WatchFlags[0x9008], 0u);
    EXPECT_EQ(ReadHandlers[0x9008], memRead);
    EXPECT_FALSE(debugRun(1));
    EXPECT_FALSE(framePending());
}

TEST_F(DebugLayer, WatchesOnRangesNameTheAddressAndKind) {
    counterProgram();
    debugAddBreakpoint(entry(0x9FF0, 0xA00F, WatchWrite));
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(debugLastStop().reason, DebugStopReason::Watchpoint);
    EXPECT_EQ(debugLastStop().address, 0xA000);
    EXPECT_EQ(debugLastStop().kind, WatchWrite);
    EXPECT_EQ(cpu.IP, 0x9005); // after ld (a000h),a
    // A range given backwards is the same range.
    debugClearBreakpoints();
    debugAddBreakpoint(entry(0xA00F, 0x9FFF, WatchRead, "(A000)>6"));
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(debugLastStop().kind, WatchRead);
    // The condition is looked at after the instruction: the first inc (hl)
    // read 5 and left 6 (no stop), the second read 6 and left 7.
    EXPECT_EQ(MainMemory[0xA000], 7);
    EXPECT_EQ(cpu.IP, 0x9009);
    // Removing one entry keeps what another still watches at that address.
    debugAddBreakpoint(entry(0xA000, 0xA000, WatchWrite));
    debugRemoveBreakpoint(0);
    EXPECT_EQ(WatchFlags[0xA000], WatchWrite);
    EXPECT_EQ(WatchFlags[0xA001], 0u);
    EXPECT_EQ(ReadHandlers[0xA000], memRead);
    EXPECT_EQ(WriteHandlers[0xA000], writeWatchHandler);
}

TEST_F(DebugLayer, StepIntoOverAndOutOfCalls) {
    callProgram();
    debugStepOver(); // the whole call, two levels deep
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(debugLastStop().reason, DebugStopReason::Step);
    EXPECT_EQ(cpu.IP, 0x9003);
    EXPECT_EQ(cpu.SP, 0xF000);
    EXPECT_EQ(cpu.AF >> 8, 2);
    EXPECT_EQ(WatchFlags[0x9003], 0u); // the step's target is gone

    callProgram();
    debugStepInto();
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9100);
    debugStepOver(); // ld a,01h is no call: one step
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9102);
    debugStepInto();
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9200);
    // Out of the inner routine only, past its ret.
    debugStepOut();
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9105);
    debugStepOut();
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9003);
    EXPECT_EQ(cpu.SP, 0xF000);

    // A breakpoint met on the way ends a step over there.
    callProgram();
    debugToggleBreakpoint(0x9200);
    debugStepOver();
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(debugLastStop().reason, DebugStopReason::Breakpoint);
    EXPECT_EQ(cpu.IP, 0x9200);
    EXPECT_EQ(WatchFlags[0x9003], 0u);
    EXPECT_EQ(cpu.breakRequest, 0u);
}

TEST_F(DebugLayer, RunToAndBreakNow) {
    callProgram();
    debugRunTo(0x9105);
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9105);
    EXPECT_EQ(cpu.AF >> 8, 2);
    debugBreakNow();
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9003);
    // A run-to that is never reached lets the frames run to their end.
    debugRunTo(0x1234);
    EXPECT_FALSE(debugRun(2));
    EXPECT_EQ(WatchFlags[0x1234], WatchTarget);
    debugCancelStep();
    EXPECT_EQ(WatchFlags[0x1234], 0u);
    EXPECT_EQ(ReadHandlers[0x1234], memRead);
}

// The open firmware at its prompt, typing a line, with the picture drawn:
// the same number of frames run straight and run with many stops in the
// middle of frames end in the same state.
class StoppedRun : public ::testing::TestWithParam<bool> {
  protected:
    std::filesystem::path roms;
    void SetUp() override {
        roms = std::filesystem::temp_directory_path() /
               ("orvane-debug-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(roms);
        setRomFolder(roms.string());
        installRomImages();
    }
    void TearDown() override {
        debugPowerOn();
        std::filesystem::remove_all(roms);
    }

    std::vector<uint8_t> run(bool withStops, int* stops) {
        machinePowerOn();
        dosRom = DosRomNone;
        cycleBasedFrames = GetParam();
        std::vector<uint8_t> picture(FrameBufferBytes);
        if (withStops) {
            // The NMI entry once a frame, writes to the screen, and every
            // 997th write to the firmware's stack.
            debugToggleBreakpoint(0x0066);
            DebugBreakpoint b;
            b.from = 0x7C00;
            b.to = 0x7FFF;
            b.kinds = WatchWrite;
            debugAddBreakpoint(b);
            b.from = 0xFE00;
            b.to = 0xFFFF;
            b.hitCount = 997;
            debugAddBreakpoint(b);
        }
        *stops = 0;
        for (int frame = 0; frame < 120; ++frame) {
            if (frame == 60) typeText("PRINT 12*34\r");
            for (;;) {
                if (GetParam())
                    runFrame(CyclesPerFrame, picture.data(), 0);
                else
                    runFrameFast();
                if (!debugStopped()) break;
                ++*stops;
                EXPECT_TRUE(framePending());
                debugResume();
            }
        }
        debugClearBreakpoints();
        std::vector<uint8_t> state;
        saveState(state);
        return state;
    }
};

TEST_P(StoppedRun, EndsInTheSameStateAsAStraightRun) {
    int straightStops = 0, stops = 0;
    const std::vector<uint8_t> straight = run(false, &straightStops);
    const std::vector<uint8_t> stopped = run(true, &stops);
    EXPECT_EQ(straightStops, 0);
    EXPECT_GT(stops, 200); // every frame, and more within frames
    EXPECT_TRUE(straight == stopped) << "the stops changed the run";
    EXPECT_NE(std::string(reinterpret_cast<const char*>(MainMemory + 0x7C00), 0x400).find("408"),
              std::string::npos)
        << "the typed line ran";
}

INSTANTIATE_TEST_SUITE_P(BothTimings, StoppedRun, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "CycleBased" : "Fast"; });

TEST(DebugSymbols, ReadsLabelListsEquatesAndTheFirmwareLabels) {
    debugClearSymbols();
    const auto folder = std::filesystem::temp_directory_path() /
                        ("orvane-symbols-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "game.sym").string();
    std::ofstream(file) << "; symbols of a game\n"
                           "start:\tequ $9000\n"
                           "SCREEN EQU 7C00h ; the picture\n"
                           "lives: 0x9F00\n"
                           "count = 1234\n"
                           "\n"
                           "10 PRINT\n"
                           "toobig: equ $10000\n"
                           "hexplain: 7C00\n";
    DebugSymbolsRead read;
    std::string cause;
    ASSERT_TRUE(debugLoadSymbolFile(file, read, &cause)) << cause;
    EXPECT_EQ(read.read, 4);
    EXPECT_EQ(read.skipped, 3); // a line number, a value over FFFFh, hex without a mark
    uint16_t address = 0;
    EXPECT_TRUE(debugSymbolAddress("start", address));
    EXPECT_EQ(address, 0x9000);
    EXPECT_TRUE(debugSymbolAddress("SCREEN", address));
    EXPECT_EQ(address, 0x7C00);
    EXPECT_TRUE(debugSymbolAddress("count", address));
    EXPECT_EQ(address, 1234);
    EXPECT_FALSE(debugSymbolAddress("screen", address)); // names keep their case
    ASSERT_NE(debugSymbolAt(0x9F00), nullptr);
    EXPECT_EQ(*debugSymbolAt(0x9F00), "lives");
    EXPECT_EQ(debugSymbolAt(0x9F01), nullptr);

    EXPECT_FALSE(debugLoadSymbolFile(folder.string(), read, &cause));
    EXPECT_EQ(cause, "is a folder");
    EXPECT_FALSE(debugLoadSymbolFile((folder / "missing.sym").string(), read, &cause));
    EXPECT_EQ(cause, "cannot be read");
    std::filesystem::remove_all(folder);

    // The label list the assembler wrote when it built the open firmware.
    debugClearSymbols();
    const DebugSymbolsRead firmware = debugAddFirmwareSymbols();
    EXPECT_GT(firmware.read, 500);
    EXPECT_EQ(firmware.skipped, 0);
    EXPECT_TRUE(debugSymbolAddress("curline", address));
    EXPECT_GE(address, 0x8000);
    EXPECT_TRUE(debugSymbolAddress("runline", address));
    EXPECT_LT(address, 0x4000);
    debugClearSymbols();
    EXPECT_EQ(debugSymbolCount(), 0u);
}

TEST_F(StoppedRun, BasicLineAndABreakpointOnIt) {
    machinePowerOn();
    dosRom = DosRomNone;
    for (int i = 0; i < 50; ++i)
        runFrameFast();
    EXPECT_EQ(debugBasicLine(), 0);
    typeText("10 A=A+1\r20 GOTO 10\rRUN\r");
    ASSERT_GE(debugBreakOnBasicLine(20), 0);
    auto runToStop = [] {
        for (int frame = 0; frame < 200; ++frame) {
            runFrameFast();
            if (debugStopped()) return true;
        }
        return false;
    };
    ASSERT_TRUE(runToStop());
    EXPECT_EQ(debugLastStop().reason, DebugStopReason::Watchpoint);
    EXPECT_EQ(debugBasicLine(), 20);
    debugResume();
    // Line 10 starts in between; the next stop is line 20 again.
    ASSERT_TRUE(runToStop());
    EXPECT_EQ(debugBasicLine(), 20);
    EXPECT_EQ(debugBreakpoints()[0].hits, 2u);
    debugResume();
    while (framePending())
        runFrameFast();
    // Another BASIC than the open firmware has no line to show.
    basicRom = BasicRomExternal;
    EXPECT_EQ(debugBasicLine(), -1);
    EXPECT_EQ(debugBreakOnBasicLine(10), -1);
}

} // namespace
