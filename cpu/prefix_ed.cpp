// ED-prefixed instructions: 16-bit arithmetic with carry, port I/O through C,
// RETN/RETI, IM, LD with I and R, RLD/RRD, the block instructions and the
// emulator trap opcodes. Called by execute after the ED byte. Repeating block
// instructions run one transfer per step (the step points IP back at the
// instruction while it repeats); CPIR and CPDR search to the end in one step.
// Undefined second bytes do nothing and count no cycles.
#include "cpu/z80_core.h"

using namespace z80;

namespace {

constexpr uint8_t LastTrapOpcode = 0x0C;

// The 16-bit register pair of bits 5-4 of the opcode: BC, DE, HL, SP.
inline uint16_t& pair(unsigned code) {
    switch (code & 3) {
    case 0: return cpu.BC;
    case 1: return cpu.DE;
    case 2: return cpu.HL;
    default: return cpu.SP;
    }
}

inline void repeatStep() { cpu.IP = static_cast<uint16_t>(cpu.IP - 2); }

// LDI/LDD transfer; returns the byte moved.
inline uint8_t transfer(int direction) {
    uint8_t v = readByte(cpu.HL);
    writeByte(cpu.DE, v);
    cpu.HL = static_cast<uint16_t>(cpu.HL + direction);
    cpu.DE = static_cast<uint16_t>(cpu.DE + direction);
    --cpu.BC;
    return v;
}
// Bits 5 and 3 after a transfer: bit 1 and bit 3 of A + v.
inline uint8_t transferBits53(uint8_t v) {
    uint8_t n = static_cast<uint8_t>(A() + v);
    return static_cast<uint8_t>(((n << 4) & Flag5) | (n & Flag3));
}

void blockLoad(int direction, bool repeating) {
    uint8_t v = transfer(direction);
    if (!repeating) {
        F() = static_cast<uint8_t>((F() & (FlagS | FlagZ | FlagC)) | (cpu.BC ? FlagPV : 0) |
                                   transferBits53(v));
        addCycles(16);
        return;
    }
    incrementR();
    incrementR();
    if (cpu.BC != 0) {
        repeatStep();
        addCycles(21);
    } else {
        F() = static_cast<uint8_t>((F() & (FlagS | FlagZ | FlagC)) | transferBits53(v));
        addCycles(16);
    }
}

// One CPI/CPD comparison; returns A - v.
inline uint8_t compareStep(int direction, uint8_t& v) {
    v = readByte(cpu.HL);
    cpu.HL = static_cast<uint16_t>(cpu.HL + direction);
    --cpu.BC;
    return static_cast<uint8_t>(A() - v);
}
inline void compareFlags(uint8_t v, uint8_t d) {
    uint8_t f = static_cast<uint8_t>(subFlagsNo53(A(), v, d) & (FlagS | FlagZ | FlagH));
    unsigned half = (f & FlagH) ? 1 : 0;
    uint8_t n = static_cast<uint8_t>(d - half);
    F() = static_cast<uint8_t>(f | FlagN | (F() & FlagC) | (cpu.BC ? FlagPV : 0) |
                               ((n << 4) & Flag5) | (n & Flag3));
}

void blockCompare(int direction, bool repeating) {
    uint8_t v;
    uint8_t d = compareStep(direction, v);
    if (!repeating) {
        addCycles(16);
    } else {
        // The whole search is one step.
        addCycles(cpu.BC ? 21 : 16);
        while (cpu.BC != 0 && d != 0) {
            d = compareStep(direction, v);
            addCycles(cpu.BC ? 21 : 16);
        }
    }
    compareFlags(v, d);
}

void blockIo(bool input, int direction, bool repeating) {
    if (input) {
        writeByte(cpu.HL, cpuBus.in(C()));
    } else {
        cpuBus.out(C(), readByte(cpu.HL));
    }
    cpu.HL = static_cast<uint16_t>(cpu.HL + direction);
    --B();
    if (!repeating) {
        F() = static_cast<uint8_t>((F() & ~FlagZ) | FlagN | (B() == 0 ? FlagZ : 0));
        addCycles(16);
    } else if (B() != 0) {
        repeatStep();
        addCycles(21);
    } else {
        F() = static_cast<uint8_t>(F() | FlagZ | FlagN);
        addCycles(16);
    }
}

void inputFlags(uint8_t v) {
    F() = static_cast<uint8_t>((F() & (FlagC | Flag5 | Flag3)) |
                               (ByteFlags.sz53p[v] & (FlagS | FlagZ | FlagPV)));
}

// LD A,I and LD A,R.
void loadFromSpecial(uint8_t v) {
    A() = v;
    F() = static_cast<uint8_t>((F() & FlagC) | ByteFlags.sz53[v] | (cpu.IFF2 ? FlagPV : 0));
}

void ret() {
    cpu.IP = pop();
    addCycles(14);
}

} // namespace

// One opcode per line, read as a table.
// clang-format off
void edHandler() {
    uint8_t op = fetchByte();
    if (op <= LastTrapOpcode) {
        emulatorTrap(op);
        return;
    }
    switch (op) {
    case 0x40: case 0x48: case 0x50: case 0x58: case 0x60: case 0x68: case 0x78: {
        uint8_t v = cpuBus.in(C());
        inputFlags(v);
        reg8((op >> 3) & 7) = v;
        addCycles(11);
        return;
    }
    case 0x70: inputFlags(cpuBus.in(C())); addCycles(11); return;
    case 0x41: case 0x49: case 0x51: case 0x59: case 0x61: case 0x69: case 0x79:
        cpuBus.out(C(), reg8((op >> 3) & 7));
        addCycles(12);
        return;
    case 0x71: cpuBus.out(C(), 0); addCycles(12); return;
    case 0x42: case 0x52: case 0x62: case 0x72:
        cpu.HL = sbc16(cpu.HL, pair(op >> 4));
        addCycles(15);
        return;
    case 0x4A: case 0x5A: case 0x6A: case 0x7A:
        cpu.HL = adc16(cpu.HL, pair(op >> 4));
        addCycles(15);
        return;
    case 0x43: case 0x53: case 0x63: case 0x73:
        writeWord(fetchWord(), pair(op >> 4));
        addCycles(20);
        return;
    case 0x4B: case 0x5B: case 0x6B: case 0x7B: {
        uint16_t address = fetchWord();
        pair(op >> 4) = readWord(address);
        addCycles(20);
        return;
    }
    case 0x44: case 0x4C: case 0x54: case 0x5C: case 0x64: case 0x6C: case 0x74: case 0x7C: {
        uint8_t a = A();
        A() = 0;
        sub8(a, 0);
        addCycles(8);
        return;
    }
    case 0x45: ret(); cpu.IFF1 = cpu.IFF2; return;
    case 0x4D:
        ret();
        if (cpu.intAck != nullptr) cpu.intAck(cpu.IP, cpu.intVector);
        return;
    case 0x55: case 0x5D: case 0x65: case 0x6D: case 0x75: case 0x7D: ret(); return;
    case 0x46: case 0x66: cpu.IM = 0; addCycles(8); return;
    case 0x56: case 0x76: cpu.IM = 1; addCycles(8); return;
    case 0x5E: case 0x7E: cpu.IM = 2; addCycles(8); return;
    case 0x47: cpu.I = A(); addCycles(9); return;
    case 0x4F: cpu.R = A(); addCycles(9); return;
    case 0x57: loadFromSpecial(cpu.I); addCycles(9); return;
    case 0x5F: loadFromSpecial(cpu.R); addCycles(9); return;
    case 0x67: { // RRD
        uint8_t v = readByte(cpu.HL);
        uint8_t a = A();
        writeByte(cpu.HL, static_cast<uint8_t>((a << 4) | (v >> 4)));
        A() = static_cast<uint8_t>((a & 0xF0) | (v & 0x0F));
        F() = static_cast<uint8_t>((F() & FlagC) | ByteFlags.sz53p[A()]);
        addCycles(18);
        return;
    }
    case 0x6F: { // RLD
        uint8_t v = readByte(cpu.HL);
        uint8_t a = A();
        writeByte(cpu.HL, static_cast<uint8_t>((v << 4) | (a & 0x0F)));
        A() = static_cast<uint8_t>((a & 0xF0) | (v >> 4));
        F() = static_cast<uint8_t>((F() & FlagC) | ByteFlags.sz53p[A()]);
        addCycles(18);
        return;
    }
    case 0xA0: blockLoad(+1, false); return;
    case 0xA8: blockLoad(-1, false); return;
    case 0xB0: blockLoad(+1, true); return;
    case 0xB8: blockLoad(-1, true); return;
    case 0xA1: blockCompare(+1, false); return;
    case 0xA9: blockCompare(-1, false); return;
    case 0xB1: blockCompare(+1, true); return;
    case 0xB9: blockCompare(-1, true); return;
    case 0xA2: blockIo(true, +1, false); return;
    case 0xAA: blockIo(true, -1, false); return;
    case 0xB2: blockIo(true, +1, true); return;
    case 0xBA: blockIo(true, -1, true); return;
    case 0xA3: blockIo(false, +1, false); return;
    case 0xAB: blockIo(false, -1, false); return;
    case 0xB3: blockIo(false, +1, true); return;
    case 0xBB: blockIo(false, -1, true); return;
    default: return; // undefined: no operation, no cycles
    }
}
// clang-format on
