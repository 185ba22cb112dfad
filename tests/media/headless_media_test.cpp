// The headless runner's storage options, run as the orvane program itself:
// loading and autostarting, tapes played and recorded, disks attached and the
// program saved at the end.
#include "tests/media/media_files.h"
#include "tests/support/run_command.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Runs orvane --headless with the arguments; stderr is kept when asked.
int runOrvane(const std::string& arguments, std::string* errors = nullptr) {
    return runCommand(
        orvaneHeadless(arguments) + (errors ? " 2>&1 >/dev/null" : " >/dev/null 2>&1"), errors);
}

uint32_t le32(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Two line records as a BAC file in segment layout.
const Bytes records = {0x08, 0x0A, 0x00, 'R', 'E', 'M', ' ', 0x0D,
                       0x07, 0x14, 0x00, 'E', 'N', 'D', 0x0D};

Bytes bacFile() {
    Bytes file = {0x82};
    file.insert(file.end(), records.begin(), records.end());
    file.resize(300, 0x00);
    return file;
}

TEST(HeadlessMedia, LoadedProgramIsSavedBackAtTheEnd) {
    ScratchDir dir;
    writeFile(dir.path("prog.bac"), bacFile());
    std::string errors;
    ASSERT_EQ(0, runOrvane("--load " + dir.path("prog.bac") + " --frames 2 --save-bac " +
                               dir.path("copy"),
                           &errors));
    EXPECT_NE(std::string::npos, errors.find("Loaded " + dir.path("prog.bac") + "."));
    EXPECT_NE(std::string::npos, errors.find("File saved: " + dir.path("copy.bac") + "."));
    Bytes expected = {0x82};
    expected.insert(expected.end(), records.begin(), records.end());
    expected.resize(256, 0x00);
    EXPECT_EQ(expected, readFile(dir.path("copy.bac")));
}

TEST(HeadlessMedia, AutostartLoadsAfterAResetAndTheProgramIsInMemory) {
    ScratchDir dir;
    Bytes atp(5, 0x00);
    atp.insert(atp.end(), {0x16, 0x16, 0x16, 0x02, 0x00, 0x00, 0x00, 0x82});
    atp.insert(atp.end(), records.begin(), records.end());
    atp.resize(5 + 4 + 256, 0x00);
    atp.insert(atp.end(), {0x03, 0x00, 0x00});
    writeFile(dir.path("prog.atp"), atp);
    ASSERT_EQ(0, runOrvane("--autostart " + dir.path("prog.atp") + " --frames 5 --dump-memory " +
                           dir.path("mem.bin")));
    Bytes memory = readFile(dir.path("mem.bin"));
    ASSERT_EQ(65536u, memory.size());
    EXPECT_EQ(records, Bytes(memory.begin() + 0x8000, memory.begin() + 0x8000 + records.size()));
}

TEST(HeadlessMedia, TapeRecordingIsCompletedWhenTheRunEnds) {
    ScratchDir dir;
    ASSERT_EQ(0, runOrvane("--tape-out " + dir.path("out.wav") + " --frames 3"));
    Bytes wav = readFile(dir.path("out.wav"));
    ASSERT_GE(wav.size(), 44u + 22050);
    EXPECT_EQ(0, std::memcmp(wav.data(), "RIFF", 4));
    EXPECT_EQ(wav.size() - 8, le32(wav, 4));
    EXPECT_EQ(wav.size() - 44, le32(wav, 40));
    EXPECT_EQ(44100u, le32(wav, 24));
}

TEST(HeadlessMedia, PlayedTapeShowsItsCounterOnRequest) {
    ScratchDir dir;
    Bytes wav(44 + 44100, 128);
    std::memcpy(
        wav.data(),
        "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0\x44\xAC\0\0\x01\0\x08\0data", 40);
    writeFile(dir.path("tape.wav"), wav);
    std::string errors;
    ASSERT_EQ(
        0, runOrvane("--tape-in " + dir.path("tape.wav") + " --tape-counter --frames 2", &errors));
    EXPECT_NE(std::string::npos, errors.find("Tape counter: 0000")) << errors;
}

TEST(HeadlessMedia, BadFilesEndTheRunWithAnError) {
    ScratchDir dir;
    writeFile(dir.path("odd.dsk"), Bytes(1000, 0));
    writeFile(dir.path("good.dsk"), Bytes(163840, 0));
    EXPECT_EQ(2, runOrvane("--load " + dir.path("prog.txt"))) << "unknown extension";
    EXPECT_EQ(1, runOrvane("--load " + dir.path("absent.atp") + " --frames 1"));
    EXPECT_EQ(1, runOrvane("--disk0 " + dir.path("odd.dsk") + " --frames 1"));
    EXPECT_EQ(0, runOrvane("--disk1 " + dir.path("good.dsk") + " --frames 1"));
    EXPECT_EQ(1, runOrvane("--tape-out " + dir.path("no/such/dir/x.wav") + " --frames 1"));
}

} // namespace
