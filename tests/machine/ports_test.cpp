// Port decoding and aliases, card selection, the PIO's control sequences and
// interrupts (taken by the processor in IM 2), the cassette latch and the
// printer file.
#include <gtest/gtest.h>

#include "machine/peripherals.h"
#include "machine_fixture.h"
#include "media/tape_deck.h"

namespace {

class Ports : public ::testing::Test {
  protected:
    void SetUp() override { freshMachine(); }
};

TEST_F(Ports, CardSelectionUsesSixBitsAndPortSevenDeselects) {
    ioWrite(0x01, 0x64);
    EXPECT_EQ(cardSelect, 0x24);
    ioWrite(0x09, 0x3C); // alias of port 1 (bit 3 is not decoded)
    EXPECT_EQ(cardSelect, 60);
    EXPECT_EQ(ioRead(0x07), 0xFF);
    EXPECT_EQ(cardSelect, NoCardSelected);
    EXPECT_EQ(ioRead(0x00), 0);
    EXPECT_EQ(ioRead(0x01), 0);
    ioWrite(0x01, 0x05);
    EXPECT_EQ(ioRead(0x27), 0xFF); // alias of port 7
    EXPECT_EQ(cardSelect, NoCardSelected);
}

TEST_F(Ports, EveryWriteIsLatchedAtItsIndex) {
    ioWrite(0x3C, 0xA5); // index 14h: nothing but the latch
    EXPECT_EQ(PortLatches[0x14], 0xA5);
    EXPECT_EQ(PortLatches[0x3C], 0);
    EXPECT_EQ(cardSelect, 0);
    EXPECT_EQ(Pio[0].output, 0);
    EXPECT_EQ(Pio[1].output, 0);
    ioWrite(0xF8, 0x11); // index 10h: PIO A data
    EXPECT_EQ(PortLatches[0x10], 0x11);
    EXPECT_EQ(Pio[PioChannelA].output, 0x11);
    // Unassigned ports read 0.
    for (uint8_t port : {0x02, 0x05, 0x06, 0x0E, 0x14, 0x17, 0x3C, 0xF4})
        EXPECT_EQ(ioRead(port), 0) << int(port);
}

TEST_F(Ports, PioControlSequences) {
    ioWrite(0x39, 0x4F); // mode word: input, next byte is the direction mask
    EXPECT_EQ(Pio[0].mode, 0x40);
    EXPECT_EQ(Pio[0].controlState, PioExpectDirectionMask);
    ioWrite(0x39, 0x97); // taken as the mask, not as a control word
    EXPECT_EQ(Pio[0].directionMask, 0x97);
    EXPECT_EQ(Pio[0].controlState, PioExpectControl);
    ioWrite(0x39, 0x97); // interrupt control: enable, mask follows
    EXPECT_EQ(Pio[0].interruptControl, 0x80);
    EXPECT_EQ(Pio[0].controlState, PioExpectInterruptMask);
    ioWrite(0x39, 0xF0);
    EXPECT_EQ(Pio[0].interruptMask, 0xF0);
    EXPECT_EQ(Pio[0].controlState, PioExpectControl);
    ioWrite(0x39, 0x83);
    EXPECT_EQ(Pio[0].interruptEnable, 0x80);
    ioWrite(0x39, 0x0F); // output mode: no mask follows
    EXPECT_EQ(Pio[0].mode, 0x00);
    EXPECT_EQ(Pio[0].controlState, PioExpectControl);
    // A vector word (bit 0 clear) also becomes the processor's vector byte.
    ioWrite(0x3B, 0x52);
    EXPECT_EQ(Pio[1].interruptVector, 0x52);
    EXPECT_EQ(cpu.intVector, 0x52);
    EXPECT_EQ(ioRead(0x3B), 0x52);
    EXPECT_EQ(ioRead(0x39), 0x0F);
    // An even mask byte is not a vector: the processor's vector byte stays.
    ioWrite(0x3B, 0xCF);
    ioWrite(0x3B, 0xFE);
    EXPECT_EQ(Pio[1].directionMask, 0xFE);
    EXPECT_EQ(cpu.intVector, 0x52);
}

TEST_F(Ports, PioDataReadFollowsTheMode) {
    Pio[1].input = 0xF0;
    pioWrite(2, 0x3C);
    EXPECT_EQ(pioRead(2), 0x3C); // output mode
    pioWrite(3, 0x4F);
    pioWrite(3, 0x00);
    EXPECT_EQ(pioRead(2), 0xF0); // input mode
    pioWrite(3, 0xCF);
    pioWrite(3, 0x0F); // bit control, low four lines inputs
    Pio[1].input = 0xA5;
    pioWrite(2, 0x5A);
    EXPECT_EQ(pioRead(2), 0x55);
    pioWrite(3, 0x8F);
    pioWrite(3, 0x00);
    pioWrite(2, 0x77);
    EXPECT_EQ(pioRead(2), 0x77); // bidirectional: the last byte written there
}

TEST_F(Ports, PioInputRequestsInterruptByPolarityAndMask) {
    auto ack = [](uint16_t, uint8_t) {};
    PioChannel& b = Pio[PioChannelB];
    b.directionMask = 0xFF;
    b.interruptVector = 0x40;
    b.interruptControl = 0x80; // enabled, active low
    pioInput(PioChannelB, 0xFF, ack);
    EXPECT_EQ(cpu.INT, 0u);
    pioInput(PioChannelB, 0xFE, ack);
    EXPECT_EQ(cpu.INT, 1u);
    EXPECT_EQ(cpu.intVector, 0x40);
    EXPECT_EQ(b.activeBits, 0x01);
    EXPECT_EQ(b.input, 0xFE);
    cpu.INT = 0;
    b.interruptMask = 0x01; // the line is masked
    pioInput(PioChannelB, 0xFE, ack);
    EXPECT_EQ(cpu.INT, 0u);
    b.interruptControl = 0xA0; // active high
    pioInput(PioChannelB, 0x02, ack);
    EXPECT_EQ(cpu.INT, 1u);
    cpu.INT = 0;
    b.interruptControl = 0x20; // disabled
    pioInput(PioChannelB, 0x02, ack);
    EXPECT_EQ(cpu.INT, 0u);
    EXPECT_EQ(b.activeBits, 0x02);
}

TEST_F(Ports, CassetteLatchAndTapeInterruptInIm2) {
    // Program: IM 2 with I = 90h, the PIO B vector 52h set through port 3Bh,
    // interrupts on for an active-low line 0, then it waits; the handler at
    // 9100h counts into 8000h and returns with RETI.
    poke(0x0000, {0xF3, 0x31, 0x00, 0xFF, 0x3E, 0x90, 0xED, 0x47, 0xED, 0x5E, // DI; SP; I=90h; IM 2
                  0x3E, 0x52, 0xD3, 0x3B,                                     // vector 52h
                  0x3E, 0xCF, 0xD3, 0x3B, 0x3E, 0xFF, 0xD3, 0x3B,             // bit control, all in
                  0x3E, 0x97, 0xD3, 0x3B, 0x3E, 0xFE, 0xD3, 0x3B,             // enable, mask FEh
                  0x3E, 0x40, 0xD3, 0x3A,                                     // B output bit 6 set
                  0xFB, 0x76, 0x18, 0xFD});                                   // EI; HALT; JR
    poke(0x9052, {0x00, 0x91});
    poke(0x9100, {0xF5, 0x3A, 0x00, 0x80, 0x3C, 0x32, 0x00, 0x80, 0xF1, 0xFB, 0xED, 0x4D});
    poke(0x0066, {0xED, 0x45});
    for (int i = 0; i < 40; i++)
        execute(0);
    ASSERT_EQ(Pio[1].interruptVector, 0x52);
    ASSERT_EQ(Pio[1].interruptControl, 0x80);
    ASSERT_EQ(Pio[1].output & 0x40, 0x40);
    tapeInputLatch = 1;
    tapeEdge();
    EXPECT_EQ(tapeInputLatch, 0);
    EXPECT_EQ(cpu.INT, 1u);
    EXPECT_EQ(cpu.intVector, 0x52);
    for (int i = 0; i < 20; i++)
        execute(0);
    EXPECT_EQ(MainMemory[0x8000], 1) << "the handler ran once";
    EXPECT_EQ(cpu.INT, 0u) << "the tape request is withdrawn when it is taken";

    // Writing port B with bit 6 clear sets the latch and clears the input.
    Pio[1].input = 0xFF;
    ioWrite(0x3A, 0x00);
    EXPECT_EQ(tapeInputLatch, 1);
    EXPECT_EQ(Pio[1].input, 0x00);
    // With bit 6 clear an edge only clears the latch.
    tapeEdge();
    EXPECT_EQ(tapeInputLatch, 0);
    EXPECT_EQ(cpu.INT, 0u);
}

// A deck that has not recorded since power-on counts as playing, so port 3Ah
// gives the latch and the PIO; once the deck has been closed after a tape,
// the port reads all ones.
TEST_F(Ports, CassettePortReadsLatchAndPioOrAllOnes) {
    tapeInputLatch = 1;
    pioWrite(2, 0x25); // output mode: data read gives the output byte
    ASSERT_TRUE(TapeIsPlaying());
    EXPECT_EQ(ioRead(0x3A), 0x80 | 0x25);
    tapeDeck.reading = 0;
    EXPECT_EQ(ioRead(0x3A), 0xFF);
}

// The machine alone, with no recorder and no card connected: the cassette
// port reads all ones, the card ports read 0 and take writes without effect,
// and frames run.
TEST_F(Ports, UnconnectedPeripheralsAnswerAsAbsent) {
    connectCassette({});
    connectCards({});
    tapeInputLatch = 1;
    pioWrite(2, 0x25);
    EXPECT_EQ(ioRead(0x3A), 0xFF);
    ioWrite(0x01, 45); // the "mo" disk card's code
    ioWrite(0x00, 0x01);
    EXPECT_EQ(ioRead(0x00), 0);
    EXPECT_EQ(ioRead(0x01), 0);
    poke(0x0000, {0x18, 0xFE}); // JR $
    runFrameFast();
    EXPECT_EQ(frameCounter, 1u);
    machineConnect();
    EXPECT_EQ(ioRead(0x01), 0x80) << "the real card answers again (busy after a reset)";
}

class Printer : public Ports {
  protected:
    TempFolder folder{"printer"};
    void SetUp() override {
        Ports::SetUp();
        setPrinterDirectory(folder.path.string());
    }
    void TearDown() override { setPrinterDirectory(""); }
};

TEST_F(Printer, SelectedPrinterWritesTheFile) {
    ioWrite(0x01, 60);
    for (int c : {int('H'), int('I'), 0x0D, 0x8D, int('X')})
        ioWrite(0x00, static_cast<uint8_t>(c));
    ioWrite(0x03, 'Y'); // ports 2-5 print too
    EXPECT_EQ(readWholeFile(folder.file("printer.txt")), "\nHI\nXY");
    // Another card selected: nothing more is printed.
    ioWrite(0x01, 0x20);
    ioWrite(0x00, 'Z');
    EXPECT_EQ(readWholeFile(folder.file("printer.txt")), "\nHI\nXY");
}

TEST_F(Printer, FileIsAppendedAcrossOpens) {
    printerOut('A');
    closePrinter();
    printerOut('B');
    EXPECT_EQ(readWholeFile(folder.file("printer.txt")), "\nA\nB");
}

TEST_F(Printer, UnopenableFolderDropsCharacters) {
    setPrinterDirectory(folder.file("no-such-folder"));
    printerOut('A');
    printerOut('B');
    EXPECT_FALSE(std::filesystem::exists(folder.file("no-such-folder")));
    EXPECT_EQ(printerFilePath(), folder.file("no-such-folder") + "/printer.txt");
    EXPECT_EQ(PrinterFailure(), "cannot write " + folder.file("no-such-folder") +
                                    "/printer.txt: no such file or folder");
    // The next character tries again once the folder exists.
    std::filesystem::create_directory(folder.file("no-such-folder"));
    printerOut('C');
    EXPECT_EQ(readWholeFile(folder.file("no-such-folder/printer.txt")), "\nC");
}

TEST_F(Printer, FullDiskLosesOutputAndSaysSo) {
    std::filesystem::create_directory(folder.file("full"));
    std::filesystem::create_symlink("/dev/full", folder.file("full/printer.txt"));
    setPrinterDirectory(folder.file("full"));
    EXPECT_EQ(PrinterFailure(), "");
    printerOut('A');
    EXPECT_EQ(PrinterFailure(),
              "cannot write " + folder.file("full") + "/printer.txt: no space left on device");
    setPrinterDirectory(folder.path.string());
    EXPECT_EQ(PrinterFailure(), "") << "a new folder starts afresh";
}

} // namespace
