// The processor's view of the rest of the machine.
//
// Memory: two tables of 65,536 handlers, one entry per address. cpuInit fills
// them with the plain memory decoder of the connected bus; the monitor swaps
// single entries for its watch handlers. Ports and the stop request go through
// the connected bus too. The processor names nothing outside cpu/: the machine
// (or a test's stand-in) hands its functions over with cpuConnect.
#pragma once

#include <cstdint>

using MemReadHandler = uint8_t (*)(uint16_t address);
using MemWriteHandler = void (*)(uint16_t address, uint8_t value);

extern MemReadHandler ReadHandlers[65536];
extern MemWriteHandler WriteHandlers[65536];
// Per-address watch flags of the monitor: bit 0 write watch, bit 1 execution
// breakpoint, bit 2 read watch.
extern uint32_t WatchFlags[65536];

enum : uint32_t {
    WatchWrite = 1u << 0,
    WatchExecute = 1u << 1,
    WatchRead = 1u << 2,
};

using PortReadHandler = uint8_t (*)(uint8_t port);
using PortWriteHandler = void (*)(uint8_t port, uint8_t value);
// Called with reason 1 and the current IP when a stop is requested; returns 1
// when the stop is over (breakRequest is then cleared), 0 when the monitor was
// already open.
using StopHandler = int (*)(int reason, uint16_t ip);

struct CpuBus {
    MemReadHandler read = nullptr; // the plain memory decoder
    MemWriteHandler write = nullptr;
    PortReadHandler in = nullptr;
    PortWriteHandler out = nullptr;
    StopHandler stop = nullptr; // the monitor
};

// The bus in use; every entry is set. Until a connect, memory and ports read
// FFh, writes are lost, and a stop request is only cleared.
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
