// Key tables, key events, the strobe, the typing protocol read by read (and
// through a real IM 2 handler), and screen bytes as host text.
#include <gtest/gtest.h>

#include "machine_fixture.h"

namespace {

constexpr uint32_t VkA = 0x41, VkB = 0x42, VkLeft = 0x25, VkF2 = 0x71, VkZero = 0x30;

class Keyboard : public ::testing::Test {
  protected:
    void SetUp() override { freshMachine(); }
};

TEST_F(Keyboard, EveryHostKeyHasOnePosition) {
    for (int a = 0; a < KeyboardPositions; a++)
        for (int b = a + 1; b < KeyboardPositions; b++)
            if (KeyPositions[a]) {
                EXPECT_NE(KeyPositions[a], KeyPositions[b]) << a << " " << b;
            }
}

TEST_F(Keyboard, KeyDownSetsStrobeAndRaisesOneInterrupt) {
    EXPECT_EQ(keyPressed(VkA), 1);
    EXPECT_EQ(keyLatch, 0x61 | 0x80);
    EXPECT_EQ(cpu.INT, 1u);
    EXPECT_EQ(cpu.intVector, KeyboardVector);
    ASSERT_NE(cpu.intAck, nullptr);
    cpu.intAck(0x1234, 0x52); // another device's vector: the request stays
    EXPECT_EQ(cpu.INT, 1u);
    cpu.intAck(0x1234, KeyboardVector);
    EXPECT_EQ(cpu.INT, 0u);
    // Shift while A is held: the latch changes, no second interrupt.
    keyPressed(VkShift);
    keyPressed(VkA);
    EXPECT_EQ(keyLatch, 0x41 | 0x80);
    EXPECT_EQ(cpu.INT, 0u);
    keyPressed(VkControl);
    keyPressed(VkB);
    EXPECT_EQ(keyLatch, 0x02 | 0x80);
    EXPECT_EQ(cpu.INT, 1u);
}

TEST_F(Keyboard, StrobeDropsOnTheSecondReadAfterRelease) {
    keyPressed(VkA);
    EXPECT_EQ(keyboardRead(), 0xE1);
    EXPECT_EQ(keyboardRead(), 0xE1); // still held
    keyReleased(VkA);
    EXPECT_EQ(keyboardRead(), 0xE1);
    EXPECT_EQ(keyboardRead(), 0x61);
    EXPECT_EQ(keyboardRead(), 0x61);
}

TEST_F(Keyboard, KeysWithoutPositionOrCharacterDoNothing) {
    for (uint32_t vk : {VkLeft, VkF2, VkZero}) {
        EXPECT_EQ(keyPressed(vk), 1);
        EXPECT_EQ(keyLatch, 0);
        EXPECT_EQ(cpu.INT, 0u);
    }
    keyPressed(VkShift);
    keyPressed(0x09); // Tab has a plain character only
    EXPECT_EQ(keyLatch, 0);
    EXPECT_EQ(cpu.INT, 0u);
    EXPECT_EQ(keyPressed(256), 0);
    EXPECT_EQ(keyReleased(0x10000), 0);
}

TEST_F(Keyboard, TypingTwoLettersTakesFourReads) {
    keyLatch = 0x0D; // whatever was there before
    ASSERT_EQ(typeText("AB"), 1);
    EXPECT_EQ(cpu.INT, 0u) << "nothing is raised when typing starts";
    EXPECT_EQ(keyboardRead(), 0x0D);
    EXPECT_EQ(cpu.INT, 1u);
    cpu.INT = 0;
    EXPECT_EQ(keyboardRead(), 0xC1);
    EXPECT_EQ(cpu.INT, 1u);
    cpu.INT = 0;
    EXPECT_EQ(keyboardRead(), 0xC1);
    EXPECT_EQ(cpu.INT, 1u);
    cpu.INT = 0;
    EXPECT_TRUE(typingInProgress());
    EXPECT_EQ(keyboardRead(), 0xC2);
    EXPECT_EQ(cpu.INT, 0u) << "the last read raises nothing";
    EXPECT_FALSE(typingInProgress());
    // Afterwards the strobe drops as after a key release.
    EXPECT_EQ(keyboardRead(), 0xC2);
    EXPECT_EQ(keyboardRead(), 0x42);
}

TEST_F(Keyboard, TypingIsIgnoredWhileBusyAndEmptyTextStartsNothing) {
    EXPECT_EQ(typeText(""), 0);
    EXPECT_EQ(typeText(nullptr), 0);
    EXPECT_FALSE(typingInProgress());
    ASSERT_EQ(typeText("X"), 1);
    EXPECT_EQ(typeText("Y"), 0);
    keyboardRead();
    EXPECT_EQ(keyboardRead(), 'X' | 0x80);
    EXPECT_FALSE(typingInProgress());
    EXPECT_EQ(typeText("Y"), 1);
    keyboardReset();
    EXPECT_FALSE(typingInProgress());
}

TEST_F(Keyboard, TypedTextReachesAnIm2HandlerThroughPort38) {
    // The handler at 9200h (vector 34h of table 90xxh) stores each read of
    // port 38h at (HL) and returns with EI; RET. The main program reads the
    // port once to start the typing and then waits in HALT.
    poke(0x0000, {0xF3, 0x31, 0x00, 0xFF, 0x21, 0x00, 0x88, // DI; SP; HL=8800h
                  0x3E, 0x90, 0xED, 0x47, 0xED, 0x5E,       // I=90h; IM 2
                  0xDB, 0x38, 0xFB, 0x76, 0x18, 0xFD});     // IN A,(38h); EI; HALT; JR
    poke(0x9034, {0x00, 0x92});
    poke(0x9200, {0xDB, 0x38, 0x77, 0x23, 0xFB, 0xC9});
    poke(0x0066, {0xED, 0x45});
    ASSERT_EQ(typeText("RUN\r"), 1);
    std::vector<uint8_t> picture(FrameBufferBytes);
    for (int i = 0; i < 3; i++)
        runFrame(CyclesPerFrame, picture.data(), 0);
    const uint8_t expected[] = {0xD2, 0xD2, 0xD5, 0xD5, 0xCE, 0xCE, 0x8D};
    EXPECT_EQ(0, std::memcmp(MainMemory + 0x8800, expected, sizeof expected));
    EXPECT_EQ(MainMemory[0x8800 + sizeof expected], 0);
    EXPECT_FALSE(typingInProgress());
}

TEST(ScreenText, BytesToHostCharacters) {
    EXPECT_EQ(screenCharToText(0x97), ' ');
    EXPECT_EQ(screenCharToText(0x17), ' ');
    EXPECT_EQ(screenCharToText(0x07), ' ');
    EXPECT_EQ(screenCharToText(0x1F), ' ');
    EXPECT_EQ(screenCharToText(0x01), 0x41);
    // A blinking cell (the cursor) copies as its character, not as a sign
    // of the host's code page: the prompt's cursor is a blank, not a euro.
    EXPECT_EQ(screenCharToText(0xC1), 0x41);
    EXPECT_EQ(screenCharToText(0xA0), ' ');
    EXPECT_EQ(screenCharToText(0xFD), 0xE5);
    EXPECT_EQ(screenCharToText(0x81), 0x41);
    EXPECT_EQ(screenCharToText(0x41), 0x41);
    EXPECT_EQ(screenCharToText(0x40), 0xC9);
    EXPECT_EQ(screenCharToText(0x5B), 0xC4);
    EXPECT_EQ(screenCharToText(0x5C), 0xD6);
    EXPECT_EQ(screenCharToText(0x5D), 0xC5);
    EXPECT_EQ(screenCharToText(0x5E), 0xDC);
    EXPECT_EQ(screenCharToText(0x60), 0xE9);
    EXPECT_EQ(screenCharToText(0x7B), 0xE4);
    EXPECT_EQ(screenCharToText(0x7C), 0xF6);
    EXPECT_EQ(screenCharToText(0x7D), 0xE5);
    EXPECT_EQ(screenCharToText(0x7E), 0xFC);
    EXPECT_EQ(screenCharToText(0x1B), 0xC4); // 1Bh + 40h is 5Bh, shown as Ä
}

} // namespace
