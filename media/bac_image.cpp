// BAC images: BASIC's line records behind the marker byte 82h. A file whose
// size is a multiple of 253 holds tape blocks (253 payload bytes each);
// every other file holds 256-byte segments at file offsets 0, 256, 512, ...,
// each filled with whole records and padded with 00h.
//
// The saver writes segment layout and counts the marker as the first byte of
// segment 0, so every segment it writes starts at a multiple of 256 and is
// padded to its full length: a saved program reads back whole however many
// segments it takes.
#include "files/file_write.h"
#include "machine/memory.h"
#include "media/host_file.h"
#include "media/program_area.h"
#include "media/tape_images.h"

#include <cstdio>
#include <string>

namespace {

constexpr uint8_t ProgramMarker = 0x82;
constexpr uint32_t TapeBlockSize = 253;
constexpr uint32_t SegmentSize = 256;

long fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    return size;
}

void readTapeBlocks(std::FILE* file, long size, ProgramLoad& load) {
    uint8_t block[TapeBlockSize];
    for (long k = 0; k < size / static_cast<long>(TapeBlockSize); ++k) {
        if (std::fseek(file, k * static_cast<long>(TapeBlockSize), SEEK_SET) != 0) break;
        if (std::fread(block, 1, TapeBlockSize, file) != TapeBlockSize) break;
        int start = (k == 0 && block[0] == ProgramMarker) ? 1 : 0;
        AppendBlockPayload(load, block + start, TapeBlockSize - start);
        if (load.tooBig) break;
    }
}

// Returns -1, or the file offset a record cut off by the end of the file
// would have reached.
long readSegments(std::FILE* file, long size, ProgramLoad& load) {
    uint32_t segment = 0;
    uint32_t used = 0; // record bytes taken from the current segment (the marker not counted)
    uint8_t record[SegmentSize];
    for (;;) {
        int length = std::getc(file);
        if (length == EOF) break;
        if (length >= 2 && length + used <= SegmentSize) {
            long pos = std::ftell(file);
            std::fprintf(stderr, "Block #%u segment len: %u/$%02X at pos:%u (%X)\n", segment,
                         static_cast<unsigned>(length), static_cast<unsigned>(length),
                         static_cast<unsigned>(pos), static_cast<unsigned>(pos));
            std::fseek(file, pos - 1, SEEK_SET); // the record includes its length byte
            uint32_t got = static_cast<uint32_t>(std::fread(record, 1, length, file));
            if (got < static_cast<uint32_t>(length)) return pos - 1 + length;
            AppendProgramBytes(load, record, got);
            used += got;
            if (load.tooBig) break;
        } else {
            ++segment;
            long pos = static_cast<long>(segment) * SegmentSize;
            std::fseek(file, pos, SEEK_SET);
            std::fprintf(stderr, "File pos: %u (%X) EOF:%i\n", static_cast<unsigned>(pos),
                         static_cast<unsigned>(pos), pos >= size ? 1 : 0);
            used = 0;
        }
    }
    return -1;
}

} // namespace

int LoadBacImage(const std::string& path) {
    std::FILE* file = OpenHostFile(path, "rb");
    if (!file) return 0;

    ProgramLoad load;
    StartProgramLoad(load);
    long size = fileSize(file);
    long truncatedAt = -1;
    const char* refusal = nullptr;
    if (size <= 0)
        refusal = "empty file";
    else if (std::getc(file) != ProgramMarker)
        refusal = "not a BAC file (no 82h marker)";
    else if (size % TapeBlockSize == 0)
        readTapeBlocks(file, size, load);
    else
        truncatedAt = readSegments(file, size, load);
    std::fclose(file);

    if (refusal) {
        SetMediaError(refusal);
        return 0;
    }
    if (truncatedAt >= 0) {
        SetMediaError("truncated after " + std::to_string(size) + " of " +
                      std::to_string(truncatedAt) + " bytes");
        return 0;
    }
    if (load.tooBig) {
        SetMediaError(ProgramTooBigText());
        return 0;
    }
    if (load.bytes.empty()) {
        SetMediaError("no program lines found");
        return 0;
    }
    CommitProgram(load);
    std::fprintf(stderr, "   %u bytes read.\n", static_cast<unsigned>(load.bytes.size()) + 1);
    return 1;
}

int SaveBacImage(const std::string& path) {
    const uint8_t* memory = memoryArray();
    uint32_t endWord = memory[ProgramEndPointer] | (memory[ProgramEndPointer + 1] << 8);
    uint32_t endByte = (endWord - 1) & 0xFFFF; // address of the 01h end byte

    if (memory[ProgramAreaStart] < 2) { // not even one line record
        SetMediaError("no program in memory");
        return 0;
    }
    std::string file(1, static_cast<char>(ProgramMarker));
    uint32_t offset = 0;
    uint32_t used = 1; // the marker is the first byte of segment 0
    uint32_t length;
    do {
        uint32_t at = ProgramAreaStart + offset;
        length = memory[at];
        if (length + used >= SegmentSize) {
            file.append(SegmentSize - used, '\0');
            used = 0;
        }
        uint32_t n = length;
        if (at + n > 0x10000) n = 0x10000 - at; // a record can't run past FFFFh
        file.append(reinterpret_cast<const char*>(memory + at), n);
        used += n;
        offset += n;
        if (n < length) break;
    } while (ProgramAreaStart + offset < endByte && length != 0);
    file.append(SegmentSize - used, '\0');

    std::string cause;
    if (!WriteWholeFile(path, file, &cause)) {
        SetMediaError(cause);
        return 0;
    }
    std::fprintf(stderr, "   %u bytes saved.\n", offset);
    return 1;
}
