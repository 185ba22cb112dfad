// CB-prefixed instructions: rotations and shifts (SLL included), BIT, RES and
// SET on a register or (HL). Called by execute after the CB byte.
#include "cpu/z80_core.h"

using namespace z80;

void cbHandler() {
    uint8_t op = fetchByte();
    unsigned code = op & 7;
    unsigned field = (op >> 3) & 7;
    unsigned group = op >> 6;

    if (code != 6) {
        uint8_t& r = reg8(code);
        switch (group) {
        case 0: r = rotateShift(field, r); break;
        case 1: bitTest(field, r, r); break;
        case 2: r = static_cast<uint8_t>(r & ~(1u << field)); break;
        default: r = static_cast<uint8_t>(r | (1u << field)); break;
        }
        addCycles(8);
        return;
    }

    uint16_t address = cpu.HL;
    uint8_t v = readByte(address);
    switch (group) {
    case 0: writeByte(address, rotateShift(field, v)); break;
    case 1:
        // Bits 5 and 3 are not taken from the memory byte.
        bitTest(field, v, 0);
        addCycles(12);
        return;
    case 2: writeByte(address, static_cast<uint8_t>(v & ~(1u << field))); break;
    default: writeByte(address, static_cast<uint8_t>(v | (1u << field))); break;
    }
    addCycles(15);
}
