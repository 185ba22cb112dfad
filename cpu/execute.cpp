// The execute entry: fetches and runs instructions until a cycle budget is
// used up, with the unprefixed instruction group, the stop checks that end
// it early at an instruction boundary, HALT, and the acceptance of NMI and maskable interrupts.
// Prefixed instructions are handed to cbHandler, indexHandler and edHandler.
#include "cpu/z80_core.h"

using namespace z80;

namespace {

constexpr uint8_t OpHalt = 0x76;
constexpr uint8_t OpEi = 0xFB;

// Condition cc of JP/CALL/RET by bits 5-3 of the opcode: NZ Z NC C PO PE P M.
Z80_INLINE bool condition(unsigned code) {
    uint8_t f = F();
    switch (code & 7) {
    case 0: return !(f & FlagZ);
    case 1: return f & FlagZ;
    case 2: return !(f & FlagC);
    case 3: return f & FlagC;
    case 4: return !(f & FlagPV);
    case 5: return f & FlagPV;
    case 6: return !(f & FlagS);
    default: return f & FlagS;
    }
}

Z80_INLINE void jumpRelative() {
    int8_t e = static_cast<int8_t>(fetchByte());
    cpu.IP = static_cast<uint16_t>(cpu.IP + e);
}

void daa() {
    unsigned a = A();
    uint8_t f = F();
    unsigned low = a & 0x0F;
    uint8_t half;
    unsigned carry;
    if (f & FlagN) {
        carry = ((f & FlagC) || a > 0x99) ? 1 : 0;
        if ((f & FlagH) || low > 9) {
            a = (a - 6) & 0xFF;
            half = (low <= 5) ? (f & FlagH) : 0;
        } else {
            half = f & FlagH;
        }
        if (carry) a = (a - 0x60) & 0xFF;
    } else {
        if ((f & FlagH) || low > 9) {
            half = (low > 9) ? FlagH : 0;
            a = (a + 6) & 0x1FF;
        } else {
            half = f & FlagH;
        }
        if ((f & FlagC) || (a & 0x1F0) > 0x90) a += 0x60;
        carry = (a > 0xFF || (f & FlagC)) ? 1 : 0;
        a &= 0xFF;
    }
    A() = static_cast<uint8_t>(a);
    F() = static_cast<uint8_t>(ByteFlags.sz53p[a] | (f & FlagN) | half | carry);
}

// One opcode per line, read as a table.
// clang-format off
// Runs one unprefixed instruction (or hands a prefix to its handler).
Z80_INLINE void dispatch(uint8_t op) {
    switch (op) {
    // 00-3F: loads, 16-bit arithmetic, increments, rotations of A, jumps.
    case 0x00: addCycles(4); break;
    case 0x01: cpu.BC = fetchWord(); addCycles(10); break;
    case 0x11: cpu.DE = fetchWord(); addCycles(10); break;
    case 0x21: cpu.HL = fetchWord(); addCycles(10); break;
    case 0x31: cpu.SP = fetchWord(); addCycles(10); break;
    case 0x02: writeByte(cpu.BC, A()); addCycles(7); break;
    case 0x12: writeByte(cpu.DE, A()); addCycles(7); break;
    case 0x0A: A() = readByte(cpu.BC); addCycles(7); break;
    case 0x1A: A() = readByte(cpu.DE); addCycles(7); break;
    case 0x22: writeWord(fetchWord(), cpu.HL); addCycles(16); break;
    case 0x2A: cpu.HL = readWord(fetchWord()); addCycles(16); break;
    case 0x32: writeByte(fetchWord(), A()); addCycles(13); break;
    case 0x3A: A() = readByte(fetchWord()); addCycles(13); break;
    case 0x03: ++cpu.BC; addCycles(6); break;
    case 0x13: ++cpu.DE; addCycles(6); break;
    case 0x23: ++cpu.HL; addCycles(6); break;
    case 0x33: ++cpu.SP; addCycles(6); break;
    case 0x0B: --cpu.BC; addCycles(6); break;
    case 0x1B: --cpu.DE; addCycles(6); break;
    case 0x2B: --cpu.HL; addCycles(6); break;
    case 0x3B: --cpu.SP; addCycles(6); break;
    case 0x09: cpu.HL = add16(cpu.HL, cpu.BC); addCycles(11); break;
    case 0x19: cpu.HL = add16(cpu.HL, cpu.DE); addCycles(11); break;
    case 0x29: cpu.HL = add16(cpu.HL, cpu.HL); addCycles(11); break;
    case 0x39: cpu.HL = add16(cpu.HL, cpu.SP); addCycles(11); break;
    case 0x04: B() = inc8(B()); addCycles(4); break;
    case 0x0C: C() = inc8(C()); addCycles(4); break;
    case 0x14: D() = inc8(D()); addCycles(4); break;
    case 0x1C: E() = inc8(E()); addCycles(4); break;
    case 0x24: H() = inc8(H()); addCycles(4); break;
    case 0x2C: L() = inc8(L()); addCycles(4); break;
    case 0x3C: A() = inc8(A()); addCycles(4); break;
    case 0x34: writeByte(cpu.HL, inc8(readByte(cpu.HL))); addCycles(11); break;
    case 0x05: B() = dec8(B()); addCycles(4); break;
    case 0x0D: C() = dec8(C()); addCycles(4); break;
    case 0x15: D() = dec8(D()); addCycles(4); break;
    case 0x1D: E() = dec8(E()); addCycles(4); break;
    case 0x25: H() = dec8(H()); addCycles(4); break;
    case 0x2D: L() = dec8(L()); addCycles(4); break;
    case 0x3D: A() = dec8(A()); addCycles(4); break;
    case 0x35: writeByte(cpu.HL, dec8(readByte(cpu.HL))); addCycles(11); break;
    case 0x06: B() = fetchByte(); addCycles(7); break;
    case 0x0E: C() = fetchByte(); addCycles(7); break;
    case 0x16: D() = fetchByte(); addCycles(7); break;
    case 0x1E: E() = fetchByte(); addCycles(7); break;
    case 0x26: H() = fetchByte(); addCycles(7); break;
    case 0x2E: L() = fetchByte(); addCycles(7); break;
    case 0x3E: A() = fetchByte(); addCycles(7); break;
    case 0x36: {
        uint8_t n = fetchByte();
        writeByte(cpu.HL, n);
        addCycles(10);
        break;
    }
    case 0x07: { // RLCA
        uint8_t a = A();
        uint8_t r = static_cast<uint8_t>((a << 1) | (a >> 7));
        A() = r;
        F() = static_cast<uint8_t>((F() & (FlagS | FlagZ | FlagPV)) | (r & (Flag5 | Flag3)) |
                                   (a >> 7));
        addCycles(4);
        break;
    }
    case 0x0F: { // RRCA
        uint8_t a = A();
        uint8_t r = static_cast<uint8_t>((a >> 1) | (a << 7));
        A() = r;
        F() = static_cast<uint8_t>((F() & (FlagS | FlagZ | FlagPV)) | (r & (Flag5 | Flag3)) |
                                   (a & 1));
        addCycles(4);
        break;
    }
    case 0x17: { // RLA
        uint8_t a = A();
        uint8_t r = static_cast<uint8_t>((a << 1) | (F() & FlagC));
        A() = r;
        F() = static_cast<uint8_t>((F() & (FlagS | FlagZ | FlagPV)) | (r & (Flag5 | Flag3)) |
                                   (a >> 7));
        addCycles(4);
        break;
    }
    case 0x1F: { // RRA
        uint8_t a = A();
        uint8_t r = static_cast<uint8_t>((a >> 1) | ((F() & FlagC) << 7));
        A() = r;
        F() = static_cast<uint8_t>((F() & (FlagS | FlagZ | FlagPV)) | (r & (Flag5 | Flag3)) |
                                   (a & 1));
        addCycles(4);
        break;
    }
    case 0x08: { // EX AF,AF'
        uint16_t t = cpu.AF;
        cpu.AF = cpu.altAF;
        cpu.altAF = t;
        addCycles(4);
        break;
    }
    case 0x10: // DJNZ
        if (--B() != 0) {
            jumpRelative();
            addCycles(13);
        } else {
            skipBytes(1);
            addCycles(8);
        }
        break;
    case 0x18: jumpRelative(); addCycles(12); break;
    case 0x20:
    case 0x28:
    case 0x30:
    case 0x38:
        if (condition((op >> 3) & 3)) {
            jumpRelative();
            addCycles(12);
        } else {
            skipBytes(1);
            addCycles(7);
        }
        break;
    case 0x27: daa(); addCycles(4); break;
    case 0x2F: // CPL
        A() = static_cast<uint8_t>(~A());
        F() = static_cast<uint8_t>((F() & (FlagS | FlagZ | FlagPV | FlagC)) | FlagH | FlagN |
                                   (A() & (Flag5 | Flag3)));
        addCycles(4);
        break;
    case 0x37: // SCF
        F() = static_cast<uint8_t>((F() & (FlagS | FlagZ | FlagPV)) | FlagC |
                                   (A() & (Flag5 | Flag3)));
        addCycles(4);
        break;
    case 0x3F: // CCF
        F() = static_cast<uint8_t>(((F() & (FlagS | FlagZ | FlagPV)) |
                                    ((F() & FlagC) ? FlagH : FlagC) | (A() & (Flag5 | Flag3))));
        addCycles(4);
        break;

    // 40-7F: LD r,r' and HALT.
    case 0x76: cpu.IP = static_cast<uint16_t>(cpu.IP - 1); addCycles(4); break;
    case 0x70: case 0x71: case 0x72: case 0x73: case 0x74: case 0x75: case 0x77:
        writeByte(cpu.HL, reg8(op & 7));
        addCycles(7);
        break;
    case 0x46: case 0x4E: case 0x56: case 0x5E: case 0x66: case 0x6E: case 0x7E:
        reg8((op >> 3) & 7) = readByte(cpu.HL);
        addCycles(7);
        break;
    case 0x40 ... 0x45: case 0x47:
    case 0x48 ... 0x4D: case 0x4F:
    case 0x50 ... 0x55: case 0x57:
    case 0x58 ... 0x5D: case 0x5F:
    case 0x60 ... 0x65: case 0x67:
    case 0x68 ... 0x6D: case 0x6F:
    case 0x78 ... 0x7D: case 0x7F:
        reg8((op >> 3) & 7) = reg8(op & 7);
        addCycles(4);
        break;

    // 80-BF: accumulator operations with a register or (HL).
    case 0x86: case 0x8E: case 0x96: case 0x9E: case 0xA6: case 0xAE: case 0xB6: case 0xBE:
        alu8(op >> 3, readByte(cpu.HL));
        addCycles(7);
        break;
    case 0x80: add8(B(), 0); addCycles(4); break;
    case 0x81: add8(C(), 0); addCycles(4); break;
    case 0x82: add8(D(), 0); addCycles(4); break;
    case 0x83: add8(E(), 0); addCycles(4); break;
    case 0x84: add8(H(), 0); addCycles(4); break;
    case 0x85: add8(L(), 0); addCycles(4); break;
    case 0x87: add8(A(), 0); addCycles(4); break;
    case 0x90: sub8(B(), 0); addCycles(4); break;
    case 0x91: sub8(C(), 0); addCycles(4); break;
    case 0x92: sub8(D(), 0); addCycles(4); break;
    case 0x93: sub8(E(), 0); addCycles(4); break;
    case 0x94: sub8(H(), 0); addCycles(4); break;
    case 0x95: sub8(L(), 0); addCycles(4); break;
    case 0x97: sub8(A(), 0); addCycles(4); break;
    case 0xA0: and8(B()); addCycles(4); break;
    case 0xA1: and8(C()); addCycles(4); break;
    case 0xA2: and8(D()); addCycles(4); break;
    case 0xA3: and8(E()); addCycles(4); break;
    case 0xA4: and8(H()); addCycles(4); break;
    case 0xA5: and8(L()); addCycles(4); break;
    case 0xA7: and8(A()); addCycles(4); break;
    case 0xA8: xor8(B()); addCycles(4); break;
    case 0xA9: xor8(C()); addCycles(4); break;
    case 0xAA: xor8(D()); addCycles(4); break;
    case 0xAB: xor8(E()); addCycles(4); break;
    case 0xAC: xor8(H()); addCycles(4); break;
    case 0xAD: xor8(L()); addCycles(4); break;
    case 0xAF: xor8(A()); addCycles(4); break;
    case 0xB0: or8(B()); addCycles(4); break;
    case 0xB1: or8(C()); addCycles(4); break;
    case 0xB2: or8(D()); addCycles(4); break;
    case 0xB3: or8(E()); addCycles(4); break;
    case 0xB4: or8(H()); addCycles(4); break;
    case 0xB5: or8(L()); addCycles(4); break;
    case 0xB7: or8(A()); addCycles(4); break;
    case 0xB8: cp8(B()); addCycles(4); break;
    case 0xB9: cp8(C()); addCycles(4); break;
    case 0xBA: cp8(D()); addCycles(4); break;
    case 0xBB: cp8(E()); addCycles(4); break;
    case 0xBC: cp8(H()); addCycles(4); break;
    case 0xBD: cp8(L()); addCycles(4); break;
    case 0xBF: cp8(A()); addCycles(4); break;
    case 0x88 ... 0x8D: case 0x8F:
    case 0x98 ... 0x9D: case 0x9F:
        alu8(op >> 3, reg8(op & 7));
        addCycles(4);
        break;

    // C0-FF: returns, jumps, calls, stack, immediates, I/O and the prefixes.
    case 0xC0: case 0xC8: case 0xD0: case 0xD8: case 0xE0: case 0xE8: case 0xF0: case 0xF8:
        if (condition(op >> 3)) {
            cpu.IP = pop();
            addCycles(11);
        } else {
            addCycles(5);
        }
        break;
    case 0xC9: cpu.IP = pop(); addCycles(10); break;
    case 0xC1: cpu.BC = pop(); addCycles(10); break;
    case 0xD1: cpu.DE = pop(); addCycles(10); break;
    case 0xE1: cpu.HL = pop(); addCycles(10); break;
    case 0xF1: cpu.AF = pop(); addCycles(10); break;
    case 0xC5: push(cpu.BC); addCycles(11); break;
    case 0xD5: push(cpu.DE); addCycles(11); break;
    case 0xE5: push(cpu.HL); addCycles(11); break;
    case 0xF5: push(cpu.AF); addCycles(11); break;
    case 0xC2: case 0xCA: case 0xD2: case 0xDA: case 0xE2: case 0xEA: case 0xF2: case 0xFA:
        if (condition(op >> 3)) {
            cpu.IP = fetchWord();
        } else {
            skipBytes(2);
        }
        addCycles(10);
        break;
    case 0xC3: cpu.IP = fetchWord(); addCycles(10); break;
    case 0xC4: case 0xCC: case 0xD4: case 0xDC: case 0xE4: case 0xEC: case 0xF4: case 0xFC:
        if (condition(op >> 3)) {
            uint16_t target = fetchWord();
            push(cpu.IP);
            cpu.IP = target;
            addCycles(17);
        } else {
            skipBytes(2);
            addCycles(10);
        }
        break;
    case 0xCD: {
        uint16_t target = fetchWord();
        push(cpu.IP);
        cpu.IP = target;
        addCycles(17);
        break;
    }
    case 0xC6: add8(fetchByte(), 0); addCycles(7); break;
    case 0xCE: add8(fetchByte(), F() & FlagC); addCycles(7); break;
    case 0xD6: sub8(fetchByte(), 0); addCycles(7); break;
    case 0xDE: sub8(fetchByte(), F() & FlagC); addCycles(7); break;
    case 0xE6: and8(fetchByte()); addCycles(7); break;
    case 0xEE: xor8(fetchByte()); addCycles(7); break;
    case 0xF6: or8(fetchByte()); addCycles(7); break;
    case 0xFE: cp8(fetchByte()); addCycles(7); break;
    case 0xC7: case 0xCF: case 0xD7: case 0xDF: case 0xE7: case 0xEF: case 0xF7: case 0xFF:
        push(cpu.IP);
        cpu.IP = op & 0x38;
        addCycles(11);
        break;
    case 0xD3: { // OUT (n),A
        uint8_t port = fetchByte();
        cpuBus.out(port, A());
        addCycles(11);
        break;
    }
    case 0xDB: { // IN A,(n): counted 10
        uint8_t port = fetchByte();
        A() = cpuBus.in(port);
        addCycles(10);
        break;
    }
    case 0xD9: { // EXX
        uint16_t t = cpu.BC;
        cpu.BC = cpu.altBC;
        cpu.altBC = t;
        t = cpu.DE;
        cpu.DE = cpu.altDE;
        cpu.altDE = t;
        t = cpu.HL;
        cpu.HL = cpu.altHL;
        cpu.altHL = t;
        addCycles(4);
        break;
    }
    case 0xE3: { // EX (SP),HL
        uint16_t t = readWord(cpu.SP);
        writeWord(cpu.SP, cpu.HL);
        cpu.HL = t;
        addCycles(19);
        break;
    }
    case 0xE9: cpu.IP = cpu.HL; addCycles(4); break;
    case 0xEB: {
        uint16_t t = cpu.DE;
        cpu.DE = cpu.HL;
        cpu.HL = t;
        addCycles(4);
        break;
    }
    case 0xF3: cpu.IFF1 = 0; cpu.IFF2 = 0; addCycles(4); break;
    case 0xFB: cpu.IFF1 = 1; cpu.IFF2 = 1; addCycles(4); break;
    case 0xF9: cpu.SP = cpu.HL; addCycles(6); break;
    case 0xCB: incrementR(); cbHandler(); break;
    case 0xDD: incrementR(); indexHandler(cpu.IX); break;
    case 0xED: incrementR(); edHandler(); break;
    case 0xFD: incrementR(); indexHandler(cpu.IY); break;
    }
}
// clang-format on

// The stop check before an instruction: IP on it while the stop handler
// looks, moved past the opcode again when the run goes on.
bool stopBefore(uint16_t fetchedAt) {
    cpu.IP = fetchedAt;
    const bool stop = cpuBus.stop(StopBeforeInstruction, fetchedAt) != 0;
    cpu.breakRequest &= ~BreakHit;
    if (!stop) cpu.IP = static_cast<uint16_t>(fetchedAt + 1);
    return stop;
}

bool stopAfter() {
    const bool stop = cpuBus.stop(StopAfterInstruction, cpu.IP) != 0;
    cpu.breakRequest &= ~BreakHit;
    return stop;
}

void acceptNmi(uint8_t op) {
    if (op == OpHalt) cpu.IP = static_cast<uint16_t>(cpu.IP + 1);
    incrementR();
    push(cpu.IP);
    addCycles(11);
    cpu.IP = 0x0066;
    cpu.IFF1 = 0;
    cpu.nmiTaken = 1;
}

void acceptInterrupt(uint8_t op) {
    if (op == OpHalt) cpu.IP = static_cast<uint16_t>(cpu.IP + 1);
    addCycles(7);
    cpu.IFF1 = 0;
    cpu.IFF2 = 0;
    incrementR();
    cpu.SP = static_cast<uint16_t>(cpu.SP - 1);
    writeByte(cpu.SP, hi(cpu.IP));
    addCycles(3);
    cpu.SP = static_cast<uint16_t>(cpu.SP - 1);
    writeByte(cpu.SP, lo(cpu.IP));
    if (cpu.IM != 2) {
        // IM 0 behaves as IM 1: the vector byte is not executed.
        addCycles(3);
        cpu.IP = 0x0038;
        return;
    }
    uint16_t table = static_cast<uint16_t>((cpu.I << 8) | (cpu.intVector & 0xFE));
    cpu.IP = readWord(table);
    addCycles(9);
    // The callback is cleared before it runs, so one that leaves a new
    // callback for a request still pending does not lose it.
    if (cpu.intAck != nullptr) {
        InterruptAck ack = cpu.intAck;
        cpu.intAck = nullptr;
        ack(cpu.IP, cpu.intVector);
    }
}

} // namespace

int stoppedAt = 0;

int32_t execute(int32_t budget) {
    stoppedAt = 0;
    int32_t total = 0;
    int zeroCycleSteps = 0;
    do {
        uint64_t start = cpu.TCOUNT;

        uint16_t at = cpu.IP;
        cpu.IP = static_cast<uint16_t>(at + 1);
        uint8_t op = ReadHandlers[at](at);
        if (cpu.breakRequest && stopBefore(at)) {
            stoppedAt = StopBeforeInstruction;
            break;
        }
        incrementR();

        dispatch(op);

        if (cpu.NMI && !cpu.nmiTaken) {
            acceptNmi(op);
        } else if (cpu.INT && cpu.IFF1 == 1 && op != OpEi) {
            acceptInterrupt(op);
        }

        int32_t used = static_cast<int32_t>(cpu.TCOUNT - start);
        total += used;
        budget -= used;
        if (cpu.breakRequest && stopAfter()) {
            stoppedAt = StopAfterInstruction;
            break;
        }
        if (used == 0) {
            if (++zeroCycleSteps >= MaxZeroCycleSteps) break;
        } else {
            zeroCycleSteps = 0;
        }
    } while (budget > 0);
    return total;
}
