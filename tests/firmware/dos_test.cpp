// The Open DOS on the emulated processor, driving the "mo" card and a real
// image file: files in and out both ways with the disk format's own code,
// every refusal, images that are not ours left untouched, and a change cut
// off after any instruction.
#include "basic_session.h"

#include "cpu/z80.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "media/disk_card.h"
#include "media/orvane_disk.h"
#include "tests/support/real_failures.h"
#include "tests/support/run_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint16_t HaltAddress = 0xF0F0;
constexpr uint16_t StackTop = 0xF0E0;
constexpr uint16_t DataArea = 0x9000;

std::map<std::string, uint16_t> readLabels() {
    std::map<std::string, uint16_t> table;
    std::ifstream in(DOS_LABELS_PATH);
    if (!in) throw std::runtime_error("no label file at " DOS_LABELS_PATH);
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':'), dollar = line.find('$');
        if (colon == std::string::npos || dollar == std::string::npos) continue;
        table[line.substr(0, colon)] =
            static_cast<uint16_t>(std::stoul(line.substr(dollar + 1), nullptr, 16));
    }
    return table;
}

uint16_t label(const std::string& name) {
    static const std::map<std::string, uint16_t> labels = readLabels();
    auto it = labels.find(name);
    if (it == labels.end()) throw std::runtime_error("no DOS label " + name);
    return it->second;
}

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string s = all.str();
    return std::vector<uint8_t>(s.begin(), s.end());
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>(seed + i * 5 + (i >> 8));
    return v;
}

class OpenDos : public ::testing::Test {
  protected:
    std::string image = basic_test::scratchPath("dos.dsk").string();

    void SetUp() override {
        basic_test::bootMachine();
        dosRom = DosRomOpen;
        writeBytes(image, FormatOrvaneDisk());
        attach(0, image, true);
    }
    void TearDown() override {
        DetachDrive(0);
        DetachDrive(1);
        std::filesystem::remove(image);
    }

    // Attaches the image; writable opens the card's file for writing too.
    // A drive that is not writable has its write-protect switch on.
    static void attach(unsigned drive, const std::string& path, bool writable) {
        SetDriveWriteProtect(drive, !writable);
        ASSERT_EQ(AttachDiskImage(drive, path), 1);
    }
    // Puts new bytes in the image file, attached afresh (the card's open
    // file would otherwise keep what it read before).
    void replaceImage(const std::vector<uint8_t>& bytes, bool writable = true) {
        DetachDrive(0);
        writeBytes(image, bytes);
        attach(0, image, writable);
    }
    static void flushDrives() {
        for (DiskDrive& d : MoDiskCard().drives)
            if (d.file) std::fflush(d.file);
    }

    static void setName(uint16_t at, const std::string& name) {
        for (size_t i = 0; i < 8; ++i)
            MainMemory[at + i] = static_cast<uint8_t>(i < name.size() ? name[i] : ' ');
    }

    // Starts a DOS entry with the parameter block filled; run() goes on.
    void start(const std::string& entry, unsigned drive, const std::string& name, uint16_t length,
               char kind = 'D', const std::string& newName = "") {
        MainMemory[label("dpdrive")] = static_cast<uint8_t>(drive);
        setName(label("dpname"), name);
        setName(label("dpnew"), newName);
        MainMemory[label("dpkind")] = static_cast<uint8_t>(kind);
        MainMemory[label("dpaddr")] = DataArea & 0xFF;
        MainMemory[label("dpaddr") + 1] = DataArea >> 8;
        MainMemory[label("dplen")] = length & 0xFF;
        MainMemory[label("dplen") + 1] = length >> 8;
        MainMemory[HaltAddress] = 0x76;
        cpu.IFF1 = cpu.IFF2 = 0;
        cpu.NMI = 0;
        cpu.SP = StackTop - 2;
        MainMemory[cpu.SP] = HaltAddress & 0xFF;
        MainMemory[cpu.SP + 1] = HaltAddress >> 8;
        cpu.IP = label(entry);
    }
    // Runs at most maxSteps instructions; true when the entry returned.
    bool run(long maxSteps = 5'000'000) {
        for (long step = 0; step < maxSteps; ++step) {
            if (cpu.IP == HaltAddress) return true;
            execute(1);
        }
        return cpu.IP == HaltAddress;
    }
    // The DOS's answer: 0 for success, else its error code.
    int call(const std::string& entry, unsigned drive, const std::string& name, uint16_t length = 0,
             char kind = 'D', const std::string& newName = "") {
        start(entry, drive, name, length, kind, newName);
        if (!run()) throw std::runtime_error(entry + " does not return");
        EXPECT_EQ(cpu.SP, StackTop) << entry << " left the stack unbalanced";
        flushDrives();
        return (cpu.AF & FlagC) ? cpu.AF >> 8 : 0;
    }
    int save(const std::string& name, const std::vector<uint8_t>& data, char kind = 'D',
             unsigned drive = 0) {
        std::copy(data.begin(), data.end(), MainMemory + DataArea);
        return call("dsave", drive, name, static_cast<uint16_t>(data.size()), kind);
    }
    int load(const std::string& name, std::vector<uint8_t>& data, uint16_t room = 0x4000) {
        int rc = call("dload", 0, name, room);
        uint16_t length = MainMemory[label("dplen")] | MainMemory[label("dplen") + 1] << 8;
        data.assign(MainMemory + DataArea, MainMemory + DataArea + (rc ? 0 : length));
        return rc;
    }
    OrvaneDisk diskNow() {
        OrvaneDisk disk;
        std::string cause;
        EXPECT_EQ(disk.open(fileBytes(image), cause), 1) << cause;
        return disk;
    }
    int code(const char* name) { return label(name); }
};

TEST_F(OpenDos, FilesGoBothWaysBetweenTheDosAndTheFormat) {
    // Written by the DOS, read by the format's code (what orvdisk uses).
    for (size_t n : {0, 1, 254, 255, 3000}) {
        std::string name = "D" + std::to_string(n);
        ASSERT_EQ(save(name, pattern(n, 1), n == 3000 ? 'B' : 'D'), 0) << n;
        OrvaneDisk disk = diskNow();
        std::vector<uint8_t> back;
        std::string cause;
        ASSERT_EQ(disk.read(name, back, cause), 1) << cause;
        EXPECT_EQ(back, pattern(n, 1)) << n;
        EXPECT_TRUE(disk.check().empty()) << n;
    }
    EXPECT_EQ(diskNow().find("D3000")->kind, OrvaneFileKind::Program);

    // Replacing frees the old version: the free space comes back.
    uint32_t freeBefore = diskNow().freeSectors();
    ASSERT_EQ(save("D3000", pattern(100, 2)), 0);
    EXPECT_EQ(diskNow().freeSectors(), freeBefore + 12 - 1);

    // Written by the format's code, read by the DOS.
    OrvaneDisk disk = diskNow();
    std::string cause;
    ASSERT_EQ(disk.write("TOTAL", OrvaneFileKind::Data, pattern(1000, 9), cause), 1);
    replaceImage(disk.image());
    std::vector<uint8_t> back;
    ASSERT_EQ(load("TOTAL", back), 0);
    EXPECT_EQ(back, pattern(1000, 9));
    ASSERT_EQ(load("D255", back), 0);
    EXPECT_EQ(back, pattern(255, 1));

    // Rename and remove.
    EXPECT_EQ(call("drename", 0, "TOTAL", 0, 'D', "SUM"), 0);
    EXPECT_EQ(load("SUM", back), 0);
    EXPECT_EQ(back, pattern(1000, 9));
    EXPECT_EQ(call("dkill", 0, "SUM"), 0);
    EXPECT_FALSE(diskNow().find("SUM"));
    EXPECT_TRUE(diskNow().check().empty());
}

TEST_F(OpenDos, EveryRefusalHasItsCodeAndLeavesTheDiskAsItWas) {
    std::vector<uint8_t> back;
    EXPECT_EQ(load("NOSUCH", back), code("ERRNOTFOUND"));
    EXPECT_EQ(call("dkill", 0, "NOSUCH"), code("ERRNOTFOUND"));
    EXPECT_EQ(call("drename", 0, "NOSUCH", 0, 'D', "X"), code("ERRNOTFOUND"));
    ASSERT_EQ(save("A", pattern(10, 1)), 0);
    ASSERT_EQ(save("B", pattern(10, 2)), 0);
    EXPECT_EQ(call("drename", 0, "A", 0, 'D', "B"), code("ERREXISTS"));
    EXPECT_EQ(load("A", back, 5), code("ERRBIG"));

    // A file larger than the free space: the disk is not touched.
    ASSERT_EQ(save("BIG", std::vector<uint8_t>(0x4000 * 3 / 2, 7)), 0); // 24 KB
    OrvaneDisk disk = diskNow();
    std::string cause;
    std::vector<uint8_t> filler(disk.freeBytes() - 100, 1);
    ASSERT_EQ(disk.write("FILL", OrvaneFileKind::Data, filler, cause), 1);
    replaceImage(disk.image());
    std::vector<uint8_t> before = fileBytes(image);
    EXPECT_EQ(save("MORE", pattern(1000, 3)), code("ERRFULL"));
    EXPECT_EQ(fileBytes(image), before);

    // 64 files: a new name finds no entry, a replacement does.
    OrvaneDisk many;
    ASSERT_EQ(many.open(FormatOrvaneDisk(), cause), 1);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(many.write("N" + std::to_string(i), OrvaneFileKind::Data, {1}, cause), 1);
    replaceImage(many.image());
    before = fileBytes(image);
    EXPECT_EQ(save("NEW", pattern(10, 1)), code("ERRDIRFULL"));
    EXPECT_EQ(fileBytes(image), before);
    EXPECT_EQ(save("N7", pattern(10, 1)), 0);
    EXPECT_TRUE(diskNow().check().empty());

    // No image in DR1:.
    EXPECT_EQ(save("X", pattern(10, 1), 'D', 1), code("ERRNODISK"));

    // A write-protected drive: WRITE PROTECTED, image unchanged.
    DetachDrive(0);
    attach(0, image, false);
    before = fileBytes(image);
    EXPECT_EQ(save("N8", pattern(10, 1)), code("ERRWPROT"));
    EXPECT_EQ(call("dkill", 0, "N9"), code("ERRWPROT"));
    EXPECT_EQ(fileBytes(image), before);
    ASSERT_EQ(load("N7", back), 0) << "reading needs no write";
    EXPECT_EQ(back, pattern(10, 1));
}

TEST_F(OpenDos, ImagesThatAreNotOursAreNeverWritten) {
    std::vector<uint8_t> foreign(163840);
    for (size_t i = 0; i < foreign.size(); ++i)
        foreign[i] = static_cast<uint8_t>(i * 7 + 3);
    replaceImage(foreign);
    uint64_t before = real_failures::checksumOf(image);
    std::vector<uint8_t> back;
    EXPECT_EQ(save("A", pattern(300, 1)), code("ERRNOTOURS"));
    EXPECT_EQ(call("dkill", 0, "A"), code("ERRNOTOURS"));
    EXPECT_EQ(call("drename", 0, "A", 0, 'D', "B"), code("ERRNOTOURS"));
    EXPECT_EQ(load("A", back), code("ERRNOTOURS"));
    EXPECT_EQ(real_failures::checksumOf(image), before);

    // Ours, but with both directory copies damaged: refused as well.
    std::vector<uint8_t> damaged = FormatOrvaneDisk();
    damaged[OrvaneCopyA * 256 + 300] ^= 1;
    damaged[OrvaneCopyB * 256 + 300] ^= 1;
    replaceImage(damaged);
    EXPECT_EQ(save("A", pattern(300, 1)), code("ERRDAMAGED"));
    EXPECT_EQ(fileBytes(image), damaged);
}

// A SAVE that replaces a program, stopped after N instructions for N all
// through it (as a reset or power cut would): the disk always checks sound
// and holds the old program or the new one, whole.
TEST_F(OpenDos, ASaveCutOffAtAnyInstructionKeepsTheOldOrTheNewVersion) {
    ASSERT_EQ(save("KEEP", pattern(700, 4)), 0);
    ASSERT_EQ(save("PROG", pattern(2000, 5), 'B'), 0);
    const std::vector<uint8_t> before = fileBytes(image);

    // How long the whole save runs.
    std::copy_n(pattern(3000, 6).begin(), 3000, MainMemory + DataArea);
    start("dsave", 0, "PROG", 3000, 'B');
    long total = 0;
    while (cpu.IP != HaltAddress) {
        execute(1);
        ++total;
    }
    ASSERT_GT(total, 1000);

    std::vector<long> cuts;
    for (long cut = 0; cut < total; cut += 173)
        cuts.push_back(cut);
    for (long cut = total - 40; cut <= total; ++cut)
        cuts.push_back(cut); // around the header write
    int oldSeen = 0, newSeen = 0;
    for (long cut : cuts) {
        replaceImage(before);
        std::copy_n(pattern(3000, 6).begin(), 3000, MainMemory + DataArea);
        start("dsave", 0, "PROG", 3000, 'B');
        run(cut);
        flushDrives();
        OrvaneDisk disk = diskNow();
        std::vector<std::string> problems = disk.check();
        ASSERT_TRUE(problems.empty()) << "cut after " << cut << ": " << problems[0];
        std::vector<uint8_t> prog, keep;
        std::string cause;
        ASSERT_EQ(disk.read("KEEP", keep, cause), 1) << cut;
        EXPECT_EQ(keep, pattern(700, 4)) << cut;
        ASSERT_EQ(disk.read("PROG", prog, cause), 1) << cut;
        if (prog == pattern(2000, 5))
            ++oldSeen;
        else if (prog == pattern(3000, 6))
            ++newSeen;
        else
            ADD_FAILURE() << "cut after " << cut << ": PROG is neither version";
        // The DOS reads the disk it left, whatever it is.
        std::vector<uint8_t> back;
        ASSERT_EQ(load("PROG", back), 0) << cut;
        EXPECT_EQ(back, prog);
    }
    EXPECT_GT(oldSeen, 10);
    EXPECT_GT(newSeen, 0);
}

} // namespace

namespace {

// SAVE and LOAD with a DRn: device, typed at the BASIC.
class BasicDisk : public OpenDos {
  protected:
    std::vector<std::string> run(const std::string& command, int frames = 400) {
        basic_test::typeAndRun(command + "\r", frames);
        return basic_test::outputOfLastCommand(command.size());
    }
    std::vector<uint8_t> programBytes() {
        uint16_t end = basic_test::peekWord(0xFE1E);
        return std::vector<uint8_t>(MainMemory + 0x8000, MainMemory + end);
    }
};

TEST_F(BasicDisk, SaveAndLoadKeepTheProgramWhole) {
    basic_test::enterProgram({"10 PRINT \"TOTAL\";6*7", "20 FOR I=1 TO 2:PRINT I:NEXT I"});
    const std::vector<uint8_t> program = programBytes();
    EXPECT_EQ(run("SAVE DR0:TOTAL"), std::vector<std::string>{});
    OrvaneDisk disk = diskNow();
    ASSERT_TRUE(disk.find("TOTAL")) << "the name is stored as typed, not as a keyword";
    EXPECT_EQ(disk.find("TOTAL")->kind, OrvaneFileKind::Program);
    std::vector<uint8_t> stored;
    std::string cause;
    ASSERT_EQ(disk.read("TOTAL", stored, cause), 1);
    EXPECT_EQ(stored, program);
    EXPECT_EQ(stored.back(), 0x01);

    run("NEW");
    run("LOAD DR0:TOTAL");
    EXPECT_EQ(programBytes(), program);
    EXPECT_EQ(run("RUN"), (std::vector<std::string>{"TOTAL 42", " 1", " 2"}));

    // A program put on the disk by the format's code (as orvdisk does) loads.
    ASSERT_EQ(disk.write("ABCDEFGH", OrvaneFileKind::Program, program, cause), 1);
    replaceImage(disk.image());
    run("NEW");
    EXPECT_EQ(run("LOAD DR1:ABCDEFGH"), std::vector<std::string>{"NO DISK"});
    run("LOAD DR0:ABCDEFGH");
    EXPECT_EQ(run("RUN"), (std::vector<std::string>{"TOTAL 42", " 1", " 2"}));
}

TEST_F(BasicDisk, ErrorsSayWhatHappenedWithTheLineNumber) {
    EXPECT_EQ(run("LOAD DR0:NOPE"), std::vector<std::string>{"FILE NOT FOUND"});
    basic_test::enterProgram({"10 PRINT 1", "20 LOAD DR0:NOPE"});
    EXPECT_EQ(run("RUN"), (std::vector<std::string>{" 1", "FILE NOT FOUND IN LINE 20"}));
    EXPECT_EQ(run("SAVE DR1:X"), std::vector<std::string>{"NO DISK"});
    EXPECT_EQ(run("SAVE DR2:X"), std::vector<std::string>{"SYNTAX ERROR"});
    EXPECT_EQ(run("SAVE DR0:NINECHARS"), std::vector<std::string>{"SYNTAX ERROR"});

    // A full disk: the program and the disk stay as they were.
    OrvaneDisk disk = diskNow();
    std::string cause;
    ASSERT_EQ(
        disk.write("FILL", OrvaneFileKind::Data, std::vector<uint8_t>(disk.freeBytes(), 1), cause),
        1);
    replaceImage(disk.image());
    std::vector<uint8_t> before = fileBytes(image);
    EXPECT_EQ(run("SAVE DR0:P"), std::vector<std::string>{"DISK FULL"});
    EXPECT_EQ(fileBytes(image), before);

    // Write-protected: the card refuses the write.
    replaceImage(FormatOrvaneDisk(), false);
    before = fileBytes(image);
    EXPECT_EQ(run("SAVE DR0:P"), std::vector<std::string>{"WRITE PROTECTED"});
    EXPECT_EQ(fileBytes(image), before);

    // Not ours: refused, not a byte changed, the program in memory kept.
    std::vector<uint8_t> foreign(163840, 0x5A);
    replaceImage(foreign);
    std::vector<uint8_t> program = programBytes();
    EXPECT_EQ(run("SAVE DR0:P"), std::vector<std::string>{"NOT AN ORVANE DISK"});
    EXPECT_EQ(run("LOAD DR0:P"), std::vector<std::string>{"NOT AN ORVANE DISK"});
    EXPECT_EQ(fileBytes(image), foreign);
    EXPECT_EQ(programBytes(), program);

    // Without the Open DOS in the slot, DR is no device.
    dosRom = DosRomNone;
    EXPECT_EQ(run("SAVE DR0:P"), std::vector<std::string>{"SYNTAX ERROR"});
}

} // namespace

namespace {

class BasicDiskFiles : public BasicDisk {};

TEST_F(BasicDiskFiles, DirKillNameAndRunWorkOnTheDisk) {
    basic_test::enterProgram({"10 PRINT \"RAN\""});
    run("SAVE DR0:FIRST");
    basic_test::enterProgram({"20 PRINT \"TWO\""});
    run("SAVE DR0:FORMAT");
    const uint16_t length = static_cast<uint16_t>(programBytes().size());

    std::vector<std::string> dir = run("DIR");
    ASSERT_EQ(dir.size(), 3u);
    EXPECT_EQ(dir[0].substr(0, 8), "FIRST   ");
    EXPECT_NE(dir[0].find("PROGRAM"), std::string::npos);
    EXPECT_EQ(dir[1], "FORMAT   PROGRAM " + std::to_string(length));
    EXPECT_EQ(dir[2], std::to_string(diskNow().freeSectors()) + " SECTORS FREE");
    EXPECT_EQ(run("DIR DR1:"), std::vector<std::string>{"NO DISK"});

    EXPECT_EQ(run("NAME DR0:FIRST AS ONE"), std::vector<std::string>{});
    EXPECT_TRUE(diskNow().find("ONE"));
    EXPECT_FALSE(diskNow().find("FIRST"));
    EXPECT_EQ(run("NAME DR0:ONE AS FORMAT"), std::vector<std::string>{"FILE EXISTS"});
    EXPECT_EQ(run("NAME DR0:ONE TO TWO"), std::vector<std::string>{"SYNTAX ERROR"});

    run("NEW");
    EXPECT_EQ(run("RUN DR0:ONE"), std::vector<std::string>{"RAN"});

    EXPECT_EQ(run("KILL DR0:ONE"), std::vector<std::string>{});
    EXPECT_FALSE(diskNow().find("ONE"));
    EXPECT_TRUE(diskNow().check().empty());
    basic_test::enterProgram({"10 KILL DR0:ONE"});
    EXPECT_EQ(run("RUN"), std::vector<std::string>{"FILE NOT FOUND IN LINE 10"});
}

} // namespace

namespace {

// Data files: PREPARE, OPEN, PRINT #, INPUT #, GET #, EOF, CLOSE, typed at
// the BASIC and checked on the image with the format's own code.
class BasicDataFiles : public BasicDisk {
  protected:
    // The file's bytes as the disk holds them now, "<cause>" when it cannot.
    std::string dataOf(const std::string& name) {
        std::vector<uint8_t> bytes;
        std::string cause;
        OrvaneDisk disk = diskNow();
        if (disk.read(name, bytes, cause) != 1) return "<" + cause + ">";
        return std::string(bytes.begin(), bytes.end());
    }
    void expectSound() {
        std::vector<std::string> problems = diskNow().check();
        EXPECT_TRUE(problems.empty()) << problems[0];
    }
    std::vector<std::string> runLines(const std::vector<std::string>& lines, int frames = 3000) {
        run("NEW");
        basic_test::enterProgram(lines);
        return run("RUN", frames);
    }
};

TEST_F(BasicDataFiles, WhatPrintWritesInputAndGetReadBack) {
    std::vector<std::string> out = runLines({
        "10 PREPARE #1,\"DR0:SCORES\"",
        "20 FOR I=1 TO 40:PRINT #1,I;\",\";I*I;\",\";\"ROW\";I:NEXT I",
        "30 PRINT #1,CHR$(34);\"A, B\";CHR$(34);\",\";-2.5",
        "40 CLOSE #1",
        "50 OPEN #2,\"DR0:SCORES\":S=0",
        "60 FOR I=1 TO 40:INPUT #2,A,B,C$:S=S+A+B:IF C$<>\"ROW\"+STR$(I) THEN PRINT \"BAD\";I",
        "70 NEXT I:INPUT #2,Q$,X:PRINT S;Q$;X;EOF(2)",
        "80 CLOSE #2:OPEN #3,\"DR0:SCORES\":N=0",
        "90 WHILE EOF(3)=0:GET #3,C:N=N+1:T=T+C:WEND:PRINT N;T:CLOSE",
    });
    // 40 rows of " i , i*i ,ROWi" cross sector boundaries; a quoted answer
    // keeps its comma.
    std::string expected;
    long sum = 0, total = 0;
    for (int i = 1; i <= 40; ++i) {
        expected += " " + std::to_string(i) + " , " + std::to_string(i * i) + " ,ROW " +
                    std::to_string(i) + " \r";
        sum += i + i * i;
    }
    expected += "\"A, B\",-2.5 \r";
    for (unsigned char c : expected)
        total += c;
    std::string disk = dataOf("SCORES");
    ASSERT_GT(disk.size(), 254u * 2);
    EXPECT_EQ(disk, expected);
    EXPECT_EQ(diskNow().find("SCORES")->kind, OrvaneFileKind::Data);
    ASSERT_EQ(out.size(), 2u) << out[0];
    EXPECT_EQ(out[0], " " + std::to_string(sum) + " A, B-2.5 -1");
    EXPECT_EQ(out[1], " " + std::to_string(disk.size()) + "  " + std::to_string(total));
    expectSound();

    // PRINT # takes USING as PRINT does.
    runLines({"10 PREPARE #1,\"DR0:USING\":PRINT #1,USING \"##.#\";3.14159;2:CLOSE"});
    EXPECT_EQ(dataOf("USING"), " 3.1 2.0\r");

    // LINE INPUT # takes whole lines, commas and quotes included.
    EXPECT_EQ(runLines({"10 OPEN #1,\"DR0:SCORES\":LINE INPUT #1,L$:PRINT L$;\"*\"",
                        "20 FOR I=2 TO 40:LINE INPUT #1,L$:NEXT I",
                        "30 LINE INPUT #1,L$:PRINT L$;EOF(1):LINE INPUT #1,L"}),
              (std::vector<std::string>{" 1 , 1 ,ROW 1 *", "\"A, B\",-2.5 -1",
                                        "TYPE MISMATCH IN LINE 30"}));

    // An empty file: EOF at once, INPUT # finds no line.
    EXPECT_EQ(runLines({"10 PREPARE #1,\"DR0:E\":CLOSE #1:OPEN #1,\"DR0:E\":PRINT EOF(1)",
                        "20 INPUT #1,A"}),
              (std::vector<std::string>{"-1", "END OF FILE IN LINE 20"}));
    EXPECT_EQ(dataOf("E"), "");
    expectSound();
}

TEST_F(BasicDataFiles, SeveralFilesAtOnceAndAReplacementOnlyAtClose) {
    run("PREPARE #1,\"DR0:OLD\":PRINT #1,\"OLD VERSION\":CLOSE");
    run("PREPARE #1,\"DR0:SRC\":PRINT #1,\"SOURCE\":CLOSE");
    ASSERT_EQ(dataOf("OLD"), "OLD VERSION\r");
    // Two files written in turns, while a third is read: each gets its
    // own lines, and the old version stays until its CLOSE.
    basic_test::enterProgram({
        "10 OPEN #3,\"DR0:SRC\":PREPARE #1,\"DR0:ODD\":PREPARE #2,\"DR0:OLD\"",
        "20 FOR I=1 TO 150:PRINT #2+(I MOD 2=1),I:NEXT I",
        "30 INPUT #3,A$:PRINT A$:STOP",
        "40 CLOSE #1:CLOSE #2",
    });
    EXPECT_EQ(run("RUN", 3000), (std::vector<std::string>{"SOURCE", "STOP IN LINE 30"}));
    // STOP ends the program: its files are closed, the new OLD replaces the old.
    std::string odd, even;
    for (int i = 1; i <= 150; ++i)
        (i % 2 ? odd : even) += " " + std::to_string(i) + " \r";
    EXPECT_EQ(dataOf("ODD"), odd);
    EXPECT_EQ(dataOf("OLD"), even);
    expectSound();

    // Before CLOSE, the disk holds the old version; a KILL, SAVE or second
    // PREPARE of the open name is refused.
    basic_test::enterProgram({"10 REM A PROGRAM SAVED WHILE A FILE IS WRITTEN"});
    const std::vector<uint8_t> program = programBytes();
    run("PREPARE #1,\"DR0:OLD\":PRINT #1,\"NEW\"");
    EXPECT_EQ(dataOf("OLD"), even);
    EXPECT_EQ(run("PREPARE #2,\"DR0:OLD\""), std::vector<std::string>{"FILE ALREADY OPEN"});
    EXPECT_EQ(run("KILL DR0:OLD"), std::vector<std::string>{"FILE ALREADY OPEN"});
    EXPECT_EQ(run("SAVE DR0:OLD"), std::vector<std::string>{"FILE ALREADY OPEN"});
    EXPECT_EQ(run("OPEN #1,\"DR0:ODD\""), std::vector<std::string>{"FILE ALREADY OPEN"});
    EXPECT_EQ(run("OPEN #2,\"DR0:OLD\""), std::vector<std::string>{"FILE ALREADY OPEN"})
        << "its close would free the sectors a reader reads";
    EXPECT_EQ(run("OPEN #2,\"DR0:ODD\":OPEN #3,\"DR0:ODD\":INPUT #2,A:INPUT #3,B:PRINT A;B"),
              std::vector<std::string>{" 1  1"})
        << "two readers of one file";
    expectSound();
    // Other changes meanwhile take none of the open file's sectors.
    run("FOR I=1 TO 300:PRINT #1,\"MORE\";I:NEXT I");
    EXPECT_EQ(run("SAVE DR0:PROG"), std::vector<std::string>{});
    EXPECT_EQ(run("KILL DR0:ODD"), std::vector<std::string>{"FILE ALREADY OPEN"});
    EXPECT_EQ(run("CLOSE #2,#3:KILL DR0:ODD"), std::vector<std::string>{});
    EXPECT_EQ(dataOf("OLD"), even);
    expectSound();
    run("CLOSE");
    std::string more = "NEW\r";
    for (int i = 1; i <= 300; ++i)
        more += "MORE " + std::to_string(i) + " \r";
    EXPECT_EQ(dataOf("OLD"), more);
    EXPECT_EQ(dataOf("PROG"), std::string(program.begin(), program.end()));
    EXPECT_EQ(run("PRINT #1,1"), std::vector<std::string>{"FILE NOT OPEN"});
    expectSound();
}

TEST_F(BasicDataFiles, EndNewRunErrorsAndBreakCloseKeepingWhatWasWritten) {
    // Ended by END, by running off its last line, by an error, by BREAK.
    EXPECT_EQ(runLines({"10 PREPARE #1,\"DR0:A\":PRINT #1,\"ONE\":END"}),
              std::vector<std::string>{});
    EXPECT_EQ(dataOf("A"), "ONE\r");
    EXPECT_EQ(runLines({"10 PREPARE #2,\"DR0:B\":PRINT #2,\"TWO\";"}), std::vector<std::string>{});
    EXPECT_EQ(dataOf("B"), "TWO");
    EXPECT_EQ(runLines({"10 PREPARE #3,\"DR0:C\"", "20 FOR I=1 TO 300:PRINT #3,I:NEXT I",
                        "30 PRINT 1/0"}),
              std::vector<std::string>{"DIVISION BY ZERO IN LINE 30"});
    std::string lines;
    for (int i = 1; i <= 300; ++i)
        lines += " " + std::to_string(i) + " \r";
    EXPECT_EQ(dataOf("C"), lines);
    expectSound();

    run("NEW");
    basic_test::enterProgram({"10 PREPARE #1,\"DR0:D\"", "20 I=I+1:PRINT #1,\"LINE\";I:GOTO 20"});
    basic_test::typeAndRun("RUN\r", 30);
    basic_test::pressBreak();
    basic_test::runFrames(20);
    ASSERT_TRUE(basic_test::atPrompt());
    std::string broken = dataOf("D");
    ASSERT_GT(broken.size(), 254u) << "the program ran a while";
    std::string whole;
    for (int i = 1; whole.size() < broken.size(); ++i)
        whole += "LINE " + std::to_string(i) + " \r";
    EXPECT_EQ(broken, whole.substr(0, broken.size())) << "every byte printed before BREAK";
    expectSound();

    // Opened at the prompt, the file stays open across commands; NEW, RUN
    // and LOAD close it.
    run("PREPARE #1,\"DR0:E\":PRINT #1,\"TWO\";:CLOSE");
    for (const char* closer : {"NEW", "RUN", "LOAD DR0:P"}) {
        run("NEW");
        basic_test::enterProgram({"10 REM"});
        run("SAVE DR0:P");
        run("PREPARE #1,\"DR0:E\"");
        run("PRINT #1,\"X\";");
        run("PRINT #1,\"Y\"");
        EXPECT_EQ(dataOf("E"), "TWO") << "still the old version before " << closer;
        run(closer);
        EXPECT_EQ(dataOf("E"), "XY\r") << closer;
        run("PREPARE #1,\"DR0:E\":PRINT #1,\"TWO\";:CLOSE");
    }
    expectSound();
}

TEST_F(BasicDataFiles, ErrorsSayWhatHappenedWithTheLineNumber) {
    auto inLine = [this](const std::string& statement) {
        std::vector<std::string> out = runLines({"10 " + statement});
        return out.empty() ? std::string("<nothing>") : out.back();
    };
    EXPECT_EQ(inLine("OPEN #1,\"DR0:NOPE\""), "FILE NOT FOUND IN LINE 10");
    EXPECT_EQ(inLine("OPEN #1,\"DR1:NOPE\""), "NO DISK IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #1,\"DR1:X\""), "NO DISK IN LINE 10");
    EXPECT_EQ(inLine("PRINT #2,1"), "FILE NOT OPEN IN LINE 10");
    EXPECT_EQ(inLine("INPUT #3,A"), "FILE NOT OPEN IN LINE 10");
    EXPECT_EQ(inLine("GET #1,A"), "FILE NOT OPEN IN LINE 10");
    EXPECT_EQ(inLine("PRINT EOF(1)"), "FILE NOT OPEN IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #1,\"DR0:W\":INPUT #1,A"), "FILE NOT OPEN IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #1,\"DR0:W\":OPEN #1,\"DR0:W\""), "FILE ALREADY OPEN IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #1,\"DR0:W\":PREPARE #2,\"DR0:W\""), "FILE ALREADY OPEN IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #4,\"DR0:W\""), "BAD ARGUMENT IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #0,\"DR0:W\""), "BAD ARGUMENT IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #1,\"DR0:TOOLONGNAME\""), "SYNTAX ERROR IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #1,\"CAS:X\""), "SYNTAX ERROR IN LINE 10");
    EXPECT_EQ(inLine("PREPARE #1,5"), "TYPE MISMATCH IN LINE 10");
    EXPECT_EQ(inLine("N$=\"W\":PREPARE #1,\"DR0:\"+N$:PRINT #1,\"A\":CLOSE:OPEN #1,\"DR0:W\":"
                     "INPUT #1,A"),
              "TYPE MISMATCH IN LINE 10");
    EXPECT_EQ(inLine("OPEN #1,\"DR0:W\":GET #1,A$:GET #1,A$:GET #1,A$"), "END OF FILE IN LINE 10");
    EXPECT_EQ(runLines({"10 ON ERROR GOTO 30", "20 OPEN #1,\"DR0:NOPE\"", "30 PRINT ERR;ERL"}),
              std::vector<std::string>{" 27  20"})
        << "the disk's errors are trapped";

    // A close the disk refuses: reported, the old version kept, the channel
    // free again.
    run("PREPARE #1,\"DR0:W\":PRINT #1,\"NEW\"");
    SetDriveWriteProtect(0, true);
    EXPECT_EQ(run("CLOSE"), std::vector<std::string>{"WRITE PROTECTED"});
    SetDriveWriteProtect(0, false);
    EXPECT_EQ(dataOf("W"), "A\r");
    EXPECT_EQ(run("PRINT #1,1"), std::vector<std::string>{"FILE NOT OPEN"});
    expectSound();

    // A full disk: what fitted is kept, and the disk checks sound.
    {
        OrvaneDisk disk = diskNow();
        std::string cause;
        ASSERT_EQ(disk.write("FILL", OrvaneFileKind::Data,
                             std::vector<uint8_t>(disk.freeBytes() - 3 * 254, 1), cause),
                  1);
        replaceImage(disk.image());
    }
    EXPECT_EQ(runLines({"10 PREPARE #1,\"DR0:BIG\"", "20 FOR I=1 TO 1000:PRINT #1,\"1234567\"",
                        "30 NEXT I"}),
              std::vector<std::string>{"DISK FULL IN LINE 20"});
    EXPECT_EQ(dataOf("BIG"), [] {
        std::string s;
        while (s.size() < 3 * 254)
            s += "1234567\r";
        return s.substr(0, 3 * 254);
    }());
    expectSound();

    // 64 files: no entry for a new name.
    {
        OrvaneDisk many;
        std::string cause;
        ASSERT_EQ(many.open(FormatOrvaneDisk(), cause), 1);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(many.write("N" + std::to_string(i), OrvaneFileKind::Data, {'1', 13}, cause),
                      1);
        replaceImage(many.image());
    }
    std::vector<uint8_t> before = fileBytes(image);
    EXPECT_EQ(inLine("PREPARE #1,\"DR0:NEW\""), "DIRECTORY FULL IN LINE 10");
    EXPECT_EQ(fileBytes(image), before);

    // Write-protected, and a disk that is not ours: refused at PREPARE, the
    // image unchanged.
    DetachDrive(0);
    attach(0, image, false);
    EXPECT_EQ(inLine("PREPARE #1,\"DR0:N3\""), "WRITE PROTECTED IN LINE 10");
    EXPECT_EQ(inLine("OPEN #1,\"DR0:N3\":INPUT #1,A:PRINT A"), " 1");
    EXPECT_EQ(fileBytes(image), before);
    std::vector<uint8_t> foreign(163840, 0x5A);
    replaceImage(foreign);
    EXPECT_EQ(inLine("PREPARE #1,\"DR0:X\""), "NOT AN ORVANE DISK IN LINE 10");
    EXPECT_EQ(inLine("OPEN #1,\"DR0:X\""), "NOT AN ORVANE DISK IN LINE 10");
    EXPECT_EQ(fileBytes(image), foreign);
}

// A program that replaces a data file, stopped after N instructions for N
// all through it (as a reset or a power cut would): the disk always checks
// sound and holds the old file or the new one, whole.
TEST_F(BasicDataFiles, AWriteCutOffAtAnyInstructionKeepsTheOldOrTheNewVersion) {
    run("PREPARE #1,\"DR0:KEEP\":PRINT #1,\"KEEP ME\":CLOSE");
    run("PREPARE #1,\"DR0:DATA\":PRINT #1,\"OLD\":CLOSE");
    run("NEW");
    basic_test::enterProgram({"10 PREPARE #1,\"DR0:DATA\"",
                              "20 FOR I=1 TO 60:PRINT #1,\"RECORD\";I:NEXT I", "30 CLOSE #1"});
    std::string newVersion;
    for (int i = 1; i <= 60; ++i)
        newVersion += "RECORD " + std::to_string(i) + " \r";
    flushDrives();
    const std::vector<uint8_t> before = fileBytes(image);
    const std::vector<uint8_t> memory(MainMemory, MainMemory + 65536);
    const Z80Cpu saved = cpu;
    auto startRun = [&] {
        std::copy(memory.begin(), memory.end(), MainMemory);
        cpu = saved;
        cpu.IFF1 = cpu.IFF2 = 0;
        cpu.NMI = 0;
        cpu.SP = label("stacktop");
        cpu.HL = label("progbase");
        cpu.IP = label("runline");
    };

    // How long the whole run takes: until the program ends at the prompt.
    startRun();
    long total = 0;
    while (cpu.IP != label("warm") && total < 50'000'000) {
        execute(1);
        ++total;
    }
    ASSERT_EQ(cpu.IP, label("warm"));
    flushDrives();
    ASSERT_EQ(dataOf("DATA"), newVersion);

    std::vector<long> cuts;
    for (long cut = 0; cut < total; cut += total / 300)
        cuts.push_back(cut);
    for (long cut = total - 60; cut <= total; ++cut)
        cuts.push_back(cut); // around the directory's header
    int oldSeen = 0, newSeen = 0;
    for (long cut : cuts) {
        replaceImage(before);
        startRun();
        for (long step = 0; step < cut; ++step)
            execute(1);
        flushDrives();
        OrvaneDisk disk = diskNow();
        std::vector<std::string> problems = disk.check();
        ASSERT_TRUE(problems.empty()) << "cut after " << cut << ": " << problems[0];
        ASSERT_EQ(dataOf("KEEP"), "KEEP ME\r") << cut;
        std::string data = dataOf("DATA");
        if (data == "OLD\r")
            ++oldSeen;
        else if (data == newVersion)
            ++newSeen;
        else
            ADD_FAILURE() << "cut after " << cut << ": DATA is neither version";
    }
    EXPECT_GT(oldSeen, 100);
    EXPECT_GT(newSeen, 0);
}

// What a program writes, the host tool lists as DATA and gives back as text
// lines, and a file the tool puts is read by INPUT #.
TEST_F(BasicDataFiles, OrvdiskListsGetsAndPutsWhatTheBasicReadsAndWrites) {
    runLines({"10 PREPARE #1,\"DR0:TOTALS\"", "20 FOR I=1 TO 3:PRINT #1,\"ROW\";I;\",\";I*2:NEXT I",
              "30 PRINT #1,\"LAST\";"});
    flushDrives();
    const std::string tool = std::string(ORVANE_BINARY_DIR) + "/bin/orvdisk ";
    std::string out;
    ASSERT_EQ(runCommand(tool + "ls " + image, &out), 0);
    EXPECT_NE(out.find("TOTALS   DATA"), std::string::npos) << out;
    ASSERT_EQ(runCommand(tool + "get " + image + " TOTALS -", &out), 0);
    EXPECT_EQ(out, "ROW 1 , 2 \nROW 2 , 4 \nROW 3 , 6 \nLAST");
    ASSERT_EQ(runCommand(tool + "check " + image), 0);

    const std::string text = basic_test::scratchPath("in.txt").string();
    writeBytes(text, {'7', ',', 'S', 'E', 'V', 'E', 'N', '\n', '8', '\n'});
    DetachDrive(0);
    ASSERT_EQ(runCommand(tool + "put " + image + " " + text + " IN"), 0);
    std::filesystem::remove(text);
    attach(0, image, true);
    EXPECT_EQ(runLines({"10 OPEN #1,\"DR0:IN\":INPUT #1,A,B$,C:PRINT A+C;B$;EOF(1)"}),
              std::vector<std::string>{" 15 SEVEN-1"});
}

// The host refuses the image's writes part way through a file (its stream
// is one opened for reading): the card's error stops the writing, the close
// that follows fails as well, and the disk keeps the old version, sound.
TEST_F(BasicDataFiles, AWriteTheHostRefusesKeepsTheOldVersion) {
    run("PREPARE #1,\"DR0:LOG\":PRINT #1,\"OLD\":CLOSE");
    run("PREPARE #1,\"DR0:LOG\":PRINT #1,\"PART\"");
    DiskDrive& drive = MoDiskCard().drives[0];
    std::FILE* readOnly = std::fopen(image.c_str(), "rb");
    ASSERT_NE(readOnly, nullptr);
    std::FILE* writable = drive.file;
    drive.file = readOnly;
    EXPECT_EQ(run("FOR I=1 TO 100:PRINT #1,I:NEXT I", 1000),
              std::vector<std::string>{"WRITE PROTECTED"});
    EXPECT_EQ(run("CLOSE"), std::vector<std::string>{"WRITE PROTECTED"});
    drive.file = writable;
    std::fclose(readOnly);
    EXPECT_EQ(dataOf("LOG"), "OLD\r");
    expectSound();
    EXPECT_EQ(run("PRINT #1,1"), std::vector<std::string>{"FILE NOT OPEN"});
    run("PREPARE #1,\"DR0:LOG\":PRINT #1,\"NEW\":CLOSE");
    EXPECT_EQ(dataOf("LOG"), "NEW\r") << "the disk works on once the host writes again";
}

// Another disk put in the drive while a file is written: the sectors the
// file has taken may hold that disk's files, so nothing more of it is
// written there, and the other disk stays byte for byte as it was.
TEST_F(BasicDataFiles, AnotherDiskInTheDriveIsNeverWrittenOver) {
    run("PREPARE #1,\"DR0:LOG\":PRINT #1,\"START\"");
    OrvaneDisk other;
    std::string cause;
    ASSERT_EQ(other.open(FormatOrvaneDisk(), cause), 1);
    ASSERT_EQ(other.write("OTHER", OrvaneFileKind::Data, pattern(3000, 3), cause), 1);
    replaceImage(other.image());
    EXPECT_EQ(run("FOR I=1 TO 100:PRINT #1,I:NEXT I", 1000),
              std::vector<std::string>{"DISK CHANGED"});
    EXPECT_EQ(run("CLOSE"), std::vector<std::string>{"DISK CHANGED"});
    EXPECT_EQ(fileBytes(image), other.image());
    EXPECT_EQ(run("PRINT #1,1"), std::vector<std::string>{"FILE NOT OPEN"});
}

} // namespace
