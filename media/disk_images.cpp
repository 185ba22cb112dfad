// Disk images on the menu drives DR0-DR3: the size check against the known
// floppy geometries, attaching and detaching, the write-protect switches,
// flushing, the record of failed writes and blank images.
#include "files/file_write.h"
#include "media/disk_internal.h"
#include "media/host_file.h"
#include "media/media_status.h"
#include "media/orvane_disk.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <unistd.h>

std::string DriveNames[DiskDrivesPerCard];
DriveImage DriveImages[MenuDrives];

namespace {
bool writeProtectSwitch[DiskDrivesPerCard] = {};
uint64_t writeFailures = 0;
std::string lastWriteFailure;

// Written sectors already sit in the host's cache; at exit they are flushed
// to the storage as at detach.
void flushAtExit() {
    static bool registered = false;
    if (!registered) std::atexit(FlushDiskImages);
    registered = true;
}
} // namespace

void NoteDiskWriteFailure(unsigned drive, int errnum) {
    ++writeFailures;
    lastWriteFailure = "Disk write failed on DR" + std::to_string(drive) + " (" +
                       DriveNames[drive & 7] + "): " + FileErrorText(errnum) + ".";
    std::fprintf(stderr, "%s\n", lastWriteFailure.c_str());
    MediaStatus(MessageField, "%s", lastWriteFailure.c_str());
}

uint64_t DiskWriteFailures() { return writeFailures; }
const std::string& LastDiskWriteFailure() { return lastWriteFailure; }

void FlushDriveFile(unsigned drive, std::FILE* file) {
    if (!file) return;
    if (::fsync(fileno(file)) != 0 && errno != EINVAL && errno != EROFS && errno != EBADF)
        NoteDiskWriteFailure(drive, errno);
}

void FlushDiskImages() {
    DiskCard& card = MoDiskCard();
    for (unsigned i = 0; i < DiskDrivesPerCard; ++i)
        if (card.drives[i].writable) FlushDriveFile(i, card.drives[i].file);
}

void SetDriveWriteProtect(unsigned drive, bool on) {
    if (drive >= DiskDrivesPerCard || writeProtectSwitch[drive] == on) return;
    writeProtectSwitch[drive] = on;
    if (!DriveNames[drive].empty()) ReopenDriveFile(MoDiskCard(), drive);
}

bool DriveWriteProtectSwitch(unsigned drive) {
    return drive < DiskDrivesPerCard && writeProtectSwitch[drive];
}

bool DriveWriteProtected(unsigned drive) {
    if (drive >= DiskDrivesPerCard) return true;
    const DiskDrive& d = MoDiskCard().drives[drive];
    return writeProtectSwitch[drive] || (d.file && !d.writable);
}

int DiskGeometryForSize(uint64_t size, DiskGeometry& g) {
    constexpr uint64_t SingleSidedLimit = 368640;
    constexpr uint64_t LargeFloppy = 819200; // 2 x 80 tracks of 5 sectors of 1024 bytes
    if (size == 0 || size > 0xFFFFFFFFu) return 0;
    uint32_t sides = size <= SingleSidedLimit ? 1 : 2;
    if (size % sides != 0) return 0;
    uint64_t perSide = size / sides;
    if (perSide % 512 != 0) return 0;
    uint32_t sectorSize = size == LargeFloppy ? 1024 : 512;
    uint64_t sectorsPerSide = perSide / sectorSize;
    uint32_t perTrack;
    if (sectorsPerSide % 9 == 0)
        perTrack = 9;
    else if (sectorsPerSide % 8 == 0)
        perTrack = size == LargeFloppy ? 5 : 8;
    else
        return 0;
    g.sides = sides;
    g.tracks = static_cast<uint32_t>(sectorsPerSide / perTrack);
    g.sectorsPerTrack = perTrack;
    g.sectorSize = sectorSize;
    return 1;
}

// The size, or -1 (MediaError says why); *readOnly when the file opens for
// reading only, with the reason in *why.
static int64_t imageSize(const std::string& path, bool* readOnly, std::string* why) {
    std::FILE* file = OpenHostFile(path, "r+b");
    *readOnly = !file;
    if (!file) {
        *why = MediaError();
        file = OpenHostFile(path, "rb");
    }
    if (!file) return -1;
    int64_t size = -1;
    if (fseeko(file, 0, SEEK_END) == 0) size = ftello(file);
    std::fclose(file);
    return size;
}

int AttachDiskImage(unsigned drive, const std::string& path) {
    if (drive >= MenuDrives || path.empty()) {
        SetMediaError(path.empty() ? "no file named" : "no such drive");
        return 0;
    }
    bool readOnly = false;
    std::string why;
    int64_t size = imageSize(path, &readOnly, &why);
    if (size < 0) return 0; // MediaError says why
    DiskGeometry geometry;
    if (!DiskGeometryForSize(static_cast<uint64_t>(size), geometry)) {
        SetMediaError(size == 0 ? "empty file"
                                : "size of " + std::to_string(size) + " bytes is no disk format");
        return 0;
    }

    std::fprintf(stderr, "Image %s attached successfully.\n", path.c_str());
    if (readOnly) {
        std::fprintf(stderr, "Image %s is write-protected: the file cannot be written (%s).\n",
                     path.c_str(), why.c_str());
        MediaStatus(MessageField,
                    "Disk: %u side(s), %u tracks, %u sectors, %u kB, write-protected (%s).",
                    geometry.sides, geometry.tracks, geometry.sectorsPerTrack,
                    static_cast<unsigned>(size / 1024), why.c_str());
    } else {
        MediaStatus(MessageField, "Disk: %u side(s), %u tracks, %u sectors, %u kB.", geometry.sides,
                    geometry.tracks, geometry.sectorsPerTrack, static_cast<unsigned>(size / 1024));
    }
    DriveImages[drive] = DriveImage{path, static_cast<uint64_t>(size), geometry};
    DriveImages[drive].readOnlyFile = readOnly;
    DriveNames[drive] = path;
    ReopenDriveFile(MoDiskCard(), drive);
    ResetDiskCardTransfer(MoDiskCard());
    flushAtExit();
    return 1;
}

void DetachDrive(unsigned drive) {
    if (drive >= MenuDrives) return;
    DriveImages[drive] = DriveImage{};
    DriveNames[drive].clear();
    ReopenDriveFile(MoDiskCard(), drive); // flushes and closes the old file
    ResetDiskCardTransfer(MoDiskCard());
}

std::vector<uint8_t> BlankDiskImage(uint64_t size) {
    // Formatted for the open DOS when the format reaches that size; a larger
    // disk is left unformatted (E5h), for a DOS of its own to format.
    if (size % OrvaneSectorBytes == 0 && size / OrvaneSectorBytes >= OrvaneMinSectors &&
        size / OrvaneSectorBytes <= OrvaneMaxSectors)
        return FormatOrvaneDisk(static_cast<uint32_t>(size / OrvaneSectorBytes));
    return std::vector<uint8_t>(static_cast<size_t>(size), 0xE5);
}

int CreateDiskImage(const std::string& path, uint64_t size) {
    DiskGeometry geometry;
    if (!DiskGeometryForSize(size, geometry)) {
        SetMediaError("size of " + std::to_string(size) + " bytes is no disk format");
        return 0;
    }
    const std::vector<uint8_t> image = BlankDiskImage(size);
    std::string cause;
    if (WriteWholeFile(path, image.data(), image.size(), &cause)) return 1;
    SetMediaError(cause);
    return 0;
}
