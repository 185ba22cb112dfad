// The I/O port map of the ABC80, the Z80 PIO with the keyboard and cassette
// lines, and the printer card that writes "printer.txt".
//
// ioRead/ioWrite are called by the processor for every IN and OUT. Only
// address bits 0, 1, 2 and 4 are decoded (index = port AND 17h), so every
// port has aliases; the PIO at 38h-3Bh is indices 10h-13h.
#pragma once

#include <cstdint>

#include "machine/model.h"
#include <string>

#include "cpu/z80.h"

struct PioChannel {
    uint8_t input;         // last value presented by the device side
    uint8_t output;        // last data byte written by the program
    uint8_t directionMask; // bit-control mode: a 1 bit is an input
    uint8_t interruptMask; // a 1 bit excludes that line from interrupts
    uint8_t interruptVector;
    uint8_t interruptControl; // bits 7-5 of the last control word
    uint8_t interruptEnable;  // bit 7 of the last enable/disable word
    uint8_t mode;             // bits 7-6: 00 out, 40 in, 80 bidirectional, C0 bit control
    uint32_t controlState;    // what the next control byte is (PioExpect...)
    uint8_t activeBits;
};

enum : int { PioChannelA = 0, PioChannelB = 1 };
enum : uint32_t { PioExpectControl = 0, PioExpectInterruptMask = 2, PioExpectDirectionMask = 5 };
enum : int32_t { NoCardSelected = -1, PrinterCardCode = Abc80Model.cards.printerCode };

extern PioChannel Pio[2];
extern uint8_t PioLastWritten[4];
extern uint8_t PortLatches[256];
extern int32_t cardSelect;
extern uint8_t tapeInputLatch;

constexpr uint8_t portIndex(uint8_t port) { return port & 0x17; }

uint8_t ioRead(uint8_t port);
void ioWrite(uint8_t port, uint8_t value);

uint8_t pioRead(int index);
void pioWrite(int index, uint8_t value);
void pioInput(int channel, uint8_t value, InterruptAck acknowledge);
void tapeEdge();
// The acknowledge of the tape's interrupt request.
void tapeAcknowledge(uint16_t address, uint8_t vector);

// The printer writes to "printer.txt" in this folder (the current directory
// unless set). Setting a folder closes the file that is open.
void setPrinterDirectory(const std::string& folder);
const std::string& printerDirectory();
std::string printerFilePath();
void printerOut(uint8_t value);
void closePrinter();
// Why printer output was lost ("cannot write ./printer.txt: no space left on
// device"), or "" while all went well. The first failure is reported on
// stderr (the front ends show this text); it stays until a printer folder is set
// again, while every later character tries the file again.
const std::string& PrinterFailure();
