// Test stand-ins for the machine around the processor: a flat 64 KB RAM behind
// memRead/memWrite, a scripted and logged port bus behind ioRead/ioWrite, and
// a monitorEnter that records its calls and runs a scripted action.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace testbus {

struct PortAccess {
    uint8_t port;
    uint8_t value;
    bool write;
    bool operator==(const PortAccess&) const = default;
};

struct MonitorCall {
    int reason;
    uint16_t ip;
};

extern uint8_t ram[65536];
extern std::vector<uint16_t> writtenAddresses; // every memWrite, in order
extern std::vector<PortAccess> portLog;
extern std::vector<uint8_t> portInput; // bytes ioRead returns in turn, then FFh
extern size_t portInputNext;           // index of the next byte of portInput
extern std::vector<MonitorCall> monitorCalls;
// Runs inside monitorEnter (the stop check) when set; its result is the
// check's answer. Without it the answer is 1: stop.
extern std::function<int(int reason, uint16_t ip)> monitorAction;

// The stand-ins, connected to the processor by reset().
uint8_t memRead(uint16_t address);
void memWrite(uint16_t address, uint8_t value);
uint8_t ioRead(uint8_t port);
void ioWrite(uint8_t port, uint8_t value);
int monitorEnter(int reason, uint16_t ip);

// Clears RAM, logs and scripts, zeroes the processor state, connects the
// stand-ins and runs cpuInit.
void reset();
// Copies bytes into RAM from an address on.
void load(uint16_t address, std::initializer_list<uint8_t> bytes);

} // namespace testbus
