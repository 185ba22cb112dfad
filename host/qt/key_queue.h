// The keys on their way to the emulated keyboard. Host key events are queued
// and handed to the keyboard one key press or release per frame, so the
// machine's program sees every press however short it was (a press and its
// release between two frames would otherwise leave no trace).
//
// Two ways of typing:
//   Natural (the default): the character the host produces for a key press
//     (any layout, dead keys and AltGr included) is typed as that ABC80
//     character, through a keyboard position and modifier state that produce
//     it. Keys without a character (arrows, Return, Backspace, Ctrl
//     combinations) keep their positional meaning.
//   Positional: every host key stands for the ABC80 key in its place, as
//     the keyboard table lays them out (for programs that read keys as a
//     matrix).
#pragma once

#include <cstdint>
#include <deque>

// One key event for the machine's keyboard. shift and ctrl: the modifier
// state the machine is to see with the key (-1: leave it as it is).
struct MachineKeyEvent {
    uint8_t virtualKey = 0;
    bool down = true;
    int8_t shift = -1;
    int8_t ctrl = -1;
    bool releaseAll = false; // releases every key and modifier held
    uint8_t typedCode = 0;   // not 0: a code no key makes, typed as pasted text is
};

// A keyboard position and modifier state that types one ABC80 code.
struct KeyStroke {
    uint8_t virtualKey = 0;
    bool shift = false;
    bool ctrl = false;
};

// The stroke that types code (7 bits) through the keyboard table, preferring
// no modifier, then Shift, Ctrl, Ctrl+Shift; false when no key types it.
bool KeyStrokeForCode(uint8_t code, KeyStroke& stroke);
// The stroke that types a Unicode character as the ABC80 shows it (the
// Swedish letters included); false when the ABC80 has no such character.
bool KeyStrokeForCharacter(char32_t character, KeyStroke& stroke);

struct KeyQueue {
    std::deque<MachineKeyEvent> events;
    bool machineShift = false, machineCtrl = false;
    bool typing = false; // a typed code of the queue is on its way; keys wait
    bool down[256] = {};
};

extern KeyQueue keyQueue;

void QueueKeyEvent(const MachineKeyEvent& event);
// A press and its release of a stroke (a typed character).
void QueueKeyStroke(const KeyStroke& stroke);
// A machine code no key makes, typed the way pasted text is, in its turn
// among the keys.
void QueueTypedCode(uint8_t code);
// Hands queued events to the keyboard until one key press or release has
// been delivered (modifier changes go with it); 1 when one was delivered.
int DeliverQueuedKey();
// Drops everything queued and forgets what the machine holds.
void ClearKeyQueue();
