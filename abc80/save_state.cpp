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
#include "abc80/history.h"
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
#include "sound/mixer.h"

namespace {

constexpr char Magic[8] = {'O', 'R', 'V', 'S', 'T', 'A', 'T', 'E'};
constexpr size_t HeaderBytes = 20; // magic, version, body size, CRC-32
constexpr size_t MaxPathBytes = 4096;
constexpr size_t MaxTypingBytes = 1u << 20;
constexpr size_t MaxStateBytes = 64u << 20;
constexpr int CardCodes[4] = {36, 44, 45, 46};

// Who acknowledges the pending interrupt, as a number in the file.
enum : uint8_t { AckNone = 0, AckKeyboard = 1, AckTape = 2 };

// The machine as a state holds it. Devices that are records are copied
// whole; their saved fields are the ones their field lists below name.
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
    DiskCard cards[4]{};
};

// ---------------------------------------------------------------- fields
//
// Each device's saved fields, in file order, each named once. The order and
// widths are the file format: a change needs a new section version.

template <class Io> void cpuFields(Io& io, Z80Cpu& c, uint8_t& ack) {
    for (uint16_t* r : {&c.AF, &c.BC, &c.DE, &c.HL, &c.IX, &c.IY, &c.SP, &c.IP, &c.altAF, &c.altBC,
                        &c.altDE, &c.altHL})
        io.u16(*r);
    for (uint8_t* r : {&c.I, &c.R, &c.IFF1, &c.IFF2, &c.IM})
        io.u8(*r);
    io.u32(c.INT);
    io.u8(c.intVector);
    io.u8(ack);
    io.u32(c.NMI);
    io.u32(c.nmiTaken);
    io.u64(c.TCOUNT);
}

template <class Io> void keyboardFields(Io& io, KeyboardState& k) {
    for (bool& down : k.down)
        io.u8(down);
    io.text(k.typing, MaxTypingBytes);
    io.u64(k.typeSteps);
    io.u64(k.typeIndex);
}

template <class Io> void pioFields(Io& io, PioChannel& p) {
    for (uint8_t* v : {&p.input, &p.output, &p.directionMask, &p.interruptMask, &p.interruptVector,
                       &p.interruptControl, &p.interruptEnable, &p.mode, &p.activeBits})
        io.u8(*v);
    io.u32(p.controlState);
}

template <class Io> void filterFields(Io& io, OnePoleFilter& f) {
    io.f64(f.fc);
    uint8_t highPass = f.kind == FilterKind::HighPass;
    io.u8(highPass);
    if constexpr (Io::Loading) f.kind = highPass ? FilterKind::HighPass : FilterKind::LowPass;
    io.u32(f.rate);
    io.f64(f.a);
    io.f64(f.b);
    io.f64(f.y);
}

template <class Io> void soundChipFields(Io& io, SoundChip& c) {
    for (uint32_t* v : {&c.enabled, &c.oneShot, &c.oneShotCount, &c.oneShotLength, &c.amplitude,
                        &c.slfState, &c.vcoModulated, &c.vcoState, &c.lfsr, &c.noiseBit,
                        &c.mixerSelect, &c.envelopeSelect, &c.controlBit1})
        io.u32(*v);
    for (uint64_t* v : {&c.slfPhase, &c.slfHalfPeriod, &c.vcoPhase, &c.vcoHalfPeriod, &c.noisePhase,
                        &c.noiseHalfPeriod})
        io.u64(*v);
    io.u32(c.slfSlope);
    io.u32(c.rate);
    filterFields(io, c.noiseFilter);
    filterFields(io, c.outputFilter);
}

// The deck's place on its tape. The path and the read offset into the open
// file are not the deck's own fields: the section writes them around these.
template <class Io> void tapeMotionFields(Io& io, TapeDeck& t) {
    io.u8(t.reading);
    io.u8(t.motorOn);
    io.u64(t.position);
    io.u32(t.bitsLeft);
    io.u8(t.currentByte);
    io.u8(t.inputLevel);
    io.u8(t.outputFlag);
    for (uint64_t* v : {&t.startCycle, &t.pausedCycles, &t.motorOffCycle, &t.renderedCycle,
                        &t.sampleAccumulator, &t.samplesWritten})
        io.u64(*v);
}

template <class Io> void tapeFilterFields(Io& io, TapeDeck& t) {
    io.f64(t.lowPass);
    io.f64(t.dcTrack);
}

template <class Io> void diskCardFields(Io& io, DiskCard& c) {
    io.u32(c.phase);
    for (uint8_t* v :
         {&c.command, &c.drive, &c.high, &c.low, &c.interleaveMask, &c.interleaveFactor})
        io.u8(*v);
    io.u32(c.receiveIndex);
    io.u32(c.sendIndex);
    io.u32(c.status);
    io.u32(c.errorCode);
    io.u32(c.busyReads);
    for (DiskDrive& d : c.drives)
        io.u8(d.busy);
    io.bytes(&c.buffers[0][0], sizeof c.buffers);
}

// The same lists as copies between the running devices and a snapshot.
constexpr auto tapeSaved = [](auto& io, TapeDeck& t) {
    tapeMotionFields(io, t);
    tapeFilterFields(io, t);
};
constexpr auto diskCardSaved = [](auto& io, DiskCard& c) { diskCardFields(io, c); };

// ---------------------------------------------------------------- sections

template <class Io> void cpuSection(Io& io, MachineSnapshot& s) { cpuFields(io, s.cpu, s.ack); }

bool cpuValid(const MachineSnapshot& s) { return s.ack <= AckTape && s.cpu.IM <= 2; }

template <class Io> void memorySection(Io& io, MachineSnapshot& s) {
    io.bytes(s.memory.data(), s.memory.size());
    io.u8(s.basicRom);
    io.u8(s.dosRom);
    io.u8(s.externalRomKnown);
    io.u32(s.basicRomCrc);
    io.u32(s.dosRomCrc);
}

bool memoryValid(const MachineSnapshot& s) {
    return s.basicRom <= BasicRomExternal && s.dosRom < DosRomChoices;
}

template <class Io> void keyboardSection(Io& io, MachineSnapshot& s) {
    io.u8(s.keyLatch);
    keyboardFields(io, s.keyboard);
}

bool keyboardValid(const MachineSnapshot& s) {
    const KeyboardState& k = s.keyboard;
    // A typing under way reads its text by typeIndex / 2: the counts must
    // add up to the text, which holds no NUL.
    if (k.typeSteps == 0) return k.typing.empty() && k.typeIndex == 0;
    return !k.typing.empty() && k.typing.find('\0') == std::string::npos &&
           k.typeIndex < 2 * k.typing.size() && k.typeSteps == 2 * k.typing.size() - k.typeIndex;
}

template <class Io> void portSection(Io& io, MachineSnapshot& s) {
    for (PioChannel& p : s.pio)
        pioFields(io, p);
    io.bytes(s.pioLastWritten, sizeof s.pioLastWritten);
    io.bytes(s.portLatches, sizeof s.portLatches);
    io.u32(s.cardSelect);
    io.u8(s.tapeInputLatch);
}

bool portValid(const MachineSnapshot& s) {
    return s.cardSelect >= NoCardSelected && s.cardSelect < 64 && s.tapeInputLatch <= 1;
}

template <class Io> void soundSection(Io& io, MachineSnapshot& s) {
    soundChipFields(io, s.soundChip);
}

bool soundValid(const MachineSnapshot& s) {
    const SoundChip& c = s.soundChip;
    // Zero periods would make the oscillators divide by zero or never move.
    return c.rate > 0 && c.slfHalfPeriod && c.vcoHalfPeriod && c.noiseHalfPeriod &&
           c.mixerSelect < 8;
}

template <class Io> void frameSection(Io& io, MachineSnapshot& s) {
    io.u32(s.frameCounter);
    io.u32(s.lineCycles);
    io.u64(s.fastCarry);
    io.u32(s.lastTapeLevel);
    io.u8(s.cycleBased);
}

bool frameValid(const MachineSnapshot&) { return true; }

template <class Io> void tapeSection(Io& io, MachineSnapshot& s) {
    io.text(s.tape.path, MaxPathBytes);
    tapeMotionFields(io, s.tape);
    io.u64(s.tapeReadOffset);
    tapeFilterFields(io, s.tape);
}

bool tapeValid(const MachineSnapshot& s) {
    const TapeDeck& t = s.tape;
    return t.reading >= 0 && t.reading <= 1 && t.motorOn >= 0 && t.motorOn <= 1 &&
           t.bitsLeft <= 7 && t.inputLevel >= 0 && t.inputLevel <= 1;
}

template <class Io> void diskSection(Io& io, MachineSnapshot& s) {
    for (std::string& name : s.driveNames)
        io.text(name, MaxPathBytes);
    for (DiskCard& c : s.cards)
        diskCardFields(io, c);
}

bool diskValid(const MachineSnapshot& s) {
    // The indexes address a 256-byte buffer.
    for (const DiskCard& c : s.cards)
        if (c.phase > 5 || c.receiveIndex < 0 || c.receiveIndex > SectorBytes || c.sendIndex < -1 ||
            c.sendIndex >= SectorBytes)
            return false;
    return true;
}

// One section: four-letter tag, its own version, its field list in both
// directions and the check of what a loaded one holds.
struct Section {
    char tag[5];
    uint32_t version;
    void (*encode)(StateOut&, MachineSnapshot&);
    void (*decode)(StateIn&, MachineSnapshot&);
    bool (*valid)(const MachineSnapshot&);
};

#define STATE_SECTION(tag, version, name)                                                          \
    { tag, version, name##Section<StateOut>, name##Section<StateIn>, name##Valid }

const Section Sections[] = {
    STATE_SECTION("CPU ", 1, cpu),      STATE_SECTION("MEM ", 1, memory),
    STATE_SECTION("KEYB", 1, keyboard), STATE_SECTION("PORT", 1, port),
    STATE_SECTION("SND ", 1, sound),    STATE_SECTION("FRAM", 1, frame),
    STATE_SECTION("TAPE", 1, tape),     STATE_SECTION("DISK", 1, disk),
};
#undef STATE_SECTION
constexpr int SectionCount = sizeof Sections / sizeof Sections[0];

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
    s.basicRomCrc =
        imageCrc(BasicRomImages[basicRom < BasicRomChoices ? basicRom : 0], BasicRomSize);
    s.dosRomCrc = imageCrc(DosRomImages[dosRom < DosRomChoices ? dosRom : 0], DosRomSize);
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
    copySavedFields(s.tape, tapeDeck, tapeSaved);
    s.tape.path = tapeDeck.file ? tapeDeck.path : std::string();
    s.tapeReadOffset = tapeDeck.file && tapeDeck.reading ? TapeReadOffset() : 0;
    for (int i = 0; i < DiskDrivesPerCard; i++)
        s.driveNames[i] = DriveNames[i];
    for (int k = 0; k < 4; k++)
        copySavedFields(s.cards[k], *DiskCardTable[CardCodes[k]], diskCardSaved);
    return s;
}

std::string sectionName(const char* tag) {
    std::string name(tag, 4);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

// ---------------------------------------------------------------- format

void encode(MachineSnapshot& s, std::vector<uint8_t>& out) {
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
        StateOut out(w);
        section.encode(out, s);
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
            StateIn in(sectionReader);
            Sections[i].decode(in, s);
            if (sectionReader.failed() || sectionReader.left() != 0 || !Sections[i].valid(s)) {
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
    copySavedFields(d, saved, tapeSaved);
    if (!reopened) d.samplesWritten = 0;
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
    for (int k = 0; k < 4; k++)
        copySavedFields(*DiskCardTable[CardCodes[k]], s.cards[k], diskCardSaved);
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
    FollowRestoredProcessor();
    frameCounter = s.frameCounter;
    lineCycles = s.lineCycles;
    fastCarry = s.fastCarry;
    lastTapeLevel = s.lastTapeLevel;
    cycleBasedFrames = s.cycleBased;
    applyTape(s, message);
    applyDisks(s, message);
}

} // namespace

void saveState(std::vector<uint8_t>& state) {
    MixUpTo(cpu.TCOUNT); // the sound chip as it is at this cycle
    MachineSnapshot snapshot = capture();
    encode(snapshot, state);
}

bool loadState(std::span<const uint8_t> state, std::string& message) {
    message.clear();
    MachineSnapshot snapshot;
    if (!decode(state, snapshot, message)) return false;
    (apply)(snapshot, message); // parenthesised: std::apply is found through the argument types
    historyMachineChanged();
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
