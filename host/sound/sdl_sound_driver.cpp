// SDL2 audio output through the audio queue. The device plays from SDL's
// queue on its own thread; this side only queues blocks and asks how much is
// still queued.
#include <SDL.h>

#include <cstdio>

#include "host/sound/drivers.h"

namespace {

SDL_AudioDeviceID device = 0;
bool audioStarted = false;
uint32_t ringEnd = 0;   // ring position just after the last queued block
bool ringKnown = false; // a block was queued since opening or resetting

void sdlClose() {
    if (device) SDL_CloseAudioDevice(device);
    device = 0;
    if (audioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioStarted = false;
    ringKnown = false;
}

int sdlOpen(int sampleRate) {
    sdlClose();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "SDL audio could not start: %s\n", SDL_GetError());
        return 0;
    }
    audioStarted = true;
    SDL_AudioSpec wanted{};
    wanted.freq = sampleRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = 1024;
    wanted.callback = nullptr; // queued output
    // No changes allowed: SDL converts to whatever the device needs.
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (!device) {
        std::fprintf(stderr, "SDL_OpenAudioDevice failed: %s\n", SDL_GetError());
        sdlClose();
        return 0;
    }
    ringEnd = 0;
    ringKnown = false;
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

void sdlWrite(const int16_t* block, uint32_t ringPosition, uint32_t byteCount) {
    if (!device) return;
    if (SDL_GetQueuedAudioSize(device) + byteCount >= SoundRingBytes) return; // ring full: drop
    if (SDL_QueueAudio(device, block, byteCount) != 0) return;
    ringEnd = (ringPosition + byteCount) % SoundRingBytes;
    ringKnown = true;
}

void sdlReset() {
    if (device) SDL_ClearQueuedAudio(device);
    ringKnown = false;
}

void sdlPause() {
    if (device) SDL_PauseAudioDevice(device, 1);
}

void sdlResume() {
    if (device) SDL_PauseAudioDevice(device, 0);
}

uint32_t sdlPosition() {
    if (!device || !ringKnown) return SoundPositionUnknown;
    const uint32_t queued = SDL_GetQueuedAudioSize(device) % SoundRingBytes;
    return (ringEnd + SoundRingBytes - queued) % SoundRingBytes;
}

} // namespace

uint32_t SdlSoundDevice() { return device; }

const SoundDriver SdlSoundDriver{"SDL audio", sdlOpen,  sdlClose,  sdlWrite,
                                 sdlReset,    sdlPause, sdlResume, sdlPosition};
