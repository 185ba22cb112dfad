// Helpers shared by the instruction handlers of the processor: byte views of
// the register pairs, instruction-stream fetches, stack access and the flag
// computations. Internal to cpu/; the rest of the system uses cpu/z80.h.
#pragma once

#include "cpu/bus.h"
#include "cpu/z80.h"

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the byte views of the register pairs assume a little-endian host");

// Hot helpers are forced inline so that each opcode stays one jump through
// the dispatch switch with no further calls.
#define Z80_INLINE [[gnu::always_inline]] inline

namespace z80 {

// Byte halves of a register pair (A is the high byte of AF, F the low byte).
inline uint8_t& hi(uint16_t& pair) { return reinterpret_cast<uint8_t*>(&pair)[1]; }
inline uint8_t& lo(uint16_t& pair) { return reinterpret_cast<uint8_t*>(&pair)[0]; }

inline uint8_t& A() { return hi(cpu.AF); }
inline uint8_t& F() { return lo(cpu.AF); }
inline uint8_t& B() { return hi(cpu.BC); }
inline uint8_t& C() { return lo(cpu.BC); }
inline uint8_t& D() { return hi(cpu.DE); }
inline uint8_t& E() { return lo(cpu.DE); }
inline uint8_t& H() { return hi(cpu.HL); }
inline uint8_t& L() { return lo(cpu.HL); }

// Register by its 3-bit operand code: B, C, D, E, H, L, -, A. Code 6 is the
// memory operand and has no register; callers handle it first.
inline constexpr uint8_t RegOffset[8] = {offsetof(Z80Cpu, BC) + 1, offsetof(Z80Cpu, BC),
                                         offsetof(Z80Cpu, DE) + 1, offsetof(Z80Cpu, DE),
                                         offsetof(Z80Cpu, HL) + 1, offsetof(Z80Cpu, HL),
                                         offsetof(Z80Cpu, AF) + 1, offsetof(Z80Cpu, AF) + 1};
inline uint8_t& reg8(unsigned code) { return reinterpret_cast<uint8_t*>(&cpu)[RegOffset[code]]; }

inline void addCycles(unsigned n) { cpu.TCOUNT += n; }

inline void incrementR() { cpu.R = static_cast<uint8_t>((cpu.R & 0x80) | ((cpu.R + 1) & 0x7F)); }

// Operand byte at IP. IP moves on after the read, so a handler looking at IP
// during the read sees the operand's own address.
Z80_INLINE uint8_t fetchByte() {
    uint16_t at = cpu.IP;
    uint8_t value = ReadHandlers[at](at);
    cpu.IP = static_cast<uint16_t>(at + 1);
    return value;
}
Z80_INLINE uint16_t fetchWord() {
    uint8_t low = fetchByte();
    return static_cast<uint16_t>(low | (fetchByte() << 8));
}
// Skip operand bytes that a not-taken branch does not read.
inline void skipBytes(unsigned n) { cpu.IP = static_cast<uint16_t>(cpu.IP + n); }

Z80_INLINE void push(uint16_t value) {
    cpu.SP = static_cast<uint16_t>(cpu.SP - 2);
    writeWord(cpu.SP, value);
}
Z80_INLINE uint16_t pop() {
    uint16_t value = readWord(cpu.SP);
    cpu.SP = static_cast<uint16_t>(cpu.SP + 2);
    return value;
}

// S, Z and bits 5 and 3 of a byte; the same with P/V from the parity table.
struct ByteFlagTables {
    uint8_t sz53[256];
    uint8_t sz53p[256];
};
inline constexpr ByteFlagTables makeByteFlagTables() {
    ByteFlagTables t{};
    for (unsigned v = 0; v < 256; ++v) {
        uint8_t f = static_cast<uint8_t>(v & (FlagS | Flag5 | Flag3));
        if (v == 0) f |= FlagZ;
        t.sz53[v] = f;
        t.sz53p[v] = static_cast<uint8_t>(f | ((std::popcount(v) % 2 == 0) ? FlagPV : 0));
    }
    return t;
}
inline constexpr ByteFlagTables ByteFlags = makeByteFlagTables();

// Index into the add/sub tables from one bit position of the two operands and
// the result.
inline unsigned tableIndex(unsigned first, unsigned second, unsigned result, unsigned bit) {
    return (((first >> bit) & 1) << 2) | (((second >> bit) & 1) << 1) | ((result >> bit) & 1);
}

Z80_INLINE uint8_t addFlags(uint8_t a, uint8_t b, uint8_t r) {
    return static_cast<uint8_t>(AddFlagTable[tableIndex(a, b, r, 7)] |
                                AddHalfTable[tableIndex(a, b, r, 3)] | (r & (Flag5 | Flag3)) |
                                (r == 0 ? FlagZ : 0));
}
// Subtraction flags without bits 5 and 3 (CP takes them from the operand).
Z80_INLINE uint8_t subFlagsNo53(uint8_t a, uint8_t b, uint8_t r) {
    return static_cast<uint8_t>(SubFlagTable[tableIndex(a, b, r, 7)] |
                                SubHalfTable[tableIndex(a, b, r, 3)] | FlagN |
                                (r == 0 ? FlagZ : 0));
}

Z80_INLINE void add8(uint8_t v, unsigned carry) {
    uint8_t a = A();
    uint8_t r = static_cast<uint8_t>(a + v + carry);
    A() = r;
    F() = addFlags(a, v, r);
}
Z80_INLINE void sub8(uint8_t v, unsigned carry) {
    uint8_t a = A();
    uint8_t r = static_cast<uint8_t>(a - v - carry);
    A() = r;
    F() = static_cast<uint8_t>(subFlagsNo53(a, v, r) | (r & (Flag5 | Flag3)));
}
Z80_INLINE void cp8(uint8_t v) {
    uint8_t a = A();
    uint8_t r = static_cast<uint8_t>(a - v);
    F() = static_cast<uint8_t>(subFlagsNo53(a, v, r) | (v & (Flag5 | Flag3)));
}
Z80_INLINE void and8(uint8_t v) {
    A() &= v;
    F() = static_cast<uint8_t>(ByteFlags.sz53p[A()] | FlagH);
}
Z80_INLINE void xor8(uint8_t v) {
    A() ^= v;
    F() = ByteFlags.sz53p[A()];
}
Z80_INLINE void or8(uint8_t v) {
    A() |= v;
    F() = ByteFlags.sz53p[A()];
}
// The eight accumulator operations by bits 5-3 of the opcode.
Z80_INLINE void alu8(unsigned operation, uint8_t v) {
    switch (operation & 7) {
    case 0: add8(v, 0); break;
    case 1: add8(v, F() & FlagC); break;
    case 2: sub8(v, 0); break;
    case 3: sub8(v, F() & FlagC); break;
    case 4: and8(v); break;
    case 5: xor8(v); break;
    case 6: or8(v); break;
    default: cp8(v); break;
    }
}

Z80_INLINE uint8_t inc8(uint8_t v) {
    uint8_t r = static_cast<uint8_t>(v + 1);
    F() = static_cast<uint8_t>((F() & FlagC) | ByteFlags.sz53[r] | ((r & 0x0F) == 0 ? FlagH : 0) |
                               (r == 0x80 ? FlagPV : 0));
    return r;
}
Z80_INLINE uint8_t dec8(uint8_t v) {
    uint8_t r = static_cast<uint8_t>(v - 1);
    F() = static_cast<uint8_t>((F() & FlagC) | FlagN | ByteFlags.sz53[r] |
                               ((r & 0x0F) == 0x0F ? FlagH : 0) | (r == 0x7F ? FlagPV : 0));
    return r;
}

// ADD HL/IX/IY,rr: only H and C change, bits 5 and 3 from the result's high byte.
Z80_INLINE uint16_t add16(uint16_t a, uint16_t b) {
    uint16_t r = static_cast<uint16_t>(a + b);
    F() = static_cast<uint8_t>(
        (F() & (FlagS | FlagZ | FlagPV)) | (AddFlagTable[tableIndex(a, b, r, 15)] & FlagC) |
        AddHalfTable[tableIndex(a, b, r, 11)] | ((r >> 8) & (Flag5 | Flag3)));
    return r;
}
Z80_INLINE uint16_t adc16(uint16_t a, uint16_t b) {
    uint16_t r = static_cast<uint16_t>(a + b + (F() & FlagC));
    F() = static_cast<uint8_t>(AddFlagTable[tableIndex(a, b, r, 15)] |
                               AddHalfTable[tableIndex(a, b, r, 11)] |
                               ((r >> 8) & (Flag5 | Flag3)) | (r == 0 ? FlagZ : 0));
    return r;
}
Z80_INLINE uint16_t sbc16(uint16_t a, uint16_t b) {
    uint16_t r = static_cast<uint16_t>(a - b - (F() & FlagC));
    F() = static_cast<uint8_t>(SubFlagTable[tableIndex(a, b, r, 15)] |
                               SubHalfTable[tableIndex(a, b, r, 11)] | FlagN |
                               ((r >> 8) & (Flag5 | Flag3)) | (r == 0 ? FlagZ : 0));
    return r;
}

// The CB rotation and shift family by bits 5-3 of the opcode; sets F.
Z80_INLINE uint8_t rotateShift(unsigned operation, uint8_t v) {
    unsigned carryIn = F() & FlagC;
    uint8_t r;
    unsigned carryOut;
    switch (operation & 7) {
    case 0:
        r = static_cast<uint8_t>((v << 1) | (v >> 7));
        carryOut = v >> 7;
        break;
    case 1:
        r = static_cast<uint8_t>((v >> 1) | (v << 7));
        carryOut = v & 1;
        break;
    case 2:
        r = static_cast<uint8_t>((v << 1) | carryIn);
        carryOut = v >> 7;
        break;
    case 3:
        r = static_cast<uint8_t>((v >> 1) | (carryIn << 7));
        carryOut = v & 1;
        break;
    case 4:
        r = static_cast<uint8_t>(v << 1);
        carryOut = v >> 7;
        break;
    case 5:
        r = static_cast<uint8_t>((v >> 1) | (v & 0x80));
        carryOut = v & 1;
        break;
    case 6:
        r = static_cast<uint8_t>((v << 1) | 1);
        carryOut = v >> 7;
        break;
    default:
        r = static_cast<uint8_t>(v >> 1);
        carryOut = v & 1;
        break;
    }
    F() = static_cast<uint8_t>(ByteFlags.sz53p[r] | carryOut);
    return r;
}

// BIT b: H always, Z and P/V when the bit is clear, S for a set bit 7; bits 5
// and 3 from `source53`; C kept.
Z80_INLINE void bitTest(unsigned bit, uint8_t v, uint8_t source53) {
    uint8_t tested = static_cast<uint8_t>(v & (1u << bit));
    F() = static_cast<uint8_t>((F() & FlagC) | FlagH | (tested ? 0 : (FlagZ | FlagPV)) |
                               (tested & FlagS) | (source53 & (Flag5 | Flag3)));
}

} // namespace z80
