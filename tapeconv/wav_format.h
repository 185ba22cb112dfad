// Where the samples of a WAV recording lie and how they are encoded. The RIFF
// chunks are walked in order ("fmt " gives the format, "data" the samples,
// LIST and every other chunk is skipped); only when the chunk structure is
// broken does a byte search for "data" take over, from the point where the
// walk broke down, so the word in a comment that was walked past is never
// mistaken for the samples.
#pragma once

#include <cstdint>
#include <string>

#include "input_reader.h"

enum class SampleEncoding : uint8_t {
    None,      // not decodable
    Unsigned8, // 8-bit integer, 128 is the middle
    Signed16,
    Signed24,
    Signed32,
    Float32,
    Float64,
};

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatFloat = 3;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

struct WavFormat {
    uint16_t formatTag = 0; // for WAVE_FORMAT_EXTENSIBLE: the sub-format's tag
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    SampleEncoding encoding = SampleEncoding::None;

    uint32_t bytesPerSample() const { return bitsPerSample / 8u; }
    uint32_t frameBytes() const { return bytesPerSample() * channels; }
};

struct WavLayout {
    WavFormat format;
    bool fmtChunkFound = false; // else the format comes from the canonical 44-byte header
    bool searched = false;      // the chunk walk broke down and "data" was searched for
    uint64_t dataTagOffset = 0; // file offset of the letters "data"
    uint64_t dataOffset = 0;    // file offset of the first sample
    uint32_t declaredLength = 0;
    // Where the declared data ends, when the declared length can be trusted
    // that far; the samples may still run on to the end of the file (see
    // DataEndsAtDeclaredLength).
    uint64_t declaredEnd = UINT64_MAX;
};

enum class WavStatus { Ok, NotWav, NoDataChunk };

// Reads the header from the start of the input and leaves the reader at the
// first sample. A file that does not begin with "RIFF", or that is shorter
// than the 44 bytes of a canonical header, is not a WAV file. `fileSize` is
// the input's size when known (a regular file), else UINT64_MAX.
WavStatus ReadWavLayout(InputReader& reader, uint64_t fileSize, WavLayout& layout);

// Decides the sample encoding from tag and width; returns 1 when decodable.
int ResolveEncoding(WavFormat& format);

// A readable description of the format, for the refusal message.
std::string DescribeFormat(const WavFormat& format);

// Called with the reader `before` bytes short of the declared end of the data
// (a frame split by it): the samples end there when the input ends or a chunk
// header follows; otherwise the declared length understated the samples and
// they run to the end of the file. The reader does not move.
int DataEndsAtDeclaredLength(InputReader& reader, uint64_t fileSize, size_t before);
