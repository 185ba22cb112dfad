// Finding the "fmt " and "data" chunks of a WAV file and choosing how its
// samples are read; building the header of a recording.
#include "media/wav_layout.h"

#include <algorithm>
#include <cstring>

uint32_t ReadLe32(const uint8_t* b) {
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}
uint16_t ReadLe16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }
void WriteLe32(uint8_t* b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(v >> (8 * i));
}
static void writeLe16(uint8_t* b, uint16_t v) {
    b[0] = static_cast<uint8_t>(v);
    b[1] = static_cast<uint8_t>(v >> 8);
}

namespace {

constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatFloat = 3;
constexpr uint16_t FormatExtensible = 0xFFFE;
constexpr int MaxChunks = 64;

struct Chunks {
    bool haveFormat = false, haveData = false;
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    uint64_t dataStart = 0, dataSize = 0;
};

Chunks findChunks(std::FILE* file, uint64_t fileSize) {
    Chunks c;
    uint64_t pos = 12;
    for (int n = 0; n < MaxChunks && pos + 8 <= fileSize; ++n) {
        uint8_t head[8];
        if (std::fseek(file, static_cast<long>(pos), SEEK_SET) != 0) break;
        if (std::fread(head, 1, 8, file) != 8) break;
        uint32_t size = ReadLe32(head + 4);
        if (std::memcmp(head, "fmt ", 4) == 0 && size >= 16) {
            uint8_t fmt[26] = {};
            size_t want = size >= 26 ? 26 : 16;
            if (std::fread(fmt, 1, want, file) != want) break;
            c.haveFormat = true;
            c.format = ReadLe16(fmt);
            c.channels = ReadLe16(fmt + 2);
            c.rate = ReadLe32(fmt + 4);
            c.bits = ReadLe16(fmt + 14);
            if (c.format == FormatExtensible && want == 26) c.format = ReadLe16(fmt + 24);
        } else if (std::memcmp(head, "data", 4) == 0) {
            c.haveData = true;
            c.dataStart = pos + 8;
            c.dataSize = size;
            break;
        }
        pos += 8 + static_cast<uint64_t>(size) + (size & 1);
    }
    return c;
}

// The classic reading: the 44-byte header as it stands, samples from 44.
WavLayout headerLayout(const uint8_t* header) {
    WavLayout layout;
    layout.sampleRate = ReadLe32(header + 24);
    layout.counterBits = ReadLe16(header + 34);
    if (layout.counterBits == 1) layout.encoding = SampleEncoding::OneBit;
    return layout;
}

} // namespace

WavLayout ReadWavLayout(std::FILE* file, const uint8_t* header, uint64_t fileSize) {
    WavLayout classic = headerLayout(header);
    if (fileSize < 12 || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0)
        return classic;
    Chunks c = findChunks(file, fileSize);
    if (!c.haveFormat || !c.haveData || c.channels == 0 || c.bits == 0) return classic;
    if (c.dataStart == WavHeaderSize && c.channels == 1 && (c.bits == 8 || c.bits == 1))
        return classic;

    WavLayout layout;
    layout.sampleRate = c.rate;
    layout.dataStart = c.dataStart;
    uint64_t end = c.dataStart + c.dataSize;
    // An unfinished recording leaves the size 0 (or all ones); play to the end then.
    if (c.dataSize != 0 && c.dataSize != 0xFFFFFFFFu && end <= fileSize) layout.dataEnd = end;
    if (c.bits == 1) {
        layout.encoding = SampleEncoding::OneBit;
        layout.counterBits = 1;
        return layout;
    }
    uint32_t bytesPerSample = (c.bits + 7u) / 8u;
    if (c.format == FormatFloat && c.bits == 32) {
        layout.encoding = SampleEncoding::Float32;
    } else if (c.format == FormatFloat && c.bits == 64) {
        layout.encoding = SampleEncoding::Float64;
    } else if (bytesPerSample == 1) {
        layout.encoding = SampleEncoding::Unsigned8;
    } else {
        layout.encoding = SampleEncoding::Signed;
        layout.levelByte = bytesPerSample - 1;
    }
    uint32_t frameBytes = bytesPerSample * c.channels;
    if (frameBytes > MaxWavFrameBytes) return classic;
    layout.frameBytes = frameBytes;
    layout.sampleBytes = bytesPerSample;
    layout.channels = c.channels;
    layout.counterBits = frameBytes * 8;
    return layout;
}

std::string WhyNotATapeRecording(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "";
    uint8_t header[12] = {};
    std::fseek(file, 0, SEEK_END);
    const long end = std::ftell(file);
    const uint64_t size = end > 0 ? static_cast<uint64_t>(end) : 0;
    std::fseek(file, 0, SEEK_SET);
    const size_t got = std::fread(header, 1, sizeof header, file);
    std::string why;
    if (size == 0) {
        why = "empty file";
    } else if (got < sizeof header || std::memcmp(header, "RIFF", 4) != 0 ||
               std::memcmp(header + 8, "WAVE", 4) != 0) {
        why = "not a WAV file (no RIFF WAVE header)";
    } else {
        const Chunks c = findChunks(file, size);
        const bool readable =
            c.format == FormatPcm || (c.format == FormatFloat && (c.bits == 32 || c.bits == 64));
        if (!c.haveFormat)
            why = "not a WAV file (no fmt chunk)";
        else if (!readable)
            why = "WAV format " + std::to_string(c.format) + " with " + std::to_string(c.bits) +
                  "-bit samples is not read (PCM and floating point are)";
        else if (c.rate == 0)
            why = "sample rate 0";
        else if (c.channels == 0 || c.bits == 0)
            why = "no channels or no bits per sample in its header";
        else if (!c.haveData || c.dataStart >= size)
            why = "no samples after the header";
    }
    std::fclose(file);
    return why;
}

void BuildWavHeader(uint8_t* h, uint32_t rate) {
    std::copy_n("RIFF", 4, h);
    WriteLe32(h + 4, 0);
    std::copy_n("WAVE", 4, h + 8);
    std::copy_n("fmt ", 4, h + 12);
    WriteLe32(h + 16, 16);
    writeLe16(h + 20, FormatPcm);
    writeLe16(h + 22, 1);
    WriteLe32(h + 24, rate);
    WriteLe32(h + 28, rate);
    writeLe16(h + 32, 1);
    writeLe16(h + 34, 8);
    std::copy_n("data", 4, h + 36);
    WriteLe32(h + 40, 0);
}
