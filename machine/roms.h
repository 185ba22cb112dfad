// The ROM images behind the BASIC and DOS choices, and the ROM folder they
// are installed from.
//
// Genuine BASIC images are recognised in the ROM folder by size (16,384
// bytes) and byte sum (11273 old, 9913 new); a slot without one runs the
// open firmware. DOS images come from the ROM folder by fixed file names
// ("abcdos.rom", "ufddos.rom", "dosaux.rom"); a DOS whose image is absent
// maps as no DOS. ROM folders, searched in order: $ORVANE_ROM_PATH, the
// per-user folder ($XDG_DATA_HOME/orvane/roms, by default
// ~/.local/share/orvane/roms), ./roms. setRomFolder replaces that list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/crc32.h"

constexpr uint32_t OldBasicByteSum = 11273;
constexpr uint32_t NewBasicByteSum = 9913;
constexpr uint32_t KnownExternalRomCrc = 0x98907E34;
constexpr size_t BasicRomSize = 16384;
constexpr size_t DosRomSize = 4096;
constexpr size_t DosAuxRomSize = 1024;

// Image pointers indexed by basicRom and dosRom; the decoder reads them.
// The BASIC and DOS choices each have this many slots (memory.h names them).
constexpr uint32_t RomChoices = 3;

extern const uint8_t* BasicRomImages[RomChoices];
extern const uint8_t* DosRomImages[RomChoices];
extern const uint8_t* DosAuxRomImages[RomChoices];

// The folders searched, in order (an explicit folder replaces the list).
std::vector<std::string> romFolders();
// An empty folder goes back to the standard list.
void setRomFolder(const std::string& folder);

// Searches the ROM folders and fills the image tables; without a folder or
// image every slot falls back (BASIC to the open firmware, DOS to none).
// Prints one line per slot found to stderr. Returns the number of images
// installed.
int installRomImages();
// Forgets installed images (back to the open firmware and no DOS).
void clearRomImages();

// Where the image of each slot came from: a path, or "" when the fallback runs.
const std::string& basicRomSource(uint32_t choice);
const std::string& dosRomSource(uint32_t choice);
bool dosRomPresent(uint32_t choice);

// One line for stderr naming the BASIC and DOS images that run now.
std::string runningRomDescription();

uint32_t romByteSum(const uint8_t* data, size_t size);
