// Register lines, memory rows and memory dump files. The rows and the
// disassembly read through memRead (what the processor sees, ROMs included);
// the dump files' hex part and binary image are the memory array itself.
#include "monitor/dumps.h"

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "files/file_write.h"
#include "machine/memory.h"

#include <cstdio>

namespace {

// F as eight binary digits, bit 7 first, packed into a decimal number so that
// "%08i" puts each digit under its letter of "SZ-H-PNC".
int flagDigits(uint8_t f) {
    int digits = 0;
    for (int bit = 7; bit >= 0; --bit)
        digits = digits * 10 + ((f >> bit) & 1);
    return digits;
}

bool printableInRow(uint8_t c) { return c >= 0x20 && c <= 0x7D; }

} // namespace

void registerLine(std::string& text, int n) {
    char line[128];
    line[0] = '\0';
    switch (n) {
    case 0:
        std::snprintf(line, sizeof line, "IP:%04X,AF:%04X,BC:%04X,DE:%04X,HL:%04X,R:%02X|SZ-H-PNC",
                      cpu.IP, cpu.AF, cpu.BC, cpu.DE, cpu.HL, cpu.R);
        break;
    case 1:
        std::snprintf(line, sizeof line, "IX:%04X,IY:%04X,SP:%02X,I:%02X,INT:%1u,NMI:%1u, FL|%08i",
                      cpu.IX, cpu.IY, cpu.SP, cpu.I, cpu.INT ? 1u : 0u, cpu.NMI ? 1u : 0u,
                      flagDigits(static_cast<uint8_t>(cpu.AF)));
        break;
    case 2:
        std::snprintf(line, sizeof line, "TCOUNT:%024llu",
                      static_cast<unsigned long long>(cpu.TCOUNT));
        break;
    default: break;
    }
    text = line;
}

void dumpRowWith(ByteReader read, std::string& text, uint16_t address, int width) {
    char cell[16];
    std::snprintf(cell, sizeof cell, " %04X: ", address);
    text = cell;
    const int count = width / 2;
    for (int i = 0; i < count; ++i) {
        if (i % 4 == 0) text += ' ';
        std::snprintf(cell, sizeof cell, "%02X ", read(static_cast<uint16_t>(address + i)));
        text += cell;
    }
    text += ':';
    for (int i = 0; i < count; ++i) {
        uint8_t c = read(static_cast<uint16_t>(address + i));
        text += printableInRow(c) ? static_cast<char>(c) : '.';
    }
}

void dumpRow(std::string& text, uint16_t address, int width) {
    dumpRowWith(memRead, text, address, width);
}

int writeMemoryDump(const char* textPath, const char* binaryPath, std::string* cause) {
    const uint8_t* memory = memoryArray();
    std::string text;
    char row[128];
    for (uint32_t a = 0; a < 0x10000; a += 16) {
        int n = std::snprintf(row, sizeof row, "%04X : ", a);
        for (uint32_t i = 0; i < 16; ++i)
            n += std::snprintf(row + n, sizeof row - n, "%02X ", memory[a + i]);
        for (uint32_t i = 0; i < 16; ++i) {
            int c = memory[a + i] & 0x7F;
            row[n++] = static_cast<char>(c >= 0x20 && c < 0x7F ? c : '_');
        }
        row[n++] = '\n';
        text.append(row, n);
    }
    text += "\nRAM disassembly\n\n";
    std::string line;
    // Up to the end of memory: stop once an instruction wraps past FFFFh.
    uint16_t address = 0x8000;
    for (;;) {
        uint16_t next = disassemble(address, line);
        text += line;
        text += '\n';
        if (next <= address) break;
        address = next;
    }
    // Each file is tried even when the other failed.
    std::string failed, causes;
    if (!WriteWholeFile(textPath, text, &failed)) causes = std::string(textPath) + ": " + failed;
    if (!WriteWholeFile(binaryPath, memory, 0x10000, &failed))
        causes += std::string(causes.empty() ? "" : "; ") + std::string(binaryPath) + ": " + failed;
    if (cause) *cause = causes;
    return causes.empty() ? 1 : 0;
}

int memoryDumpFiles(std::string* cause) { return writeMemoryDump("dump.txt", "dump.bin", cause); }
