// DD- and FD-prefixed instructions: the instructions that use HL, H, L or
// (HL), run with IX or IY, their halves, or (IX+d)/(IY+d) instead, and the
// four-byte indexed bit group DD CB d op / FD CB d op. A second byte with no
// indexed form is left for the next step to run as an ordinary instruction;
// the prefix alone then costs 4 cycles.
#include "cpu/z80_core.h"

using namespace z80;

namespace {

inline uint16_t indexedAddress(uint16_t index) {
    int8_t d = static_cast<int8_t>(fetchByte());
    return static_cast<uint16_t>(index + d);
}

// Register by operand code with H and L replaced by the index halves.
inline uint8_t& regOrHalf(unsigned code, uint16_t& index) {
    if (code == 4) return hi(index);
    if (code == 5) return lo(index);
    return reg8(code);
}

void indexedBitGroup(uint16_t index) {
    uint16_t address = indexedAddress(index);
    uint8_t op = fetchByte();
    unsigned code = op & 7;
    unsigned field = (op >> 3) & 7;
    uint8_t v = readByte(address);
    uint8_t result;
    switch (op >> 6) {
    case 0: result = rotateShift(field, v); break;
    case 1:
        bitTest(field, v, code == 6 ? 0 : v);
        addCycles(20);
        return;
    case 2: result = static_cast<uint8_t>(v & ~(1u << field)); break;
    default: result = static_cast<uint8_t>(v | (1u << field)); break;
    }
    writeByte(address, result);
    if (code != 6) reg8(code) = result; // the real H and L, not the index halves
    addCycles(23);
}

} // namespace

// One opcode per line, read as a table.
// clang-format off
void indexHandler(uint16_t& X) {
    uint8_t op = fetchByte();
    switch (op) {
    case 0x09: X = add16(X, cpu.BC); addCycles(15); return;
    case 0x19: X = add16(X, cpu.DE); addCycles(15); return;
    case 0x29: X = add16(X, X); addCycles(15); return;
    case 0x39: X = add16(X, cpu.SP); addCycles(15); return;
    case 0x21: X = fetchWord(); addCycles(14); return;
    case 0x22: writeWord(fetchWord(), X); addCycles(20); return;
    case 0x2A: X = readWord(fetchWord()); addCycles(20); return;
    case 0x23: ++X; addCycles(10); return;
    case 0x2B: --X; addCycles(10); return;
    case 0x24: hi(X) = inc8(hi(X)); addCycles(8); return;
    case 0x25: hi(X) = dec8(hi(X)); addCycles(8); return;
    case 0x2C: lo(X) = inc8(lo(X)); addCycles(8); return;
    case 0x2D: lo(X) = dec8(lo(X)); addCycles(8); return;
    case 0x26: hi(X) = fetchByte(); addCycles(11); return;
    case 0x2E: lo(X) = fetchByte(); addCycles(11); return;
    case 0x34: {
        uint16_t address = indexedAddress(X);
        writeByte(address, inc8(readByte(address)));
        addCycles(23);
        return;
    }
    case 0x35: {
        uint16_t address = indexedAddress(X);
        writeByte(address, dec8(readByte(address)));
        addCycles(23);
        return;
    }
    case 0x36: {
        uint16_t address = indexedAddress(X);
        uint8_t n = fetchByte();
        writeByte(address, n);
        addCycles(19);
        return;
    }
    case 0xE1: X = pop(); addCycles(14); return;
    case 0xE5: push(X); addCycles(15); return;
    case 0xE3: {
        uint16_t t = readWord(cpu.SP);
        writeWord(cpu.SP, X);
        X = t;
        addCycles(23);
        return;
    }
    case 0xE9: cpu.IP = X; addCycles(8); return;
    case 0xF9: cpu.SP = X; addCycles(10); return;
    case 0xCB: indexedBitGroup(X); return;
    default: break;
    }
    // clang-format on

    if (op >= 0x40 && op <= 0x7F && op != 0x76) {
        unsigned dst = (op >> 3) & 7;
        unsigned src = op & 7;
        if (src == 6) {
            reg8(dst) = readByte(indexedAddress(X));
            addCycles(19);
            return;
        }
        if (dst == 6) {
            writeByte(indexedAddress(X), reg8(src));
            addCycles(19);
            return;
        }
        if (dst == 4 || dst == 5 || src == 4 || src == 5) {
            regOrHalf(dst, X) = regOrHalf(src, X);
            addCycles(8);
            return;
        }
    } else if (op >= 0x80 && op <= 0xBF) {
        unsigned src = op & 7;
        if (src == 6) {
            alu8(op >> 3, readByte(indexedAddress(X)));
            addCycles(19);
            return;
        }
        if (src == 4 || src == 5) {
            alu8(op >> 3, regOrHalf(src, X));
            addCycles(8);
            return;
        }
    }

    // No indexed form: the byte runs in the next step.
    cpu.IP = static_cast<uint16_t>(cpu.IP - 1);
    addCycles(4);
}
