// Port dispatch with five-bit decoding, the ABC-bus card selection, the Z80
// PIO model, the cassette input latch and the printer card.
#include "machine/ports.h"

#include <cerrno>
#include <cstdio>

#include "cpu/bus.h"
#include "files/file_write.h"
#include "machine/keyboard.h"
#include "machine/peripherals.h"
#include "machine/sound_chip.h"
#include "sound/mixer.h"

PioChannel Pio[2];
uint8_t PioLastWritten[4];
uint8_t PortLatches[256];
int32_t cardSelect = 0;
uint8_t tapeInputLatch = 0;

namespace {

std::string printerFolder = ".";
FILE* printerFile = nullptr;
std::string printerFailure; // why the printout stopped; "" while it runs

bool diskCardSelected() { return Abc80Model.cards.isDiskCard(cardSelect); }

// An OUT to ports 0, 2-5: the selected card's data or command byte.
void cardWrite(int index, uint8_t value) {
    if (diskCardSelected())
        cardBus.write(cardSelect, index, value);
    else if (cardSelect == PrinterCardCode)
        printerOut(value);
}

void cassetteControl(uint8_t value) {
    uint8_t old = PortLatches[0x12];
    if ((old ^ value) & 0x20) cassettePort.setMotor((value >> 5) & 1, cpu.TCOUNT);
    if ((old & 0x20) && !(value & 0x20) && !cassettePort.playing()) cassettePort.close();
    if (!cassettePort.playing()) cassettePort.renderOutput(cpu.TCOUNT, (old >> 6) & 1);
    if (!(value & 0x40)) {
        tapeInputLatch = 1;
        Pio[PioChannelB].input = 0;
    }
}

} // namespace

// The tape's request is withdrawn when the processor takes any interrupt but
// the keyboard's.
void tapeAcknowledge(uint16_t, uint8_t vector) {
    if (vector != 0x34) cpu.INT = 0;
}

uint8_t pioRead(int index) {
    const PioChannel& channel = Pio[(index >> 1) & 1];
    if (index & 1) return PioLastWritten[index & 3];
    switch (channel.mode) {
    case 0x00: return channel.output;
    case 0x40: return channel.input;
    case 0xC0:
        return static_cast<uint8_t>((channel.output & ~channel.directionMask) |
                                    (channel.input & channel.directionMask));
    default: return PioLastWritten[index & 3];
    }
}

void pioWrite(int index, uint8_t value) {
    PioChannel& channel = Pio[(index >> 1) & 1];
    PioLastWritten[index & 3] = value;
    if (!(index & 1)) {
        channel.output = value;
        return;
    }
    switch (channel.controlState) {
    case PioExpectInterruptMask:
        channel.interruptMask = value;
        channel.controlState = PioExpectControl;
        return;
    case PioExpectDirectionMask:
        channel.directionMask = value;
        channel.controlState = PioExpectControl;
        return;
    default: break;
    }
    if (!(value & 1)) {
        channel.interruptVector = value;
        return;
    }
    switch (value & 0x0F) {
    case 0x0F:
        channel.mode = value & 0xC0;
        if (channel.mode) channel.controlState = PioExpectDirectionMask;
        break;
    case 0x07:
        channel.interruptControl = value & 0xE0;
        if (value & 0x10) channel.controlState = PioExpectInterruptMask;
        break;
    case 0x03: channel.interruptEnable = value & 0x80; break;
    default: break;
    }
}

void pioInput(int channelIndex, uint8_t value, InterruptAck acknowledge) {
    PioChannel& channel = Pio[channelIndex & 1];
    uint8_t active = (channel.interruptControl & 0x20) ? value : static_cast<uint8_t>(~value);
    active &= static_cast<uint8_t>(~channel.interruptMask) & channel.directionMask;
    if ((channel.interruptControl & 0x80) && active) {
        cpu.intVector = channel.interruptVector;
        cpu.INT = 1;
        cpu.intAck = acknowledge;
    }
    channel.input = value;
    channel.activeBits = active;
}

void tapeEdge() {
    tapeInputLatch = 0;
    if (Pio[PioChannelB].output & 0x40) pioInput(PioChannelB, 0, tapeAcknowledge);
}

uint8_t ioRead(uint8_t port) {
    int index = portIndex(port);
    switch (index) {
    case 0x00:
    case 0x01: return diskCardSelected() ? cardBus.read(cardSelect, index) : 0;
    case 0x07:
        cardSelect = NoCardSelected;
        cardBus.reset();
        return 0xFF;
    case 0x10: return keyboardRead();
    case 0x11: return pioRead(1);
    case 0x12:
        if (!cassettePort.playing()) return 0xFF;
        return static_cast<uint8_t>((tapeInputLatch << 7) | (pioRead(2) & 0x7F));
    case 0x13: return pioRead(3);
    default: return 0;
    }
}

void ioWrite(uint8_t port, uint8_t value) {
    int index = portIndex(port);
    switch (index) {
    case 0x00:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05: cardWrite(index, value); break;
    case 0x01: cardSelect = value & 0x3F; break;
    case 0x06:
        MixUpTo(cpu.TCOUNT);
        soundChipWrite(value);
        break;
    case 0x10: pioWrite(0, value); break;
    case 0x11:
    case 0x13:
        // Only a vector word sets the processor's vector byte; a mask or
        // direction byte that happens to be even is not a vector.
        if (!(value & 1) && Pio[(index >> 1) & 1].controlState == PioExpectControl)
            cpu.intVector = value & 0xFE;
        pioWrite(index & 3, value);
        break;
    case 0x12:
        cassetteControl(value);
        pioWrite(2, value);
        break;
    default: break;
    }
    PortLatches[index] = value;
}

void setPrinterDirectory(const std::string& folder) {
    closePrinter();
    printerFailure.clear();
    printerFolder = folder.empty() ? "." : folder;
}

const std::string& printerDirectory() { return printerFolder; }

std::string printerFilePath() { return printerFolder + "/printer.txt"; }

// A printout that can't be written (a missing folder, a full disk) drops the
// characters and says so once; the next character tries again.
void printerFailed(int errnum) {
    if (printerFile) std::fclose(printerFile);
    printerFile = nullptr;
    if (!printerFailure.empty()) return;
    printerFailure = "cannot write " + printerFilePath() + ": " + FileErrorText(errnum);
    std::fprintf(stderr, "Printer output lost: %s.\n", printerFailure.c_str());
}

void printerOut(uint8_t value) {
    if (!printerFile) {
        printerFile = std::fopen(printerFilePath().c_str(), "a");
        if (!printerFile) return printerFailed(errno);
        std::fputc('\n', printerFile);
    }
    int ok = 1;
    if (value == 0x0D)
        ok = std::fputc('\n', printerFile) != EOF;
    else if (value != 0x8D)
        ok = std::fputc(value, printerFile) != EOF;
    // Flushed per character so the file is complete whenever it is looked at.
    if (std::fflush(printerFile) != 0 || !ok) printerFailed(errno);
}

const std::string& PrinterFailure() { return printerFailure; }

void closePrinter() {
    if (printerFile && std::fclose(printerFile) != 0 && printerFailure.empty())
        printerFailure = "cannot write " + printerFilePath() + ": " + FileErrorText(errno);
    printerFile = nullptr;
}
