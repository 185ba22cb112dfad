// Real failures met by the headless runner's files: a full disk (/dev/full),
// a file size limit reached partway (RLIMIT_FSIZE), a read-only folder, a
// folder where a file should be, and files with no program in them. Every
// failure must exit 1 with the cause, leave existing files and every input
// exactly as they were, and leave no temporary file behind.
#include "tests/media/media_files.h"
#include "tests/support/real_failures.h"
#include "tests/support/run_command.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>

using real_failures::checksumOf;
using real_failures::runUnprivileged;
using real_failures::runWithFileSizeLimit;

namespace {

uint32_t le32(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

class HeadlessFailures : public ::testing::Test {
  protected:
    void SetUp() override {
        // Readable by the unprivileged user of the read-only folder case.
        chmod(dir.path("").c_str(), 0755);
        Bytes bac = {0x82, 0x08, 0x0A, 0x80, 'R', 'E', 'M', ' ', 0x0D};
        bac.resize(300, 0x00);
        writeFile(program(), bac);
        chmod(program().c_str(), 0644);
    }
    std::string program() const { return dir.path("prog.bac"); }
    const std::string& errors() const { return errorText; }
    // The runner's command line; what it writes to stderr goes to errors().
    std::string command(const std::string& arguments) const {
        return orvaneHeadless(arguments) + " >/dev/null";
    }
    int run(const std::string& arguments) {
        return real_failures::runPrepared(
            command(arguments), [] { return true; }, &errorText);
    }
    int runLimited(const std::string& arguments, rlim_t bytes) {
        return runWithFileSizeLimit(command(arguments), bytes, &errorText);
    }
    // Names in the folder other than the ones the test made.
    int strayFiles(const std::string& folder) const {
        int n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            n += entry.path().filename().string().rfind(".", 0) ==
                 0; // temporary files start with a dot
        return n;
    }
    ScratchDir dir;
    std::string errorText;
};

TEST_F(HeadlessFailures, SaveOntoAFullDiskFailsWithTheCause) {
    uint64_t input = checksumOf(program());
    // A link to /dev/full gives the name the .bac extension a save needs.
    std::filesystem::create_symlink("/dev/full", dir.path("full.bac"));
    EXPECT_EQ(1, run("--load " + program() + " --frames 1 --save-bac " + dir.path("full.bac")));
    EXPECT_NE(std::string::npos,
              errors().find("Cannot write " + dir.path("full.bac") + ": no space left on device"))
        << errors();
    EXPECT_EQ(std::string::npos, errors().find("File saved"));
    EXPECT_EQ(input, checksumOf(program()));
}

TEST_F(HeadlessFailures, SaveNeverReplacesAFolder) {
    std::filesystem::create_directory(dir.path("keep.bac"));
    writeFile(dir.path("keep.bac/inside.txt"), {'x'});
    std::filesystem::create_directory(dir.path("empty.bac"));
    for (const char* target : {"keep.bac", "empty.bac"}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(1, run("--load " + program() + " --frames 1 --save-bac " + dir.path(target)));
        EXPECT_NE(std::string::npos, errors().find(": is a folder")) << errors();
        EXPECT_EQ(std::string::npos, errors().find("File saved"));
        EXPECT_TRUE(std::filesystem::is_directory(dir.path(target)));
    }
    EXPECT_EQ(Bytes{'x'}, readFile(dir.path("keep.bac/inside.txt")));
    // The same for screenshots and memory dumps.
    EXPECT_EQ(1, run("--frames 1 --screenshot " + dir.path("empty.bac")));
    EXPECT_EQ(1, run("--frames 1 --dump-memory " + dir.path("empty.bac")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("empty.bac")));
    EXPECT_EQ(0, strayFiles(dir.path("")));
}

TEST_F(HeadlessFailures, SaveCutShortByAFileSizeLimitKeepsTheOldFile) {
    Bytes old(5000, 0x5A);
    writeFile(dir.path("old.bac"), old);
    uint64_t input = checksumOf(program());
    // The saved program takes 256 bytes; a limit of 100 stops it partway.
    EXPECT_EQ(1, runLimited("--load " + program() + " --frames 1 --save-bac " + dir.path("old.bac"),
                            100));
    EXPECT_NE(std::string::npos, errors().find("file too large")) << errors();
    EXPECT_EQ(old, readFile(dir.path("old.bac")));
    EXPECT_EQ(input, checksumOf(program()));
    EXPECT_EQ(0, strayFiles(dir.path("")));
    // Screenshots (58,678 bytes) and memory dumps (65,536) the same way.
    writeFile(dir.path("shot.bmp"), old);
    EXPECT_EQ(1, runLimited("--frames 1 --screenshot " + dir.path("shot.bmp"), 20000));
    EXPECT_EQ(old, readFile(dir.path("shot.bmp")));
    EXPECT_EQ(1, runLimited("--frames 1 --dump-memory " + dir.path("mem.bin"), 20000));
    EXPECT_FALSE(std::filesystem::exists(dir.path("mem.bin")));
    EXPECT_EQ(0, strayFiles(dir.path("")));
}

TEST_F(HeadlessFailures, SaveIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
    std::filesystem::create_directory(dir.path("ro"));
    Bytes old(700, 0x11);
    writeFile(dir.path("ro/prog.bac"), old);
    chmod(dir.path("ro/prog.bac").c_str(), 0666); // the file itself is writable
    chmod(dir.path("ro").c_str(), 0555);
    EXPECT_EQ(1, runUnprivileged(command("--load " + program() + " --frames 1 --save-bac " +
                                         dir.path("ro/prog.bac")),
                                 &errorText));
    EXPECT_NE(std::string::npos, errors().find("permission denied")) << errors();
    EXPECT_EQ(old, readFile(dir.path("ro/prog.bac")));
    chmod(dir.path("ro").c_str(), 0755);
    EXPECT_EQ(0, strayFiles(dir.path("ro")));
}

TEST_F(HeadlessFailures, SaveReplacesAFileWholeAndKeepsItsPermissions) {
    writeFile(dir.path("out.bac"), Bytes(9000, 0x33));
    chmod(dir.path("out.bac").c_str(), 0640);
    ASSERT_EQ(0, run("--load " + program() + " --frames 1 --save-bac " + dir.path("out.bac")));
    EXPECT_NE(std::string::npos, errors().find("File saved: " + dir.path("out.bac") + "."));
    EXPECT_EQ(256u, readFile(dir.path("out.bac")).size());
    struct stat info;
    ASSERT_EQ(0, stat(dir.path("out.bac").c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 0777);
    EXPECT_EQ(0, strayFiles(dir.path("")));
}

// Types a program and SAVE CAS: so that the motor runs and samples flow.
const char* SaveToTape = "--type '10 PRINT 1\\rSAVE CAS:A\\r' --frames 600 ";

void expectConsistentWav(const Bytes& wav, size_t sampleBytes) {
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(0, std::memcmp(wav.data(), "RIFF", 4));
    EXPECT_EQ(wav.size() - 8, le32(wav, 4));
    EXPECT_EQ(wav.size() - 44, le32(wav, 40));
    EXPECT_EQ(0u, (wav.size() - 44) % sampleBytes);
}

TEST_F(HeadlessFailures, TapeRecordingOntoAFullDiskFails) {
    EXPECT_EQ(1, run(std::string(SaveToTape) + "--tape-out /dev/full"));
    EXPECT_NE(std::string::npos, errors().find("no space left on device")) << errors();
}

TEST_F(HeadlessFailures, TapeRecordingStoppedPartwayKeepsAConsistentFile) {
    const std::string wav = dir.path("tape.wav");
    EXPECT_EQ(1, runLimited(std::string(SaveToTape) + "--tape-out " + wav, 20001));
    EXPECT_NE(std::string::npos,
              errors().find("Tape recording stopped: cannot write " + wav + ": file too large"))
        << errors();
    Bytes bytes = readFile(wav);
    EXPECT_EQ(20001u, bytes.size()) << "every sample that fitted is kept";
    expectConsistentWav(bytes, 1);
}

TEST_F(HeadlessFailures, SoundRecordingStoppedPartwayKeepsAConsistentFile) {
    EXPECT_EQ(1, run("--frames 100 --record-sound /dev/full"));
    EXPECT_NE(std::string::npos, errors().find("no space left on device")) << errors();

    const std::string wav = dir.path("sound.wav");
    EXPECT_EQ(1, runLimited("--frames 100 --record-sound " + wav, 50001));
    EXPECT_NE(std::string::npos,
              errors().find("Sound recording stopped: cannot write " + wav + ": file too large"))
        << errors();
    Bytes bytes = readFile(wav);
    EXPECT_EQ(50000u, bytes.size()) << "cut to whole 16-bit samples";
    expectConsistentWav(bytes, 2);
}

TEST_F(HeadlessFailures, RecordingOntoThePlayedTapeIsRefused) {
    Bytes tape(44 + 4410, 128);
    std::memcpy(
        tape.data(),
        "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0\x44\xAC\0\0\x01\0\x08\0data", 40);
    writeFile(dir.path("a.wav"), tape);
    std::filesystem::create_hard_link(dir.path("a.wav"), dir.path("same.wav"));
    uint64_t input = checksumOf(dir.path("a.wav"));
    const uint64_t programSum = checksumOf(program());
    // The deck holds one tape: a tape to play and one to record don't mix.
    EXPECT_EQ(
        2, run("--tape-in " + dir.path("a.wav") + " --frames 5 --tape-out " + dir.path("a.wav")));
    EXPECT_EQ(input, checksumOf(dir.path("a.wav")));
    // A sound recording onto the played tape, under its own name or another
    // (a hard link): the same file, refused before anything is opened.
    for (const char* out : {"a.wav", "same.wav"}) {
        SCOPED_TRACE(out);
        EXPECT_EQ(1, run("--tape-in " + dir.path("a.wav") + " --frames 5 --record-sound " +
                         dir.path(out)));
        EXPECT_NE(std::string::npos,
                  errors().find("cannot record to " + dir.path(out) + ": it is " +
                                dir.path("a.wav") + ", which this run also reads"))
            << errors();
        EXPECT_EQ(input, checksumOf(dir.path("a.wav")));
    }
    // And a cassette recording onto a program the run loads.
    EXPECT_EQ(1, run("--load " + program() + " --frames 5 --tape-out " + program()));
    EXPECT_NE(std::string::npos, errors().find("which this run also reads")) << errors();
    EXPECT_EQ(programSum, checksumOf(program()));
}

TEST_F(HeadlessFailures, FilesWithoutAProgramAreRefusedWithTheReason) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    Bytes cut = {0x00, 0x16, 0x16, 0x16, 0x02, 0x00, 0x00, 0x00, 0x82, 0x10};
    const Case cases[] = {
        {"empty.atp", {}, "no tape blocks found"},
        {"noise.atp", Bytes(3000, 0x55), "no tape blocks found"},
        {"cut.atp", cut, "truncated after 10 of 264 bytes"},
        {"empty.bac", {}, "empty file"},
        {"text.bac", {'1', '0', ' ', 'R'}, "not a BAC file (no 82h marker)"},
        {"empty.bas", {}, "empty file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(dir.path(c.name), c.bytes);
        uint64_t input = checksumOf(dir.path(c.name));
        EXPECT_EQ(1, run("--load " + dir.path(c.name) + " --frames 1"));
        EXPECT_NE(std::string::npos,
                  errors().find("Cannot load " + dir.path(c.name) + ": " + c.reason))
            << errors();
        EXPECT_EQ(std::string::npos, errors().find("Loaded"));
        EXPECT_EQ(input, checksumOf(dir.path(c.name)));
    }
    EXPECT_EQ(1, run("--load " + dir.path("") + "x.atp --frames 1"));
    EXPECT_NE(std::string::npos, errors().find("x.atp: no such file or folder")) << errors();
    std::filesystem::create_directory(dir.path("folder.atp"));
    EXPECT_EQ(1, run("--load " + dir.path("folder.atp") + " --frames 1"));
    EXPECT_NE(std::string::npos, errors().find("folder.atp: is a folder")) << errors();
    writeFile(dir.path("odd.dsk"), Bytes(1000, 0));
    EXPECT_EQ(1, run("--disk0 " + dir.path("odd.dsk") + " --frames 1"));
    EXPECT_NE(std::string::npos,
              errors().find("Error attaching disk image! Drive DR0 - " + dir.path("odd.dsk") +
                            ": size of 1000 bytes is no disk format"))
        << errors();
}

TEST_F(HeadlessFailures, RunEndingWhileTheMotorRecordsWarns) {
    const std::string wav = dir.path("tape.wav");
    EXPECT_EQ(0, run("--type '10 PRINT 1\\rSAVE CAS:A\\r' --frames 60 --tape-out " + wav));
    EXPECT_NE(std::string::npos, errors().find("may be incomplete")) << errors();
    expectConsistentWav(readFile(wav), 1);
    // A recording the machine finished (the motor stopped) gives no warning.
    EXPECT_EQ(0, run("--frames 3 --tape-out " + wav));
    EXPECT_EQ(std::string::npos, errors().find("may be incomplete")) << errors();
}

TEST_F(HeadlessFailures, TextWithUnixLineEndsIsTypedLineByLine) {
    std::string text = "10 PRINT \"A\"\n20 END\n";
    writeFile(dir.path("unix.bas"), Bytes(text.begin(), text.end()));
    std::string screen;
    ASSERT_EQ(0, runCommand(orvaneHeadless("--load " + dir.path("unix.bas") +
                                           " --type 'LIST\\r' --frames 200 --screen-text") +
                                " 2>/dev/null",
                            &screen));
    EXPECT_NE(std::string::npos, screen.find("10 PRINT \"A\"")) << screen;
    EXPECT_NE(std::string::npos, screen.find("\n20 END")) << screen;
}

} // namespace

// A disk written by a BASIC line typed into the runner: the card selected
// with OUT 1,45, a write command for one sector of 256 bytes of 42h, then the
// status and error code printed.
class HeadlessDiskWrites : public HeadlessFailures {
  protected:
    static std::string writeSector(unsigned sector) {
        return "--type 'OUT 1,45:OUT 0,12:OUT 0,0:OUT 0," + std::to_string(sector / 8) + ":OUT 0," +
               std::to_string((sector % 8) * 32) +
               ":FOR I=1 TO 256:OUT 0,66:NEXT I:FOR J=1 TO 5:S=INP(1):NEXT J:PRINT S;INP(0)\\r' "
               "--frames 150 ";
    }
    // The run's exit code, its screen in screen() and its stderr in errors().
    int runWithScreen(const std::string& arguments) {
        return real_failures::runPrepared(
            orvaneHeadless(arguments + " --screen-text") + " >" + dir.path("screen.txt"),
            [] { return true; }, &errorText);
    }
    std::string screen() const {
        Bytes text = readFile(dir.path("screen.txt"));
        return std::string(text.begin(), text.end());
    }
    Bytes image(size_t sectors = 640) const {
        Bytes bytes(sectors * 256);
        for (size_t i = 0; i < bytes.size(); i++)
            bytes[i] = static_cast<uint8_t>(i / 256);
        return bytes;
    }
};

TEST_F(HeadlessDiskWrites, WritesReachTheImageUnlessTheDriveIsProtected) {
    const std::string disk = dir.path("a.dsk");
    writeFile(disk, image());
    EXPECT_EQ(0, runWithScreen("--disk0 " + disk + " " + writeSector(9)));
    EXPECT_NE(std::string::npos, screen().find(" 129  0")) << screen();
    Bytes expected = image();
    std::fill(expected.begin() + 9 * 256, expected.begin() + 10 * 256, 0x42);
    EXPECT_EQ(expected, readFile(disk));

    // The switch refuses with error 64; that is the disk's answer, not the run's failure.
    writeFile(disk, image());
    EXPECT_EQ(0, runWithScreen("--write-protect0 --disk0 " + disk + " " + writeSector(9)));
    EXPECT_NE(std::string::npos, screen().find(" 137  64")) << screen();
    EXPECT_EQ(image(), readFile(disk));
    // DR1's switch leaves DR0 writable.
    EXPECT_EQ(0, runWithScreen("--write-protect1 --disk0 " + disk + " " + writeSector(3)));
    EXPECT_NE(std::string::npos, screen().find(" 129  0")) << screen();
}

TEST_F(HeadlessDiskWrites, AFailedWriteEndsTheRunWithTheImageAndTheCause) {
    const std::string disk = dir.path("a.dsk");
    writeFile(disk, image());
    // Files may not reach past 4 KB: sector 2 fits, sector 20 does not.
    const std::string both = "--type 'OUT 1,45:OUT 0,12:OUT 0,0:OUT 0,0:OUT 0,64:FOR I=1 TO "
                             "256:OUT 0,66:NEXT I\\rOUT 0,12:OUT 0,0:OUT 0,2:OUT 0,128:FOR I=1 TO "
                             "256:OUT 0,67:NEXT I:PRINT INP(1);INP(0)\\r' --frames 250 ";
    EXPECT_EQ(1, runLimited("--disk0 " + disk + " " + both, 4096));
    EXPECT_NE(std::string::npos,
              errors().find("orvane: Disk write failed on DR0 (" + disk + "): file too large."))
        << errors();
    Bytes expected = image();
    std::fill(expected.begin() + 2 * 256, expected.begin() + 3 * 256, 0x42);
    EXPECT_EQ(expected, readFile(disk)) << "sector 2 kept, sector 20 unchanged";
}
