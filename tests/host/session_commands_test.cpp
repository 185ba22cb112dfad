// The session's commands as every front end meets them: the typing queue
// across loads and resets, the deck's refusals, saving by extension, disks
// and quick screenshots, each failure with the words shown to the user.
#include "abc80/abc80.h"
#include "cpu/z80.h"
#include "host/session/frames.h"
#include "host/session/media_commands.h"
#include "host/session/screenshot.h"
#include "host/session/session.h"
#include "host/session/typing.h"
#include "host/text/screen_text.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"
#include "media/disk_card.h"
#include "media/program_area.h"
#include "media/tape_deck.h"
#include "monitor/debug.h"
#include "sound/mixer.h"
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SessionCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        machinePowerOn(); // a new process: no program an earlier test typed
        setRomFolder(dir_.path("roms"));
        basicRom = BasicRomOld;
        dosRom = DosRomNone;
        StartSession();
        runFramesBlind(50);
    }
    void TearDown() override {
        CloseTape();
        DetachSessionDisks();
    }
    void runUntilTyped() {
        for (int i = 0; i < 2000 && TypingPending(); i++) {
            runFrameFast();
            TypeNextQueued();
        }
        runFramesBlind(20);
    }
    ScratchDir dir_;
};

TEST_F(SessionCommands, QueuedTextsAreTypedInOrderAndAResetDropsTheWaitingOnes) {
    TypeAfterCurrent("10 PRINT 6*7\r");
    TypeAfterCurrent("RUN\r");
    EXPECT_TRUE(TypingPending());
    runUntilTyped();
    EXPECT_NE(ScreenText().find("42"), std::string::npos) << ScreenText();

    // An autostart's reset drops what was still waiting; its own RUN follows.
    TypeAfterCurrent("20 PRINT 1\r");
    TypeAfterCurrent("30 PRINT 2\r");
    // A text file is typed itself, and its RUN waits behind it.
    const std::string text = "10 PRINT 9*9\r\n";
    writeFile(dir_.path("p.bas"), Bytes(text.begin(), text.end()));
    const SessionLoad load = LoadSessionFile(dir_.path("p.bas"), LoadStart::Autostart);
    ASSERT_TRUE(load.ok()) << load.message;
    runUntilTyped();
    const std::string screen = ScreenText();
    EXPECT_NE(screen.find("81"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("30 PRINT 2"), std::string::npos) << screen;

    TypeAfterCurrent("40 PRINT 3\r");
    TypeAfterCurrent("50 PRINT 4\r");
    SessionReset();
    EXPECT_FALSE(TypingPending()) << "the keyboard's own typing stops at a reset too";
}

TEST_F(SessionCommands, TheDeckHoldsATapeOrARecordingAndSaysWhichWhenRefusing) {
    const std::string played = dir_.path("played.wav");
    writeFile(played, silentWav(2));
    const SessionResult inserted = InsertSessionTape(played);
    ASSERT_TRUE(inserted.ok()) << inserted.message;
    EXPECT_EQ("Tape in the deck: " + played + " (00:02). LOAD CAS: reads it.", inserted.message);

    const SessionResult record = RecordSessionTape(dir_.path("rec.wav"));
    EXPECT_EQ(Outcome::Refused, record.outcome);
    EXPECT_EQ(played + " is in the deck to play. Eject it before recording.", record.message);
    EXPECT_FALSE(std::filesystem::exists(dir_.path("rec.wav")));
    EXPECT_EQ(silentWav(2), readFile(played));

    EXPECT_EQ("Tape ejected: " + played + ".", EjectSessionTape().message);
    ASSERT_TRUE(RecordSessionTape(dir_.path("rec.wav")).ok());
    // A tape to play while recording is refused before any reset.
    const uint64_t cycles = cpu.TCOUNT;
    const SessionLoad load = LoadSessionFile(played, LoadStart::Autostart);
    EXPECT_EQ(Outcome::Refused, load.outcome);
    EXPECT_NE(load.message.find("the deck is recording to " + dir_.path("rec.wav")),
              std::string::npos)
        << load.message;
    EXPECT_EQ(cycles, cpu.TCOUNT);
    EXPECT_EQ(Outcome::Refused, InsertSessionTape(played).outcome);
    // The motor never ran: nothing was recorded, and no file was made.
    EXPECT_EQ("Nothing was recorded on " + dir_.path("rec.wav") + "; the file was left as it was.",
              EjectSessionTape().message);
    EXPECT_EQ("No tape in the deck.", EjectSessionTape().message);
}

TEST_F(SessionCommands, ARecordingOntoAFullDiskIsAFailureNotAFinish) {
    SessionResult started = RecordSessionTape("/dev/full");
    if (started.ok()) {
        // The header may wait in the buffer until the recording grows or ends.
        TypeAfterCurrent("10 PRINT 1\rSAVE CAS:A\r");
        runUntilTyped();
        started = EjectSessionTape();
    }
    EXPECT_EQ(Outcome::Failed, started.outcome);
    EXPECT_NE(started.message.find("/dev/full: no space left on device."), std::string::npos)
        << started.message;
}

TEST_F(SessionCommands, SaveAsChoosesByExtensionAndNeverReportsAFailureAsSaved) {
    TypeAfterCurrent("10 PRINT 1\r");
    runUntilTyped();
    std::string saved;
    const SessionResult plain = SaveSessionFile(dir_.path("PROG"), &saved);
    EXPECT_EQ(dir_.path("PROG.bac"), saved);
    EXPECT_EQ("File saved: " + saved + ".", plain.message);
    EXPECT_EQ(0x82, readFile(saved).at(0));

    const SessionResult text = SaveSessionFile(dir_.path("PROG.txt"));
    EXPECT_EQ(Outcome::Failed, text.outcome);
    EXPECT_NE(text.message.find("Nothing was written."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_.path("PROG.txt")));

    std::filesystem::create_directory(dir_.path("BOX.BAC"));
    const SessionResult box = SaveSessionFile(dir_.path("BOX.BAC"));
    EXPECT_EQ("Cannot write " + dir_.path("BOX.BAC") + ": is a folder.", box.message);
    EXPECT_TRUE(std::filesystem::is_directory(dir_.path("BOX.BAC")));
}

// Save as .bas writes the program's LIST text, listed by the BASIC itself, and
// the machine goes on as it was: its program, its screen, the tape in the
// deck and the printer folder. The text typed back gives the same program.
TEST_F(SessionCommands, SaveAsBasWritesTheListingAndLeavesTheMachineAsItWas) {
    TypeAfterCurrent("10 PRINT \"HI\";6*7\r20 FOR I=1 TO 3:NEXT I\r");
    runUntilTyped();
    const uint32_t end = MainMemory[ProgramEndPointer] | (MainMemory[ProgramEndPointer + 1] << 8);
    const Bytes program(MainMemory + 0x8000, MainMemory + 0x8000 + 0x100);
    const std::string played = dir_.path("played.wav");
    writeFile(played, silentWav(2));
    ASSERT_TRUE(InsertSessionTape(played).ok());
    const std::string printout = dir_.path("printout");
    std::filesystem::create_directory(printout);
    setPrinterDirectory(printout);
    const std::string screen = ScreenText();

    // A breakpoint on the NMI entry, met every frame, stays the user's.
    debugToggleBreakpoint(0x0066);

    std::string saved;
    const SessionResult text = SaveSessionFile(dir_.path("PROG.BAS"), &saved);
    ASSERT_TRUE(text.ok()) << text.message;
    EXPECT_EQ("File saved: " + dir_.path("PROG.BAS") + ".", text.message);
    const Bytes written = readFile(saved);
    const std::string listing(written.begin(), written.end());
    EXPECT_EQ("10 PRINT \"HI\";6*7\n20 FOR I=1 TO 3:NEXT I\n", listing);

    EXPECT_EQ(end, static_cast<uint32_t>(MainMemory[ProgramEndPointer] |
                                         (MainMemory[ProgramEndPointer + 1] << 8)));
    EXPECT_EQ(program, Bytes(MainMemory + 0x8000, MainMemory + 0x8000 + 0x100));
    EXPECT_EQ(screen, ScreenText());
    EXPECT_TRUE(TapeInserted());
    EXPECT_EQ(played, tapeDeck.path);
    EXPECT_EQ(printout, printerDirectory());
    EXPECT_FALSE(debugStopped());
    ASSERT_EQ(1u, debugBreakpoints().size());
    EXPECT_EQ(0x0066, debugBreakpoints()[0].from);
    debugClearBreakpoints();
    EXPECT_FALSE(std::filesystem::exists(printout + "/printer.txt"))
        << "the listing is not printed on the user's printer";
    setPrinterDirectory("");

    // Typed back into an empty machine, the text makes the same program.
    SessionHardReset();
    runFramesBlind(50);
    ASSERT_TRUE(LoadSessionFile(saved, LoadStart::Load).ok());
    runUntilTyped();
    EXPECT_EQ(program, Bytes(MainMemory + 0x8000, MainMemory + 0x8000 + 0x100));
}

// Nothing to list, a recording on the deck, a full disk: each says why and
// leaves no file behind.
TEST_F(SessionCommands, SaveAsBasRefusalsAndFailuresWriteNothing) {
    SessionHardReset(); // memory holds no program
    runFramesBlind(50);
    const SessionResult empty = SaveSessionFile(dir_.path("EMPTY.bas"));
    EXPECT_EQ(Outcome::Failed, empty.outcome);
    EXPECT_EQ("Cannot save " + dir_.path("EMPTY.bas") + ": no program in memory.", empty.message);
    EXPECT_FALSE(std::filesystem::exists(dir_.path("EMPTY.bas")));

    TypeAfterCurrent("10 PRINT 1\r");
    runUntilTyped();
    ASSERT_TRUE(RecordSessionTape(dir_.path("rec.wav")).ok());
    const SessionResult recording = SaveSessionFile(dir_.path("REC.bas"));
    EXPECT_EQ(Outcome::Refused, recording.outcome);
    EXPECT_EQ("Cannot save " + dir_.path("REC.bas") + " while the deck records to " +
                  dir_.path("rec.wav") + "; eject it first.",
              recording.message);
    EXPECT_FALSE(std::filesystem::exists(dir_.path("REC.bas")));
    EXPECT_FALSE(TapeInserted()) << "still recording";
    EjectSessionTape();

    // A frame stopped at a breakpoint is not listed from.
    debugToggleBreakpoint(0x0066);
    runFrameFast();
    ASSERT_TRUE(framePending());
    const SessionResult stopped = SaveSessionFile(dir_.path("STOP.bas"));
    EXPECT_EQ("Cannot save " + dir_.path("STOP.bas") + ": the machine is stopped in the monitor.",
              stopped.message);
    EXPECT_FALSE(std::filesystem::exists(dir_.path("STOP.bas")));
    debugClearBreakpoints();
    debugResume();
    runFrameFast();
    ASSERT_FALSE(framePending());

    const SessionResult device = SaveSessionBasicText("/dev/full");
    EXPECT_EQ("Cannot write /dev/full: no space left on device.", device.message);
}

// Listing for Save as .bas runs a machine of its own: none of its sound
// reaches an open sound recording, which holds the frames the user ran.
TEST_F(SessionCommands, SaveAsBasAddsNothingToASoundRecording) {
    InitSoundSystem();
    TypeAfterCurrent("10 PRINT 1\r");
    runUntilTyped();
    const std::string sound = dir_.path("sound.wav");
    ASSERT_TRUE(StartSessionSoundRecording(sound).ok());
    for (int i = 0; i < 10; i++)
        RunSessionFrame(false, nullptr, 0, true);
    ASSERT_TRUE(SaveSessionBasicText(dir_.path("P.bas")).ok());
    for (int i = 0; i < 10; i++)
        RunSessionFrame(false, nullptr, 0, true);
    ASSERT_TRUE(StopSessionSoundRecording().ok());
    EXPECT_EQ(44u + 20 * 1920, std::filesystem::file_size(sound));
}

TEST_F(SessionCommands, ARefusedDiskImageKeepsTheDriveAndNamesTheCause) {
    writeFile(dir_.path("good.dsk"), Bytes(163840, 0xE5));
    ASSERT_TRUE(AttachSessionDisk(0, dir_.path("good.dsk")).ok());
    writeFile(dir_.path("odd.dsk"), Bytes(1000, 0));
    const SessionResult odd = AttachSessionDisk(0, dir_.path("odd.dsk"), "odd.dsk");
    EXPECT_EQ(Outcome::Failed, odd.outcome);
    EXPECT_EQ("Error attaching disk image!", odd.caption);
    EXPECT_EQ("Drive DR0 - odd.dsk: size of 1000 bytes is no disk format.", odd.message);
    EXPECT_EQ(dir_.path("good.dsk"), DriveImages[0].path);
    DetachSessionDisks();
    EXPECT_TRUE(DriveImages[0].path.empty());
}

TEST_F(SessionCommands, QuickScreenshotsGetNamesOfTheirOwnAndAFolderInTheWayIsReported) {
    std::vector<uint8_t> picture(FrameBufferBytes, 0);
    std::string first, second;
    ASSERT_TRUE(SaveQuickScreenshot(dir_.path("shots/new"), picture.data(), 0, &first).ok());
    ASSERT_TRUE(SaveQuickScreenshot(dir_.path("shots/new"), picture.data(), 0, &second).ok());
    EXPECT_NE(first, second);
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_TRUE(std::filesystem::exists(second));

    writeFile(dir_.path("plain"), {1, 2, 3});
    const SessionResult blocked = SaveQuickScreenshot(dir_.path("plain"), picture.data(), 0);
    EXPECT_EQ(Outcome::Failed, blocked.outcome);
    EXPECT_EQ(0u, blocked.message.find("Cannot create the folder " + dir_.path("plain")))
        << blocked.message;
    EXPECT_EQ((Bytes{1, 2, 3}), readFile(dir_.path("plain")));
}

TEST_F(SessionCommands, AStateLoadDropsTheWaitingTextsAndARefusedOneChangesNothing) {
    const std::string state = dir_.path("s.ost");
    ASSERT_TRUE(SaveSessionState(state, "slot 1").ok());
    writeFile(dir_.path("junk.ost"), Bytes(100, 7));
    TypeAfterCurrent("10 PRINT 1\r");
    TypeAfterCurrent("20 PRINT 2\r");
    const SessionResult junk = LoadSessionState(dir_.path("junk.ost"), "junk");
    EXPECT_EQ(Outcome::Failed, junk.outcome);
    EXPECT_TRUE(TypingPending()) << "a refused state leaves the typing as it was";

    const SessionResult loaded = LoadSessionState(state, "slot 1");
    EXPECT_EQ("State loaded from slot 1.", loaded.message);
    runUntilTyped();
    EXPECT_EQ(ScreenText().find("20 PRINT 2"), std::string::npos) << ScreenText();
}

} // namespace

namespace {

// A 44-byte header of the given format tag and rate, then `samples` bytes.
std::string wavOf(uint16_t format, uint32_t rate, size_t samples) {
    std::string h = "RIFF" + std::string(4, '\0') + "WAVEfmt " + std::string("\x10\0\0\0", 4);
    auto le = [&h](uint32_t v, int n) {
        for (int i = 0; i < n; i++)
            h += static_cast<char>(v >> (8 * i));
    };
    le(format, 2);
    le(1, 2);
    le(rate, 4);
    le(rate, 4);
    le(1, 2);
    le(format == 2 ? 4 : 8, 2);
    h += "data";
    le(static_cast<uint32_t>(samples), 4);
    return h + std::string(samples, '\x80');
}

// Files that are no tape recording are refused with their cause by every
// way a tape goes in (insert, load, autostart), before anything changes:
// the deck keeps its tape and nothing is reset or typed.
TEST_F(SessionCommands, FilesThatAreNoTapeAreRefusedWithTheirCause) {
    const std::string good = dir_.path("good.wav");
    writeFile(good, silentWav(1));
    ASSERT_TRUE(InsertSessionTape(good).ok());
    const struct {
        const char* name;
        std::string bytes;
        const char* cause;
    } files[] = {
        {"empty.wav", "", "empty file"},
        {"random.wav", std::string(5000, '\x5a'), "not a WAV file (no RIFF WAVE header)"},
        {"header.wav", wavOf(1, 44100, 0), "no samples after the header"},
        {"adpcm.wav", wavOf(2, 44100, 4000),
         "WAV format 2 with 4-bit samples is not read (PCM and floating point are)"},
        {"rate0.wav", wavOf(1, 0, 4000), "sample rate 0"},
    };
    for (const auto& file : files) {
        const std::string path = dir_.path(file.name);
        writeFile(path, Bytes(file.bytes.begin(), file.bytes.end()));
        EXPECT_EQ("Cannot open " + path + ": " + file.cause + ".", InsertSessionTape(path).message);
        const uint64_t cycles = cpu.TCOUNT;
        const SessionLoad load = LoadSessionFile(path, LoadStart::Autostart);
        EXPECT_EQ(Outcome::Failed, load.outcome);
        EXPECT_EQ("Cannot load " + path + ": " + file.cause + ".", load.message);
        EXPECT_EQ(cycles, cpu.TCOUNT) << "refused before the reset";
        EXPECT_FALSE(TypingPending());
        EXPECT_EQ(good, tapeDeck.path) << file.name << " took the deck's tape";
    }
}

} // namespace
