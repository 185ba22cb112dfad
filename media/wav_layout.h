// How the samples of a WAV tape file are laid out, and the 44-byte header a
// recording writes.
//
// Canonical tape files (mono 8-bit or 1-bit samples from offset 44) and files
// whose header can't be made sense of are played the classic way: the first
// 44 bytes are the header, samples run from offset 44 to the physical end of
// the file at the header's rate, one byte (or one bit) each. Other RIFF files
// (16-bit, stereo, extra chunks before "data") are played from their real
// "data" chunk; every channel can be read, scaled to one 16-bit level scale.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr uint32_t WavHeaderSize = 44;
constexpr uint32_t MaxWavFrameBytes = 1024; // larger frames are played the classic way

enum class SampleEncoding : uint8_t {
    Unsigned8, // one byte, 128 is the mid level
    Signed,    // little-endian signed integer; its top byte gives the level
    Float32,   // IEEE float, -1.0 to 1.0
    Float64,   // IEEE double, -1.0 to 1.0
    OneBit,    // eight samples per byte, top bit first
};

struct WavLayout {
    uint32_t sampleRate = 0;
    uint32_t counterBits = 0; // file bits per sample, as the tape counter divides by them
    uint64_t dataStart = WavHeaderSize;
    uint64_t dataEnd = UINT64_MAX; // UINT64_MAX: up to the physical end of the file
    uint32_t frameBytes = 1;       // bytes per sample frame (all channels)
    uint32_t levelByte = 0;        // byte of the first channel that carries the top bits
    uint32_t sampleBytes = 1;      // bytes of one channel's sample
    uint32_t channels = 1;
    SampleEncoding encoding = SampleEncoding::Unsigned8;
};

// Reads the layout of an open file whose first 44 bytes are in header.
WavLayout ReadWavLayout(std::FILE* file, const uint8_t* header, uint64_t fileSize);

// Why the file at path is no tape recording the deck can play ("" when it
// is one, or when it cannot be opened: opening reports that itself). Empty
// files, files with no RIFF WAVE header or no "fmt " chunk, compressed
// formats (ADPCM and the like), a sample rate of 0 and files that hold no
// sample after their header are refused before anything is loaded.
std::string WhyNotATapeRecording(const std::string& path);

// A canonical 8-bit mono PCM header with both size fields 0.
void BuildWavHeader(uint8_t* header, uint32_t sampleRate);

uint32_t ReadLe32(const uint8_t* bytes);
uint16_t ReadLe16(const uint8_t* bytes);
void WriteLe32(uint8_t* bytes, uint32_t value);
