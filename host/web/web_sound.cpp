// The browser's sound back end (see web_sound.h).
#include "host/web/web_sound.h"

#include <cstring>

namespace {

int16_t ring[SoundRingBytes / 2];
uint32_t written = 0;
uint32_t blocks = 0;
uint32_t played = SoundPositionUnknown;
bool open = false;

int webOpen(int) {
    open = true;
    played = SoundPositionUnknown;
    return 1;
}

void webClose() { open = false; }

void webWrite(const int16_t* block, uint32_t ringPosition, uint32_t byteCount) {
    if (!open || ringPosition >= SoundRingBytes || byteCount > SoundRingBytes - ringPosition)
        return;
    std::memcpy(reinterpret_cast<uint8_t*>(ring) + ringPosition, block, byteCount);
    written = (ringPosition + byteCount) % SoundRingBytes;
    blocks++;
}

void nothing() {}

// Unknown until the worklet has reported, so the first blocks go out without
// rate control instead of being measured against a position that means nothing.
uint32_t webPosition() { return played; }

} // namespace

const SoundDriver WebSoundDriver = {"Web Audio", webOpen, webClose, webWrite,
                                    nothing,     nothing, nothing,  webPosition};

const int16_t* WebSoundRing() { return ring; }
uint32_t WebSoundWritten() { return written; }
uint32_t WebSoundBlocks() { return blocks; }
void WebSoundSetPlayed(uint32_t ringPosition) {
    played = ringPosition < SoundRingBytes ? ringPosition : SoundPositionUnknown;
}
