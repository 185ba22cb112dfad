// Save states: the machine captured into a snapshot, the snapshot encoded as
// sections, and the way back. Decoding fills a snapshot without touching the
// machine, so a refused state leaves the running machine as it was; only a
// fully decoded snapshot is applied.
#include "abc80/save_state.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "abc80/abc80.h"
#include "abc80/state_codec.h"
#include "cpu/z80.h"
#include "files/file_write.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"
#include "machine/sound_chip.h"
#include "media/disk_card.h"
#include "media/tape_deck.h"

namespace {

constexpr char Magic[8] = {'O', 'R', 'V', 'S', 'T', 'A', 'T', 'E'};
constexpr size_t HeaderBytes = 20; // magic, version, body size, CRC-32
constexpr size_t MaxPathBytes = 4096;
constexpr size_t MaxTypingBytes = 1u << 20;
constexpr size_t MaxStateBytes = 64u << 20;
constexpr int CardCodes[4] = {36, 44, 45, 46};

// Who acknowledges the pending interrupt, as a number in the file.
enum : uint8_t { AckNone = 0, AckKeyboard = 1, AckTape = 2 };

struct DiskCardSnapshot {
    uint32_t phase = 0;
    uint8_t command = 0, drive = 0, high = 0, low = 0;
    uint8_t interleaveMask = 0, interleaveFactor = 0;
    int32_t receiveIndex = 0, sendIndex = -1;
    uint32_t status = 0, errorCode = 0, busyReads = 0;
    uint8_t busy[DiskDrivesPerCard] = {};
    uint8_t buffers[4][SectorBytes] = {};
};

struct MachineSnapshot {
    Z80Cpu cpu{};
    uint8_t ack = AckNone;
    std::vector<uint8_t> memory = std::vector<uint8_t>(65536);
    uint32_t basicRom = BasicRomOld, dosRom = DosRomUfddos;
    bool externalRomKnown = false;
    uint32_t basicRomCrc = 0, dosRomCrc = 0;
    uint8_t keyLatch = 0;
    KeyboardState keyboard;
    PioChannel pio[2]{};
    uint8_t pioLastWritten[4] = {};
    uint8_t portLatches[256] = {};
    int32_t cardSelect = 0;
    uint8_t tapeInputLatch = 0;
    SoundChip soundChip{};
    uint32_t frameCounter = 0;
    int32_t lineCycles = 0;
    int64_t fastCarry = 0;
    int32_t lastTapeLevel = 0;
    bool cycleBased = false;
    TapeDeck tape; // file stays null; path names the file
    uint64_t tapeReadOffset = 0;
    std::string driveNames[DiskDrivesPerCard];
    DiskCardSnapshot cards[4];
};

// ---------------------------------------------------------------- capture

uint32_t imageCrc(const uint8_t* image, size_t size) {
    return image == MainMemory ? 0 : crc32(image, size);
}

MachineSnapshot capture() {
    MachineSnapshot s;
    s.cpu = cpu;
    s.cpu.intAck = nullptr;
    s.ack = cpu.intAck == keyboardAcknowledge ? AckKeyboard
            : cpu.intAck == tapeAcknowledge   ? AckTape
                                              : AckNone;
    std::memcpy(s.memory.data(), MainMemory, 65536);
    s.basicRom = basicRom;
    s.dosRom = dosRom;
    s.externalRomKnown = externalRomKnown;
    s.basicRomCrc = imageCrc(BasicRomImages[basicRom < 3 ? basicRom : 0], BasicRomSize);
    s.dosRomCrc = imageCrc(DosRomImages[dosRom < 3 ? dosRom : 0], DosRomSize);
    s.keyLatch = keyLatch;
    s.keyboard = keyboardState();
    std::memcpy(s.pio, Pio, sizeof Pio);
    std::memcpy(s.pioLastWritten, PioLastWritten, sizeof PioLastWritten);
    std::memcpy(s.portLatches, PortLatches, sizeof PortLatches);
    s.cardSelect = cardSelect;
    s.tapeInputLatch = tapeInputLatch;
    s.soundChip = soundChip;
    s.frameCounter = frameCounter;
    s.lineCycles = lineCycles;
    s.fastCarry = fastCarry;
    s.lastTapeLevel = lastTapeLevel;
    s.cycleBased = cycleBasedFrames;
    s.tape.path = tapeDeck.file ? tapeDeck.path : std::string();
    s.tape.reading = tapeDeck.reading;
    s.tape.motorOn = tapeDeck.motorOn;
    s.tape.position = tapeDeck.position;
    s.tape.bitsLeft = tapeDeck.bitsLeft;
    s.tape.currentByte = tapeDeck.currentByte;
    s.tape.inputLevel = tapeDeck.inputLevel;
    s.tape.outputFlag = tapeDeck.outputFlag;
    s.tape.startCycle = tapeDeck.startCycle;
    s.tape.pausedCycles = tapeDeck.pausedCycles;
    s.tape.motorOffCycle = tapeDeck.motorOffCycle;
    s.tape.renderedCycle = tapeDeck.renderedCycle;
    s.tape.sampleAccumulator = tapeDeck.sampleAccumulator;
    s.tape.lowPass = tapeDeck.lowPass;
    s.tape.dcTrack = tapeDeck.dcTrack;
    s.tape.samplesWritten = tapeDeck.samplesWritten;
    s.tapeReadOffset = tapeDeck.file && tapeDeck.reading ? TapeReadOffset() : 0;
    for (int i = 0; i < DiskDrivesPerCard; i++)
        s.driveNames[i] = DriveNames[i];
    for (int k = 0; k < 4; k++) {
        const DiskCard& c = *DiskCardTable[CardCodes[k]];
        DiskCardSnapshot& d = s.cards[k];
        d.phase = c.phase;
        d.command = c.command;
        d.drive = c.drive;
        d.high = c.high;
        d.low = c.low;
        d.interleaveMask = c.interleaveMask;
        d.interleaveFactor = c.interleaveFactor;
        d.receiveIndex = c.receiveIndex;
        d.sendIndex = c.sendIndex;
        d.status = c.status;
        d.errorCode = c.errorCode;
        d.busyReads = c.busyReads;
        for (int i = 0; i < DiskDrivesPerCard; i++)
            d.busy[i] = c.drives[i].busy;
        std::memcpy(d.buffers, c.buffers, sizeof d.buffers);
    }
    return s;
}

// ---------------------------------------------------------------- sections

// One section: four-letter tag, its own version, its payload.
struct Section {
    char tag[5];
    uint32_t version;
    void (*encode)(StateWriter&, const MachineSnapshot&);
    bool (*decode)(StateReader&, uint32_t version, MachineSnapshot&);
};

void encodeCpu(StateWriter& w, const MachineSnapshot& s) {
    const Z80Cpu& c = s.cpu;
    for (uint16_t r :
         {c.AF, c.BC, c.DE, c.HL, c.IX, c.IY, c.SP, c.IP, c.altAF, c.altBC, c.altDE, c.altHL})
        w.u16(r);
    for (uint8_t r : {c.I, c.R, c.IFF1, c.IFF2, c.IM})
        w.u8(r);
    w.u32(c.INT);
    w.u8(c.intVector);
    w.u8(s.ack);
    w.u32(c.NMI);
    w.u32(c.nmiTaken);
    w.u64(c.TCOUNT);
}

bool decodeCpu(StateReader& r, uint32_t, MachineSnapshot& s) {
    Z80Cpu& c = s.cpu;
    for (uint16_t* reg : {&c.AF, &c.BC, &c.DE, &c.HL, &c.IX, &c.IY, &c.SP, &c.IP, &c.altAF,
                          &c.altBC, &c.altDE, &c.altHL})
        *reg = r.u16();
    for (uint8_t* reg : {&c.I, &c.R, &c.IFF1, &c.IFF2, &c.IM})
        *reg = r.u8();
    c.INT = r.u32();
    c.intVector = r.u8();
    s.ack = r.u8();
    c.NMI = r.u32();
    c.nmiTaken = r.u32();
    c.TCOUNT = r.u64();
    return s.ack <= AckTape && c.IM <= 2;
}

void encodeMemory(StateWriter& w, const MachineSnapshot& s) {
    w.bytes(s.memory.data(), s.memory.size());
    w.u8(static_cast<uint8_t>(s.basicRom));
    w.u8(static_cast<uint8_t>(s.dosRom));
    w.u8(s.externalRomKnown);
    w.u32(s.basicRomCrc);
    w.u32(s.dosRomCrc);
}

bool decodeMemory(StateReader& r, uint32_t, MachineSnapshot& s) {
    r.bytes(s.memory.data(), s.memory.size());
    s.basicRom = r.u8();
    s.dosRom = r.u8();
    s.externalRomKnown = r.u8() != 0;
    s.basicRomCrc = r.u32();
    s.dosRomCrc = r.u32();
    return s.basicRom <= BasicRomExternal && s.dosRom < DosRomChoices;
}

void encodeKeyboard(StateWriter& w, const MachineSnapshot& s) {
    w.u8(s.keyLatch);
    for (bool down : s.keyboard.down)
        w.u8(down);
    w.text(s.keyboard.typing);
    w.u64(s.keyboard.typeSteps);
    w.u64(s.keyboard.typeIndex);
}

bool decodeKeyboard(StateReader& r, uint32_t, MachineSnapshot& s) {
    s.keyLatch = r.u8();
    for (bool& down : s.keyboard.down)
        down = r.u8() != 0;
    s.keyboard.typing = r.text(MaxTypingBytes);
    s.keyboard.typeSteps = r.u64();
    s.keyboard.typeIndex = r.u64();
    const KeyboardState& k = s.keyboard;
    // A typing under way reads its text by typeIndex / 2: the counts must
    // add up to the text, which holds no NUL.
    if (k.typeSteps == 0) return k.typing.empty() && k.typeIndex == 0;
    return !k.typing.empty() && k.typing.find('\0') == std::string::npos &&
           k.typeIndex < 2 * k.typing.size() && k.typeSteps == 2 * k.typing.size() - k.typeIndex;
}

void encodePorts(StateWriter& w, const MachineSnapshot& s) {
    for (const PioChannel& p : s.pio) {
        for (uint8_t v : {p.input, p.output, p.directionMask, p.interruptMask, p.interruptVector,
                          p.interruptControl, p.interruptEnable, p.mode, p.activeBits})
            w.u8(v);
        w.u32(p.controlState);
    }
    w.bytes(s.pioLastWritten, sizeof s.pioLastWritten);
    w.bytes(s.portLatches, sizeof s.portLatches);
    w.i32(s.cardSelect);
    w.u8(s.tapeInputLatch);
}

bool decodePorts(StateReader& r, uint32_t, MachineSnapshot& s) {
    for (PioChannel& p : s.pio) {
        for (uint8_t* v :
             {&p.input, &p.output, &p.directionMask, &p.interruptMask, &p.interruptVector,
              &p.interruptControl, &p.interruptEnable, &p.mode, &p.activeBits})
            *v = r.u8();
        p.controlState = r.u32();
    }
    r.bytes(s.pioLastWritten, sizeof s.pioLastWritten);
    r.bytes(s.portLatches, sizeof s.portLatches);
    s.cardSelect = r.i32();
    s.tapeInputLatch = r.u8();
    return s.cardSelect >= NoCardSelected && s.cardSelect < 64 && s.tapeInputLatch <= 1;
}

void encodeFilter(StateWriter& w, const OnePoleFilter& f) {
    w.f64(f.fc);
    w.u8(static_cast<uint8_t>(f.kind));
    w.i32(f.rate);
    w.f64(f.a);
    w.f64(f.b);
    w.f64(f.y);
}

void decodeFilter(StateReader& r, OnePoleFilter& f) {
    f.fc = r.f64();
    f.kind = r.u8() ? FilterKind::HighPass : FilterKind::LowPass;
    f.rate = r.i32();
    f.a = r.f64();
    f.b = r.f64();
    f.y = r.f64();
}

void encodeSound(StateWriter& w, const MachineSnapshot& s) {
    const SoundChip& c = s.soundChip;
    for (uint32_t v : {c.enabled, c.oneShot, c.oneShotCount, c.oneShotLength, c.amplitude,
                       c.slfState, c.vcoModulated, c.vcoState, c.lfsr, c.noiseBit, c.mixerSelect,
                       c.envelopeSelect, c.controlBit1})
        w.u32(v);
    for (uint64_t v : {c.slfPhase, c.slfHalfPeriod, c.vcoPhase, c.vcoHalfPeriod, c.noisePhase,
                       c.noiseHalfPeriod})
        w.u64(v);
    w.i32(c.slfSlope);
    w.i32(c.rate);
    encodeFilter(w, c.noiseFilter);
    encodeFilter(w, c.outputFilter);
}

bool decodeSound(StateReader& r, uint32_t, MachineSnapshot& s) {
    SoundChip& c = s.soundChip;
    for (uint32_t* v : {&c.enabled, &c.oneShot, &c.oneShotCount, &c.oneShotLength, &c.amplitude,
                        &c.slfState, &c.vcoModulated, &c.vcoState, &c.lfsr, &c.noiseBit,
                        &c.mixerSelect, &c.envelopeSelect, &c.controlBit1})
        *v = r.u32();
    for (uint64_t* v : {&c.slfPhase, &c.slfHalfPeriod, &c.vcoPhase, &c.vcoHalfPeriod, &c.noisePhase,
                        &c.noiseHalfPeriod})
        *v = r.u64();
    c.slfSlope = r.i32();
    c.rate = r.i32();
    decodeFilter(r, c.noiseFilter);
    decodeFilter(r, c.outputFilter);
    // Zero periods would make the oscillators divide by zero or never move.
    return c.rate > 0 && c.slfHalfPeriod && c.vcoHalfPeriod && c.noiseHalfPeriod &&
           c.mixerSelect < 8;
}

void encodeFrame(StateWriter& w, const MachineSnapshot& s) {
    w.u32(s.frameCounter);
    w.i32(s.lineCycles);
    w.i64(s.fastCarry);
    w.i32(s.lastTapeLevel);
    w.u8(s.cycleBased);
}

bool decodeFrame(StateReader& r, uint32_t, MachineSnapshot& s) {
    s.frameCounter = r.u32();
    s.lineCycles = r.i32();
    s.fastCarry = r.i64();
    s.lastTapeLevel = r.i32();
    s.cycleBased = r.u8() != 0;
    return true;
}

void encodeTape(StateWriter& w, const MachineSnapshot& s) {
    const TapeDeck& t = s.tape;
    w.text(t.path);
    w.u8(static_cast<uint8_t>(t.reading));
    w.u8(static_cast<uint8_t>(t.motorOn));
    w.u64(t.position);
    w.u32(t.bitsLeft);
    w.u8(t.currentByte);
    w.u8(static_cast<uint8_t>(t.inputLevel));
    w.u8(static_cast<uint8_t>(t.outputFlag));
    for (uint64_t v : {t.startCycle, t.pausedCycles, t.motorOffCycle, t.renderedCycle,
                       t.sampleAccumulator, t.samplesWritten, s.tapeReadOffset})
        w.u64(v);
    w.f64(t.lowPass);
    w.f64(t.dcTrack);
}

bool decodeTape(StateReader& r, uint32_t, MachineSnapshot& s) {
    TapeDeck& t = s.tape;
    t.path = r.text(MaxPathBytes);
    t.reading = r.u8();
    t.motorOn = r.u8();
    t.position = r.u64();
    t.bitsLeft = r.u32();
    t.currentByte = r.u8();
    t.inputLevel = r.u8();
    t.outputFlag = r.u8();
    for (uint64_t* v : {&t.startCycle, &t.pausedCycles, &t.motorOffCycle, &t.renderedCycle,
                        &t.sampleAccumulator, &t.samplesWritten, &s.tapeReadOffset})
        *v = r.u64();
    t.lowPass = r.f64();
    t.dcTrack = r.f64();
    return t.reading <= 1 && t.motorOn <= 1 && t.bitsLeft <= 7 && t.inputLevel <= 1;
}

void encodeDisks(StateWriter& w, const MachineSnapshot& s) {
    for (const std::string& name : s.driveNames)
        w.text(name);
    for (const DiskCardSnapshot& c : s.cards) {
        w.u32(c.phase);
        for (uint8_t v : {c.command, c.drive, c.high, c.low, c.interleaveMask, c.interleaveFactor})
            w.u8(v);
        w.i32(c.receiveIndex);
        w.i32(c.sendIndex);
        w.u32(c.status);
        w.u32(c.errorCode);
        w.u32(c.busyReads);
        w.bytes(c.busy, sizeof c.busy);
        w.bytes(&c.buffers[0][0], sizeof c.buffers);
    }
}

bool decodeDisks(StateReader& r, uint32_t, MachineSnapshot& s) {
    for (std::string& name : s.driveNames)
        name = r.text(MaxPathBytes);
    bool ok = true;
    for (DiskCardSnapshot& c : s.cards) {
        c.phase = r.u32();
        for (uint8_t* v :
             {&c.command, &c.drive, &c.high, &c.low, &c.interleaveMask, &c.interleaveFactor})
            *v = r.u8();
        c.receiveIndex = r.i32();
        c.sendIndex = r.i32();
        c.status = r.u32();
        c.errorCode = r.u32();
        c.busyReads = r.u32();
        r.bytes(c.busy, sizeof c.busy);
        r.bytes(&c.buffers[0][0], sizeof c.buffers);
        // The indexes address a 256-byte buffer.
        ok = ok && c.phase <= 5 && c.receiveIndex >= 0 && c.receiveIndex <= SectorBytes &&
             c.sendIndex >= -1 && c.sendIndex < SectorBytes;
    }
    return ok;
}

const Section Sections[] = {
    {"CPU ", 1, encodeCpu, decodeCpu},           {"MEM ", 1, encodeMemory, decodeMemory},
    {"KEYB", 1, encodeKeyboard, decodeKeyboard}, {"PORT", 1, encodePorts, decodePorts},
    {"SND ", 1, encodeSound, decodeSound},       {"FRAM", 1, encodeFrame, decodeFrame},
    {"TAPE", 1, encodeTape, decodeTape},         {"DISK", 1, encodeDisks, decodeDisks},
};
constexpr int SectionCount = sizeof Sections / sizeof Sections[0];

std::string sectionName(const char* tag) {
    std::string name(tag, 4);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

// ---------------------------------------------------------------- format

void encode(const MachineSnapshot& s, std::vector<uint8_t>& out) {
    out.clear();
    StateWriter w(out);
    w.bytes(reinterpret_cast<const uint8_t*>(Magic), sizeof Magic);
    w.u32(SaveStateVersion);
    w.u32(0); // body size
    w.u32(0); // CRC-32 of the body
    for (const Section& section : Sections) {
        w.bytes(reinterpret_cast<const uint8_t*>(section.tag), 4);
        w.u32(section.version);
        size_t lengthAt = w.size();
        w.u32(0);
        section.encode(w, s);
        w.patch32(lengthAt, static_cast<uint32_t>(w.size() - lengthAt - 4));
    }
    uint32_t body = static_cast<uint32_t>(out.size() - HeaderBytes);
    w.patch32(12, body);
    w.patch32(16, crc32(out.data() + HeaderBytes, body));
}

bool decode(std::span<const uint8_t> bytes, MachineSnapshot& s, std::string& message) {
    if (bytes.size() < HeaderBytes || std::memcmp(bytes.data(), Magic, sizeof Magic) != 0) {
        message = "Not an Orvane save state.";
        return false;
    }
    StateReader header(bytes.subspan(sizeof Magic, HeaderBytes - sizeof Magic));
    uint32_t version = header.u32(), size = header.u32(), crc = header.u32();
    if (version > SaveStateVersion || version == 0) {
        message = "The save state comes from a newer version of Orvane (format " +
                  std::to_string(version) + "; this version reads formats up to " +
                  std::to_string(SaveStateVersion) + ").";
        return false;
    }
    if (size != bytes.size() - HeaderBytes) {
        message = "The save state has the wrong size (" + std::to_string(bytes.size()) +
                  " bytes; its header says " + std::to_string(uint64_t{size} + HeaderBytes) + ").";
        return false;
    }
    std::span<const uint8_t> body = bytes.subspan(HeaderBytes);
    if (crc32(body.data(), body.size()) != crc) {
        message = "The save state is damaged (its CRC-32 does not match).";
        return false;
    }
    bool seen[SectionCount] = {};
    StateReader r(body);
    while (r.left() > 0) {
        std::span<const uint8_t> tag = r.span(4);
        uint32_t sectionVersion = r.u32();
        uint32_t length = r.u32();
        std::span<const uint8_t> payload = r.span(length);
        if (r.failed()) {
            message = "The save state is damaged (a section runs past its end).";
            return false;
        }
        for (int i = 0; i < SectionCount; i++) {
            if (std::memcmp(tag.data(), Sections[i].tag, 4) != 0) continue;
            std::string name = sectionName(Sections[i].tag);
            if (sectionVersion > Sections[i].version) {
                message =
                    "The save state's " + name + " section comes from a newer version of Orvane.";
                return false;
            }
            StateReader sectionReader(payload);
            if (!Sections[i].decode(sectionReader, sectionVersion, s) || sectionReader.failed() ||
                sectionReader.left() != 0) {
                message = "The save state's " + name + " section does not decode.";
                return false;
            }
            seen[i] = true;
        }
        // Sections of unknown tags are skipped.
    }
    for (int i = 0; i < SectionCount; i++) {
        if (!seen[i]) {
            message = "The save state has no " + sectionName(Sections[i].tag) + " section.";
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- apply

void note(std::string& message, const std::string& line) {
    if (!message.empty()) message += '\n';
    message += line;
}

// Only regular files are attached again: a state naming a device or a pipe
// must not make the deck or a drive read from it.
bool fileExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), R_OK) == 0;
}

void applyTape(const MachineSnapshot& s, std::string& message) {
    CloseTape();
    const TapeDeck& saved = s.tape;
    bool reopened = false;
    if (!saved.path.empty()) {
        if (!saved.reading) {
            note(message, "The tape recording to " + saved.path + " was not resumed.");
        } else if (!fileExists(saved.path)) {
            note(message, "Tape file not found: " + saved.path + " (no tape is playing).");
        } else {
            OpenTapeForReading(saved.path);
            reopened = tapeDeck.file != nullptr;
            if (!reopened)
                note(message,
                     "Tape file could not be opened: " + saved.path + " (no tape is playing).");
        }
    }
    TapeDeck& d = tapeDeck;
    d.reading = saved.reading;
    d.motorOn = saved.motorOn;
    d.position = saved.position;
    d.bitsLeft = saved.bitsLeft;
    d.currentByte = saved.currentByte;
    d.inputLevel = saved.inputLevel;
    d.outputFlag = saved.outputFlag;
    d.startCycle = saved.startCycle;
    d.pausedCycles = saved.pausedCycles;
    d.motorOffCycle = saved.motorOffCycle;
    d.renderedCycle = saved.renderedCycle;
    d.sampleAccumulator = saved.sampleAccumulator;
    d.lowPass = saved.lowPass;
    d.dcTrack = saved.dcTrack;
    d.samplesWritten = reopened ? saved.samplesWritten : 0;
    if (reopened) SeekTapeRead(s.tapeReadOffset);
    // A recording that was not resumed leaves the deck closed after a tape.
    if (!saved.path.empty() && !saved.reading) d.reading = 0;
}

void applyDisks(const MachineSnapshot& s, std::string& message) {
    for (unsigned drive = 0; drive < DiskDrivesPerCard; drive++) {
        const std::string& path = s.driveNames[drive];
        if (drive < MenuDrives) {
            if (path == DriveNames[drive]) continue;
            DetachDrive(drive);
            if (path.empty()) continue;
            if (!fileExists(path))
                note(message, "Disk image not found: " + path + " (DR" + std::to_string(drive) +
                                  " is empty).");
            else if (!AttachDiskImage(drive, path))
                note(message, "Disk image could not be attached: " + path + " (DR" +
                                  std::to_string(drive) + " is empty).");
        } else {
            DriveNames[drive] = path;
        }
    }
    ReopenDriveFiles(MoDiskCard());
    for (int k = 0; k < 4; k++) {
        DiskCard& c = *DiskCardTable[CardCodes[k]];
        const DiskCardSnapshot& d = s.cards[k];
        c.phase = d.phase;
        c.command = d.command;
        c.drive = d.drive;
        c.high = d.high;
        c.low = d.low;
        c.interleaveMask = d.interleaveMask;
        c.interleaveFactor = d.interleaveFactor;
        c.receiveIndex = d.receiveIndex;
        c.sendIndex = d.sendIndex;
        c.status = d.status;
        c.errorCode = d.errorCode;
        c.busyReads = d.busyReads;
        for (int i = 0; i < DiskDrivesPerCard; i++)
            c.drives[i].busy = d.busy[i];
        std::memcpy(c.buffers, d.buffers, sizeof c.buffers);
    }
}

void apply(const MachineSnapshot& s, std::string& message) {
    uint64_t clockHz = cpu.clockHz, cyclesPerLine = cpu.cyclesPerLine;
    cpu = s.cpu;
    cpu.clockHz = clockHz;
    cpu.cyclesPerLine = cyclesPerLine;
    cpu.breakRequest = 0;
    forgetPendingFrame();
    cpu.intAck = s.ack == AckKeyboard ? keyboardAcknowledge
                 : s.ack == AckTape   ? tapeAcknowledge
                                      : nullptr;
    std::memcpy(MainMemory, s.memory.data(), 65536);
    basicRom = s.basicRom;
    dosRom = s.dosRom;
    externalRomKnown = s.externalRomKnown;
    videoMemory(); // recomputes wideVideo
    if (imageCrc(BasicRomImages[basicRom], BasicRomSize) != s.basicRomCrc)
        note(message, "The BASIC ROM differs from the one the state was saved with.");
    if (imageCrc(DosRomImages[dosRom], DosRomSize) != s.dosRomCrc)
        note(message, "The DOS ROM differs from the one the state was saved with.");
    keyLatch = s.keyLatch;
    setKeyboardState(s.keyboard);
    std::memcpy(Pio, s.pio, sizeof Pio);
    std::memcpy(PioLastWritten, s.pioLastWritten, sizeof PioLastWritten);
    std::memcpy(PortLatches, s.portLatches, sizeof PortLatches);
    cardSelect = s.cardSelect;
    tapeInputLatch = s.tapeInputLatch;
    closePrinter(); // reopened (appending) by the next character
    soundChip = s.soundChip;
    frameCounter = s.frameCounter;
    lineCycles = s.lineCycles;
    fastCarry = s.fastCarry;
    lastTapeLevel = s.lastTapeLevel;
    cycleBasedFrames = s.cycleBased;
    applyTape(s, message);
    applyDisks(s, message);
}

} // namespace

void saveState(std::vector<uint8_t>& state) { encode(capture(), state); }

bool loadState(std::span<const uint8_t> state, std::string& message) {
    message.clear();
    MachineSnapshot snapshot;
    if (!decode(state, snapshot, message)) return false;
    (apply)(snapshot, message); // parenthesised: std::apply is found through the argument types
    return true;
}

namespace {

std::string failure(const char* what, const std::string& path, int error) {
    return std::string(what) + " " + path + ": " + std::strerror(error) + ".";
}

} // namespace

bool saveStateFile(const std::string& path, std::string& message) {
    message.clear();
    std::vector<uint8_t> state;
    saveState(state);
    // The one way a whole file of the user's is replaced (files/file_write).
    std::string cause;
    if (!WriteWholeFile(path, state.data(), state.size(), &cause)) {
        message = "Cannot save the state to " + path + ": " + cause + ".";
        return false;
    }
    return true;
}

bool loadStateFile(const std::string& path, std::string& message) {
    message.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        message = failure("Cannot read the save state", path, errno);
        return false;
    }
    struct stat info;
    int error = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    while (!error) {
        ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        bytes.insert(bytes.end(), block, block + n);
        if (bytes.size() > MaxStateBytes) break; // not a state; refused below
    }
    ::close(fd);
    if (error) {
        message = failure("Cannot read the save state", path, error);
        return false;
    }
    if (!loadState(bytes, message)) {
        message = path + ": " + message;
        return false;
    }
    return true;
}
