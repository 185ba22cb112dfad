// The tape signal decoder. Each sample passes a comparator with hysteresis;
// the time between two level changes is long (a 0 bit), short (half of a 1
// bit) or a glitch (ignored). Bits enter a shifter least significant first,
// and bytes are framed from the first sync byte 0x16 onward, never re-framed.
#pragma once

#include <cstdint>
#include <cstdio>

#include "input_reader.h"
#include "wav_header.h"

constexpr uint8_t kSyncByte = 0x16;
constexpr int kComparatorThreshold = 32;

// Receives every decoded byte, in order.
struct ByteSink {
    void (*put)(void* context, uint8_t byte) = nullptr;
    void* context = nullptr;
};

struct DecoderSettings {
    WavHeader format;
    uint16_t invertMask = 0;          // 0xFFFF complements every sample before the comparator
    std::FILE* diagnostics = nullptr; // unpaired short pulses are reported here
    ByteSink sink;
};

struct DecoderState {
    int level = 0;            // comparator output
    uint32_t lastEdge = 0;    // sample index of the previous level change
    bool halfPending = false; // one short interval waits for its pair
    bool synced = false;
    uint32_t bitCount = 0;
    uint8_t shifter = 0; // the byte being assembled, new bits entering at bit 7
    uint32_t bytesWritten = 0;
    // Derived from the format when the decoder is reset.
    uint32_t longLimit = 0;     // samples in 1 ms: longer intervals are 0 bits
    uint32_t shortLimit = 0;    // samples in 0.3 ms: shorter intervals are glitches
    uint32_t bytesPerIndex = 1; // bytes per sample index (all channels)
    uint32_t bytesPerStep = 1;  // bytes read per step (all channels)
};

// Prepares the state for samples starting at file offset `firstSampleOffset`.
// The format must be decodable (HeaderIsDecodable).
void ResetDecoder(DecoderState& state, const WavHeader& format, uint64_t firstSampleOffset);

// Decodes from the reader's position to the end of the input. Only the first
// channel of a multi-channel recording is listened to.
void DecodeToEnd(DecoderState& state, const DecoderSettings& settings, InputReader& reader);
