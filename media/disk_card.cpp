// The disk card's command protocol on ports 0 and 1, sector numbering and
// the sector transfers between the card's buffers and the image files.
#include "media/disk_card.h"
#include "media/disk_internal.h"
#include "media/host_file.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

DiskCard makeCard(const char* name, uint32_t clusterSize, uint32_t sectorLimit, uint8_t linear) {
    DiskCard card;
    card.clusterSize = clusterSize;
    card.sectorLimit = sectorLimit;
    card.linear = linear;
    card.deviceName[0] = name[0];
    card.deviceName[1] = name[1];
    card.deviceName[2] = '\0';
    return card;
}

DiskCard hdCard = makeCard("hd", 32, 60928, 1);
DiskCard mfCard = makeCard("mf", 4, 2560, 0);
DiskCard moCard = makeCard("mo", 1, 640, 0);
DiskCard sfCard = makeCard("sf", 4, 3978, 0);

DiskCard* cardFor(int code) { return DiskCardTable[code & (DiskCardCodes - 1)]; }

uint32_t sectorNumber(const DiskCard& c) {
    if (c.linear) return c.high * 256u + c.low;
    // Track byte and the top three bits of the sector byte form a cluster.
    return ((c.low >> 5) + c.high * 8u) * c.clusterSize + (c.low & 31u);
}

off_t sectorOffset(const DiskCard& c) {
    uint32_t s = sectorNumber(c);
    uint32_t mapped =
        ((c.interleaveFactor * s) & c.interleaveMask) | (s & ~uint32_t{c.interleaveMask});
    return static_cast<off_t>(mapped) * SectorBytes;
}

uint8_t* selectedBuffer(DiskCard& c) { return c.buffers[c.drive >> 6]; }
DiskDrive& selectedDrive(DiskCard& c) { return c.drives[c.drive & 7]; }

void fail(DiskCard& c, uint32_t error) {
    c.status = DiskStatusError;
    c.errorCode = error;
}

const DiskTransferLog* transferLog = nullptr;

bool readImageSector(DiskCard& c, std::FILE* file) {
    const off_t at = sectorOffset(c);
    uint8_t* buffer = selectedBuffer(c);
    size_t done = 0;
    // A short read (past the end of a small image) keeps the rest of the buffer.
    while (done < SectorBytes) {
        ssize_t n =
            ::pread(fileno(file), buffer + done, SectorBytes - done, at + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done > 0;
}

bool readSector(DiskCard& c, std::FILE* file) {
    bool ok = false;
    if (transferLog && transferLog->replayRead(selectedBuffer(c), ok)) return ok;
    ok = readImageSector(c, file);
    if (transferLog) transferLog->read(selectedBuffer(c), ok);
    return ok;
}

// Whether the sector lies inside the image: a write never grows the file, so
// an image keeps the size of its disk.
bool insideImage(const DiskCard& c, std::FILE* file) {
    struct stat info;
    return fstat(fileno(file), &info) == 0 && sectorOffset(c) + SectorBytes <= info.st_size;
}

// 0 when the sector is in the file, else the errno of the failure.
int writeImageSector(DiskCard& c, std::FILE* file) {
    const off_t at = sectorOffset(c);
    const uint8_t* buffer = selectedBuffer(c);
    size_t done = 0;
    while (done < SectorBytes) {
        ssize_t n = ::pwrite(fileno(file), buffer + done, SectorBytes - done,
                             at + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += static_cast<size_t>(n);
    }
    return 0;
}

int writeSector(DiskCard& c, std::FILE* file) {
    int error = 0;
    if (transferLog && transferLog->replayWrite(error)) return error;
    error = writeImageSector(c, file);
    if (transferLog) transferLog->written(error);
    return error;
}

// Runs after the fourth command byte and after each finished transfer.
void runCommandSteps(DiskCard& c) {
    const unsigned driveNumber = c.drive & 7u;
    DiskDrive& drive = selectedDrive(c);
    DriveImage* image =
        driveNumber < MenuDrives && &c == &moCard ? &DriveImages[driveNumber] : nullptr;
    if (c.command & 0x01) {
        if (drive.file && readSector(c, drive.file) && image) ++image->sectorsRead;
        c.command &= ~0x01;
    }
    if (c.command & 0x02) {
        c.sendIndex = 0;
        c.command &= ~0x02;
        c.phase = 5;
        return;
    }
    if (c.command & 0x04) {
        c.phase = 4;
        c.command &= ~0x04;
        c.receiveIndex = 0;
        return;
    }
    if (c.command & 0x08) {
        if (!drive.file || !drive.writable || !insideImage(c, drive.file)) {
            fail(c, DiskErrorWriteFailed); // write-protected, or past the image's end
        } else if (int error = writeSector(c, drive.file)) {
            fail(c, DiskErrorWriteFailed);
            NoteDiskWriteFailure(driveNumber, error);
        } else if (image) {
            ++image->sectorsWritten;
        }
        c.command &= ~0x08;
    }
    c.phase = 0;
}

void writeDataPort(DiskCard& c, uint8_t value) {
    switch (c.phase) {
    case 0:
    case 1:
    case 2: {
        c.status = c.errorCode = 0;
        uint8_t* fields[] = {&c.command, &c.drive, &c.high};
        *fields[c.phase] = value;
        ++c.phase;
        break;
    }
    case 3: {
        c.status = c.errorCode = 0;
        c.low = value;
        c.phase = 0;
        const DiskDrive& drive = selectedDrive(c);
        if (!drive.file || drive.busy) return fail(c, DiskErrorNoDrive);
        if (sectorNumber(c) >= c.sectorLimit) return fail(c, DiskErrorBadSector);
        runCommandSteps(c);
        break;
    }
    case 4:
        if (c.receiveIndex >= 0 && c.receiveIndex < SectorBytes)
            selectedBuffer(c)[c.receiveIndex++] = value;
        if (c.receiveIndex >= SectorBytes) runCommandSteps(c);
        break;
    default: break;
    }
}

} // namespace

DiskCard* DiskCardTable[DiskCardCodes] = {};

namespace {
struct CardTableFill {
    CardTableFill() {
        DiskCardTable[36] = &hdCard;
        DiskCardTable[44] = &mfCard;
        DiskCardTable[45] = &moCard;
        DiskCardTable[46] = &sfCard;
    }
} cardTableFill;
} // namespace

DiskCard& MoDiskCard() { return moCard; }

void SetDiskTransferLog(const DiskTransferLog* log) { transferLog = log; }

uint8_t ReadDiskCardPort(int cardCode, int port) {
    DiskCard* card = cardFor(cardCode);
    if (!card) return 0;
    DiskCard& c = *card;
    if (port == 0) {
        if (c.sendIndex < 0) return static_cast<uint8_t>(c.errorCode);
        uint8_t value = selectedBuffer(c)[c.sendIndex++];
        if (c.sendIndex >= SectorBytes) {
            c.sendIndex = -1;
            runCommandSteps(c);
        }
        return value;
    }
    if (port == 1) {
        if (c.busyReads > 0) {
            --c.busyReads;
            return 0x80;
        }
        return static_cast<uint8_t>((c.phase == 0 ? 0x81 : 0x01) | (c.status & 0xFF));
    }
    return 0xFF;
}

void WriteDiskCardPort(int cardCode, int port, uint8_t value) {
    DiskCard* card = cardFor(cardCode);
    if (!card) return;
    if (port == 0)
        writeDataPort(*card, value);
    else if (port == 2 || port == 4)
        ResetDiskCards();
}

void ResetDiskCardTransfer(DiskCard& c) {
    c.phase = 0;
    c.status = c.errorCode = 0;
    c.sendIndex = -1;
    c.receiveIndex = 0;
    c.busyReads = 4;
}

void ResetDiskCards() {
    for (DiskCard* card : DiskCardTable)
        if (card) ResetDiskCardTransfer(*card);
}

void ReopenDriveFile(DiskCard& card, unsigned drive) {
    DiskDrive& d = card.drives[drive & 7];
    if (d.file) {
        FlushDriveFile(drive, d.file);
        std::fclose(d.file);
    }
    d.file = nullptr;
    d.writable = 0;
    d.busy = 0;
    const std::string& path = DriveNames[drive & 7];
    if (path.empty()) return;
    if (!DriveWriteProtectSwitch(drive)) {
        d.file = OpenHostFile(path, "r+b");
        d.writable = d.file != nullptr;
    }
    if (!d.file) d.file = OpenHostFile(path, "rb");
}

void ReopenDriveFiles(DiskCard& card) {
    for (unsigned i = 0; i < DiskDrivesPerCard; ++i)
        ReopenDriveFile(card, i);
    ResetDiskCardTransfer(card);
}
