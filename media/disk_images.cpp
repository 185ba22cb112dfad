// Disk images on the menu drives DR0-DR3: the size check against the known
// floppy geometries, attaching and detaching.
#include "media/disk_card.h"
#include "media/host_file.h"
#include "media/media_status.h"

#include <string>

std::string DriveNames[DiskDrivesPerCard];
DriveImage DriveImages[MenuDrives];

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

static int64_t imageSize(const std::string& path) {
    std::FILE* file = OpenHostFile(path, "r+b");
    if (!file) file = OpenHostFile(path, "rb");
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
    int64_t size = imageSize(path);
    if (size < 0) return 0; // MediaError says why
    DiskGeometry geometry;
    if (!DiskGeometryForSize(static_cast<uint64_t>(size), geometry)) {
        SetMediaError(size == 0 ? "empty file"
                                : "size of " + std::to_string(size) + " bytes is no disk format");
        return 0;
    }

    std::fprintf(stderr, "Image %s attached successfully.\n", path.c_str());
    MediaStatus(MessageField, "Disk: %u side(s), %u tracks, %u sectors, %u kB.", geometry.sides,
                geometry.tracks, geometry.sectorsPerTrack, static_cast<unsigned>(size / 1024));
    DriveImages[drive] = DriveImage{path, static_cast<uint64_t>(size), geometry};
    DriveNames[drive] = path;
    ReopenDriveFiles(MoDiskCard());
    return 1;
}

void DetachDrive(unsigned drive) {
    if (drive >= MenuDrives) return;
    DriveImages[drive] = DriveImage{};
    DriveNames[drive].clear();
    ReopenDriveFiles(MoDiskCard());
}
