// The firmware's use of the machine's devices: typed text at full speed,
// the printer card and the sound port.
#include "basic_session.h"

#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/sound_chip.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

class BasicDevices : public ::testing::Test {
  protected:
    void SetUp() override { bootMachine(); }
};

TEST_F(BasicDevices, ALongTypedTextArrivesWhole) {
    std::string text;
    for (int line = 1; line <= 200; ++line)
        text += std::to_string(line * 10) + " A=A+" + std::to_string(line) + "\r";
    text += "RUN\rPRINT A\r";
    typeAndRun(text, 5000);
    EXPECT_EQ(outputOfLastCommand(), Rows{" 20100"});
}

TEST_F(BasicDevices, TypedTextWaitsWhileAProgramRuns) {
    enterProgram({"10 FOR I=1 TO 3000:NEXT", "20 INPUT A", "30 PRINT A*2"});
    typeAndRun("RUN\r21\r");
    EXPECT_EQ(outputOfLastCommand(), (Rows{"? 21", " 42"}));
}

TEST_F(BasicDevices, TextTypedAheadOfAProgramOverflowsTheKeyRingWithoutLoss) {
    enterProgram({"10 FOR I=1 TO 2000:NEXT", "20 INPUT A", "30 IF A=0 THEN PRINT \"SUM\";S:END",
                  "40 S=S+A:GOTO 20"});
    std::string answers;
    for (int i = 0; i < 150; ++i)
        answers += "11\r"; // 450 characters, more than the ring holds
    typeAndRun("RUN\r" + answers + "0\r", 5000);
    // The answers have scrolled the command away: the sum is the row above
    // the prompt.
    ASSERT_TRUE(atPrompt());
    Rows rows = screenRows();
    int prompt = 23;
    while (rows[prompt].empty())
        --prompt;
    EXPECT_EQ(rows[prompt - 1], "SUM 1650");
}

TEST_F(BasicDevices, LlistAndLprintGoToThePrinterFile) {
    auto folder = scratchPath("printer");
    std::filesystem::create_directories(folder);
    std::filesystem::remove(folder / "printer.txt");
    closePrinter();
    setPrinterDirectory(folder.string());
    enterProgram({"10 PRINT 1", "20 PRINT 2"});
    typeAndRun("LLIST\rLPRINT \"SUM\";3+4\r");
    closePrinter();
    std::ifstream file(folder / "printer.txt");
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), "\n10 PRINT 1\n20 PRINT 2\nSUM 7 \n");
    // Nothing of it reached the screen.
    EXPECT_EQ(outputOfLastCommand(), Rows{});
    std::filesystem::remove_all(folder);
}

// The printer's line is 80 columns for TAB, the PRINT zones and the
// next-line rule; text itself is never cut.
TEST_F(BasicDevices, ThePrinterHasAnEightyColumnLine) {
    auto folder = scratchPath("printer80");
    std::filesystem::create_directories(folder);
    std::filesystem::remove(folder / "printer.txt");
    closePrinter();
    setPrinterDirectory(folder.string());
    typeAndRun("LPRINT TAB(50);\"T\";POS(0):LPRINT 1,2,3,4,5,6,7,8,9\r");
    typeAndRun("LPRINT STRING$(100,\"X\"):LPRINT STRING$(70,\"-\");TAB(5);\"Z\"\r");
    closePrinter();
    std::ifstream file(folder / "printer.txt");
    std::stringstream content;
    content << file.rdbuf();
    const std::string zones = " 1         2         3         4         5         6         7"
                              "         8 \n 9 \n";
    EXPECT_EQ(content.str(), "\n" + std::string(50, ' ') + "T 51 \n" + zones +
                                 std::string(100, 'X') + "\n" + std::string(70, '-') +
                                 "\n     Z\n");
    std::filesystem::remove_all(folder);
}

TEST_F(BasicDevices, SoundAndOutWriteTheirPorts) {
    typeAndRun("SOUND 201:OUT 60,5\r");
    EXPECT_EQ(PortLatches[6], 201);
    EXPECT_EQ(PortLatches[0x14], 5);
}

TEST_F(BasicDevices, TheSoundStatementMakesTheChipSound) {
    int16_t samples[960];
    typeAndRun("SOUND 1\r"); // enabled, the tone oscillator alone
    soundChipSource()->generate(samples, 960);
    int loud = 0;
    for (int16_t s : samples)
        loud += s > 1000 || s < -1000;
    EXPECT_GT(loud, 100);
    typeAndRun("SOUND 0\r");
    soundChipSource()->generate(samples, 960);
    for (int16_t s : samples)
        ASSERT_EQ(s, 0);
}

// Machine code POKEd into free memory runs from CALL and USR, whatever
// registers it changes; the program goes on after it.
TEST_F(BasicDevices, CallAndUsrRunMachineCode) {
    enterProgram({
        "10 FOR I=0 TO 16:READ B:POKE 36864+I,B:NEXT",
        // LD IX,0 / LD IY,0 / LD DE,0 / EXX / LD HL,0 / EXX / LD A,42 / LD (9100h),A / RET
        "20 DATA 221,33,0,0,253,33,0,0,17,0,0,217,33,0,0,217,62",
        "30 DATA 42,50,0,145,201",
        "40 FOR I=17 TO 21:READ B:POKE 36864+I,B:NEXT",
        "50 CALL 36864:PRINT PEEK(37120);\"OK\"",
        // LD HL,-2 / RET, and USR of a negative address
        "60 POKE 36900,33:POKE 36901,254:POKE 36902,255:POKE 36903,201",
        "70 PRINT USR(36900);USR(36900-65536)*2",
    });
    typeAndRun("RUN\r");
    EXPECT_EQ(outputOfLastCommand(), (Rows{" 42 OK", "-2 -4"}));
}

} // namespace
