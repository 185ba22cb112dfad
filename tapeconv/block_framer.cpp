// Tape blocks from bits (see block_framer.h).
#include "block_framer.h"

namespace {

void put(BlockFramer& f, uint8_t byte) { f.events.putByte(f.events.context, byte); }

void startHunt(BlockFramer& f) {
    f.state = BlockFramer::State::Hunt;
    f.window = 0;
    f.zeroRun = 0;
    f.runBeforeOne[0] = f.runBeforeOne[1] = f.runBeforeOne[2] = 0;
}

std::string trimmed(const uint8_t* text, size_t length) {
    std::string s;
    for (size_t i = 0; i < length; i++)
        s += text[i] >= 0x20 && text[i] < 0x7F ? char(text[i]) : '?';
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// Writes the block (lead-in, three sync bytes, 02h, what was heard of the
// rest) and reports it.
void finishBlock(BlockFramer& f) {
    BlockReport report;
    report.number = ++f.blocks;
    report.bytesHeard = uint32_t(f.bodyLength);
    const uint8_t* data = f.body.data();
    report.firstByte = f.bodyLength > 0 ? data[0] : 0;
    if (f.bodyLength >= 3 && data[0] == 0xFF && data[1] == 0xFF && data[2] == 0xFF) {
        report.kind = BlockKind::Header;
        if (f.bodyLength >= 14) {
            f.programName = trimmed(data + 3, 8);
            const std::string extension = trimmed(data + 11, 3);
            if (!extension.empty()) f.programName += "." + extension;
        }
    } else if (f.bodyLength >= 3 && data[0] == 0x00) {
        report.kind = BlockKind::Data;
        report.dataNumber = uint16_t(data[1] | data[2] << 8);
    } else {
        report.kind = BlockKind::Other;
    }
    report.name = f.programName;
    uint32_t sum = 0;
    for (size_t i = 0; i < kBlockDataBytes && i < f.bodyLength; i++)
        sum += data[i];
    report.endByteOk = f.bodyLength > kBlockDataBytes && data[kBlockDataBytes] == kEndByte;
    report.computedSum = uint16_t(sum + kEndByte);
    if (f.bodyLength == kBlockBodyBytes)
        report.recordedSum = uint16_t(data[kBlockDataBytes + 1] | data[kBlockDataBytes + 2] << 8);
    if (!report.ok()) f.badBlocks++;

    const uint32_t leadIn = f.anyBlock ? f.leadIn : 0;
    for (uint32_t i = 0; i < leadIn; i++)
        put(f, 0x00);
    for (int i = 0; i < kSyncBytesWritten; i++)
        put(f, kSyncByte);
    put(f, kStartByte);
    for (size_t i = 0; i < f.bodyLength; i++)
        put(f, data[i]);
    if (f.bodyLength < kBlockBodyBytes) {
        // ATP blocks have one length: a block cut short is padded to it, so
        // that the blocks after it are found where they lie. The data is
        // filled with zeros, the end byte given, and the checksum made the
        // complement of the padded block's sum, so a loader that checks sums
        // knows the block bad.
        uint32_t padded = 0;
        for (size_t i = 0; i < kBlockDataBytes && i < f.bodyLength; i++)
            padded += data[i];
        for (size_t i = f.bodyLength; i < kBlockDataBytes; i++)
            put(f, 0x00);
        if (f.bodyLength <= kBlockDataBytes) put(f, kEndByte);
        const uint16_t wrong = uint16_t(~(padded + kEndByte));
        if (f.bodyLength <= kBlockDataBytes + 1) put(f, uint8_t(wrong));
        put(f, uint8_t(wrong >> 8));
    }
    f.anyBlock = true;
    f.tailZeros = 0;
    f.tailOpen = true;
    if (f.events.block != nullptr) f.events.block(f.events.context, report);
}

void onByte(BlockFramer& f, uint8_t byte) {
    if (f.state == BlockFramer::State::Sync) {
        if (byte == kSyncByte) {
            f.syncsHeard++;
        } else if (byte == kStartByte) {
            f.state = BlockFramer::State::Body;
            f.bodyLength = 0;
        } else {
            f.falseSyncs++; // noise that looked like a sync byte
            startHunt(f);
        }
        return;
    }
    f.body[f.bodyLength++] = byte;
    if (f.bodyLength == kBlockBodyBytes) {
        finishBlock(f);
        startHunt(f);
    }
}

} // namespace

void ResetFramer(BlockFramer& framer, const FramerEvents& events) {
    framer = BlockFramer{};
    framer.events = events;
    startHunt(framer);
}

void FramerBit(BlockFramer& f, int bit) {
    if (f.state != BlockFramer::State::Hunt) {
        f.shifter = uint8_t(f.shifter >> 1 | (bit ? 0x80 : 0));
        if (++f.bitCount == 8) {
            f.bitCount = 0;
            onByte(f, f.shifter);
        }
        return;
    }
    f.window = uint8_t(f.window >> 1 | (bit ? 0x80 : 0));
    if (f.tailOpen) {
        if (bit)
            f.tailOpen = false;
        else
            f.tailZeros++;
    }
    if (bit) {
        f.runBeforeOne[2] = f.runBeforeOne[1];
        f.runBeforeOne[1] = f.runBeforeOne[0];
        f.runBeforeOne[0] = f.zeroRun;
        f.zeroRun = 0;
        return;
    }
    f.zeroRun++;
    if (f.window != kSyncByte) return;
    // The sync byte arrives as 0 1 1 0 1 0 0 0: the zeros before its first 1
    // bit, less its own first 0, are the lead-in; a bit or two lost to a
    // dropout or gained from a click does not change its count of bytes.
    const uint64_t zerosBefore = f.runBeforeOne[2] > 0 ? f.runBeforeOne[2] - 1 : 0;
    const uint64_t leadIn = (zerosBefore + 4) / 8;
    f.leadIn = uint32_t(leadIn < kMaxLeadInBytes ? leadIn : kMaxLeadInBytes);
    f.state = BlockFramer::State::Sync;
    f.syncsHeard = 1;
    f.shifter = 0;
    f.bitCount = 0;
}

void FramerPause(BlockFramer& f) { f.tailOpen = false; }

void FramerGap(BlockFramer& f) {
    f.tailOpen = false;
    if (f.state == BlockFramer::State::Body) finishBlock(f);
    startHunt(f); // zeros before a stop are no lead-in of the next block
}

void FinishFramer(BlockFramer& f) {
    if (f.state == BlockFramer::State::Body) {
        finishBlock(f);
    } else if (f.anyBlock) { // hunting, or a sync byte in the noise that the end cut off
        // The zero bytes the machine writes before it stops the motor, as
        // Dravik always wrote them; noise after them is not written.
        const uint64_t tail = f.tailZeros / 8;
        for (uint64_t i = 0; i < tail && i < kMaxLeadInBytes; i++)
            put(f, 0x00);
    }
    f.tailOpen = false;
}
