// The list of sound sources, in registration order.
#include "sound/sources.h"

namespace {
SoundSource* sources = nullptr;
}

SoundSource* SoundSources() { return sources; }

void AddSoundSource(SoundSource* source) {
    if (!source) return;
    RemoveSoundSource(source); // a source is listed at most once
    source->next = nullptr;
    SoundSource** link = &sources;
    while (*link)
        link = &(*link)->next;
    *link = source;
}

void RemoveSoundSource(SoundSource* source) {
    for (SoundSource** link = &sources; *link; link = &(*link)->next) {
        if (*link == source) {
            *link = source->next;
            source->next = nullptr;
            return;
        }
    }
}
