// The open firmware: our own BASIC for the ABC80, assembled from the sources
// in data/firmware at build time. It stands in for the BASIC ROM whenever no
// genuine image is installed.
#pragma once

#include <cstdint>

extern const uint8_t OpenFirmwareRom[16384];
// The assembler's label list of that image, one "name:\tequ $hhhh" a line.
extern const char OpenFirmwareLabels[];
