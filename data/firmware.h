// The open firmware: our own BASIC for the ABC80, assembled from the sources
// in data/firmware at build time. It stands in for the BASIC ROM whenever no
// genuine image is installed; its extension is placed in the ROM sockets at
// 4000h-57FFh (memory the processor reads but cannot write) while it runs.
#pragma once

#include <cstdint>

extern const uint8_t OpenFirmwareRom[16384];
extern const uint8_t OpenFirmwareExtension[6144];
extern const unsigned OpenFirmwareExtensionUsed; // bytes of it the assembler filled

// The open DOS: our own disk operating system for Orvane disks, assembled
// from data/firmware/dos. It runs in the DOS slot (6000h-6FFFh) when "Open
// DOS" is chosen, and whenever the chosen DOS has no genuine image installed.
extern const uint8_t OpenDosRom[4096];
// The assembler's label list of that image, one "name:\tequ $hhhh" a line.
extern const char OpenFirmwareLabels[];
