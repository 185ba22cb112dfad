// The tape signal decoder (see tape_decoder.h).
#include "tape_decoder.h"

#include <cinttypes>

void ResetDecoder(DecoderState& state, const WavHeader& format, uint64_t firstSampleOffset) {
    state = DecoderState{};
    const uint32_t channels = format.channels == 0 ? 1 : format.channels;
    const uint32_t readWidth = format.bitsPerSample == 16 ? 2 : 1;
    state.bytesPerIndex = uint32_t(format.bitsPerSample / 8) * channels;
    state.bytesPerStep = readWidth * channels;
    const double rate = format.sampleRate;
    state.longLimit = uint32_t((rate * 1000 + 0.5) / 1000000);
    state.shortLimit = uint32_t((rate * 300 + 0.5) / 1000000);
    state.lastEdge = uint32_t(firstSampleOffset / state.bytesPerIndex);
}

static void emitByte(DecoderState& state, const DecoderSettings& settings) {
    settings.sink.put(settings.sink.context, state.shifter);
    state.bytesWritten++;
    state.bitCount = 0;
    state.shifter = 0;
}

// Classifies the interval that ended with a level change at sample index
// `index`; `position` is the byte offset just after that sample.
static void onEdge(DecoderState& state, const DecoderSettings& settings, uint32_t index,
                   uint64_t position) {
    const uint32_t interval = index - state.lastEdge;
    state.lastEdge = index;
    if (interval > state.longLimit) {
        if (state.halfPending && settings.diagnostics != nullptr)
            std::fprintf(settings.diagnostics, "Short pulse with no pair at pos=%" PRIu64 "!\n",
                         position);
        state.bitCount++;
        state.shifter >>= 1;
        if (!state.synced) {
            if (state.shifter == kSyncByte) {
                state.synced = true;
                emitByte(state, settings);
            }
        } else if (state.bitCount == 8) {
            emitByte(state, settings);
        }
    } else if (interval > state.shortLimit) {
        if (!state.halfPending) {
            state.halfPending = true;
            return;
        }
        state.halfPending = false;
        state.bitCount++;
        state.shifter = uint8_t(state.shifter >> 1 | 0x80);
        if (state.synced && state.bitCount == 8) emitByte(state, settings);
    }
}

void DecodeToEnd(DecoderState& state, const DecoderSettings& settings, InputReader& reader) {
    const size_t step = state.bytesPerStep;
    const bool wide = settings.format.bitsPerSample == 16;
    const int16_t invert16 = int16_t(settings.invertMask);
    const uint8_t invert8 = uint8_t(settings.invertMask);

    while (EnsureBytes(reader, step)) {
        // Walk the whole samples in the buffer; a split one is completed by the next refill.
        const uint8_t* data = reader.buffer.data();
        size_t at = reader.begin;
        const size_t last = reader.end - step;
        for (; at <= last; at += step) {
            int value;
            if (wide) {
                const int16_t sample = int16_t(uint16_t(data[at] | data[at + 1] << 8)) ^ invert16;
                value = sample / 256;
            } else {
                value = int(uint8_t(data[at] ^ invert8)) - 128;
            }
            int level;
            if (value < -kComparatorThreshold)
                level = 0;
            else if (value > kComparatorThreshold)
                level = 1;
            else
                continue;
            if (level == state.level) continue;
            state.level = level;
            const uint64_t position = reader.bufferBase + at + step;
            onEdge(state, settings, uint32_t(position / state.bytesPerIndex), position);
        }
        reader.begin = at;
    }
}
