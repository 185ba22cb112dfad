// Faults found by fuzzing the machine: frames that never ended on memory
// full of zero-cycle opcodes, and a watched byte read as data moving IP.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <unistd.h>

#include "machine_fixture.h"

namespace {

// Every address reads as ED 00, an ED opcode that counts no cycles, also
// where the memory map lays ROM images over the array.
uint8_t zeroCycleOpcodes(uint16_t address) { return (address & 1) ? 0x00 : 0xED; }

class MachineProgress : public ::testing::Test {
  protected:
    std::vector<uint8_t> picture = std::vector<uint8_t>(FrameBufferBytes, 0);
    void SetUp() override {
        freshMachine();
        for (uint32_t a = 0; a < 0x10000; a += 2) {
            MainMemory[a] = 0xED;
            MainMemory[a + 1] = 0x00;
        }
        std::fill(std::begin(ReadHandlers), std::end(ReadHandlers), zeroCycleOpcodes);
    }
    void TearDown() override {
        std::memset(WatchFlags, 0, sizeof WatchFlags);
        for (uint32_t a = 0; a < 0x10000; a++) {
            setReadWatch(static_cast<uint16_t>(a), 0);
            setWriteWatch(static_cast<uint16_t>(a), 0);
        }
    }
};

TEST_F(MachineProgress, CycleBasedFramesEndOnZeroCycleOpcodes) {
    // A frame that never ends is caught by the alarm in a child process.
    ASSERT_EXIT(
        {
            alarm(10);
            runFrame(CyclesPerFrame, picture.data(), 0);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    uint16_t sp = cpu.SP;
    for (int i = 0; i < 3; i++)
        runFrame(CyclesPerFrame, picture.data(), 0);
    EXPECT_EQ(frameCounter, 3u);
    // Every frame still offered its NMI (one return address pushed each)
    // and drew the screen's characters.
    EXPECT_EQ(cpu.SP, static_cast<uint16_t>(sp - 6));
    EXPECT_NE(std::count(picture.begin(), picture.end(), 0xFF), 0);
    EXPECT_LE(lineCycles, 0);
    EXPECT_GT(lineCycles, -CyclesPerLine);
}

TEST_F(MachineProgress, FastFramesEndAndKeepTheirCarryBounded) {
    for (int i = 0; i < 50; i++)
        runFrameFast();
    EXPECT_EQ(frameCounter, 50u);
    EXPECT_LE(fastCarry, 0);
    EXPECT_GT(fastCarry, -CyclesPerFrame);
    // A normal program afterwards still gets whole frames of real cycles.
    poke(0x0000, {0xF3, 0x18, 0xFE}); // DI; JR $
    poke(0x0066, {0xED, 0x45});       // RETN
    std::fill(std::begin(ReadHandlers), std::end(ReadHandlers), memRead);
    cpuReset();
    fastCarry = 0;
    uint64_t start = cpu.TCOUNT;
    runFrameFast();
    EXPECT_GE(cpu.TCOUNT - start, uint64_t(CyclesPerFrame) - 32);
    EXPECT_LE(cpu.TCOUNT - start, uint64_t(CyclesPerFrame) + 32);
}

TEST_F(MachineProgress, DataReadOfBreakpointedWatchedByteKeepsIp) {
    WatchFlags[0x9000] = WatchExecute | WatchRead;
    setReadWatch(0x9000, WatchFlags[0x9000]);
    MainMemory[0x9000] = 0x5A;

    // LD A,(9000h) at 4000h reads the byte as an operand target: stop only.
    cpu.breakRequest = 0;
    cpu.IP = 0x4003;
    watchHitAddress = 0;
    EXPECT_EQ(readByte(0x9000), 0x5A);
    EXPECT_EQ(cpu.IP, 0x4003);
    EXPECT_EQ(cpu.breakRequest, BreakHit);
    EXPECT_EQ(watchHitAddress, 0x9000);

    // The opcode fetch of the same byte asks for the breakpoint's stop.
    cpu.breakRequest = 0;
    cpu.IP = 0x9001;
    watchHitAddress = 0;
    readByte(0x9000);
    EXPECT_EQ(cpu.IP, 0x9001);
    EXPECT_EQ(cpu.breakRequest, BreakHit);
    EXPECT_EQ(watchHitAddress, 0); // no read watch hit: the breakpoint's
}

} // namespace
