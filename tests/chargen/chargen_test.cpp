// Checks the character generator table: the rows other parts of the system
// rely on, the unused bits, and that the glyphs are all there, distinct and
// placed in their cells the way the frame driver expects.
#include "data/chargen.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

namespace {

constexpr int kHeight = 10;

using Glyph = std::array<uint8_t, kHeight>;

Glyph glyph(int code) {
    Glyph g{};
    for (int y = 0; y < kHeight; ++y)
        g[y] = CharacterGenerator[code * kHeight + y];
    return g;
}

// Top pixel row with a lit pixel, or kHeight for a blank glyph.
int topLitRow(int code) {
    for (int y = 0; y < kHeight; ++y)
        if (CharacterGenerator[code * kHeight + y]) return y;
    return kHeight;
}

bool rowsLit(int code, int first, int last) {
    for (int y = first; y <= last; ++y)
        if (CharacterGenerator[code * kHeight + y]) return true;
    return false;
}

std::string hex(int code) {
    char text[8];
    std::snprintf(text, sizeof text, "%02Xh", code);
    return text;
}

TEST(CharacterGenerator, KeepsTheRowsTheSystemReliesOn) {
    EXPECT_EQ(glyph(0x20), Glyph{}) << "space is blank";
    EXPECT_EQ(glyph(0x41), (Glyph{0x10, 0x28, 0x44, 0x7C, 0x44, 0x44, 0x44, 0, 0, 0}));
    EXPECT_EQ(glyph(0x7F), (Glyph{0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0x7C, 0, 0, 0}));
    // Control codes (among them the graphics switches) occupy blank cells.
    for (int code = 0; code < 0x20; ++code)
        EXPECT_EQ(glyph(code), Glyph{}) << hex(code);
}

TEST(CharacterGenerator, NeverSetsTheBitsOutsideTheSixColumns) {
    for (int i = 0; i < 128 * kHeight; ++i)
        EXPECT_EQ(CharacterGenerator[i] & 0x81, 0)
            << "glyph " << hex(i / kHeight) << " row " << i % kHeight;
}

TEST(CharacterGenerator, PrintableGlyphsAreVisibleAndAllDifferent) {
    std::set<Glyph> seen;
    for (int code = 0x21; code <= 0x7E; ++code) {
        EXPECT_NE(glyph(code), Glyph{}) << hex(code) << " is blank";
        EXPECT_TRUE(seen.insert(glyph(code)).second) << hex(code) << " repeats an earlier glyph";
    }
}

TEST(CharacterGenerator, LettersSitInTheirCells) {
    const std::string descenders = "gjpqy";
    std::string letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters += c;
    for (char c = 'a'; c <= 'z'; ++c)
        letters += c;
    for (int code : {0x40, 0x5B, 0x5C, 0x5D, 0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E})
        letters += char(code);
    for (char letter : letters) {
        int code = letter;
        for (int y = 0; y < kHeight; ++y)
            EXPECT_EQ(CharacterGenerator[code * kHeight + y] & 0x02, 0)
                << hex(code) << " lights the sixth column";
        EXPECT_TRUE(rowsLit(code, 6, 6)) << hex(code) << " does not stand on the baseline";
        EXPECT_FALSE(rowsLit(code, 9, 9)) << hex(code) << " reaches the gap between text rows";
        bool descends = descenders.find(letter) != std::string::npos;
        EXPECT_EQ(rowsLit(code, 7, 8), descends) << hex(code);
    }
    for (int code = 'A'; code <= 'Z'; ++code)
        EXPECT_EQ(topLitRow(code), 0) << hex(code) << " is not full height";
    for (int code = '0'; code <= '9'; ++code) {
        EXPECT_EQ(topLitRow(code), 0) << hex(code);
        EXPECT_TRUE(rowsLit(code, 6, 6)) << hex(code);
        EXPECT_FALSE(rowsLit(code, 7, 9)) << hex(code);
    }
    for (char letter : std::string("acemnorsuvwxz"))
        EXPECT_EQ(topLitRow(letter), 2) << letter << " leaves the x-height";
}

TEST(CharacterGenerator, SwedishLettersAreTheirBaseLettersWithAMarkOnTop) {
    struct Pair {
        int code;
        char base;
    };
    const Pair pairs[] = {{0x40, 'E'}, {0x5B, 'A'}, {0x5C, 'O'}, {0x5D, 'A'}, {0x5E, 'U'},
                          {0x60, 'e'}, {0x7B, 'a'}, {0x7C, 'o'}, {0x7D, 'a'}, {0x7E, 'u'}};
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(hex(pair.code) + " against " + pair.base);
        Glyph swedish = glyph(pair.code);
        Glyph base = glyph(pair.base);
        ASSERT_NE(swedish, base);
        // Same baseline row as the base letter: the right letter under the mark.
        EXPECT_EQ(swedish[6], base[6]);
        // The mark is on top: the glyphs already differ in the upper rows, and a
        // small letter's mark rises above its x-height.
        bool upperRowsDiffer =
            swedish[0] != base[0] || swedish[1] != base[1] || swedish[2] != base[2];
        EXPECT_TRUE(upperRowsDiffer);
        if (pair.base >= 'a')
            EXPECT_LT(topLitRow(pair.code), topLitRow(pair.base));
        else
            EXPECT_EQ(topLitRow(pair.code), 0);
    }
}

} // namespace
