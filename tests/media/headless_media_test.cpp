// The headless runner's storage options, run as the orvane program itself:
// loading and autostarting, tapes played and recorded, disks attached and the
// program saved at the end.
#include "tests/media/media_files.h"
#include "tests/support/run_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

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

// --save chooses by extension as Save as does: a typed text comes back as the
// BASIC lists it; a tape recording cannot be asked for at the end.
TEST(HeadlessMedia, SaveWritesTheProgramTextAsListed) {
    ScratchDir dir;
    const std::string typed = "10 print 5 ; 2\r20 end\r";
    writeFile(dir.path("in.bas"), Bytes(typed.begin(), typed.end()));
    std::string errors;
    ASSERT_EQ(
        0, runOrvane("--load " + dir.path("in.bas") + " --frames 200 --save " + dir.path("out.bas"),
                     &errors))
        << errors;
    EXPECT_NE(std::string::npos, errors.find("File saved: " + dir.path("out.bas") + "."));
    const Bytes listed = readFile(dir.path("out.bas"));
    EXPECT_EQ("10 PRINT 5 ; 2\n20 END\n", std::string(listed.begin(), listed.end()));

    EXPECT_NE(0, runOrvane("--frames 2 --save " + dir.path("tape.wav")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("tape.wav")));
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

TEST(HeadlessMedia, TapeFileIsWrittenOnlyOnceTheMotorRunsAndCompletedWhenTheRunEnds) {
    ScratchDir dir;
    // Nothing recorded: an existing file stays as it was, a new one is not made.
    const Bytes precious = {'k', 'e', 'e', 'p'};
    writeFile(dir.path("keep.wav"), precious);
    ASSERT_EQ(0, runOrvane("--tape-out " + dir.path("keep.wav") + " --seconds 2"));
    EXPECT_EQ(readFile(dir.path("keep.wav")), precious);
    ASSERT_EQ(0, runOrvane("--tape-out " + dir.path("new.wav") + " --frames 3"));
    EXPECT_FALSE(std::filesystem::exists(dir.path("new.wav")));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path("")))
        EXPECT_NE(entry.path().filename().string()[0], '.') << "a temporary file was left";

    // SAVE CAS: runs the motor: the file is replaced, and a run that ends
    // while it still records completes the file.
    ASSERT_EQ(0, runOrvane("--type 'SAVE CAS:X\\r' --tape-out " + dir.path("keep.wav") +
                           " --frames 150"));
    Bytes wav = readFile(dir.path("keep.wav"));
    ASSERT_GE(wav.size(), 44u + 22050);
    EXPECT_EQ(0, std::memcmp(wav.data(), "RIFF", 4));
    EXPECT_EQ(wav.size() - 8, le32(wav, 4));
    EXPECT_EQ(wav.size() - 44, le32(wav, 40));
    EXPECT_EQ(44100u, le32(wav, 24));
}

TEST(HeadlessMedia, SaveCasSaysWhenNoTapeRecordsAndWhenTheRecordingEnds) {
    ScratchDir dir;
    std::string errors;
    ASSERT_EQ(0, runOrvane("--type '10 PRINT 1\\rSAVE CAS:A\\r' --seconds 3", &errors));
    EXPECT_NE(errors.find("The cassette motor runs with no tape in the deck: SAVE CAS: needs a "
                          "recording started first"),
              std::string::npos)
        << errors;

    // The motor stops at the end of the program: the recording ends there,
    // and the second SAVE CAS: finds the deck empty and says so.
    ASSERT_EQ(0, runOrvane("--type '10 PRINT 1\\rSAVE CAS:A\\rSAVE CAS:B\\r' --tape-out " +
                               dir.path("one.wav") + " --seconds 14",
                           &errors));
    const size_t finished = errors.find("Recording finished: " + dir.path("one.wav") + ", 00:0");
    EXPECT_NE(finished, std::string::npos) << errors;
    EXPECT_NE(errors.find("The cassette motor runs with no tape in the deck", finished),
              std::string::npos)
        << errors;
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

// A program saved with SAVE CAS: by the open firmware, recorded through the
// headless runner's cassette output.
std::string recordProgramTape(const ScratchDir& dir) {
    std::string wav = dir.path("prog.wav");
    std::string roms = dir.path("roms");
    (void)std::system(("mkdir -p " + roms).c_str());
    EXPECT_EQ(0, runOrvane("--rom-path " + roms + " --type '10 PRINT 7*6\\r20 GOTO 10\\r'" +
                           " --tape-out " + wav + " --type 'SAVE CAS:DEMO\\r' --frames 600"));
    return wav;
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(HeadlessMedia, TapeInPutsTheTapeInTheDeckAndLoadCasReadsItInEitherTiming) {
    ScratchDir dir;
    std::string wav = recordProgramTape(dir);
    for (const char* timing : {"--fast", "--cycle-based"}) {
        std::string screen;
        ASSERT_EQ(0, runCommand(orvaneHeadless(std::string(timing) + " --rom-path " +
                                               dir.path("roms") + " --tape-in " + wav +
                                               " --type 'LOAD CAS:\\r' --frames 600" +
                                               " --type 'LIST\\r' --screen-text") +
                                    " 2>/dev/null",
                                &screen));
        EXPECT_EQ(1, countOf(screen, "LOAD CAS:")) << timing << ": typed once, by the user\n"
                                                   << screen;
        EXPECT_NE(std::string::npos, screen.find("10 PRINT 7*6")) << timing << "\n" << screen;
        EXPECT_NE(std::string::npos, screen.find("20 GOTO 10")) << timing;
        EXPECT_EQ(std::string::npos, screen.find("ERROR")) << timing << "\n" << screen;
    }
}

TEST(HeadlessMedia, TheTapeCounterNamesEveryBlocksProgramAsItPasses) {
    ScratchDir dir;
    std::string roms = dir.path("roms");
    (void)std::system(("mkdir -p " + roms).c_str());
    std::string wav = dir.path("named.wav");
    std::string recording;
    ASSERT_EQ(0, runOrvane("--rom-path " + roms + " --type '10 PRINT 7*6\\r'" + " --tape-out " +
                               wav + " --type 'SAVE CAS:NAMED\\r' --frames 600 --tape-counter",
                           &recording));
    EXPECT_NE(std::string::npos, recording.find("Tape block: NAMED.BAS header")) << recording;
    EXPECT_NE(std::string::npos, recording.find("Tape block: NAMED.BAS block 0")) << recording;
    EXPECT_NE(std::string::npos, recording.find("REC 00:03 NAMED.BAS")) << recording;

    std::string playing;
    ASSERT_EQ(0, runOrvane("--rom-path " + roms + " --tape-in " + wav +
                               " --type 'LOAD CAS:\\r' --frames 600 --tape-counter",
                           &playing));
    const size_t header = playing.find("Tape block: NAMED.BAS header");
    const size_t data = playing.find("Tape block: NAMED.BAS block 0");
    ASSERT_NE(std::string::npos, header) << playing;
    ASSERT_NE(std::string::npos, data) << playing;
    EXPECT_LT(header, data);
    EXPECT_EQ(std::string::npos, playing.find("bad checksum")) << playing;
    // The counter line names the program from its header on, with the
    // position as mm:ss of the tape's length.
    EXPECT_NE(std::string::npos, playing.find("/00:0", header)) << playing;
    EXPECT_NE(std::string::npos, playing.find(" NAMED.BAS\n", header)) << playing;
}

// The activity mark flickers with the signal; the printed counter follows
// only the seconds and the blocks, so a tape played at real time gives a
// handful of lines rather than one for every flicker.
TEST(HeadlessMedia, TheTapeCounterPrintsWhenTheSecondOrTheBlockChanges) {
    ScratchDir dir;
    std::string wav = recordProgramTape(dir);
    std::string output;
    ASSERT_EQ(0, runOrvane("--rom-path " + dir.path("roms") + " --tape-in " + wav +
                               " --no-fast-tape --tape-counter --type 'LOAD CAS:\\r'" +
                               " --frames 400",
                           &output));
    std::istringstream lines(output);
    std::string line, previous;
    int counterLines = 0, blockLines = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("Tape block: ", 0) == 0) {
            ++blockLines;
            previous.clear();
            continue;
        }
        if (line.rfind("Tape counter: ", 0) != 0) continue;
        ++counterLines;
        // The four-digit seconds follow the prefix; without a block between
        // them two lines never show the same second.
        const std::string seconds = line.substr(14, 4);
        EXPECT_NE(previous, seconds) << output;
        previous = seconds;
    }
    EXPECT_GE(blockLines, 2) << output;
    EXPECT_GE(counterLines, 5) << "the tape moved for several seconds\n" << output;
    EXPECT_LE(counterLines, 8 + blockLines) << output;
}

TEST(HeadlessMedia, APacedRunLeavesRealTimeOnlyWhileTheTapeMoves) {
    ScratchDir dir;
    std::string wav = recordProgramTape(dir);
    const std::string common = "--rom-path " + dir.path("roms") +
                               " --sound --sound-driver none --tape-in " + wav +
                               " --type 'LOAD CAS:\\r' --type 'LIST\\r' --screen-text";
    std::string output;
    ASSERT_EQ(0, runCommand(orvaneHeadless(common + " --boot-frames 30 --frames 390") + " 2>&1",
                            &output));
    const size_t fast = output.find("Fast tape: full speed while the tape moves, sound muted.");
    const size_t back = output.find("Fast tape: the tape stopped, back to real time.");
    ASSERT_NE(std::string::npos, fast) << output;
    ASSERT_NE(std::string::npos, back) << output;
    EXPECT_LT(fast, back);
    EXPECT_NE(std::string::npos, output.find("20 GOTO 10")) << "loaded whole:\n" << output;

    // Without fast tape the tape moves at real time (the counter reaches a
    // second) and nothing changes speed.
    ASSERT_EQ(0,
              runCommand(orvaneHeadless(common + " --no-fast-tape --tape-counter --boot-frames 5" +
                                        " --frames 90") +
                             " 2>&1",
                         &output));
    EXPECT_NE(std::string::npos, output.find("Tape counter: 0001")) << output;
    EXPECT_EQ(std::string::npos, output.find("Fast tape")) << output;
}

TEST(HeadlessMedia, AutostartOfATapeStillTypesLoadCas) {
    ScratchDir dir;
    std::string wav = recordProgramTape(dir);
    std::string screen;
    ASSERT_EQ(0,
              runCommand(orvaneHeadless("--rom-path " + dir.path("roms") + " --autostart " + wav +
                                        " --frames 600 --type 'LIST\\r'" + " --screen-text") +
                             " 2>/dev/null",
                         &screen));
    EXPECT_EQ(1, countOf(screen, "LOAD CAS:")) << screen;
    EXPECT_NE(std::string::npos, screen.find("20 GOTO 10")) << screen;
}

TEST(HeadlessMedia, RecordingWhileATapePlaysIsRefusedBeforeAnythingRuns) {
    ScratchDir dir;
    Bytes wav(44 + 4410, 128);
    std::memcpy(
        wav.data(),
        "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0\x44\xAC\0\0\x01\0\x08\0data", 40);
    writeFile(dir.path("tape.wav"), wav);
    std::string errors;
    EXPECT_EQ(2, runOrvane("--tape-in " + dir.path("tape.wav") + " --tape-out " +
                               dir.path("out.wav") + " --frames 2",
                           &errors));
    EXPECT_NE(std::string::npos, errors.find("the deck holds one tape")) << errors;
    EXPECT_EQ(2, runOrvane("--load " + dir.path("tape.wav") + " --tape-out " + dir.path("out.wav") +
                           " --frames 2"));
    EXPECT_TRUE(readFile(dir.path("out.wav")).empty()) << "nothing was recorded";
    EXPECT_EQ(wav, readFile(dir.path("tape.wav"))) << "the played tape is untouched";
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
