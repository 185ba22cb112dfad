// Follows the ABC80 tape signal as it passes the deck's head, played or
// recorded, and recognises its blocks, so the deck can name the program on
// the tape whatever BASIC ROM reads or writes it.
//
// The signal is the times of its level changes. Every bit starts with a
// change; a 0 is one long interval (1.43 ms at 700 bits a second), a 1 two
// short ones (0.71 ms each). Bytes go least significant bit first. A block
// is a lead-in of 00h bytes, 16h 16h 16h 02h, 256 data bytes, 03h and the
// 16-bit sum of the data bytes and the 03h, low byte first. A header block's
// data begins FF FF FF, eight characters of name and three of extension; a
// data block's 00h and its 16-bit number.
//
// Use: TapeBlockWatchEdge(watch, cycle, clockHz) for every level change; it
// returns 1 when a block has just ended, described by watch.last.
#pragma once

#include <cstdint>
#include <string>

enum class TapeBlockKind : uint8_t { Header, Data, Other };

struct TapeBlockInfo {
    TapeBlockKind kind = TapeBlockKind::Other;
    uint32_t number = 0;     // data blocks: the block number
    bool checksumOk = false; // the sum on tape matches the bytes read
    std::string program;     // the name of the last header seen ("" before one)
};

struct TapeBlockWatch {
    bool haveEdge = false;
    uint64_t lastEdge = 0;
    bool halfBit = false; // the first short interval of a 1 has passed
    enum class Stage : uint8_t { Hunting, Sync, Body } stage = Stage::Hunting;
    uint16_t hunt = 0xFFFF; // the last sixteen bits while hunting for the sync byte
    uint8_t shifter = 0;    // the byte being assembled
    int bits = 0;           // bits in the byte being assembled
    uint8_t body[259] = {}; // 256 data bytes, 03h, checksum low and high
    int bodyBytes = 0;
    std::string program; // name of the last header block
    uint32_t blocks = 0; // blocks that have ended
    TapeBlockInfo last;  // the block that ended last
};

// Forgets the signal and the program name (a tape opened, rewound or closed).
void TapeBlockWatchReset(TapeBlockWatch& watch);

// One level change at a processor cycle; 1 when it ended a block.
int TapeBlockWatchEdge(TapeBlockWatch& watch, uint64_t cycle, double clockHz);

// "DEMO.BAS" from the eleven name bytes of a header block; characters that
// can't be shown become '?'.
std::string TapeProgramName(const uint8_t* nameBytes);

// "DEMO.BAS block 3", "DEMO.BAS header", "block 3 (bad checksum)", ...
std::string DescribeTapeBlock(const TapeBlockInfo& block);
