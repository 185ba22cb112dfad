// The disk card through the machine's ports: selection, the four-byte
// command protocol, sector reads from an image built here, the failure codes
// and the geometry check at attach.
#include "abc80/abc80.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "media/disk_card.h"
#include "media/media_status.h"
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr uint8_t Mo = 45;

std::string lastMessage;
void captureStatus(int field, const char* text) {
    if (field == MessageField) lastMessage = text;
}

// Every byte tells its sector and its place: byte i of sector s is s * 7 + i.
Bytes patternImage(size_t size, uint8_t salt = 0) {
    Bytes image(size);
    for (size_t i = 0; i < size; ++i)
        image[i] = static_cast<uint8_t>((i / 256) * 7 + i % 256 + salt);
    return image;
}

Bytes sectorOf(const Bytes& image, size_t sector) {
    return Bytes(image.begin() + sector * 256, image.begin() + sector * 256 + 256);
}

class DiskCardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machineConnect();
        cpuInit(MachineClockHz);
        for (unsigned d = 0; d < MenuDrives; ++d)
            DetachDrive(d);
        lastMessage.clear();
        SetMediaStatusWriter(captureStatus);
        image_ = patternImage(163840);
        writeFile(dir_.path("a.dsk"), image_);
    }
    void TearDown() override {
        for (unsigned d = 0; d < MenuDrives; ++d)
            DetachDrive(d);
        SetMediaStatusWriter(nullptr);
    }

    void select(uint8_t card) { ioWrite(1, card); }
    // Reads port 1 until the card stops answering busy.
    uint8_t settledStatus() {
        uint8_t s = ioRead(1);
        for (int i = 0; i < 8 && s == 0x80; ++i)
            s = ioRead(1);
        return s;
    }
    void command(uint8_t cmd, uint8_t drive, uint8_t high, uint8_t low) {
        for (uint8_t b : {cmd, drive, high, low})
            ioWrite(0, b);
    }
    Bytes receive() {
        Bytes data(256);
        for (uint8_t& b : data)
            b = ioRead(0);
        return data;
    }

    ScratchDir dir_;
    Bytes image_;
};

TEST_F(DiskCardTest, AttachChecksTheGeometryAndReportsIt) {
    struct Case {
        uint64_t size;
        uint32_t sides, tracks, sectors, sectorSize;
    };
    const Case good[] = {
        {163840, 1, 40, 8, 512}, {368640, 1, 80, 9, 512},  {737280, 2, 80, 9, 512},
        {655360, 2, 80, 8, 512}, {819200, 2, 80, 5, 1024}, {184320, 1, 40, 9, 512},
    };
    for (const Case& c : good) {
        DiskGeometry g;
        ASSERT_EQ(1, DiskGeometryForSize(c.size, g)) << c.size;
        EXPECT_EQ(c.sides, g.sides) << c.size;
        EXPECT_EQ(c.tracks, g.tracks) << c.size;
        EXPECT_EQ(c.sectors, g.sectorsPerTrack) << c.size;
        EXPECT_EQ(c.sectorSize, g.sectorSize) << c.size;
    }
    DiskGeometry g;
    for (uint64_t bad : {0ull, 1000ull, 368641ull, 164352ull, 163841ull})
        EXPECT_EQ(0, DiskGeometryForSize(bad, g)) << bad;

    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    EXPECT_EQ("Disk: 1 side(s), 40 tracks, 8 sectors, 160 kB.", lastMessage);
    EXPECT_EQ(dir_.path("a.dsk"), DriveNames[0]);

    writeFile(dir_.path("odd.dsk"), Bytes(368641, 0));
    EXPECT_EQ(0, AttachDiskImage(1, dir_.path("odd.dsk")));
    EXPECT_EQ(0, AttachDiskImage(1, dir_.path("absent.dsk")));
    EXPECT_EQ(0, AttachDiskImage(1, dir_.path(""))) << "a folder is not an image";
    EXPECT_EQ(0, AttachDiskImage(4, dir_.path("a.dsk"))) << "only DR0-DR3 exist";
    EXPECT_TRUE(DriveNames[1].empty());
}

TEST_F(DiskCardTest, StatusReadsBusyFourTimesAfterABusReset) {
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    select(Mo);
    for (uint8_t resetPort : {7, 2, 4}) {
        SCOPED_TRACE(int(resetPort));
        if (resetPort == 7) {
            EXPECT_EQ(0xFF, ioRead(7));
            select(Mo);
        } else {
            ioWrite(resetPort, 0);
        }
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(0x80, ioRead(1));
        EXPECT_EQ(0x81, ioRead(1));
    }
}

TEST_F(DiskCardTest, SectorReadThroughThePorts) {
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    select(Mo);
    ASSERT_EQ(0x81, settledStatus());

    command(0x03, 0x00, 0x00, 0x21); // cluster 1, sector 1 within it: sector 2
    EXPECT_EQ(0x01, ioRead(1)) << "a transfer is under way";
    EXPECT_EQ(sectorOf(image_, 2), receive());
    EXPECT_EQ(0x81, ioRead(1));
    EXPECT_EQ(0x00, ioRead(0)) << "after the data, port 0 gives the error code";

    command(0x03, 0x00, 0x13, 0x07); // 19 x 8 + 7 = sector 159, the last of a 160 kB disk
    EXPECT_EQ(sectorOf(image_, 159), receive());

    // Beyond a small image but inside the card's range: the buffer keeps its bytes.
    writeFile(dir_.path("tiny.dsk"), patternImage(4608)); // one track of nine 512-byte sectors
    ASSERT_EQ(1, AttachDiskImage(1, dir_.path("tiny.dsk")));
    settledStatus();
    command(0x03, 0x01, 0x00, 0x11); // sector 17, the last one
    EXPECT_EQ(sectorOf(patternImage(4608), 17), receive());
    command(0x03, 0x01, 0x00, 0x12); // sector 18 lies past the end of the file
    EXPECT_EQ(sectorOf(patternImage(4608), 17), receive());
    EXPECT_EQ(0x81, ioRead(1));
}

TEST_F(DiskCardTest, BuffersAreChosenByTheTopBitsOfTheDriveByte) {
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    select(Mo);
    settledStatus();
    command(0x01, 0x40, 0x00, 0x05); // sector 5 into buffer 1, nothing sent
    EXPECT_EQ(0x81, ioRead(1));
    command(0x03, 0x00, 0x00, 0x06); // sector 6 through buffer 0
    EXPECT_EQ(sectorOf(image_, 6), receive());
    command(0x02, 0x40, 0x00, 0x00); // send buffer 1 as it stands
    EXPECT_EQ(sectorOf(image_, 5), receive());
}

TEST_F(DiskCardTest, FailureCodes) {
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    struct Case {
        const char* what;
        uint8_t card, drive, high, low;
        uint8_t error;
    };
    const Case cases[] = {
        {"sector 640 on mo", Mo, 0x00, 0x50, 0x00, 16},
        {"no image on drive 1", Mo, 0x01, 0x00, 0x00, 128},
        {"drive 5 never has one", Mo, 0x05, 0x00, 0x00, 128},
        {"mf card", 44, 0x00, 0x00, 0x00, 128},
        {"sf card", 46, 0x00, 0x00, 0x00, 128},
        {"hd card", 36, 0x00, 0x00, 0x00, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        select(c.card);
        settledStatus();
        command(0x03, c.drive, c.high, c.low);
        EXPECT_EQ(0x89, ioRead(1)) << "ready for a command, error bit set";
        EXPECT_EQ(c.error, ioRead(0));
        EXPECT_EQ(c.error, ioRead(0)) << "no data follows";
    }
    select(Mo);
    command(0x01, 0x00, 0x00, 0x01);
    EXPECT_EQ(0x81, ioRead(1)) << "a good command clears the error";
    EXPECT_EQ(0, ioRead(0));

    // No card, or a code that isn't a disk card: ports 0 and 1 read 0.
    for (uint8_t code : {0, 12, 37, 60}) {
        select(code);
        EXPECT_EQ(0, ioRead(0)) << int(code);
        EXPECT_EQ(0, ioRead(1)) << int(code);
    }
}

TEST_F(DiskCardTest, WriteCommandTakesTheDataThenWritesTheSector) {
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    select(Mo);
    settledStatus();
    command(0x0C, 0x00, 0x00, 0x03);
    for (int i = 0; i < 255; ++i) {
        ioWrite(0, 0xAA);
        ASSERT_EQ(0x01, ioRead(1)) << "still receiving at byte " << i;
    }
    ioWrite(0, 0xAA);
    EXPECT_EQ(0x81, ioRead(1));
    EXPECT_EQ(0, ioRead(0));
    Bytes expected = image_;
    std::fill(expected.begin() + 3 * 256, expected.begin() + 4 * 256, 0xAA);
    EXPECT_EQ(expected, readFile(dir_.path("a.dsk")));

    // With the drive's switch on, the data is taken and refused with 64.
    SetDriveWriteProtect(0, true);
    command(0x0C, 0x00, 0x00, 0x04);
    for (int i = 0; i < 256; ++i)
        ioWrite(0, 0x55);
    EXPECT_EQ(0x89, ioRead(1));
    EXPECT_EQ(64, ioRead(0));
    SetDriveWriteProtect(0, false);
    EXPECT_EQ(expected, readFile(dir_.path("a.dsk")));
}

TEST_F(DiskCardTest, AttachAndDetachTouchOnlyTheirOwnDrive) {
    Bytes other = patternImage(368640, 99);
    writeFile(dir_.path("b.dsk"), other);
    writeFile(dir_.path("c.dsk"), patternImage(163840, 55));
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    ASSERT_EQ(1, AttachDiskImage(1, dir_.path("b.dsk")));
    select(Mo);
    settledStatus();
    command(0x03, 0x01, 0x00, 0x04);
    EXPECT_EQ(sectorOf(other, 4), receive());

    // Replacing DR0's image leaves DR1 attached.
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("c.dsk")));
    settledStatus();
    command(0x03, 0x00, 0x00, 0x04);
    EXPECT_EQ(sectorOf(patternImage(163840, 55), 4), receive());
    command(0x03, 0x01, 0x00, 0x05);
    EXPECT_EQ(sectorOf(other, 5), receive());

    // A refused image keeps what the drive had.
    writeFile(dir_.path("bad.dsk"), Bytes(1000, 0));
    EXPECT_EQ(0, AttachDiskImage(1, dir_.path("bad.dsk")));
    command(0x03, 0x01, 0x00, 0x06);
    EXPECT_EQ(sectorOf(other, 6), receive());

    DetachDrive(0);
    settledStatus();
    command(0x03, 0x00, 0x00, 0x01);
    EXPECT_EQ(128, ioRead(0));
    command(0x03, 0x01, 0x00, 0x07);
    EXPECT_EQ(sectorOf(other, 7), receive());
    EXPECT_TRUE(DriveImages[0].path.empty());
    EXPECT_EQ(368640u, DriveImages[1].size);
}

TEST_F(DiskCardTest, AttachingMidTransferDropsTheTransfer) {
    ASSERT_EQ(1, AttachDiskImage(0, dir_.path("a.dsk")));
    select(Mo);
    settledStatus();
    command(0x03, 0x00, 0x00, 0x02);
    for (int i = 0; i < 100; ++i)
        ioRead(0);
    ASSERT_EQ(1, AttachDiskImage(1, dir_.path("a.dsk")));
    EXPECT_EQ(0x81, settledStatus());
    EXPECT_EQ(0, ioRead(0)) << "no more data bytes";
}

} // namespace
