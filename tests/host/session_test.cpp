// The session the front ends share: the start-up ROM line and its warning,
// the loader chosen by the file's extension whatever its case, unknown
// extensions refused before any reset, and the command autostart types.
#include "abc80/abc80.h"
#include "abc80/history.h"
#include "cpu/z80.h"
#include "host/session/frames.h"
#include "host/session/media_commands.h"
#include "host/session/session.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "media/tape_deck.h"
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// A BAC image of one line, 10 END.
Bytes oneLineBac() {
    Bytes bac = {0x82, 8, '1', '0', ' ', 'E', 'N', 'D', 0x0D};
    bac.resize(256, 0x00);
    return bac;
}

class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machinePowerOn(); // a new process: no program an earlier test typed
        setRomFolder(dir_.path("roms"));
        basicRom = BasicRomOld;
        dosRom = DosRomNone;
        StartSession();
    }
    ScratchDir dir_;
};

TEST_F(SessionTest, StartUpNamesWhatRunsAndWarnsOfAMissingExternalBasic) {
    basicRom = BasicRomOld;
    SessionStart start = StartSession();
    EXPECT_EQ("", start.warning);
    EXPECT_EQ(runningRomDescription(), start.romLine);
    EXPECT_EQ(0u, start.romLine.find("BASIC ROM: ")) << start.romLine;

    basicRom = BasicRomExternal;
    start = StartSession();
    EXPECT_EQ("No ZaVUR80BASIC.ROM found; the old BASIC slot runs instead.", start.warning);
    EXPECT_NE(BasicRomExternal, basicRom);
    EXPECT_EQ(runningRomDescription(), start.romLine);
}

TEST_F(SessionTest, ExtensionsChooseTheLoaderWhateverTheirCase) {
    const Bytes line = {8, '1', '0', ' ', 'E', 'N', 'D', 0x0D};
    for (const char* name : {"a.bac", "B.BAC", "c.Bac"}) {
        machineHardReset(); // program area cleared
        writeFile(dir_.path(name), oneLineBac());
        const SessionLoad load = LoadSessionFile(dir_.path(name), LoadStart::Load);
        ASSERT_TRUE(load.ok()) << name << ": " << load.cause;
        EXPECT_EQ(MediaFileKind::Bac, load.kind) << name;
        EXPECT_EQ("Loaded " + dir_.path(name) + ".", load.message);
        EXPECT_EQ("", load.cause);
        EXPECT_EQ(nullptr, load.typeAfter) << "a plain load types nothing";
        EXPECT_EQ(line, Bytes(MainMemory + 0x8000, MainMemory + 0x8008)) << name;
    }
    // A BAC image named .atp goes to the tape image loader, which finds no blocks.
    writeFile(dir_.path("d.ATP"), oneLineBac());
    const SessionLoad asTape = LoadSessionFile(dir_.path("d.ATP"), LoadStart::Load);
    EXPECT_FALSE(asTape.ok());
    EXPECT_EQ(MediaFileKind::Atp, asTape.kind);
    EXPECT_EQ("no tape blocks found", asTape.cause);
}

TEST_F(SessionTest, UnknownExtensionsAreRefusedBeforeAnyReset) {
    runFramesBlind(20);
    const uint64_t cycles = cpu.TCOUNT;
    for (const char* name : {"prog.txt", "prog", "prog.bac.old", "dir.bac/prog"}) {
        writeFile(dir_.path("prog.txt"), oneLineBac());
        const SessionLoad load = LoadSessionFile(dir_.path(name), LoadStart::Autostart);
        EXPECT_FALSE(load.ok()) << name;
        EXPECT_EQ(MediaFileKind::Unknown, load.kind) << name;
        EXPECT_EQ("not an .atp, .bac, .bas or .wav file", load.cause) << name;
        EXPECT_EQ("Cannot load " + dir_.path(name) + ": not an .atp, .bac, .bas or .wav file.",
                  load.message)
            << name;
        EXPECT_EQ(nullptr, load.typeAfter) << name;
        EXPECT_EQ(cycles, cpu.TCOUNT) << name << ": the machine went on running";
    }
}

TEST_F(SessionTest, AutostartResetsThenLoadsAndTypesRun) {
    writeFile(dir_.path("p.bac"), oneLineBac());
    machineHardReset(); // program area cleared
    runFramesBlind(200);
    const uint64_t cycles = cpu.TCOUNT;
    const SessionLoad load = LoadSessionFile(dir_.path("p.bac"), LoadStart::Autostart);
    ASSERT_TRUE(load.ok()) << load.cause;
    EXPECT_STREQ("RUN\r", load.typeAfter);
    EXPECT_NE(cycles, cpu.TCOUNT) << "no reset and boot frames before the load";
    // The program is in memory.
    const Bytes line = {8, '1', '0', ' ', 'E', 'N', 'D', 0x0D};
    EXPECT_EQ(line, Bytes(MainMemory + 0x8000, MainMemory + 0x8008));
}

// Starting a program from a file starts from an empty program: a reset
// alone would let the open firmware keep the program in memory, and a
// typed-in text program would then be merged into it.
TEST_F(SessionTest, AutostartOfATextProgramDoesNotMergeItWithTheOldOne) {
    writeFile(dir_.path("old.bas"), Bytes{'1', '0', ' ', 'P', 'R', 'I', 'N', 'T', ' ', '1', '\n'});
    writeFile(dir_.path("new.bas"), Bytes{'2', '0', ' ', 'P', 'R', 'I', 'N', 'T', ' ', '2', '\n'});
    runFramesBlind(100);
    ASSERT_TRUE(LoadSessionFile(dir_.path("old.bas"), LoadStart::Load).ok());
    runFramesBlind(200);
    ASSERT_EQ(10, MainMemory[0x8001]) << "the first program is not in memory";

    ASSERT_TRUE(LoadSessionFile(dir_.path("new.bas"), LoadStart::Autostart).ok());
    runFramesBlind(300);
    EXPECT_EQ(20, MainMemory[0x8001]);
    const uint8_t length = MainMemory[0x8000];
    EXPECT_EQ(0x01, MainMemory[0x8000 + length]) << "more than the one line of the new program";
}

TEST_F(SessionTest, ATapeAsksForLoadCasWithOrWithoutAutostart) {
    writeFile(dir_.path("t.WAV"), silentWav());
    for (bool autostart : {false, true}) {
        const SessionLoad load =
            LoadSessionFile(dir_.path("t.WAV"), autostart ? LoadStart::Autostart : LoadStart::Load);
        ASSERT_TRUE(load.ok()) << load.cause;
        EXPECT_EQ(MediaFileKind::Wav, load.kind);
        EXPECT_STREQ("LOAD CAS:\r", load.typeAfter) << autostart;
        // A reset closes the tape: an autostart's comes before the tape goes in.
        EXPECT_TRUE(TapeInserted()) << autostart;
        EXPECT_EQ(dir_.path("t.WAV"), tapeDeck.path);
        machineReset(); // closes the tape
    }
}

TEST_F(SessionTest, FailedLoadsNameTheirCauseAndTypeNothing) {
    const SessionLoad absent = LoadSessionFile(dir_.path("absent.wav"), LoadStart::Autostart);
    EXPECT_FALSE(absent.ok());
    EXPECT_EQ(MediaFileKind::Wav, absent.kind);
    EXPECT_EQ("no such file or folder", absent.cause);
    EXPECT_EQ(nullptr, absent.typeAfter);

    ASSERT_EQ(0, mkdir(dir_.path("folder.bas").c_str(), 0755));
    const SessionLoad folder = LoadSessionFile(dir_.path("folder.bas"), LoadStart::Autostart);
    EXPECT_FALSE(folder.ok());
    EXPECT_EQ("is a folder", folder.cause);
    EXPECT_EQ(nullptr, folder.typeAfter);
}

// What the session changes from outside the machine's run (a tape put in,
// a program loaded, the timing mode switched) starts the history again
// there: going back never replays across it, and works again after it.
TEST_F(SessionTest, ChangesFromOutsideStartTheHistoryAgain) {
    historyConfigure({2, 50});
    auto frames = [](int n, bool cycleBased) {
        for (int i = 0; i < n; i++)
            RunSessionFrame(cycleBased, nullptr, 0, false);
    };
    auto restartedNow = [] {
        const HistoryReach reach = historyReach();
        return reach.snapshots == 1 && reach.oldestTcount == cpu.TCOUNT;
    };
    frames(20, false);
    ASSERT_GT(historyReach().snapshots, 5u);

    writeFile(dir_.path("t.wav"), silentWav());
    ASSERT_TRUE(InsertSessionTape(dir_.path("t.wav")).ok());
    EXPECT_TRUE(restartedNow()) << "a tape put in";
    std::string message;
    EXPECT_FALSE(historyBackFrames(1, message));
    EXPECT_EQ(message, "Not recorded that far back.");
    frames(5, false);
    ASSERT_TRUE(EjectSessionTape().ok());
    EXPECT_TRUE(restartedNow()) << "a tape taken out";

    writeFile(dir_.path("p.bac"), oneLineBac());
    frames(5, false);
    ASSERT_TRUE(LoadSessionFile(dir_.path("p.bac"), LoadStart::Load).ok());
    EXPECT_TRUE(restartedNow()) << "a program loaded";

    frames(5, false);
    frames(1, true);
    EXPECT_TRUE(cycleBasedFrames);
    EXPECT_EQ(historyReach().snapshots, 1u) << "the timing mode switched";
    frames(6, true);
    EXPECT_TRUE(historyBackFrames(3, message)) << message;
    historyConfigure({});
    cycleBasedFrames = false;
}

} // namespace
