// The sound back ends and the choice between them by the setting
// "SoundDriver": 0 "No sound", 1 SDL2 audio (the default), 2 ALSA.
//
// Both platform drivers present the mixer's ring contract: Write places each
// 1,920-byte block at the ring position after the previous one, and Position
// is that position less what the device still has queued, so the mixer's
// queue measurement is the device's real backlog. A device never holds more
// than the one-second ring: a block that would overfill it is dropped.
#pragma once

#include <cstdint>

#include "sound/mixer.h"

// Queues blocks with SDL_QueueAudio; no callback of our own.
extern const SoundDriver SdlSoundDriver;
// The open SDL audio device, 0 while closed.
uint32_t SdlSoundDevice();
// Non-blocking ALSA playback on the PCM named by the environment variable
// ORVANE_ALSA_DEVICE, "default" when it is unset.
extern const SoundDriver AlsaSoundDriver;

constexpr uint32_t SoundDriverCount = 3;
// Indexed by the setting.
extern const SoundDriver* const SoundDrivers[SoundDriverCount];

// Closes the current driver (completing a recording), opens the chosen one at
// 48,000 Hz and installs it; a driver that fails to open leaves "No sound"
// installed, with a line on the standard error stream. The setting takes the
// index in every case; an index beyond the table counts as the last driver.
void OpenSoundDriver(uint32_t index);

// Opens the chosen driver, or when it cannot be opened the next platform
// driver (round the table), or at last "No sound"; returns the index of the
// driver that runs, which the setting takes too.
uint32_t OpenWorkingSoundDriver(uint32_t index);
