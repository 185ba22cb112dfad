// The tape deck as the desktop's user handles it: a program recorded with
// SAVE CAS: and loaded back with LOAD CAS: through the Tape menu, with fast
// tape on (no speed limit and muted sound while the tape moves, the same
// bytes, the chosen speed afterwards) and off; a recording and a played tape
// kept apart; the counter naming the program.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cpu/z80.h"
#include "desktop_fixture.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "host/session/typing.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/tape_deck.h"
#include "sound/mixer.h"

namespace {

std::string message() { return CurrentStatusBar()->fieldText(StatusMessageField).toStdString(); }
std::string counter() { return CurrentStatusBar()->fieldText(2).toStdString(); }

std::vector<uint8_t> programBytes() {
    const uint8_t* memory = memoryArray();
    unsigned end = memory[0xFE20] | (memory[0xFE21] << 8);
    if (end < 0x8000) return {};
    return std::vector<uint8_t>(memory + 0x8000, memory + end);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What the frames of one run of the tape looked like.
struct TapeRun {
    int passes = 0;     // passes of the main loop (RunOneFrame)
    int fastPasses = 0; // of them with fast tape on
    uint64_t cycles = 0;
    int sleepsWhileFast = 0;
    bool mutedWhileFast = true;
};

class TapeFlowsTest : public DesktopTest {
  protected:
    // Types the text, then runs frames until the tape has started and
    // stopped again (a recording ends when it stops).
    TapeRun typeAndRunTape(const char* text) {
        TypeAfterCurrent(text);
        TapeRun run;
        uint64_t start = cpu.TCOUNT;
        bool started = false;
        for (int i = 0; i < 3000 && !(started && !TapeMotorRunning()); i++) {
            started = started || TapeMotorRunning();
            int sleeps = fake.sleeps;
            bool fast = desktop.fastTape;
            RunOneFrame();
            run.passes++;
            if (fast && desktop.fastTape) {
                run.fastPasses++;
                run.sleepsWhileFast += fake.sleeps - sleeps;
                run.mutedWhileFast = run.mutedWhileFast && SoundMuted();
            }
        }
        run.cycles = cpu.TCOUNT - start;
        runFramesAndReadScreen(5);
        return run;
    }
    void enterProgram() {
        for (int line = 10; line <= 90; line += 10) {
            std::string text = std::to_string(line) +
                               " PRINT \"A LINE LONG ENOUGH TO FILL THE BLOCKS OF THE TAPE\"\r";
            TypeAfterCurrent(text.c_str());
        }
        runFramesAndReadScreen(700);
    }
};

TEST_F(TapeFlowsTest, FastTapeGivesTheSameBytesAndReturnsToTheChosenSpeed) {
    startDesktop();
    ASSERT_EQ(FastTape, 1u) << "on by default";
    EXPECT_TRUE(window().isChecked(CmdFastTape));
    window().OnCommand(CmdSpeedFirst + 4); // 200 %, to see it come back
    runFramesAndReadScreen(60);
    enterProgram();
    const std::vector<uint8_t> saved = programBytes();
    ASSERT_GT(saved.size(), 300u) << "two data blocks at least";

    dialogAnswers = {QString::fromStdString(path("prog.wav"))};
    window().OnCommand(CmdTapeRecord);
    ASSERT_NE(tapeDeck.file, nullptr);
    TapeRun recording = typeAndRunTape("SAVE CAS:PROG\r");
    EXPECT_EQ(tapeDeck.file, nullptr) << "the motor stop ended the recording";
    EXPECT_GT(recording.fastPasses, 0) << "a recording runs fast too";

    window().OnCommand(CmdReset);
    runFramesAndReadScreen(60);
    TypeAfterCurrent("NEW\r");
    runFramesAndReadScreen(30);
    dialogAnswers = {QString::fromStdString(path("prog.wav"))};
    window().OnCommand(CmdTapeInsert);
    ASSERT_TRUE(TapeInserted());
    EXPECT_NE(message().find("Tape in the deck: " + path("prog.wav") + " (00:"), std::string::npos)
        << message();
    TapeRun fast = typeAndRunTape("LOAD CAS:\r");
    EXPECT_EQ(programBytes(), saved);

    // Frames ran back to back, unpaced and muted, many to a pass of the loop.
    EXPECT_GT(fast.fastPasses, 0);
    EXPECT_EQ(fast.sleepsWhileFast, 0);
    EXPECT_TRUE(fast.mutedWhileFast);
    EXPECT_LT(fast.passes * 10, static_cast<int>(fast.cycles / 59904));
    // And back: the chosen speed paces again, the sound is back.
    EXPECT_FALSE(desktop.fastTape);
    EXPECT_FALSE(desktop.pacer.unlimited);
    EXPECT_EQ(desktop.pacer.speedIndex, 4u);
    EXPECT_EQ(SoundMuted(), 0);
    EXPECT_EQ(message(), "Fast tape: the tape stopped, back to 200%.");
    int sleeps = fake.sleeps;
    runFramesAndReadScreen(3);
    EXPECT_GE(fake.sleeps - sleeps, 15) << "three frames at 200 % take about 30 ms";
    EXPECT_NE(counter().find(" PROG.BAS"), std::string::npos) << counter();
    EXPECT_NE(counter().find("/00:"), std::string::npos) << counter();

    // Without fast tape the same tape, rewound, loads the same bytes at the
    // chosen speed, in the same emulated time.
    window().OnCommand(CmdFastTape);
    EXPECT_FALSE(window().isChecked(CmdFastTape));
    EXPECT_EQ(FastTape, 0u);
    TypeAfterCurrent("NEW\r");
    runFramesAndReadScreen(30);
    window().OnCommand(CmdTapeRewind);
    EXPECT_EQ(message(), "Tape rewound: " + path("prog.wav") + ".");
    TapeRun slow = typeAndRunTape("LOAD CAS:\r");
    EXPECT_EQ(programBytes(), saved);
    EXPECT_EQ(slow.fastPasses, 0);
    EXPECT_GE(slow.passes * 1.0, slow.cycles / 59904.0 - 1) << "one frame a pass";
    // The same emulated time, but for where in a frame each load began.
    EXPECT_NEAR(static_cast<double>(slow.cycles), static_cast<double>(fast.cycles), 59904.0);
}

TEST_F(TapeFlowsTest, ARecordingAndAPlayedTapeAreKeptApart) {
    startDesktop();
    std::string played = path("played.wav");
    {
        std::vector<char> wav(44 + 44100 * 2, '\x80');
        std::memcpy(wav.data(),
                    "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0\x44\xAC\0\0"
                    "\x01\0\x08\0data",
                    40);
        std::ofstream(played, std::ios::binary).write(wav.data(), static_cast<long>(wav.size()));
    }
    const std::string playedBytes = fileBytes(played);

    window().OnCommand(CmdTapeEject);
    EXPECT_EQ(message(), "No tape in the deck.");

    dialogAnswers = {QString::fromStdString(played)};
    window().OnCommand(CmdTapeInsert);
    ASSERT_TRUE(TapeInserted());
    EXPECT_EQ(message(), "Tape in the deck: " + played + " (00:02). LOAD CAS: reads it.");

    // Recording while it is in the deck is refused, by the menu and by Save as.
    size_t asked = requests.size();
    window().OnCommand(CmdTapeRecord);
    EXPECT_EQ(requests.size(), asked) << "refused before a file is asked for";
    EXPECT_EQ(message(), played + " is in the deck to play. Eject it before recording.");
    dialogAnswers = {QString::fromStdString(path("over.wav"))};
    window().OnCommand(CmdSaveAs);
    EXPECT_EQ(message(), played + " is in the deck to play. Eject it before recording.");
    EXPECT_TRUE(TapeInserted());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("over.wav"))));
    EXPECT_EQ(fileBytes(played), playedBytes);

    window().OnCommand(CmdTapeEject);
    EXPECT_EQ(message(), "Tape ejected: " + played + ".");
    EXPECT_EQ(tapeDeck.file, nullptr);
    EXPECT_EQ(counter(), "");

    // Recording; a tape to play is refused until the recording is ejected.
    dialogAnswers = {QString::fromStdString(path("rec"))};
    window().OnCommand(CmdTapeRecord);
    ASSERT_NE(tapeDeck.file, nullptr);
    EXPECT_EQ(tapeDeck.path, path("rec.wav")) << ".wav is added";
    dialogAnswers = {QString::fromStdString(played)};
    window().OnCommand(CmdTapeInsert);
    EXPECT_FALSE(TapeInserted());
    EXPECT_NE(message().find("eject it (ending the recording)"), std::string::npos) << message();
    dialogAnswers = {QString::fromStdString(played)};
    window().OnCommand(CmdLoad);
    EXPECT_FALSE(TapeInserted()) << "loading a WAV is refused the same way";
    window().OnCommand(CmdTapeRewind);
    EXPECT_EQ(message(), "A recording is not rewound; eject it to finish it.");
    window().OnCommand(CmdTapeEject);
    EXPECT_EQ(message(),
              "Nothing was recorded on " + path("rec.wav") + "; the file was left as it was.");
    EXPECT_FALSE(std::filesystem::exists(path("rec.wav"))) << "no file for an empty recording";

    // With the motor running, the recording is written and completed.
    dialogAnswers = {QString::fromStdString(path("rec"))};
    window().OnCommand(CmdTapeRecord);
    SetTapeMotor(1, cpu.TCOUNT);
    window().OnCommand(CmdTapeEject);
    EXPECT_EQ(message(), "Recording finished: " + path("rec.wav") + ".");
    std::string recorded = fileBytes(path("rec.wav"));
    ASSERT_GE(recorded.size(), 44u);
    uint32_t riffSize;
    std::memcpy(&riffSize, recorded.data() + 4, 4);
    EXPECT_EQ(riffSize, recorded.size() - 8) << "the recording was completed";
    SetTapeMotor(0, cpu.TCOUNT);
}

} // namespace
