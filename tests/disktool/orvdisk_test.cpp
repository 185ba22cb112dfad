// orvdisk run as users run it: programs and data in and out through the
// machine's own tokeniser, and the failures they meet on real files.
#include "media/orvane_disk.h"
#include "tests/support/real_failures.h"
#include "tests/support/run_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Orvdisk : public ::testing::Test {
  protected:
    fs::path folder;
    std::string image;

    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("orvdisk-test-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        image = (folder / "disk.dsk").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string tool() { return std::string(ORVANE_BINARY_DIR) + "/bin/orvdisk"; }
    // Runs orvdisk with the arguments; its exit code, standard output in *out
    // and standard error in *errors.
    int orvdisk(const std::string& arguments, std::string* out = nullptr,
                std::string* errors = nullptr) {
        std::string errorFile = (folder / "stderr.txt").string();
        int rc = runCommand(tool() + " " + arguments + " 2>" + errorFile, out);
        if (errors) *errors = read(errorFile);
        return rc;
    }
    std::string path(const std::string& name) { return (folder / name).string(); }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    OrvaneDisk disk() {
        std::string bytes = read(image), cause;
        OrvaneDisk d;
        EXPECT_EQ(d.open(std::vector<uint8_t>(bytes.begin(), bytes.end()), cause), 1) << cause;
        return d;
    }
};

const char Program[] = "10 PRINT \"HELLO\"\n20 FOR I=1 TO 3\n30 PRINT I*2;\n40 NEXT I\n";

TEST_F(Orvdisk, AProgramGoesInAsTokensAndComesBackAsItsListing) {
    ASSERT_EQ(orvdisk("new " + image), 0);
    write("hello.bas", Program);
    ASSERT_EQ(orvdisk("put " + image + " " + path("hello.bas")), 0);

    OrvaneDisk d = disk();
    ASSERT_TRUE(d.find("HELLO"));
    EXPECT_EQ(d.find("HELLO")->kind, OrvaneFileKind::Program);
    std::vector<uint8_t> bytes;
    std::string cause;
    ASSERT_EQ(d.read("HELLO", bytes, cause), 1);
    std::string stored(bytes.begin(), bytes.end());
    EXPECT_EQ(stored.find("PRINT"), std::string::npos) << "keywords are stored as tokens";
    EXPECT_NE(stored.find("HELLO"), std::string::npos);
    EXPECT_EQ(bytes.back(), 0x01);

    std::string listed;
    ASSERT_EQ(orvdisk("get " + image + " HELLO -", &listed), 0);
    EXPECT_EQ(listed, Program);
    // The default output name, and the BAC form that put takes back.
    ASSERT_EQ(runCommand("cd " + folder.string() + " && " + tool() + " get --bac disk.dsk HELLO" +
                         " 2>/dev/null"),
              0);
    ASSERT_TRUE(fs::exists(path("HELLO.bac")));
    ASSERT_EQ(orvdisk("put " + image + " " + path("HELLO.bac") + " AGAIN"), 0);
    ASSERT_EQ(orvdisk("get " + image + " AGAIN -", &listed), 0);
    EXPECT_EQ(listed, Program);

    std::string listing;
    ASSERT_EQ(orvdisk("ls " + image, &listing), 0);
    EXPECT_NE(listing.find("AGAIN    PROGRAM"), std::string::npos) << listing;
    EXPECT_NE(listing.find("2 files, "), std::string::npos) << listing;
    std::string report;
    EXPECT_EQ(orvdisk("check " + image, &report), 0);
    EXPECT_NE(report.find("sound"), std::string::npos);
}

TEST_F(Orvdisk, DataFilesKeepTheirLinesAndNamesAsTyped) {
    ASSERT_EQ(orvdisk("new " + image), 0);
    write("scores.txt", "ANNA,12\r\nBO,7\n");
    ASSERT_EQ(orvdisk("put " + image + " " + path("scores.txt") + " total"), 0);
    std::vector<uint8_t> bytes;
    std::string cause;
    ASSERT_EQ(disk().read("total", bytes, cause), 1);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "ANNA,12\rBO,7\r");
    std::string out;
    ASSERT_EQ(orvdisk("get " + image + " total -", &out), 0);
    EXPECT_EQ(out, "ANNA,12\nBO,7\n");

    ASSERT_EQ(orvdisk("mv " + image + " total SUM"), 0);
    std::string errors;
    EXPECT_EQ(orvdisk("get " + image + " total -", &out, &errors), 1);
    EXPECT_EQ(errors, "orvdisk: total: file not found\n");
    ASSERT_EQ(orvdisk("rm " + image + " SUM"), 0);
    EXPECT_TRUE(disk().entries().empty());
    EXPECT_EQ(orvdisk("rm " + image + " SUM", nullptr, &errors), 1);
    EXPECT_EQ(errors, "orvdisk: SUM: file not found\n");
}

TEST_F(Orvdisk, ImagesThatAreNotOursStayByteForByte) {
    std::string foreign(163840, '\0');
    for (size_t i = 0; i < foreign.size(); ++i)
        foreign[i] = static_cast<char>(i * 13);
    write("disk.dsk", foreign);
    write("a.txt", "X\n");
    uint64_t before = real_failures::checksumOf(image);
    std::string errors;
    for (std::string command : {"put " + image + " " + path("a.txt"), "rm " + image + " A",
                                "mv " + image + " A B", "ls " + image, "check " + image}) {
        EXPECT_EQ(orvdisk(command, nullptr, &errors), 1) << command;
        EXPECT_EQ(errors, "orvdisk: " + image + ": not an Orvane disk\n");
    }
    EXPECT_EQ(real_failures::checksumOf(image), before);
    // new never formats over a file that is there.
    EXPECT_EQ(orvdisk("new " + image, nullptr, &errors), 1);
    EXPECT_NE(errors.find("already exists"), std::string::npos);
    EXPECT_EQ(real_failures::checksumOf(image), before);
}

TEST_F(Orvdisk, AFullDiskOrDirectoryRefusesAndKeepsTheImage) {
    ASSERT_EQ(orvdisk("new --size 8 " + image), 0);
    EXPECT_EQ(fs::file_size(image), 8192u);
    write("big.txt", std::string(30 * 254, 'x'));
    uint64_t before = real_failures::checksumOf(image);
    std::string errors;
    EXPECT_EQ(orvdisk("put " + image + " " + path("big.txt"), nullptr, &errors), 1);
    EXPECT_EQ(errors, "orvdisk: " + image + ": disk full\n");
    EXPECT_EQ(real_failures::checksumOf(image), before);

    ASSERT_EQ(orvdisk("new " + path("many.dsk")), 0);
    write("one.txt", "1\n");
    std::string all;
    for (int i = 0; i < 64; ++i)
        all += tool() + " put " + path("many.dsk") + " " + path("one.txt") + " F" +
               std::to_string(i) + " && ";
    ASSERT_EQ(runCommand(all + "true"), 0);
    EXPECT_EQ(orvdisk("put " + path("many.dsk") + " " + path("one.txt") + " F64", nullptr, &errors),
              1);
    EXPECT_EQ(errors, "orvdisk: " + path("many.dsk") + ": directory full\n");
    EXPECT_EQ(orvdisk("check " + path("many.dsk")), 0);

    for (const char* size : {"7", "170", "161", "abc"})
        EXPECT_EQ(orvdisk("new --size " + std::string(size) + " " + path("odd.dsk")), 2) << size;
    EXPECT_FALSE(fs::exists(path("odd.dsk")));
}

TEST_F(Orvdisk, AWriteTheHostRefusesLeavesTheOldImage) {
    ASSERT_EQ(orvdisk("new " + image), 0);
    write("a.txt", "OLD\n");
    ASSERT_EQ(orvdisk("put " + image + " " + path("a.txt")), 0);
    write("a.txt", std::string(5000, 'n'));
    uint64_t before = real_failures::checksumOf(image);

    // A file size limit below the image's size: the temporary copy fails.
    std::string errors;
    EXPECT_EQ(real_failures::runWithFileSizeLimit(tool() + " put " + image + " " + path("a.txt"),
                                                  100000, &errors),
              1);
    EXPECT_NE(errors.find("orvdisk: " + image + ": "), std::string::npos) << errors;
    EXPECT_EQ(real_failures::checksumOf(image), before);

    // A folder the user may not write.
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(image, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                               fs::perms::others_read);
    EXPECT_EQ(real_failures::runUnprivileged(tool() + " rm " + image + " A", &errors), 1);
    EXPECT_EQ(errors, "orvdisk: " + image + ": permission denied\n");
    EXPECT_EQ(real_failures::checksumOf(image), before);

    // No space left: /dev/full as the listing's output.
    EXPECT_EQ(orvdisk("get " + image + " A - >/dev/full", nullptr, &errors), 1);
    EXPECT_EQ(errors, "orvdisk: standard output: no space left on device\n");
}

TEST_F(Orvdisk, CheckFailsOnADamagedDisk) {
    ASSERT_EQ(orvdisk("new " + image), 0);
    write("a.txt", std::string(1000, 'a'));
    ASSERT_EQ(orvdisk("put " + image + " " + path("a.txt")), 0);
    OrvaneDisk d = disk();
    std::string bytes = read(image);
    bytes[d.find("A")->first * 256] = 0x7F; // the first sector's link points off the disk
    bytes[d.find("A")->first * 256 + 1] = 0x7F;
    write("disk.dsk", bytes);
    std::string errors;
    EXPECT_EQ(orvdisk("check " + image, nullptr, &errors), 1);
    // The chain's broken, and the sectors beyond the break belong to no file.
    EXPECT_EQ(errors, "orvdisk: " + image + ": file \"A\": broken sector chain\n" +
                          "orvdisk: " + image + ": 3 sectors marked in use by no file\n");
    EXPECT_EQ(orvdisk("get " + image + " A -", nullptr, &errors), 1);
    EXPECT_EQ(errors, "orvdisk: A: damaged file\n");
}

} // namespace
