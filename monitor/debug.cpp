// Breakpoint entries, their merge into the watch flags, the stop check the
// processor calls at instruction boundaries, and stepping.
#include "monitor/debug.h"

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "files/file_write.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "monitor/disassembler.h"

#include "data/firmware.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

enum class StepMode { None, Into, Over, Out, RunTo };

struct TraceEntry {
    uint16_t ip;
    uint8_t bytes[4];
    uint16_t af, bc, de, hl, ix, iy, sp;
};

// A ring of entries: next is where the next one goes.
struct Trace {
    bool on = false;
    std::vector<TraceEntry> ring;
    size_t next = 0;
    size_t count = 0;
};
Trace trace;

void record(uint16_t ip) {
    TraceEntry& e = trace.ring[trace.next];
    e.ip = ip;
    for (int i = 0; i < 4; ++i)
        e.bytes[i] = memRead(static_cast<uint16_t>(ip + i));
    e.af = cpu.AF, e.bc = cpu.BC, e.de = cpu.DE, e.hl = cpu.HL;
    e.ix = cpu.IX, e.iy = cpu.IY, e.sp = cpu.SP;
    trace.next = (trace.next + 1) % DebugTraceSize;
    if (trace.count < DebugTraceSize) ++trace.count;
}

// The disassembler reads an entry's own bytes, not today's memory.
const TraceEntry* shownEntry = nullptr;
uint8_t entryByte(uint16_t address) {
    return shownEntry->bytes[static_cast<uint16_t>(address - shownEntry->ip) & 3];
}

struct DebugState {
    std::vector<DebugBreakpoint> entries;
    DebugStop lastStop;
    bool stopped = false;
    // The boundary the machine last stopped at or resumed from; no stop
    // happens there again.
    uint16_t resumeIp = 0;
    uint64_t resumeTcount = 0;
    bool resumeKnown = false;
    StepMode step = StepMode::None;
    uint16_t stepSp = 0;
    uint16_t target = 0;
    bool targetSet = false;
    uint16_t lastInstruction = 0; // address of the instruction running while stepping
    DebugRunner runner = nullptr;
};
DebugState debug;

// WatchFlags and the handlers of one address from every entry covering it
// and the stepping target.
void mergeFlags(uint16_t address) {
    uint32_t flags = 0;
    for (const DebugBreakpoint& entry : debug.entries)
        if (address >= entry.from && address <= entry.to) flags |= entry.kinds;
    if (debug.targetSet && address == debug.target) flags |= WatchTarget;
    WatchFlags[address] = flags;
    setReadWatch(address, flags);
    setWriteWatch(address, flags);
}

void mergeRange(uint16_t from, uint16_t to) {
    for (uint32_t a = from; a <= to; ++a)
        mergeFlags(static_cast<uint16_t>(a));
}

void markResumePoint() {
    debug.resumeIp = cpu.IP;
    debug.resumeTcount = cpu.TCOUNT;
    debug.resumeKnown = true;
}

void dropTarget() {
    if (!debug.targetSet) return;
    debug.targetSet = false;
    mergeFlags(debug.target);
}

void armStep(StepMode mode) {
    debugCancelStep();
    markResumePoint();
    debug.stopped = false;
    debug.step = mode;
    debug.stepSp = cpu.SP;
    if (mode == StepMode::Into || mode == StepMode::Out) cpu.breakRequest |= BreakEveryStep;
}

void armTarget(StepMode mode, uint16_t address) {
    armStep(mode);
    debug.target = address;
    debug.targetSet = true;
    mergeFlags(address);
}

int stopHere(DebugStopReason reason, uint16_t address, uint32_t kind, int entry) {
    debug.lastStop = DebugStop{reason, cpu.IP, address, kind, entry};
    debug.stopped = true;
    debugCancelStep();
    markResumePoint();
    return 1;
}

// An entry's hit: its condition holds and its count is reached.
bool counts(DebugBreakpoint& entry) {
    if (!debugConditionHolds(entry.condition)) return false;
    if (entry.basicLine >= 0 && debugBasicLine() != entry.basicLine) return false;
    ++entry.hits;
    return entry.hits >= entry.hitCount;
}

int firstHit(uint16_t address, uint32_t kind) {
    for (size_t i = 0; i < debug.entries.size(); ++i) {
        DebugBreakpoint& entry = debug.entries[i];
        if ((entry.kinds & kind) && address >= entry.from && address <= entry.to && counts(entry))
            return static_cast<int>(i);
    }
    return -1;
}

bool isReturn(uint16_t address) {
    const uint8_t op = memRead(address);
    if (op == 0xC9 || (op & 0xC7) == 0xC0) return true; // RET, RET cc
    return op == 0xED && (memRead(static_cast<uint16_t>(address + 1)) & 0xC7) == 0x45; // RETN/RETI
}

int checkBefore(uint16_t ip, bool hit) {
    debug.lastInstruction = ip;
    const uint32_t flags = WatchFlags[ip];
    if ((flags & WatchTarget) && debug.targetSet && ip == debug.target &&
        (debug.step != StepMode::Over || cpu.SP >= debug.stepSp))
        return stopHere(DebugStopReason::Step, ip, WatchExecute, -1);
    if (!hit) return 0;
    if (flags & WatchExecute) {
        int entry = firstHit(ip, WatchExecute);
        if (entry >= 0) return stopHere(DebugStopReason::Breakpoint, ip, WatchExecute, entry);
    }
    // A read watch on the opcode byte stops before the instruction.
    if (watchHitKind == WatchRead && watchHitAddress == ip) {
        int entry = firstHit(ip, WatchRead);
        if (entry >= 0) return stopHere(DebugStopReason::Watchpoint, ip, WatchRead, entry);
    }
    return 0;
}

int checkAfter(bool hit) {
    if (hit) {
        int entry = firstHit(watchHitAddress, watchHitKind);
        if (entry >= 0)
            return stopHere(DebugStopReason::Watchpoint, watchHitAddress, watchHitKind, entry);
    }
    if (debug.step == StepMode::Into)
        return stopHere(DebugStopReason::Step, cpu.IP, WatchExecute, -1);
    if (debug.step == StepMode::Out && cpu.SP > debug.stepSp && isReturn(debug.lastInstruction))
        return stopHere(DebugStopReason::Step, cpu.IP, WatchExecute, -1);
    return 0;
}

struct Symbols {
    std::map<uint16_t, std::string> byAddress;
    std::map<std::string, uint16_t> byName;
};
Symbols symbols;

// A number as an assembler reads it; false when it is none or over FFFFh.
bool readValue(std::string t, uint16_t& value) {
    int base = 10;
    if (!t.empty() && t[0] == '$') {
        t.erase(0, 1);
        base = 16;
    } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        t.erase(0, 2);
        base = 16;
    } else if (!t.empty() && (t.back() == 'h' || t.back() == 'H')) {
        t.pop_back();
        base = 16;
    }
    if (t.empty() || t.size() > 6) return false;
    const char* digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (t.find_first_not_of(digits) != std::string::npos) return false;
    const unsigned long v = std::strtoul(t.c_str(), nullptr, base);
    if (v > 0xFFFF) return false;
    value = static_cast<uint16_t>(v);
    return true;
}

bool isName(const std::string& t) {
    if (t.empty() || std::isdigit(static_cast<unsigned char>(t[0]))) return false;
    for (char c : t)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '.' && c != '$' &&
            c != '@' && c != '?')
            return false;
    return true;
}

// One line: true with name and value for a symbol.
bool readSymbolLine(std::string line, std::string& name, uint16_t& value) {
    const size_t comment = line.find(';');
    if (comment != std::string::npos) line.erase(comment);
    std::vector<std::string> w;
    for (size_t at = 0; at < line.size();) {
        const size_t start = line.find_first_not_of(" \t\r\n\v\f", at);
        if (start == std::string::npos) break;
        size_t end = line.find_first_of(" \t\r\n\v\f", start);
        if (end == std::string::npos) end = line.size();
        w.push_back(line.substr(start, end - start));
        at = end;
    }
    if (w.empty()) return false;
    // "NAME:" or "NAME" then "equ"/"=" or the value itself.
    std::string first = w[0];
    bool colon = false;
    if (first.size() > 1 && first.back() == ':') {
        first.pop_back();
        colon = true;
    } else if (w.size() >= 2 && w[1] == ":") {
        w.erase(w.begin() + 1);
        colon = true;
    }
    if (!isName(first)) return false;
    std::string valueText;
    if (w.size() == 3) {
        std::string op = w[1];
        for (char& c : op)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (op != "equ" && op != "=") return false;
        valueText = w[2];
    } else if (w.size() == 2 && colon) {
        valueText = w[1];
    } else {
        return false;
    }
    if (!readValue(valueText, value)) return false;
    name = first;
    return true;
}

void runFrameAlone() {
    if (fastFramePending())
        runFrameFast();
    else
        runFrame(CyclesPerFrame, nullptr, 0);
}

// ---- conditions ---------------------------------------------------------

struct RegisterName {
    const char* name;
    DebugCondition::Operand operand;
    int which;
};
enum : int { RegA, RegF, RegB, RegC, RegD, RegE, RegH, RegL, RegI, RegR };
enum : int { RegAF, RegBC, RegDE, RegHL, RegIX, RegIY, RegSP, RegIP };
constexpr RegisterName Registers[] = {
    {"A", DebugCondition::Operand::Register8, RegA},
    {"F", DebugCondition::Operand::Register8, RegF},
    {"B", DebugCondition::Operand::Register8, RegB},
    {"C", DebugCondition::Operand::Register8, RegC},
    {"D", DebugCondition::Operand::Register8, RegD},
    {"E", DebugCondition::Operand::Register8, RegE},
    {"H", DebugCondition::Operand::Register8, RegH},
    {"L", DebugCondition::Operand::Register8, RegL},
    {"I", DebugCondition::Operand::Register8, RegI},
    {"R", DebugCondition::Operand::Register8, RegR},
    {"AF", DebugCondition::Operand::Register16, RegAF},
    {"BC", DebugCondition::Operand::Register16, RegBC},
    {"DE", DebugCondition::Operand::Register16, RegDE},
    {"HL", DebugCondition::Operand::Register16, RegHL},
    {"IX", DebugCondition::Operand::Register16, RegIX},
    {"IY", DebugCondition::Operand::Register16, RegIY},
    {"SP", DebugCondition::Operand::Register16, RegSP},
    {"IP", DebugCondition::Operand::Register16, RegIP},
    {"PC", DebugCondition::Operand::Register16, RegIP},
};

struct CompareName {
    const char* text;
    DebugCondition::Compare compare;
};
// Two-character comparisons first, so "<=" is not read as "<".
constexpr CompareName Comparisons[] = {
    {"==", DebugCondition::Compare::Equal},        {"!=", DebugCondition::Compare::NotEqual},
    {"<>", DebugCondition::Compare::NotEqual},     {"<=", DebugCondition::Compare::LessEqual},
    {">=", DebugCondition::Compare::GreaterEqual}, {"=", DebugCondition::Compare::Equal},
    {"<", DebugCondition::Compare::Less},          {">", DebugCondition::Compare::Greater},
};

bool parseHex(const std::string& text, uint32_t max, uint32_t& value) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
    return value <= max;
}

uint32_t operandValue(const DebugCondition& c) {
    switch (c.operand) {
    case DebugCondition::Operand::Always: return 0;
    case DebugCondition::Operand::Memory: return memRead(static_cast<uint16_t>(c.which));
    case DebugCondition::Operand::Register8:
        switch (c.which) {
        case RegA: return cpu.AF >> 8;
        case RegF: return cpu.AF & 0xFF;
        case RegB: return cpu.BC >> 8;
        case RegC: return cpu.BC & 0xFF;
        case RegD: return cpu.DE >> 8;
        case RegE: return cpu.DE & 0xFF;
        case RegH: return cpu.HL >> 8;
        case RegL: return cpu.HL & 0xFF;
        case RegI: return cpu.I;
        default: return cpu.R;
        }
    case DebugCondition::Operand::Register16:
        switch (c.which) {
        case RegAF: return cpu.AF;
        case RegBC: return cpu.BC;
        case RegDE: return cpu.DE;
        case RegHL: return cpu.HL;
        case RegIX: return cpu.IX;
        case RegIY: return cpu.IY;
        case RegSP: return cpu.SP;
        default: return cpu.IP;
        }
    }
    return 0;
}

} // namespace

bool debugParseCondition(const std::string& text, DebugCondition& condition) {
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (t.empty()) {
        condition = DebugCondition{};
        return true;
    }
    size_t at = t.find_first_of("=!<>");
    if (at == std::string::npos || at == 0) return false;
    DebugCondition c;
    const std::string left = t.substr(0, at);
    const CompareName* found = nullptr;
    for (const CompareName& k : Comparisons)
        if (t.compare(at, std::char_traits<char>::length(k.text), k.text) == 0) {
            found = &k;
            break;
        }
    if (!found) return false;
    c.compare = found->compare;
    const std::string right = t.substr(at + std::char_traits<char>::length(found->text));
    uint32_t max = 0xFF;
    if (left.size() > 2 && left.front() == '(' && left.back() == ')') {
        uint32_t address;
        if (!parseHex(left.substr(1, left.size() - 2), 0xFFFF, address)) return false;
        c.operand = DebugCondition::Operand::Memory;
        c.which = static_cast<int>(address);
    } else {
        const RegisterName* reg = nullptr;
        for (const RegisterName& r : Registers)
            if (left == r.name) reg = &r;
        if (!reg) return false;
        c.operand = reg->operand;
        c.which = reg->which;
        if (reg->operand == DebugCondition::Operand::Register16) max = 0xFFFF;
    }
    if (!parseHex(right, max, c.value)) return false;
    condition = c;
    return true;
}

bool debugConditionHolds(const DebugCondition& c) {
    if (c.operand == DebugCondition::Operand::Always) return true;
    const uint32_t v = operandValue(c);
    switch (c.compare) {
    case DebugCondition::Compare::Equal: return v == c.value;
    case DebugCondition::Compare::NotEqual: return v != c.value;
    case DebugCondition::Compare::Less: return v < c.value;
    case DebugCondition::Compare::Greater: return v > c.value;
    case DebugCondition::Compare::LessEqual: return v <= c.value;
    case DebugCondition::Compare::GreaterEqual: return v >= c.value;
    }
    return false;
}

std::string debugConditionText(const DebugCondition& c) {
    if (c.operand == DebugCondition::Operand::Always) return "";
    std::string left;
    if (c.operand == DebugCondition::Operand::Memory) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "(%04X)", c.which);
        left = buffer;
    } else {
        for (const RegisterName& r : Registers)
            if (r.operand == c.operand && r.which == c.which) {
                left = r.name;
                break;
            }
    }
    const char* compare = "=";
    for (const CompareName& k : Comparisons)
        if (k.compare == c.compare) {
            compare = k.text;
            break;
        }
    if (c.compare == DebugCondition::Compare::Equal) compare = "=";
    char value[8];
    std::snprintf(value, sizeof value,
                  c.operand == DebugCondition::Operand::Register16 ? "%04X" : "%02X", c.value);
    return left + compare + value;
}

const std::vector<DebugBreakpoint>& debugBreakpoints() { return debug.entries; }

int debugAddBreakpoint(const DebugBreakpoint& breakpoint) {
    DebugBreakpoint entry = breakpoint;
    if (entry.to < entry.from) std::swap(entry.from, entry.to);
    if (entry.hitCount == 0) entry.hitCount = 1;
    entry.hits = 0;
    debug.entries.push_back(entry);
    mergeRange(entry.from, entry.to);
    return static_cast<int>(debug.entries.size()) - 1;
}

void debugRemoveBreakpoint(int index) {
    if (index < 0 || index >= static_cast<int>(debug.entries.size())) return;
    const DebugBreakpoint gone = debug.entries[static_cast<size_t>(index)];
    debug.entries.erase(debug.entries.begin() + index);
    mergeRange(gone.from, gone.to);
}

void debugClearBreakpoints() {
    debug.entries.clear();
    mergeRange(0, 0xFFFF);
}

void debugSetKinds(uint16_t address, uint32_t kinds) {
    kinds &= WatchExecute | WatchRead | WatchWrite;
    if (kinds == 0) {
        std::erase_if(debug.entries, [address](const DebugBreakpoint& e) {
            return address >= e.from && address <= e.to;
        });
        mergeRange(0, 0xFFFF); // the removed ranges may reach anywhere
        return;
    }
    std::erase_if(debug.entries, [address](const DebugBreakpoint& e) {
        return e.from == address && e.to == address;
    });
    DebugBreakpoint entry;
    entry.from = entry.to = address;
    entry.kinds = kinds;
    debugAddBreakpoint(entry);
}

bool debugToggleBreakpoint(uint16_t address) {
    if (WatchFlags[address] & (WatchExecute | WatchRead | WatchWrite)) {
        debugSetKinds(address, 0);
        return false;
    }
    debugSetKinds(address, WatchExecute);
    return true;
}

bool debugStopped() { return debug.stopped; }
const DebugStop& debugLastStop() { return debug.lastStop; }

void debugResume() {
    debug.stopped = false;
    markResumePoint();
}

void debugHoldHere() { markResumePoint(); }

void debugStepInto() { armStep(StepMode::Into); }

void debugStepOver() {
    const uint16_t ip = cpu.IP;
    const uint8_t op = memRead(ip);
    int length = 0;
    if (op == 0xCD || (op & 0xC7) == 0xC4)
        length = 3; // CALL, CALL cc
    else if ((op & 0xC7) == 0xC7 || op == 0x76)
        length = 1; // RST, HALT
    else if (op == 0xED && (memRead(static_cast<uint16_t>(ip + 1)) & 0xF4) == 0xB0)
        length = 2; // LDIR, CPIR, INIR, OTIR, LDDR, CPDR, INDR, OTDR
    if (length == 0) return debugStepInto();
    armTarget(StepMode::Over, static_cast<uint16_t>(ip + length));
}

void debugStepOut() { armStep(StepMode::Out); }

void debugRunTo(uint16_t address) { armTarget(StepMode::RunTo, address); }

void debugBreakNow() { armStep(StepMode::Into); }

void debugCancelStep() {
    debug.step = StepMode::None;
    if (!trace.on) cpu.breakRequest &= ~BreakEveryStep;
    dropTarget();
}

void debugSetRunner(DebugRunner runner) { debug.runner = runner; }

bool debugRun(int maxFrames) {
    if (debug.stopped) debugResume();
    for (int i = 0; i < maxFrames; ++i) {
        (debug.runner ? debug.runner : runFrameAlone)();
        if (debug.stopped) return true;
    }
    return false;
}

int debugStopCheck(int when, uint16_t ip) {
    const bool hit = (cpu.breakRequest & BreakHit) != 0;
    if (when == StopBeforeInstruction) {
        int stop = 0;
        // Resuming: the instruction at the boundary the machine waited at runs.
        if (debug.resumeKnown && ip == debug.resumeIp && cpu.TCOUNT == debug.resumeTcount)
            debug.lastInstruction = ip;
        else
            stop = checkBefore(ip, hit);
        // Only an instruction that runs is traced, once.
        if (trace.on && !stop) record(ip);
        return stop;
    }
    return checkAfter(hit);
}

void debugTraceOn(bool on) {
    if (on && !trace.on) {
        trace.ring.assign(DebugTraceSize, TraceEntry{});
        trace.next = trace.count = 0;
    }
    trace.on = on;
    if (on)
        cpu.breakRequest |= BreakEveryStep;
    else if (debug.step != StepMode::Into && debug.step != StepMode::Out)
        cpu.breakRequest &= ~BreakEveryStep;
}

bool debugTracing() { return trace.on; }
size_t debugTraceCount() { return trace.count; }

std::string debugTraceLine(size_t i) {
    if (i >= trace.count) return "";
    const size_t first = trace.count < DebugTraceSize ? 0 : trace.next;
    const TraceEntry& e = trace.ring[(first + i) % DebugTraceSize];
    shownEntry = &e;
    std::string line;
    disassembleWith(entryByte, e.ip, line);
    shownEntry = nullptr;
    constexpr size_t Column = 38;
    if (line.size() < Column) line.resize(Column, ' ');
    char registers[80];
    std::snprintf(registers, sizeof registers,
                  " AF=%04X BC=%04X DE=%04X HL=%04X IX=%04X IY=%04X SP=%04X", e.af, e.bc, e.de,
                  e.hl, e.ix, e.iy, e.sp);
    return line + registers;
}

std::vector<size_t> debugTraceFind(const std::string& text) {
    auto lower = [](std::string t) {
        for (char& c : t)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return t;
    };
    const std::string wanted = lower(text);
    std::vector<size_t> found;
    for (size_t i = 0; i < trace.count; ++i)
        if (lower(debugTraceLine(i)).find(wanted) != std::string::npos) found.push_back(i);
    return found;
}

bool debugTraceWrite(const std::string& path, std::string* cause) {
    std::string text;
    text.reserve(trace.count * 96);
    for (size_t i = 0; i < trace.count; ++i)
        text += debugTraceLine(i) + "\n";
    return WriteWholeFile(path, text, cause) != 0;
}

// Calls f with every line of text, without its end.
template <typename F> void forEachLine(const std::string& text, F f) {
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (!f(text.substr(at, end - at))) return;
        at = end + 1;
    }
}

DebugSymbolsRead debugAddSymbols(const std::string& text) {
    DebugSymbolsRead result;
    forEachLine(text, [&result](const std::string& line) {
        std::string name;
        uint16_t value;
        if (readSymbolLine(line, name, value)) {
            symbols.byAddress[value] = name;
            symbols.byName[name] = value;
            ++result.read;
        } else if (line.find_first_not_of(" \t\r") != std::string::npos &&
                   line.find_first_not_of(" \t\r") != line.find(';')) {
            ++result.skipped;
        }
        return true;
    });
    return result;
}

bool debugLoadSymbolFile(const std::string& path, DebugSymbolsRead& read, std::string* cause) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        if (cause) *cause = "is a folder";
        return false;
    }
    // Plain C files: the streams library would weigh more than the web page may.
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        if (cause) *cause = "cannot be read";
        return false;
    }
    std::string text;
    char block[4096];
    for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;)
        text.append(block, got);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) {
        if (cause) *cause = "cannot be read";
        return false;
    }
    read = debugAddSymbols(text);
    return true;
}

DebugSymbolsRead debugAddFirmwareSymbols() { return debugAddSymbols(OpenFirmwareLabels); }

void debugClearSymbols() { symbols = Symbols{}; }
size_t debugSymbolCount() { return symbols.byName.size(); }

const std::string* debugSymbolAt(uint16_t address) {
    auto found = symbols.byAddress.find(address);
    return found == symbols.byAddress.end() ? nullptr : &found->second;
}

bool debugSymbolAddress(const std::string& name, uint16_t& address) {
    auto found = symbols.byName.find(name);
    if (found == symbols.byName.end()) return false;
    address = found->second;
    return true;
}

namespace {
// Where the open firmware keeps the record of the running line, from its own
// label list; 0 when the running BASIC is another.
uint16_t currentLineWord() {
    if (BasicRomImages[basicRom < 3 ? basicRom : 0] != OpenFirmwareRom) return 0;
    static const uint16_t word = [] {
        uint16_t found = 0;
        forEachLine(OpenFirmwareLabels, [&found](const std::string& line) {
            std::string name;
            uint16_t value;
            if (!readSymbolLine(line, name, value) || name != "curline") return true;
            found = value;
            return false;
        });
        return found;
    }();
    return word;
}
} // namespace

int debugBasicLine() {
    const uint16_t word = currentLineWord();
    if (word == 0) return -1;
    const uint16_t record =
        static_cast<uint16_t>(memRead(word) | (memRead(static_cast<uint16_t>(word + 1)) << 8));
    if (record == 0) return 0;
    // A line record: length, number low byte, high byte with bit 7 set.
    return memRead(static_cast<uint16_t>(record + 1)) |
           ((memRead(static_cast<uint16_t>(record + 2)) & 0x7F) << 8);
}

int debugBreakOnBasicLine(int line) {
    const uint16_t word = currentLineWord();
    if (word == 0) return -1;
    DebugBreakpoint entry;
    // The high byte of the record's address is written last.
    entry.from = entry.to = static_cast<uint16_t>(word + 1);
    entry.kinds = WatchWrite;
    entry.basicLine = line;
    return debugAddBreakpoint(entry);
}

void debugPowerOn() {
    trace = Trace{};
    debugCancelStep();
    debug.entries.clear();
    debug.stopped = false;
    debug.resumeKnown = false;
    debug.lastStop = DebugStop{};
    mergeRange(0, 0xFFFF);
}
