// Reading the WAV header: the RIFF chunk walk and its fallback (see wav_format.h).
#include "wav_format.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kCanonicalHeaderSize = 44;

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool isChunkId(const uint8_t* p) {
    for (int i = 0; i < 4; i++)
        if (p[i] < 0x20 || p[i] > 0x7E) return false;
    return true;
}

// The tail shared by the sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE.
constexpr uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

void parseFmt(const uint8_t* p, uint32_t size, WavFormat& format) {
    format.formatTag = le16(p);
    format.channels = le16(p + 2);
    format.sampleRate = le32(p + 4);
    format.bitsPerSample = le16(p + 14);
    if (format.formatTag == kWaveFormatExtensible) {
        // Sub-format GUID at offset 24: its first two bytes are the real tag.
        const bool known = size >= 40 && std::memcmp(p + 26, kGuidTail, sizeof kGuidTail) == 0;
        format.formatTag = known ? le16(p + 24) : kWaveFormatExtensible;
    }
}

// The format as the first 44 bytes hold it in a canonical header.
void canonicalFormat(const uint8_t* header, WavFormat& format) {
    format.formatTag = le16(header + 20);
    format.channels = le16(header + 22);
    format.sampleRate = le32(header + 24);
    format.bitsPerSample = le16(header + 34);
    // Broken headers carry any tag; integer samples are the likeliest.
    if (format.formatTag != kWaveFormatFloat) format.formatTag = kWaveFormatPcm;
}

uint64_t remainingAfter(uint64_t fileSize, uint64_t offset) {
    return fileSize == UINT64_MAX ? UINT64_MAX : fileSize > offset ? fileSize - offset : 0;
}

// Byte search for "data" from the reader's position. A candidate counts when
// the length after it fits in the file (or is 0 or FFFFFFFFh, as streaming
// writers leave it), or when it sits where a canonical header has it.
bool searchDataChunk(InputReader& reader, uint64_t fileSize, WavLayout& layout) {
    layout.searched = true;
    uint32_t window = 0;
    uint64_t seen = 0;
    constexpr uint32_t tag = 'd' | 'a' << 8 | 't' << 16 | uint32_t('a') << 24;
    for (int byte; (byte = ReadByte(reader)) >= 0;) {
        window = window >> 8 | uint32_t(byte) << 24;
        if (++seen < 4 || window != tag) continue;
        const uint64_t after = ReaderPosition(reader);
        if (!EnsureBytes(reader, 4)) { // the letters end the file: an empty chunk
            layout.dataTagOffset = after - 4;
            return true;
        }
        const uint32_t length = le32(reader.buffer.data() + reader.begin);
        const uint64_t room = remainingAfter(fileSize, after + 4);
        if (length <= room || length == 0 || length == 0xFFFFFFFF || after - 4 == 36) {
            layout.dataTagOffset = after - 4;
            return true;
        }
    }
    return false;
}

} // namespace

WavStatus ReadWavLayout(InputReader& reader, uint64_t fileSize, WavLayout& layout) {
    layout = WavLayout{};
    if (!EnsureBytes(reader, kCanonicalHeaderSize)) return WavStatus::NotWav;
    uint8_t header[kCanonicalHeaderSize];
    std::memcpy(header, reader.buffer.data() + reader.begin, kCanonicalHeaderSize);
    if (std::memcmp(header, "RIFF", 4) != 0) return WavStatus::NotWav;

    bool found = false;
    if (std::memcmp(header + 8, "WAVE", 4) == 0) {
        SkipBytes(reader, 12);
        while (EnsureBytes(reader, 8)) {
            const uint8_t* chunk = reader.buffer.data() + reader.begin;
            const uint64_t at = ReaderPosition(reader);
            const uint32_t size = le32(chunk + 4);
            if (!isChunkId(chunk)) break;
            if (std::memcmp(chunk, "data", 4) == 0) {
                layout.dataTagOffset = at;
                found = true;
                break;
            }
            const uint64_t padded = uint64_t(size) + (size & 1);
            if (padded > remainingAfter(fileSize, at + 8)) break; // runs past the end
            if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
                EnsureBytes(reader, 8 + (size < 40 ? size : 40));
                const uint32_t have = uint32_t(BytesAvailable(reader) - 8);
                if (have >= 16) {
                    parseFmt(reader.buffer.data() + reader.begin + 8, size < have ? size : have,
                             layout.format);
                    layout.fmtChunkFound = true;
                }
            }
            SkipBytes(reader, 8 + padded);
        }
    } else {
        SkipBytes(reader, 12);
    }
    if (!layout.fmtChunkFound) canonicalFormat(header, layout.format);
    if (!found && !searchDataChunk(reader, fileSize, layout)) return WavStatus::NoDataChunk;

    // The reader is at the letters (walk) or just after them (search).
    if (!layout.searched) SkipBytes(reader, 4);
    uint8_t length[4] = {};
    ReadBytes(reader, length, 4);
    layout.declaredLength = le32(length);
    layout.dataOffset = layout.dataTagOffset + 8;
    if (layout.declaredLength != 0 && layout.declaredLength != 0xFFFFFFFF)
        layout.declaredEnd = layout.dataOffset + layout.declaredLength;
    return WavStatus::Ok;
}

int ResolveEncoding(WavFormat& format) {
    format.encoding = SampleEncoding::None;
    if (format.channels == 0 || format.sampleRate == 0) return 0;
    if (format.formatTag == kWaveFormatPcm) {
        switch (format.bitsPerSample) {
        case 8: format.encoding = SampleEncoding::Unsigned8; break;
        case 16: format.encoding = SampleEncoding::Signed16; break;
        case 24: format.encoding = SampleEncoding::Signed24; break;
        case 32: format.encoding = SampleEncoding::Signed32; break;
        default: break;
        }
    } else if (format.formatTag == kWaveFormatFloat) {
        if (format.bitsPerSample == 32) format.encoding = SampleEncoding::Float32;
        if (format.bitsPerSample == 64) format.encoding = SampleEncoding::Float64;
    }
    return format.encoding != SampleEncoding::None;
}

std::string DescribeFormat(const WavFormat& format) {
    const char* kind = format.formatTag == kWaveFormatPcm     ? "integer PCM"
                       : format.formatTag == kWaveFormatFloat ? "float"
                                                              : nullptr;
    char text[160];
    if (kind != nullptr)
        std::snprintf(text, sizeof text, "%u-bit %s, %u channels, %" PRIu32 " samples per sec",
                      unsigned(format.bitsPerSample), kind, unsigned(format.channels),
                      format.sampleRate);
    else
        std::snprintf(text, sizeof text,
                      "format tag %04Xh, %u bits per sample, %u channels, %" PRIu32
                      " samples per sec",
                      unsigned(format.formatTag), unsigned(format.bitsPerSample),
                      unsigned(format.channels), format.sampleRate);
    return text;
}

int DataEndsAtDeclaredLength(InputReader& reader, uint64_t fileSize, size_t before) {
    // Only a split frame can be looked past; anything wider can't be judged.
    if (before + 10 > reader.buffer.size()) return 1;
    if (!EnsureBytes(reader, before + 8)) return 1;
    // An odd-sized chunk is followed by one pad byte.
    for (size_t skip = before; skip < before + 2; skip++) {
        if (!EnsureBytes(reader, 8 + skip)) return skip > before;
        const uint8_t* next = reader.buffer.data() + reader.begin + skip;
        if (skip > before && next[-1] != 0) break;
        const uint64_t room = remainingAfter(fileSize, ReaderPosition(reader) + skip + 8);
        if (isChunkId(next) && le32(next + 4) <= room) return 1;
    }
    return 0;
}
