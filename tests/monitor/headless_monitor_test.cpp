// End to end: the orvane headless runner with --monitor, driven through piped
// standard input. A program loaded from the monitor stops at a breakpoint,
// the registers are shown, two instructions are stepped, memory is changed,
// and the run continues with the program counting on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const std::string Banner = "Type '?' for help, 'x' for exit.\n";

// Runs orvane --monitor in a fresh folder holding a counting program and the
// given monitor input; returns the folder (standard output in out.txt, the
// final memory in memory.bin).
std::filesystem::path runWithScript(const char* name, const std::string& input) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("orvane-headless-monitor-" + std::string(name) + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    {
        // 9000 ld a,05h / ld (a000h),a / ld hl,a000h / 9008 inc (hl) / jr 9008h
        std::ofstream program(folder / "prog.bin", std::ios::binary);
        program.write("\x3E\x05\x32\x00\xA0\x21\x00\xA0\x34\x18\xFD", 11);
        std::ofstream script(folder / "script.txt");
        script << input;
    }
    const std::string command = "cd '" + folder.string() +
                                "' && '" ORVANE_BINARY_DIR
                                "/bin/orvane' --headless --monitor --boot-frames 0 --frames 2"
                                " --dump-memory memory.bin < script.txt > out.txt 2> err.txt";
    EXPECT_EQ(std::system(command.c_str()), 0) << readFile(folder / "err.txt");
    return folder;
}

TEST(HeadlessMonitor, BreakpointRegistersStepMemoryChangeAndContinue) {
    const std::filesystem::path folder =
        runWithScript("step", "l prog.bin 9000\ng 9000\nb 9008\nx\n" // runs to the breakpoint
                              "r\nz\nz\n:a001 77\nm a000 a000\nb 9008\nx\n");
    const std::string& banner = Banner;
    EXPECT_EQ(readFile(folder / "out.txt"),
              banner +
                  "Memory loaded 9000-FFFF from file prog.bin.\n"
                  "Breakpoint(s) at 9008h set.\n" +
                  banner +
                  "Breakpoint reached at 9008.\n"
                  " 9008 34          inc (hl)\n"
                  "IP:9008,AF:05FF,BC:0000,DE:0000,HL:A000,R:03|SZ-H-PNC\n"
                  "IX:0000,IY:0000,SP:FFFF,I:00,INT:0,NMI:0, FL|11111111\n"
                  "TCOUNT:000000000000000000000030\n"
                  " 9008 34          inc (hl)\n"
                  "IP:9009,AF:0501,BC:0000,DE:0000,HL:A000,R:04|SZ-H-PNC\n"
                  "IX:0000,IY:0000,SP:FFFF,I:00,INT:0,NMI:0, FL|00000001\n"
                  "TCOUNT:000000000000000000000041\n"
                  " 9009 18 FD       jr 9008h\n"
                  "IP:9008,AF:0501,BC:0000,DE:0000,HL:A000,R:05|SZ-H-PNC\n"
                  "IX:0000,IY:0000,SP:FFFF,I:00,INT:0,NMI:0, FL|00000001\n"
                  "TCOUNT:000000000000000000000053\n"
                  " A000:  06 77 00 00  00 00 00 00  00 00 00 00  00 :.w...........\n"
                  "Breakpoint(s) at 9008h removed.\n");

    // The run went on: the loop kept counting and the changed byte stayed.
    const std::string memory = readFile(folder / "memory.bin");
    ASSERT_EQ(memory.size(), 65536u);
    EXPECT_EQ(static_cast<uint8_t>(memory[0x9000]), 0x3E);
    EXPECT_NE(static_cast<uint8_t>(memory[0xA000]), 0x06);
    EXPECT_EQ(static_cast<uint8_t>(memory[0xA001]), 0x77);
    std::filesystem::remove_all(folder);
}

TEST(HeadlessMonitor, StopsAfterTheEndOfInputPassSilently) {
    // The input ends at the first stop: the run goes on to its end with the
    // breakpoint still set, reporting only that first stop.
    const std::filesystem::path folder =
        runWithScript("eof", "l prog.bin 9000\ng 9000\nb 9008\nx\n");
    EXPECT_EQ(readFile(folder / "out.txt"), Banner +
                                                "Memory loaded 9000-FFFF from file prog.bin.\n"
                                                "Breakpoint(s) at 9008h set.\n" +
                                                Banner +
                                                "Breakpoint reached at 9008.\n"
                                                " 9008 34          inc (hl)\n");
    const std::string memory = readFile(folder / "memory.bin");
    ASSERT_EQ(memory.size(), 65536u);
    EXPECT_NE(static_cast<uint8_t>(memory[0xA000]), 0x05);
    std::filesystem::remove_all(folder);
}

} // namespace
