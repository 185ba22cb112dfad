// Buffered reader over the input recording (see input_reader.h).
#include "input_reader.h"

#include <algorithm>
#include <cstring>

void AttachInputReader(InputReader& reader, std::FILE* file) {
    reader.file = file;
    reader.buffer.assign(kInputBufferSize, 0);
    reader.begin = reader.end = 0;
    reader.bufferBase = 0;
    reader.atEnd = file == nullptr;
}

int EnsureBytes(InputReader& reader, size_t count) {
    if (count > reader.buffer.size()) count = reader.buffer.size();
    if (BytesAvailable(reader) >= count) return 1;
    if (reader.atEnd) return 0;

    // Keep the unread tail and fill the rest of the buffer behind it.
    const size_t left = BytesAvailable(reader);
    if (reader.begin > 0) {
        std::memmove(reader.buffer.data(), reader.buffer.data() + reader.begin, left);
        reader.bufferBase += reader.begin;
        reader.begin = 0;
        reader.end = left;
    }
    while (reader.end < count && !reader.atEnd) {
        const size_t got = std::fread(reader.buffer.data() + reader.end, 1,
                                      reader.buffer.size() - reader.end, reader.file);
        reader.end += got;
        if (got == 0) reader.atEnd = true;
    }
    return BytesAvailable(reader) >= count;
}

size_t ReadBytes(InputReader& reader, uint8_t* destination, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (BytesAvailable(reader) == 0 && !EnsureBytes(reader, 1)) break;
        size_t chunk = BytesAvailable(reader);
        if (chunk > count - done) chunk = count - done;
        std::memcpy(destination + done, reader.buffer.data() + reader.begin, chunk);
        reader.begin += chunk;
        done += chunk;
    }
    return done;
}

int RewindReader(InputReader& reader) {
    if (reader.bufferBase == 0) {
        reader.begin = 0;
        return 1;
    }
    if (reader.file == nullptr || std::fseek(reader.file, 0, SEEK_SET) != 0) return 0;
    reader.begin = reader.end = 0;
    reader.bufferBase = 0;
    reader.atEnd = false;
    return 1;
}

int SkipBytes(InputReader& reader, uint64_t count) {
    if (count <= BytesAvailable(reader)) {
        reader.begin += size_t(count);
        return 1;
    }
    count -= BytesAvailable(reader);
    const uint64_t target = ReaderPosition(reader) + BytesAvailable(reader) + count;
    reader.bufferBase += reader.end;
    reader.begin = reader.end = 0;
    if (reader.file != nullptr && !reader.atEnd &&
        std::fseek(reader.file, long(target), SEEK_SET) == 0) {
        // Seeking past the end succeeds too; the next read then finds nothing.
        reader.bufferBase = target;
        return 1;
    }
    while (count > 0 && EnsureBytes(reader, 1)) {
        const size_t chunk = size_t(std::min<uint64_t>(count, BytesAvailable(reader)));
        reader.begin += chunk;
        count -= chunk;
    }
    return count == 0;
}
