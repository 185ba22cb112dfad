// Flat-RAM memory, scripted ports and a recording monitor for the processor
// tests; see test_bus.h.
#include "tests/cpu/test_bus.h"

#include "cpu/bus.h"
#include "cpu/z80.h"

#include <cstring>

namespace testbus {

uint8_t ram[65536];
std::vector<uint16_t> writtenAddresses;
std::vector<PortAccess> portLog;
std::vector<uint8_t> portInput;
std::vector<MonitorCall> monitorCalls;
std::function<int(int, uint16_t)> monitorAction;
size_t portInputNext = 0;

void reset() {
    std::memset(ram, 0, sizeof ram);
    writtenAddresses.clear();
    portLog.clear();
    portInput.clear();
    portInputNext = 0;
    monitorCalls.clear();
    monitorAction = nullptr;
    cpu = Z80Cpu{};
    cpuConnect(
        {.read = memRead, .write = memWrite, .in = ioRead, .out = ioWrite, .stop = monitorEnter});
    cpuInit(2995200);
}

void load(uint16_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes)
        ram[address++] = b;
}

uint8_t memRead(uint16_t address) { return ram[address]; }

void memWrite(uint16_t address, uint8_t value) {
    ram[address] = value;
    writtenAddresses.push_back(address);
}

uint8_t ioRead(uint8_t port) {
    uint8_t value = portInputNext < portInput.size() ? portInput[portInputNext++] : 0xFF;
    portLog.push_back({port, value, false});
    return value;
}

void ioWrite(uint8_t port, uint8_t value) { portLog.push_back({port, value, true}); }

int monitorEnter(int reason, uint16_t ip) {
    monitorCalls.push_back({reason, ip});
    return monitorAction ? monitorAction(reason, ip) : 1;
}

} // namespace testbus
