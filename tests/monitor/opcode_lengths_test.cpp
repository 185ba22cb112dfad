// The disassembler and the executor agree on where instructions end: every
// opcode of every table is run for one step on a flat RAM, and the bytes the
// step took from the instruction stream are exactly the bytes of the
// instructions the disassembler shows there (an undefined DD or FD
// combination is shown as the prefix alone, and the executor also takes only
// the prefix in that step).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "abc80/abc80.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "monitor/disassembler.h"

namespace {

constexpr uint16_t Start = 0x8000;
uint8_t ram[65536];
uint16_t lastStreamRead = 0; // the highest address read in the instruction window

uint8_t flatRead(uint16_t address) {
    if (address >= Start && address < Start + 16 && address > lastStreamRead)
        lastStreamRead = address;
    return ram[address];
}
void flatWrite(uint16_t address, uint8_t value) { ram[address] = value; }
uint8_t readPlain(uint16_t address) { return ram[address]; }

class OpcodeLengths : public ::testing::Test {
  protected:
    void SetUp() override {
        cpuConnect({.read = flatRead, .write = flatWrite});
        cpuInit(2995200);
    }
    void TearDown() override { machineConnect(); }

    // Bytes the executor takes from the stream in one step of `bytes`.
    int executed(const std::vector<uint8_t>& bytes) {
        // Operand bytes 3Eh: as an opcode it is two bytes long, so a length
        // one short or long shows; as a jump it lands outside the window.
        std::memset(ram, 0, sizeof ram);
        std::memset(ram + Start, 0x3E, 16);
        std::memcpy(ram + Start, bytes.data(), bytes.size());
        cpuReset();
        // Memory operands and the stack far from the instruction; B > 1 so
        // DJNZ jumps, flags clear so every condition but NZ/NC/PO/P fails.
        cpu.HL = cpu.IX = cpu.IY = cpu.BC = cpu.DE = 0x1000;
        cpu.SP = 0x2000;
        cpu.AF = 0x0000;
        cpu.IP = Start;
        lastStreamRead = Start;
        execute(0);
        // Where IP stopped inside the instruction window, that is the end
        // (a not-taken branch skips its operand unread; an undefined index
        // combination peeks at the next byte and steps back). Otherwise the
        // step jumped away (or HALT or a block instruction repeats), and
        // the stream bytes it read end the instruction.
        if (cpu.IP > Start && cpu.IP <= Start + 4) return cpu.IP - Start;
        return lastStreamRead - Start + 1;
    }

    // Bytes the disassembler shows as whole instructions from Start until it
    // reaches at least `limit`.
    int shown(int limit, std::string& listing) {
        uint16_t at = Start;
        listing.clear();
        while (at - Start < limit) {
            std::string line;
            at = disassembleWith(readPlain, at, line);
            listing += line + "\n";
        }
        return at - Start;
    }

    void check(const std::vector<uint8_t>& bytes) {
        int taken = executed(bytes);
        std::string listing;
        EXPECT_EQ(shown(taken, listing), taken) << listing;
    }
};

TEST_F(OpcodeLengths, Unprefixed) {
    for (int op = 0; op < 256; op++)
        if (op != 0xCB && op != 0xDD && op != 0xED && op != 0xFD) check({uint8_t(op)});
}

TEST_F(OpcodeLengths, PrefixedGroups) {
    for (uint8_t prefix : {0xCB, 0xDD, 0xED, 0xFD})
        for (int op = 0; op < 256; op++)
            check({prefix, uint8_t(op)});
}

TEST_F(OpcodeLengths, IndexedBitGroups) {
    for (uint8_t prefix : {0xDD, 0xFD})
        for (int op = 0; op < 256; op++)
            check({prefix, 0xCB, 0x3E, uint8_t(op)});
}

} // namespace
