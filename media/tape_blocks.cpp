// Recognising tape blocks from the times of the signal's level changes; see
// tape_blocks.h. The interval limits are those a loader uses: under 0.16 ms
// is a glitch, from 1.07 ms a whole 0 bit (however long), beyond 4 ms also a
// gap between blocks.
#include "media/tape_blocks.h"

namespace {

constexpr double GlitchSeconds = 0.00016;
constexpr double LongSeconds = 0.00107;
constexpr double GapSeconds = 0.004;
constexpr uint8_t SyncByte = 0x16;
constexpr uint8_t StartByte = 0x02;
constexpr uint8_t EndByte = 0x03;
constexpr int DataBytes = 256;
constexpr int BodyBytes = DataBytes + 3;

void startHunting(TapeBlockWatch& w) {
    w.stage = TapeBlockWatch::Stage::Hunting;
    w.hunt = 0xFFFF;
    w.shifter = 0;
    w.bits = 0;
    w.halfBit = false;
}

// The block in body has been read whole.
void finishBlock(TapeBlockWatch& w) {
    const uint8_t* data = w.body;
    uint32_t sum = EndByte;
    for (int i = 0; i < DataBytes; i++)
        sum += data[i];
    TapeBlockInfo info;
    info.checksumOk = data[DataBytes] == EndByte &&
                      (sum & 0xFFFF) == static_cast<uint32_t>(data[257] | (data[258] << 8));
    if (data[0] == 0xFF && data[1] == 0xFF && data[2] == 0xFF) {
        info.kind = TapeBlockKind::Header;
        w.program = TapeProgramName(data + 3);
    } else if (data[0] == 0x00) {
        info.kind = TapeBlockKind::Data;
        info.number = static_cast<uint32_t>(data[1] | (data[2] << 8));
    }
    info.program = w.program;
    w.last = info;
    w.blocks++;
}

// One bit; 1 when it ended a block.
int takeBit(TapeBlockWatch& w, int bit) {
    if (w.stage == TapeBlockWatch::Stage::Hunting) {
        // A sync byte after at least one lead-in byte of zeros.
        w.hunt = static_cast<uint16_t>((w.hunt >> 1) | (bit << 15));
        if (w.hunt == SyncByte << 8) {
            w.stage = TapeBlockWatch::Stage::Sync;
            w.bits = 0;
        }
        return 0;
    }
    w.shifter = static_cast<uint8_t>((w.shifter >> 1) | (bit << 7));
    if (++w.bits < 8) return 0;
    uint8_t byte = w.shifter;
    w.bits = 0;
    if (w.stage == TapeBlockWatch::Stage::Sync) {
        if (byte == StartByte) {
            w.stage = TapeBlockWatch::Stage::Body;
            w.bodyBytes = 0;
        } else if (byte != SyncByte) {
            startHunting(w);
        }
        return 0;
    }
    w.body[w.bodyBytes++] = byte;
    if (w.bodyBytes < BodyBytes) return 0;
    finishBlock(w);
    startHunting(w);
    return 1;
}

} // namespace

void TapeBlockWatchReset(TapeBlockWatch& watch) { watch = TapeBlockWatch(); }

int TapeBlockWatchEdge(TapeBlockWatch& w, uint64_t cycle, double clockHz) {
    if (!w.haveEdge || cycle < w.lastEdge || clockHz <= 0) {
        w.haveEdge = true;
        w.lastEdge = cycle;
        return 0;
    }
    double seconds = static_cast<double>(cycle - w.lastEdge) / clockHz;
    w.lastEdge = cycle;
    if (seconds < GlitchSeconds) return 0;
    if (seconds >= LongSeconds) {
        // A longer wait still ends a 0 bit (the last bit of a block is often
        // stretched while the next block is prepared); past a gap, the next
        // bits belong to a new block.
        w.halfBit = false;
        int ended = takeBit(w, 0);
        if (!ended && seconds > GapSeconds) startHunting(w);
        return ended;
    }
    if (!w.halfBit) {
        w.halfBit = true;
        return 0;
    }
    w.halfBit = false;
    return takeBit(w, 1);
}

std::string TapeProgramName(const uint8_t* nameBytes) {
    auto field = [nameBytes](int from, int count) {
        std::string text;
        for (int i = from; i < from + count; i++) {
            uint8_t c = nameBytes[i];
            text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text;
    };
    std::string name = field(0, 8);
    std::string extension = field(8, 3);
    return extension.empty() ? name : name + "." + extension;
}

std::string DescribeTapeBlock(const TapeBlockInfo& block) {
    std::string text = block.program.empty() ? std::string() : block.program + " ";
    switch (block.kind) {
    case TapeBlockKind::Header: text += "header"; break;
    case TapeBlockKind::Data: text += "block " + std::to_string(block.number); break;
    case TapeBlockKind::Other: text += "other block"; break;
    }
    if (!block.checksumOk) text += " (bad checksum)";
    return text;
}
