// Turns the bits heard on tape into tape blocks. Every block is found afresh:
// the framer hunts bit by bit for the sync byte 16h after the lead-in, reads
// the block in whole bytes from there (more 16h, 02h, 256 data bytes, 03h and
// the checksum), checks the checksum, hands the block on and hunts again. So
// an extra or a lost bit, a dropout or a second recording joined on ruins at
// most the block it falls in.
#pragma once

#include <array>
#include <cstdint>
#include <string>

constexpr uint8_t kSyncByte = 0x16;
constexpr uint8_t kStartByte = 0x02;
constexpr uint8_t kEndByte = 0x03;
constexpr size_t kBlockDataBytes = 256;
constexpr size_t kBlockBodyBytes = kBlockDataBytes + 3; // data, 03h, checksum
constexpr uint32_t kMaxLeadInBytes = 33;                // what an ATP block may carry
constexpr int kSyncBytesWritten = 3;

enum class BlockKind : uint8_t { Header, Data, Other };

struct BlockReport {
    uint32_t number = 0; // 1, 2, ... in order on the tape
    BlockKind kind = BlockKind::Other;
    uint16_t dataNumber = 0; // a data block's own number
    uint8_t firstByte = 0;
    std::string name;         // NAME.EXT of the header block (for data blocks: the last one seen)
    uint32_t bytesHeard = 0;  // of the 259 after 02h; fewer when the block was cut short
    uint16_t recordedSum = 0; // checksum as recorded
    uint16_t computedSum = 0; // 16-bit sum of the data bytes and 03h
    bool endByteOk = false;   // 03h after the data
    bool ok() const {
        return bytesHeard == kBlockBodyBytes && endByteOk && recordedSum == computedSum;
    }
};

struct FramerEvents {
    void (*putByte)(void* context, uint8_t byte) = nullptr;
    void (*block)(void* context, const BlockReport& report) = nullptr;
    void* context = nullptr;
};

struct BlockFramer {
    enum class State : uint8_t { Hunt, Sync, Body };
    State state = State::Hunt;
    FramerEvents events;

    // Hunting: the last eight bits, and the zero bits heard since the hunt began.
    uint8_t window = 0;
    uint64_t zeroRun = 0;
    uint64_t runBeforeOne[3] = {}; // zero runs ended by the last three 1 bits, newest first

    // Reading whole bytes.
    uint8_t shifter = 0;
    int bitCount = 0;
    uint32_t leadIn = 0;
    uint32_t syncsHeard = 0;
    std::array<uint8_t, kBlockBodyBytes> body{};
    size_t bodyLength = 0;

    // The machine's tail after the last block: zero bits heard since that
    // block up to the first 1 bit, pause or gap.
    uint64_t tailZeros = 0;
    bool tailOpen = false;

    bool anyBlock = false; // a block has been written
    uint32_t blocks = 0;
    uint32_t badBlocks = 0;
    uint32_t falseSyncs = 0; // a 16h in noise that no 02h followed
    std::string programName;
};

void ResetFramer(BlockFramer& framer, const FramerEvents& events);
void FramerBit(BlockFramer& framer, int bit);
// An interval too long for any bit cell (over 2 ms): the tail after a block
// has ended there. Called before the 0 bit the interval also gives.
void FramerPause(BlockFramer& framer);
// No level change for a long time (the tape stopped or dropped out): a block
// being read is cut short there.
void FramerGap(BlockFramer& framer);
// The end of the recording: a block being read is written as heard (padded
// to the full length, as every block cut short is), and
// after the last block its tail of whole zero bytes (at most 33).
void FinishFramer(BlockFramer& framer);
