// The processor on random instruction streams in random memory: a flat RAM
// filled from the input, registers and interrupt lines from its first bytes,
// then a run of execute calls with budgets from the input. Checked: every
// call returns; what it returns is exactly what TCOUNT advanced; no call
// overshoots its budget by more than one step; a step is one instruction
// plus at most an interrupt acceptance, or one whole CPIR or CPDR search;
// nothing asks for the monitor.
#include <cstring>

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "fuzz/fuzz_support.h"

namespace {

uint8_t ram[65536];
const uint8_t* portBytes = nullptr;
size_t portCount = 0, portNext = 0;
int monitorCalls = 0;
int acknowledges = 0;

void acknowledge(uint16_t, uint8_t) { acknowledges++; }

// The longest ordinary step: a 23-cycle instruction followed by an IM 2
// interrupt acceptance (19) or an NMI (11).
constexpr int32_t LongestStep = 23 + 19 + 11;
// CPIR and CPDR run all their iterations in one step: at most 65,536 of 21
// cycles.
constexpr int32_t LongestSearch = 65536 * 21 + LongestStep;

bool isSearch(uint16_t at) {
    uint8_t op = ram[static_cast<uint16_t>(at + 1)];
    return ram[at] == 0xED && (op == 0xB1 || op == 0xB9);
}

uint8_t memRead(uint16_t address) { return ram[address]; }
void memWrite(uint16_t address, uint8_t value) { ram[address] = value; }
uint8_t ioRead(uint8_t port) {
    if (portCount == 0) return port;
    return portBytes[portNext++ % portCount];
}
void ioWrite(uint8_t, uint8_t) {}
int monitorEnter(int, uint16_t) {
    monitorCalls++;
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader in(data, size);
    cpuConnect(
        {.read = memRead, .write = memWrite, .in = ioRead, .out = ioWrite, .stop = monitorEnter});
    cpuInit(2995200);
    cpu.AF = in.word();
    cpu.BC = in.word();
    cpu.DE = in.word();
    cpu.HL = in.word();
    cpu.IX = in.word();
    cpu.IY = in.word();
    cpu.SP = in.word();
    cpu.IP = in.word();
    cpu.I = in.byte();
    cpu.R = in.byte();
    uint8_t control = in.byte();
    cpu.IM = control % 3;
    cpu.IFF1 = cpu.IFF2 = (control >> 2) & 1;
    cpu.INT = (control >> 3) & 1;
    cpu.intVector = in.byte();
    cpu.intAck = (control & 0x10) ? acknowledge : nullptr;
    const bool pulseNmi = (control & 0x20) != 0;
    const int calls = 1 + (in.byte() & 15);
    uint16_t budgets[16];
    for (int i = 0; i < 16; i++)
        budgets[i] = in.word() % 1024;

    // The rest fills memory, repeated, and answers IN instructions.
    if (in.left() == 0) {
        std::memset(ram, 0, sizeof ram);
    } else {
        for (size_t a = 0; a < sizeof ram; a++)
            ram[a] = in.rest()[a % in.left()];
    }
    portBytes = in.rest();
    portCount = in.left();
    portNext = 0;
    monitorCalls = 0;

    for (int i = 0; i < calls; i++) {
        if (pulseNmi && i == 1) nmiRaise();
        if (pulseNmi && i == 2) nmiLower();
        int32_t budget = budgets[i];
        uint64_t start = cpu.TCOUNT;
        int32_t used = execute(budget);
        FUZZ_CHECK(used >= 0);
        FUZZ_CHECK(static_cast<uint64_t>(used) == cpu.TCOUNT - start);
        FUZZ_CHECK(used < (budget > 0 ? budget : 0) + LongestSearch);
        // One step on its own.
        start = cpu.TCOUNT;
        uint16_t at = cpu.IP;
        used = execute(0);
        FUZZ_CHECK(static_cast<uint64_t>(used) == cpu.TCOUNT - start);
        FUZZ_CHECK(used < LongestStep || (isSearch(at) && used < LongestSearch));
    }
    FUZZ_CHECK(monitorCalls == 0);
    FUZZ_CHECK(cpu.IM <= 2);
    FUZZ_CHECK(cpu.IFF1 <= 1 && cpu.IFF2 <= 1);
    return 0;
}
