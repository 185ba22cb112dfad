// The processor's view of the rest of the machine.
//
// Memory: two tables of 65,536 handlers, one entry per address. The machine
// fills them with memRead/memWrite; the monitor swaps single entries for its
// watch handlers. Ports: ioRead/ioWrite with the 8-bit port number. The
// machine (or a test) defines memRead, memWrite, ioRead, ioWrite and
// monitorEnter; the processor library only calls them.
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

// Defined by the memory map (or by a test's flat RAM).
uint8_t memRead(uint16_t address);
void memWrite(uint16_t address, uint8_t value);

// Defined by the port map (or by a test).
uint8_t ioRead(uint8_t port);
void ioWrite(uint8_t port, uint8_t value);

// Defined by the monitor (or by a test): entered with reason 1 and the current
// IP when a stop is requested; returns 1 when the user has left the monitor,
// 0 when it was already open.
int monitorEnter(int reason, uint16_t ip);

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
