// The Z80 disassembler: turns the instruction at an address into one text
// line of address, opcode bytes and mnemonic, e.g.
//   " 8000 3E 12       ld a,12h"
// Driven by the monitor (its d and z commands and the stop report) and by the
// memory dump. Bytes are read through a byte-reading function, normally the
// plain memory decoder memRead, so watch handlers never fire.
#pragma once

#include <cstdint>
#include <string>

using ByteReader = uint8_t (*)(uint16_t address);

// Replaces text with the line for the instruction at address, reading its
// bytes with read; returns the address of the next instruction. Addresses wrap
// at 16 bits.
uint16_t disassembleWith(ByteReader read, uint16_t address, std::string& text);
// The same, reading through memRead.
uint16_t disassemble(uint16_t address, std::string& text);
