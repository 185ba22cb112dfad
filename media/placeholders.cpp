// Stand-ins until the disk card is built.
#include "media/disk_card.h"

uint8_t ReadDiskCardPort(int, int) { return 0; }
void WriteDiskCardPort(int, int, uint8_t) {}
void ResetDiskCards() {}
int AttachDiskImage(unsigned, const std::string&) { return 0; }
void DetachDrive(unsigned) {}
