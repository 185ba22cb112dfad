// The floating-point routines of the open firmware called one at a time on
// the emulated Z80: numbers go into RAM in the firmware's 5-byte format, a
// routine runs from its label until it returns (or jumps to an error
// label), and the results are read back and compared with the host.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace float_test {

using Packed = std::array<uint8_t, 5>;

// The nearest number of the firmware's format (32-bit mantissa, round to
// nearest even); 0 below the range. Throws std::range_error above it.
Packed pack(long double value);
long double unpack(const Packed& bytes);
// The distance between value and the numbers of its binade in the format:
// one unit in the last place of a normalised result.
long double ulpOf(long double value);

// Where operands, text and results live while a routine runs.
constexpr uint16_t OperandAddress = 0xF000;
constexpr uint16_t ResultAddress = 0xF010;
constexpr uint16_t TextAddress = 0xF100;

struct Registers {
    uint16_t hl = 0, de = 0, bc = 0;
    uint8_t a = 0;
};

struct Outcome {
    std::string error;   // empty, or the error label the routine jumped to
    uint64_t cycles = 0; // T-states from entry to the final RET
    int stackBytes = 0;  // the deepest the stack went below the return address
    uint16_t hl = 0, de = 0, bc = 0, ix = 0, iy = 0;
    uint8_t a = 0;
    bool carry = false, zero = false;
};

// Boots the open firmware once per process and reads its label file.
void ensureMachine();
uint16_t label(const std::string& name);

// Runs the routine with the registers given (IX and IY set to marker
// values, to check they survive).
Outcome call(const std::string& routine, const Registers& registers = {});

void poke(uint16_t address, const Packed& bytes);
Packed peek(uint16_t address);

// FPA := value (through fp_load); FPA read back (through fp_store).
void setFpa(long double value);
long double fpa();
Packed fpaPacked();

// FPA := a, then routine with HL at b: the routine's outcome, FPA after.
Outcome binary(const std::string& routine, long double a, long double b);

// fp_format of FPA, as text.
std::string format(long double value);
// fp_parse of the text: the value, and how many characters it took (-1
// when it reported no number).
struct Parsed {
    long double value = 0;
    int length = -1;
    std::string error;
};
Parsed parse(const std::string& text);

} // namespace float_test
