// The BASIC program area, 8000h-FFFFh of the machine's RAM, as the tape image
// loaders fill it: bytes are appended from 8000h, then an end byte 01h and
// BASIC's two system words (at FE1Eh and FE20h) close the program.
//
// A program longer than the area is cut: at most 32,767 bytes are appended so
// that the end byte still lands at FFFFh and nothing is written beyond it.
#pragma once

#include <cstdint>

constexpr uint16_t ProgramAreaStart = 0x8000;
constexpr uint32_t ProgramAreaCapacity = 0x7FFF; // bytes of program; FFFFh keeps the end byte
constexpr uint16_t ProgramEndPointer = 0xFE1E;   // address just after the 01h end byte
constexpr uint16_t ProgramTopPointer = 0xFE20;   // that address plus one

struct ProgramLoad {
    uint32_t count = 0; // bytes appended by this load
    int truncated = 0;  // 1 once bytes had to be dropped at the end of the area
};

// Appends up to n bytes at 8000h + count; returns how many fitted.
uint32_t AppendProgramBytes(ProgramLoad& load, const uint8_t* bytes, uint32_t n);

// Appends a tape block payload: everything up to and including the first
// 0Dh that is followed by 00h inside the payload, or the whole payload.
void AppendBlockPayload(ProgramLoad& load, const uint8_t* payload, uint32_t n);

// Stores the end byte (at most FFFFh, so always in RAM the processor may
// write) and sets the two system words through the processor's write path.
// Returns the address of the end byte.
uint16_t FinishProgram(const ProgramLoad& load);
