// The one helper that replaces a user's file: whole or not at all, links
// and permissions kept, folders never replaced, devices written in place,
// and the cause in words.
#include "files/file_write.h"
#include "tests/media/media_files.h"
#include "tests/support/real_failures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

namespace {

int entries(const std::string& folder) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++n;
    }
    return n;
}

TEST(WriteWholeFile, ReplacesAFileWholeThroughItsLink) {
    ScratchDir dir;
    writeFile(dir.path("real.bin"), Bytes(5000, 0x11));
    chmod(dir.path("real.bin").c_str(), 0604);
    std::filesystem::create_symlink("real.bin", dir.path("link.bin"));
    std::string cause = "unchanged";
    ASSERT_EQ(1, WriteWholeFile(dir.path("link.bin"), "new", &cause));
    EXPECT_EQ(cause, "unchanged") << "no cause on success";
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path("link.bin"))) << "the link stays a link";
    EXPECT_EQ((Bytes{'n', 'e', 'w'}), readFile(dir.path("real.bin")));
    struct stat info;
    ASSERT_EQ(0, stat(dir.path("real.bin").c_str(), &info));
    EXPECT_EQ(0604u, info.st_mode & 0777);
    EXPECT_EQ(2, entries(dir.path("")));
}

TEST(WriteWholeFile, RefusesFoldersAndMissingFolders) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.path("box"));
    std::string cause;
    EXPECT_EQ(0, WriteWholeFile(dir.path("box"), "x", &cause));
    EXPECT_EQ("is a folder", cause);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("box")));
    EXPECT_EQ(0, WriteWholeFile(dir.path("none/x.bin"), "x", &cause));
    EXPECT_EQ("no such file or folder", cause);
    EXPECT_EQ(0, WriteWholeFile(dir.path("box/x.bin/y"), "x", &cause));
    EXPECT_EQ(0, WriteWholeFile("", "x", &cause));
    EXPECT_EQ(1, entries(dir.path("")));
}

TEST(WriteWholeFile, DevicesAreWrittenInPlace) {
    std::string cause;
    EXPECT_EQ(1, WriteWholeFile("/dev/null", std::string(100000, 'z'), &cause));
    EXPECT_EQ(0, WriteWholeFile("/dev/full", "x", &cause));
    EXPECT_EQ("no space left on device", cause);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST(WriteWholeFile, AFileSizeLimitPartwayKeepsTheOldFile) {
    ScratchDir dir;
    const std::string target = dir.path("old.bin");
    writeFile(target, Bytes(300, 0x22));
    const uint64_t before = real_failures::checksumOf(target);
    // In a child with a limit of 1,000 bytes, a write of 4,000 stops partway.
    int code = real_failures::runPrepared(
        "true",
        [&] {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit = {1000, 1000};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::string cause;
            int ok = WriteWholeFile(target, std::string(4000, 'q'), &cause);
            _exit(ok ? 10 : cause == "file too large" ? 20 : 30);
            return true;
        },
        nullptr);
    EXPECT_EQ(20, code);
    EXPECT_EQ(before, real_failures::checksumOf(target));
    EXPECT_EQ(1, entries(dir.path(""))) << "no temporary file is left";
}

TEST(FileErrorText, NamesTheCausesInWords) {
    EXPECT_EQ("no space left on device", FileErrorText(ENOSPC));
    EXPECT_EQ("permission denied", FileErrorText(EACCES));
    EXPECT_EQ("is a folder", FileErrorText(EISDIR));
    EXPECT_EQ("file too large", FileErrorText(EFBIG));
    EXPECT_EQ("read-only file system", FileErrorText(EROFS));
    EXPECT_EQ("too many links", FileErrorText(EMLINK)) << "others from the C library, lower case";
}

} // namespace
