// The debug layer: breakpoints, watches, stepping and the stop that returns.
//
// A breakpoint, a watch or a step ends the emulation call at an instruction
// boundary: execute returns, the frame driver returns with its frame pending
// (machine/frame.h), and the front end finds debugStopped() true after its
// frame call. It shows what it likes (the monitor, a debugger window), and
// its next frame call after debugResume() goes on exactly where the machine
// stopped. Nothing waits inside the processor.
//
// Breakpoints are entries over an address range with kinds (WatchExecute,
// WatchRead, WatchWrite), an optional condition on registers or memory, and a
// hit count: the entry stops on its hit-count-th hit whose condition holds.
// The per-address flags of every entry are merged into WatchFlags (cpu/bus.h),
// where the memory map's watch handlers see them; entries survive resets.
//
// Stepping: step into (one instruction; an interrupt let in after it counts
// with it), step over (a CALL, RST or block instruction runs to the next
// instruction), step out (runs until a return leaves the current routine),
// run to an address. A step is armed here and completed by the front end's
// next frame calls, or at once by debugRun, which calls the runner the front
// end installed.
//
// The machine never stops twice at one boundary: resuming from a stop (or
// from debugHoldHere, the user's own stop) runs the instruction at IP even
// when a breakpoint is set on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class DebugStopReason {
    None,
    Breakpoint, // an execution breakpoint, before its instruction
    Watchpoint, // a read or write watch, after the instruction touching it
    Step,       // a step or run-to completed
};

struct DebugStop {
    DebugStopReason reason = DebugStopReason::None;
    uint16_t ip = 0;      // IP at the stop
    uint16_t address = 0; // the watched address touched, for a watchpoint
    uint32_t kind = 0;    // WatchExecute, WatchRead or WatchWrite
    int entry = -1;       // index of the breakpoint entry, -1 for a step
};

// A condition "<operand> <comparison> <value>": the operand a register (A, F,
// B, C, D, E, H, L, I, R, AF, BC, DE, HL, IX, IY, SP, IP or PC) or a memory byte
// "(addr)"; the comparison one of = == != <> < > <= >=; numbers hexadecimal.
struct DebugCondition {
    enum class Operand { Always, Register8, Register16, Memory } operand = Operand::Always;
    int which = 0; // register index, or the memory address
    enum class Compare {
        Equal,
        NotEqual,
        Less,
        Greater,
        LessEqual,
        GreaterEqual
    } compare = Compare::Equal;
    uint32_t value = 0;
};

// Reads a condition; false (and condition untouched) when text is not one.
// An empty text is the condition that always holds.
bool debugParseCondition(const std::string& text, DebugCondition& condition);
bool debugConditionHolds(const DebugCondition& condition);
std::string debugConditionText(const DebugCondition& condition);

struct DebugBreakpoint {
    uint16_t from = 0, to = 0; // inclusive range
    uint32_t kinds = 0;        // WatchExecute | WatchRead | WatchWrite
    DebugCondition condition;
    uint32_t hitCount = 1; // stops on the hitCount-th hit, then on every later one
    uint32_t hits = 0;     // hits so far whose condition held
    int basicLine = -1;    // when >= 0, a hit counts only while this BASIC line starts
};

const std::vector<DebugBreakpoint>& debugBreakpoints();
// Adds an entry; returns its index.
int debugAddBreakpoint(const DebugBreakpoint& breakpoint);
// Removes entry index (out of range: nothing).
void debugRemoveBreakpoint(int index);
void debugClearBreakpoints();
// The single-address entry at address with exactly these kinds (0: removes
// every entry that covers address).
void debugSetKinds(uint16_t address, uint32_t kinds);
// Removes every entry covering address when any does, else sets an
// execution breakpoint there; true when one was set.
bool debugToggleBreakpoint(uint16_t address);

// The stop the machine is waiting in, if any.
bool debugStopped();
const DebugStop& debugLastStop();
// Lets the next frame call go on from the stop.
void debugResume();
// Marks the current boundary as one the machine is stopped at (the user
// opened the monitor between frames), so resuming runs the instruction at IP.
void debugHoldHere();

void debugStepInto();
// Over a CALL, an RST, a repeating block instruction (LDIR and its kin) or
// HALT: runs to the instruction after it; anything else is a step into.
void debugStepOver();
void debugStepOut();
void debugRunTo(uint16_t address);
// Stops at the next instruction boundary (a debugger's "Break").
void debugBreakNow();
// Drops an armed step or run-to.
void debugCancelStep();

// Runs one frame (or the rest of a pending one) the way the front end does.
using DebugRunner = void (*)();
// nullptr: the frame driver alone, cycle-based without a picture unless a
// fast frame is pending.
void debugSetRunner(DebugRunner runner);
// Resumes and calls the runner until the machine stops or maxFrames frames
// ran; true when it stopped.
bool debugRun(int maxFrames);

// The trace: the last DebugTraceSize instructions run while it is on, each
// with its address, its bytes and the registers before it. Tracing checks
// every instruction boundary, so the machine runs slower while it is on.
constexpr size_t DebugTraceSize = 100000;
void debugTraceOn(bool on);
bool debugTracing();
// Entries kept (at most DebugTraceSize); dropped when tracing starts.
size_t debugTraceCount();
// Entry i, 0 the oldest:
//   " 9008 34          inc (hl)            AF=0501 BC=0000 DE=0000 HL=A000 IX=0000 IY=0000 SP=F000"
std::string debugTraceLine(size_t i);
// The entries whose line holds text (case aside), oldest first.
std::vector<size_t> debugTraceFind(const std::string& text);
// Writes every entry's line to path, whole or not at all; false with the
// cause otherwise.
bool debugTraceWrite(const std::string& path, std::string* cause);

// Symbols: names of addresses, from the open firmware's label list and from
// files the user loads. A line is "NAME: equ $7C00" (z80asm label lists),
// "NAME EQU 7C00h", "NAME: 0x7C00" or "NAME = 31744"; a comment starts at ';'.
// Numbers as an assembler reads them: $, 0x or a trailing h for hexadecimal,
// plain digits decimal. Names keep their case; a later name for an address
// replaces an earlier one there.
struct DebugSymbolsRead {
    int read = 0;    // symbols taken
    int skipped = 0; // lines with text that were not a symbol
};
DebugSymbolsRead debugAddSymbols(const std::string& text);
// The same from a file; false with the cause when it cannot be read.
bool debugLoadSymbolFile(const std::string& path, DebugSymbolsRead& read, std::string* cause);
// The open firmware's own labels (what the assembler wrote when it built it).
DebugSymbolsRead debugAddFirmwareSymbols();
void debugClearSymbols();
size_t debugSymbolCount();
// The name at address, or nullptr.
const std::string* debugSymbolAt(uint16_t address);
bool debugSymbolAddress(const std::string& name, uint16_t& address);

// The number of the BASIC line the open firmware is running, 0 in direct
// mode; -1 when the running BASIC is not the open firmware.
int debugBasicLine();
// A breakpoint entry that stops when the open firmware starts running BASIC
// line `line` (after it set its current line, before the line's statements);
// -1 when the running BASIC is not the open firmware.
int debugBreakOnBasicLine(int line);

// The stop handler the machine owner connects to the processor (CpuBus).
int debugStopCheck(int when, uint16_t ip);
// Everything back to nothing set and not stopped (power-on).
void debugPowerOn();
