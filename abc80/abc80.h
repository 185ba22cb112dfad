// The whole ABC80: the one place that knows every part of the machine. It
// connects the parts (processor to memory, ports and monitor; port map to the
// cassette deck and the disk cards), starts the machine, resets it, and keeps
// the list of every device whose state makes up the running machine.
//
// The parts below (cpu/, machine/, media/, monitor/) never name each other
// upwards; this module is where they meet. Front ends, tests and fuzzers set
// the machine up through here.
#pragma once

#include <cstdint>

// Hands every part its neighbours: cpuConnect (memory decoder, port map,
// monitor), the cassette port (tape deck) and the card bus (disk cards).
// Called by machineInit and machinePowerOn; harmless to repeat.
void machineConnect();

// Start-up: connect, keyboard, external ROM, processor at 2,995,200 Hz, sound
// chip.
void machineInit();
// The reset key: keys and typing, processor, tape.
void machineReset();
// Reset, then RAM below the screen and from 8000h cleared and the port latches
// cleared; the ROM area and 6000h-7FFFh with the screen are kept.
void machineHardReset();

// Every device back to the state a new process finds it in: memory zeroed, ROM
// choices at their defaults (old BASIC, UFDDOS), no tape, card transfers idle,
// counters zero, no breakpoints. What the host chose from outside (ROM folder
// and installed images, attached disk images, printer folder, tape sound) is
// kept. For tests and fuzzers that need a known machine.
void machinePowerOn();

// The timing mode the front end runs frames in (its "CycleBased" choice:
// runFrame line by line, or runFrameFast). Front ends keep it current and
// follow it after a state is loaded; save states record it.
extern bool cycleBasedFrames;

// One device of the machine.
struct MachineDevice {
    const char* name;
    void (*powerOn)();
};

// Every device, in the order they are powered on.
extern const MachineDevice MachineDevices[];
extern const int MachineDeviceCount;
