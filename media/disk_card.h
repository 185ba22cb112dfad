// The ABC-bus disk card and its drives, reached through ports 0-7 while one
// of the card codes 36, 44, 45 or 46 is selected.
#pragma once

#include <cstdint>
#include <string>

uint8_t ReadDiskCardPort(int cardCode, int port);
void WriteDiskCardPort(int cardCode, int port, uint8_t value);
void ResetDiskCards();
int AttachDiskImage(unsigned drive, const std::string& path);
void DetachDrive(unsigned drive);
