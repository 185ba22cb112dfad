// The processor's global state, its constant flag tables, the memory handler
// tables it calls through, and the entry points that set up and reset it.
#include "cpu/bus.h"
#include "cpu/z80.h"

#include <array>
#include <bit>

Z80Cpu cpu;

MemReadHandler ReadHandlers[65536];
MemWriteHandler WriteHandlers[65536];
uint32_t WatchFlags[65536];

EmulatorTrap TrapTable[TrapSlots];

namespace {
uint8_t openBusRead(uint16_t) { return 0xFF; }
void openBusWrite(uint16_t, uint8_t) {}
uint8_t openPortRead(uint8_t) { return 0xFF; }
void openPortWrite(uint8_t, uint8_t) {}
int noStops(int, uint16_t) { return 0; }
} // namespace

CpuBus cpuBus{openBusRead, openBusWrite, openPortRead, openPortWrite, noStops};

void cpuConnect(const CpuBus& bus) {
    cpuBus.read = bus.read ? bus.read : openBusRead;
    cpuBus.write = bus.write ? bus.write : openBusWrite;
    cpuBus.in = bus.in ? bus.in : openPortRead;
    cpuBus.out = bus.out ? bus.out : openPortWrite;
    cpuBus.stop = bus.stop ? bus.stop : noStops;
}

namespace {
constexpr std::array<uint8_t, 256> makeParityTable() {
    std::array<uint8_t, 256> t{};
    for (unsigned v = 0; v < 256; ++v)
        t[v] = (std::popcount(v) % 2 == 0) ? 1 : 0;
    return t;
}
constexpr std::array<uint8_t, 256> Parity = makeParityTable();
} // namespace

const uint8_t ParityTable[256] = {
#define P(i) Parity[(i)], Parity[(i) + 1], Parity[(i) + 2], Parity[(i) + 3]
#define P16(i) P(i), P((i) + 4), P((i) + 8), P((i) + 12)
    P16(0),   P16(16),  P16(32),  P16(48),  P16(64),  P16(80),  P16(96),  P16(112),
    P16(128), P16(144), P16(160), P16(176), P16(192), P16(208), P16(224), P16(240),
#undef P16
#undef P
};
const uint8_t AddFlagTable[8] = {0x00, 0x84, 0x01, 0x80, 0x01, 0x80, 0x05, 0x81};
const uint8_t SubFlagTable[8] = {0x00, 0x81, 0x01, 0x85, 0x04, 0x80, 0x00, 0x81};
const uint8_t AddHalfTable[8] = {0x00, 0x00, 0x10, 0x00, 0x10, 0x00, 0x10, 0x10};
const uint8_t SubHalfTable[8] = {0x00, 0x10, 0x10, 0x10, 0x00, 0x00, 0x00, 0x10};

void cpuInit(uint64_t clockHz) {
    for (unsigned a = 0; a < 65536; ++a) {
        WriteHandlers[a] = cpuBus.write;
        ReadHandlers[a] = cpuBus.read;
        WatchFlags[a] = 0;
    }
    cpu.clockHz = clockHz;
    cpu.cyclesPerLine = clockHz / 15625;
    cpuReset();
}

void cpuReset() {
    cpu.SP = 0xFFFF;
    cpu.IP = 0;
    cpu.I = 0;
    cpu.R = 0;
    cpu.IFF1 = 0;
    cpu.IFF2 = 0;
    cpu.IM = 0;
    cpu.AF = 0xFFFF;
    cpu.NMI = 0;
    cpu.nmiTaken = 0;
    cpu.INT = 0;
    cpu.intVector = 0xFF;
    cpu.intAck = nullptr;
}

void nmiRaise() { cpu.NMI = 1; }

void nmiLower() {
    cpu.NMI = 0;
    cpu.nmiTaken = 0;
}

uint16_t cpuIP() { return cpu.IP; }

void emulatorTrap(uint32_t number) {
    if (number >= TrapSlots || TrapTable[number].handler == nullptr) return;
    uint32_t word = number;
    TrapTable[number].handler(&word);
}
