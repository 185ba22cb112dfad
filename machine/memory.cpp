// The address decoder, the write rule, the watch handlers and the external
// ROM file.
#include "machine/memory.h"

#include <cstdio>
#include <cstring>

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/roms.h"

uint8_t MainMemory[65536];
uint32_t basicRom = BasicRomOld;
uint32_t dosRom = DosRomUfddos;
bool externalRomKnown = false;
bool wideVideo = false;

static const char ExternalRomFile[] = "ZaVUR80BASIC.ROM";

namespace {
constexpr MemoryMapRules Map = Abc80Model.memory;
} // namespace

uint8_t memRead(uint16_t address) {
    if (Map.basicRom.contains(address))
        return BasicRomImages[basicRom < BasicRomChoices ? basicRom : 0]
                             [address - Map.basicRom.first];
    if (Map.dosRom.contains(address))
        return DosRomImages[dosRom < DosRomChoices ? dosRom : 0][address - Map.dosRom.first];
    if (Map.dosAuxRom.contains(address))
        return DosAuxRomImages[dosRom < DosRomChoices ? dosRom : 0][address - Map.dosAuxRom.first];
    return MainMemory[address];
}

bool processorCanWrite(uint16_t address) {
    return Map.writable[1].contains(address) || Map.writable[0].contains(address);
}

void memWrite(uint16_t address, uint8_t value) {
    if (processorCanWrite(address)) MainMemory[address] = value;
}

uint8_t* memoryArray() { return MainMemory; }

const VideoLayout& videoLayout() { return Abc80Model.video[wideVideo ? 1 : 0]; }

int videoColumns() { return videoLayout().columns; }

const uint8_t* videoRow(const uint8_t* videoBase, int row) {
    return videoBase + videoLayout().rowOffset(row);
}

bool wideVideoSelected() { return basicRom == BasicRomExternal && externalRomKnown; }

uint8_t* videoMemory() {
    wideVideo = wideVideoSelected();
    return MainMemory + videoLayout().base;
}

uint16_t watchHitAddress = 0;
uint32_t watchHitKind = 0;

uint8_t readWatchHandler(uint16_t address) {
    const uint32_t flags = WatchFlags[address];
    // The opcode fetch is the read whose address is one before IP (execute
    // moves IP past the opcode before it reads it); a data read of the same
    // byte in the middle of an instruction only counts for a read watch.
    const bool opcodeFetch = address == static_cast<uint16_t>(cpu.IP - 1);
    if ((flags & (WatchExecute | WatchTarget)) && opcodeFetch) {
        cpu.breakRequest |= BreakHit;
    } else if (flags & WatchRead) {
        watchHitAddress = address;
        watchHitKind = WatchRead;
        cpu.breakRequest |= BreakHit;
    }
    return memRead(address);
}

void writeWatchHandler(uint16_t address, uint8_t value) {
    if (WatchFlags[address] & WatchWrite) {
        watchHitAddress = address;
        watchHitKind = WatchWrite;
        cpu.breakRequest |= BreakHit;
    }
    memWrite(address, value);
}

void setReadWatch(uint16_t address, uint32_t flags) {
    ReadHandlers[address] =
        (flags & (WatchExecute | WatchRead | WatchTarget)) ? readWatchHandler : memRead;
}

void setWriteWatch(uint16_t address, uint32_t flags) {
    WriteHandlers[address] = (flags & WatchWrite) ? writeWatchHandler : memWrite;
}

// The file is looked for in the current directory first, then in the ROM
// folders, so an installed copy works from any directory.
static FILE* openExternalRom() {
    if (FILE* file = std::fopen(ExternalRomFile, "rb")) return file;
    for (const std::string& folder : romFolders()) {
        std::string path = folder + "/" + ExternalRomFile;
        if (FILE* file = std::fopen(path.c_str(), "rb")) return file;
    }
    return nullptr;
}

int loadExternalRom() {
    externalRomKnown = false;
    FILE* file = openExternalRom();
    if (!file) {
        if (basicRom >= BasicRomExternal) basicRom = BasicRomOld;
        return 0;
    }
    size_t count = std::fread(MainMemory, 1, BasicRomSize, file);
    std::fclose(file);
    if (count > 0 && crc32(MainMemory, count) == KnownExternalRomCrc) externalRomKnown = true;
    std::fprintf(stderr, "ROM loaded from file (%i bytes)\n", static_cast<int>(count));
    return 1;
}
