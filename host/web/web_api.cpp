// The browser page's interface to the machine: plain C functions exported
// from the WebAssembly module and called by the page's JavaScript (main.js).
// Everything runs on the page's main thread between animation frames, as the
// desktop runs everything on its one thread.
//
// Files travel as bytes: a loaded file is written into the module's in-memory
// file system and handed to the same loaders the desktop uses; a saved file
// is written there by the same savers and read back into the output buffer.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "abc80/abc80.h"
#include "abc80/history.h"
#include "cpu/z80.h"
#include "host/session/frames.h"
#include "host/session/media_commands.h"
#include "host/session/session.h"
#include "host/session/typing.h"
#include "host/text/physical_keys.h"
#include "host/text/screen_text.h"
#include "host/text/typed_text.h"
#include "host/web/web_machine.h"
#include "host/web/web_sound.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "media/disk_card.h"
#include "media/host_file.h"
#include "media/media_file.h"
#include "media/media_status.h"
#include "media/program_area.h"
#include "media/tape_deck.h"
#include "media/tape_images.h"
#include "sound/mixer.h"

namespace {

struct WebMachine {
    std::vector<uint8_t> picture = std::vector<uint8_t>(FrameBufferBytes, 0);
    int pitchShift = 0;
    bool soundOn = false;
    bool cycleBased = false;     // the timing mode: the picture drawn as the beam goes
    std::string text;            // the last text handed to the page
    std::string message;         // what the last load or attach said
    std::vector<uint8_t> output; // the last file handed to the page
    std::string statusFields[4];
    uint32_t statusChanges = 0;
    uint32_t fieldChanges[4] = {};
};

WebMachine web;

constexpr const char* InboxFolder = "/inbox";
constexpr const char* OutboxFolder = "/outbox";
constexpr const char* RomFolder = "/roms";
constexpr const char* DiskFolder = "/disks";
constexpr const char* TapeRecordingPath = "/outbox/recording.wav";

void keepStatus(int field, const char* text) {
    if (field < 0 || field > 3) return;
    web.statusFields[field] = WebUserWords(Windows1252ToUtf8(text));
    web.statusChanges++;
    web.fieldChanges[field]++;
}

bool writeFile(const std::string& path, const uint8_t* bytes, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes, 1, size, file) == size;
    if (std::fclose(file) != 0) ok = false;
    return ok;
}

// The file at path into the output buffer; its size, or -1 when it is missing.
int readIntoOutput(const std::string& path) {
    web.output.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return -1;
    uint8_t chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        web.output.insert(web.output.end(), chunk, chunk + n);
    std::fclose(file);
    return static_cast<int>(web.output.size());
}

// A file name from the page reduced to its last component, so that it
// always lands in the given folder.
std::string pathIn(const char* folder, const char* name) {
    std::string base = name ? name : "";
    size_t slash = base.find_last_of("/\\");
    if (slash != std::string::npos) base = base.substr(slash + 1);
    if (base.empty() || base == "." || base == "..") base = "file";
    return std::string(folder) + "/" + base;
}

// The physical keys the machine knows, as the desktop maps them: the page's
// positional keyboard is this table. A key whose virtual-key code the
// machine ignores (function keys, Escape) is left out, so the browser keeps it.
std::vector<PhysicalKey> machineKeys() {
    std::vector<PhysicalKey> keys;
    for (const PhysicalKey& key : PhysicalKeys()) {
        bool known = key.virtualKey == VkShift || key.virtualKey == VkControl;
        for (uint8_t vk : KeyPositions)
            known = known || (vk != 0 && vk == key.virtualKey);
        if (known) keys.push_back(key);
    }
    return keys;
}
const std::vector<PhysicalKey>& pageKeys() {
    static const std::vector<PhysicalKey> keys = machineKeys();
    return keys;
}
} // namespace

std::vector<uint8_t>& WebOutput() { return web.output; }

std::string WebUserWords(std::string text) {
    static const char* const folders[] = {"/inbox/", "/outbox/", "/roms/", "/disks/"};
    for (const char* folder : folders) {
        const size_t length = std::strlen(folder);
        for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) {
            size_t cut = length;
            // A disk's file carries its drive: "DR0-".
            if (std::strcmp(folder, "/disks/") == 0 && text.compare(at + cut, 2, "DR") == 0 &&
                at + cut + 3 < text.size() && text[at + cut + 3] == '-')
                cut += 4;
            text.erase(at, cut);
        }
    }
    return text;
}

extern "C" {

// Starts the machine with the built-in firmware (or the ROM images the page
// put into the ROM folder). Returns 1.
EMSCRIPTEN_KEEPALIVE int orvane_start() {
    // The module starts with a file-creation mask of 0777, so a file written
    // through a temporary file (as the savers do) would end up unreadable;
    // give it the usual mask of a process.
    umask(022);
    mkdir(InboxFolder, 0777);
    mkdir(OutboxFolder, 0777);
    mkdir(RomFolder, 0777);
    mkdir(DiskFolder, 0777);
    SetMediaStatusWriter(keepStatus);
    setRomFolder(RomFolder);
    StartSession();
    InitSoundSystem();
    return 1;
}

// Runs count frames (at most 1,000) and leaves the picture of the last one.
// The fast timing mode polls a playing tape too, so one mode serves all.
EMSCRIPTEN_KEEPALIVE void orvane_run_frames(int count) {
    if (count > 1000) count = 1000;
    for (int i = 0; i < count; i++)
        RunSessionFrame(web.cycleBased, web.picture.data(), web.pitchShift, web.soundOn);
    web.pitchShift = framePitchShift();
    if (web.cycleBased) return;
    for (int line = 0; line < VisibleLines; line++)
        renderLine(line, web.picture.data(), web.pitchShift);
}

// Rewind: the machine back to the history's snapshot before its moment, and
// that snapshot's picture; 0 at the oldest (nothing changed). The page
// calls it at a steady pace while the user holds the rewind key or button,
// and the machine goes on from the last snapshot shown.
EMSCRIPTEN_KEEPALIVE int orvane_rewind_step() {
    if (!historyRewindStep()) return 0;
    web.pitchShift = framePitchShift();
    for (int line = 0; line < VisibleLines; line++)
        renderLine(line, web.picture.data(), web.pitchShift);
    return 1;
}

// The timing mode: 1 cycle-exact (the picture line by line as the beam
// goes), 0 fast (the picture drawn once after the frame).
EMSCRIPTEN_KEEPALIVE void orvane_set_timing(int cycleBased) { web.cycleBased = cycleBased != 0; }

EMSCRIPTEN_KEEPALIVE const uint8_t* orvane_picture() { return web.picture.data(); }

// The picture as RGBA pixels for the canvas (lit white, dark black, opaque),
// converted here because a loop in the module is faster than one in script.
// 1 when the picture differs from the one this last answered for (the page
// draws only then, so a still screen costs the browser nothing to show).
EMSCRIPTEN_KEEPALIVE int orvane_picture_changed() {
    static std::vector<uint8_t> shown(FrameBufferBytes, 1);
    static int shownWidth = 0;
    const int width = frameWidth(web.pitchShift);
    const size_t count = static_cast<size_t>(width) * VisibleLines;
    if (width == shownWidth && std::memcmp(shown.data(), web.picture.data(), count) == 0) return 0;
    std::memcpy(shown.data(), web.picture.data(), count);
    shownWidth = width;
    return 1;
}

EMSCRIPTEN_KEEPALIVE const uint32_t* orvane_picture_rgba() {
    static uint32_t rgba[FrameBufferBytes];
    const int count = frameWidth(web.pitchShift) * VisibleLines;
    const uint8_t* grey = web.picture.data();
    for (int i = 0; i < count; i++)
        rgba[i] = grey[i] ? 0xFFFFFFFFu : 0xFF000000u;
    return rgba;
}
// 240 pixels a line, or 480 while the 80-column layout is shown.
EMSCRIPTEN_KEEPALIVE int orvane_picture_width() { return frameWidth(web.pitchShift); }
EMSCRIPTEN_KEEPALIVE int orvane_picture_height() { return VisibleLines; }

// Host keys as Windows virtual-key codes (the page maps browser key events).
EMSCRIPTEN_KEEPALIVE int orvane_key_down(uint32_t virtualKey) { return keyPressed(virtualKey); }
EMSCRIPTEN_KEEPALIVE int orvane_key_up(uint32_t virtualKey) { return keyReleased(virtualKey); }
// Lets go of every host key (the page lost the focus), keeping any typing.
EMSCRIPTEN_KEEPALIVE void orvane_release_keys() {
    for (uint32_t vk = 0; vk < 256; vk++)
        keyReleased(vk);
}

// Types UTF-8 text as the desktop's paste does, after whatever is being
// typed now. Returns the number of bytes that will be typed.
EMSCRIPTEN_KEEPALIVE int orvane_type_text(const char* utf8) {
    std::string bytes = TextToMachineBytes(Utf8ToCodePoints(utf8 ? utf8 : ""));
    if (bytes.empty()) return 0;
    TypeAfterCurrent(bytes);
    return static_cast<int>(bytes.size());
}

EMSCRIPTEN_KEEPALIVE int orvane_typing() { return TypingPending(); }

// The note about the characters of a text the machine cannot show (the
// desktop's words), empty when it can show them all.
EMSCRIPTEN_KEEPALIVE const char* orvane_dropped_note(const char* utf8) {
    static std::string note;
    DroppedCharacters dropped;
    TextToMachineBytes(Utf8ToCodePoints(utf8 ? utf8 : ""), &dropped);
    note = DroppedCharactersNote(dropped);
    return note.c_str();
}

// The page's physical key table, entry by entry (see machineKeys).
EMSCRIPTEN_KEEPALIVE int orvane_physical_key_count() { return static_cast<int>(pageKeys().size()); }
EMSCRIPTEN_KEEPALIVE const char* orvane_physical_key_name(int index) {
    return index >= 0 && index < orvane_physical_key_count() ? pageKeys()[index].browserCode : "";
}
EMSCRIPTEN_KEEPALIVE int orvane_physical_key_vk(int index) {
    return index >= 0 && index < orvane_physical_key_count() ? pageKeys()[index].virtualKey : 0;
}

// The keys still to be typed of the text being typed now (two steps a key).
EMSCRIPTEN_KEEPALIVE int orvane_typing_left() {
    const KeyboardState keys = keyboardState();
    if (keys.typing.empty() || keys.typeSteps == 0) return 0;
    return static_cast<int>(keys.typeSteps / 2);
}

// Bytes of program lines that fit in memory with the BASIC that runs now.
EMSCRIPTEN_KEEPALIVE uint32_t orvane_program_room() { return ProgramAreaRoom(); }

// Loads a file by its extension (.atp .bac .bas into memory, .wav as the tape
// to play). With autostart the machine is reset first and RUN (or LOAD CAS:)
// is typed after. Returns 1 when loaded, 0 when the file was refused;
// orvane_message says which, in the desktop's words.
EMSCRIPTEN_KEEPALIVE int orvane_load_file(const char* name, const uint8_t* bytes, int size,
                                          int autostart) {
    const std::string path = pathIn(InboxFolder, name);
    const std::string shown = path.substr(std::strlen(InboxFolder) + 1);
    if (size < 0 || !writeFile(path, bytes, static_cast<size_t>(size))) {
        web.message = "Cannot load " + shown + ": the page could not keep its bytes.";
        return 0;
    }
    const SessionLoad load =
        LoadSessionFile(path, autostart ? LoadStart::Autostart : LoadStart::Load, shown);
    web.message = WebUserWords(load.message);
    // A tape stays to be played; a program is in memory now.
    if (!load.ok() || load.kind != MediaFileKind::Wav) std::remove(path.c_str());
    if (load.ok()) keepStatus(3, load.message.c_str());
    return load.ok() ? 1 : 0;
}

// What the last load, disk attach or fast tape change said ("Loaded GAME.BAS.").
EMSCRIPTEN_KEEPALIVE const char* orvane_message() { return web.message.c_str(); }

// The program in memory as a BAC file in the output buffer; its size.
EMSCRIPTEN_KEEPALIVE int orvane_save_bac() {
    const std::string path = std::string(OutboxFolder) + "/program.bac";
    std::remove(path.c_str());
    SaveBacImage(path);
    int size = readIntoOutput(path);
    std::remove(path.c_str());
    return size;
}

// Records the cassette output as WAV from now until the motor stops (or
// orvane_stop_tape_recording). Returns 1 when the recording started.
EMSCRIPTEN_KEEPALIVE int orvane_start_tape_recording() {
    std::remove(TapeRecordingPath);
    return StartTapeRecording(TapeRecordingPath, 44100);
}

EMSCRIPTEN_KEEPALIVE int orvane_tape_recording() { return tapeDeck.file && !tapeDeck.reading; }
EMSCRIPTEN_KEEPALIVE int orvane_tape_playing() { return TapeInserted(); }
EMSCRIPTEN_KEEPALIVE int orvane_tape_motor() { return tapeDeck.motorOn ? 1 : 0; }
// The tape moves: the motor runs with a tape playing or recording.
EMSCRIPTEN_KEEPALIVE int orvane_tape_moving() { return TapeMotorRunning(); }

// Fast tape: the page runs without limit while it lasts (1), the sound muted
// meanwhile. When it starts or ends, orvane_message says so.
EMSCRIPTEN_KEEPALIVE int orvane_follow_fast_tape(int enabled) {
    const std::string change = FollowFastTape(enabled != 0, web.soundOn, "the chosen speed");
    if (!change.empty()) web.message = WebUserWords(change);
    return FastTapeOn() ? 1 : 0;
}

// Ends a recording still open; the finished recording goes into the output
// buffer. Returns its size, or -1 when there is none.
EMSCRIPTEN_KEEPALIVE int orvane_stop_tape_recording() {
    if (orvane_tape_recording()) CloseTape();
    return readIntoOutput(TapeRecordingPath);
}

EMSCRIPTEN_KEEPALIVE void orvane_close_tape() { CloseTape(); }

EMSCRIPTEN_KEEPALIVE const uint8_t* orvane_output() { return web.output.data(); }

// Why the last load or save failed, in words ("no program in memory").
EMSCRIPTEN_KEEPALIVE const char* orvane_media_error() {
    web.text = WebUserWords(MediaError());
    return web.text.c_str();
}

// Disk images on the drives DR0-DR3 (".dsk", ".img"): attached from bytes,
// written by the machine in the module's memory, and read back for a
// download. Returns 1 when attached, 0 when the size is not a known disk.
EMSCRIPTEN_KEEPALIVE int orvane_attach_disk(unsigned drive, const char* name, const uint8_t* bytes,
                                            int size) {
    if (drive >= MenuDrives || size < 0) return 0;
    const std::string base = pathIn("", name).substr(1); // the name's last component
    const std::string path = std::string(DiskFolder) + "/DR" + char('0' + drive) + "-" + base;
    if (!writeFile(path, bytes, static_cast<size_t>(size))) return 0;
    const std::string previous = DriveImages[drive].path;
    const SessionResult attached = AttachSessionDisk(drive, path, base);
    web.message =
        WebUserWords(attached.ok() ? attached.message : attached.caption + " " + attached.message);
    if (!attached.ok()) {
        std::remove(path.c_str());
        return 0;
    }
    if (!previous.empty() && previous != path) std::remove(previous.c_str());
    return 1;
}

EMSCRIPTEN_KEEPALIVE void orvane_detach_disk(unsigned drive) {
    if (drive >= MenuDrives) return;
    const std::string path = DriveImages[drive].path;
    DetachDrive(drive);
    if (!path.empty()) std::remove(path.c_str());
}

// The image of a drive as the machine has written it, in the output buffer;
// its size, or -1 when the drive is empty.
EMSCRIPTEN_KEEPALIVE int orvane_disk_image(unsigned drive) {
    if (drive >= MenuDrives || DriveImages[drive].path.empty()) return -1;
    return readIntoOutput(DriveImages[drive].path);
}

// A new blank image attached to the drive under the name (".dsk" added when
// it has no extension); 1 when attached. The message says what happened.
EMSCRIPTEN_KEEPALIVE int orvane_new_disk(unsigned drive, const char* name) {
    if (drive >= MenuDrives) return 0;
    std::string base = pathIn("", name).substr(1);
    if (base.find('.') == std::string::npos) base += ".dsk";
    const std::string path = std::string(DiskFolder) + "/DR" + char('0' + drive) + "-" + base;
    const std::string previous = DriveImages[drive].path;
    if (!CreateDiskImage(path)) {
        web.message = "Error creating disk image! " + base + ": " + MediaError() + ".";
        return 0;
    }
    const SessionResult attached = AttachSessionDisk(drive, path, base);
    web.message = attached.ok() ? "New disk image " + base + " on DR" + char('0' + drive) + "."
                                : attached.caption + " " + attached.message;
    if (!attached.ok()) {
        std::remove(path.c_str());
        return 0;
    }
    if (!previous.empty() && previous != path) std::remove(previous.c_str());
    return 1;
}

// The drive's write-protect switch; the page keeps one per drive.
EMSCRIPTEN_KEEPALIVE void orvane_set_write_protect(unsigned drive, int on) {
    SetDriveWriteProtect(drive, on != 0);
}
EMSCRIPTEN_KEEPALIVE int orvane_write_protected(unsigned drive) {
    return DriveWriteProtected(drive) ? 1 : 0;
}

// Sectors written to the drive's image since it was attached: the page keeps
// the image in the browser again when this grows.
EMSCRIPTEN_KEEPALIVE double orvane_disk_writes(unsigned drive) {
    return drive < MenuDrives ? static_cast<double>(DriveImages[drive].sectorsWritten) : 0;
}

// The drive a dropped image goes to: the first empty one, DR0 when all hold one.
EMSCRIPTEN_KEEPALIVE unsigned orvane_free_drive() { return FreeDrive(); }

// The file name a drive's image was attached under ("" when empty).
EMSCRIPTEN_KEEPALIVE const char* orvane_disk_name(unsigned drive) {
    web.text.clear();
    if (drive < MenuDrives && !DriveImages[drive].path.empty()) {
        const std::string& path = DriveImages[drive].path;
        web.text = path.substr(std::strlen(DiskFolder) + 5); // after "/disks/DRn-"
    }
    return web.text.c_str();
}

// A ROM image the user picked, installed into the ROM folder under its name
// when the desktop would take it from its ROM folder: a BASIC image of
// 16,384 bytes with a known byte sum, or a DOS image of its own name and
// size. The machine then starts again from a hard reset, running the new
// BASIC image at once. Returns 1 when installed; 0 when refused (the image
// is not kept), orvane_message saying why either way.
EMSCRIPTEN_KEEPALIVE int orvane_install_rom(const char* name, const uint8_t* bytes, int size) {
    const std::string path = pathIn(RomFolder, name);
    const std::string shown = path.substr(std::strlen(RomFolder) + 1);
    // An image of the same name stays aside until the new one is taken, so
    // that a refused file never costs the user the image they had.
    const std::string aside = std::string(InboxFolder) + "/rom-aside";
    std::remove(aside.c_str());
    const bool hadOne = std::rename(path.c_str(), aside.c_str()) == 0;
    const auto putBack = [&] {
        std::remove(path.c_str());
        if (hadOne) std::rename(aside.c_str(), path.c_str());
        installRomImages();
    };
    if (size < 0 || !writeFile(path, bytes, static_cast<size_t>(size))) {
        putBack();
        web.message = "Cannot use " + shown + ": the page could not keep its bytes.";
        return 0;
    }
    // A BASIC image takes its slot from the one installed there before.
    if (size == static_cast<int>(BasicRomSize)) {
        const uint32_t sum = romByteSum(bytes, BasicRomSize);
        const uint32_t slot = sum == OldBasicByteSum   ? BasicRomOld
                              : sum == NewBasicByteSum ? BasicRomNew
                                                       : BasicRomExternal;
        if (slot != BasicRomExternal && !basicRomSource(slot).empty() &&
            basicRomSource(slot) != path)
            std::remove(basicRomSource(slot).c_str());
    }
    installRomImages();
    uint32_t basic = BasicRomExternal;
    for (uint32_t choice : {BasicRomOld, BasicRomNew})
        if (basicRomSource(choice) == path) basic = choice;
    const bool dos = dosRomSource(DosRomAbcdos) == path || dosRomSource(DosRomUfddos) == path ||
                     (shown == "dosaux.rom" && size == static_cast<int>(DosAuxRomSize));
    if (basic == BasicRomExternal && !dos) {
        putBack();
        std::string cause;
        if (size == static_cast<int>(BasicRomSize))
            cause = "its byte sum " + std::to_string(romByteSum(bytes, BasicRomSize)) +
                    " is neither the old BASIC's nor the new one's";
        else
            cause = "a BASIC image has 16,384 bytes and a DOS image is named abcdos.rom or "
                    "ufddos.rom (4,096 bytes) or dosaux.rom (1,024 bytes); this file has " +
                    std::to_string(size) + " bytes";
        web.message = "Cannot use " + shown + ": " + cause + ".";
        return 0;
    }
    std::remove(aside.c_str());
    if (basic != BasicRomExternal) basicRom = basic;
    SessionHardReset();
    web.message = WebUserWords(runningRomDescription());
    return 1;
}

// Back to the open firmware and no DOS: every installed image forgotten.
EMSCRIPTEN_KEEPALIVE void orvane_forget_roms() {
    for (uint32_t choice : {BasicRomOld, BasicRomNew})
        if (!basicRomSource(choice).empty()) std::remove(basicRomSource(choice).c_str());
    for (uint32_t choice : {DosRomAbcdos, DosRomUfddos})
        if (!dosRomSource(choice).empty()) std::remove(dosRomSource(choice).c_str());
    std::remove((std::string(RomFolder) + "/dosaux.rom").c_str());
    clearRomImages();
    basicRom = BasicRomOld;
    SessionHardReset();
    web.message = "The ROM images are forgotten; the open firmware runs.";
}

// The BASIC choice (0 old, 1 new) and the DOS choice (0 none, 1 ABCDOS,
// 2 UFDDOS, 3 Open DOS); each takes effect at once with a hard reset. orvane_message says
// what runs instead when the chosen image is not installed.
EMSCRIPTEN_KEEPALIVE void orvane_choose_basic(uint32_t choice) {
    if (choice > BasicRomNew) return;
    ChooseSessionBasic(choice);
    SessionHardReset();
    web.message = basicRomSource(choice).empty()
                      ? std::string("No ") + (choice == BasicRomNew ? "new" : "old") +
                            " BASIC image is installed; the open firmware runs."
                      : WebUserWords(runningRomDescription());
}

EMSCRIPTEN_KEEPALIVE void orvane_choose_dos(uint32_t choice) {
    if (choice >= DosRomChoices) return;
    const SessionResult chosen = ChooseSessionDos(choice);
    SessionHardReset();
    web.message = chosen.message.empty() ? WebUserWords(runningRomDescription()) : chosen.message;
}

EMSCRIPTEN_KEEPALIVE uint32_t orvane_basic_choice() { return basicRom; }
EMSCRIPTEN_KEEPALIVE uint32_t orvane_dos_choice() { return dosRom; }
// 1 when any ROM image is installed.
EMSCRIPTEN_KEEPALIVE int orvane_roms_installed() {
    return !basicRomSource(BasicRomOld).empty() || !basicRomSource(BasicRomNew).empty() ||
           dosRomPresent(DosRomAbcdos) || dosRomPresent(DosRomUfddos);
}

EMSCRIPTEN_KEEPALIVE void orvane_reset() { SessionReset(); }
EMSCRIPTEN_KEEPALIVE void orvane_hard_reset() { SessionHardReset(); }

// The 24 text rows as UTF-8.
EMSCRIPTEN_KEEPALIVE const char* orvane_screen_text() {
    web.text = ScreenText();
    return web.text.c_str();
}

// A status field as UTF-8: 2 the tape counter, 3 the last message.
EMSCRIPTEN_KEEPALIVE const char* orvane_status_field(int field) {
    web.text = field >= 0 && field < 4 ? web.statusFields[field] : "";
    return web.text.c_str();
}
EMSCRIPTEN_KEEPALIVE uint32_t orvane_status_changes() { return web.statusChanges; }
// How often one status field was set: the page shows the last message only
// when it is new, so a tape counter's change never brings an old one back.
EMSCRIPTEN_KEEPALIVE uint32_t orvane_status_field_changes(int field) {
    return field >= 0 && field < 4 ? web.fieldChanges[field] : 0;
}

EMSCRIPTEN_KEEPALIVE const char* orvane_rom_description() {
    web.text = WebUserWords(runningRomDescription());
    return web.text.c_str();
}

EMSCRIPTEN_KEEPALIVE const uint8_t* orvane_memory() { return memoryArray(); }
EMSCRIPTEN_KEEPALIVE double orvane_cycles() { return static_cast<double>(cpu.TCOUNT); }

// Sound: the page starts it on the first user gesture; the mixer then runs
// after every frame into the ring the page copies from.
EMSCRIPTEN_KEEPALIVE void orvane_sound_start() {
    if (web.soundOn) return;
    InitSoundSystem();
    WebSoundDriver.Open(SoundSampleRate);
    InstallSoundDriver(&WebSoundDriver);
    ResetSoundOutput();
    web.soundOn = true;
}
EMSCRIPTEN_KEEPALIVE const int16_t* orvane_sound_ring() { return WebSoundRing(); }
EMSCRIPTEN_KEEPALIVE uint32_t orvane_sound_written() { return WebSoundWritten(); }
EMSCRIPTEN_KEEPALIVE uint32_t orvane_sound_blocks() { return WebSoundBlocks(); }
EMSCRIPTEN_KEEPALIVE void orvane_sound_played(uint32_t ringPosition) {
    WebSoundSetPlayed(ringPosition);
}
// Paused output (the machine paused or the page hidden) produces nothing.
EMSCRIPTEN_KEEPALIVE void orvane_sound_pause(int paused) {
    if (!web.soundOn) return;
    if (paused)
        PauseSound();
    else
        ResumeSound();
}

} // extern "C"

extern "C" {

// The machine code a Unicode character is typed as (the paste conversion),
// or -1 when the machine has none.
EMSCRIPTEN_KEEPALIVE int orvane_machine_code(uint32_t character) {
    return MachineCodeOfCharacter(static_cast<char32_t>(character));
}

// The host key that types a machine code: its virtual-key code, plus 100h
// when Shift must be down with it; 0 when no key types it.
EMSCRIPTEN_KEEPALIVE int orvane_key_for_code(int code) {
    if (code <= 0) return 0;
    for (int shift = 0; shift < 2; shift++)
        for (int position = 0; position < KeyboardPositions; position++)
            // Tab types only a q, which the Q key types too.
            if (KeyPositions[position] && KeyPositions[position] != 0x09 &&
                KeyChars[shift][position] == static_cast<uint32_t>(code))
                return KeyPositions[position] | (shift ? 0x100 : 0);
    return 0;
}

// What the machine's key at a host key's place types, for the page's
// keyboard map: the plain character, and the shifted one times 100h; 0 when
// the host key has no place on the machine's keyboard.
EMSCRIPTEN_KEEPALIVE int orvane_key_chars(int virtualKey) {
    for (int position = 0; position < KeyboardPositions; position++)
        if (virtualKey > 0 && KeyPositions[position] == virtualKey)
            return static_cast<int>((KeyChars[0][position] & 0xFF) |
                                    ((KeyChars[1][position] & 0xFF) << 8));
    return 0;
}

} // extern "C"
