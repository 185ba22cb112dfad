// A machine in a known state for the tests: all memory zero, no installed
// ROM images, the external slot chosen so that the test's own program at
// 0000h (written straight into MainMemory) is what the processor runs.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "abc80/abc80.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"

inline void freshMachine() {
    machinePowerOn();
    clearRomImages();
    basicRom = BasicRomExternal;
    dosRom = DosRomNone;
    placeFirmwareExtension(); // the choice takes effect, as with a reset
}

inline void poke(uint16_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes)
        MainMemory[address++] = b;
}

// A fresh folder under the system's temporary folder, removed with the object.
struct TempFolder {
    std::filesystem::path path;
    explicit TempFolder(const std::string& name) {
        path = std::filesystem::temp_directory_path() /
               ("orvane-machine-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    void write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(file(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
};

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Appends four bytes that make the CRC-32 of the whole equal `target`. The
// CRC is affine in the appended bits, so a 32 x 32 system over GF(2) fixes them.
inline void forgeCrc(std::vector<uint8_t>& data, uint32_t target) {
    size_t at = data.size();
    data.resize(at + 4, 0);
    auto crcWith = [&](uint32_t x) {
        for (int i = 0; i < 4; i++)
            data[at + i] = static_cast<uint8_t>(x >> (8 * i));
        return crc32(data.data(), data.size());
    };
    uint32_t base = crcWith(0);
    uint32_t columns[32];
    for (int bit = 0; bit < 32; bit++)
        columns[bit] = crcWith(1u << bit) ^ base;
    // Gaussian elimination: rows are equations (one per CRC bit).
    uint32_t rows[32];
    uint32_t rhs = target ^ base;
    for (int r = 0; r < 32; r++) {
        rows[r] = 0;
        for (int bit = 0; bit < 32; bit++)
            if (columns[bit] >> r & 1) rows[r] |= 1u << bit;
    }
    uint32_t rowRhs[32];
    for (int r = 0; r < 32; r++)
        rowRhs[r] = rhs >> r & 1;
    int pivotRow[32];
    int rank = 0;
    for (int bit = 0; bit < 32; bit++) {
        int found = -1;
        for (int r = rank; r < 32; r++)
            if (rows[r] >> bit & 1) found = r;
        if (found < 0) return; // cannot happen: the CRC bits are independent
        std::swap(rows[found], rows[rank]);
        std::swap(rowRhs[found], rowRhs[rank]);
        for (int r = 0; r < 32; r++)
            if (r != rank && (rows[r] >> bit & 1)) {
                rows[r] ^= rows[rank];
                rowRhs[r] ^= rowRhs[rank];
            }
        pivotRow[bit] = rank++;
    }
    uint32_t x = 0;
    for (int bit = 0; bit < 32; bit++)
        if (rowRhs[pivotRow[bit]]) x |= 1u << bit;
    crcWith(x);
}
