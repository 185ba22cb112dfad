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
// 9000 ld a,05h / ld (a000h),a / ld hl,a000h / 9008 inc (hl) / jr 9008h
const std::string Counter("\x3E\x05\x32\x00\xA0\x21\x00\xA0\x34\x18\xFD", 11);

std::filesystem::path runWithScript(const char* name, const std::string& input,
                                    const std::string& code = Counter, int frames = 2) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("orvane-headless-monitor-" + std::string(name) + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    {
        std::ofstream program(folder / "prog.bin", std::ios::binary);
        program.write(code.data(), static_cast<std::streamsize>(code.size()));
        std::ofstream script(folder / "script.txt");
        script << input;
    }
    const std::string command =
        "cd '" + folder.string() +
        "' && '" ORVANE_BINARY_DIR "/bin/orvane' --headless --monitor --boot-frames 0 --frames " +
        std::to_string(frames) + " --dump-memory memory.bin < script.txt > out.txt 2> err.txt";
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

TEST(HeadlessMonitor, GoesBackToTheWriterAndStepsBackFromAScript) {
    // 9000 ld hl,a000h / 9003 inc (hl) / ld bc,0 / 9007 dec bc / ld a,b / or c /
    // jr nz,9007h / 900C jr 9003h: one write, then half a second of delay.
    const std::string writer("\x21\x00\xA0\x34\x01\x00\x00\x0B\x78\xB1\x20\xFB\x18\xF5", 14);
    const std::filesystem::path folder =
        runWithScript("back",
                      "l prog.bin 9000\ng 9000\nb 900c\nx\n" // runs to the breakpoint
                      "m a000 a000\n< w a000\nm a000 a000\n< b\n<\n< f 99999\n< q\nx\n",
                      writer, 60);
    const std::string out = readFile(folder / "out.txt");
    auto after = [&](const std::string& text, size_t from) {
        const size_t at = out.find(text, from);
        EXPECT_NE(at, std::string::npos) << "no \"" << text << "\" in:\n" << out;
        return at == std::string::npos ? from : at + text.size();
    };
    size_t at = after("Breakpoint reached at 900C.\n", 0);
    at = after(" A000:  01 ", at);
    at = after("A000h was written by the instruction at 9003h at T-state ", at);
    at = after(" (00h to 01h); stopped before it.\n 9003 34          inc (hl)\nIP:9003,", at);
    at = after(" A000:  00 ", at);
    at = after("No breakpoint was reached in the recorded history.\n", at);
    at =
        after("Back to 9000h at T-state 0 (frame 0).\n 9000 21 00 A0    ld hl,a000h\nIP:9000,", at);
    at = after("Not recorded that far back.\n", at);
    after("Unknown syntax.\n", at);

    // Resumed from there, the program wrote its byte again.
    const std::string memory = readFile(folder / "memory.bin");
    ASSERT_EQ(memory.size(), 65536u);
    EXPECT_NE(static_cast<uint8_t>(memory[0xA000]), 0x00);
    std::filesystem::remove_all(folder);
}

} // namespace
