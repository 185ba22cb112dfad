// WAV recording of the mixer's output blocks.
#include "sound/recording.h"

#include <cstdio>

#include "sound/mixer.h"

namespace {

constexpr long HeaderBytes = 44;

std::FILE* file = nullptr;
uint64_t bytesWritten = 0;

void put16(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

// A size field holds at most 32 bits; a longer file keeps the largest value.
uint32_t sizeField(uint64_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v); }

int writeField(long offset, uint32_t value) {
    unsigned char b[4];
    put32(b, value);
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fwrite(b, 1, 4, file) == 4;
}

} // namespace

int SoundRecordingOpen() { return file != nullptr; }

void AppendSoundRecording(const int16_t* block, uint32_t byteCount) {
    if (!file) return;
    unsigned char bytes[SoundBlockBytes];
    const uint32_t samples = byteCount / 2 > SoundBlockSamples ? SoundBlockSamples : byteCount / 2;
    for (uint32_t i = 0; i < samples; ++i)
        put16(bytes + 2 * i, static_cast<uint16_t>(block[i]));
    if (std::fwrite(bytes, 1, samples * 2, file) == samples * 2) bytesWritten += samples * 2;
}

int StartSoundRecording(const char* path) {
    StopSoundRecording(); // a recording still open is completed first
    if (!path) return 0;
    file = std::fopen(path, "wb");
    if (!file) return 0;
    unsigned char h[HeaderBytes] = {'R', 'I', 'F', 'F', 0,   0,   0,   0,
                                    'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put32(h + 16, 16);
    put16(h + 20, 1); // PCM
    put16(h + 22, 1); // mono
    put32(h + 24, SoundSampleRate);
    put32(h + 28, SoundSampleRate * 2);
    put16(h + 32, 2);
    put16(h + 34, 16);
    h[36] = 'd';
    h[37] = 'a';
    h[38] = 't';
    h[39] = 'a';
    if (std::fwrite(h, 1, HeaderBytes, file) != HeaderBytes) {
        std::fclose(file);
        file = nullptr;
        return 0;
    }
    bytesWritten = 0;
    return 1;
}

void StopSoundRecording() {
    if (!file) return;
    std::fseek(file, 0, SEEK_END);
    const long end = std::ftell(file);
    const uint64_t size = end > 0 ? static_cast<uint64_t>(end) : HeaderBytes;
    writeField(4, sizeField(size - 8));
    writeField(40, sizeField(size - HeaderBytes));
    std::fclose(file);
    file = nullptr;
}

int SoundRecordingBytes(uint64_t* bytes) {
    if (bytes) *bytes = bytesWritten;
    return file != nullptr;
}
