// The frame driver run with the real processor on small programs of our own:
// NMI timing and count, cycle accounting in both timing modes, and the
// picture of text, blinking, graphics switching and block cells.
#include <gtest/gtest.h>

#include "machine_fixture.h"

namespace {

constexpr uint16_t NmiCount = 0x8000;

// DI; LD SP,FF00h; then a loop of the given instruction bytes. The NMI handler
// at 0066h counts into 8000h and returns at once.
void loadNmiCounter(std::initializer_list<uint8_t> loopBody) {
    poke(0x0000, {0xF3, 0x31, 0x00, 0xFF});
    uint16_t at = 0x0004;
    for (uint8_t b : loopBody)
        MainMemory[at++] = b;
    int back = -static_cast<int>(at + 2 - 0x0004);
    poke(at, {0x18, static_cast<uint8_t>(back)}); // JR loop
    poke(0x0066, {0x2A, 0x00, 0x80, 0x23, 0x22, 0x00, 0x80, 0xED, 0x45});
}

uint16_t nmiCount() {
    return static_cast<uint16_t>(MainMemory[NmiCount] | MainMemory[NmiCount + 1] << 8);
}

uint64_t lastNmiWrite = 0;
void recordNmiWrite(uint16_t address, uint8_t value) {
    lastNmiWrite = cpu.TCOUNT;
    memWrite(address, value);
}

class FrameDriver : public ::testing::Test {
  protected:
    std::vector<uint8_t> picture = std::vector<uint8_t>(FrameBufferBytes, 0x55);
    void SetUp() override { freshMachine(); }
};

TEST_F(FrameDriver, CycleBasedFrameOffersExactlyOneNmiAtLine288) {
    loadNmiCounter({0x00});
    WriteHandlers[NmiCount] = recordNmiWrite;
    uint64_t start = cpu.TCOUNT;
    runFrame(CyclesPerFrame, picture.data(), 0);
    EXPECT_EQ(nmiCount(), 1);
    EXPECT_EQ(cpu.NMI, 0u);
    // Accepted at the first instruction boundary of line 288; the handler's
    // store follows within a few dozen cycles.
    EXPECT_GE(lastNmiWrite - start, uint64_t(288 * 192));
    EXPECT_LT(lastNmiWrite - start, uint64_t(288 * 192 + 64));
    for (int i = 0; i < 9; i++)
        runFrame(CyclesPerFrame, picture.data(), 0);
    EXPECT_EQ(nmiCount(), 10);
    EXPECT_EQ(frameCounter, 10u);
}

TEST_F(FrameDriver, FastFrameOffersOneNmiInItsLastLine) {
    loadNmiCounter({0x00});
    WriteHandlers[NmiCount] = recordNmiWrite;
    uint64_t start = cpu.TCOUNT;
    runFrameFast();
    EXPECT_EQ(nmiCount(), 1);
    EXPECT_EQ(cpu.NMI, 0u);
    EXPECT_GE(lastNmiWrite - start, uint64_t(311 * 192));
    runFramesBlind(4);
    EXPECT_EQ(nmiCount(), 5);
    EXPECT_EQ(frameCounter, 5u);
}

TEST_F(FrameDriver, NmiHandlerThatSpansTheHighLinesRunsOnce) {
    // A slow handler: 40 x EX (SP),HL (19 cycles each) keeps it busy past
    // line 290, with RETN while the line is still high in the short case.
    loadNmiCounter({0x00});
    poke(0x0066, {0x2A, 0x00, 0x80, 0x23, 0x22, 0x00, 0x80});
    uint16_t at = 0x006D;
    for (int i = 0; i < 40; i++)
        MainMemory[at++] = 0xE3;
    poke(at, {0xED, 0x45});
    for (int i = 0; i < 3; i++)
        runFrame(CyclesPerFrame, picture.data(), 0);
    EXPECT_EQ(nmiCount(), 3);
}

TEST_F(FrameDriver, CycleBasedBudgetCarriesIntoTheNextFrame) {
    loadNmiCounter({0xE3, 0xE3, 0xE3}); // EX (SP),HL: 19 cycles, frames end mid-line
    int64_t executedTotal = 0, expected = 0;
    for (int i = 0; i < 20; i++) {
        uint64_t before = cpu.TCOUNT;
        int32_t left = runFrame(CyclesPerFrame, picture.data(), 0);
        EXPECT_LE(left, 0);
        EXPECT_GT(left, -30); // at most one instruction (plus an NMI) past the budget
        EXPECT_EQ(lineCycles, left);
        executedTotal += static_cast<int64_t>(cpu.TCOUNT - before);
        expected += CyclesPerFrame - left;
    }
    EXPECT_EQ(executedTotal, expected);
    EXPECT_EQ(nmiCount(), 20);
}

TEST_F(FrameDriver, FastModeCarriesItsOvershoot) {
    loadNmiCounter({0xE3, 0x00, 0xE3});
    uint64_t start = cpu.TCOUNT;
    for (int i = 0; i < 50; i++) {
        runFrameFast();
        EXPECT_LE(fastCarry, 0);
        EXPECT_GT(fastCarry, -30);
    }
    // 50 frames of 59,904 cycles, give or take what is carried.
    EXPECT_EQ(static_cast<int64_t>(cpu.TCOUNT - start), 50 * int64_t(CyclesPerFrame) - fastCarry);
}

TEST_F(FrameDriver, CycleBasedModeDrawsEachLineWhenItIsPassed) {
    // After about 135 lines the program puts a solid block in row 0 (already
    // drawn) and in row 23 (drawn later in the same frame).
    poke(0x0000, {0xF3, 0x31, 0x00, 0xFF, 0x01, 0xE8, 0x03, // DI; LD SP; LD BC,1000
                  0x0B, 0x78, 0xB1, 0x20, 0xFB,             // DEC BC; LD A,B; OR C; JR NZ
                  0x3E, 0x7F, 0x32, 0x00, 0x7C, 0x32, 0xD0, 0x7F, 0x18, 0xFE});
    poke(0x0066, {0xED, 0x45});
    for (int i = 0; i < 1024; i++)
        MainMemory[0x7C00 + i] = 0x20;
    runFrame(CyclesPerFrame, picture.data(), 0);
    EXPECT_EQ(picture[0 * 240 + 0], 0x00) << "row 0 was drawn before the store";
    EXPECT_EQ(picture[230 * 240 + 0], 0xFF) << "row 23 was drawn after it";
    EXPECT_EQ(picture[240 * 240], 0x55) << "nothing beyond line 239";

    // The fast mode draws from the final state: both blocks show.
    freshMachine();
    poke(0x0000, {0xF3, 0x31, 0x00, 0xFF, 0x01, 0xE8, 0x03, 0x0B, 0x78, 0xB1, 0x20,
                  0xFB, 0x3E, 0x7F, 0x32, 0x00, 0x7C, 0x32, 0xD0, 0x7F, 0x18, 0xFE});
    poke(0x0066, {0xED, 0x45});
    runFrameFast();
    for (int line = 0; line < 240; line++)
        renderLine(line, picture.data(), 0);
    EXPECT_EQ(picture[0], 0xFF);
    EXPECT_EQ(picture[230 * 240], 0xFF);
}

// Pixels of one character cell row as a string of '#' and '.'.
std::string cellRow(const std::vector<uint8_t>& picture, int line, int column, int pitchShift = 0) {
    std::string s;
    const uint8_t* p = picture.data() + line * (240 << pitchShift) + column * 6;
    for (int i = 0; i < 6; i++)
        s += p[i] == 0xFF ? '#' : p[i] == 0 ? '.' : '?';
    return s;
}

// Cell pictures fixed by the system: space, 'A', the solid block, and the
// 2 x 3 block cells (rows 0-2 top, 3-6 middle, 7-9 bottom).
const std::vector<std::string> Blank(10, "......");
const std::vector<std::string> LetterA = {"..#...", ".#.#..", "#...#.", "#####.", "#...#.",
                                          "#...#.", "#...#.", "......", "......", "......"};
const std::vector<std::string> Solid = {"#####.", "#####.", "#####.", "#####.", "#####.",
                                        "#####.", "#####.", "......", "......", "......"};

std::vector<std::string> blockCells(bool tl, bool tr, bool ml, bool mr, bool bl, bool br) {
    auto row = [](bool l, bool r) { return std::string(l ? "###" : "...") + (r ? "###" : "..."); };
    std::vector<std::string> cell;
    for (int y = 0; y < 10; y++)
        cell.push_back(y < 3 ? row(tl, tr) : y < 7 ? row(ml, mr) : row(bl, br));
    return cell;
}

std::vector<std::string> inverted(const std::vector<std::string>& cell) {
    std::vector<std::string> out;
    for (std::string row : cell) {
        for (char& c : row)
            c = c == '#' ? '.' : '#';
        out.push_back(row);
    }
    return out;
}

uint8_t* rowAddress(int row) { return MainMemory + 0x7C00 + (row % 8) * 128 + (row / 8) * 40; }

void expectCell(const std::vector<uint8_t>& picture, int row, int column,
                const std::vector<std::string>& cell, const char* what) {
    for (int y = 0; y < 10; y++)
        EXPECT_EQ(cellRow(picture, row * 10 + y, column), cell[y])
            << what << " row " << row << " column " << column << " pixel row " << y;
}

class Picture : public FrameDriver {
  protected:
    void SetUp() override {
        FrameDriver::SetUp();
        for (int i = 0; i < 1024; i++)
            MainMemory[0x7C00 + i] = 0x20;
    }
    void draw() {
        for (int line = 0; line < 240; line++)
            renderLine(line, picture.data(), 0);
    }
};

TEST_F(Picture, GraphicsSwitchingAndBlockCells) {
    const uint8_t row[] = {0x41, 0x97, 0x17, 0x41, 0x20, 0x7F, 0x21, 0x22, 0x24, 0x28,
                           0x30, 0x60, 0x1F, 0x00, 0x7F, 0x9F, 0xC1, 0x8F, 0x7F};
    std::memcpy(rowAddress(5), row, sizeof row);
    rowAddress(6)[0] = 0x7F; // the next line starts in text mode again
    draw();
    expectCell(picture, 5, 0, LetterA, "text before the switch");
    // 97h switches on and is drawn as its own block: bits 0, 1, 2, 4 set.
    expectCell(picture, 5, 1, blockCells(true, true, true, false, true, false), "97h");
    expectCell(picture, 5, 2, Blank, "17h");
    expectCell(picture, 5, 3, LetterA, "letter column in graphics");
    expectCell(picture, 5, 4, Blank, "20h in graphics");
    expectCell(picture, 5, 5, blockCells(true, true, true, true, true, true), "7Fh in graphics");
    expectCell(picture, 5, 6, blockCells(true, false, false, false, false, false), "21h");
    expectCell(picture, 5, 7, blockCells(false, true, false, false, false, false), "22h");
    expectCell(picture, 5, 8, blockCells(false, false, true, false, false, false), "24h");
    expectCell(picture, 5, 9, blockCells(false, false, false, true, false, false), "28h");
    expectCell(picture, 5, 10, blockCells(false, false, false, false, true, false), "30h");
    expectCell(picture, 5, 11, blockCells(false, false, false, false, false, true), "60h");
    expectCell(picture, 5, 12, blockCells(true, true, true, true, true, false), "1Fh");
    // 00h ends graphics: the solid block after it is the text glyph.
    expectCell(picture, 5, 14, Solid, "7Fh after 00h");
    // 9Fh switches on again; C1h is then a letter that never blinks, and 8Fh
    // switches off, so the last 7Fh is text.
    frameCounter = 8;
    draw();
    expectCell(picture, 5, 15, blockCells(true, true, true, true, true, false), "9Fh");
    expectCell(picture, 5, 16, LetterA, "C1h in graphics, blink phase");
    expectCell(picture, 5, 18, Solid, "7Fh after 8Fh");
    expectCell(picture, 6, 0, Solid, "next line");
}

TEST_F(Picture, BlinkingInvertsDuringEightFramesOfSixteen) {
    rowAddress(0)[0] = 0xC1;
    rowAddress(0)[1] = 0x41;
    for (uint32_t counter : {0u, 7u, 16u, 23u}) {
        frameCounter = counter;
        draw();
        expectCell(picture, 0, 0, LetterA, "normal phase");
    }
    for (uint32_t counter : {8u, 15u, 24u}) {
        frameCounter = counter;
        draw();
        expectCell(picture, 0, 0, inverted(LetterA), "inverted phase");
        expectCell(picture, 0, 1, LetterA, "no bit 7");
    }
}

TEST_F(Picture, LinesOutsideTheVisibleAreaWriteNothing) {
    std::vector<uint8_t> before = picture;
    renderLine(240, picture.data(), 0);
    renderLine(311, picture.data(), 0);
    renderLine(-1, picture.data(), 0);
    EXPECT_EQ(picture, before);
}

TEST_F(Picture, GoldenScreenOfTextAndGraphics) {
    // Every row: text 'A', solid block, graphics on with 97h, cells, a letter,
    // then 0Fh back to text and a blinking 'A'; rows alternate the cells.
    for (int row = 0; row < 24; row++) {
        uint8_t* text = rowAddress(row);
        const uint8_t cells[] = {0x41, 0x7F, 0x97, static_cast<uint8_t>(row & 1 ? 0x21 : 0x60),
                                 0x41, 0x0F, 0xC1};
        std::memcpy(text + 3 * (row % 5), cells, sizeof cells);
    }
    frameCounter = 8;
    draw();
    for (int row = 0; row < 24; row++) {
        int c = 3 * (row % 5);
        for (int x = 0; x < c; x++)
            expectCell(picture, row, x, Blank, "before");
        expectCell(picture, row, c, LetterA, "A");
        expectCell(picture, row, c + 1, Solid, "block");
        expectCell(picture, row, c + 2, blockCells(true, true, true, false, true, false), "97h");
        expectCell(picture, row, c + 3,
                   row & 1 ? blockCells(true, false, false, false, false, false)
                           : blockCells(false, false, false, false, false, true),
                   "cell");
        expectCell(picture, row, c + 4, LetterA, "letter");
        expectCell(picture, row, c + 6, inverted(LetterA), "blinking");
        for (int x = c + 7; x < 40; x++)
            expectCell(picture, row, x, Blank, "after");
    }
}

TEST_F(Picture, WideLayoutDrawsEightyColumnsFrom5800) {
    externalRomKnown = true;
    basicRom = BasicRomExternal;
    ASSERT_EQ(framePitchShift(), 1);
    for (int i = 0; i < 2048; i++)
        MainMemory[0x5800 + i] = 0x20;
    // Row 9 of the wide layout: (9 mod 8) * 256 + (9 div 8) * 80.
    MainMemory[0x5800 + 256 + 80 + 79] = 0x7F;
    MainMemory[0x7C00] = 0x41; // the 40-column memory is not shown
    for (int line = 0; line < 240; line++)
        renderLine(line, picture.data(), 1);
    for (int y = 0; y < 10; y++)
        EXPECT_EQ(cellRow(picture, 90 + y, 79, 1), Solid[y]);
    EXPECT_EQ(cellRow(picture, 0, 0, 1), "......");
    EXPECT_EQ(frameWidth(framePitchShift()), 480);
}

} // namespace
