// The ABC-bus disk card and its drives, reached through ports 0-7 while one
// of the card codes 36, 44, 45 or 46 is selected.
//
// The disk operating system selects a card, sends four command bytes
// (command, drive and buffer, track or high sector byte, sector or low byte)
// to port 0 and then moves one 256-byte sector through port 0; port 1 reads
// the status. A sector command becomes a seek and a 256-byte read or write on
// the host image file. Only the "mo" card (code 45) has drive files; the
// others answer every command with "no drive".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr int DiskCardCodes = 64;
constexpr int DiskDrivesPerCard = 8;
constexpr unsigned MenuDrives = 4; // DR0-DR3
constexpr int SectorBytes = 256;

enum : uint32_t { DiskStatusError = 8 };
enum : uint32_t { DiskErrorNoDrive = 128, DiskErrorBadSector = 16, DiskErrorWriteFailed = 64 };

struct DiskDrive {
    std::FILE* file = nullptr;
    uint8_t busy = 0; // must be 0 for file transfers
};

struct DiskCard {
    uint32_t phase = 0;  // 0-3 command byte expected, 4 receiving data, 5 sending data
    uint8_t command = 0; // bit 0 read sector, 1 send buffer, 2 receive buffer, 3 write sector
    uint8_t drive = 0;   // bits 0-2 drive, bits 6-7 buffer
    uint8_t high = 0, low = 0;
    uint32_t clusterSize;
    uint32_t sectorLimit;
    uint8_t interleaveMask = 0, interleaveFactor = 0;
    uint8_t linear;
    char deviceName[3];
    int32_t receiveIndex = 0;
    int32_t sendIndex = -1; // -1: no transfer under way
    uint32_t status = 0;
    uint32_t errorCode = 0;
    uint32_t busyReads = 0;
    DiskDrive drives[DiskDrivesPerCard];
    uint8_t buffers[4][SectorBytes] = {};
};

// The card records by card code; codes without a card hold nullptr.
extern DiskCard* DiskCardTable[DiskCardCodes];
DiskCard& MoDiskCard();

// Host paths of the eight drives, shared by all cards; 0-3 are DR0-DR3.
extern std::string DriveNames[DiskDrivesPerCard];

struct DiskGeometry {
    uint32_t sides = 0, tracks = 0, sectorsPerTrack = 0, sectorSize = 0;
};

// The image attached to a menu drive.
struct DriveImage {
    std::string path;
    uint64_t size = 0;
    DiskGeometry geometry;
};
extern DriveImage DriveImages[MenuDrives];

// Port access from the I/O dispatch.
uint8_t ReadDiskCardPort(int cardCode, int port);
void WriteDiskCardPort(int cardCode, int port, uint8_t value);
void ResetDiskCards();

// 1 and the geometry when an image of this size is a known disk, else 0.
int DiskGeometryForSize(uint64_t size, DiskGeometry& geometry);

// Attaching replaces the image of that drive only; the other drives stay
// attached. A refused image leaves the drive as it was. Detaching empties
// that drive only. Both reopen the "mo" card's drive files and reset its
// transfer state.
int AttachDiskImage(unsigned drive, const std::string& path);
void DetachDrive(unsigned drive);
void ReopenDriveFiles(DiskCard& card);
