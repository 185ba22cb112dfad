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
#include <span>

#include "machine/model.h"

// One device of the machine: what it does at each of the machine's events,
// the save-state section that records it and the program objects that hold
// its state. A step left empty means the event leaves the device as it is.
struct MachineDevice {
    const char* name;
    void (*start)();     // program start-up (machineInit)
    void (*powerOn)();   // back to the state a new process finds it in
    void (*reset)();     // the reset key
    void (*hardReset)(); // after every device's reset step
    // Tag of the save-state section that records it (save-states.md);
    // nullptr: a state does not hold it.
    const char* stateSection;
    // The objects that hold its state, as the symbol table names them
    // (without "(anonymous namespace)::"). The machine record test reads the
    // core libraries' symbols and fails on a mutable object that no device,
    // no connection and no host-only entry names.
    std::span<const char* const> objects;
};

// State of the core that belongs to the host, not to the machine: power-on
// keeps it and save states leave it out. Each entry says why.
struct HostOnlyObject {
    const char* name;
    const char* why;
};

// The whole machine: the model it is built from, its devices in power-on
// order (also the order of their save-state sections), and the connections
// between the layers that connect() fills in. Power-on, reset and hard reset
// run every device's step in that order; nothing else defines the machine.
struct Machine {
    const MachineModel& model;
    std::span<const MachineDevice> devices;
    std::span<const char* const> connections;
    std::span<const HostOnlyObject> hostOnly;

    // Hands every part its neighbours: the processor its memory decoder,
    // port map and stop check (the debug layer), the port map the cassette
    // deck and the disk cards. Harmless to repeat.
    void connect() const;
    // Start-up: connect, keyboard, external ROM, processor at the model's
    // clock, sound chip, tape deck empty.
    void start() const;
    // Every device back to the state a new process finds it in: memory
    // zeroed, ROM choices at their defaults (old BASIC, UFDDOS), no tape,
    // card transfers idle, counters zero, no breakpoints. What the host chose
    // from outside (ROM folder and installed images, attached disk images,
    // printer folder, tape sound) is kept.
    void powerOn() const;
    // The reset key: keys and typing, processor, tape.
    void reset() const;
    // Reset, then the RAM the model names cleared (below the screen and from
    // 8000h) and the port latches cleared; the ROM area and 6000h-7FFFh with
    // the screen are kept.
    void hardReset() const;
};

extern const Machine Abc80;

// The machine's events by their long-standing names; each calls the record.
inline void machineConnect() { Abc80.connect(); }
inline void machineInit() { Abc80.start(); }
inline void machineReset() { Abc80.reset(); }
inline void machineHardReset() { Abc80.hardReset(); }
// For tests and fuzzers that need a known machine, and for a headless run
// that starts afresh in a process that ran one before.
inline void machinePowerOn() { Abc80.powerOn(); }

// The timing mode the front end runs frames in (its "CycleBased" choice:
// runFrame line by line, or runFrameFast). Front ends keep it current and
// follow it after a state is loaded; save states record it.
extern bool cycleBasedFrames;
