// WAV tapes with samples wider than 64 bits: the level comes from the top
// byte of the first channel however far into the frame it lies (a fuzzed
// file once made the deck read it from beyond an 8-byte frame buffer).
#include "abc80/abc80.h"
#include "cpu/z80.h"
#include "media/tape_deck.h"
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr uint32_t Clock = 2995200;
// One sample every 64 cycles; sample j is due 64 x (44.5 + j) cycles after
// the start, as the deck counts its position from the 44-byte header.
constexpr uint32_t Rate = Clock / 64;

void put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(Bytes& b, size_t at, uint32_t v) {
    put16(b, at, v);
    put16(b, at + 2, v >> 16);
}

// Mono PCM with `width` bytes per sample: each sample's top byte says
// high (7Fh) or low (80h), every lower byte says the opposite.
Bytes wideSampleWav(uint16_t width, const std::vector<bool>& highs) {
    Bytes file(44);
    std::memcpy(file.data(), "RIFF", 4);
    std::memcpy(file.data() + 8, "WAVEfmt ", 8);
    put32(file, 16, 16);
    put16(file, 20, 1); // PCM
    put16(file, 22, 1); // mono
    put32(file, 24, Rate);
    put32(file, 28, Rate * width);
    put16(file, 32, width);
    put16(file, 34, static_cast<uint16_t>(width * 8));
    std::memcpy(file.data() + 36, "data", 4);
    for (bool high : highs) {
        file.insert(file.end(), width - 1, high ? 0x80 : 0x7F);
        file.push_back(high ? 0x7F : 0x80);
    }
    put32(file, 40, static_cast<uint32_t>(file.size() - 44));
    put32(file, 4, static_cast<uint32_t>(file.size() - 8));
    return file;
}

TEST(WideSamples, LevelComesFromTheTopByteOfTheFirstChannel) {
    ScratchDir dir;
    const std::vector<bool> highs = {false, true, true, false, true, false};
    for (uint16_t width : {9, 28, 200}) {
        SCOPED_TRACE(width);
        machineConnect();
        cpuInit(Clock);
        cpu.TCOUNT = 1000;
        writeFile(dir.path("wide.wav"), wideSampleWav(width, highs));
        OpenTapeForReading(dir.path("wide.wav"));
        ASSERT_NE(nullptr, tapeDeck.file);
        tapeDeck.inputLevel = 0;
        SetTapeMotor(1, 1000);
        for (size_t j = 0; j < highs.size(); j++)
            EXPECT_EQ(highs[j] ? 1 : 0, SampleTapeInput(1000 + 64 * (45 + j))) << "sample " << j;
        SetTapeMotor(0, cpu.TCOUNT);
        CloseTape();
    }
}

} // namespace
