// Save states in one process: a resumed run matches the uninterrupted one in
// both timing modes, with typing, sound and a playing tape under way; every
// refused state leaves the machine as it was; missing files are reported and
// the rest of the state still loads; power-on leaves nothing of a run behind.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <sys/stat.h>

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"
#include "machine/sound_chip.h"
#include "media/disk_card.h"
#include "media/tape_deck.h"
#include "tests/state/state_machine.h"

namespace {

using namespace state_test;

// A program that keeps the screen, the variables and the sound chip busy.
const char* const Program = "10 FOR I=1 TO 500\r20 PRINT I;I*I;\r30 OUT 6,I AND 255\r"
                            "40 NEXT I\rRUN\r";

class SaveState : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        cycleBasedFrames = GetParam();
        bootMachine();
    }
    void TearDown() override {
        CloseTape();
        cycleBasedFrames = false;
    }
};

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// Offset of a section's header (tag) in the state.
size_t sectionAt(const std::vector<uint8_t>& b, const char* tag) {
    for (size_t at = 20; at + 12 <= b.size(); at += 12 + le32(b, at + 8))
        if (std::memcmp(b.data() + at, tag, 4) == 0) return at;
    return 0;
}

void expectSameRun(const RunResult& resumed, const RunResult& straight) {
    EXPECT_TRUE(resumed.memory == straight.memory) << "memory differs";
    EXPECT_TRUE(resumed.picture == straight.picture) << "picture differs";
    EXPECT_TRUE(resumed.state == straight.state) << "machine state differs";
}

// Saved halfway through typing the program: the queue, the keyboard
// interrupt and the program's output all carry on as before.
TEST_P(SaveState, ResumedRunMatchesTheUninterruptedRun) {
    typeText(Program);
    runFrames(1); // the firmware takes the whole text in two frames
    ASSERT_TRUE(typingInProgress());
    std::vector<uint8_t> saved;
    saveState(saved);
    RunResult straight = runFrames(150);

    // Something else happens in between.
    keyPressed('A');
    runFrames(7);
    std::string message;
    ASSERT_TRUE(loadState(saved, message)) << message;
    EXPECT_EQ(message, "");
    RunResult resumed = runFrames(150);
    expectSameRun(resumed, straight);
    EXPECT_NE(straight.memory, RunResult{}.memory);
}

TEST_P(SaveState, PlayingTapeGoesOnFromTheSavedPlace) {
    Scratch scratch;
    std::string wav = scratch.path("square.wav");
    writeFile(wav, squareWav(3, 37));
    OpenTapeForReading(wav);
    SetTapeMotor(1, cpu.TCOUNT);
    runFrames(25);
    std::vector<uint8_t> saved;
    saveState(saved);
    RunResult straight = runFrames(40);
    uint64_t offset = TapeReadOffset();
    uint64_t position = tapeDeck.position;

    CloseTape();
    runFrames(3);
    std::string message;
    ASSERT_TRUE(loadState(saved, message)) << message;
    ASSERT_NE(tapeDeck.file, nullptr);
    EXPECT_EQ(tapeDeck.path, wav);
    RunResult resumed = runFrames(40);
    expectSameRun(resumed, straight);
    EXPECT_EQ(TapeReadOffset(), offset);
    EXPECT_EQ(tapeDeck.position, position);
    if (GetParam()) {
        EXPECT_GT(position, 44u) << "the cycle-based driver samples the tape";
    }
}

INSTANTIATE_TEST_SUITE_P(TimingModes, SaveState, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "CycleBased" : "Fast"; });

// ---------------------------------------------------------------- refusals

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
// Makes size and CRC fit the body again, as a careful forger would.
void reseal(std::vector<uint8_t>& b) {
    put32(b, 12, static_cast<uint32_t>(b.size() - 20));
    put32(b, 16, crc32(b.data() + 20, b.size() - 20));
}
struct Corruption {
    const char* name;
    void (*apply)(std::vector<uint8_t>&);
    const char* message;
};

const Corruption Corruptions[] = {
    {"Empty", [](auto& b) { b.clear(); }, "Not an Orvane save state"},
    {"OtherFile", [](auto& b) { b[0] = 'X'; }, "Not an Orvane save state"},
    {"NewerVersion", [](auto& b) { put32(b, 8, SaveStateVersion + 1); }, "newer version"},
    {"Truncated", [](auto& b) { b.resize(b.size() - 1); }, "wrong size"},
    {"Extended", [](auto& b) { b.push_back(0); }, "wrong size"},
    {"FlippedBit", [](auto& b) { b[b.size() / 2] ^= 0x10; }, "CRC-32"},
    {"NewerSection",
     [](auto& b) {
         put32(b, sectionAt(b, "SND ") + 4, 99);
         reseal(b);
     },
     "SND section comes from a newer version"},
    {"SectionPastEnd",
     [](auto& b) {
         put32(b, sectionAt(b, "DISK") + 8, 0x7FFFFFFF);
         reseal(b);
     },
     "runs past its end"},
    {"MissingSection",
     [](auto& b) {
         b.resize(sectionAt(b, "DISK"));
         reseal(b);
     },
     "no DISK section"},
    {"TypingCountsDisagree",
     [](auto& b) {
         // KEYB: latch, 256 key flags, text length and text, steps, index.
         size_t at = sectionAt(b, "KEYB") + 12 + 1 + 256;
         size_t steps = at + 4 + le32(b, at);
         put32(b, steps, le32(b, steps) + 2);
         reseal(b);
     },
     "KEYB section does not decode"},
    {"CardIndexOutOfBuffer",
     [](auto& b) {
         size_t at = sectionAt(b, "DISK") + 12;
         for (int i = 0; i < DiskDrivesPerCard; i++)
             at += 4 + le32(b, at);
         put32(b, at + 4 + 6, 300); // the first card's receive index
         reseal(b);
     },
     "DISK section does not decode"},
};

class RefusedState : public ::testing::TestWithParam<Corruption> {};

TEST_P(RefusedState, LeavesTheMachineUntouched) {
    cycleBasedFrames = false;
    bootMachine();
    typeText(Program);
    runFrames(10);
    std::vector<uint8_t> state;
    saveState(state);
    GetParam().apply(state);
    runFrames(5);
    std::vector<uint8_t> before, after;
    saveState(before);
    std::string message;
    EXPECT_FALSE(loadState(state, message));
    EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
    saveState(after);
    EXPECT_TRUE(before == after);
}

INSTANTIATE_TEST_SUITE_P(Corruptions, RefusedState, ::testing::ValuesIn(Corruptions),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- layout

// Fields at the places the file format gives them: a state written by an
// earlier version keeps loading only while the field lists keep their order
// and widths.
TEST(StateLayout, FieldsLoadFromTheirDocumentedPlaces) {
    cycleBasedFrames = false;
    bootMachine();
    runFrames(3);
    std::vector<uint8_t> b;
    saveState(b);
    const size_t cpuAt = sectionAt(b, "CPU ") + 12;
    b[cpuAt + 14] = 0x34; // IP, the eighth register
    b[cpuAt + 15] = 0x12;
    b[cpuAt + 28] = 1;                // IM
    put32(b, cpuAt + 43, 0x0BADCAFE); // TCOUNT, low half
    const size_t soundAt = sectionAt(b, "SND ") + 12;
    put32(b, soundAt + 40, 5);        // mixer selection
    put32(b, soundAt + 52 + 16, 777); // VCO phase, low half
    const size_t frameAt = sectionAt(b, "FRAM") + 12;
    put32(b, frameAt, 4242); // frame counter
    const size_t portAt = sectionAt(b, "PORT") + 12;
    b[portAt + 30 + 0x40] = 0x5A; // the latch of port 40h
    put32(b, portAt + 286, 12);   // selected card
    size_t diskAt = sectionAt(b, "DISK") + 12;
    for (int i = 0; i < DiskDrivesPerCard; i++)
        diskAt += 4 + le32(b, diskAt);
    b[diskAt + 4] = 0x03;        // first card's command
    put32(b, diskAt + 26, 9);    // its busy reads
    b[diskAt + 38 + 100] = 0xE7; // byte 100 of its first buffer
    reseal(b);

    std::string message;
    ASSERT_TRUE(loadState(b, message)) << message;
    EXPECT_EQ(cpu.IP, 0x1234);
    EXPECT_EQ(cpu.IM, 1);
    EXPECT_EQ(cpu.TCOUNT & 0xFFFFFFFFu, 0x0BADCAFEu);
    EXPECT_EQ(soundChip.mixerSelect, 5u);
    EXPECT_EQ(soundChip.vcoPhase & 0xFFFFFFFFu, 777u);
    EXPECT_EQ(frameCounter, 4242u);
    EXPECT_EQ(PortLatches[0x40], 0x5A);
    EXPECT_EQ(cardSelect, 12);
    const DiskCard& card = *DiskCardTable[36];
    EXPECT_EQ(card.command, 0x03);
    EXPECT_EQ(card.busyReads, 9u);
    EXPECT_EQ(card.buffers[0][100], 0xE7);
}

// ---------------------------------------------------------------- files

// 160 KB: one side, 40 tracks of 8 sectors of 512 bytes.
constexpr size_t DiskBytes = 163840;

TEST(SaveStateFiles, MissingTapeAndDiskAreReportedAndTheRestLoads) {
    cycleBasedFrames = false;
    bootMachine();
    Scratch scratch;
    std::string wav = scratch.path("tape.wav"), disk = scratch.path("disk.img");
    writeFile(wav, squareWav(1, 20));
    writeFile(disk, std::vector<uint8_t>(DiskBytes, 0xE5));
    OpenTapeForReading(wav);
    ASSERT_EQ(AttachDiskImage(0, disk), 1);
    runFrames(5);
    std::vector<uint8_t> saved;
    saveState(saved);
    std::vector<uint8_t> memory(MainMemory, MainMemory + 65536);

    CloseTape();
    DetachDrive(0);
    std::filesystem::remove(wav);
    std::filesystem::remove(disk);
    MainMemory[0x9000] ^= 0xFF;
    std::string message;
    ASSERT_TRUE(loadState(saved, message));
    EXPECT_NE(message.find("Tape file not found: " + wav), std::string::npos) << message;
    EXPECT_NE(message.find("Disk image not found: " + disk), std::string::npos) << message;
    EXPECT_EQ(tapeDeck.file, nullptr);
    EXPECT_EQ(DriveNames[0], "");
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), MainMemory));
    runFrames(5); // and it runs on
}

// A pipe now where the tape file was is not opened (reading it would wait
// for a writer forever): the state loads without the tape.
TEST(SaveStateFiles, OnlyRegularFilesAreAttachedAgain) {
    cycleBasedFrames = false;
    bootMachine();
    Scratch scratch;
    std::string wav = scratch.path("tape.wav");
    writeFile(wav, squareWav(1, 20));
    OpenTapeForReading(wav);
    std::vector<uint8_t> saved;
    saveState(saved);
    CloseTape();
    std::filesystem::remove(wav);
    ASSERT_EQ(mkfifo(wav.c_str(), 0600), 0);
    std::string message;
    ASSERT_TRUE(loadState(saved, message));
    EXPECT_NE(message.find("Tape file not found: " + wav), std::string::npos) << message;
    EXPECT_EQ(tapeDeck.file, nullptr);
}

TEST(SaveStateFiles, PresentDiskIsAttachedAgain) {
    cycleBasedFrames = false;
    bootMachine();
    Scratch scratch;
    std::string disk = scratch.path("disk.img");
    writeFile(disk, std::vector<uint8_t>(DiskBytes, 0xE5));
    ASSERT_EQ(AttachDiskImage(1, disk), 1);
    std::vector<uint8_t> saved;
    saveState(saved);
    DetachDrive(1);
    std::string message;
    ASSERT_TRUE(loadState(saved, message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(DriveNames[1], disk);
    EXPECT_NE(MoDiskCard().drives[1].file, nullptr);
    DetachDrive(1);
}

// The card's command bytes for a write of DR`drive`'s sector (below 8).
void startSectorWrite(uint8_t drive, uint8_t sector) {
    ioWrite(0x01, 45);
    for (uint8_t b : {uint8_t{0x0C}, drive, uint8_t{0}, sector})
        ioWrite(0x00, b);
}
void sendBytes(int count, uint8_t value) {
    for (int i = 0; i < count; i++)
        ioWrite(0x00, value);
}
std::vector<uint8_t> sectorOf(const std::vector<uint8_t>& image, size_t sector) {
    return std::vector<uint8_t>(image.begin() + sector * 256, image.begin() + sector * 256 + 256);
}

// A state records a drive's path, not its image's bytes: what was written
// before or after the save stays in the file when the state is loaded, a
// write cut by the save finishes from the saved buffer, and the drives'
// write-protect switches stay as the user set them.
TEST(SaveStateFiles, DisksKeepWhatWasWrittenAcrossAStateLoad) {
    cycleBasedFrames = false;
    bootMachine();
    Scratch scratch;
    std::string disk = scratch.path("disk.dsk"), other = scratch.path("other.dsk");
    writeFile(disk, std::vector<uint8_t>(DiskBytes, 0xE5));
    writeFile(other, std::vector<uint8_t>(DiskBytes, 0xE5));
    ASSERT_EQ(AttachDiskImage(0, disk), 1);
    ASSERT_EQ(AttachDiskImage(1, other), 1);
    SetDriveWriteProtect(1, true);

    startSectorWrite(0, 4);
    sendBytes(256, 0x11);
    ASSERT_EQ(ioRead(0x00), 0);
    startSectorWrite(0, 6);
    sendBytes(100, 0x33); // the state is saved 100 bytes into this sector
    std::vector<uint8_t> saved;
    saveState(saved);
    sendBytes(156, 0x33);
    startSectorWrite(0, 5);
    sendBytes(256, 0x22);
    ASSERT_EQ(ioRead(0x00), 0);

    std::string message;
    ASSERT_TRUE(loadState(saved, message));
    EXPECT_EQ(message, "");
    EXPECT_TRUE(DriveWriteProtected(1)) << "the switch is the user's, not the state's";
    EXPECT_FALSE(DriveWriteProtected(0));
    std::vector<uint8_t> image = readFile(disk);
    EXPECT_EQ(sectorOf(image, 4), std::vector<uint8_t>(256, 0x11));
    EXPECT_EQ(sectorOf(image, 5), std::vector<uint8_t>(256, 0x22)) << "not rolled back";

    // The cut write goes on where the state left it: 156 more bytes.
    sendBytes(155, 0x44);
    EXPECT_EQ(MoDiskCard().phase, 4u) << "still receiving";
    sendBytes(1, 0x44);
    EXPECT_EQ(ioRead(0x00), 0);
    image = readFile(disk);
    std::vector<uint8_t> sector6(256, 0x44);
    std::fill(sector6.begin(), sector6.begin() + 100, 0x33);
    EXPECT_EQ(sectorOf(image, 6), sector6);

    startSectorWrite(1, 0);
    sendBytes(256, 0x55);
    EXPECT_EQ(ioRead(0x00), 64);
    EXPECT_EQ(readFile(other), std::vector<uint8_t>(DiskBytes, 0xE5));
    SetDriveWriteProtect(1, false);
    DetachDrive(0);
    DetachDrive(1);
}

TEST(SaveStateFiles, RecordingIsNotResumed) {
    cycleBasedFrames = false;
    bootMachine();
    Scratch scratch;
    std::string out = scratch.path("out.wav");
    ASSERT_EQ(StartTapeRecording(out, 44100), 1);
    std::vector<uint8_t> saved;
    saveState(saved);
    std::string message;
    ASSERT_TRUE(loadState(saved, message));
    EXPECT_NE(message.find("The tape recording to " + out + " was not resumed"), std::string::npos)
        << message;
    EXPECT_EQ(tapeDeck.file, nullptr);
    EXPECT_FALSE(TapeIsPlaying());
}

// ---------------------------------------------------------------- power-on

// A run that touches every device, then power-on: the state is the one a
// new machine has.
TEST(MachinePowerOn, LeavesNothingOfARunBehind) {
    cycleBasedFrames = false;
    machinePowerOn();
    std::vector<uint8_t> fresh;
    saveState(fresh);

    bootMachine();
    Scratch scratch;
    std::string wav = scratch.path("tape.wav");
    writeFile(wav, squareWav(1, 20));
    OpenTapeForReading(wav);
    SetTapeMotor(1, cpu.TCOUNT);
    typeText(Program);
    keyPressed(VkShift);
    runFrames(60);
    ioWrite(0x01, 45); // select the disk card
    ioWrite(0x00, 0x01);
    basicRom = BasicRomNew;
    machinePowerOn();
    std::vector<uint8_t> again;
    saveState(again);
    EXPECT_TRUE(fresh == again);
}

} // namespace
