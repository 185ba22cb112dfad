// The ROM images behind the BASIC and DOS choices, and the ROM folder they
// are installed from.
//
// Genuine BASIC images are recognised in the ROM folder by size (16,384
// bytes) and byte sum (11273 old, 9913 new); a slot without one runs the
// open firmware. DOS images come from the ROM folder by fixed file names
// ("abcdos.rom", "ufddos.rom", "dosaux.rom"); a DOS whose image is absent
// runs the Open DOS (our own, data/firmware/dos) in its place. ROM folders, searched in order:
// $ORVANE_ROM_PATH, the per-user folder ($XDG_DATA_HOME/orvane/roms, by default
// ~/.local/share/orvane/roms), ./roms. setRomFolder replaces that list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/crc32.h"
#include "machine/memory.h"

constexpr uint32_t OldBasicByteSum = 11273;
constexpr uint32_t NewBasicByteSum = 9913;
constexpr uint32_t KnownExternalRomCrc = 0x98907E34;
// The sockets' sizes (Abc80Model.memory).
constexpr size_t BasicRomSize = Abc80Model.memory.basicRom.size();
constexpr size_t DosRomSize = Abc80Model.memory.dosRom.size();
constexpr size_t DosAuxRomSize = Abc80Model.memory.dosAuxRom.size();
static_assert(BasicRomSize == 16384 && DosRomSize == 4096 && DosAuxRomSize == 1024);

// Image pointers indexed by basicRom and dosRom; the decoder reads them.
extern const uint8_t* BasicRomImages[BasicRomChoices];
extern const uint8_t* DosRomImages[DosRomChoices];
extern const uint8_t* DosAuxRomImages[DosRomChoices];

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

// The open firmware's extension goes into the ROM sockets at 4000h-57FFh
// (memory the processor reads but cannot write) while the BASIC slot runs
// the open firmware, and out again (the sockets empty, 0) when it runs a
// genuine image. Called at power-on and at every reset.
void placeFirmwareExtension();
bool firmwareExtensionPlaced();

// Where the image of each slot came from: a path, or "" when the fallback runs.
const std::string& basicRomSource(uint32_t choice);
const std::string& dosRomSource(uint32_t choice);
// True for the Open DOS, and for a genuine DOS whose image is installed.
bool dosRomPresent(uint32_t choice);
// The DOS that runs for a choice: the choice itself, DosRomOpen for a genuine
// DOS without its image, DosRomNone for none.
uint32_t runningDos(uint32_t choice);
// "none", "ABCDOS", "UFDDOS", "Open DOS": the names every front end shows.
const char* dosRomName(uint32_t choice);

// One line for stderr naming the BASIC and DOS images that run now.
std::string runningRomDescription();

uint32_t romByteSum(const uint8_t* data, size_t size);
