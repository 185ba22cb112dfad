// The processor's view of the rest of the machine.
//
// Memory: two tables of 65,536 handlers, one entry per address. cpuInit fills
// them with the plain memory decoder of the connected bus; the debug layer
// swaps single entries for the memory map's watch handlers. Ports and the stop request go through
// the connected bus too. The processor names nothing outside cpu/: the machine
// (or a test's stand-in) hands its functions over with cpuConnect.
#pragma once

#include <cstdint>

using MemReadHandler = uint8_t (*)(uint16_t address);
using MemWriteHandler = void (*)(uint16_t address, uint8_t value);

extern MemReadHandler ReadHandlers[65536];
extern MemWriteHandler WriteHandlers[65536];
// Per-address watch flags of the debug layer: bit 0 write watch, bit 1
// execution breakpoint, bit 2 read watch, bit 3 a stop target of stepping
// (step over, run to), which stops like an execution breakpoint but is no
// breakpoint of the user's.
extern uint32_t WatchFlags[65536];

enum : uint32_t {
    WatchWrite = 1u << 0,
    WatchExecute = 1u << 1,
    WatchRead = 1u << 2,
    WatchTarget = 1u << 3,
};

using PortReadHandler = uint8_t (*)(uint8_t port);
using PortWriteHandler = void (*)(uint8_t port, uint8_t value);
// The stop check, called at an instruction boundary while breakRequest is set:
// with StopBeforeInstruction and the address of the instruction about to run
// (its opcode fetched, IP on it), or with StopAfterInstruction and IP after
// the instruction just run (and after an interrupt it let in). Returns 1 to end
// the execute call at that boundary, 0 to run on.
using StopHandler = int (*)(int when, uint16_t ip);
enum : int {
    StopBeforeInstruction = 1,
    StopAfterInstruction = 2,
};

struct CpuBus {
    MemReadHandler read = nullptr; // the plain memory decoder
    MemWriteHandler write = nullptr;
    PortReadHandler in = nullptr;
    PortWriteHandler out = nullptr;
    StopHandler stop = nullptr; // the debug layer
};

// The bus in use; every entry is set. Until a connect, memory and ports read
// FFh, writes are lost, and a stop request is only cleared (the run goes on).
extern CpuBus cpuBus;
// Installs a bus; an empty entry gets the open-bus default. Takes effect on the
// handler tables at the next cpuInit.
void cpuConnect(const CpuBus& bus);

inline uint8_t readByte(uint16_t address) { return ReadHandlers[address](address); }
inline uint16_t readWord(uint16_t address) {
    uint8_t lo = ReadHandlers[address](address);
    uint16_t next = static_cast<uint16_t>(address + 1);
    return static_cast<uint16_t>(lo | (ReadHandlers[next](next) << 8));
}
inline void writeByte(uint16_t address, uint8_t value) { WriteHandlers[address](address, value); }
inline void writeWord(uint16_t address, uint16_t value) {
    WriteHandlers[address](address, static_cast<uint8_t>(value));
    uint16_t next = static_cast<uint16_t>(address + 1);
    WriteHandlers[next](next, static_cast<uint8_t>(value >> 8));
}
