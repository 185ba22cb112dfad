// The WAV header as Dravik reads it: the first 44 bytes taken as the canonical
// header (only channels, sample rate and bits per sample are used), and the
// byte-by-byte search for the "data" chunk that precedes the samples.
#pragma once

#include <cstdint>
#include <cstdio>

#include "input_reader.h"

constexpr size_t kWavHeaderSize = 44;

struct WavHeader {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
};

enum class HeaderStatus { Ok, NotWav };

// Reads the 44 header bytes. A file that does not begin with "RIFF", or that
// ends before the 44 bytes are complete, is not a WAV file.
HeaderStatus ReadWavHeader(InputReader& reader, WavHeader& header);

// The decoder needs whole bytes per sample and a sample rate to time with.
int HeaderIsDecodable(const WavHeader& header);

// Rounded microseconds per sample; the header must be decodable.
uint32_t MicrosecondsPerSample(const WavHeader& header);

// Searches for "data" from file offset 0, one offset at a time, writing one
// '.' to `progress` for every offset that does not match. On a match returns 1
// with the reader just after the four letters; at the end of the input, 0.
int FindDataChunk(InputReader& reader, std::FILE* progress);

// Reads the 32-bit little-endian chunk length; bytes missing at the end of the
// input read as 0.
uint32_t ReadChunkLength(InputReader& reader);
