// The monitor's register lines and memory rows, and the memory dump files
// ("dump.txt" with a hex/character listing and a disassembly of RAM, and
// "dump.bin" with the raw 64 KB memory array).
#pragma once

#include "monitor/disassembler.h"

#include <cstdint>
#include <string>

// Fills text with register line n (0, 1 or 2) of the processor state:
//   IP:0000,AF:FFFF,BC:0000,DE:0000,HL:0000,R:00|SZ-H-PNC
//   IX:0000,IY:0000,SP:FFFF,I:00,INT:0,NMI:0, FL|11111111
//   TCOUNT:000000000000000000000000
// Any other n gives an empty line.
void registerLine(std::string& text, int n);

// One row of the monitor's memory display: the address, width / 2 bytes in
// hex (an extra blank before every fourth), then the bytes as characters.
void dumpRowWith(ByteReader read, std::string& text, uint16_t address, int width);
void dumpRow(std::string& text, uint16_t address, int width);

// Writes the text dump and the binary image of the memory array to the given
// paths, each safely (files/file_write.h). Returns 1 when both were written;
// otherwise 0, with the file and the cause in *cause ("dump.bin: no space
// left on device"). A failed file leaves an older one of that name as it was.
int writeMemoryDump(const char* textPath, const char* binaryPath, std::string* cause = nullptr);
// writeMemoryDump("dump.txt", "dump.bin") in the current directory.
int memoryDumpFiles(std::string* cause = nullptr);
