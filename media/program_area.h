// The BASIC program area from 8000h of the machine's RAM, as the tape image
// loaders fill it. A load is staged first: its bytes are gathered, and only a
// load that found a program that fits is committed to memory, followed by
// the end byte 01h and BASIC's two system words (at FE1Eh and FE20h). A
// refused load leaves memory exactly as it was.
//
// How far a program may reach depends on the BASIC that runs: the open
// firmware keeps its stack and key buffers from F400h, so a program's end
// byte must lie below F400h (29,695 bytes of lines); with a genuine BASIC
// image the loader itself writes the system words at FE1Eh, so the end byte
// must lie below FE1Eh (32,285 bytes).
#pragma once

#include <cstdint>
#include <vector>

constexpr uint16_t ProgramAreaStart = 0x8000;
constexpr uint16_t OpenFirmwareProgramEnd = 0xF400; // the end byte lies below
constexpr uint16_t ProgramEndPointer = 0xFE1E;      // address just after the 01h end byte
constexpr uint16_t ProgramTopPointer = 0xFE20;      // that address plus one

struct ProgramLoad {
    std::vector<uint8_t> bytes; // the program gathered so far
    uint32_t room = 0;          // bytes it may take; set by StartProgramLoad
    int tooBig = 0;             // 1 once a byte did not fit
};

// Bytes of program that fit with the BASIC that runs now.
uint32_t ProgramAreaRoom();
void StartProgramLoad(ProgramLoad& load);

// Adds up to n bytes; returns how many fitted (tooBig is set when not all).
uint32_t AppendProgramBytes(ProgramLoad& load, const uint8_t* bytes, uint32_t n);

// Adds a tape block payload: everything up to and including the first 0Dh
// that is followed by 00h inside the payload, or the whole payload.
void AppendBlockPayload(ProgramLoad& load, const uint8_t* payload, uint32_t n);

// The refusal text for a program that did not fit.
const char* ProgramTooBigText();

// Copies the program to 8000h, stores the end byte (below the system area,
// so always in RAM the processor may write) and sets the two system words
// through the processor's write path. Returns the address of the end byte.
uint16_t CommitProgram(const ProgramLoad& load);
