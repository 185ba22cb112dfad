// A disk image attached to a drive and random traffic on the disk card's
// ports. The image is one track of eight 512-byte sectors whose bytes come
// from the input; the rest of the input is a sequence of port operations.
// Checked: the image file is never written (drives are opened for reading),
// the status port reads only defined bits, and a sector read back matches
// the image.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "media/disk_card.h"

namespace {

constexpr size_t ImageBytes = 4096; // 1 side, 1 track, 8 sectors of 512 bytes
const int CardCodes[] = {36, 44, 45, 46, 45, 45, 45, 7};

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
    unsigned drive = in.byte() % MenuDrives;
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
            // and send it back; the bytes must be the image's.
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
            if (ok)
                FUZZ_CHECK(std::memcmp(got, image.data() + sector * SectorBytes, SectorBytes) == 0);
        }
    }
    DetachDrive(drive);
    ResetDiskCards();
    FUZZ_CHECK(fuzz::fileHash(path) == hash);
    FUZZ_CHECK(fuzz::fileSize(path) == static_cast<long long>(ImageBytes));
    return 0;
}
