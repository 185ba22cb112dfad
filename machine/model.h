// The ABC80 as a model: every fixed fact the parts are built from, in one
// record. The memory decoder, the renderer, the screen text, the ports, the
// disk cards, the resets and the save states read their numbers from
// `Abc80Model`; the names they have always used (VideoRows, BasicRomChoices,
// DosRomChoices, MachineClockHz, ...) are references into it.
//
// Nothing here changes while the machine runs: what changes (the chosen ROMs,
// the memory, the wide screen while the 80-column BASIC runs) is the machine's
// state, kept by its devices (abc80/abc80.h).
//
//   const VideoLayout& layout = Abc80Model.video[wide];
//   const uint8_t* row = MainMemory + layout.base + layout.rowOffset(r);
#pragma once

#include <cstdint>

// A stretch of the address space, first to last address inclusive.
struct AddressRange {
    uint16_t first;
    uint16_t last;
    constexpr bool contains(uint16_t address) const { return address >= first && address <= last; }
    constexpr uint32_t size() const { return uint32_t{last} - first + 1u; }
};

// The text screen: `rows` rows of `columns` characters in video memory at
// `base`. The rows are interleaved in three thirds of eight: row r starts
// (r % 8) * bankStride + (r / 8) * columns bytes into the video memory.
struct VideoLayout {
    uint16_t base;
    int columns;
    int rows;
    int bankStride;
    constexpr int rowOffset(int row) const { return (row % 8) * bankStride + (row / 8) * columns; }
    constexpr uint32_t bytes() const { return uint32_t(bankStride) * 8u; }
};

// What the address decoder lays over the 64 KB of memory, and what the
// processor may write.
struct MemoryMapRules {
    AddressRange basicRom;  // the BASIC ROM socket (0000h-3FFFh)
    AddressRange dosRom;    // the DOS ROM socket (6000h-6FFFh)
    AddressRange dosAuxRom; // the DOS's second socket (7800h-7BFFh)
    AddressRange extension; // the extension sockets (4000h-57FFh), read-only
    // The processor writes these and nothing else: 4000h-57FFh (the extension
    // sockets), the ROM sockets and 7000h-73FFh are read-only to it.
    AddressRange writable[2];
    // RAM a hard reset clears: below the 80-column screen and from 8000h. The
    // ROM area and 6000h-7FFFh with the 40-column screen are kept.
    AddressRange clearedByHardReset[2];
};

// How many images each ROM socket chooses between (BasicRom..., DosRom... in
// machine/memory.h).
struct RomChoiceCounts {
    uint32_t basic;
    uint32_t dos;
};

// One disk card of the set on the ABC bus: its card code, device name and
// how it numbers sectors (media/disk_card.h).
struct DiskCardModel {
    int code;
    char name[3];
    uint32_t clusterSize;
    uint32_t sectorLimit;
    bool linear; // sector = track byte * 256 + sector byte
};

struct CardSet {
    // In save-state order: the cards' sections are written in this order.
    DiskCardModel disks[4];
    int printerCode;
    constexpr bool isDiskCard(int code) const {
        for (const DiskCardModel& card : disks)
            if (card.code == code) return true;
        return false;
    }
};

struct MachineModel {
    const char* name;
    uint64_t clockHz;
    // video[0]: the 40-column screen every BASIC uses; video[1]: the 80-column
    // screen of the external 80-column BASIC.
    VideoLayout video[2];
    MemoryMapRules memory;
    RomChoiceCounts romChoices;
    CardSet cards;
};

inline constexpr MachineModel Abc80Model = {
    .name = "ABC80",
    .clockHz = 2995200,
    .video = {{.base = 0x7C00, .columns = 40, .rows = 24, .bankStride = 128},
              {.base = 0x5800, .columns = 80, .rows = 24, .bankStride = 256}},
    .memory = {.basicRom = {0x0000, 0x3FFF},
               .dosRom = {0x6000, 0x6FFF},
               .dosAuxRom = {0x7800, 0x7BFF},
               .extension = {0x4000, 0x57FF},
               .writable = {{0x5800, 0x5FFF}, {0x7400, 0xFFFF}},
               .clearedByHardReset = {{0x4000, 0x5FFF}, {0x8000, 0xFFFF}}},
    .romChoices = {.basic = 3, .dos = 4},
    .cards = {.disks = {{36, "hd", 32, 60928, true},
                        {44, "mf", 4, 2560, false},
                        {45, "mo", 1, 640, false},
                        {46, "sf", 4, 3978, false}},
              .printerCode = 60},
};

// The layouts fit the memory they are drawn from.
static_assert(Abc80Model.video[0].base + Abc80Model.video[0].bytes() == 0x8000);
static_assert(Abc80Model.video[1].base + Abc80Model.video[1].bytes() == 0x6000);
static_assert(Abc80Model.video[0].rowOffset(23) + 40 <= int(Abc80Model.video[0].bytes()));
