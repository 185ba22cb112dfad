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
//   cpuConnect({.read = ..., .write = ..., .in = ..., .out = ..., .stop = ...});
//   cpuInit(2995200);           // tables to the bus's read/write, registers reset
//   int used = execute(59712);  // runs whole instructions, returns cycles
//
// Stops. While breakRequest is non-zero, execute asks cpuBus.stop at the
// instruction boundaries (see StopHandler): before an instruction when its
// opcode has been fetched, and after it. The memory map's watch handlers set
// BreakHit when a watched address is touched; the debug layer sets
// BreakEveryStep while it steps or traces. When the stop handler answers 1,
// execute returns at once with stoppedAt saying where:
//   - before the instruction: IP on it, the instruction not run (the fetch
//     only read memory), so the next execute call fetches it again;
//   - after the instruction: IP after it, or on the first instruction of an
//     interrupt handler when the instruction let an interrupt in.
// Time does not move while the machine is stopped, and the instructions run
// are the same whether a run stopped on its way or not. BreakHit is cleared
// at every check.
// Steps that count no cycles (undefined ED opcodes, emulator traps) do not
// use up a budget. A call of execute returns after MaxZeroCycleSteps such
// steps in a row even when its budget is not used up, so no byte sequence can
// keep it from returning.
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
    uint32_t breakRequest; // BreakHit | BreakEveryStep
};

enum : uint32_t {
    BreakHit = 1u << 0,       // a watch handler saw its address
    BreakEveryStep = 1u << 1, // check at every instruction boundary
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

// Flag tables. ParityTable[b] is 1 for an even number of set bits. The add and
// sub tables are indexed by (bit 7 of the first operand) << 2 | (bit 7 of the
// second operand) << 1 | (bit 7 of the result) and give S, P/V (overflow) and
// C; the half tables are indexed the same way from bit 3 and give H.
extern const uint8_t ParityTable[256];
extern const uint8_t AddFlagTable[8];
extern const uint8_t SubFlagTable[8];
extern const uint8_t AddHalfTable[8];
extern const uint8_t SubHalfTable[8];

// Emulator traps, opcodes ED 00h-0Ch. A slot holds a handler or nothing; the
// handler receives the address of a word holding the trap number. Nothing in
// the system registers a trap.
using EmulatorTrapHandler = void (*)(uint32_t* trapNumber);
struct EmulatorTrap {
    EmulatorTrapHandler handler;
};
constexpr int TrapSlots = 40;
extern EmulatorTrap TrapTable[TrapSlots];
void emulatorTrap(uint32_t number);

// Consecutive zero-cycle steps after which execute returns regardless of its
// budget.
constexpr int MaxZeroCycleSteps = 1024;

// Where the last execute call stopped: StopBeforeInstruction,
// StopAfterInstruction, or 0 when it used up its budget.
extern int stoppedAt;

void cpuInit(uint64_t clockHz);
void cpuReset();
int32_t execute(int32_t budget);
void nmiRaise();
void nmiLower();
uint16_t cpuIP();

// Prefix handlers, called by execute after the prefix byte has been fetched
// and R incremented for it. Each runs the rest of the instruction and adds its
// cycles to TCOUNT.
void cbHandler();
void indexHandler(uint16_t& index); // DD with IX, FD with IY
void edHandler();
