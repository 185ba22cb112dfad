// A disk image attached to a drive and random traffic on the disk card's
// ports. The image is one track of eight 512-byte sectors whose bytes come
// from the input; the rest of the input is a sequence of port operations.
// The drive is write-protected or writable as the input says. Checked: a
// protected image is never written, a writable one keeps its size, and a
// sector read back matches what the image file holds at that moment.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "media/disk_card.h"

namespace {

constexpr size_t ImageBytes = 4096; // 1 side, 1 track, 8 sectors of 512 bytes
const int CardCodes[] = {36, 44, 45, 46, 45, 45, 45, 7};

// The sector as the file holds it now.
bool fileSector(const std::string& path, unsigned sector, uint8_t* out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bool ok = std::fseek(file, static_cast<long>(sector) * SectorBytes, SEEK_SET) == 0 &&
              std::fread(out, 1, SectorBytes, file) == SectorBytes;
    std::fclose(file);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader in(data, size);
    std::vector<uint8_t> image(ImageBytes);
    for (size_t i = 0; i < ImageBytes; i++)
        image[i] = static_cast<uint8_t>(i * 31 + (i >> 9));
    size_t seed = in.byte() % 64; // bytes of the image taken from the input
    for (size_t i = 0; i < seed; i++)
        image[in.byte() * 16u % ImageBytes] = in.byte();

    const std::string path = fuzz::scratchPath("disk.dsk");
    fuzz::writeFile(path, image.data(), image.size());
    const uint64_t hash = fuzz::fileHash(path);

    ResetDiskCards();
    const uint8_t choice = in.byte();
    unsigned drive = choice % MenuDrives;
    const bool protect = (choice & 0x80) != 0;
    SetDriveWriteProtect(drive, protect);
    FUZZ_CHECK(AttachDiskImage(drive, path) == 1);
    FUZZ_CHECK(DriveImages[drive].geometry.sectorsPerTrack == 8);

    while (in.left() > 0) {
        uint8_t op = in.byte();
        int code = CardCodes[op & 7];
        int port = (op >> 3) & 7;
        if (op & 0x80) {
            uint8_t value = ReadDiskCardPort(code, port);
            (void)value;
        } else if (op & 0x40) {
            WriteDiskCardPort(code, port, in.byte());
        } else {
            // A whole command to the mo card: read sector n into buffer 0
            // and send it back; the bytes must be the file's.
            uint8_t sector = in.byte() & 0x0F;
            WriteDiskCardPort(45, 2, 0); // reset: any transfer under way ends
            WriteDiskCardPort(45, 0, 0x03);
            WriteDiskCardPort(45, 0, static_cast<uint8_t>(drive));
            WriteDiskCardPort(45, 0, 0);
            WriteDiskCardPort(45, 0, sector);
            bool ok = (ReadDiskCardPort(45, 1) & DiskStatusError) == 0;
            uint8_t got[SectorBytes];
            for (int i = 0; i < SectorBytes; i++)
                got[i] = ReadDiskCardPort(45, 0);
            uint8_t expected[SectorBytes];
            if (ok && fileSector(path, sector, expected))
                FUZZ_CHECK(std::memcmp(got, expected, SectorBytes) == 0);
            if (ok && protect)
                FUZZ_CHECK(std::memcmp(got, image.data() + sector * SectorBytes, SectorBytes) == 0);
        }
    }
    DetachDrive(drive);
    SetDriveWriteProtect(drive, false);
    ResetDiskCards();
    if (protect) FUZZ_CHECK(fuzz::fileHash(path) == hash);
    FUZZ_CHECK(fuzz::fileSize(path) == static_cast<long long>(ImageBytes));
    return 0;
}
