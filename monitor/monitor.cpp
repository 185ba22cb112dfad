// The interactive monitor's command loop and its commands. Each command is
// one line of tokens; token 0's first character selects it. Numbers are
// hexadecimal without prefix or suffix. A number that cannot be read or does
// not fit its field is reported and the whole command is dropped, so a typo
// never changes the machine.
#include "monitor/monitor.h"

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "files/file_write.h"
#include "machine/memory.h"
#include "monitor/debug.h"
#include "monitor/disassembler.h"
#include "monitor/dumps.h"
#include "monitor/terminal_console.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

bool monitorOpen = false;
uint32_t monitorCurrent = MonitorNoAddress;

namespace {

constexpr int LineSize = 257; // 256 characters and the terminator
constexpr size_t MaxTokenLength = 255;
constexpr int DisassemblyDefaultLines = 12;
constexpr int DumpDefaultRows = 8;
constexpr int MaxHuntBytes = 5;

const char* const HelpText[] = {
    "Interactive monitor commands:\n",
    "? - this help.\n",
    ":<address> [<value> ...] - write the values to memory from <address>; ':' alone shows the "
    "next row.\n",
    "b [<address> [<kinds>]] - list breakpoints; toggle an execution breakpoint at <address>; "
    "or set exactly the kinds x (execute), r (read), w (write).\n",
    "d [<from>] [<to>] [<name>] - disassemble from <from> (12 instructions, or till <to>), also "
    "into file <name>.\n",
    "f <from> <to> <value> - fill memory <from> till <to> with <value>.\n",
    "g [<address>] - set IP to <address> (to the current address without one).\n",
    "h <from> <to> <value1> [<value2> ... <value5>] - hunt memory (ROM and RAM) <from> to <to> "
    "for the bytes.\n",
    "l <name> <from> [<to>] - load binary file <name> into address <from> [till <to>].\n",
    "m [<from>] [<to>] - show memory <from> till <to> (8 rows without <to>).\n",
    "r - show the registers.\n",
    "s <name> <from> <to> - save memory <from> till <to> into file <name>.\n",
    "t <from> <till> <to> - transfer memory <from> address <till> address <to> address.\n",
    "z - step one instruction.\n",
    "n - step over a call, rst or block instruction.\n",
    "u - run until the current routine returns.\n",
    "e <address> - run until the instruction at <address>.\n",
    "v [+|-|<count>|/ <text>|w <name>] - trace: start, stop, show the last <count> "
    "instructions (12), find <text>, write it all into file <name>.\n",
    "w [<line>] - show the BASIC line running; or stop when BASIC line <line> (decimal) "
    "starts.\n",
    "y [<name>] - read symbols from file <name>, or the firmware's own labels.\n",
    "< - step back one instruction; < b back to the previous breakpoint hit; < f [<count>] back "
    "to the start of the frame <count> (decimal, 0 this one) frames before; < w <address> back "
    "to the instruction that last wrote the byte at <address>.\n",
    "x - exit from monitor.\n",
};

// The syntax line of a command, repeated when it is given too few arguments.
const char* usageOf(char command) {
    switch (command) {
    case 'f': return "f <from> <to> <value>";
    case 'h': return "h <from> <to> <value1> [<value2> ... <value5>]";
    case 'l': return "l <name> <from> [<to>]";
    case 's': return "s <name> <from> <to>";
    case 't': return "t <from> <till> <to>";
    case 'e': return "e <address>";
    default: return "?";
    }
}

TerminalConsole standardTerminal;
MonitorConsole standardConsole;
const MonitorConsole* console = nullptr;
const MonitorHost* host = nullptr;
const MonitorHistory* history = nullptr;

const MonitorConsole& currentConsole() {
    if (console) return *console;
    if (!standardConsole.write) {
        terminalConsoleInit(standardTerminal, stdin, stdout);
        standardConsole = terminalMonitorConsole(&standardTerminal);
    }
    return standardConsole;
}

void put(int attribute, const char* text) {
    const MonitorConsole& c = currentConsole();
    c.write(c.context, text, attribute);
}

[[gnu::format(printf, 2, 3)]] void say(int attribute, const char* format, ...) {
    char buffer[600];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    put(attribute, buffer);
}

// Too few arguments: the command's syntax, nothing done.
void sayUsage(char command) {
    say(MonitorTextNormal, "Too few arguments; usage: %s\n", usageOf(command));
}

uint16_t current16() { return static_cast<uint16_t>(monitorCurrent); }

// ---- tokens and numbers -------------------------------------------------

// Every token of the line is kept (a line holds at most 256 characters), so a
// long ":" line stores all its values.
struct Tokens {
    std::vector<std::string> at;
    int count = 0;
};

Tokens splitLine(const char* line) {
    Tokens tokens;
    const char* p = line;
    while (*p) {
        while (*p && std::strchr(" \t,\r\n", *p))
            ++p;
        if (!*p) break;
        const char* start = p;
        while (*p && !std::strchr(" \t,\r\n", *p))
            ++p;
        size_t length = static_cast<size_t>(p - start);
        tokens.at.emplace_back(start, length < MaxTokenLength ? length : MaxTokenLength);
        tokens.count++;
    }
    return tokens;
}

// Largest value each kind of field accepts.
constexpr uint32_t ByteField = 0xFF;
constexpr uint32_t WordField = 0xFFFF;
constexpr uint32_t LimitField = 0x10000; // an end address just past memory

// Reads token as a hexadecimal number of at most max; tells the user and
// returns false when it is not one.
bool readHex(const std::string& token, uint32_t max, uint32_t& value) {
    if (token.empty() || token.size() > 8 ||
        token.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        say(MonitorTextNormal, "Not a hexadecimal number: %s\n", token.c_str());
        return false;
    }
    value = static_cast<uint32_t>(std::strtoul(token.c_str(), nullptr, 16));
    if (value > max) {
        say(MonitorTextNormal, "Number too large: %s (at most %X)\n", token.c_str(), max);
        return false;
    }
    return true;
}

bool readAddress(const std::string& token, uint16_t& address) {
    uint32_t value;
    if (!readHex(token, WordField, value)) return false;
    address = static_cast<uint16_t>(value);
    return true;
}

// ---- commands -----------------------------------------------------------

int dumpWidth() {
    const MonitorConsole& c = currentConsole();
    int columns = c.columns ? c.columns(c.context) : 80;
    return columns / 3;
}

void showDumpRows(int rows) {
    const int width = dumpWidth();
    std::string row;
    for (int i = 0; i < rows; ++i) {
        dumpRow(row, current16(), width);
        say(MonitorTextNormal, "%s\n", row.c_str());
        monitorCurrent = static_cast<uint16_t>(monitorCurrent + width / 2);
    }
}

void showRegisters() {
    std::string line;
    for (int n = 0; n < 3; ++n) {
        registerLine(line, n);
        say(MonitorTextBright, "%s\n", line.c_str());
    }
}

void commandHelp() {
    for (const char* line : HelpText)
        put(MonitorTextBright, line);
}

// :address [values]  or  : address [values]  or  ":" alone for the next row.
void commandModify(const Tokens& t) {
    const std::string& first = t.at[0];
    if (first.size() == 1 && t.count == 1) {
        showDumpRows(1);
        return;
    }
    // The address is glued to the colon or is the next token; the values
    // follow it either way.
    const bool glued = first.size() > 1;
    const std::string addressToken = glued ? first.substr(1) : t.at[1];
    const int firstValue = glued ? 1 : 2;
    uint16_t address;
    if (!readAddress(addressToken, address)) return;
    std::vector<uint8_t> values;
    for (int i = firstValue; i < t.count; ++i) {
        uint32_t v;
        if (!readHex(t.at[i], ByteField, v)) return;
        values.push_back(static_cast<uint8_t>(v));
    }
    monitorCurrent = address;
    for (uint8_t value : values) {
        memWrite(current16(), value);
        monitorCurrent = static_cast<uint16_t>(monitorCurrent + 1);
    }
}

void listWatches() {
    bool any = false;
    for (uint32_t a = 0; a < 0x10000; ++a) {
        uint32_t f = WatchFlags[a];
        if (!(f & (WatchRead | WatchExecute | WatchWrite))) continue;
        char kinds[4];
        int n = 0;
        if (f & WatchExecute) kinds[n++] = 'X';
        if (f & WatchRead) kinds[n++] = 'R';
        if (f & WatchWrite) kinds[n++] = 'W';
        kinds[n] = '\0';
        say(MonitorTextNormal, " %04X (%s)", a, kinds);
        any = true;
    }
    put(MonitorTextNormal, any ? "\n" : "No breakpoints set.\n");
}

void commandBreakpoint(const Tokens& t) {
    if (t.count == 1 || t.count >= 4) {
        listWatches();
        return;
    }
    uint16_t address;
    if (!readAddress(t.at[1], address)) return;
    if (t.count == 2) {
        say(MonitorTextNormal, "Breakpoint(s) at %04Xh ", address);
        put(MonitorTextNormal, debugToggleBreakpoint(address) ? "set.\n" : "removed.\n");
        return;
    }
    const std::string& kinds = t.at[2];
    auto has = [&](char letter) {
        return kinds.find(letter) != std::string::npos ||
               kinds.find(static_cast<char>(letter - 'a' + 'A')) != std::string::npos;
    };
    if (!has('x') && !has('r') && !has('w')) {
        put(MonitorTextNormal, "Unknown syntax.\n");
        return;
    }
    uint32_t flags = 0;
    say(MonitorTextNormal, "Breakpoint at %04Xh set (", address);
    if (has('x')) put(MonitorTextNormal, "X"), flags |= WatchExecute;
    if (has('r')) put(MonitorTextNormal, "R"), flags |= WatchRead;
    if (has('w')) put(MonitorTextNormal, "W"), flags |= WatchWrite;
    put(MonitorTextNormal, ")\n");
    debugSetKinds(address, flags);
}

void commandDisassemble(const Tokens& t) {
    uint16_t from = current16(), to = 0;
    if (t.count >= 2 && !readAddress(t.at[1], from)) return;
    if (t.count >= 3 && !readAddress(t.at[2], to)) return;
    monitorCurrent = from;
    const bool toFile = t.count >= 4;
    std::string line, listing;
    for (int n = 0; t.count >= 3 ? to > current16() : n < DisassemblyDefaultLines; ++n) {
        uint16_t address = current16();
        uint16_t next = disassemble(address, line);
        say(MonitorTextNormal, "%s\n", line.c_str());
        if (toFile) listing += line + "\n";
        monitorCurrent = next;
        // A range that reaches the end of memory stops there instead of
        // starting over from 0000h.
        if (t.count >= 3 && next <= address) break;
    }
    if (toFile) {
        std::string cause;
        if (WriteWholeFile(t.at[3], listing, &cause))
            say(MonitorTextNormal, "Memory disassembled to file %s.\n", t.at[3].c_str());
        else
            say(MonitorTextNormal, "Error writing to file %s: %s.\n", t.at[3].c_str(),
                cause.c_str());
    }
}

void commandFill(const Tokens& t) {
    if (t.count < 4) return sayUsage('f');
    uint16_t from, to;
    uint32_t value;
    if (!readAddress(t.at[1], from) || !readAddress(t.at[2], to) ||
        !readHex(t.at[3], WordField, value))
        return;
    for (uint32_t a = from; a <= to; ++a)
        memWrite(static_cast<uint16_t>(a), static_cast<uint8_t>(value));
}

void commandGo(const Tokens& t) {
    uint16_t address = current16();
    if (t.count >= 2 && !readAddress(t.at[1], address)) return;
    cpu.IP = address;
}

void commandHunt(const Tokens& t) {
    if (t.count < 4) return sayUsage('h');
    if (t.count > 3 + MaxHuntBytes) {
        say(MonitorTextNormal, "Too many values: at most %d bytes to hunt for.\n", MaxHuntBytes);
        return;
    }
    uint16_t from;
    uint32_t to;
    if (!readAddress(t.at[1], from) || !readHex(t.at[2], LimitField, to)) return;
    uint8_t pattern[MaxHuntBytes];
    int length = 0;
    for (int i = 3; i < t.count; ++i) {
        uint32_t v;
        if (!readHex(t.at[i], ByteField, v)) return;
        pattern[length++] = static_cast<uint8_t>(v);
    }
    monitorCurrent = from;
    // What the processor reads: the ROMs where they are mapped, RAM elsewhere.
    auto matchesAt = [&](uint32_t a) {
        for (int k = 0; k < length; ++k)
            if (memRead(static_cast<uint16_t>(a + k)) != pattern[k]) return false;
        return true;
    };
    for (uint32_t a = from; a < to && a + length <= 0x10000; ++a)
        if (matchesAt(a)) say(MonitorTextNormal, " %x", a);
    put(MonitorTextNormal, "\n");
}

void commandLoad(const Tokens& t) {
    if (t.count < 3) return sayUsage('l');
    uint16_t from, to = 0xFFFF;
    if (!readAddress(t.at[2], from)) return;
    if (t.count >= 4 && !readAddress(t.at[3], to)) return;
    const char* name = t.at[1].c_str();
    std::FILE* file = std::fopen(name, "rb");
    if (!file) {
        say(MonitorTextNormal, "Error reading binary file %s.\n", name);
        return;
    }
    int c;
    for (uint32_t a = from; a <= to && (c = std::fgetc(file)) != EOF; ++a)
        memWrite(static_cast<uint16_t>(a), static_cast<uint8_t>(c));
    const bool failed = std::ferror(file);
    std::fclose(file);
    if (failed)
        say(MonitorTextNormal, "Error reading binary file %s.\n", name);
    else
        say(MonitorTextNormal, "Memory loaded %04X-%04X from file %s.\n", from, to, name);
}

void commandMemory(const Tokens& t) {
    uint16_t from = current16(), to = 0;
    if (t.count >= 2 && !readAddress(t.at[1], from)) return;
    if (t.count >= 3 && !readAddress(t.at[2], to)) return;
    int rows = DumpDefaultRows;
    // Enough rows to show every byte of the range.
    const int perRow = dumpWidth() / 2 > 0 ? dumpWidth() / 2 : 1;
    if (t.count >= 3) rows = to >= from ? (to - from) / perRow + 1 : 1;
    monitorCurrent = from;
    showDumpRows(rows);
}

void commandSave(const Tokens& t) {
    if (t.count < 4) return sayUsage('s');
    uint16_t from, to;
    if (!readAddress(t.at[2], from) || !readAddress(t.at[3], to)) return;
    const char* name = t.at[1].c_str();
    std::string bytes;
    for (uint32_t a = from; a <= to; ++a)
        bytes += static_cast<char>(memRead(static_cast<uint16_t>(a)));
    std::string cause;
    if (WriteWholeFile(name, bytes, &cause))
        say(MonitorTextNormal, "Memory saved %04X-%04X to file %s.\n", from, to, name);
    else
        say(MonitorTextNormal, "Error writing to file %s: %s.\n", name, cause.c_str());
}

void commandTransfer(const Tokens& t) {
    if (t.count < 4) return sayUsage('t');
    uint16_t from, till, to;
    if (!readAddress(t.at[1], from) || !readAddress(t.at[2], till) || !readAddress(t.at[3], to))
        return;
    if (from > till) return;
    const uint32_t count = static_cast<uint32_t>(till - from) + 1;
    auto copy = [&](uint32_t k) {
        memWrite(static_cast<uint16_t>(to + k), memRead(static_cast<uint16_t>(from + k)));
    };
    // Copy in the direction that never overwrites a byte before it is read.
    if (from > to)
        for (uint32_t k = 0; k < count; ++k)
            copy(k);
    else
        for (uint32_t k = count; k-- > 0;)
            copy(k);
}

// One instruction through the frame driver, so the frame's timing, the
// NMI and a playing tape see it as in any run. A step always completes
// within the rest of a frame and the next.
constexpr int StepFrames = 2;

void commandStep() {
    std::string line;
    uint16_t next = disassemble(cpu.IP, line);
    say(MonitorTextNormal, "%s\n", line.c_str());
    monitorCurrent = next;
    debugStepInto();
    debugRun(StepFrames);
    showRegisters();
}

// A run the monitor waits for: at most this many frames (20 emulated
// seconds), then it gives up and says where the machine is.
constexpr int RunFrames = 1000;

void runAndReport() {
    if (debugRun(RunFrames)) {
        std::string line;
        disassemble(cpu.IP, line);
        const DebugStopReason why = debugLastStop().reason;
        if (why != DebugStopReason::Step)
            say(MonitorTextNormal, "%s reached at %04X.\n",
                why == DebugStopReason::Breakpoint ? "Breakpoint" : "Watchpoint",
                debugLastStop().ip);
        say(MonitorTextNormal, "%s\n", line.c_str());
    } else {
        debugCancelStep();
        say(MonitorTextNormal, "Not there after %d frames; the machine is at %04X.\n", RunFrames,
            cpu.IP);
    }
    monitorCurrent = cpu.IP;
    showRegisters();
}

void commandRunTo(const Tokens& t) {
    if (t.count < 2) return sayUsage('e');
    uint16_t address;
    if (!readAddress(t.at[1], address)) return;
    debugRunTo(address);
    runAndReport();
}

constexpr size_t TraceDefaultLines = 12;

void commandTrace(const Tokens& t) {
    const std::string what = t.count >= 2 ? t.at[1] : "";
    if (what == "+" || what == "-") {
        debugTraceOn(what == "+");
        say(MonitorTextNormal, "Trace %s (%zu instructions kept).\n", what == "+" ? "on" : "off",
            debugTraceCount());
        return;
    }
    if (what == "/" || what == "w") {
        if (t.count < 3) {
            say(MonitorTextNormal, "Too few arguments; usage: v %s\n",
                what == "/" ? "/ <text>" : "w <name>");
            return;
        }
        if (what == "w") {
            std::string cause;
            if (debugTraceWrite(t.at[2], &cause))
                say(MonitorTextNormal, "Trace of %zu instructions written to file %s.\n",
                    debugTraceCount(), t.at[2].c_str());
            else
                say(MonitorTextNormal, "Error writing to file %s: %s.\n", t.at[2].c_str(),
                    cause.c_str());
            return;
        }
        std::string text = t.at[2];
        for (int i = 3; i < t.count; ++i)
            text += " " + t.at[i];
        const std::vector<size_t> found = debugTraceFind(text);
        for (size_t i : found)
            say(MonitorTextNormal, "%s\n", debugTraceLine(i).c_str());
        say(MonitorTextNormal, "%zu found.\n", found.size());
        return;
    }
    uint32_t count = TraceDefaultLines;
    if (!what.empty() && !readHex(what, WordField, count)) return;
    const size_t kept = debugTraceCount();
    for (size_t i = kept > count ? kept - count : 0; i < kept; ++i)
        say(MonitorTextNormal, "%s\n", debugTraceLine(i).c_str());
    if (kept == 0)
        put(MonitorTextNormal, debugTracing() ? "Trace empty.\n" : "Trace off; v + starts it.\n");
}

void commandBasicLine(const Tokens& t) {
    if (t.count < 2) {
        const int line = debugBasicLine();
        if (line < 0)
            put(MonitorTextNormal, "The running BASIC is not the open firmware.\n");
        else if (line == 0)
            put(MonitorTextNormal, "No BASIC line running (direct mode).\n");
        else
            say(MonitorTextNormal, "BASIC line %d.\n", line);
        return;
    }
    const std::string& text = t.at[1];
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos || std::stoi(text) > 32767) {
        say(MonitorTextNormal, "Not a BASIC line number: %s\n", text.c_str());
        return;
    }
    if (debugBreakOnBasicLine(std::stoi(text)) < 0)
        put(MonitorTextNormal, "The running BASIC is not the open firmware.\n");
    else
        say(MonitorTextNormal, "Stop when BASIC line %d starts.\n", std::stoi(text));
}

void commandSymbols(const Tokens& t) {
    DebugSymbolsRead read;
    if (t.count < 2) {
        read = debugAddFirmwareSymbols();
    } else {
        std::string cause;
        if (!debugLoadSymbolFile(t.at[1], read, &cause)) {
            say(MonitorTextNormal, "Error reading symbol file %s: %s.\n", t.at[1].c_str(),
                cause.c_str());
            return;
        }
    }
    say(MonitorTextNormal, "%d symbols read, %d lines skipped; %zu known.\n", read.read,
        read.skipped, debugSymbolCount());
}

// "<" alone or with a subcommand (b, f, w), also written together ("<b").
void commandBack(const Tokens& t) {
    if (!history) {
        put(MonitorTextNormal, "No history is kept: the machine cannot go back.\n");
        return;
    }
    std::vector<std::string> args;
    if (t.at[0].size() > 1) args.push_back(t.at[0].substr(1));
    for (int i = 1; i < t.count; ++i)
        args.push_back(t.at[static_cast<size_t>(i)]);
    std::string message;
    bool went = false;
    const std::string what = args.empty() ? "" : args[0];
    if (what.empty()) {
        went = history->stepBack(message);
    } else if (what == "b") {
        went = history->backToBreakpoint(message);
    } else if (what == "f") {
        uint32_t frames = 1;
        if (args.size() > 1) {
            const std::string& n = args[1];
            if (n.empty() || n.size() > 9 ||
                n.find_first_not_of("0123456789") != std::string::npos) {
                say(MonitorTextNormal, "Not a decimal number: %s\n", n.c_str());
                return;
            }
            frames = static_cast<uint32_t>(std::stoul(n));
        }
        went = history->backFrames(frames, message);
    } else if (what == "w") {
        if (args.size() < 2) {
            put(MonitorTextNormal, "Too few arguments; usage: < w <address>\n");
            return;
        }
        uint16_t address;
        if (!readAddress(args[1], address)) return;
        went = history->whoWrote(address, message);
    } else {
        put(MonitorTextNormal, "Unknown syntax.\n");
        return;
    }
    say(MonitorTextNormal, "%s\n", message.c_str());
    if (!went) return;
    std::string line;
    disassemble(cpu.IP, line);
    say(MonitorTextNormal, "%s\n", line.c_str());
    monitorCurrent = cpu.IP;
    showRegisters();
}

// Commands that change memory or registers from outside the machine's run.
bool changesMachine(char command) { return std::strchr(":fglt", command) != nullptr; }

// Runs one command line; false when it closes the monitor.
bool runCommand(const char* line) {
    if (line[0] == '\r' || line[0] == '\n') return true;
    Tokens t = splitLine(line);
    if (t.count == 0) return true;
    switch (t.at[0][0]) {
    case '?': commandHelp(); break;
    case ':': commandModify(t); break;
    case 'b': commandBreakpoint(t); break;
    case 'd': commandDisassemble(t); break;
    case 'f': commandFill(t); break;
    case 'g': commandGo(t); break;
    case 'h': commandHunt(t); break;
    case 'l': commandLoad(t); break;
    case 'm': commandMemory(t); break;
    case 'r': showRegisters(); break;
    case 's': commandSave(t); break;
    case 't': commandTransfer(t); break;
    case 'z': commandStep(); break;
    case 'n':
        debugStepOver();
        runAndReport();
        break;
    case 'u':
        debugStepOut();
        runAndReport();
        break;
    case 'e': commandRunTo(t); break;
    case 'v': commandTrace(t); break;
    case 'w': commandBasicLine(t); break;
    case 'y': commandSymbols(t); break;
    case '<': commandBack(t); break;
    case 'x': return false;
    default: put(MonitorTextNormal, "Unknown command, type ? for help!\n"); break;
    }
    if (history && history->changed && changesMachine(t.at[0][0])) history->changed();
    return true;
}

const MonitorConsole* openedConsole = nullptr;

void leave() {
    cpu.breakRequest &= ~BreakHit;
    debugResume();
    monitorOpen = false;
    const MonitorConsole* opened = openedConsole;
    openedConsole = nullptr;
    if (opened && opened->close) opened->close(opened->context);
    if (host && host->resumeSound) host->resumeSound();
    if (host && host->closeDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(host->closeDelayMs));
    if (host && host->resetPacing) host->resetPacing();
}

} // namespace

void monitorSetConsole(const MonitorConsole* newConsole) { console = newConsole; }
void monitorSetHost(const MonitorHost* newHost) { host = newHost; }
void monitorSetHistory(const MonitorHistory* newHistory) { history = newHistory; }

int monitorBegin(int reason, uint16_t ip) {
    if (monitorOpen) return 0;
    if (host && host->pauseSound) host->pauseSound();
    monitorOpen = true;
    // Whatever stopped the machine, it waits at this boundary now.
    if (!debugStopped()) debugHoldHere();
    const MonitorConsole& c = currentConsole();
    if (c.open && !c.open(c.context, "Interactive monitor")) {
        leave();
        return -1;
    }
    openedConsole = &c;

    put(MonitorTextNormal, "Type '?' for help, 'x' for exit.\n");
    if (reason == MonitorStopped) {
        std::string line;
        disassemble(cpu.IP, line);
        // An execution breakpoint stops with IP on its address; a read or
        // write watch stops after the instruction that touched its address.
        const DebugStopReason why = debugLastStop().reason;
        const char* what = why == DebugStopReason::Breakpoint   ? "Breakpoint"
                           : why == DebugStopReason::Watchpoint ? "Watchpoint"
                                                                : "Step";
        say(MonitorTextNormal, "%s reached at %04X.\n%s\n", what, ip, line.c_str());
        // d and m without an address start at the stopped instruction.
        monitorCurrent = cpu.IP;
    }
    if (monitorCurrent == MonitorNoAddress) monitorCurrent = cpu.IP;
    return 1;
}

bool monitorCommand(const char* line) {
    if (!monitorOpen) return false;
    char copy[LineSize];
    std::snprintf(copy, sizeof copy, "%s", line);
    if (runCommand(copy)) return true;
    leave();
    return false;
}

void monitorEnd() {
    if (monitorOpen) leave();
}

int monitorEnter(int reason, uint16_t ip) {
    const int begun = monitorBegin(reason, ip);
    if (begun == 0) return 0;
    if (begun < 0) return 1;
    const MonitorConsole& c = currentConsole();
    char line[LineSize];
    for (;;) {
        std::memset(line, 0, sizeof line);
        // End of input leaves the monitor as x would.
        if (!c.readLine(c.context, line, LineSize)) break;
        if (!monitorCommand(line)) return 1;
    }
    monitorEnd();
    return 1;
}
