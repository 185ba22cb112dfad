// ATP tape images: the bytes of a cassette recording, block after block.
// Each block is up to 33 lead-in zero bytes, sync 16h 16h 16h, 02h, 256 data
// bytes, 03h and a two-byte checksum that is kept but never examined. Data
// blocks (first data byte 00h) carry 253 payload bytes of the program; header
// and foreign blocks add nothing. A malformed block ends the load there.
#include "media/host_file.h"
#include "media/program_area.h"
#include "media/tape_images.h"

#include <cstdio>

namespace {

constexpr int MaxLeadIn = 33;
constexpr uint8_t SyncByte = 0x16;
constexpr uint8_t StartOfData = 0x02;
constexpr uint8_t EndOfData = 0x03;
constexpr uint8_t ProgramMarker = 0x82;

// Reads the lead-in zeros and returns the first byte of the block proper, or
// EOF when the file ends during the lead-in.
int skipLeadIn(std::FILE* file) {
    int zeros = 0;
    for (;;) {
        int c = std::getc(file);
        if (c == EOF) return EOF;
        if (c != 0 || zeros == MaxLeadIn) return c; // a 34th zero starts a malformed block
        ++zeros;
    }
}

void appendDataBlock(ProgramLoad& load, const uint8_t* data) {
    if (data[0] != 0x00) return; // header or foreign block
    unsigned blockNumber = data[1] | (data[2] << 8);
    int start = (blockNumber == 0 && data[3] == ProgramMarker) ? 4 : 3;
    AppendBlockPayload(load, data + start, static_cast<uint32_t>(256 - start));
}

} // namespace

int LoadAtpImage(const std::string& path) {
    std::FILE* file = OpenHostFile(path, "rb");
    if (!file) return 0;

    ProgramLoad load;
    uint8_t data[256];
    for (;;) {
        int first = skipLeadIn(file);
        if (first == EOF) break;
        if (first != SyncByte || std::getc(file) != SyncByte || std::getc(file) != SyncByte) break;
        if (std::getc(file) != StartOfData) break;
        if (std::fread(data, 1, sizeof data, file) != sizeof data) break;
        appendDataBlock(load, data);
        if (load.truncated) break;
        if (std::getc(file) != EndOfData) break;
        std::getc(file); // checksum, as recorded
        std::getc(file);
        if (std::feof(file)) break;
    }

    FinishProgram(load);
    std::fclose(file);
    return 1;
}
