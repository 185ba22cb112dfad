// The sound mixer: a list of named sample sources, brought up to the
// processor's cycle counter in blocks of 960 samples at 48,000 per second and
// handed to the current SoundDriver and to an open sound recording.
// Platform-free: the drivers that reach a sound device live beside it.
#pragma once

#include <cstdint>

struct SoundSource {
    const char* name;
    SoundSource* next;
    void (*generate)(int16_t* buffer, int count);
    void (*reset)();
    void (*setRate)(int rate);
};

void AddSoundSource(SoundSource* source);
void RemoveSoundSource(SoundSource* source);
void MixUpTo(uint64_t cycles);
