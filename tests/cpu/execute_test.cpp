// The execute loop: budgets, interrupts and NMI, HALT, the stop checks that
// enter the monitor and the resumption after an execution breakpoint, the
// bound on zero-cycle steps, and routing of every access through the tables.
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "tests/cpu/test_bus.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using testbus::load;
using testbus::memRead;
using testbus::memWrite;
using testbus::ram;

class Execute : public ::testing::Test {
  protected:
    void SetUp() override { testbus::reset(); }
};

uint8_t regA() { return static_cast<uint8_t>(cpu.AF >> 8); }
uint16_t stackWord() {
    return static_cast<uint16_t>(ram[cpu.SP] | ram[(cpu.SP + 1) & 0xFFFF] << 8);
}

TEST_F(Execute, ResetAndInit) {
    cpu.TCOUNT = 1234;
    cpu.IP = 0x4000;
    cpu.IFF1 = cpu.IFF2 = 1;
    cpu.IM = 2;
    cpu.BC = 0x1122;
    cpuReset();
    EXPECT_EQ(cpu.IP, 0);
    EXPECT_EQ(cpu.SP, 0xFFFF);
    EXPECT_EQ(cpu.AF, 0xFFFF);
    EXPECT_EQ(cpu.IM, 0);
    EXPECT_EQ(cpu.IFF1 | cpu.IFF2, 0);
    EXPECT_EQ(cpu.intVector, 0xFF);
    EXPECT_EQ(cpu.TCOUNT, 1234u);
    EXPECT_EQ(cpu.BC, 0x1122);
    EXPECT_EQ(cpu.cyclesPerLine, 191u);
    EXPECT_EQ(ReadHandlers[0x1234], &memRead);
    EXPECT_EQ(WriteHandlers[0xFFFF], &memWrite);
}

// With nothing connected the processor still runs on an open bus: memory and
// ports read FFh (RST 38h), writes are lost, a stop request is only cleared.
TEST_F(Execute, EmptyBusEntriesGetTheOpenBus) {
    cpuConnect({.read = testbus::memRead});
    cpuInit(2995200);
    EXPECT_EQ(ReadHandlers[0x1234], &memRead);
    EXPECT_EQ(cpuBus.in(0x10), 0xFF);
    cpuBus.out(0x10, 0);
    EXPECT_TRUE(testbus::portLog.empty());
    writeByte(0x0000, 0x00);
    EXPECT_TRUE(testbus::writtenAddresses.empty());

    cpuConnect({});
    cpuInit(2995200);
    EXPECT_EQ(readByte(0x0000), 0xFF);
    cpu.breakRequest = 1;
    EXPECT_EQ(execute(0), 11);
    EXPECT_EQ(cpu.IP, 0x0038);
    EXPECT_EQ(cpu.breakRequest, 0u);
    EXPECT_TRUE(testbus::monitorCalls.empty());
}

TEST_F(Execute, BudgetRunsWholeSteps) {
    EXPECT_EQ(execute(0), 4);
    EXPECT_EQ(cpu.IP, 1);
    EXPECT_EQ(execute(1), 4);
    EXPECT_EQ(execute(10), 12);
    EXPECT_EQ(cpu.IP, 5);
    EXPECT_EQ(cpu.TCOUNT, 20u);
}

TEST_F(Execute, InterruptWaitsOneInstructionAfterEi) {
    load(0, {0xFB, 0x00, 0x00}); // EI; NOP
    cpu.IM = 1;
    cpu.SP = 0x8000;
    cpu.INT = 1;
    EXPECT_EQ(execute(0), 4);
    EXPECT_EQ(cpu.IP, 1);
    EXPECT_EQ(execute(0), 4 + 13);
    EXPECT_EQ(cpu.IP, 0x38);
    EXPECT_EQ(stackWord(), 2);
    EXPECT_EQ(cpu.IFF1 | cpu.IFF2, 0);
    EXPECT_EQ(cpu.INT, 1u); // the device withdraws it
}

uint16_t ackAddress;
int ackVector = -1;
void recordAck(uint16_t address, uint8_t vector) {
    ackAddress = address;
    ackVector = vector;
}

TEST_F(Execute, ModeTwoReadsVectorTableAndAcknowledges) {
    load(0x1234, {0x78, 0x56});
    cpu.IM = 2;
    cpu.I = 0x12;
    cpu.intVector = 0x35;
    cpu.intAck = recordAck;
    cpu.IFF1 = cpu.IFF2 = 1;
    cpu.INT = 1;
    ackVector = -1;
    EXPECT_EQ(execute(0), 4 + 19);
    EXPECT_EQ(cpu.IP, 0x5678);
    EXPECT_EQ(ackAddress, 0x5678);
    EXPECT_EQ(ackVector, 0x35);
    EXPECT_EQ(cpu.intAck, nullptr);

    // A callback that leaves a callback for another pending request keeps it.
    cpu.IP = 0;
    cpu.IFF1 = 1;
    cpu.intAck = [](uint16_t, uint8_t) { cpu.intAck = recordAck; };
    execute(0);
    EXPECT_EQ(cpu.intAck, recordAck);
}

TEST_F(Execute, ModeZeroActsAsModeOne) {
    cpu.IM = 0;
    cpu.intVector = 0xC7;
    cpu.intAck = recordAck;
    cpu.IFF1 = 1;
    cpu.INT = 1;
    ackVector = -1;
    EXPECT_EQ(execute(0), 4 + 13);
    EXPECT_EQ(cpu.IP, 0x38);
    EXPECT_EQ(ackVector, -1);
}

TEST_F(Execute, HaltRepeatsUntilNmiAndNmiIsEdgeTriggered) {
    load(0x0100, {0x76, 0x00});
    load(0x0066, {0xED, 0x45}); // RETN
    cpu.IP = 0x0100;
    cpu.SP = 0x8000;
    cpu.IFF2 = 1;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(execute(0), 4);
    EXPECT_EQ(cpu.IP, 0x0100);
    EXPECT_EQ(cpu.R, 3);

    nmiRaise();
    EXPECT_EQ(execute(0), 4 + 11);
    EXPECT_EQ(cpu.IP, 0x0066);
    EXPECT_EQ(stackWord(), 0x0101);
    EXPECT_EQ(cpu.IFF1, 0);
    EXPECT_EQ(cpu.IFF2, 1);
    EXPECT_EQ(execute(0), 14); // RETN, line still raised: no second NMI
    EXPECT_EQ(cpu.IP, 0x0101);
    EXPECT_EQ(cpu.IFF1, 1);
    nmiLower();
    nmiRaise();
    EXPECT_EQ(execute(0), 4 + 11);
    EXPECT_EQ(cpu.IP, 0x0066);
}

TEST_F(Execute, InterruptsBetweenRepeatsAndAfterLonePrefix) {
    load(0x0200, {0xED, 0xB0}); // LDIR
    cpu.IP = 0x0200;
    cpu.SP = 0x8000;
    cpu.BC = 5;
    cpu.HL = 0x3000;
    cpu.DE = 0x4000;
    cpu.IM = 1;
    cpu.IFF1 = 1;
    cpu.INT = 1;
    EXPECT_EQ(execute(0), 21 + 13);
    EXPECT_EQ(stackWord(), 0x0200); // returns to the LDIR
    EXPECT_EQ(cpu.BC, 4);

    load(0x0300, {0xDD, 0x00});
    cpu.IP = 0x0300;
    cpu.IFF1 = 1;
    EXPECT_EQ(execute(0), 4 + 13);
    EXPECT_EQ(stackWord(), 0x0301); // the NOP after the prefix runs later
}

TEST_F(Execute, ZeroCycleStepsAreBounded) {
    for (int a = 0; a < 65536; a += 2)
        load(static_cast<uint16_t>(a), {0xED, 0x00});
    EXPECT_EQ(execute(0), 0);
    EXPECT_EQ(cpu.IP, 2);
    EXPECT_EQ(execute(1000), 0);
    EXPECT_EQ(cpu.IP, 2 + 2 * MaxZeroCycleSteps);
}

// Opcode fetches go through the handler table, not straight to memory.
uint8_t fakeIncA(uint16_t) { return 0x3C; }
int conditionalOperandReads = 0;
uint8_t countRead(uint16_t address) {
    ++conditionalOperandReads;
    return memRead(address);
}

TEST_F(Execute, AccessesGoThroughHandlerTables) {
    ReadHandlers[0] = fakeIncA;
    cpu.AF = 0x0500;
    execute(0);
    EXPECT_EQ(regA(), 6);

    // Branches not taken skip their operands without reading them.
    load(0x0100, {0x20, 0x55, 0xC2, 0x34, 0x12, 0xC4, 0x34, 0x12}); // JR NZ; JP NZ; CALL NZ
    for (uint16_t a : {0x0101, 0x0103, 0x0104, 0x0106, 0x0107})
        ReadHandlers[a] = countRead;
    cpu.IP = 0x0100;
    cpu.AF = 0x0040; // Z set
    conditionalOperandReads = 0;
    EXPECT_EQ(execute(0) + execute(0) + execute(0), 7 + 10 + 10);
    EXPECT_EQ(cpu.IP, 0x0108);
    EXPECT_EQ(conditionalOperandReads, 0);
}

// ---------------------------------------------------------------- stops

// The read-watch handler of the memory map: the opcode fetch of a
// breakpointed address asks for a stop.
uint8_t readWatch(uint16_t address) {
    if (((WatchFlags[address] & WatchExecute) && address == static_cast<uint16_t>(cpu.IP - 1)) ||
        (WatchFlags[address] & WatchRead))
        cpu.breakRequest |= BreakHit;
    return memRead(address);
}
void writeWatch(uint16_t address, uint8_t value) {
    if (WatchFlags[address] & WatchWrite) cpu.breakRequest |= BreakHit;
    memWrite(address, value);
}

class Breakpoint : public Execute {
  protected:
    void SetUp() override {
        Execute::SetUp();
        // 0000: LD A,5   0002: LD HL,1234h (breakpoint)   0005: INC A   0006: JP 0002
        load(0, {0x3E, 0x05, 0x21, 0x34, 0x12, 0x3C, 0xC3, 0x02, 0x00});
        load(0x0010, {0x11, 0x78, 0x56}); // LD DE,5678h
        WatchFlags[2] = WatchExecute;
        ReadHandlers[2] = readWatch;
        cpu.SP = 0x8000;
    }
};

TEST_F(Breakpoint, StopReturnsBeforeTheInstructionAndTheRunGoesOn) {
    // The stop ends the call at once, with the cycles used so far.
    EXPECT_EQ(execute(1000), 7);
    EXPECT_EQ(stoppedAt, StopBeforeInstruction);
    ASSERT_EQ(testbus::monitorCalls.size(), 1u);
    EXPECT_EQ(testbus::monitorCalls[0].reason, StopBeforeInstruction);
    EXPECT_EQ(testbus::monitorCalls[0].ip, 2);
    EXPECT_EQ(cpu.IP, 2); // on the instruction, which has not run
    EXPECT_EQ(cpu.HL, 0);
    EXPECT_EQ(cpu.R, 1);
    EXPECT_EQ(cpu.TCOUNT, 7u);
    EXPECT_EQ(cpu.breakRequest, 0u);

    // Answering 0 runs the instruction as if nothing had been asked.
    testbus::monitorAction = [](int, uint16_t) { return 0; };
    EXPECT_EQ(execute(0), 10);
    EXPECT_EQ(stoppedAt, 0);
    EXPECT_EQ(cpu.HL, 0x1234);
    EXPECT_EQ(cpu.IP, 5);
    EXPECT_EQ(cpu.R, 2);
    EXPECT_EQ(cpu.breakRequest, 0u);

    // The next pass asks again.
    testbus::monitorAction = nullptr;
    execute(0); // INC A
    execute(0); // JP 0002
    EXPECT_EQ(execute(0), 0);
    EXPECT_EQ(testbus::monitorCalls.size(), 3u);
    EXPECT_EQ(regA(), 6);
    EXPECT_EQ(cpu.IP, 2);
}

TEST_F(Breakpoint, StoppedRunEqualsAStraightRun) {
    // Stopping and resuming leaves every register as a straight run does.
    static int stops = 0;
    testbus::monitorAction = [](int, uint16_t) { return stops++ % 2 == 0 ? 1 : 0; };
    int32_t used = 0;
    while (cpu.TCOUNT < 2000)
        used += execute(2000 - static_cast<int32_t>(cpu.TCOUNT));
    const Z80Cpu stopped = cpu;
    EXPECT_GT(stops, 20);

    testbus::reset();
    load(0, {0x3E, 0x05, 0x21, 0x34, 0x12, 0x3C, 0xC3, 0x02, 0x00});
    cpu.SP = 0x8000;
    EXPECT_EQ(execute(2000), used);
    EXPECT_EQ(cpu.TCOUNT, stopped.TCOUNT);
    EXPECT_EQ(cpu.AF, stopped.AF);
    EXPECT_EQ(cpu.IP, stopped.IP);
    EXPECT_EQ(cpu.R, stopped.R);
}

TEST_F(Breakpoint, WatchesAndStepsStopAfterTheInstruction) {
    // A write watch stops after the instruction, which is not repeated.
    load(0x0100, {0x34, 0x00}); // INC (HL)
    cpu.IP = 0x0100;
    cpu.HL = 0x4000;
    WatchFlags[0x4000] = WatchWrite;
    WriteHandlers[0x4000] = writeWatch;
    EXPECT_EQ(execute(1000), 11);
    EXPECT_EQ(stoppedAt, StopAfterInstruction);
    ASSERT_EQ(testbus::monitorCalls.size(), 1u);
    EXPECT_EQ(testbus::monitorCalls[0].reason, StopAfterInstruction);
    EXPECT_EQ(testbus::monitorCalls[0].ip, 0x0101);
    EXPECT_EQ(ram[0x4000], 1);

    // Checking every step: both boundaries of every instruction are seen,
    // and a stop after one instruction ends the call there.
    testbus::monitorCalls.clear();
    cpu.IP = 0x0000;
    cpu.breakRequest = BreakEveryStep;
    testbus::monitorAction = [](int when, uint16_t) { return when == StopAfterInstruction; };
    EXPECT_EQ(execute(1000), 7);
    EXPECT_EQ(cpu.IP, 2);
    ASSERT_EQ(testbus::monitorCalls.size(), 2u);
    EXPECT_EQ(testbus::monitorCalls[0].reason, StopBeforeInstruction);
    EXPECT_EQ(testbus::monitorCalls[0].ip, 0);
    EXPECT_EQ(cpu.breakRequest, BreakEveryStep);

    // An interrupt let in after the instruction comes before the stop.
    cpu.IFF1 = 1;
    cpu.IM = 1;
    cpu.INT = 1;
    load(0x0038, {0x00});
    testbus::monitorAction = [](int when, uint16_t) { return when == StopAfterInstruction; };
    EXPECT_EQ(execute(1000), 10 + 13);
    EXPECT_EQ(cpu.IP, 0x0038);
    EXPECT_EQ(testbus::monitorCalls.back().ip, 0x0038);
}

// ---------------------------------------------------------------- robustness

TEST_F(Execute, RandomCodeNeverStalls) {
    std::mt19937 random(80);
    for (int round = 0; round < 20; ++round) {
        for (auto& b : ram)
            b = static_cast<uint8_t>(random());
        cpu.IP = static_cast<uint16_t>(random());
        cpu.IFF1 = random() & 1;
        cpu.INT = random() & 1;
        cpu.IM = random() % 3;
        uint64_t before = cpu.TCOUNT;
        int32_t used = execute(20000);
        EXPECT_EQ(static_cast<uint64_t>(used), cpu.TCOUNT - before);
    }
}

} // namespace
