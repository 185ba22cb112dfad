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

constexpr MemoryMapRules Map = Abc80Model.memory;

void processorPowerOn() {
    cpu = Z80Cpu{};
    stoppedAt = 0;
    cpuInit(MachineClockHz); // handler tables to the decoder, watch flags cleared
}

void processorStart() { cpuInit(MachineClockHz); }

void memoryPowerOn() {
    std::memset(MainMemory, 0, sizeof MainMemory);
    basicRom = BasicRomOld;
    dosRom = DosRomUfddos;
    externalRomKnown = false;
    wideVideo = false;
    watchHitAddress = 0;
    watchHitKind = 0;
}

void memoryStart() { loadExternalRom(); }

void memoryHardReset() {
    for (const AddressRange& ram : Map.clearedByHardReset)
        std::memset(MainMemory + ram.first, 0, ram.size());
}

void portsPowerOn() {
    std::memset(Pio, 0, sizeof Pio);
    std::memset(PioLastWritten, 0, sizeof PioLastWritten);
    std::memset(PortLatches, 0, sizeof PortLatches);
    cardSelect = 0;
    tapeInputLatch = 0;
    closePrinter();
}

void portsHardReset() { std::memset(PortLatches, 0, sizeof PortLatches); }

void soundChipPowerOn() { soundChipInit(48000); }

void framePowerOn() {
    frameCounter = 0;
    lineCycles = 0;
    fastCarry = 0;
    lastTapeLevel = 0;
    forgetPendingFrame();
}

// The deck starts empty with its motor off: a motor left running would make
// the first recording start at once.
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

// The objects each device's steps and section cover. The handler tables and
// watch flags are rebuilt by the processor's power-on from the decoder and
// the breakpoints; a state does not hold them.
constexpr const char* ProcessorObjects[] = {
    "z80_state.cpp:cpu", "execute.cpp:stoppedAt", "z80_state.cpp:ReadHandlers",
    "z80_state.cpp:WriteHandlers", "z80_state.cpp:WatchFlags"};
constexpr const char* MemoryObjects[] = {"memory.cpp:MainMemory",  "memory.cpp:basicRom",
                                         "memory.cpp:dosRom",      "memory.cpp:externalRomKnown",
                                         "memory.cpp:wideVideo",   "memory.cpp:watchHitAddress",
                                         "memory.cpp:watchHitKind"};
// KeyPositionOf is the key table's inverse, rebuilt at power-on.
constexpr const char* KeyboardObjects[] = {"keyboard.cpp:KeyDown",    "keyboard.cpp:keyLatch",
                                           "keyboard.cpp:typeBuffer", "keyboard.cpp:typeIndex",
                                           "keyboard.cpp:typeSteps",  "keyboard.cpp:KeyPositionOf"};
constexpr const char* PortObjects[] = {
    "ports.cpp:Pio",        "ports.cpp:PioLastWritten", "ports.cpp:PortLatches",
    "ports.cpp:cardSelect", "ports.cpp:tapeInputLatch", "ports.cpp:printerFile"};
constexpr const char* SoundChipObjects[] = {"sound_chip.cpp:soundChip"};
constexpr const char* FrameObjects[] = {"frame.cpp:frameCounter",    "frame.cpp:lineCycles",
                                        "frame.cpp:fastCarry",       "frame.cpp:lastTapeLevel",
                                        "frame.cpp:cycleFrame",      "frame.cpp:fastFrame",
                                        "abc80.cpp:cycleBasedFrames"};
// The reader buffers the tape file; the state records its place as the
// deck's read offset.
constexpr const char* TapeObjects[] = {"tape_deck.cpp:tapeDeck", "tape_deck.cpp:reader"};
// The drives' paths are part of a state; the images behind them are the
// host's (HostOnly below).
constexpr const char* DiskCardObjects[] = {"disk_card.cpp:diskCards", "disk_images.cpp:DriveNames"};
constexpr const char* MonitorObjects[] = {"monitor.cpp:monitorCurrent", "debug.cpp:debug",
                                          "debug.cpp:trace"};

constexpr MachineDevice Devices[] = {
    {"processor", processorStart, processorPowerOn, cpuReset, nullptr, "CPU ", ProcessorObjects},
    {"memory", memoryStart, memoryPowerOn, nullptr, memoryHardReset, "MEM ", MemoryObjects},
    {"keyboard", keyboardInit, keyboardInit, keyboardReset, nullptr, "KEYB", KeyboardObjects},
    {"ports", nullptr, portsPowerOn, nullptr, portsHardReset, "PORT", PortObjects},
    {"sound chip", soundChipPowerOn, soundChipPowerOn, nullptr, nullptr, "SND ", SoundChipObjects},
    {"frame", nullptr, framePowerOn, nullptr, nullptr, "FRAM", FrameObjects},
    {"tape deck", tapePowerOn, tapePowerOn, CloseTape, nullptr, "TAPE", TapeObjects},
    {"disk cards", nullptr, diskCardsPowerOn, nullptr, nullptr, "DISK", DiskCardObjects},
    {"monitor", nullptr, monitorPowerOn, nullptr, nullptr, nullptr, MonitorObjects},
};

// Filled by connect(), which every power-on runs.
constexpr const char* Connections[] = {"z80_state.cpp:cpuBus",      "peripherals.cpp:cassettePort",
                                       "peripherals.cpp:cardBus",   "keyboard.cpp:inputLog",
                                       "disk_card.cpp:transferLog", "monitor.cpp:history"};

constexpr HostOnlyObject HostOnly[] = {
    // What the host chose from outside, kept by power-on.
    {"roms.cpp:explicitFolder", "the ROM folder the user chose"},
    {"roms.cpp:folderIsExplicit", "the ROM folder the user chose"},
    {"roms.cpp:installed", "the ROM images installed from the ROM folder"},
    {"roms.cpp:BasicRomImages", "which installed image each BASIC choice reads"},
    {"roms.cpp:DosRomImages", "which installed image each DOS choice reads"},
    {"roms.cpp:DosAuxRomImages", "which installed image each DOS choice reads"},
    {"ports.cpp:printerFolder", "the printer folder the user chose"},
    {"disk_images.cpp:DriveImages", "the disk image files attached to DR0-DR3"},
    {"disk_images.cpp:writeProtectSwitch", "the drives' write-protect switches"},
    {"tape_deck.cpp:tapeSound", "whether the tape is heard (a setting)"},
    {"tape_deck.cpp:tapeSoundFlag", "whether the tape is heard (a setting)"},
    {"debug.cpp:symbols", "the label list the user loaded for the monitor"},
    // Messages and displays of the host's, about the host's files.
    {"ports.cpp:printerFailure", "why the printout stopped, shown once"},
    {"host_file.cpp:lastError", "the last host file error, shown once"},
    {"host_file.cpp:lastWarning", "the last host file warning, shown once"},
    {"disk_images.cpp:lastWriteFailure", "the last failed disk write, shown once"},
    {"disk_images.cpp:writeFailures", "the count of failed disk writes in this run"},
    {"tape_deck.cpp:counterShown", "what the tape counter last showed"},
    {"tape_deck.cpp:shownActivity", "what the tape counter last showed"},
    {"tape_deck.cpp:shownBlocks", "what the tape counter last showed"},
    {"tape_deck.cpp:shownSeconds", "what the tape counter last showed"},
    {"media_status.cpp:statusWriter", "where media texts go (the front end's status line)"},
    // The front end's sound output: the mixer, its driver and the sound
    // recording. The sound chip's own state is a device above.
    {"mixer.cpp:SoundDriverSetting", "the sound driver the user chose"},
    {"mixer.cpp:current", "the sound driver in use"},
    {"mixer.cpp:syncState", "the sound driver's pacing"},
    {"sources.cpp:sources", "the sound sources registered with the mixer"},
    {"sound_chip.cpp:registered", "the sound chip's place among the mixer's sources"},
    {"tape_deck.cpp:soundRegistered", "the tape's place among the mixer's sources"},
    {"sound_chip.cpp:chipSource", "the sound chip as a mixer source"},
    {"mixer.cpp:lastCycles", "the mixer's position in the host's audio stream"},
    {"mixer.cpp:originCycles", "the mixer's position in the host's audio stream"},
    {"mixer.cpp:originSamples", "the mixer's position in the host's audio stream"},
    {"mixer.cpp:countedBase", "the mixer's position in the host's audio stream"},
    {"mixer.cpp:historyIndex", "the audio queue's recent fill levels"},
    {"mixer.cpp:queueHistory", "the audio queue's recent fill levels"},
    {"mixer.cpp:muted", "the sound output muted"},
    {"mixer.cpp:paused", "the sound output paused"},
    {"mixer.cpp:writePosition", "the audio block being filled"},
    {"mixer.cpp:fill", "the audio block being filled"},
    {"mixer.cpp:produced", "the audio block being filled"},
    {"mixer.cpp:unheard", "samples mixed but not yet heard"},
    {"mixer.cpp:scratch", "the mixer's work buffer"},
    {"mixer.cpp:blockBuffer", "the mixer's work buffer"},
    {"recording.cpp:fd", "the sound recording's file"},
    {"recording.cpp:bytesWritten", "the sound recording's file"},
    {"recording.cpp:failure", "the sound recording's file"},
    {"recording.cpp:recordingPath", "the sound recording's file"},
    {"recording.cpp:writer", "the sound recording's file"},
    // The monitor's console and the front end that runs it.
    {"monitor.cpp:console", "the monitor's console"},
    {"monitor.cpp:host", "the front end's pacing calls for the monitor"},
    {"monitor.cpp:openedConsole", "the monitor's console"},
    {"monitor.cpp:standardConsole", "the monitor's console on standard input and output"},
    {"monitor.cpp:standardTerminal", "the terminal settings the console restores"},
    {"monitor.cpp:monitorOpen", "the monitor's console is open"},
    {"z80_state.cpp:TrapTable", "handlers a front end installs for the trap opcodes"},
    // The machine's past, kept beside it to go back in time; power-on and
    // every change from outside start it again.
    {"history.cpp:h", "the snapshots and the input log of the last seconds"},
    {"history.cpp:r", "a replay in progress while the machine goes back"},
    // Built once on first use or at start-up and never changed again.
    {"crc32.cpp:tables()::t", "the CRC-32 tables"},
    {"opcode_tables.cpp:opcodeTables()::tables", "the disassembler's tables"},
    {"opcode_tables.cpp:opcodeTables()::built", "the disassembler's tables"},
    {"roms.cpp:NoSource", "an empty name, constant"},
    {"disk_images.cpp:flushAtExit()::registered", "the exit handler that flushes the disk images"},
    // Work buffers of one call.
    {"roms.cpp:scanFolder()::candidate", "a ROM file read while the folder is scanned"},
    {"debug.cpp:currentLineWord()::word", "the word under the monitor's cursor"},
    {"debug.cpp:shownEntry", "the trace entry being disassembled"},
};

} // namespace

bool cycleBasedFrames = false;

const Machine Abc80 = {
    .model = Abc80Model, .devices = Devices, .connections = Connections, .hostOnly = HostOnly};

void Machine::connect() const {
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

// Every event ends with the ROM sockets as the choices say: the open
// firmware's extension placed or removed.
void Machine::start() const {
    connect();
    for (const MachineDevice& device : devices)
        if (device.start) device.start();
    placeFirmwareExtension();
}

void Machine::powerOn() const {
    connect();
    for (const MachineDevice& device : devices)
        device.powerOn();
    placeFirmwareExtension();
    historyClear();
}

void Machine::reset() const {
    for (const MachineDevice& device : devices)
        if (device.reset) device.reset();
    placeFirmwareExtension();
    historyMachineChanged();
}

void Machine::hardReset() const {
    reset();
    for (const MachineDevice& device : devices)
        if (device.hardReset) device.hardReset();
    placeFirmwareExtension();
    historyMachineChanged();
}
