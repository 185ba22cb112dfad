// The Z80 processor of the ABC80: one global state record, `cpu`, and the
// execute entry that runs instructions until a cycle budget is used up.
//
// The processor owns no memory and no devices. Every memory access goes
// through the per-address handler tables (cpu/bus.h), every port access through
// ioRead/ioWrite. Devices request a maskable interrupt by setting INT, intVector
// and intAck; the frame driver raises and lowers NMI. TCOUNT is the machine's
// clock: total T-states since start-up, never reset.
//
// Use:
//   cpuInit(2995200);           // tables to memRead/memWrite, registers reset
//   int used = execute(59712);  // runs whole instructions, returns cycles
#pragma once

#include <cstdint>

// Acknowledge callback of a pending maskable interrupt: called with the new IP
// and the vector byte when an IM 2 interrupt is accepted, and with the return
// address and the vector byte when RETI runs.
using InterruptAck = void (*)(uint16_t address, uint8_t vector);

struct Z80Cpu {
    uint16_t AF, BC, DE, HL;
    uint16_t IX, IY;
    uint16_t SP;
    uint16_t IP; // program counter: the address of the next byte to fetch
    uint16_t altAF, altBC, altDE, altHL;
    uint8_t I;
    uint8_t R;
    uint8_t IFF1, IFF2;
    uint8_t IM;
    uint32_t INT;
    uint8_t intVector;
    InterruptAck intAck;
    uint32_t NMI;
    uint32_t nmiTaken;
    uint64_t TCOUNT;
    uint64_t clockHz;
    uint64_t cyclesPerLine;
    uint32_t breakRequest;
};

extern Z80Cpu cpu;

// Flag bits of F.
enum : uint8_t {
    FlagC = 0x01,
    FlagN = 0x02,
    FlagPV = 0x04,
    Flag3 = 0x08,
    FlagH = 0x10,
    Flag5 = 0x20,
    FlagZ = 0x40,
    FlagS = 0x80,
};

void cpuInit(uint64_t clockHz);
void cpuReset();
int32_t execute(int32_t budget);
void nmiRaise();
void nmiLower();
uint16_t cpuIP();
