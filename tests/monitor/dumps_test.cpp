// Memory dump files and the register-line edge cases not covered by the
// monitor transcripts.
#include "monitor/dumps.h"

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/memory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class DumpTest : public ::testing::Test {
  protected:
    std::filesystem::path folder;
    void SetUp() override {
        std::memset(MainMemory, 0, sizeof MainMemory);
        folder = std::filesystem::temp_directory_path() /
                 ("orvane-dump-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
};

TEST_F(DumpTest, TextDumpListsTheArrayThenDisassemblesRam) {
    // The array itself, also under the ROM mapping: 0000h holds what the
    // external ROM image would.
    const uint8_t row[16] = {0xC1, 0x41, 0x00, 0x7F, 0xFF, 0x20, 0x7E, 0xA0,
                             0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37};
    std::memcpy(MainMemory, row, 16);
    MainMemory[0x8000] = 0x3E; // ld a,12h
    MainMemory[0x8001] = 0x12;
    MainMemory[0xFFFF] = 0x21; // ld hl,nn wrapping past the end
    std::filesystem::path text = folder / "d.txt", binary = folder / "d.bin";
    ASSERT_EQ(writeMemoryDump(text.c_str(), binary.c_str()), 1);

    std::istringstream lines(readFile(text));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "0000 : C1 41 00 7F FF 20 7E A0 30 31 32 33 34 35 36 37 AA___ ~ 01234567");
    for (int i = 1; i < 4096; ++i)
        std::getline(lines, line);
    EXPECT_EQ(line.substr(0, 7), "FFF0 : ");
    std::getline(lines, line);
    EXPECT_EQ(line, "");
    std::getline(lines, line);
    EXPECT_EQ(line, "RAM disassembly");
    std::getline(lines, line);
    EXPECT_EQ(line, "");
    std::getline(lines, line);
    EXPECT_EQ(line, " 8000 3E 12       ld a,12h");
    std::getline(lines, line);
    EXPECT_EQ(line, " 8002 00          nop");
    std::string last;
    int instructions = 2;
    while (std::getline(lines, line))
        last = line, ++instructions;
    // The disassembly reads what the processor sees: the ROM at 0000h.
    char expected[64];
    std::snprintf(expected, sizeof expected, " FFFF 21 %02X %02X    ld hl,%02x%02xh", memRead(0),
                  memRead(1), memRead(1), memRead(0));
    EXPECT_EQ(last, expected);
    EXPECT_EQ(instructions, 1 + (0xFFFF - 0x8002) + 1);

    std::string image = readFile(binary);
    ASSERT_EQ(image.size(), 65536u);
    EXPECT_EQ(std::memcmp(image.data(), MainMemory, 65536), 0);
}

TEST_F(DumpTest, DumpFilesGoToTheCurrentFolderAndFailuresAreSkipped) {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    int written = memoryDumpFiles();
    std::filesystem::current_path(previous);
    EXPECT_EQ(written, 1);
    EXPECT_TRUE(std::filesystem::exists(folder / "dump.txt"));
    EXPECT_EQ(std::filesystem::file_size(folder / "dump.bin"), 65536u);

    std::filesystem::path binary = folder / "only.bin";
    EXPECT_EQ(writeMemoryDump("/nonexistent-folder/dump.txt", binary.c_str()), 0);
    EXPECT_EQ(std::filesystem::file_size(binary), 65536u);
}

TEST(RegisterLine, FlagDigitsStandUnderTheirLetters) {
    Z80Cpu saved = cpu;
    cpu = Z80Cpu{};
    cpu.AF = 0x0042; // Z and N
    cpu.SP = 0x1234;
    cpu.NMI = 1;
    std::string line0, line1, none;
    registerLine(line0, 0);
    registerLine(line1, 1);
    registerLine(none, 3);
    EXPECT_EQ(line1, "IX:0000,IY:0000,SP:1234,I:00,INT:0,NMI:1, FL|01000010");
    const size_t letters = line0.find("SZ-H-PNC"), digits = line1.find("|") + 1;
    EXPECT_EQ(letters, digits);
    EXPECT_EQ(none, "");
    cpu = saved;
}

TEST(DumpRow, CharactersAndWidth) {
    static uint8_t bytes[65536];
    for (int i = 0; i < 8; ++i)
        bytes[0x10 + i] = static_cast<uint8_t>(0x7A + i);
    std::string row;
    dumpRowWith([](uint16_t a) { return bytes[a]; }, row, 0x0010, 16);
    EXPECT_EQ(row, " 0010:  7A 7B 7C 7D  7E 7F 80 81 :z{|}....");
    dumpRowWith([](uint16_t a) { return bytes[a]; }, row, 0x0010, 1);
    EXPECT_EQ(row, " 0010: :");
}

} // namespace
