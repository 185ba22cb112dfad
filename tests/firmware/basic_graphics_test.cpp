// Dot graphics: SETDOT, CLRDOT and DOT on the 80 by 72 grid of the block
// graphics cells, checked in the screen memory and in the picture the
// video draws from it.
#include "basic_session.h"

#include "machine/frame.h"
#include "machine/memory.h"

#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

using namespace basic_test;
using Rows = std::vector<std::string>;

namespace {

using DotGraphics = BasicTest;
using Dot = std::pair<int, int>;

uint8_t cell(int row, int column) {
    return MainMemory[0x7C00 + (row % 8) * 128 + (row / 8) * 40 + column];
}

// The lit pixels of the first `rows` text rows as the video draws them.
std::set<Dot> litPixels(int rows) {
    std::vector<uint8_t> frame(240 * VisibleLines, 0);
    for (int line = 0; line < rows * 10; ++line)
        renderLine(line, frame.data(), 0);
    std::set<Dot> lit;
    for (int line = 0; line < rows * 10; ++line)
        for (int x = 0; x < 240; ++x)
            if (frame[line * 240 + x]) lit.insert({x, line});
    return lit;
}

// Dot (x,y) covers three pixels across and the pixel rows of its third of
// the 10-row cell: 0-2, 3-6 or 7-9.
std::set<Dot> pixelsOf(const std::set<Dot>& dots) {
    static const int bandTop[3] = {0, 3, 7}, bandEnd[3] = {3, 7, 10};
    std::set<Dot> pixels;
    for (auto [x, y] : dots)
        for (int line = bandTop[y % 3]; line < bandEnd[y % 3]; ++line)
            for (int px = 0; px < 3; ++px)
                pixels.insert({x * 3 + px, (y / 3) * 10 + line});
    return pixels;
}

TEST_F(DotGraphics, DotsAppearWhereTheGridPutsThem) {
    // A frame around the top 20 rows, a diagonal, and dots cleared again
    // from a filled block; the prompt ends up on row 20.
    runProgram({
        "10 CLS",
        "20 FOR X=2 TO 79:SETDOT X,0:SETDOT X,59:NEXT",
        "30 FOR Y=0 TO 59:SETDOT 2,Y:SETDOT 79,Y:NEXT",
        "40 FOR I=0 TO 40:SETDOT 10+I,5+I:NEXT",
        "50 FOR X=60 TO 65:FOR Y=20 TO 25:SETDOT X,Y:NEXT:NEXT",
        "60 CLRDOT 61,21:CLRDOT 64,24:CLRDOT 65,25:CLRDOT 60,23",
        "70 PRINT CUR(20,0);",
    });
    std::set<Dot> dots;
    for (int x = 2; x <= 79; ++x)
        dots.insert({x, 0}), dots.insert({x, 59});
    for (int y = 0; y <= 59; ++y)
        dots.insert({2, y}), dots.insert({79, y});
    for (int i = 0; i <= 40; ++i)
        dots.insert({10 + i, 5 + i});
    for (int x = 60; x <= 65; ++x)
        for (int y = 20; y <= 25; ++y)
            dots.insert({x, y});
    for (Dot gone : {Dot{61, 21}, Dot{64, 24}, Dot{65, 25}, Dot{60, 23}})
        dots.erase(gone);
    EXPECT_EQ(litPixels(20), pixelsOf(dots));
    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(cell(row, 0), 0x17) << "row " << row;
}

TEST_F(DotGraphics, DotReadsWhatSetdotAndClrdotLeft) {
    runProgram({
        "10 CLS:FOR I=2 TO 71:SETDOT I,I:NEXT",
        "20 FOR I=2 TO 71:N=N+DOT(I,I)+DOT(I+1,I)+DOT(I,I-1):NEXT",
        "30 CLRDOT 30,30:CLRDOT 30,30:CLRDOT 31,30",
        "40 A=DOT(30,30):B=DOT(31,31):C=DOT(79,71)+DOT(2,0)",
        "50 CLS:PRINT N;A;B;C",
    });
    Rows out = {screenRows()[0]};
    // 70 diagonal dots, none of their neighbours; one cleared (twice is
    // harmless, as is clearing a dark dot).
    EXPECT_EQ(out, Rows{" 70  0  1  0"});
}

TEST_F(DotGraphics, ARowOfTextBecomesADotRow) {
    // Column 0 gets the graphics switch; a capital is replaced by a block,
    // a digit is already a block to the video and keeps its dots.
    runProgram({
        "10 CLS:PRINT CUR(5,0);\"XAB1\";CUR(6,0);\"TEXT\"",
        "20 SETDOT 2,15:SETDOT 7,17:CLRDOT 4,18",
        "30 A=DOT(4,18)+DOT(4,19)",
        "40 PRINT CUR(8,0);A;DOT(2,15)",
    });
    EXPECT_EQ(cell(5, 0), 0x17);
    EXPECT_EQ(cell(5, 1), 0x21);        // 'A' became the top left dot
    EXPECT_EQ(cell(5, 2), 'B');         // untouched
    EXPECT_EQ(cell(5, 3), 0x31 | 0x40); // '1' with the bottom right dot
    // CLRDOT and DOT leave a text row alone: there are no dots in it.
    EXPECT_EQ(cell(6, 2), 'X');
    EXPECT_EQ(screenRows()[8], " 0  1");
}

TEST_F(DotGraphics, CoordinatesOffTheGridAreRefused) {
    for (const char* bad : {"SETDOT 1,0", "SETDOT 80,0", "SETDOT 2,72", "SETDOT -1,5", "CLRDOT 0,0",
                            "CLRDOT 5,-1", "PRINT DOT(1,1)", "PRINT DOT(2,72)"})
        EXPECT_EQ(run(bad), Rows{"BAD ARGUMENT"}) << bad;
    EXPECT_EQ(run("SETDOT 5"), Rows{"SYNTAX ERROR"});
    EXPECT_EQ(run("SETDOT \"A\",1"), Rows{"TYPE MISMATCH"});
    EXPECT_EQ(runProgram({"10 SETDOT 2,0", "20 PRINT DOT(2)"}), Rows{"SYNTAX ERROR IN LINE 20"});
}

TEST_F(DotGraphics, TheWordsListAsTyped) {
    const Rows lines = {"10 SETDOT X,Y:CLRDOT X+1,Y", "20 IF DOT(X,Y) THEN PRINT 1"};
    enterProgram(lines);
    EXPECT_EQ(run("LIST"), lines);
}

} // namespace
