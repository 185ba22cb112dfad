// Recognising tape blocks from the times of the signal's level changes: a
// header and data blocks as a loader reads them, with the stretched last bit
// and the gaps between blocks a real recording has, glitches, a bad sum, and
// noise that must never be taken for a block.
#include "media/tape_blocks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr double Clock = 2995200;
constexpr uint64_t Half = 2139; // half a bit at 700 bits a second, in cycles

using Bytes = std::vector<uint8_t>;

Bytes block(const Bytes& data, int leadIn = 16, bool goodSum = true) {
    Bytes out(leadIn, 0x00);
    out.insert(out.end(), {0x16, 0x16, 0x16, 0x02});
    Bytes body = data;
    body.resize(256, 0x00);
    unsigned sum = 0x03;
    for (uint8_t b : body)
        sum += b;
    if (!goodSum) sum += 1;
    out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), {0x03, static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8)});
    return out;
}

Bytes header(const std::string& nameAndExtension) {
    Bytes data(256, 0x00);
    data[0] = data[1] = data[2] = 0xFF;
    for (size_t i = 0; i < 11 && i < nameAndExtension.size(); i++)
        data[3 + i] = static_cast<uint8_t>(nameAndExtension[i]);
    return data;
}

Bytes dataBlock(uint16_t number) {
    Bytes data(256, 0x00);
    data[1] = static_cast<uint8_t>(number);
    data[2] = static_cast<uint8_t>(number >> 8);
    for (int i = 3; i < 256; i++)
        data[i] = static_cast<uint8_t>(i * 7 + number);
    return data;
}

// Feeds the bytes as level changes, a change at the start of every bit and
// one in the middle of a 1; returns the blocks reported, described.
struct Player {
    TapeBlockWatch watch;
    uint64_t now = 5000;
    std::vector<std::string> reported;
    void edge() {
        if (TapeBlockWatchEdge(watch, now, Clock))
            reported.push_back(DescribeTapeBlock(watch.last));
    }
    void play(const Bytes& bytes) {
        for (uint8_t b : bytes)
            for (int k = 0; k < 8; k++) {
                edge();
                if ((b >> k) & 1) {
                    now += Half;
                    edge();
                    now += Half;
                } else {
                    now += 2 * Half;
                }
            }
    }
    void pause(double seconds) { now += static_cast<uint64_t>(seconds * Clock); }
};

TEST(TapeBlocks, ATapeOfTwoProgramsNamesEveryBlockWithItsProgram) {
    Player p;
    p.play(block(header("DEMO    BAS")));
    p.pause(0.012); // the stretched last bit while the next block is prepared
    p.play(block(dataBlock(0)));
    p.pause(0.012);
    p.play(block(dataBlock(1)));
    p.pause(1.5); // silence between the programs
    p.play(block(header("GAME2   BAS"), 33));
    p.pause(0.012);
    p.play(block(dataBlock(0)));
    p.play(Bytes(4, 0x00)); // the tail
    const std::vector<std::string> expected = {"DEMO.BAS header", "DEMO.BAS block 0",
                                               "DEMO.BAS block 1", "GAME2.BAS header",
                                               "GAME2.BAS block 0"};
    EXPECT_EQ(expected, p.reported);
    EXPECT_EQ(5u, p.watch.blocks);
}

TEST(TapeBlocks, ABadSumIsReportedAndABlockWithoutHeaderHasNoName) {
    Player p;
    p.play(block(dataBlock(7), 16, false));
    p.play(Bytes(2, 0x00));
    ASSERT_EQ(1u, p.reported.size());
    EXPECT_EQ("block 7 (bad checksum)", p.reported[0]);
    EXPECT_FALSE(p.watch.last.checksumOk);
}

TEST(TapeBlocks, GlitchesAndSpeedErrorsOfAFewPercentAreRidden) {
    Player p;
    Bytes bytes = block(header("SPEEDY  BAS"));
    bytes.push_back(0x00);
    std::mt19937 random(7);
    uint64_t drift = 0;
    for (uint8_t b : bytes)
        for (int k = 0; k < 8; k++) {
            p.edge();
            uint64_t half = Half * 105 / 100 + drift; // 5 % slow, with jitter
            drift = random() % 60;
            if (random() % 50 == 0) { // a click: two changes close together
                p.now += 200;
                p.edge();
                p.now += 200;
                p.edge();
                half -= 400 / 2;
            }
            if ((b >> k) & 1) {
                p.now += half;
                p.edge();
                p.now += half;
            } else {
                p.now += 2 * half;
            }
        }
    ASSERT_EQ(1u, p.reported.size());
    EXPECT_EQ("SPEEDY.BAS header", p.reported[0]);
}

TEST(TapeBlocks, ASyncByteWithoutLeadInIsNoBlock) {
    Player p;
    Bytes bytes = block(dataBlock(3), 0);
    bytes.insert(bytes.begin(), 0xFF);
    p.play(bytes);
    p.play(Bytes(2, 0x00));
    EXPECT_TRUE(p.reported.empty());
}

TEST(TapeBlocks, NoiseAndSilenceNeverMakeABlock) {
    Player p;
    std::mt19937 random(11);
    for (int i = 0; i < 200000; i++) {
        p.now += 100 + random() % 6000;
        p.edge();
    }
    p.pause(10);
    p.edge();
    EXPECT_TRUE(p.reported.empty());
    EXPECT_EQ(0u, p.watch.blocks);
}

TEST(TapeBlocks, NamesKeepWhatCanBeShown) {
    const uint8_t odd[11] = {'A', 0x01, 'B', ' ', 'C', ' ', ' ', ' ', 0xC4, ' ', ' '};
    EXPECT_EQ("A?B C.?", TapeProgramName(odd));
    const uint8_t noExtension[11] = {'P', 'R', 'O', 'G', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    EXPECT_EQ("PROG", TapeProgramName(noExtension));
}

TEST(TapeBlocks, ResetForgetsTheProgram) {
    Player p;
    p.play(block(header("DEMO    BAS")));
    p.play(Bytes(1, 0x00));
    ASSERT_EQ("DEMO.BAS", p.watch.program);
    TapeBlockWatchReset(p.watch);
    EXPECT_EQ("", p.watch.program);
    EXPECT_EQ(0u, p.watch.blocks);
}

} // namespace
