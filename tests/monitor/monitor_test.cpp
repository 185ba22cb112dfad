// Monitor transcripts: scripted command lines through the console interface
// with the exact expected output, for every command and its failure
// messages, and stops at breakpoints and watchpoints in a running program.
#include "monitor/monitor.h"

#include "abc80/abc80.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "monitor/debug.h"
#include "script_console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string Banner = "Type '?' for help, 'x' for exit.\n";

class MonitorTest : public ::testing::Test {
  protected:
    ScriptConsole script;
    MonitorConsole console{};
    std::filesystem::path folder;

    void SetUp() override {
        cpu = Z80Cpu{};
        machineConnect();
        cpuInit(MachineClockHz);
        basicRom = BasicRomOld;
        dosRom = DosRomNone;
        std::memset(MainMemory + 0x4000, 0, 0xC000);
        debugPowerOn();
        forgetPendingFrame();
        lineCycles = 0;
        monitorCurrent = MonitorNoAddress;
        monitorOpen = false;
        console = script.record();
        monitorSetConsole(&console);
        monitorSetHost(nullptr);
        folder = std::filesystem::temp_directory_path() /
                 ("orvane-monitor-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        monitorSetConsole(nullptr);
        std::filesystem::remove_all(folder);
    }

    std::string path(const char* name) { return (folder / name).string(); }

    // Opens the monitor as the user, types the lines and then x; returns what
    // the monitor wrote after its greeting.
    std::string session(std::vector<std::string> lines) {
        lines.push_back("x");
        script.lines = lines;
        script.next = 0;
        script.out.clear();
        script.bright.clear();
        EXPECT_EQ(monitorEnter(MonitorOpenedByUser, cpu.IP), 1);
        EXPECT_EQ(script.out.compare(0, Banner.size(), Banner), 0) << script.out;
        return script.out.substr(Banner.size());
    }

    void poke(uint16_t address, std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes)
            MainMemory[address++] = b;
    }
};

TEST_F(MonitorTest, OpensClosesAndKeepsItsCurrentAddress) {
    cpu.IP = 0x8123;
    cpu.breakRequest = 1;
    script.lines = {"x"};
    EXPECT_EQ(monitorEnter(MonitorOpenedByUser, cpu.IP), 1);
    EXPECT_EQ(script.out, Banner);
    EXPECT_EQ(script.title, "Interactive monitor");
    EXPECT_EQ(script.opens, 1);
    EXPECT_EQ(script.closes, 1);
    EXPECT_FALSE(monitorOpen);
    EXPECT_EQ(cpu.breakRequest, 0u);
    EXPECT_EQ(monitorCurrent, 0x8123u);

    // The current address survives closing; a new IP does not move it.
    cpu.IP = 0x9000;
    EXPECT_EQ(session({}), "");
    EXPECT_EQ(monitorCurrent, 0x8123u);
}

TEST_F(MonitorTest, ReentryReturnsAtOnceAndEndOfInputCloses) {
    int nested = -1;
    script.beforeLine = [&](size_t) { nested = monitorEnter(MonitorStopped, 0x1234); };
    script.lines = {""}; // then end of input
    EXPECT_EQ(monitorEnter(MonitorOpenedByUser, 0), 1);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(script.opens, 1);
    EXPECT_EQ(script.out, Banner);
    EXPECT_FALSE(monitorOpen);
}

TEST_F(MonitorTest, ConsoleThatCannotOpenLeavesAtOnce) {
    int paused = 0, resumed = 0, paced = 0;
    static int* counters[3];
    counters[0] = &paused, counters[1] = &resumed, counters[2] = &paced;
    MonitorHost host{[] { ++*counters[0]; }, [] { ++*counters[1]; }, [] { ++*counters[2]; }, 0};
    monitorSetHost(&host);
    script.openFails = true;
    cpu.breakRequest = 1;
    EXPECT_EQ(monitorEnter(MonitorStopped, 0x8000), 1);
    EXPECT_EQ(script.out, "");
    EXPECT_EQ(cpu.breakRequest, 0u);
    EXPECT_FALSE(monitorOpen);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(resumed, 1);
    EXPECT_EQ(paced, 1);
    script.openFails = false;
    session({});
    EXPECT_EQ(paused, 2);
    EXPECT_EQ(resumed, 2);
    EXPECT_EQ(paced, 2);
}

std::string helpText() {
    return "Interactive monitor commands:\n"
           "? - this help.\n"
           ":<address> [<value> ...] - write the values to memory from <address>; ':' alone "
           "shows the next row.\n"
           "b [<address> [<kinds>]] - list breakpoints; toggle an execution breakpoint at "
           "<address>; or set exactly the kinds x (execute), r (read), w (write).\n"
           "d [<from>] [<to>] [<name>] - disassemble from <from> (12 instructions, or till "
           "<to>), also into file <name>.\n"
           "f <from> <to> <value> - fill memory <from> till <to> with <value>.\n"
           "g [<address>] - set IP to <address> (to the current address without one).\n"
           "h <from> <to> <value1> [<value2> ... <value5>] - hunt memory (ROM and RAM) <from> "
           "to <to> for the bytes.\n"
           "l <name> <from> [<to>] - load binary file <name> into address <from> [till "
           "<to>].\n"
           "m [<from>] [<to>] - show memory <from> till <to> (8 rows without <to>).\n"
           "r - show the registers.\n"
           "s <name> <from> <to> - save memory <from> till <to> into file <name>.\n"
           "t <from> <till> <to> - transfer memory <from> address <till> address <to> "
           "address.\n"
           "z - step one instruction.\n"
           "n - step over a call, rst or block instruction.\n"
           "u - run until the current routine returns.\n"
           "e <address> - run until the instruction at <address>.\n"
           "v [+|-|<count>|/ <text>|w <name>] - trace: start, stop, show the last <count> "
           "instructions (12), find <text>, write it all into file <name>.\n"
           "w [<line>] - show the BASIC line running; or stop when BASIC line <line> (decimal) "
           "starts.\n"
           "y [<name>] - read symbols from file <name>, or the firmware's own labels.\n"
           "< - step back one instruction; < b back to the previous breakpoint hit; < f "
           "[<count>] back to the start of the frame <count> (decimal, 0 this one) frames "
           "before; < w <address> back to the instruction that last wrote the byte at "
           "<address>.\n"
           "x - exit from monitor.\n";
}

TEST_F(MonitorTest, HelpUnknownCommandsAndEmptyLines) {
    const std::string help = helpText();
    // Every command letter the monitor knows has its own line.
    for (const char* command : {"?",  ":",  "b ", "d ", "e ", "f ", "g ", "h ", "l ", "m ", "n ",
                                "r ", "s ", "t ", "u ", "v ", "w ", "y ", "z ", "< ", "x "})
        EXPECT_NE(help.find(std::string("\n") + command), std::string::npos) << command;
    EXPECT_NE(help.find("m [<from>] [<to>]"), std::string::npos) << "m's real syntax";
    EXPECT_EQ(session({"?"}), help);
    EXPECT_EQ(script.bright, help);
    EXPECT_EQ(session({"", "   ", "q", "X"}),
              "Unknown command, type ? for help!\nUnknown command, type ? for help!\n");
    EXPECT_EQ(script.bright, "");
}

TEST_F(MonitorTest, RegisterLines) {
    cpu.IP = 0x8000;
    cpu.AF = 0x12D5;
    cpu.BC = 0x3456;
    cpu.DE = 0x789A;
    cpu.HL = 0xBCDE;
    cpu.R = 0x7F;
    cpu.IX = 0x1111;
    cpu.IY = 0x2222;
    cpu.SP = 0x00FE;
    cpu.I = 0x3F;
    cpu.INT = 5;
    cpu.NMI = 0;
    cpu.TCOUNT = 123456789012ull;
    std::string lines = "IP:8000,AF:12D5,BC:3456,DE:789A,HL:BCDE,R:7F|SZ-H-PNC\n"
                        "IX:1111,IY:2222,SP:FE,I:3F,INT:1,NMI:0, FL|11010101\n"
                        "TCOUNT:000000000000123456789012\n";
    EXPECT_EQ(session({"r"}), lines);
    EXPECT_EQ(script.bright, lines);
}

TEST_F(MonitorTest, ModifyMemoryWithTheColon) {
    EXPECT_EQ(session({": 8000 12 34", ":8010 56 78", ":ffff aa bb"}), "");
    EXPECT_EQ(MainMemory[0x8000], 0x12);
    EXPECT_EQ(MainMemory[0x8001], 0x34);
    // The address may be glued to the colon; no value is lost then.
    EXPECT_EQ(MainMemory[0x8010], 0x56);
    EXPECT_EQ(MainMemory[0x8011], 0x78);
    // Writing wraps from FFFFh to 0000h (where the ROM drops it).
    EXPECT_EQ(MainMemory[0xFFFF], 0xAA);
    EXPECT_EQ(monitorCurrent, 0x0001u);

    // An address alone only moves the current address; ":" alone shows the
    // next row and moves past it.
    poke(0x8100, {'A', 'B', 0x00, 0x7E, '}'});
    EXPECT_EQ(session({":8100", ":"}),
              " 8100:  41 42 00 7E  7D 00 00 00  00 00 00 00  00 :AB..}........\n");
    EXPECT_EQ(monitorCurrent, 0x810Du);
}

TEST_F(MonitorTest, MemoryRowsFollowTheConsoleWidth) {
    for (int i = 0; i < 64; ++i)
        MainMemory[0x8000 + i] = static_cast<uint8_t>(0x30 + i);
    // Every byte of the range shows: 32 bytes take three rows of 13.
    EXPECT_EQ(session({"m 8000 801f"}),
              " 8000:  30 31 32 33  34 35 36 37  38 39 3A 3B  3C :0123456789:;<\n"
              " 800D:  3D 3E 3F 40  41 42 43 44  45 46 47 48  49 :=>?@ABCDEFGHI\n"
              " 801A:  4A 4B 4C 4D  4E 4F 50 51  52 53 54 55  56 :JKLMNOPQRSTUV\n");
    EXPECT_EQ(monitorCurrent, 0x8027u);
    EXPECT_EQ(session({"m 8010 8000"}).size(), 1 + 7 + 13 * 3 + 4 + 13 + 1);
    std::string eight = session({"m 8000"});
    EXPECT_EQ(std::count(eight.begin(), eight.end(), '\n'), 8);
    EXPECT_EQ(eight.substr(eight.rfind(" 80"), 6), " 805B:");

    script.columns = 40; // 13 columns of dump, six bytes per row
    EXPECT_EQ(session({"m 8000 8000"}), " 8000:  30 31 32 33  34 35 :012345\n");
    script.columns = 5; // too narrow for a byte
    EXPECT_EQ(session({"m 8000 8000"}), " 8000: :\n");
}

TEST_F(MonitorTest, BreakpointToggleKindsAndList) {
    EXPECT_EQ(session({"b"}), "No breakpoints set.\n");
    EXPECT_EQ(session({"b 8000"}), "Breakpoint(s) at 8000h set.\n");
    EXPECT_EQ(WatchFlags[0x8000], WatchExecute);
    EXPECT_EQ(ReadHandlers[0x8000], readWatchHandler);
    EXPECT_EQ(WriteHandlers[0x8000], memWrite);
    EXPECT_EQ(session({"b 8000"}), "Breakpoint(s) at 8000h removed.\n");
    EXPECT_EQ(WatchFlags[0x8000], 0u);
    EXPECT_EQ(ReadHandlers[0x8000], memRead);

    EXPECT_EQ(session({"b 8000", "b 8000 rw"}),
              "Breakpoint(s) at 8000h set.\nBreakpoint at 8000h set (RW)\n");
    EXPECT_EQ(WatchFlags[0x8000], WatchRead | WatchWrite);
    EXPECT_EQ(ReadHandlers[0x8000], readWatchHandler);
    EXPECT_EQ(WriteHandlers[0x8000], writeWatchHandler);

    EXPECT_EQ(session({"b 9abc wx", "b 0 q", "b"}),
              "Breakpoint at 9ABCh set (XW)\nUnknown syntax.\n 8000 (RW) 9ABC (XW)\n");
    EXPECT_EQ(WatchFlags[0x0000], 0u);

    // Only x: the write handler goes, the read handler stays.
    EXPECT_EQ(session({"b 8000 x", "b 1 2 3"}),
              "Breakpoint at 8000h set (X)\n 8000 (X) 9ABC (XW)\n");
    EXPECT_EQ(WriteHandlers[0x8000], memWrite);
    EXPECT_EQ(ReadHandlers[0x8000], readWatchHandler);
    // Removing by toggling drops both handlers.
    EXPECT_EQ(session({"b 9abc"}), "Breakpoint(s) at 9ABCh removed.\n");
    EXPECT_EQ(ReadHandlers[0x9ABC], memRead);
    EXPECT_EQ(WriteHandlers[0x9ABC], memWrite);
}

TEST_F(MonitorTest, DisassembleToConsoleAndFile) {
    poke(0x8000, {0x3E, 0x12, 0xDD, 0x00, 0xC3, 0x00, 0x80});
    EXPECT_EQ(session({"d 8000 8007"}), " 8000 3E 12       ld a,12h\n"
                                        " 8002 DD          undefined\n"
                                        " 8003 00          nop\n"
                                        " 8004 C3 00 80    jp 8000h\n");
    EXPECT_EQ(monitorCurrent, 0x8007u);

    // Without an end: twelve instructions from the current address.
    std::string twelve = session({"d"});
    EXPECT_EQ(std::count(twelve.begin(), twelve.end(), '\n'), 12);
    EXPECT_EQ(twelve.substr(0, 6), " 8007 ");
    EXPECT_EQ(monitorCurrent, 0x8013u);

    std::string file = path("listing.txt");
    EXPECT_EQ(session({"d 8000 8004 " + file}), " 8000 3E 12       ld a,12h\n"
                                                " 8002 DD          undefined\n"
                                                " 8003 00          nop\n"
                                                "Memory disassembled to file " +
                                                    file + ".\n");
    std::ifstream in(file);
    std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, " 8000 3E 12       ld a,12h\n 8002 DD          undefined\n"
                       " 8003 00          nop\n");

    // A file that cannot be written: the console, then the cause.
    EXPECT_EQ(session({"d 8000 8002 /nonexistent-folder/x.txt"}),
              " 8000 3E 12       ld a,12h\nError writing to file /nonexistent-folder/x.txt: no "
              "such file or folder.\n");

    // A range to the end of memory stops when the next instruction wraps.
    poke(0xFFFE, {0x00, 0x21});
    EXPECT_EQ(session({"d fffe ffff"}), " FFFE 00          nop\n");
    EXPECT_EQ(session({"d ffff ffff"}), "");
    MainMemory[0xFFFD] = 0x00;
    std::string end = session({"d fffd ffff"});
    EXPECT_EQ(end, " FFFD 00          nop\n FFFE 00          nop\n");
}

TEST_F(MonitorTest, FillGoAndTransfer) {
    EXPECT_EQ(session({"f 8000 8003 1ab", "f 0 10 ff", "f 9001 9000 77"}), "");
    EXPECT_EQ(MainMemory[0x7FFF], 0x00);
    for (int a = 0x8000; a <= 0x8003; ++a)
        EXPECT_EQ(MainMemory[a], 0xAB);
    EXPECT_EQ(MainMemory[0x8004], 0x00);
    EXPECT_EQ(MainMemory[0x9000], 0x00);
    for (int a = 0; a <= 0x10; ++a)
        EXPECT_EQ(MainMemory[a], 0x00); // ROM area write-protected

    EXPECT_EQ(session({"g 1234"}), "");
    EXPECT_EQ(cpu.IP, 0x1234);
    monitorCurrent = 0x8765;
    EXPECT_EQ(session({"g"}), "");
    EXPECT_EQ(cpu.IP, 0x8765);

    poke(0x8000, {1, 2, 3, 4, 5});
    EXPECT_EQ(session({"t 8000 8003 8001"}), "");
    EXPECT_EQ(std::vector<uint8_t>(MainMemory + 0x8000, MainMemory + 0x8005),
              (std::vector<uint8_t>{1, 1, 2, 3, 4}));
    poke(0x8000, {1, 2, 3, 4, 5});
    EXPECT_EQ(session({"t 8001 8004 8000"}), "");
    EXPECT_EQ(std::vector<uint8_t>(MainMemory + 0x8000, MainMemory + 0x8005),
              (std::vector<uint8_t>{2, 3, 4, 5, 5}));
    // The source may be ROM; a block past FFFFh wraps its destination.
    EXPECT_EQ(session({"t 0 3 fffe"}), "");
    EXPECT_EQ(MainMemory[0xFFFE], memRead(0x0000));
    EXPECT_EQ(MainMemory[0xFFFF], memRead(0x0001));
    EXPECT_EQ(session({"t 8004 8000 9000"}), "");
    EXPECT_EQ(MainMemory[0x9000], 0x00);
}

TEST_F(MonitorTest, HuntSearchesWhatTheProcessorReads) {
    poke(0x8002, {0xDE, 0xAD, 0xBE});
    poke(0x9000, {0xDE, 0xAD, 0xBE, 0xEF});
    MainMemory[0xFFFF] = 0xDE;
    EXPECT_EQ(session({"h 8000 a000 de ad"}), " 8002 9000\n");
    EXPECT_EQ(monitorCurrent, 0x8000u);
    EXPECT_EQ(session({"h 8000 9000 de ad be"}), " 8002\n");
    EXPECT_EQ(session({"h 8000 10000 de ad be ef"}), " 9000\n");
    // A match must lie wholly inside memory: DE at FFFFh alone is not "DE AD".
    EXPECT_EQ(session({"h f000 10000 de"}), " ffff\n");
    EXPECT_EQ(session({"h f000 10000 de ad"}), "\n");
    // The ROM the processor sees is searched, not the array beneath it.
    uint8_t first = memRead(0x0000), second = memRead(0x0001);
    const uint8_t beneath = MainMemory[0x0000];
    MainMemory[0x0000] = static_cast<uint8_t>(~first);
    char line[32];
    std::snprintf(line, sizeof line, "h 0 1 %x %x", first, second);
    EXPECT_EQ(session({line}), " 0\n");
    MainMemory[0x0000] = beneath;
    // At most five bytes; fewer than one is a usage message.
    EXPECT_EQ(session({"h 0 10 1 2 3 4 5 6", "h 0 10"}),
              "Too many values: at most 5 bytes to hunt for.\n"
              "Too few arguments; usage: h <from> <to> <value1> [<value2> ... <value5>]\n");
}

TEST_F(MonitorTest, LongColonLineStoresEveryValue) {
    EXPECT_EQ(session({": 9000 f3 3e 05 32 00 a0 3c 32 01 a0 18 fe"}), "");
    const std::vector<uint8_t> want = {0xf3, 0x3e, 0x05, 0x32, 0x00, 0xa0,
                                       0x3c, 0x32, 0x01, 0xa0, 0x18, 0xfe};
    EXPECT_EQ(std::vector<uint8_t>(MainMemory + 0x9000, MainMemory + 0x900C), want);
    EXPECT_EQ(monitorCurrent, 0x900Cu);
    // One bad value anywhere stores nothing.
    EXPECT_EQ(session({":a000 1 2 3 4 5 6 7 8 9 zz"}), "Not a hexadecimal number: zz\n");
    EXPECT_EQ(MainMemory[0xA000], 0);
}

TEST_F(MonitorTest, TooFewArgumentsAndUnwritableFilesAreReported) {
    EXPECT_EQ(session({"f 8000 8001", "l", "s x 8000", "t 1 2"}),
              "Too few arguments; usage: f <from> <to> <value>\n"
              "Too few arguments; usage: l <name> <from> [<to>]\n"
              "Too few arguments; usage: s <name> <from> <to>\n"
              "Too few arguments; usage: t <from> <till> <to>\n");
    std::filesystem::create_directories(path("folder"));
    std::string folderAsFile = "d 9000 9002 " + path("folder");
    EXPECT_EQ(session({folderAsFile}), " 9000 00          nop\n"
                                       " 9001 00          nop\n"
                                       "Error writing to file " +
                                           path("folder") + ": is a folder.\n");
    EXPECT_TRUE(std::filesystem::is_directory(path("folder")));
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(session({"d 9000 9002 /dev/full"}),
                  " 9000 00          nop\n"
                  " 9001 00          nop\n"
                  "Error writing to file /dev/full: no space left on device.\n");
    }
}

TEST_F(MonitorTest, LoadAndSaveFiles) {
    std::string three = path("three.bin");
    {
        std::ofstream out(three, std::ios::binary);
        out.write("\x11\x22\x33", 3);
    }
    MainMemory[0x9003] = 0x99;
    EXPECT_EQ(session({"l " + three + " 9000"}),
              "Memory loaded 9000-FFFF from file " + three + ".\n");
    EXPECT_EQ(MainMemory[0x8FFF], 0x00);
    EXPECT_EQ(MainMemory[0x9000], 0x11);
    EXPECT_EQ(MainMemory[0x9001], 0x22);
    EXPECT_EQ(MainMemory[0x9002], 0x33);
    EXPECT_EQ(MainMemory[0x9003], 0x99);
    EXPECT_EQ(session({"l " + three + " a000 a001"}),
              "Memory loaded A000-A001 from file " + three + ".\n");
    EXPECT_EQ(MainMemory[0xA001], 0x22);
    EXPECT_EQ(MainMemory[0xA002], 0x00);
    EXPECT_EQ(session({"l " + path("missing.bin") + " 9000"}),
              "Error reading binary file " + path("missing.bin") + ".\n");

    std::string saved = path("saved.bin");
    EXPECT_EQ(session({"s " + saved + " 9000 9003"}),
              "Memory saved 9000-9003 to file " + saved + ".\n");
    std::ifstream in(saved, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, std::string("\x11\x22\x33\x99", 4));

    // Saving the ROM area saves the selected ROM as the processor sees it.
    std::string rom = path("rom.bin");
    EXPECT_EQ(session({"s " + rom + " 0 3fff"}), "Memory saved 0000-3FFF to file " + rom + ".\n");
    std::ifstream romIn(rom, std::ios::binary);
    std::string romBytes((std::istreambuf_iterator<char>(romIn)), std::istreambuf_iterator<char>());
    ASSERT_EQ(romBytes.size(), 0x4000u);
    EXPECT_EQ(std::memcmp(romBytes.data(), BasicRomImages[basicRom], 0x4000), 0);

    EXPECT_EQ(session({"s /nonexistent-folder/out.bin 9000 9001"}),
              "Error writing to file /nonexistent-folder/out.bin: no such file or folder.\n");
}

TEST_F(MonitorTest, BadNumbersAreReportedAndChangeNothing) {
    poke(0x8000, {1, 2, 3, 4});
    cpu.IP = 0x8000;
    monitorCurrent = 0x8000;
    const std::string saveFile = path("never.bin");
    const struct {
        std::string line, message;
    } cases[] = {
        {":80g0 12", "Not a hexadecimal number: 80g0\n"},
        {":8001 12 1g", "Not a hexadecimal number: 1g\n"},
        {": 8001 100", "Number too large: 100 (at most FF)\n"},
        {":12345", "Number too large: 12345 (at most FFFF)\n"},
        {"b zz", "Not a hexadecimal number: zz\n"},
        {"b 8000h rw", "Not a hexadecimal number: 8000h\n"},
        {"d zz", "Not a hexadecimal number: zz\n"},
        {"d 8000 -1", "Not a hexadecimal number: -1\n"},
        {"f 8000 zz 1", "Not a hexadecimal number: zz\n"},
        {"f 8000 8001 0x9", "Not a hexadecimal number: 0x9\n"},
        {"g zz", "Not a hexadecimal number: zz\n"},
        {"g 10000", "Number too large: 10000 (at most FFFF)\n"},
        {"h zz 9000 1", "Not a hexadecimal number: zz\n"},
        {"h 8000 9000 1 zz", "Not a hexadecimal number: zz\n"},
        {"h 8000 10001 1", "Number too large: 10001 (at most 10000)\n"},
        {"l " + saveFile + " zz", "Not a hexadecimal number: zz\n"},
        {"m 80000", "Number too large: 80000 (at most FFFF)\n"},
        {"m 8000 q", "Not a hexadecimal number: q\n"},
        {"s " + saveFile + " 8000 zz", "Not a hexadecimal number: zz\n"},
        {"t 8000 8001 zz", "Not a hexadecimal number: zz\n"},
        {"t 123456789 1 2", "Not a hexadecimal number: 123456789\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(session({c.line}), c.message) << c.line;
        EXPECT_EQ(std::vector<uint8_t>(MainMemory + 0x8000, MainMemory + 0x8004),
                  (std::vector<uint8_t>{1, 2, 3, 4}))
            << c.line;
        EXPECT_EQ(cpu.IP, 0x8000) << c.line;
        EXPECT_EQ(monitorCurrent, 0x8000u) << c.line;
        EXPECT_EQ(WatchFlags[0x8000], 0u) << c.line;
    }
    EXPECT_FALSE(std::filesystem::exists(saveFile));
    // Too few tokens: the syntax, and nothing changes.
    EXPECT_EQ(session({"f 8000 8001", "h 8000 9000"}),
              "Too few arguments; usage: f <from> <to> <value>\n"
              "Too few arguments; usage: h <from> <to> <value1> [<value2> ... <value5>]\n");
    EXPECT_EQ(MainMemory[0x8000], 1);
}

// A program in RAM:
//   9000 ld a,05h / 9002 ld (a000h),a / 9005 ld hl,a000h
//   9008 inc (hl) / 9009 jr 9008h
void loadCounterProgram() {
    const uint8_t program[] = {0x3E, 0x05, 0x32, 0x00, 0xA0, 0x21, 0x00, 0xA0, 0x34, 0x18, 0xFD};
    std::memcpy(MainMemory + 0x9000, program, sizeof program);
    cpu.IP = 0x9000;
    cpu.SP = 0xF000;
}

// The front end's part after a stop: the monitor at the stop, with the
// prepared lines.
void monitorAtStop(ScriptConsole& script, std::vector<std::string> lines) {
    script.lines = std::move(lines);
    script.next = 0;
    script.out.clear();
    EXPECT_TRUE(debugStopped());
    EXPECT_EQ(monitorEnter(MonitorStopped, cpu.IP), 1);
    EXPECT_FALSE(debugStopped());
}

TEST_F(MonitorTest, StopAtBreakpointStepAndContinue) {
    loadCounterProgram();
    session({"b 9008"});
    // The frame returns at the fourth instruction's fetch, with IP on it.
    ASSERT_TRUE(debugRun(1));
    EXPECT_TRUE(framePending());
    EXPECT_EQ(cpu.IP, 0x9008);
    EXPECT_EQ(cpu.TCOUNT, 30u);
    monitorAtStop(script, {"r", "z", "z", "x"});
    EXPECT_EQ(script.opens, 2);
    EXPECT_EQ(script.out, Banner + "Breakpoint reached at 9008.\n"
                                   " 9008 34          inc (hl)\n"
                                   "IP:9008,AF:05FF,BC:0000,DE:0000,HL:A000,R:03|SZ-H-PNC\n"
                                   "IX:0000,IY:0000,SP:F000,I:00,INT:0,NMI:0, FL|11111111\n"
                                   "TCOUNT:000000000000000000000030\n"
                                   " 9008 34          inc (hl)\n"
                                   "IP:9009,AF:0501,BC:0000,DE:0000,HL:A000,R:04|SZ-H-PNC\n"
                                   "IX:0000,IY:0000,SP:F000,I:00,INT:0,NMI:0, FL|00000001\n"
                                   "TCOUNT:000000000000000000000041\n"
                                   " 9009 18 FD       jr 9008h\n"
                                   "IP:9008,AF:0501,BC:0000,DE:0000,HL:A000,R:05|SZ-H-PNC\n"
                                   "IX:0000,IY:0000,SP:F000,I:00,INT:0,NMI:0, FL|00000001\n"
                                   "TCOUNT:000000000000000000000053\n");
    EXPECT_EQ(monitorCurrent, 0x900Bu);
    EXPECT_EQ(MainMemory[0xA000], 6);

    // Going on runs the breakpointed inc where the steps left IP, once and
    // correctly, and the next pass stops again.
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(MainMemory[0xA000], 7);
    EXPECT_EQ(cpu.IP, 0x9008);
    EXPECT_EQ(cpu.TCOUNT, 53u + 11 + 12);
    EXPECT_EQ(cpu.breakRequest, 0u);

    // With the breakpoint removed the frame runs to its end.
    monitorAtStop(script, {"b 9008", "x"});
    EXPECT_EQ(script.opens, 3);
    EXPECT_FALSE(debugRun(1));
    EXPECT_FALSE(framePending());
    EXPECT_NE(MainMemory[0xA000], 7);
    EXPECT_EQ(script.opens, 3);
}

TEST_F(MonitorTest, DisassemblyAfterAStopStartsAtIP) {
    loadCounterProgram();
    session({"d 9000 9001"}); // the current address is elsewhere now
    session({"b 9008"});
    ASSERT_TRUE(debugRun(1));
    monitorAtStop(script, {"d", "x"});
    std::string afterBanner = script.out.substr(Banner.size());
    const std::string stop = "Breakpoint reached at 9008.\n 9008 34          inc (hl)\n";
    ASSERT_EQ(afterBanner.compare(0, stop.size(), stop), 0) << afterBanner;
    EXPECT_EQ(afterBanner.substr(stop.size(), 27), " 9008 34          inc (hl)\n");
}

TEST_F(MonitorTest, GoAtABreakpointResumesAtTheNewAddress) {
    loadCounterProgram();
    // The monitor was open at 9000: the run goes on from there without
    // stopping at once, and stops at 9008.
    session({"b 9000", "b 9008"});
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9008);
    monitorAtStop(script, {"g 9000", "b 9008", "x"});
    // Nor does the breakpoint at 9000 stop the run resumed there.
    debugStepInto();
    ASSERT_TRUE(debugRun(1));
    EXPECT_EQ(cpu.IP, 0x9002);
    for (int i = 0; i < 3; ++i) { // ld (a000h),a / ld hl,a000h / inc (hl)
        debugStepInto();
        ASSERT_TRUE(debugRun(1));
    }
    EXPECT_EQ(MainMemory[0xA000], 6);
    EXPECT_EQ(debugLastStop().reason, DebugStopReason::Step);
}

TEST_F(MonitorTest, StepOverABreakpointWhileOpenDoesNotStopAgain) {
    loadCounterProgram();
    session({"b 9000", "b 9002"});
    EXPECT_EQ(session({"z", "z"}).substr(0, 27), " 9000 3E 05       ld a,05h\n");
    EXPECT_EQ(script.opens, 2); // no second console from the stops
    EXPECT_EQ(cpu.IP, 0x9005);
    EXPECT_EQ(MainMemory[0xA000], 5);
    EXPECT_EQ(monitorCurrent, 0x9005u);
}

TEST_F(MonitorTest, WatchpointsStopAfterTheInstruction) {
    loadCounterProgram();
    session({"b a000 w"});
    ASSERT_TRUE(debugRun(1));
    monitorAtStop(script, {"x"});
    EXPECT_EQ(script.out, Banner + "Watchpoint reached at 9005.\n"
                                   " 9005 21 00 A0    ld hl,a000h\n");
    EXPECT_EQ(MainMemory[0xA000], 5);

    // A read watch: inc (hl) reads A000h.
    session({"b a000 r"});
    ASSERT_TRUE(debugRun(1));
    monitorAtStop(script, {"x"});
    EXPECT_EQ(script.out, Banner + "Watchpoint reached at 9009.\n"
                                   " 9009 18 FD       jr 9008h\n");
    EXPECT_EQ(MainMemory[0xA000], 6);
}

// 9000 call 9100h / 9003 ld b,a / 9004 jr 9004h
// 9100 ld a,01h / 9102 call 9200h / 9105 ret / 9200 inc a / 9201 ret
void loadCallProgram() {
    const uint8_t main[] = {0xCD, 0x00, 0x91, 0x47, 0x18, 0xFE};
    const uint8_t outer[] = {0x3E, 0x01, 0xCD, 0x00, 0x92, 0xC9};
    const uint8_t inner[] = {0x3C, 0xC9};
    std::memcpy(MainMemory + 0x9000, main, sizeof main);
    std::memcpy(MainMemory + 0x9100, outer, sizeof outer);
    std::memcpy(MainMemory + 0x9200, inner, sizeof inner);
    cpu.IP = 0x9000;
    cpu.SP = 0xF000;
}

TEST_F(MonitorTest, StepOverStepOutAndRunTo) {
    loadCallProgram();
    std::string out = session({"n"});
    EXPECT_EQ(out.rfind(" 9003 47          ld b,a\nIP:9003,", 0), 0u) << out;
    EXPECT_EQ(cpu.AF >> 8, 2);
    EXPECT_EQ(monitorCurrent, 0x9003u);

    loadCallProgram();
    out = session({"e 9200", "u", "u"});
    EXPECT_EQ(out.rfind(" 9200 3C          inc a\nIP:9200,", 0), 0u) << out;
    EXPECT_NE(out.find(" 9105 C9          ret\n"), std::string::npos) << out;
    EXPECT_NE(out.find(" 9003 47          ld b,a\n"), std::string::npos) << out;
    EXPECT_EQ(cpu.IP, 0x9003);
    EXPECT_EQ(cpu.SP, 0xF000);

    // A breakpoint on the way is named; a target never reached is reported.
    loadCallProgram();
    out = session({"b 9100", "n", "b 9100", "e 1234", "e", "e 1g"});
    EXPECT_NE(out.find("Breakpoint reached at 9100.\n 9100 3E 01       ld a,01h\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Not there after 1000 frames; the machine is at 9004.\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find("Too few arguments; usage: e <address>\nNot a hexadecimal number: 1g\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(WatchFlags[0x1234], 0u);
}

TEST_F(MonitorTest, TraceShowsFindsAndWritesTheLastInstructions) {
    loadCallProgram();
    EXPECT_EQ(session({"v"}), "Trace off; v + starts it.\n");
    std::string out = session({"v +", "v", "n", "v 3", "v / CALL"});
    EXPECT_EQ(out.rfind("Trace on (0 instructions kept).\nTrace empty.\n"
                        " 9003 47          ld b,a\n",
                        0),
              0u)
        << out;
    const size_t shown = out.find("TCOUNT:");
    ASSERT_NE(shown, std::string::npos);
    const std::string listing = out.substr(out.find('\n', shown) + 1);
    // The last three of the six instructions, registers as they were before
    // each; then the two calls.
    EXPECT_EQ(listing,
              " 9200 3C          inc a                AF=01FF BC=0000 DE=0000 HL=0000 IX=0000 "
              "IY=0000 SP=EFFC\n"
              " 9201 C9          ret                  AF=0201 BC=0000 DE=0000 HL=0000 IX=0000 "
              "IY=0000 SP=EFFC\n"
              " 9105 C9          ret                  AF=0201 BC=0000 DE=0000 HL=0000 IX=0000 "
              "IY=0000 SP=EFFE\n"
              " 9000 CD 00 91    call 9100h           AF=FFFF BC=0000 DE=0000 HL=0000 IX=0000 "
              "IY=0000 SP=F000\n"
              " 9102 CD 00 92    call 9200h           AF=01FF BC=0000 DE=0000 HL=0000 IX=0000 "
              "IY=0000 SP=EFFE\n"
              "2 found.\n");

    const std::string file = path("trace.txt");
    EXPECT_EQ(session({"v w " + file}), "Trace of 6 instructions written to file " + file + ".\n");
    std::ifstream in(file);
    std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 6);
    EXPECT_EQ(written.substr(0, 28), " 9000 CD 00 91    call 9100h");
    EXPECT_EQ(written.substr(written.rfind(" 9105")), debugTraceLine(5) + "\n");
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(session({"v w /dev/full"}),
                  "Error writing to file /dev/full: no space left on device.\n");
    }
    EXPECT_EQ(session({"v w", "v -"}),
              "Too few arguments; usage: v w <name>\nTrace off (6 instructions kept).\n");
}

TEST_F(MonitorTest, TraceRingKeepsTheLastHundredThousand) {
    loadCounterProgram();
    debugTraceOn(true);
    // 100,004 single steps, through the frames' NMIs and the firmware's
    // handler; each step traces the instruction at IP before it.
    std::vector<uint16_t> ran;
    for (int i = 0; i < 100004; ++i) {
        ran.push_back(cpu.IP);
        debugStepInto();
        ASSERT_TRUE(debugRun(2));
    }
    ASSERT_EQ(debugTraceCount(), DebugTraceSize);
    auto addressOf = [](size_t i) { return debugTraceLine(i).substr(1, 4); };
    auto hex = [](uint16_t a) {
        char text[8];
        std::snprintf(text, sizeof text, "%04X", a);
        return std::string(text);
    };
    // The four oldest fell out; the rest are there in order.
    for (size_t i : {size_t{0}, size_t{1}, size_t{4711}, DebugTraceSize - 1})
        EXPECT_EQ(addressOf(i), hex(ran[i + 4])) << i;
    EXPECT_EQ(debugTraceLine(DebugTraceSize), "");
    const size_t jumps = static_cast<size_t>(std::count(ran.begin() + 4, ran.end(), 0x9009));
    EXPECT_GT(jumps, 40000u);
    EXPECT_EQ(debugTraceFind(" 9009 18 FD       JR 9008H").size(), jumps);
    debugTraceOn(false);
}

TEST_F(MonitorTest, BasicLineAndSymbolCommands) {
    EXPECT_EQ(session({"w", "w 20x", "w 99999", "w 20"}), "No BASIC line running (direct mode).\n"
                                                          "Not a BASIC line number: 20x\n"
                                                          "Not a BASIC line number: 99999\n"
                                                          "Stop when BASIC line 20 starts.\n");
    ASSERT_EQ(debugBreakpoints().size(), 1u);
    EXPECT_EQ(debugBreakpoints()[0].basicLine, 20);
    EXPECT_EQ(session({"y " + path("missing.sym")}),
              "Error reading symbol file " + path("missing.sym") + ": cannot be read.\n");
    std::ofstream(path("my.sym")) << "here: equ $9000\nthere EQU 9100h\nnot a symbol\n";
    EXPECT_EQ(session({"y " + path("my.sym")}), "2 symbols read, 1 lines skipped; 2 known.\n");
    const std::string firmware = session({"y"});
    EXPECT_EQ(firmware.find(" lines skipped;"), firmware.find(", 0 lines skipped;") + 3)
        << firmware;
    debugClearSymbols();
    basicRom = BasicRomExternal;
    EXPECT_EQ(session({"w", "w 10"}), "The running BASIC is not the open firmware.\n"
                                      "The running BASIC is not the open firmware.\n");
}

} // namespace
