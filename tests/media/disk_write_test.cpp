// Writing sectors as a disk operating system does: a small Z80 routine of
// our own selects the "mo" card, sends the four command bytes with OTIR,
// moves 256 bytes through port 0 and keeps the status and error code. The
// image file is then read back from the host. Refusals are real ones: the
// drive's switch, a file the user nobody may not write, and a file size limit
// (RLIMIT_FSIZE) in a child process standing in for a full disk.
#include "abc80/abc80.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"
#include "media/disk_card.h"
#include "media/host_file.h"
#include "media/media_status.h"
#include "media/orvane_disk.h"
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

constexpr uint16_t CommandAt = 0x9000; // command, drive, high, low
constexpr uint16_t ResultAt = 0x9010;  // status, then error code
constexpr uint16_t SendAt = 0x9100;    // 256 bytes to write
constexpr uint16_t ReceiveAt = 0x9200; // 256 bytes read

// At 0000h: wait for the card, send the command, the data when the command
// takes some (bit 2), take the data when it gives some (bit 1), then keep
// port 1 and port 0 and halt.
const uint8_t SectorRoutine[] = {
    0x31, 0x00, 0xF0, // LD SP,F000h
    0x3E, 0x2D,       // LD A,45
    0xD3, 0x01,       // OUT (1),A      select the "mo" card
    0xDB, 0x01,       // wait: IN A,(1)
    0x0F,             // RRCA           bit 0: not busy
    0x30, 0xFB,       // JR NC,wait
    0x21, 0x00, 0x90, // LD HL,CommandAt
    0x01, 0x00, 0x04, // LD BC,0400h    four bytes to port 0
    0xED, 0xB3,       // OTIR           (leaves B = 0: 256 next time)
    0x3A, 0x00, 0x90, // LD A,(CommandAt)
    0xCB, 0x57,       // BIT 2,A
    0x28, 0x05,       // JR Z,+5
    0x21, 0x00, 0x91, // LD HL,SendAt
    0xED, 0xB3,       // OTIR
    0x3A, 0x00, 0x90, // LD A,(CommandAt)
    0xCB, 0x4F,       // BIT 1,A
    0x28, 0x05,       // JR Z,+5
    0x21, 0x00, 0x92, // LD HL,ReceiveAt
    0xED, 0xB2,       // INIR
    0xDB, 0x01,       // IN A,(1)
    0x32, 0x10, 0x90, // LD (ResultAt),A
    0xDB, 0x00,       // IN A,(0)
    0x32, 0x11, 0x90, // LD (ResultAt+1),A
    0x76,             // HALT
};

struct Outcome {
    uint8_t status, error;
};

Bytes patternImage(size_t size) {
    Bytes image(size);
    for (size_t i = 0; i < size; ++i)
        image[i] = static_cast<uint8_t>((i / 256) * 3 + i % 251);
    return image;
}

Bytes sectorData(uint8_t seed) {
    Bytes data(256);
    for (int i = 0; i < 256; ++i)
        data[i] = static_cast<uint8_t>(seed ^ (i * 13));
    return data;
}

Bytes sectorOf(const Bytes& image, size_t sector) {
    return Bytes(image.begin() + sector * 256, image.begin() + sector * 256 + 256);
}

void putSector(Bytes& image, size_t sector, const Bytes& data) {
    std::copy(data.begin(), data.end(), image.begin() + sector * 256);
}

// The routine run by the processor for one command on drive `drive`,
// sector number `sector` of the "mo" card (clusters of one sector: high byte
// sector / 8, low byte the cluster's top bits and the sector within it).
Outcome runCommand(uint8_t command, uint8_t drive, unsigned sector, const Bytes& data = {}) {
    std::memcpy(&MainMemory[0], SectorRoutine, sizeof SectorRoutine);
    MainMemory[CommandAt] = command;
    MainMemory[CommandAt + 1] = drive;
    MainMemory[CommandAt + 2] = static_cast<uint8_t>(sector / 8);
    MainMemory[CommandAt + 3] = static_cast<uint8_t>((sector % 8) << 5);
    if (!data.empty()) std::memcpy(&MainMemory[SendAt], data.data(), 256);
    cpu.IP = 0;
    for (int i = 0; i < 50 && memRead(cpu.IP) != 0x76; ++i)
        execute(2000);
    return Outcome{MainMemory[ResultAt], MainMemory[ResultAt + 1]};
}

Bytes received() { return Bytes(&MainMemory[ReceiveAt], &MainMemory[ReceiveAt] + 256); }

void prepareMachine() {
    machinePowerOn();
    clearRomImages();
    basicRom = BasicRomExternal; // the routine at 0000h is what runs
    dosRom = DosRomNone;
    for (unsigned d = 0; d < MenuDrives; ++d) {
        DetachDrive(d);
        SetDriveWriteProtect(d, false);
    }
}

// Runs `body` in a child process prepared by `prepare` and gives its exit
// code (-1 if it did not exit) and what it wrote to the pipe it was handed.
template <typename Prepare, typename Body>
int inChild(Prepare prepare, Body body, std::string* said) {
    std::fflush(nullptr);
    int ends[2];
    if (pipe(ends) != 0) return -1;
    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(ends[0]);
        if (!prepare()) _exit(126);
        std::string text;
        int code = body(text);
        if (write(ends[1], text.data(), text.size()) < 0) code = 125;
        _exit(code);
    }
    close(ends[1]);
    said->clear();
    char buffer[1024];
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;)
        said->append(buffer, static_cast<size_t>(n));
    close(ends[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DiskWrites : public ::testing::Test {
  protected:
    void SetUp() override {
        prepareMachine();
        image_ = patternImage(163840);
        writeFile(dir_.path("a.dsk"), image_);
        chmod(dir_.path("").c_str(), 0755); // for the user nobody
    }
    void TearDown() override {
        for (unsigned d = 0; d < MenuDrives; ++d) {
            DetachDrive(d);
            SetDriveWriteProtect(d, false);
        }
        basicRom = savedBasic_;
        dosRom = savedDos_;
    }
    ScratchDir dir_;
    Bytes image_;
    const uint32_t savedBasic_ = basicRom;
    const uint32_t savedDos_ = dosRom;
};

TEST_F(DiskWrites, SectorsWrittenByTheProcessorAreInTheFileAtOnceAndReadBack) {
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    ASSERT_FALSE(DriveWriteProtected(0));
    const uint64_t failuresBefore = DiskWriteFailures();
    Bytes expected = image_;
    for (unsigned sector : {0u, 9u, 639u}) {
        SCOPED_TRACE(sector);
        const Bytes data = sectorData(static_cast<uint8_t>(sector));
        Outcome o = runCommand(0x0C, 0x00, sector, data);
        EXPECT_EQ(0x81, o.status) << "ready, no error";
        EXPECT_EQ(0, o.error);
        putSector(expected, sector, data);
        // Nothing buffered: the file holds the sector while still attached.
        EXPECT_EQ(expected, readFile(dir_.path("a.dsk")));
        o = runCommand(0x03, 0x00, sector);
        EXPECT_EQ(0x81, o.status);
        EXPECT_EQ(data, received());
    }
    EXPECT_EQ(3u, DriveImages[0].sectorsWritten);
    EXPECT_EQ(3u, DriveImages[0].sectorsRead);
    EXPECT_EQ(failuresBefore, DiskWriteFailures());

    // A write through one buffer and a read of the same sector on another
    // drive holding the same file see each other at once.
    ASSERT_EQ(1, AttachDiskImage(1, dir_.path("a.dsk")));
    const Bytes data = sectorData(0x5A);
    ASSERT_EQ(0, runCommand(0x0C, 0x40, 77, data).error);
    ASSERT_EQ(0, runCommand(0x03, 0x81, 77).error);
    EXPECT_EQ(data, received());

    // Detaching DR1 leaves DR0 writing.
    DetachDrive(1);
    const Bytes later = sectorData(0x77);
    EXPECT_EQ(0, runCommand(0x0C, 0x00, 100, later).error);
    putSector(expected, 77, data);
    putSector(expected, 100, later);
    DetachDrive(0);
    EXPECT_EQ(expected, readFile(dir_.path("a.dsk")));
}

// A sector the card reaches but the image does not hold (a small image) is
// refused: the file keeps the size of its disk.
TEST_F(DiskWrites, WritesPastTheImageEndAreRefusedAndTheFileKeepsItsSize) {
    const Bytes small = patternImage(4608); // one track of nine 512-byte sectors
    writeFile(dir_.path("small.dsk"), small);
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("small.dsk")));
    EXPECT_EQ(0, runCommand(0x0C, 0x00, 17, sectorData(1)).error) << "the last sector";
    Outcome past = runCommand(0x0C, 0x00, 18, sectorData(2));
    EXPECT_EQ(0x89, past.status);
    EXPECT_EQ(64, past.error);
    Bytes expected = small;
    putSector(expected, 17, sectorData(1));
    EXPECT_EQ(expected, readFile(dir_.path("small.dsk")));
}

TEST_F(DiskWrites, TheWriteProtectSwitchRefusesWritesAndKeepsTheFile) {
    SetDriveWriteProtect(0, true);
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    EXPECT_TRUE(DriveWriteProtected(0));
    EXPECT_FALSE(DriveImages[0].readOnlyFile) << "the file itself may be written";
    Outcome o = runCommand(0x0C, 0x00, 5, sectorData(1));
    EXPECT_EQ(0x89, o.status);
    EXPECT_EQ(64, o.error);
    EXPECT_EQ(0, runCommand(0x03, 0x00, 5).error) << "reads still work";
    EXPECT_EQ(sectorOf(image_, 5), received());

    // The switch belongs to the drive: another image on it is protected too.
    DetachDrive(0);
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    EXPECT_EQ(64, runCommand(0x0C, 0x00, 6, sectorData(2)).error);
    EXPECT_EQ(image_, readFile(dir_.path("a.dsk")));

    // Switched off while attached, the same drive writes.
    SetDriveWriteProtect(0, false);
    EXPECT_FALSE(DriveWriteProtected(0));
    EXPECT_EQ(0, runCommand(0x0C, 0x00, 6, sectorData(2)).error);
    Bytes expected = image_;
    putSector(expected, 6, sectorData(2));
    EXPECT_EQ(expected, readFile(dir_.path("a.dsk")));
    // And on again, a transfer refused at once.
    SetDriveWriteProtect(0, true);
    EXPECT_EQ(64, runCommand(0x0C, 0x00, 7, sectorData(3)).error);
    EXPECT_EQ(expected, readFile(dir_.path("a.dsk")));
}

TEST_F(DiskWrites, AFileTheUserMayNotWriteIsAttachedWriteProtected) {
    const std::string path = dir_.path("a.dsk");
    chmod(path.c_str(), 0444);
    std::string said;
    auto asNobody = [] {
        if (geteuid() != 0) return true;
        return setgid(65534) == 0 && setuid(65534) == 0;
    };
    int code = inChild(
        asNobody,
        [&](std::string& text) {
            std::string note;
            SetMediaStatusWriter([](int, const char*) {});
            if (!AttachDiskImage(0, path)) return 10;
            if (!DriveImages[0].readOnlyFile || !DriveWriteProtected(0)) return 11;
            // Switching the protection off cannot make the file writable.
            SetDriveWriteProtect(0, false);
            if (!DriveWriteProtected(0)) return 12;
            Outcome o = runCommand(0x0C, 0x00, 3, sectorData(9));
            text = std::to_string(o.status) + " " + std::to_string(o.error);
            DetachDrive(0);
            return 0;
        },
        &said);
    EXPECT_EQ(0, code);
    EXPECT_EQ("137 64", said) << "status 89h, error 64";
    EXPECT_EQ(image_, readFile(path));
}

TEST_F(DiskWrites, AWriteTheHostCannotCompleteGivesError64AndKeepsEarlierSectors) {
    const std::string path = dir_.path("a.dsk");
    // Files may not reach past 8 KB: sectors 0-31 can be written, 32 on cannot.
    auto limited = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {8192, 8192};
        return setrlimit(RLIMIT_FSIZE, &limit) == 0;
    };
    std::string said;
    int code = inChild(
        limited,
        [&](std::string& text) {
            SetMediaStatusWriter([](int, const char*) {});
            if (!AttachDiskImage(0, path)) return 10;
            const uint64_t before = DiskWriteFailures();
            Outcome first = runCommand(0x0C, 0x00, 2, sectorData(0x21));
            Outcome second = runCommand(0x0C, 0x00, 31, sectorData(0x22));
            Outcome beyond = runCommand(0x0C, 0x00, 40, sectorData(0x23));
            Outcome readAfter = runCommand(0x03, 0x00, 2);
            text = std::to_string(first.error) + " " + std::to_string(second.error) + " " +
                   std::to_string(beyond.status) + " " + std::to_string(beyond.error) + " " +
                   std::to_string(readAfter.error) + " " +
                   std::to_string(DiskWriteFailures() - before) + "|" + LastDiskWriteFailure();
            DetachDrive(0);
            return 0;
        },
        &said);
    ASSERT_EQ(0, code) << said;
    EXPECT_EQ("0 0 137 64 0 1|Disk write failed on DR0 (" + path + "): file too large.", said);
    Bytes expected = image_;
    putSector(expected, 2, sectorData(0x21));
    putSector(expected, 31, sectorData(0x22));
    EXPECT_EQ(expected, readFile(path)) << "earlier sectors kept, the failed one unchanged";
}

TEST_F(DiskWrites, NewImagesAreFormattedAndReplaceAFileOnlyWhenComplete) {
    const std::string path = dir_.path("new.dsk");
    ASSERT_EQ(1, CreateDiskImage(path));
    const Bytes made = readFile(path);
    ASSERT_EQ(163840u, made.size());
    OrvaneDisk disk;
    std::string cause;
    ASSERT_EQ(1, disk.open(made, cause)) << cause;
    EXPECT_TRUE(disk.entries().empty());
    EXPECT_TRUE(disk.check().empty());
    // The open DOS's format reaches 640 sectors; a larger disk stays E5h.
    EXPECT_EQ(Bytes(368640, 0xE5), BlankDiskImage(368640));
    ASSERT_EQ(1, AttachDiskImage(0, path));
    EXPECT_EQ(0, runCommand(0x0C, 0x00, 639, sectorData(4)).error);
    DetachDrive(0);

    EXPECT_EQ(0, CreateDiskImage(path, 1000)) << "no disk has that size";
    EXPECT_EQ(0, CreateDiskImage(dir_.path("nowhere/new.dsk")));
    // A file size limit stops the new image half-way: the old one stays.
    const Bytes old = readFile(path);
    std::string said;
    int code = inChild(
        [] {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit = {65536, 65536};
            return setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        [&](std::string& text) {
            int made = CreateDiskImage(path);
            text = MediaError();
            return made;
        },
        &said);
    EXPECT_EQ(0, code);
    EXPECT_EQ("file too large", said);
    EXPECT_EQ(old, readFile(path));
}

} // namespace
