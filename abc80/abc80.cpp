#include "abc80/abc80.h"

#include "abc80/history.h"

#include <cstring>

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/peripherals.h"
#include "machine/ports.h"
#include "machine/roms.h"
#include "machine/sound_chip.h"
#include "media/disk_card.h"
#include "media/tape_deck.h"
#include "monitor/debug.h"
#include "monitor/monitor.h"

namespace {

void processorPowerOn() {
    cpu = Z80Cpu{};
    cpuInit(MachineClockHz); // handler tables to the decoder, watch flags cleared
}

void memoryPowerOn() {
    std::memset(MainMemory, 0, sizeof MainMemory);
    basicRom = BasicRomOld;
    dosRom = DosRomUfddos;
    externalRomKnown = false;
    wideVideo = false;
}

void portsPowerOn() {
    std::memset(Pio, 0, sizeof Pio);
    std::memset(PioLastWritten, 0, sizeof PioLastWritten);
    std::memset(PortLatches, 0, sizeof PortLatches);
    cardSelect = 0;
    tapeInputLatch = 0;
    closePrinter();
}

void framePowerOn() {
    frameCounter = 0;
    lineCycles = 0;
    fastCarry = 0;
    lastTapeLevel = 0;
    forgetPendingFrame();
}

void tapePowerOn() {
    CloseTape();
    tapeDeck = TapeDeck{};
}

// Command bytes and transfers of every card, drives kept.
void diskCardsPowerOn() {
    for (DiskCard* card : DiskCardTable) {
        if (!card) continue;
        card->command = card->drive = card->high = card->low = 0;
        card->interleaveMask = card->interleaveFactor = 0;
        for (DiskDrive& drive : card->drives)
            drive.busy = 0;
        std::memset(card->buffers, 0, sizeof card->buffers);
    }
    ResetDiskCards();
}

void monitorPowerOn() {
    monitorCurrent = MonitorNoAddress;
    debugPowerOn();
}

} // namespace

bool cycleBasedFrames = false;

const MachineDevice MachineDevices[] = {
    {"processor", processorPowerOn},
    {"memory", memoryPowerOn},
    {"keyboard", keyboardInit},
    {"ports", portsPowerOn},
    {"sound chip", [] { soundChipInit(48000); }},
    {"frame", framePowerOn},
    {"tape deck", tapePowerOn},
    {"disk cards", diskCardsPowerOn},
    {"monitor", monitorPowerOn},
};
const int MachineDeviceCount = sizeof MachineDevices / sizeof MachineDevices[0];

void machineConnect() {
    cpuConnect(
        {.read = memRead, .write = memWrite, .in = ioRead, .out = ioWrite, .stop = debugStopCheck});
    connectCassette({.playing = TapeIsPlaying,
                     .sampleInput = SampleTapeInput,
                     .setMotor = SetTapeMotor,
                     .renderOutput = RenderTapeOutput,
                     .close = CloseTape,
                     .frameEnd = UpdateTapeCounter,
                     .inserted = TapeInserted,
                     .nextSampleCycle = TapeNextSampleCycle});
    connectCards({.read = ReadDiskCardPort, .write = WriteDiskCardPort, .reset = ResetDiskCards});
    historyConnect();
}

void machineInit() {
    machineConnect();
    // The deck starts empty with its motor off: a motor left running would
    // make the first recording start at once.
    tapePowerOn();
    keyboardInit();
    loadExternalRom();
    cpuInit(MachineClockHz);
    soundChipInit(48000);
    placeFirmwareExtension();
}

void machineReset() {
    keyboardReset();
    cpuReset();
    CloseTape();
    placeFirmwareExtension();
    historyMachineChanged();
}

void machineHardReset() {
    machineReset();
    std::memset(MainMemory + 0x4000, 0, 0x2000);
    std::memset(MainMemory + 0x8000, 0, 0x8000);
    std::memset(PortLatches, 0, sizeof PortLatches);
    placeFirmwareExtension();
    historyMachineChanged();
}

void machinePowerOn() {
    machineConnect();
    for (const MachineDevice& device : MachineDevices)
        device.powerOn();
    placeFirmwareExtension();
    historyClear();
}
