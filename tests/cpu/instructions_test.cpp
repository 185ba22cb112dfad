// Instruction rules that single-instruction recordings cannot show: address
// wrap-around, ports taken from C alone, the block instructions run step by
// step, RETI's callback, emulator traps and undefined opcodes, and chains of
// prefixes.
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "tests/cpu/test_bus.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testbus::load;
using testbus::PortAccess;
using testbus::ram;

class Instructions : public ::testing::Test {
  protected:
    void SetUp() override {
        testbus::reset();
        cpu.SP = 0x8000;
        cpu.IP = 0x0100;
    }
    // Runs steps and returns the cycles of each.
    std::vector<int> steps(int n) {
        std::vector<int> cycles;
        for (int i = 0; i < n; ++i)
            cycles.push_back(execute(0));
        return cycles;
    }
};

uint8_t flags() { return static_cast<uint8_t>(cpu.AF); }
uint8_t regA() { return static_cast<uint8_t>(cpu.AF >> 8); }

TEST_F(Instructions, AddressesWrapAround) {
    load(0x0100, {0x2A, 0xFF, 0xFF}); // LD HL,(FFFFh)
    ram[0xFFFF] = 0x34;
    ram[0x0000] = 0x12;
    execute(0);
    EXPECT_EQ(cpu.HL, 0x1234);

    load(0x0103, {0xDD, 0x77, 0x00, 0xDD, 0x36, 0x01, 0x99, 0xDD, 0xCB, 0xFF, 0x56});
    cpu.IX = 0xFFFF;
    cpu.AF = 0x5500;
    steps(2);
    EXPECT_EQ(ram[0xFFFF], 0x55);
    EXPECT_EQ(ram[0x0000], 0x99);
    cpu.IX = 0x0000; // BIT 2,(IX-1) tests FFFFh (55h, bit set), not 0000h (99h, bit clear)
    EXPECT_EQ(execute(0), 20);
    EXPECT_EQ(flags() & FlagZ, 0);
}

TEST_F(Instructions, PortsComeFromCOrTheImmediateAlone) {
    load(0x0100, {0xED, 0x40, 0xED, 0x79, 0xDB, 0x42});
    cpu.BC = 0x1238;
    cpu.AF = 0x77FF;
    testbus::portInput = {0x00, 0x5A};
    EXPECT_EQ(steps(3), (std::vector<int>{11, 12, 10}));
    // IN B,(C) read 0: Z and P/V set, C and bits 5 and 3 kept from the old F.
    EXPECT_EQ(flags(), FlagZ | FlagPV | Flag5 | Flag3 | FlagC);
    EXPECT_EQ(testbus::portLog, (std::vector<PortAccess>{
                                    {0x38, 0x00, false}, {0x38, 0x77, true}, {0x42, 0x5A, false}}));
    EXPECT_EQ(regA(), 0x5A);
}

TEST_F(Instructions, LdirRunsOneTransferPerStep) {
    load(0x0100, {0xED, 0xB0});
    load(0x3000, {1, 2, 3});
    cpu.HL = 0x3000;
    cpu.DE = 0x4000;
    cpu.BC = 3;
    cpu.AF = 0x00FF;
    EXPECT_EQ(steps(3), (std::vector<int>{21, 21, 16}));
    EXPECT_EQ(ram[0x4000] + ram[0x4001] * 16 + ram[0x4002] * 256, 1 + 2 * 16 + 3 * 256);
    EXPECT_EQ(cpu.IP, 0x0102);
    EXPECT_EQ(flags() & (FlagPV | FlagH | FlagN), 0);
    EXPECT_EQ(flags() & (FlagS | FlagZ | FlagC), FlagS | FlagZ | FlagC);
    EXPECT_EQ(cpu.R, 12);
}

TEST_F(Instructions, CpirSearchesInOneStep) {
    load(0x0100, {0xED, 0xB1, 0xED, 0xB1});
    load(0x3000, {0x11, 0x42, 0x42});
    cpu.HL = 0x3000;
    cpu.BC = 5;
    cpu.AF = 0x4200;
    EXPECT_EQ(execute(0), 42);
    EXPECT_EQ(cpu.BC, 3);
    EXPECT_EQ(cpu.HL, 0x3002);
    EXPECT_EQ(flags() & (FlagZ | FlagPV | FlagN), FlagZ | FlagPV | FlagN);
    EXPECT_EQ(cpu.R, 2);

    cpu.BC = 1;
    cpu.AF = 0x7700;
    EXPECT_EQ(execute(0), 16);
    EXPECT_EQ(cpu.BC, 0);
    EXPECT_EQ(flags() & (FlagZ | FlagPV), 0);
}

TEST_F(Instructions, BlockOutputAndInputRepeatPerStep) {
    load(0x0100, {0xED, 0xB3});
    load(0x3000, {0xAB, 0xCD});
    cpu.HL = 0x3000;
    cpu.BC = 0x0207;
    cpu.AF = 0x0000;
    EXPECT_EQ(steps(2), (std::vector<int>{21, 16}));
    EXPECT_EQ(testbus::portLog, (std::vector<PortAccess>{{0x07, 0xAB, true}, {0x07, 0xCD, true}}));
    EXPECT_EQ(flags(), FlagZ | FlagN);

    // INIR with B = 0 transfers 256 bytes.
    load(0x0102, {0xED, 0xB2});
    testbus::portInput.assign(256, 0x5E);
    cpu.HL = 0x5000;
    cpu.BC = 0x0007;
    int count = 0;
    while (cpu.IP == 0x0102 && count < 300) {
        execute(0);
        ++count;
    }
    EXPECT_EQ(count, 256);
    EXPECT_EQ(ram[0x50FF], 0x5E);
    EXPECT_EQ(ram[0x5100], 0);
}

int acks = 0;
uint16_t ackAddress = 0;
void countAck(uint16_t address, uint8_t vector) {
    ++acks;
    ackAddress = address;
    EXPECT_EQ(vector, 0x34);
}

TEST_F(Instructions, RetiCallsTheAcknowledge) {
    load(0x0100, {0xED, 0x4D});
    load(0x8000, {0x00, 0x20, 0x00, 0x30});
    cpu.intAck = countAck;
    cpu.intVector = 0x34;
    acks = 0;
    EXPECT_EQ(execute(0), 14);
    EXPECT_EQ(cpu.IP, 0x2000);
    EXPECT_EQ(acks, 1);
    EXPECT_EQ(ackAddress, 0x2000);
    EXPECT_EQ(cpu.intAck, countAck); // not cleared

    cpu.intAck = nullptr;
    load(0x2000, {0xED, 0x4D});
    EXPECT_EQ(execute(0), 14);
    EXPECT_EQ(cpu.IP, 0x3000);
}

uint32_t trapSeen = 0;
void recordTrap(uint32_t* number) { trapSeen = *number; }

TEST_F(Instructions, TrapsAndUndefinedEdOpcodesCountNothing) {
    load(0x0100, {0xED, 0x4E, 0xED, 0x00, 0xED, 0x05, 0xED, 0x0D});
    cpu.IM = 2;
    uint16_t af = cpu.AF;
    EXPECT_EQ(steps(2), (std::vector<int>{0, 0}));
    EXPECT_EQ(cpu.IM, 2);
    EXPECT_EQ(cpu.IP, 0x0104);
    EXPECT_EQ(cpu.R, 4);
    EXPECT_EQ(cpu.AF, af);

    TrapTable[5].handler = recordTrap;
    TrapTable[13].handler = recordTrap; // ED 0Dh is not a trap opcode
    trapSeen = 0;
    EXPECT_EQ(execute(0), 0);
    EXPECT_EQ(trapSeen, 5u);
    trapSeen = 0;
    execute(0);
    EXPECT_EQ(trapSeen, 0u);
    TrapTable[5].handler = nullptr;
    TrapTable[13].handler = nullptr;
}

TEST_F(Instructions, PrefixFallBack) {
    // DD DD 21: 4 cycles for the first prefix, then LD IX,nn.
    load(0x0100, {0xDD, 0xDD, 0x21, 0x34, 0x12});
    EXPECT_EQ(steps(2), (std::vector<int>{4, 14}));
    EXPECT_EQ(cpu.IX, 0x1234);
    EXPECT_EQ(cpu.R, 4);

    // DD ED 4A runs ADC HL,BC unindexed.
    load(0x0105, {0xDD, 0xED, 0x4A});
    cpu.HL = 0x1000;
    cpu.BC = 0x0234;
    cpu.AF = 0;
    EXPECT_EQ(steps(2), (std::vector<int>{4, 15}));
    EXPECT_EQ(cpu.HL, 0x1234);
    EXPECT_EQ(cpu.IX, 0x1234);
}

} // namespace
