// History: the machine's recent past, to step back into.
//
// The machine is deterministic: given its state at one moment and what came
// into it from outside since, it runs the same way again. The history keeps
// both: a ring of save states (snapshots) taken at frame boundaries every few
// frames, and a log of the inputs from outside between them (keys pressed and
// released, text typed or pasted, and the sectors the disk cards read). Going
// back restores the snapshot before the target and runs the machine forward
// to it again, feeding it the logged inputs at the T-states they first
// arrived at. A tape that plays is read again from its file at the position
// the snapshot holds.
//
// Not replayed: anything else that changes the machine from outside (a reset,
// a loaded state, a tape or disk put in or taken out, a monitor or debugger
// edit of memory or registers, a change of the timing mode). The front end
// calls historyMachineChanged then, and the history starts again from that
// moment. A tape image changed on disk behind the program's back is read as
// it now is.
//
// Going back discards the future: the machine goes on from the moment it went
// back to, and the inputs logged after it are dropped (they are not typed
// again). Every jump leaves the machine at an instruction boundary, with the
// debug layer holding there (debugHoldHere); a jump into a frame leaves that
// frame pending in the timing mode it runs in, for the front end's next
// frame call to finish. A front end treats a jump like a loaded save state
// for its sound output (the T-state counter went back).
//
// Use (the front end):
//   historyFrameEnd();            // after every completed frame
//   historyMachineChanged();      // after a reset, a loaded state, a new tape ...
//   std::string message;
//   if (!historyStepBack(message)) show(message);
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How much is kept. A snapshot every intervalFrames frames, the newest
// `snapshots` of them: by default one every 10 frames (0.2 s), 160 of them,
// which reaches 32 emulated seconds back.
struct HistorySettings {
    uint32_t intervalFrames = 10;
    uint32_t snapshots = 160;
};
// New settings (each at least 1); the history is cleared.
void historyConfigure(const HistorySettings& settings);
HistorySettings historySettings();

// Recording on or off (on by default). Off, historyFrameEnd and the input
// log do nothing and the history is empty.
void historySetEnabled(bool on);
bool historyEnabled();

// Connects the history to the keyboard, the disk cards and the monitor
// (machineConnect does).
void historyConnect();

// Called by the front end after every completed frame (not for a frame that
// stopped on its way): takes a snapshot when one is due.
void historyFrameEnd();
// Something outside the machine changed it in a way the log does not hold:
// the history is cleared and starts again with a snapshot of the machine now.
void historyMachineChanged();
// Forgets everything; the next frame end takes the first snapshot.
void historyClear();

// What the history holds now.
struct HistoryReach {
    size_t snapshots = 0;      // snapshots kept
    size_t bytes = 0;          // memory of the snapshots and the input log
    size_t inputs = 0;         // logged inputs
    uint32_t oldestFrame = 0;  // frame counter of the oldest snapshot
    uint64_t oldestTcount = 0; // and its T-state
};
HistoryReach historyReach();

// Jumps. Each returns true when the machine is at its target, with a line
// for the user in message ("Back to 1A2Bh at T-state 123456."); false when
// it cannot go there, with the reason in message and the machine unchanged
// ("Not recorded that far back." and the like).

// Back to the instruction boundary before the current one: the state the
// machine had before its last instruction (with an interrupt it let in).
bool historyStepBack(std::string& message);
// Back to the latest earlier moment an execution breakpoint (with its
// condition holding) was reached: stopped before that instruction.
bool historyBackToBreakpoint(std::string& message);
// Back to the start of the frame `frames` frames before the frame under way
// (0: the start of the frame under way, or the machine where it is when it
// is between frames).
bool historyBackFrames(uint32_t frames, std::string& message);

// Who wrote this byte: the last instruction before now that wrote to
// address (an interrupt's push counts with the instruction it followed).
struct HistoryWrite {
    uint16_t ip = 0;     // the writing instruction's address
    uint64_t tcount = 0; // the T-state it started at
    uint8_t before = 0;  // the byte before that write
    uint8_t after = 0;   // the byte it wrote
};
// Finds the write and goes back to it: the machine stopped before the
// writing instruction. False when no write to address is recorded.
bool historyWhoWrote(uint16_t address, HistoryWrite& write, std::string& message);

// Rewind for players: back to the newest snapshot before the machine's
// moment (the front end shows its picture, at a steady pace, while the user
// holds the rewind key). False at the oldest snapshot. The machine goes on
// from the last one shown when the user lets go.
bool historyRewindStep();
