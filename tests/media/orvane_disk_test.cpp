// The Orvane disk format: files in and out, the refusals, what check finds,
// and a change cut off after every sector write.
#include "media/orvane_disk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    return v;
}

OrvaneDisk openBlank(uint32_t sectors = OrvaneDiskSectors) {
    OrvaneDisk disk;
    std::string cause;
    EXPECT_EQ(disk.open(FormatOrvaneDisk(sectors), cause), 1) << cause;
    return disk;
}

TEST(OrvaneDisk, BlankDiskIsSoundAndEmpty) {
    for (uint32_t sectors : {OrvaneDiskSectors, 320u, OrvaneMinSectors}) {
        OrvaneDisk disk = openBlank(sectors);
        EXPECT_EQ(disk.image().size(), sectors * 256u);
        EXPECT_TRUE(disk.entries().empty());
        EXPECT_EQ(disk.freeSectors(), sectors - OrvaneFirstDataSector);
        EXPECT_TRUE(disk.check().empty());
    }
    EXPECT_EQ(openBlank().freeBytes(), 629u * 254u);
}

TEST(OrvaneDisk, FilesComeBackAsWrittenAndReplacingFreesTheOldVersion) {
    OrvaneDisk disk = openBlank();
    std::string cause;
    uint32_t blank = disk.freeSectors();
    // Lengths on both sides of the sector boundaries, and the empty file.
    for (size_t n : {0, 1, 253, 254, 255, 508, 509, 10000}) {
        std::string name = "F" + std::to_string(n);
        ASSERT_EQ(disk.write(name, OrvaneFileKind::Data, pattern(n, 3), cause), 1) << cause;
        std::vector<uint8_t> back;
        ASSERT_EQ(disk.read(name, back, cause), 1) << cause;
        EXPECT_EQ(back, pattern(n, 3)) << n;
        EXPECT_EQ(disk.find(name)->sectors, (n + 253) / 254);
    }
    EXPECT_TRUE(disk.check().empty());

    uint32_t before = disk.freeSectors();
    ASSERT_EQ(disk.write("F10000", OrvaneFileKind::Program, pattern(300, 9), cause), 1);
    EXPECT_EQ(disk.freeSectors(), before + 40 - 2);
    EXPECT_EQ(disk.find("F10000")->kind, OrvaneFileKind::Program);
    std::vector<uint8_t> back;
    disk.read("F10000", back, cause);
    EXPECT_EQ(back, pattern(300, 9));

    // Reopening the image finds the same directory.
    OrvaneDisk again;
    ASSERT_EQ(again.open(disk.image(), cause), 1);
    EXPECT_EQ(again.entries().size(), 8u);
    again.read("F509", back, cause);
    EXPECT_EQ(back, pattern(509, 3));

    for (const OrvaneDirEntry& e : std::vector<OrvaneDirEntry>(again.entries()))
        ASSERT_EQ(again.remove(e.name, cause), 1);
    EXPECT_EQ(again.freeSectors(), blank);
    EXPECT_TRUE(again.check().empty());
}

TEST(OrvaneDisk, NamesAreKeptAsTypedAndRenamed) {
    OrvaneDisk disk = openBlank();
    std::string cause;
    for (const char* name : {"TOTAL", "FORMAT", "ABCDEFGH", "total"})
        ASSERT_EQ(disk.write(name, OrvaneFileKind::Data, {'x'}, cause), 1) << name;
    EXPECT_EQ(disk.entries().size(), 4u);
    EXPECT_EQ(disk.rename("TOTAL", "SUM", cause), 1);
    EXPECT_FALSE(disk.find("TOTAL"));
    ASSERT_TRUE(disk.find("SUM"));
    EXPECT_EQ(disk.rename("SUM", "FORMAT", cause), 0);
    EXPECT_EQ(cause, "file exists");
    EXPECT_EQ(disk.rename("NOSUCH", "X", cause), 0);
    EXPECT_EQ(cause, "file not found");
    for (const char* bad : {"", "ABCDEFGHI", "A B", "A:B", "A,B", "A\"B"}) {
        EXPECT_EQ(disk.write(bad, OrvaneFileKind::Data, {}, cause), 0) << bad;
        EXPECT_EQ(cause, "bad file name");
    }
}

TEST(OrvaneDisk, RefusedChangesLeaveTheImageAsItWas) {
    OrvaneDisk disk = openBlank();
    std::string cause;
    ASSERT_EQ(disk.write("BIG", OrvaneFileKind::Data, pattern(600 * 254, 1), cause), 1);
    std::vector<uint8_t> before = disk.image();
    // 29 sectors are left; 30 do not fit, even though replacing BIG would
    // free 600: the new version is written before the old one is freed.
    EXPECT_EQ(disk.write("MORE", OrvaneFileKind::Data, pattern(30 * 254, 2), cause), 0);
    EXPECT_EQ(cause, "disk full");
    EXPECT_EQ(disk.write("BIG", OrvaneFileKind::Data, pattern(30 * 254, 2), cause), 0);
    EXPECT_EQ(disk.image(), before);
    EXPECT_EQ(disk.write("MORE", OrvaneFileKind::Data, pattern(29 * 254, 2), cause), 1);
    EXPECT_EQ(disk.freeSectors(), 0u);

    OrvaneDisk full = openBlank();
    for (uint32_t i = 0; i < OrvaneDirectoryEntries; ++i)
        ASSERT_EQ(full.write("N" + std::to_string(i), OrvaneFileKind::Data, {1}, cause), 1);
    before = full.image();
    EXPECT_EQ(full.write("ONEMORE", OrvaneFileKind::Data, {1}, cause), 0);
    EXPECT_EQ(cause, "directory full");
    EXPECT_EQ(full.image(), before);
    EXPECT_EQ(full.write("N5", OrvaneFileKind::Data, {2, 3}, cause), 1); // a replacement fits
    EXPECT_EQ(full.remove("GONE", cause), 0);
    EXPECT_EQ(cause, "file not found");
}

TEST(OrvaneDisk, ImagesThatAreNotOursAreRefused) {
    OrvaneDisk disk;
    std::string cause;
    EXPECT_EQ(disk.open(std::vector<uint8_t>(163840, 0xE5), cause), 0);
    EXPECT_EQ(cause, "not an Orvane disk");
    EXPECT_EQ(disk.open({'O', 'R'}, cause), 0);
    EXPECT_FALSE(HasOrvaneSignature(std::vector<uint8_t>(256, 0)));

    std::vector<uint8_t> image = FormatOrvaneDisk();
    image[8] = 2;
    EXPECT_EQ(disk.open(image, cause), 0);
    EXPECT_EQ(cause, "unsupported format version 2");
    image = FormatOrvaneDisk();
    image.resize(100 * 256);
    EXPECT_EQ(disk.open(image, cause), 0);
    EXPECT_EQ(cause, "damaged disk header");
    image = FormatOrvaneDisk();
    image[OrvaneCopyA * 256 + 20] ^= 1; // both copies damaged
    image[OrvaneCopyB * 256 + 300] ^= 1;
    EXPECT_EQ(disk.open(image, cause), 0);
    EXPECT_EQ(cause, "no valid directory");
}

TEST(OrvaneDisk, CheckFindsWhatIsWrong) {
    OrvaneDisk disk = openBlank();
    std::string cause;
    disk.write("ONE", OrvaneFileKind::Data, pattern(600, 1), cause);
    disk.write("TWO", OrvaneFileKind::Data, pattern(600, 2), cause);
    ASSERT_TRUE(disk.check().empty());
    const OrvaneDirEntry one = *disk.find("ONE");
    const OrvaneDirEntry two = *disk.find("TWO");

    auto problemsAfter = [&](auto damage) {
        std::vector<uint8_t> image = disk.image();
        damage(image);
        OrvaneDisk damaged;
        std::string why;
        EXPECT_EQ(damaged.open(image, why), 1) << why;
        std::vector<std::string> problems = damaged.check();
        return problems.empty() ? std::string() : problems[0];
    };
    // ONE's second sector links into TWO's chain.
    EXPECT_NE(problemsAfter([&](std::vector<uint8_t>& image) {
                  uint32_t second = image[one.first * 256] | (image[one.first * 256 + 1] << 8);
                  image[second * 256] = static_cast<uint8_t>(two.first + 1);
                  image[second * 256 + 1] = 0;
              }),
              "");
    // A link out of the disk.
    EXPECT_EQ(problemsAfter([&](std::vector<uint8_t>& image) {
                  image[one.first * 256] = 0xFF;
                  image[one.first * 256 + 1] = 0xFF;
              }),
              "file \"ONE\": broken sector chain");
    // The image cut short.
    std::vector<uint8_t> shorter = disk.image();
    shorter.resize(shorter.size() + 256);
    OrvaneDisk longer;
    ASSERT_EQ(longer.open(shorter, cause), 1);
    EXPECT_EQ(longer.check().size(), 1u);
}

TEST(OrvaneDisk, TheDirectoryFallsBackToTheOlderCopyWhenTheNewerIsDamaged) {
    OrvaneDisk disk = openBlank();
    std::string cause;
    disk.write("OLD", OrvaneFileKind::Data, pattern(100, 1), cause);
    std::vector<uint8_t> image = disk.image();
    uint32_t newer = disk.generation() % 2 ? OrvaneCopyA : OrvaneCopyB;
    disk.write("NEW", OrvaneFileKind::Data, pattern(100, 2), cause);
    image = disk.image();
    uint32_t current = newer == OrvaneCopyA ? OrvaneCopyB : OrvaneCopyA;
    image[current * 256 + 256 + 5] ^= 0x40; // an entry byte of the copy in force
    OrvaneDisk fallen;
    ASSERT_EQ(fallen.open(image, cause), 1);
    EXPECT_TRUE(fallen.find("OLD"));
    EXPECT_FALSE(fallen.find("NEW"));
    EXPECT_TRUE(fallen.check().empty());
}

// A change written sector by sector in the documented order (data, entry
// sectors, copy header) and cut off after each sector: the disk opens,
// checks sound and holds either the old or the new version whole.
TEST(OrvaneDisk, AChangeCutOffAfterAnySectorLeavesTheOldOrTheNewVersion) {
    OrvaneDisk disk = openBlank();
    std::string cause;
    ASSERT_EQ(disk.write("KEEP", OrvaneFileKind::Data, pattern(3000, 5), cause), 1);
    ASSERT_EQ(disk.write("PROG", OrvaneFileKind::Program, pattern(2000, 6), cause), 1);
    const std::vector<uint8_t> before = disk.image();

    struct Change {
        const char* what;
        std::function<int(OrvaneDisk&)> apply;
    };
    std::vector<Change> changes = {
        {"replace",
         [&](OrvaneDisk& d) {
             return d.write("PROG", OrvaneFileKind::Program, pattern(5000, 7), cause);
         }},
        {"remove", [&](OrvaneDisk& d) { return d.remove("PROG", cause); }},
        {"rename", [&](OrvaneDisk& d) { return d.rename("PROG", "PROG2", cause); }},
    };
    for (const Change& change : changes) {
        OrvaneDisk changed;
        ASSERT_EQ(changed.open(before, cause), 1);
        ASSERT_EQ(change.apply(changed), 1);
        const std::vector<uint8_t>& after = changed.image();
        std::vector<uint32_t> order; // changed sectors: data, entries, headers
        for (int pass = 0; pass < 3; ++pass)
            for (uint32_t s = 0; s < OrvaneDiskSectors; ++s) {
                bool header = s == OrvaneCopyA || s == OrvaneCopyB;
                bool data = s >= OrvaneFirstDataSector;
                int kind = data ? 0 : header ? 2 : 1;
                if (kind == pass &&
                    !std::equal(before.begin() + s * 256, before.begin() + s * 256 + 256,
                                after.begin() + s * 256))
                    order.push_back(s);
            }
        ASSERT_FALSE(order.empty());
        for (size_t cut = 0; cut <= order.size(); ++cut) {
            std::vector<uint8_t> image = before;
            for (size_t i = 0; i < cut; ++i)
                std::copy_n(after.begin() + order[i] * 256, 256, image.begin() + order[i] * 256);
            OrvaneDisk cutDisk;
            ASSERT_EQ(cutDisk.open(image, cause), 1) << change.what << " cut " << cut;
            EXPECT_TRUE(cutDisk.check().empty()) << change.what << " cut " << cut;
            std::vector<uint8_t> keep;
            ASSERT_EQ(cutDisk.read("KEEP", keep, cause), 1);
            EXPECT_EQ(keep, pattern(3000, 5));
            bool done = cut == order.size();
            std::vector<uint8_t> prog;
            if (std::string(change.what) == "replace") {
                ASSERT_EQ(cutDisk.read("PROG", prog, cause), 1);
                EXPECT_EQ(prog, done ? pattern(5000, 7) : pattern(2000, 6)) << cut;
            } else {
                EXPECT_EQ(cutDisk.read("PROG", prog, cause), done ? 0 : 1) << cut;
            }
        }
    }
}

} // namespace
