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
#include <vector>

#include <unistd.h>

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"

inline void freshMachine() {
    std::memset(MainMemory, 0, sizeof MainMemory);
    clearRomImages();
    basicRom = BasicRomExternal;
    dosRom = DosRomNone;
    externalRomKnown = false;
    keyboardInit();
    cpuInit(MachineClockHz);
    std::memset(Pio, 0, sizeof Pio);
    std::memset(PioLastWritten, 0, sizeof PioLastWritten);
    std::memset(PortLatches, 0, sizeof PortLatches);
    cardSelect = 0;
    tapeInputLatch = 0;
    closePrinter();
    frameCounter = 0;
    lineCycles = 0;
    fastCarry = 0;
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
