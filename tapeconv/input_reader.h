// Buffered reader over the input recording. It keeps one fixed buffer, so a
// recording of any length is read in constant memory, and it counts the
// absolute byte position in the file, which the decoder uses as its clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

struct InputReader {
    std::FILE* file = nullptr;
    std::vector<uint8_t> buffer;
    size_t begin = 0;        // next unread byte in buffer
    size_t end = 0;          // one past the last valid byte in buffer
    uint64_t bufferBase = 0; // file offset of buffer[0]
    bool atEnd = false;      // the file has no more bytes beyond buffer[end]
};

constexpr size_t kInputBufferSize = 1 << 16;
// The widest sample frame read (8,192 channels of 16 bits, 5,461 of 24).
constexpr uint32_t kMaxFrameBytes = kInputBufferSize / 4;

void AttachInputReader(InputReader& reader, std::FILE* file);

// Absolute file offset of the next byte to be read.
inline uint64_t ReaderPosition(const InputReader& reader) {
    return reader.bufferBase + reader.begin;
}

inline size_t BytesAvailable(const InputReader& reader) { return reader.end - reader.begin; }

// Makes at least `count` bytes (at most the buffer size) available when the
// file still holds them. Returns 1 if they are, 0 at the end of the input.
int EnsureBytes(InputReader& reader, size_t count);

// Reads up to `count` bytes; returns how many were read.
size_t ReadBytes(InputReader& reader, uint8_t* destination, size_t count);

// Reads one byte, or returns -1 at the end of the input.
inline int ReadByte(InputReader& reader) {
    if (reader.begin == reader.end && !EnsureBytes(reader, 1)) return -1;
    return reader.buffer[reader.begin++];
}

// Skips `count` bytes forward (seeking when the file allows it). Returns 1
// when the input still held them all.
int SkipBytes(InputReader& reader, uint64_t count);

// Goes back to file offset 0. Works without seeking while the start of the
// file is still in the buffer (so pipes can be read); otherwise seeks.
// Returns 1 on success.
int RewindReader(InputReader& reader);
