// The program area as other parts of the system see it: line records from
// 8000h, the end byte and the two end words, programs written there by the
// tape loaders, and a full memory.
#include "basic_session.h"

#include "machine/memory.h"
#include "media/tape_images.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

class ProgramArea : public ::testing::Test {
  protected:
    void SetUp() override { bootMachine(); }
};

// The record of one line: length, number (high byte with bit 7 set), text, 0Dh.
std::vector<uint8_t> record(uint16_t number, const std::string& text) {
    std::vector<uint8_t> r;
    r.push_back(static_cast<uint8_t>(text.size() + 4));
    r.push_back(static_cast<uint8_t>(number & 0xFF));
    r.push_back(static_cast<uint8_t>((number >> 8) | 0x80));
    r.insert(r.end(), text.begin(), text.end());
    r.push_back(0x0D);
    return r;
}

void expectProgram(const std::vector<std::vector<uint8_t>>& records) {
    std::vector<uint8_t> expected;
    for (const auto& r : records)
        expected.insert(expected.end(), r.begin(), r.end());
    expected.push_back(0x01);
    std::vector<uint8_t> actual(MainMemory + 0x8000, MainMemory + 0x8000 + expected.size());
    EXPECT_EQ(actual, expected);
    uint16_t afterEnd = static_cast<uint16_t>(0x8000 + expected.size());
    EXPECT_EQ(peekWord(0xFE1E), afterEnd);
    EXPECT_EQ(peekWord(0xFE20), afterEnd + 1);
}

TEST_F(ProgramArea, AnEmptyProgramIsTheEndByteAlone) { expectProgram({}); }

TEST_F(ProgramArea, LinesAreStoredAsRecordsInNumberOrder) {
    enterProgram({"20 PRINT \"B\"", "10 A=1", "300 GOTO 10", "13 REM"});
    // Keywords are kept as one byte each: REM 8Eh, PRINT 91h, GOTO 88h.
    expectProgram(
        {record(10, "A=1"), record(13, "\x8E"), record(20, "\x91 \"B\""), record(300, "\x88 10")});
}

TEST_F(ProgramArea, ReplacingAndDeletingKeepTheRecordsAndEndWordsRight) {
    enterProgram({"10 A=1", "20 B=2", "30 C=3"});
    enterProgram({"20 PRINT \"LONGER THAN BEFORE\"", "10", "30 D"});
    expectProgram({record(20, "\x91 \"LONGER THAN BEFORE\""), record(30, "D")});
    enterProgram({"30", "20"});
    expectProgram({});
}

TEST_F(ProgramArea, ALargeLineNumberKeepsItsTopBit) {
    enterProgram({"32767 END", "256 END"});
    expectProgram({record(256, "\x80"), record(32767, "\x80")});
    typeAndRun("LIST\r");
    EXPECT_EQ(outputOfLastCommand(), (Rows{"256 END", "32767 END"}));
}

TEST_F(ProgramArea, RunsAProgramPlacedThereByALoader) {
    std::vector<uint8_t> bytes;
    for (const auto& r : {record(10, "FOR I=1 TO 3"), record(20, "PRINT I*I;"), record(30, "NEXT")})
        bytes.insert(bytes.end(), r.begin(), r.end());
    std::memcpy(MainMemory + 0x8000, bytes.data(), bytes.size());
    MainMemory[0x8000 + bytes.size()] = 0x01;
    typeAndRun("RUN\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{" 1  4  9"});
    // RUN has turned the keywords of those plain-text lines into tokens.
    typeAndRun("LIST\r");
    EXPECT_EQ(outputOfLastCommand(), (Rows{"10 FOR I=1 TO 3", "20 PRINT I*I;", "30 NEXT"}));
    EXPECT_EQ(MainMemory[0x8003], 0x81);
}

TEST_F(ProgramArea, StringOfIsStoredAsItsTokenListedBackAndTokenisedByRun) {
    // C8h, after INKEY$ (C7h): the tokens of programs stored before it keep
    // their meaning.
    enterProgram({"10 A$=STRING$(3,\"*\")+SPACE$(1)+INKEY$"});
    expectProgram({record(10, "A$=\xC8(3,\"*\")+\xC6(1)+\xC7")});
    typeAndRun("LIST\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{"10 A$=STRING$(3,\"*\")+SPACE$(1)+INKEY$"});

    // A plain-text line from a BASIC 1 program.
    typeAndRun("NEW\r");
    std::vector<uint8_t> bytes = record(10, "PRINT STRING$(3,65);STR$(2)");
    std::memcpy(MainMemory + 0x8000, bytes.data(), bytes.size());
    MainMemory[0x8000 + bytes.size()] = 0x01;
    typeAndRun("RUN\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{"AAA 2"});
    EXPECT_EQ(MainMemory[0x8005], 0xC8);
    typeAndRun("LIST\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{"10 PRINT STRING$(3,65);STR$(2)"});
}

TEST_F(ProgramArea, AForeignTokenisedProgramGivesSyntaxErrorNotACrash) {
    std::vector<uint8_t> bytes;
    for (const auto& r : {record(10, "\xC4\xF1\x22\x99"), record(20, "\x84\xA3\x05\xFF\x0A")})
        bytes.insert(bytes.end(), r.begin(), r.end());
    std::memcpy(MainMemory + 0x8000, bytes.data(), bytes.size());
    MainMemory[0x8000 + bytes.size()] = 0x01;
    typeAndRun("RUN\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{"SYNTAX ERROR IN LINE 10"});
    typeAndRun("GOTO 20\r");
    EXPECT_EQ(outputOfLastCommand().size(), 1u);
    typeAndRun("LIST\r");
    EXPECT_EQ(outputOfLastCommand().size(), 2u);
    EXPECT_TRUE(atPrompt());
}

TEST_F(ProgramArea, ARecordOfLengthThirteenNeverHoldsCarriageReturnAndZero) {
    // Line 256 with nine characters of text would start 0Dh 00h.
    auto expectNoPair = [] {
        for (uint16_t at = 0x8000; MainMemory[at] >= 2;
             at = static_cast<uint16_t>(at + MainMemory[at]))
            for (uint16_t i = at; i + 1 < at + MainMemory[at]; ++i)
                EXPECT_FALSE(MainMemory[i] == 0x0D && MainMemory[i + 1] == 0x00) << std::hex << i;
    };
    enterProgram({"256 A=1234567", "512 B=1234567"});
    expectNoPair();
    typeAndRun("RUN\rPRINT A;B\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{" 1234567  1234567"});
    // RENUM can give such numbers too.
    enterProgram({"256", "512", "1 C=1234567", "2 D=1234567", "3 PRINT C;D"});
    typeAndRun("RENUM 256,256\r");
    expectNoPair();
    typeAndRun("RUN\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{" 1234567  1234567"});
}

TEST_F(ProgramArea, ABacFileSavedAndLoadedBackListsTheSame) {
    enterProgram({"10 REM SAVED", "20 FOR I=1 TO 2:PRINT I:NEXT", "30 END"});
    typeAndRun("LIST\r");
    Rows before = outputOfLastCommand();
    auto path = scratchPath("test.bac");
    SaveBacImage(path.string());
    typeAndRun("NEW\r");
    ASSERT_EQ(LoadBacImage(path.string()), 1);
    typeAndRun("LIST\r");
    EXPECT_EQ(outputOfLastCommand(), before);
    std::filesystem::remove(path);
}

TEST_F(ProgramArea, ABasTextFileTypedInByTheLoaderRuns) {
    auto path = scratchPath("test.bas");
    {
        std::ofstream file(path, std::ios::binary);
        file << "10 FOR I=1 TO 4\r20 S=S+I*I\r30 NEXT\r40 PRINT \"SUM\";S\r";
    }
    ASSERT_EQ(LoadBasFile(path.string()), 1);
    typeAndRun("", 400); // the loader has started the typing
    typeAndRun("RUN\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{"SUM 30"});
    // Stored tokenised, the lines list as they were typed.
    typeAndRun("LIST\r");
    EXPECT_EQ(outputOfLastCommand(),
              (Rows{"10 FOR I=1 TO 4", "20 S=S+I*I", "30 NEXT", "40 PRINT \"SUM\";S"}));
    std::filesystem::remove(path);
}

TEST_F(ProgramArea, AFullMemoryRefusesTheLineAndKeepsTheProgram) {
    std::string text;
    for (int line = 1; line <= 130; ++line)
        text += std::to_string(line) + " REM " + std::string(240, 'A' + line % 26) + "\r";
    typeAndRun(text, 20000);
    Rows rows = screenRows();
    int errors = 0;
    for (const auto& row : rows)
        errors += row == "OUT OF MEMORY";
    EXPECT_GT(errors, 0);
    uint16_t end = peekWord(0xFE1E);
    EXPECT_LT(end, 0xF400);
    EXPECT_EQ(MainMemory[end - 1], 0x01);
    // The records still chain up to the end byte.
    uint16_t at = 0x8000;
    int lines = 0;
    while (MainMemory[at] >= 2) {
        EXPECT_EQ(MainMemory[at + MainMemory[at] - 1], 0x0D);
        at = static_cast<uint16_t>(at + MainMemory[at]);
        ++lines;
    }
    EXPECT_EQ(at, end - 1);
    EXPECT_GT(lines, 100);
    EXPECT_LT(lines, 130);
    typeAndRun("PRINT 7\r");
    EXPECT_EQ(outputOfLastCommand(), Rows{" 7"});
}

} // namespace
