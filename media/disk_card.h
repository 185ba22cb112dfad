// The ABC-bus disk card and its drives, reached through ports 0-7 while one
// of the card codes 36, 44, 45 or 46 is selected.
//
// The disk operating system selects a card, sends four command bytes
// (command, drive and buffer, track or high sector byte, sector or low byte)
// to port 0 and then moves one 256-byte sector through port 0; port 1 reads
// the status. A sector command becomes a seek and a 256-byte read or write on
// the host image file. Only the "mo" card (code 45) has drive files; the
// others answer every command with "no drive".
//
// A written sector goes to the image file at once with one pwrite, with no
// buffering in the program, so a "disk" pulled out or a program killed keeps
// every sector written before. A drive whose write-protect switch is on, or
// whose file the user may not write, refuses writes with error 64; so does a
// write the host cannot complete (full disk, file size limit, I/O error),
// which also leaves a message naming the image and the cause.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr int DiskCardCodes = 64;
constexpr int DiskDrivesPerCard = 8;
constexpr unsigned MenuDrives = 4; // DR0-DR3
constexpr int SectorBytes = 256;
// 640 sectors of 256 bytes, all the "mo" card reaches: 1 side, 40 tracks of 8.
constexpr uint64_t DefaultDiskImageBytes = 163840;

enum : uint32_t { DiskStatusError = 8 };
enum : uint32_t { DiskErrorNoDrive = 128, DiskErrorBadSector = 16, DiskErrorWriteFailed = 64 };

struct DiskDrive {
    std::FILE* file = nullptr; // read and written only with pread/pwrite on its descriptor
    uint8_t busy = 0;          // must be 0 for file transfers
    uint8_t writable = 0;      // opened for writing and not write-protected
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
    bool readOnlyFile = false; // the user may not write the file: attached write-protected
    // Sector transfers since the image was attached, for the activity light.
    uint64_t sectorsRead = 0, sectorsWritten = 0;
};
extern DriveImage DriveImages[MenuDrives];

// The write-protect switch of each drive. It belongs to the drive, not the
// image: it stays as set when images are attached, detached or a saved state
// is loaded. Setting it reopens the drive's file in the matching mode.
void SetDriveWriteProtect(unsigned drive, bool on);
bool DriveWriteProtectSwitch(unsigned drive);
// Whether the drive refuses writes now: its switch is on or its file is read-only.
bool DriveWriteProtected(unsigned drive);

// Host failures of disk writes (a sector, or the flush at detach and exit):
// how many there have been since start, and the last one's message,
// "Disk write failed on DR0 (PATH): no space left on device.". Front ends
// compare the count to what they have shown.
uint64_t DiskWriteFailures();
const std::string& LastDiskWriteFailure();

// Flushes every drive's written sectors to the storage (fsync); a failure
// counts as a write failure. Runs at detach and at exit.
void FlushDiskImages();

// Port access from the I/O dispatch.
// The history's log of what the images gave the cards and took from them:
// every sector read (its 256 bytes as the buffer holds them after the read,
// and whether any came) and every sector write's outcome (0 or an errno).
// While the history runs the machine again, replayRead and replayWrite answer
// from the log (true) and the image files are not touched. nullptr (the
// default): the images alone.
struct DiskTransferLog {
    void (*read)(const uint8_t* sector, bool ok);
    void (*written)(int error);
    bool (*replayRead)(uint8_t* sector, bool& ok);
    bool (*replayWrite)(int& error);
};
void SetDiskTransferLog(const DiskTransferLog* log);

uint8_t ReadDiskCardPort(int cardCode, int port);
void WriteDiskCardPort(int cardCode, int port, uint8_t value);
void ResetDiskCards();

// 1 and the geometry when an image of this size is a known disk, else 0.
int DiskGeometryForSize(uint64_t size, DiskGeometry& geometry);

// Attaching replaces the image of that drive only; the other drives stay
// attached and their files stay open. A refused image leaves the drive as it
// was. Detaching flushes and empties that drive only. Both reset the "mo"
// card's transfer state (a transfer under way is lost).
int AttachDiskImage(unsigned drive, const std::string& path);
void DetachDrive(unsigned drive);
// Reopens all eight drive files of the card from DriveNames (flushing the old
// ones) and resets its transfer state; used when a saved state is loaded.
void ReopenDriveFiles(DiskCard& card);

// A blank image of `size` bytes for "New disk image...": formatted for the
// open DOS (an empty directory) when the Orvane disk format reaches that
// size, which it does for the default 160 KB; otherwise every byte E5h.
std::vector<uint8_t> BlankDiskImage(uint64_t size = DefaultDiskImageBytes);
// Writes a blank image to path (temporary file and rename, so an existing
// file is replaced only by a complete image). 1 on success, else 0 with the
// cause in MediaError.
int CreateDiskImage(const std::string& path, uint64_t size = DefaultDiskImageBytes);
