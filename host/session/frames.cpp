// Frames and fast tape as the front ends share them.
#include "host/session/frames.h"

#include "cpu/z80.h"
#include "host/session/typing.h"
#include "machine/frame.h"
#include "media/tape_deck.h"
#include "sound/mixer.h"

namespace {
bool fastTape = false;
}

void RunSessionFrame(bool cycleBased, uint8_t* picture, int pitchShift, bool mixSound) {
    if (cycleBased)
        runFrame(CyclesPerFrame, picture, pitchShift);
    else
        runFrameFast();
    if (mixSound) MixUpTo(cpu.TCOUNT);
    TypeNextQueued();
}

std::string FollowFastTape(bool enabled, bool soundPlays, const std::string& backTo) {
    const bool wanted = enabled && TapeMotorRunning();
    if (wanted == fastTape) return "";
    fastTape = wanted;
    SetSoundMuted(wanted);
    if (wanted) return "Fast tape: full speed while the tape moves, sound muted.";
    if (soundPlays) ResetSoundOutput();
    return "Fast tape: the tape stopped, back to " + backTo + ".";
}

bool FastTapeOn() { return fastTape; }

void ForgetFastTape() {
    fastTape = false;
    SetSoundMuted(0);
}
