// One emulated frame as every front end runs it, and fast tape: while the
// cassette motor runs with a tape playing or recording, a front end runs the
// machine without a speed limit and the sound output is muted. Emulated time,
// and so every byte on the tape and every sample of a sound recording, is the
// same as at the chosen speed.
#pragma once

#include <cstdint>
#include <string>

// The machine for one frame (the cycle-based mode draws picture line by
// line; after the fast mode the caller draws it), the sound mixed up to the
// cycle counter when mixSound, then the next waiting text handed to the
// keyboard. False when the frame stopped on its way (debugStopped(): a
// breakpoint, watch or step); the next call after debugResume() goes on
// with it. The debug layer's steps run frames through here too.
bool RunSessionFrame(bool cycleBased, uint8_t* picture, int pitchShift, bool mixSound);

// Follows the deck: fast tape starts when enabled and the tape moves, and
// ends when either stops. Returns the message when it started or ended ("" when
// nothing changed); the output is muted while it lasts, and restarted afresh
// after it when soundPlays, so that no backlog is heard. backTo names the speed
// the machine returns to ("100%", "real time").
std::string FollowFastTape(bool enabled, bool soundPlays, const std::string& backTo);
// True while fast tape lasts.
bool FastTapeOn();
// Ends fast tape without a message (a new start of the machine).
void ForgetFastTape();
