// The headless runner: its helpers in process, and the orvane program itself
// run as a child for exit codes, outputs and determinism.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/headless.h"
#include "tests/machine/machine_fixture.h"
#include "tests/support/run_command.h"

namespace {

int runOrvane(const std::string& arguments, std::string* output = nullptr) {
    return runCommand(orvaneHeadless(arguments) + " 2>/dev/null", output);
}

uint32_t le32(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at]) |
                                 static_cast<uint8_t>(s[at + 1]) << 8 |
                                 static_cast<uint8_t>(s[at + 2]) << 16 |
                                 static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24);
}

TEST(HeadlessHelpers, UnescapeText) {
    EXPECT_EQ(UnescapeText("RUN\\r"), "RUN\r");
    EXPECT_EQ(UnescapeText("A\\nB\\tC\\\\D"), "A\nB\tC\\D");
    EXPECT_EQ(UnescapeText("\\x41\\x5b"), "A[");
    EXPECT_EQ(UnescapeText("\\x4"), "\\x4");
    EXPECT_EQ(UnescapeText("\\q"), "\\q");
    EXPECT_EQ(UnescapeText("end\\"), "end\\");
}

TEST(HeadlessHelpers, ScreenTextInScreenOrderAsUtf8) {
    freshMachine();
    basicRom = BasicRomOld;
    for (int i = 0; i < 1024; i++)
        MainMemory[0x7C00 + i] = 0x20;
    const uint8_t first[] = {'H', 'E', 'J', ' ', 0x5B, 0x7F, 0x97, 0x01, 0xA0};
    std::memcpy(MainMemory + 0x7C00, first, sizeof first);
    MainMemory[0x7C00 + 128] = '2';               // row 1
    MainMemory[0x7C00 + 7 * 128 + 80 + 39] = 'Z'; // row 23, last column
    std::string text = ScreenText();
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(text.substr(start, end - start));
    ASSERT_EQ(lines.size(), 24u);
    // A0h is the cursor over a blank: a blank, as any blinking cell is its
    // own character.
    EXPECT_EQ(lines[0], "HEJ \xC3\x84\xE2\x96\x88 A" + std::string(32, ' '));
    EXPECT_EQ(lines[1][0], '2');
    EXPECT_EQ(lines[23], std::string(39, ' ') + "Z");
    EXPECT_EQ(lines[12], std::string(40, ' '));
}

TEST(HeadlessHelpers, ScreenshotFilesHaveThePictureLayout) {
    TempFolder folder("shots");
    std::vector<uint8_t> picture(FrameBufferBytes, 0);
    picture[0] = 0xFF;
    picture[239 * 240 + 239] = 0xFF;
    ASSERT_EQ(WriteScreenshotBmp(folder.file("a.bmp"), picture.data(), 0), 1);
    std::string bmp = readWholeFile(folder.file("a.bmp"));
    ASSERT_EQ(bmp.size(), 58678u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(le32(bmp, 2), 58678u);
    EXPECT_EQ(le32(bmp, 10), 1078u);
    EXPECT_EQ(le32(bmp, 18), 240u);
    EXPECT_EQ(static_cast<int32_t>(le32(bmp, 22)), -240);
    EXPECT_EQ(le32(bmp, 54 + 4 * 200), 0x00C8C8C8u); // grey palette
    EXPECT_EQ(static_cast<uint8_t>(bmp[1078]), 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(bmp[1079]), 0x00);
    EXPECT_EQ(static_cast<uint8_t>(bmp[58677]), 0xFF);

    ASSERT_EQ(WriteScreenshotBmp(folder.file("wide.bmp"), picture.data(), 1), 1);
    std::string wide = readWholeFile(folder.file("wide.bmp"));
    EXPECT_EQ(wide.size(), 1078u + 480 * 240);
    EXPECT_EQ(le32(wide, 18), 480u);

    ASSERT_EQ(WriteScreenshotBmp(folder.file("a.PNG"), picture.data(), 0), 1);
    std::string png = readWholeFile(folder.file("a.PNG"));
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    // A dark picture compresses to almost nothing (the pixels are checked
    // by decoding in the Qt tests).
    EXPECT_LT(png.size(), 1000u);
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");

    EXPECT_EQ(WriteScreenshotBmp(folder.file("missing/a.bmp"), picture.data(), 0), 0);
}

class Runner : public ::testing::Test {
  protected:
    TempFolder folder{"runner"};
    std::string hermetic() const { return "--rom-path " + folder.path.string() + " "; }
};

TEST_F(Runner, UsageErrorsExitWithTwo) {
    EXPECT_EQ(runOrvane("--no-such-option"), 2);
    EXPECT_EQ(runOrvane("--frames"), 2);
    EXPECT_EQ(runOrvane("--frames ten"), 2);
    EXPECT_EQ(runOrvane("--frames=-3"), 2);
    EXPECT_EQ(runOrvane("--seconds x"), 2);
    EXPECT_EQ(runOrvane("--basic-rom newest"), 2);
    EXPECT_EQ(runOrvane("--dos floppy"), 2);
    EXPECT_EQ(runOrvane("--cycle-based=1"), 2);
    EXPECT_EQ(runOrvane("--rom-path " + folder.file("absent")), 2);
    EXPECT_EQ(runOrvane("--printer-dir " + folder.file("absent")), 2);
    EXPECT_EQ(runOrvane("--key 0x141"), 2);
    EXPECT_EQ(runOrvane("--key 0x10+"), 2);
    EXPECT_EQ(runOrvane("--key A"), 2);
}

TEST_F(Runner, KeysAndTypingReachTheMachine) {
    std::string plain, keyed, typed;
    std::string args = hermetic() + "--boot-frames 50 --frames 20 --screen-text";
    ASSERT_EQ(runOrvane(args, &plain), 0);
    ASSERT_EQ(runOrvane(args + " --key 0x31 --key 0x10+0x32", &keyed), 0);
    ASSERT_EQ(runOrvane(args + " --type 1", &typed), 0);
    EXPECT_NE(plain, keyed);
    EXPECT_NE(plain, typed);
}

TEST_F(Runner, HelpListsEveryOption) {
    std::string help;
    ASSERT_EQ(runOrvane("--help", &help), 0);
    for (size_t i = 0; i < HeadlessOptionCount; i++)
        EXPECT_NE(help.find(HeadlessOptions[i].name), std::string::npos) << HeadlessOptions[i].name;
}

TEST_F(Runner, WithoutOptionsItPrintsTheBootScreen) {
    std::string screen, silent;
    ASSERT_EQ(runOrvane("", &screen), 0);
    EXPECT_EQ(std::count(screen.begin(), screen.end(), '\n'), 24);
    ASSERT_EQ(runOrvane("--frames 1", &silent), 0);
    EXPECT_EQ(silent, "");
}

TEST_F(Runner, UnwritableOutputExitsWithOne) {
    EXPECT_EQ(runOrvane(hermetic() + "--frames 1 --boot-frames 0 --screenshot " +
                        folder.file("no/x.bmp")),
              1);
    EXPECT_EQ(runOrvane(hermetic() + "--frames 1 --boot-frames 0 --dump-memory " +
                        folder.file("no/m.bin")),
              1);
}

TEST_F(Runner, SameArgumentsGiveSameOutputsInBothModes) {
    for (const char* mode : {"--fast", "--cycle-based"}) {
        std::string args =
            hermetic() + mode + " --boot-frames 20 --frames 30 --type 'PRINT 1\\r' --screen-text";
        std::string screen1, screen2;
        ASSERT_EQ(runOrvane(args + " --dump-memory " + folder.file("m1.bin") + " --screenshot " +
                                folder.file("s1.bmp"),
                            &screen1),
                  0);
        ASSERT_EQ(runOrvane(args + " --dump-memory " + folder.file("m2.bin") + " --screenshot " +
                                folder.file("s2.bmp"),
                            &screen2),
                  0);
        std::string memory = readWholeFile(folder.file("m1.bin"));
        EXPECT_EQ(memory.size(), 65536u);
        EXPECT_EQ(memory, readWholeFile(folder.file("m2.bin"))) << mode;
        EXPECT_EQ(readWholeFile(folder.file("s1.bmp")), readWholeFile(folder.file("s2.bmp")))
            << mode;
        EXPECT_EQ(readWholeFile(folder.file("s1.bmp")).size(), 58678u);
        EXPECT_EQ(screen1, screen2) << mode;
        EXPECT_EQ(std::count(screen1.begin(), screen1.end(), '\n'), 24) << mode;
    }
}

TEST_F(Runner, ExternalEightyColumnBasicWidensTextAndPicture) {
    // Our own program in the external slot writes W at the end of the first
    // wide row; the file's CRC is made the known one.
    std::vector<uint8_t> rom = {0xF3, 0x31, 0x00, 0xFF, 0x3E, 'W', 0x32, 0x4F, 0x58, 0x18, 0xFE};
    rom.resize(0x66, 0);
    rom.insert(rom.end(), {0xED, 0x45});
    rom.resize(1000, 0);
    forgeCrc(rom, KnownExternalRomCrc);
    folder.write("ZaVUR80BASIC.ROM", rom);
    std::string screen;
    ASSERT_EQ(
        runOrvane(hermetic() +
                      "--rom external --boot-frames 2 --frames 2 --screen-text --screenshot " +
                      folder.file("wide.bmp"),
                  &screen),
        0);
    std::string firstRow = screen.substr(0, screen.find('\n'));
    // Zero bytes read as É (two bytes of UTF-8): count characters, not bytes.
    size_t characters = 0;
    for (char c : firstRow)
        characters += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
    EXPECT_EQ(characters, 80u);
    EXPECT_EQ(firstRow.back(), 'W');
    std::string bmp = readWholeFile(folder.file("wide.bmp"));
    ASSERT_EQ(bmp.size(), 1078u + 480 * 240);
    EXPECT_EQ(le32(bmp, 18), 480u);
    // The W lights pixels in the last cell of the first text row.
    bool lit = false;
    for (int y = 0; y < 10; y++)
        for (int x = 474; x < 480; x++)
            lit = lit || static_cast<uint8_t>(bmp[1078 + y * 480 + x]) == 0xFF;
    EXPECT_TRUE(lit);
}

// The manual page documents every option of the runner.
// Runs in this process, as the desktop's tests and scripted sessions do: each
// run starts from a machine powered on afresh, whatever the run before left.
int runInProcess(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = {"orvane"};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return RunHeadless(static_cast<int>(args.size()), argv.data());
}

TEST_F(Runner, ARunInTheSameProcessStartsFromAFreshMachine) {
    for (const char* mode : {"--fast", "--cycle-based"}) {
        SCOPED_TRACE(mode);
        auto run = [&](const std::string& name, const char* frames) {
            return runInProcess({"--rom-path", folder.path.string(), mode, "--boot-frames", "20",
                                 "--frames", frames, "--type", "PRINT 1\\r", "--dump-memory",
                                 folder.file(name + ".bin"), "--screenshot",
                                 folder.file(name + ".bmp")});
        };
        ASSERT_EQ(run("first", "30"), 0);
        // A longer run between moves the frame count, the blink phase and
        // the processor on.
        ASSERT_EQ(run("between", "77"), 0);
        ASSERT_EQ(run("again", "30"), 0);
        const std::string first = readWholeFile(folder.file("first.bin"));
        EXPECT_EQ(first.size(), 65536u);
        // Compared whole without printing 64 KB when they differ.
        EXPECT_TRUE(first == readWholeFile(folder.file("again.bin"))) << "memory differs";
        EXPECT_TRUE(readWholeFile(folder.file("first.bmp")) ==
                    readWholeFile(folder.file("again.bmp")))
            << "picture differs";
    }
}

TEST(HeadlessProgram, ManualPageListsEveryOption) {
    std::string page = readWholeFile(std::string(ORVANE_SOURCE_DIR) + "/host/install/orvane.1.in");
    ASSERT_FALSE(page.empty());
    for (size_t i = 0; i < HeadlessOptionCount; i++) {
        std::string name = HeadlessOptions[i].name, roff;
        for (char c : name)
            roff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(page.find("\\fB" + roff + "\\fR"), std::string::npos) << name;
    }
}

// The version, from the build, before anything else is looked at: neither
// the window nor the machine starts.
TEST(HeadlessProgram, VersionComesFirst) {
    std::string output;
    std::string program = std::string(ORVANE_BINARY_DIR) + "/bin/orvane";
    EXPECT_EQ(runCommand(program + " --version --no-such-option", &output), 0);
    EXPECT_EQ(output, std::string("Orvane ") + ORVANE_VERSION + "\n");
}

} // namespace
