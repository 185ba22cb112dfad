// Frames and fast tape as the front ends share them.
#include "host/session/frames.h"

#include "abc80/history.h"
#include "cpu/z80.h"
#include "host/session/typing.h"
#include "machine/frame.h"
#include "media/tape_deck.h"
#include "monitor/debug.h"
#include "sound/mixer.h"

namespace {
bool fastTape = false;

// The last frame call's choices, for the steps the debug layer runs.
struct LastFrame {
    bool cycleBased = false;
    uint8_t* picture = nullptr;
    int pitchShift = 0;
    bool mixSound = false;
} last;

void runLastFrame() {
    RunSessionFrame(last.cycleBased, last.picture, last.pitchShift, last.mixSound);
}
} // namespace

bool RunSessionFrame(bool cycleBased, uint8_t* picture, int pitchShift, bool mixSound) {
    last = LastFrame{cycleBased, picture, pitchShift, mixSound};
    debugSetRunner(runLastFrame);
    // A frame left at a stop goes on in the mode it was started in.
    if (fastFramePending() || (!cycleBased && !framePending()))
        runFrameFast();
    else
        runFrame(CyclesPerFrame, picture, pitchShift);
    if (mixSound) MixUpTo(cpu.TCOUNT);
    if (framePending()) return false;
    historyFrameEnd();
    TypeNextQueued();
    return true;
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
