// The cassette through the whole machine: a Z80 program records a pattern of
// output toggles on port 3Ah, and another Z80 program, run by the frame
// driver in either timing mode, times the edges of the played-back WAV at
// port 3Ah with a polling loop.
#include "abc80/abc80.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "media/tape_deck.h"
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint16_t RecordProgram = 0x8000;
constexpr uint16_t PlayProgram = 0x8100;
constexpr uint16_t DelayTable = 0x9000;
constexpr uint16_t Results = 0xA000;

// Records: motor on, then for each table entry B: wait B DJNZ rounds and
// flip bit 6; then a pause and motor off, which ends the recording.
const uint8_t recordCode[] = {
    0xF3,             // DI
    0x31, 0x00, 0xFF, // LD SP,0FF00h
    0x3E, 0x20,       // LD A,20h        motor on, output clear
    0xD3, 0x3A,       // OUT (3Ah),A
    0x21, 0x00, 0x90, // LD HL,9000h
    0x16, 0x00,       // LD D,count      (patched)
    0x46,             // loop: LD B,(HL)
    0x23,             // INC HL
    0x10, 0xFE,       // DJNZ $
    0xEE, 0x40,       // XOR 40h
    0xD3, 0x3A,       // OUT (3Ah),A
    0x15,             // DEC D
    0x20, 0xF5,       // JR NZ,loop
    0x06, 0x00,       // LD B,0
    0x10, 0xFE,       // DJNZ $          a pause before the motor stops
    0x3E, 0x00,       // LD A,00h
    0xD3, 0x3A,       // OUT (3Ah),A     motor off
    0x18, 0xFE,       // JR $
};
constexpr int RecordCountAt = 12;

// Times edges: arm the input latch (bit 6 clear), count polls of port 3Ah
// until bit 7 drops, store the count, again.
const uint8_t playCode[] = {
    0xF3,             // DI
    0x31, 0x00, 0xFF, // LD SP,0FF00h
    0x21, 0x00, 0xA0, // LD HL,0A000h
    0x16, 0x00,       // LD D,count      (patched)
    0x01, 0x00, 0x00, // next: LD BC,0
    0x3E, 0x20,       // LD A,20h        motor on, bit 6 clear arms the latch
    0xD3, 0x3A,       // OUT (3Ah),A
    0xDB, 0x3A,       // poll: IN A,(3Ah)
    0x03,             // INC BC
    0x07,             // RLCA
    0x38, 0xFA,       // JR C,poll
    0x71,             // LD (HL),C
    0x23,             // INC HL
    0x70,             // LD (HL),B
    0x23,             // INC HL
    0x15,             // DEC D
    0x20, 0xEC,       // JR NZ,next
    0x18, 0xFE,       // JR $
};
constexpr int PlayCountAt = 8;
// IN A,(n) counts 10 cycles on this processor, INC BC 6, RLCA 4, JR taken 12.
constexpr int PollCycles = 32;
// From the IN that sees an edge to the first IN after re-arming, less one poll.
constexpr int BetweenEdgesOverhead = 55;

class TapeMachineTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        machineConnect();
        cpuInit(MachineClockHz);
        CloseTape();
        SetTapeMotor(0, cpu.TCOUNT);
        // Our own ROM in the external slot: only an NMI handler (RETN) at 0066h.
        basicRom = BasicRomExternal;
        dosRom = DosRomNone;
        std::memset(MainMemory, 0, sizeof MainMemory);
        MainMemory[0x66] = 0xED;
        MainMemory[0x67] = 0x45;
        std::memset(PortLatches, 0, sizeof PortLatches);
    }
    void TearDown() override {
        CloseTape();
        basicRom = BasicRomOld;
    }
    ScratchDir dir_;
};

TEST_P(TapeMachineTest, EdgesRecordedByAProgramReachPort3AhWithTheirTiming) {
    const bool fastTiming = GetParam();
    // A lead-in of even pulses, then a pattern of short and long ones.
    std::vector<uint8_t> delays(120, 160);
    const uint8_t pattern[] = {160, 80, 80, 160, 230, 80, 160, 120, 80, 80, 160, 200};
    for (int round = 0; round < 3; ++round)
        delays.insert(delays.end(), pattern, pattern + 12);

    std::memcpy(MainMemory + RecordProgram, recordCode, sizeof recordCode);
    MainMemory[RecordProgram + RecordCountAt] = static_cast<uint8_t>(delays.size());
    std::memcpy(MainMemory + DelayTable, delays.data(), delays.size());
    cpu.IP = RecordProgram;
    ASSERT_EQ(1, StartTapeRecording(dir_.path("prog.wav"), 44100));

    // Step the recording program and note the cycle of every output flip.
    std::vector<uint64_t> toggles;
    uint8_t last = PortLatches[0x12];
    for (int steps = 0; steps < 200000 && tapeDeck.file; ++steps) {
        execute(0);
        uint8_t now = PortLatches[0x12];
        if ((now ^ last) & 0x40) toggles.push_back(cpu.TCOUNT);
        last = now;
    }
    ASSERT_EQ(nullptr, tapeDeck.file) << "the motor stop ends the recording";
    ASSERT_EQ(delays.size(), toggles.size());

    // Play it back under the frame driver.
    const size_t measured = toggles.size() - 10; // the first pulses settle the filters
    std::memcpy(MainMemory + PlayProgram, playCode, sizeof playCode);
    MainMemory[PlayProgram + PlayCountAt] = static_cast<uint8_t>(measured);
    cpu.IP = PlayProgram;
    OpenTapeForReading(dir_.path("prog.wav"));
    ASSERT_EQ(1, TapeIsPlaying());
    lastTapeLevel = SampleTapeInput(cpu.TCOUNT);
    for (int frame = 0; frame < 100; ++frame)
        if (fastTiming)
            runFrameFast();
        else
            runFrame(CyclesPerFrame, nullptr, 0);

    std::vector<double> played; // cycles from one detected edge to the next
    for (size_t k = 0; k < measured; ++k) {
        unsigned polls = MainMemory[Results + 2 * k] | (MainMemory[Results + 2 * k + 1] << 8);
        ASSERT_GT(polls, 0u) << "edge " << k << " never arrived";
        if (k > 0) played.push_back(BetweenEdgesOverhead + double(polls) * PollCycles);
    }
    // The first pulses of the lead-in may be swallowed while the filters
    // settle, so line the played intervals up with the recorded ones where
    // they match best; the pattern after the lead-in makes that unambiguous.
    // Each edge time is known to a sample period (68 cycles), a poll, and an
    // NMI that may fall in the interval.
    const double tolerance = 2995200.0 / 44100 + PollCycles + 25;
    double bestWorst = 1e9;
    const size_t settled = 4; // intervals of the lead-in's first pulses are not compared
    for (size_t shift = 1; shift <= 10; ++shift) {
        double worst = 0;
        for (size_t k = settled; k + shift < toggles.size() && k < played.size(); ++k) {
            size_t t = k + shift;
            double recorded = double(toggles[t] - toggles[t - 1]);
            worst = std::max(worst, std::abs(recorded - played[k]));
        }
        bestWorst = std::min(bestWorst, worst);
    }
    EXPECT_LE(bestWorst, tolerance);
}

INSTANTIATE_TEST_SUITE_P(BothTimingModes, TapeMachineTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Fast" : "CycleBased";
                         });

} // namespace
