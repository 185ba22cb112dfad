// Saving, the cassette deck and the disk drives, as every front end offers
// them.
#include "host/session/media_commands.h"

#include "abc80/history.h"
#include "files/file_write.h"
#include "host/session/basic_text.h"
#include "media/disk_card.h"
#include "media/host_file.h"
#include "media/tape_deck.h"
#include "media/tape_images.h"
#include "media/wav_layout.h"
#include "sound/mixer.h"

#include <cctype>
#include <cstdio>

namespace {

std::string soundRecordingPath; // the recording the session started last

SessionResult result(Outcome outcome, std::string message) {
    return SessionResult{outcome, std::move(message)};
}

// The name's last extension in lower case, with its dot ("" when none).
std::string lastExtension(const std::string& path) {
    const size_t name = path.find_last_of('/') + 1;
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < name) return "";
    std::string extension = path.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

std::string minutesAndSeconds(uint64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u", static_cast<unsigned>(seconds / 60),
                  static_cast<unsigned>(seconds % 60));
    return text;
}

} // namespace

SessionResult SaveSessionProgram(const std::string& path) {
    // Success is reported only once the file is really in place.
    if (!SaveBacImage(path))
        return result(Outcome::Failed, "Cannot write " + path + ": " + MediaError() + ".");
    return result(Outcome::Done, "File saved: " + path + ".");
}

SessionResult SaveSessionBasicText(const std::string& path) {
    // Listing runs the machine over again; a recording on the deck would end.
    if (tapeDeck.file && !TapeInserted())
        return result(Outcome::Refused, "Cannot save " + path + " while the deck records to " +
                                            tapeDeck.path + "; eject it first.");
    std::string text, cause;
    if (!ListRunningProgram(text, cause))
        return result(Outcome::Failed, "Cannot save " + path + ": " + cause + ".");
    if (!WriteWholeFile(path, text, &cause))
        return result(Outcome::Failed, "Cannot write " + path + ": " + cause + ".");
    return result(Outcome::Done, "File saved: " + path + ".");
}

SessionResult SaveSessionFile(const std::string& chosen, std::string* saved) {
    std::string path = chosen;
    if (path.find('.', path.find_last_of('/') + 1) == std::string::npos) path += ".bac";
    if (saved) *saved = path;
    const std::string extension = lastExtension(path);
    if (extension == ".bac") return SaveSessionProgram(path);
    if (extension == ".bas") return SaveSessionBasicText(path);
    if (extension == ".wav") return RecordSessionTape(path);
    return result(Outcome::Failed, "Cannot save " + path +
                                       ": only .bac (a program), .bas (its text) and .wav (a "
                                       "tape recording) can be saved. Nothing was written.");
}

SessionResult InsertSessionTape(const std::string& path) {
    if (tapeDeck.file && !TapeInserted())
        return result(Outcome::Refused,
                      "Recording to " + tapeDeck.path +
                          ": eject it (ending the recording) before inserting a tape.");
    if (const std::string why = WhyNotATapeRecording(path); !why.empty())
        return result(Outcome::Failed, "Cannot open " + path + ": " + why + ".");
    if (!OpenTapeForReading(path))
        return result(Outcome::Failed, "Cannot open " + path + ": " + MediaError() + ".");
    historyMachineChanged();
    return result(Outcome::Done, "Tape in the deck: " + path + " (" +
                                     minutesAndSeconds(TapeLengthSeconds()) +
                                     "). LOAD CAS: reads it.");
}

SessionResult TapeDeckFreeToRecord() {
    if (TapeInserted())
        return result(Outcome::Refused,
                      tapeDeck.path + " is in the deck to play. Eject it before recording.");
    return result(Outcome::Done, "");
}

SessionResult RecordSessionTape(const std::string& path) {
    if (SessionResult free = TapeDeckFreeToRecord(); !free.ok()) return free;
    const std::string finished = tapeDeck.file ? tapeDeck.path : std::string();
    if (!StartTapeRecording(path, 44100))
        return result(Outcome::Failed, "Cannot write " + path + ": " + MediaError() + ".");
    historyMachineChanged();
    if (!finished.empty())
        return result(Outcome::Done,
                      "Recording to " + finished + " finished; recording to " + path + ".");
    return result(Outcome::Done, "Recording to " + path + ": SAVE CAS: writes onto it.");
}

SessionResult RewindSessionTape() {
    if (RewindTape()) {
        historyMachineChanged();
        return result(Outcome::Done, "Tape rewound: " + tapeDeck.path + ".");
    }
    if (tapeDeck.file)
        return result(Outcome::Refused, "A recording is not rewound; eject it to finish it.");
    return result(Outcome::Refused, "No tape in the deck.");
}

SessionResult EjectSessionTape() {
    if (!tapeDeck.file) return result(Outcome::Refused, "No tape in the deck.");
    const std::string path = tapeDeck.path;
    const bool recording = !TapeInserted();
    const bool nothingRecorded = recording && !tapeDeck.temporaryPath.empty();
    CloseTape();
    historyMachineChanged();
    if (nothingRecorded)
        return result(Outcome::Done,
                      "Nothing was recorded on " + path + "; the file was left as it was.");
    // A recording whose last writes failed says so rather than "finished".
    if (recording && !TapeRecordingFailure().empty())
        return result(Outcome::Failed, "Tape recording stopped: " + TapeRecordingFailure() + ".");
    return result(Outcome::Done,
                  (recording ? "Recording finished: " : "Tape ejected: ") + path + ".");
}

SessionResult StartSessionSoundRecording(const std::string& path) {
    if (TapeDeckHolds(path))
        return result(Outcome::Failed, "Cannot record the sound to " + path +
                                           ": it is the tape in the cassette deck.");
    if (!StartSoundRecording(path.c_str()))
        return result(Outcome::Failed,
                      "Cannot record the sound to " + path + ": " + SoundRecordingFailure() + ".");
    soundRecordingPath = path;
    return result(Outcome::Done, "Recording the sound to " + path + ".");
}

SessionResult StopSessionSoundRecording() {
    StopSoundRecording();
    if (!SoundRecordingFailure().empty())
        return result(Outcome::Failed, "Sound recording stopped: " + SoundRecordingFailure() + ".");
    return result(Outcome::Done, "Sound recording finished: " + soundRecordingPath + ".");
}

SessionResult AttachSessionDisk(unsigned drive, const std::string& path,
                                const std::string& shownName) {
    const std::string& name = shownName.empty() ? path : shownName;
    if (AttachDiskImage(drive, path)) {
        historyMachineChanged();
        const std::string attached = name + " attached to DR" + std::to_string(drive);
        if (DriveImages[drive].readOnlyFile)
            return result(Outcome::Done,
                          attached + ", write-protected: the file cannot be written.");
        return result(Outcome::Done, attached + ".");
    }
    SessionResult failed = result(Outcome::Failed, "Drive DR" + std::to_string(drive) + " - " +
                                                       name + ": " + MediaError() + ".");
    failed.caption = "Error attaching disk image!";
    return failed;
}

unsigned FreeDrive() {
    for (unsigned drive = 0; drive < MenuDrives; drive++)
        if (DriveImages[drive].path.empty()) return drive;
    return 0;
}

void DetachSessionDisks() {
    for (unsigned drive = 0; drive < MenuDrives; drive++)
        DetachDrive(drive);
    historyMachineChanged();
}

SessionResult DetachSessionDisk(unsigned drive) {
    const std::string name = "DR" + std::to_string(drive);
    if (drive >= MenuDrives || DriveImages[drive].path.empty())
        return result(Outcome::Done, name + " was empty.");
    DetachDrive(drive);
    historyMachineChanged();
    return result(Outcome::Done, name + " is empty.");
}

SessionResult NewSessionDisk(unsigned drive, const std::string& path) {
    if (!CreateDiskImage(path)) {
        SessionResult failed = result(Outcome::Failed, path + ": " + MediaError() + ".");
        failed.caption = "Error creating disk image!";
        return failed;
    }
    const SessionResult attached = AttachSessionDisk(drive, path);
    if (!attached.ok()) return attached;
    return result(Outcome::Done, "New disk image " + path + " on DR" + std::to_string(drive) + ".");
}

SessionResult SetSessionWriteProtect(unsigned drive, bool on) {
    const std::string name = "DR" + std::to_string(drive);
    SetDriveWriteProtect(drive, on);
    if (on) return result(Outcome::Done, name + " write-protected.");
    if (DriveWriteProtected(drive))
        return result(Outcome::Done,
                      name + " stays write-protected: its image file cannot be written.");
    return result(Outcome::Done, name + " writable.");
}

std::string DriveStatusText(unsigned drive) {
    std::string text = "DR" + std::to_string(drive) + ": ";
    if (drive >= MenuDrives || DriveImages[drive].path.empty()) return text + "-";
    const std::string& path = DriveImages[drive].path;
    text += path.substr(path.find_last_of('/') + 1);
    if (DriveWriteProtected(drive)) text += " (WP)";
    return text;
}
