#include "float_machine.h"

#include "basic_session.h"

#include "cpu/z80.h"
#include "machine/memory.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace float_test {

namespace {

constexpr uint16_t HaltAddress = 0xF0F0;
constexpr uint16_t StackTop = 0xF0E0;
constexpr uint16_t MarkerIX = 0x1357, MarkerIY = 0x2468;
constexpr long MaxSteps = 2'000'000;

std::map<std::string, uint16_t>& labels() {
    static std::map<std::string, uint16_t> table;
    return table;
}

// z80asm writes one "name:\tequ $hhhh" line per label.
void readLabels() {
    std::ifstream in(FIRMWARE_LABELS_PATH);
    if (!in) throw std::runtime_error("no label file at " FIRMWARE_LABELS_PATH);
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':');
        size_t dollar = line.find('$');
        if (colon == std::string::npos || dollar == std::string::npos) continue;
        labels()[line.substr(0, colon)] =
            static_cast<uint16_t>(std::stoul(line.substr(dollar + 1), nullptr, 16));
    }
}

} // namespace

Packed pack(long double value) {
    Packed bytes{};
    if (value == 0) return bytes;
    int exponent = 0;
    long double mantissa = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
    long double scaled = std::nearbyint(std::ldexp(mantissa, 32));
    if (scaled >= 4294967296.0L) {
        scaled /= 2;
        ++exponent;
    }
    if (exponent + 128 <= 0) return bytes;
    if (exponent + 128 > 255) throw std::range_error("outside the number range");
    auto m = static_cast<uint32_t>(scaled);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(m >> (8 * i));
    bytes[3] = static_cast<uint8_t>((bytes[3] & 0x7F) | (value < 0 ? 0x80 : 0));
    bytes[4] = static_cast<uint8_t>(exponent + 128);
    return bytes;
}

long double unpack(const Packed& bytes) {
    if (bytes[4] == 0) return 0;
    uint32_t m =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3] | 0x80) << 24;
    long double value = std::ldexp(static_cast<long double>(m), bytes[4] - 128 - 32);
    return (bytes[3] & 0x80) ? -value : value;
}

long double ulpOf(long double value) {
    int exponent = 0;
    std::frexp(std::fabs(value), &exponent);
    return std::ldexp(1.0L, exponent - 32);
}

void ensureMachine() {
    static bool ready = false;
    if (ready) return;
    basic_test::bootMachine();
    readLabels();
    ready = true;
}

uint16_t label(const std::string& name) {
    ensureMachine();
    auto it = labels().find(name);
    if (it == labels().end()) throw std::runtime_error("no label " + name);
    return it->second;
}

Outcome call(const std::string& routine, const Registers& registers) {
    ensureMachine();
    static const std::map<uint16_t, std::string> errors = {
        {label("err_overflow"), "err_overflow"},
        {label("err_divzero"), "err_divzero"},
        {label("err_argument"), "err_argument"},
    };
    MainMemory[HaltAddress] = 0x76;
    cpu.IFF1 = cpu.IFF2 = 0;
    cpu.NMI = 0;
    cpu.HL = registers.hl;
    cpu.DE = registers.de;
    cpu.BC = registers.bc;
    cpu.AF = static_cast<uint16_t>(registers.a << 8);
    cpu.IX = MarkerIX;
    cpu.IY = MarkerIY;
    cpu.SP = StackTop - 2;
    MainMemory[cpu.SP] = HaltAddress & 0xFF;
    MainMemory[cpu.SP + 1] = HaltAddress >> 8;
    cpu.IP = label(routine);
    Outcome outcome;
    uint64_t start = cpu.TCOUNT;
    for (long step = 0;; ++step) {
        if (cpu.IP == HaltAddress) break;
        auto error = errors.find(cpu.IP);
        if (error != errors.end()) {
            outcome.error = error->second;
            break;
        }
        if (step == MaxSteps) throw std::runtime_error(routine + " does not return");
        execute(1);
        outcome.stackBytes = std::max(outcome.stackBytes, static_cast<int>(StackTop - 2) - cpu.SP);
    }
    outcome.cycles = cpu.TCOUNT - start;
    outcome.hl = cpu.HL;
    outcome.de = cpu.DE;
    outcome.bc = cpu.BC;
    outcome.ix = cpu.IX;
    outcome.iy = cpu.IY;
    outcome.a = static_cast<uint8_t>(cpu.AF >> 8);
    outcome.carry = cpu.AF & FlagC;
    outcome.zero = cpu.AF & FlagZ;
    if (outcome.error.empty() && cpu.SP != StackTop)
        throw std::runtime_error(routine + " left the stack unbalanced");
    return outcome;
}

void poke(uint16_t address, const Packed& bytes) {
    ensureMachine();
    for (size_t i = 0; i < bytes.size(); ++i)
        MainMemory[address + i] = bytes[i];
}

Packed peek(uint16_t address) {
    Packed bytes;
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = MainMemory[address + i];
    return bytes;
}

void setFpa(long double value) {
    poke(OperandAddress, pack(value));
    call("fp_load", {.hl = OperandAddress});
}

Packed fpaPacked() {
    call("fp_store", {.hl = ResultAddress});
    return peek(ResultAddress);
}

long double fpa() { return unpack(fpaPacked()); }

Outcome binary(const std::string& routine, long double a, long double b) {
    setFpa(a);
    poke(OperandAddress, pack(b));
    return call(routine, {.hl = OperandAddress});
}

std::string format(long double value) {
    ensureMachine();
    setFpa(value);
    for (int i = 0; i < 40; ++i)
        MainMemory[TextAddress + i] = 0xEE;
    Outcome outcome = call("fp_format", {.de = TextAddress});
    std::string text;
    for (uint16_t at = outcome.hl; MainMemory[at] != 0 && text.size() < 40; ++at)
        text.push_back(static_cast<char>(MainMemory[at]));
    return text;
}

Parsed parse(const std::string& text) {
    ensureMachine();
    for (size_t i = 0; i <= text.size(); ++i)
        MainMemory[TextAddress + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
    setFpa(12345);
    Parsed parsed;
    Outcome outcome = call("fp_parse", {.hl = TextAddress});
    parsed.error = outcome.error;
    if (!outcome.error.empty()) return parsed;
    if (outcome.carry) {
        if (outcome.hl != TextAddress) parsed.length = -2; // moved although it failed
        return parsed;
    }
    parsed.length = outcome.hl - TextAddress;
    parsed.value = fpa();
    return parsed;
}

} // namespace float_test
