// ATP tape images: the bytes of a cassette recording, block after block.
// Each block is up to 33 lead-in zero bytes, sync 16h 16h 16h, 02h, 256 data
// bytes, 03h and a two-byte checksum that is kept but never examined. Data
// blocks (first data byte 00h) carry 253 payload bytes of the program; header
// and foreign blocks add nothing. A malformed block ends the load there.
//
// A file is refused, and memory left as it was, when it holds no data block,
// when it ends inside a block before the program's end (the 0Dh 00h pair) was
// read, or when the program does not fit in the program area.
#include "media/host_file.h"
#include "media/program_area.h"
#include "media/tape_images.h"

#include <cstdio>
#include <string>

namespace {

constexpr int MaxLeadIn = 33;
constexpr uint8_t SyncByte = 0x16;
constexpr uint8_t StartOfData = 0x02;
constexpr uint8_t EndOfData = 0x03;
constexpr uint8_t ProgramMarker = 0x82;
constexpr long BlockProper = 3 + 1 + 256 + 1 + 2; // sync to checksum

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

// Returns 1 when the payload held the pair 0Dh 00h that ends a program.
int appendDataBlock(ProgramLoad& load, const uint8_t* data) {
    if (data[0] != 0x00) return 0; // header or foreign block
    unsigned blockNumber = data[1] | (data[2] << 8);
    int start = (blockNumber == 0 && data[3] == ProgramMarker) ? 4 : 3;
    AppendBlockPayload(load, data + start, static_cast<uint32_t>(256 - start));
    for (int p = start; p + 1 < 256; ++p)
        if (data[p] == 0x0D && data[p + 1] == 0x00) return 1;
    return 0;
}

long fileSize(std::FILE* file) {
    long here = std::ftell(file);
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return size;
}

// What a load finds wrong with the blocks it takes, and where a second
// program on the same tape begins (its header block, or a data block 0
// after data blocks): only the first program is loaded, the others counted.
struct ProgramCheck {
    std::string name;       // NAME.EXT of the first program's header block
    bool anyData = false;   // a data block of the first program was read
    bool anyHeader = false; // the first program's header block was read
    bool past = false;      // the blocks now read belong to later programs
    bool laterData = false; // the latest of them has had a data block
    int morePrograms = 0;   // programs after the first
    unsigned expected = 0;  // the data block number that should come next
    std::string problems;   // "; "-joined
};

void addProblem(ProgramCheck& check, const std::string& text) {
    if (!check.problems.empty()) check.problems += "; ";
    check.problems += text;
}

std::string nameOf(const uint8_t* data) {
    std::string name, extension;
    for (int i = 3; i < 11; i++)
        name += data[i] >= 0x20 && data[i] < 0x7F ? char(data[i]) : '?';
    for (int i = 11; i < 14; i++)
        extension += data[i] >= 0x20 && data[i] < 0x7F ? char(data[i]) : '?';
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    while (!extension.empty() && extension.back() == ' ')
        extension.pop_back();
    return extension.empty() ? name : name + "." + extension;
}

// 1 when the block belongs to a program after the first (and counts it).
int startsAnotherProgram(ProgramCheck& check, const uint8_t* data) {
    const bool header = data[0] == 0xFF && data[1] == 0xFF && data[2] == 0xFF;
    const bool firstData = data[0] == 0x00 && data[1] == 0x00 && data[2] == 0x00;
    if (header) {
        if (check.anyData || check.past) {
            check.past = true;
            check.morePrograms++;
            check.laterData = false;
            return 1;
        }
        if (!check.anyHeader) check.name = nameOf(data);
        check.anyHeader = true;
        return 0;
    }
    // Data block 0 after data blocks: a program with no header block of its own.
    if (check.past || (firstData && check.anyData)) {
        if (firstData && (!check.past || check.laterData)) check.morePrograms++;
        check.past = true;
        check.laterData = check.laterData || data[0] == 0x00;
        return 1;
    }
    return 0;
}

void checkBlock(ProgramCheck& check, int blockNumber, const uint8_t* data, int end, int sum1,
                int sum2) {
    const bool dataBlock = data[0] == 0x00;
    const unsigned number = unsigned(data[1] | data[2] << 8);
    std::string what = "block " + std::to_string(blockNumber);
    if (dataBlock) what += " (data " + std::to_string(number) + ")";
    unsigned sum = EndOfData;
    for (int i = 0; i < 256; i++)
        sum += data[i];
    if (end == EndOfData && sum2 != EOF && unsigned(sum1 | sum2 << 8) != (sum & 0xFFFF))
        addProblem(check, what + ": bad checksum");
    if (!dataBlock) return;
    if (!check.anyData && number != 0)
        addProblem(check, "data block" + std::string(number == 1 ? " 0 is" : "s 0 to ") +
                              (number == 1 ? "" : std::to_string(number - 1) + " are") +
                              " missing (the image starts at data " + std::to_string(number) + ")");
    else if (check.anyData && number != check.expected)
        addProblem(check,
                   what + " is out of order (data " + std::to_string(check.expected) + " was due)");
    check.anyData = true;
    check.expected = number + 1;
}

std::string checkText(const ProgramCheck& check) {
    std::string text = check.problems;
    if (check.morePrograms > 0) {
        if (!text.empty()) text += "; ";
        text += "the image holds " + std::to_string(check.morePrograms + 1) +
                " programs; the first" + (check.name.empty() ? "" : " (" + check.name + ")") +
                " was loaded";
    }
    return text;
}

} // namespace

int LoadAtpImage(const std::string& path) {
    std::FILE* file = OpenHostFile(path, "rb");
    if (!file) return 0;

    ProgramLoad load;
    StartProgramLoad(load);
    int dataBlocks = 0;
    int programEnded = 0;
    long truncatedAt = -1; // where a block that the file cut off would have ended
    ProgramCheck check;
    uint8_t data[256];
    for (int blockNumber = 1;; ++blockNumber) {
        int first = skipLeadIn(file);
        if (first == EOF) break;
        long blockEnd = std::ftell(file) - 1 + BlockProper;
        if (first != SyncByte) break;
        int sync2 = std::getc(file), sync3 = std::getc(file), start = std::getc(file);
        size_t got = std::fread(data, 1, sizeof data, file);
        int end = std::getc(file);
        int sum1 = std::getc(file); // checksum, as recorded
        int sum2 = std::getc(file);
        bool wellFormed = sync2 == SyncByte && sync3 == SyncByte && start == StartOfData;
        if (!wellFormed) break;
        if (got == sizeof data && !startsAnotherProgram(check, data)) {
            // A wrong end byte ends the load after this block.
            if (data[0] == 0x00) ++dataBlocks;
            checkBlock(check, blockNumber, data, end, sum1, sum2);
            programEnded |= appendDataBlock(load, data);
        }
        if (std::feof(file) && sum2 == EOF) { // the file ends inside this block
            truncatedAt = blockEnd;
            break;
        }
        if (load.tooBig || end != EndOfData) break;
    }
    long size = fileSize(file);
    std::fclose(file);

    if (load.tooBig) {
        SetMediaError(ProgramTooBigText());
        return 0;
    }
    if (truncatedAt >= 0 && !programEnded) {
        SetMediaError("truncated after " + std::to_string(size) + " of " +
                      std::to_string(truncatedAt) + " bytes");
        return 0;
    }
    if (dataBlocks == 0) {
        SetMediaError("no tape blocks found");
        return 0;
    }
    CommitProgram(load);
    SetMediaWarning(checkText(check));
    return 1;
}
