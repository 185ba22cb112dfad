// The table-driven Z80 disassembler. One or two table look-ups find the entry
// of the instruction (three for DD CB / FD CB), its operand kind says how many
// bytes follow and which of them the format prints.
#include "monitor/disassembler.h"

#include "cpu/bus.h"
#include "machine/memory.h"
#include "monitor/opcode_tables.h"

#include <cstdio>

namespace {

// The low byte of a kind as a signed byte: the operand bytes after the opcode
// bytes (-1 for an undefined index combination, where only the prefix counts).
int operandBytes(int32_t kind) { return static_cast<int8_t>(kind & 0xFF); }

void appendf(std::string& text, const char* format, unsigned a, unsigned b = 0) {
    char buffer[96];
    int n = std::snprintf(buffer, sizeof buffer, format, a, b);
    if (n > 0) text.append(buffer, n < static_cast<int>(sizeof buffer) ? n : sizeof buffer - 1);
}

} // namespace

uint16_t disassembleWith(ByteReader read, uint16_t address, std::string& text) {
    text.clear();
    const OpcodeTables& tables = opcodeTables();
    const OpcodeEntry* entry = &tables.primary[read(address)];
    uint16_t p = static_cast<uint16_t>(address + 1);
    if (!entry->format) {
        const OpcodeEntry* second = &tables.secondary[entry->kind][read(p)];
        p = static_cast<uint16_t>(address + 2);
        if (!second->format) {
            // DD CB d op / FD CB d op: the opcode is the fourth byte.
            second = &tables.secondary[second->kind][read(static_cast<uint16_t>(address + 3))];
            p = static_cast<uint16_t>(address + 4);
        }
        entry = second;
    }
    const int operands = operandBytes(entry->kind);
    const int length = static_cast<uint16_t>(static_cast<uint16_t>(p - address) + operands);

    appendf(text, " %04X ", address);
    for (int i = 0; i < length; ++i)
        appendf(text, "%02X ", read(static_cast<uint16_t>(address + i)));
    for (int i = length; i < 4; ++i)
        text += "   ";

    auto at = [&](int offset) -> unsigned { return read(static_cast<uint16_t>(p + offset)); };
    switch (entry->kind) {
    case KindByte: appendf(text, entry->format, at(0)); break;
    case KindWord: appendf(text, entry->format, at(1), at(0)); break;
    case KindIndexBit: appendf(text, entry->format, at(-2)); break;
    case KindRelative:
        appendf(text, entry->format, static_cast<uint16_t>(p + 1 + static_cast<int8_t>(at(0))));
        break;
    case KindIndexImmediate: appendf(text, entry->format, at(0), at(1)); break;
    default: text += entry->format; break;
    }
    return static_cast<uint16_t>(p + operands);
}

uint16_t disassemble(uint16_t address, std::string& text) {
    return disassembleWith(memRead, address, text);
}
