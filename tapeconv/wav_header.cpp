// Reading the WAV header and finding the "data" chunk (see wav_header.h).
#include "wav_header.h"

#include <cstring>

static uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
static uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

HeaderStatus ReadWavHeader(InputReader& reader, WavHeader& header) {
    uint8_t bytes[kWavHeaderSize] = {};
    const size_t got = ReadBytes(reader, bytes, kWavHeaderSize);
    if (got < kWavHeaderSize || std::memcmp(bytes, "RIFF", 4) != 0) return HeaderStatus::NotWav;
    header.channels = le16(bytes + 22);
    header.sampleRate = le32(bytes + 24);
    header.bitsPerSample = le16(bytes + 34);
    return HeaderStatus::Ok;
}

int HeaderIsDecodable(const WavHeader& header) {
    return header.bitsPerSample >= 8 && header.sampleRate != 0;
}

uint32_t MicrosecondsPerSample(const WavHeader& header) {
    const uint64_t rate = header.sampleRate;
    return uint32_t((rate / 2 + 1000000) / rate);
}

int FindDataChunk(InputReader& reader, std::FILE* progress) {
    if (!RewindReader(reader)) return 0;

    // The last four bytes seen, oldest in the lowest byte, compared with "data".
    constexpr uint32_t tag = 'd' | 'a' << 8 | 't' << 16 | uint32_t('a') << 24;
    char dots[256];
    std::memset(dots, '.', sizeof dots);
    size_t pendingDots = 0;
    uint32_t window = 0;
    uint64_t seen = 0;
    int found = 0;
    for (int byte; (byte = ReadByte(reader)) >= 0;) {
        window = window >> 8 | uint32_t(byte) << 24;
        if (++seen < 4) continue;
        if (window == tag) {
            found = 1;
            break;
        }
        if (++pendingDots == sizeof dots) {
            std::fwrite(dots, 1, pendingDots, progress);
            pendingDots = 0;
        }
    }
    std::fwrite(dots, 1, pendingDots, progress);
    return found;
}

uint32_t ReadChunkLength(InputReader& reader) {
    uint8_t bytes[4] = {};
    ReadBytes(reader, bytes, 4);
    return le32(bytes);
}
