// The Z80 opcode tables behind the disassembler. The primary table is indexed
// by the first byte; its entries CBh, DDh, EDh and FDh are prefixes that lead
// to secondary[0..3] (CB, DD, ED, FD), and entry CBh of the DD and FD tables
// leads on to secondary[4] and [5] (DD CB, FD CB).
#pragma once

#include <cstdint>
#include <deque>
#include <string>

// How the operand bytes of an instruction are found and formatted. The low
// byte of the kind, taken as a signed byte, is also the number of operand
// bytes that follow the opcode bytes.
enum : int32_t {
    KindNone = 0,             // no operand
    KindByte = 1,             // n, or the displacement d of (ix+d)
    KindWord = 2,             // nn, printed high byte first
    KindPrefixOnly = 255,     // undefined DD/FD combination: only the prefix counts
    KindIndexBit = 256,       // DD CB d op: the displacement is the third byte
    KindRelative = 257,       // relative jump, shown as its absolute target
    KindIndexImmediate = 258, // ld (ix+d),n: displacement, then the byte
};

// One table entry. A prefix has no format; its kind is then the number of the
// secondary table that the next byte indexes.
struct OpcodeEntry {
    const char* format;
    int32_t kind;
};

enum : int32_t {
    TableCB = 0,
    TableDD = 1,
    TableED = 2,
    TableFD = 3,
    TableDDCB = 4,
    TableFDCB = 5,
};

struct OpcodeTables {
    OpcodeEntry primary[256];
    OpcodeEntry secondary[6][256];
    std::deque<std::string> texts; // the formats the entries point to
};

// Built from the opcode bit fields on first use (monitor/opcode_tables.cpp).
const OpcodeTables& opcodeTables();
