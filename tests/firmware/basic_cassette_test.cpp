// SAVE CAS: and LOAD CAS: through the emulated cassette: a program recorded
// to a WAV file comes back whole through the firmware's own loader in both
// timing modes, through the tape converter and the ATP loader, and a
// damaged or missing tape is refused without leaving a broken program.
#include "basic_session.h"

#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/tape_deck.h"
#include "media/tape_images.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

namespace fs = std::filesystem;

class Cassette : public ::testing::Test {
  protected:
    fs::path folder;

    void SetUp() override {
        bootMachine();
        folder = scratchPath("cassette");
        fs::create_directories(folder);
    }
    void TearDown() override {
        CloseTape();
        fs::remove_all(folder);
    }

    // Types the text and runs cycle-based frames until the prompt is back.
    void typeAndRunCycleBased(const std::string& text, int maxFrames) {
        static std::vector<uint8_t> picture(FrameBufferBytes);
        typeText(text.c_str());
        for (int frame = 0; frame < maxFrames; ++frame) {
            runFrame(CyclesPerFrame, picture.data(), 0);
            if (frame > 5 && !typingInProgress() && atPrompt()) break;
        }
    }

    Rows listing() {
        typeAndRun("LIST\r");
        return outputOfLastCommand();
    }

    std::string saveProgram() {
        std::string wav = (folder / "program.wav").string();
        EXPECT_EQ(StartTapeRecording(wav, 44100), 1);
        typeAndRun("SAVE CAS:DEMO\r", 3000);
        // Stopping the motor has ended the recording.
        EXPECT_EQ(tapeDeck.file, nullptr);
        return wav;
    }
};

const std::vector<std::string> Program = {
    "10 REM CASSETTE",
    "20 FOR I=1 TO 3:PRINT I*7;:NEXT",
    "30 PRINT \"A LONGER LINE OF TEXT, LONG ENOUGH TO MAKE SEVERAL TAPE BLOCKS\"",
    "40 PRINT \"A LONGER LINE OF TEXT, LONG ENOUGH TO MAKE SEVERAL TAPE BLOCKS\"",
    "50 PRINT \"A LONGER LINE OF TEXT, LONG ENOUGH TO MAKE SEVERAL TAPE BLOCKS\"",
    "60 PRINT \"A LONGER LINE OF TEXT, LONG ENOUGH TO MAKE SEVERAL TAPE BLOCKS\"",
    "70 END",
};

TEST_F(Cassette, SavedProgramLoadsBackThroughTheCassetteInput) {
    enterProgram(Program);
    Rows before = listing();
    std::vector<uint8_t> bytesBefore(MainMemory + 0x8000, MainMemory + peekWord(0xFE20));
    std::string wav = saveProgram();

    typeAndRun("NEW\r");
    OpenTapeForReading(wav);
    typeAndRunCycleBased("LOAD CAS:\r", 4000);
    EXPECT_EQ(outputOfLastCommand(), Rows{});
    EXPECT_EQ(listing(), before);
    std::vector<uint8_t> bytesAfter(MainMemory + 0x8000, MainMemory + peekWord(0xFE20));
    EXPECT_EQ(bytesAfter, bytesBefore);
}

TEST_F(Cassette, TheSameRecordingLoadsByteForByteInBothTimingModes) {
    enterProgram(Program);
    std::vector<uint8_t> saved(MainMemory + 0x8000, MainMemory + peekWord(0xFE20));
    std::string wav = saveProgram();

    typeAndRun("NEW\r");
    OpenTapeForReading(wav);
    typeAndRun("LOAD CAS:\r", 4000);
    EXPECT_EQ(outputOfLastCommand(), Rows{});
    std::vector<uint8_t> fast(MainMemory + 0x8000, MainMemory + peekWord(0xFE20));

    typeAndRun("NEW\r");
    OpenTapeForReading(wav);
    typeAndRunCycleBased("LOAD CAS:\r", 4000);
    EXPECT_EQ(outputOfLastCommand(), Rows{});
    std::vector<uint8_t> cycleBased(MainMemory + 0x8000, MainMemory + peekWord(0xFE20));

    EXPECT_EQ(fast, saved);
    EXPECT_EQ(cycleBased, saved);
}

TEST_F(Cassette, ATapeInsertedWithTheMotorStoppedWaitsForTheLoad) {
    // Frames run with the tape in the deck before LOAD CAS: starts the motor
    // take nothing from it.
    enterProgram(Program);
    std::vector<uint8_t> saved(MainMemory + 0x8000, MainMemory + peekWord(0xFE20));
    std::string wav = saveProgram();
    typeAndRun("NEW\r");
    OpenTapeForReading(wav);
    runFrames(300);
    typeAndRun("LOAD CAS:\r", 4000);
    EXPECT_EQ(outputOfLastCommand(), Rows{});
    EXPECT_EQ(std::vector<uint8_t>(MainMemory + 0x8000, MainMemory + peekWord(0xFE20)), saved);
}

TEST_F(Cassette, SavedProgramConvertsToAnAtpImageThatLoads) {
    enterProgram(Program);
    Rows before = listing();
    std::string wav = saveProgram();
    std::string atp = (folder / "program.atp").string();
    std::string command =
        std::string(DRAVIK_PATH) + " -i " + wav + " -o " + atp + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);

    typeAndRun("NEW\r");
    ASSERT_EQ(LoadAtpImage(atp), 1);
    EXPECT_EQ(listing(), before);
    typeAndRun("RUN\r");
    EXPECT_EQ(outputOfLastCommand().front().substr(0, 6), "71421A");
}

TEST_F(Cassette, ADamagedTapeFailsAndLeavesAnEmptyProgram) {
    enterProgram(Program);
    std::string wav = saveProgram();
    // Flatten a stretch of the recording in the middle of the first data
    // block: its bits, and so its checksum, no longer come through.
    std::fstream file(wav, std::ios::in | std::ios::out | std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
    size_t start = bytes.size() / 2;
    for (size_t i = start; i < start + 200; ++i)
        bytes[i] = static_cast<char>(200);
    file.seekp(0);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();

    typeAndRun("NEW\r10 PRINT 1\r");
    OpenTapeForReading(wav);
    typeAndRunCycleBased("LOAD CAS:\r", 4000);
    EXPECT_EQ(outputOfLastCommand(), Rows{"TAPE ERROR"});
    EXPECT_EQ(MainMemory[0x8000], 0x01);
    EXPECT_EQ(peekWord(0xFE1E), 0x8001);
}

TEST_F(Cassette, LoadingWithNoTapeGivesUp) {
    typeAndRunCycleBased("LOAD CAS:\r", 1000);
    EXPECT_EQ(outputOfLastCommand(), Rows{"TAPE ERROR"});
    EXPECT_TRUE(atPrompt());
}

TEST_F(Cassette, BreakStopsAWaitingLoad) {
    static std::vector<uint8_t> picture(FrameBufferBytes);
    typeText("LOAD CAS:\r");
    for (int i = 0; i < 20; ++i)
        runFrame(CyclesPerFrame, picture.data(), 0);
    pressBreak();
    EXPECT_EQ(outputOfLastCommand(), Rows{"BREAK"});
}

} // namespace
