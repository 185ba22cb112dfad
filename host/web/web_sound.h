// The browser's sound back end: a SoundDriver whose ring lives in the
// module's memory. The page copies each new block out of the ring into its
// AudioWorklet and reports how far the worklet has played, which is the
// driver's Position, so the mixer's rate control keeps the worklet's queue at
// 4 to 7 blocks as it does for a sound device.
#pragma once

#include <cstdint>

#include "sound/mixer.h"

extern const SoundDriver WebSoundDriver;

// The ring of 48,000 samples the mixer writes into.
const int16_t* WebSoundRing();
// Byte position in the ring of the next block the mixer writes.
uint32_t WebSoundWritten();
// Blocks written since start; the newest ends at WebSoundWritten().
uint32_t WebSoundBlocks();
// Byte position in the ring the worklet has played up to.
void WebSoundSetPlayed(uint32_t ringPosition);
