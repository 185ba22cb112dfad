// The media commands every front end offers, each with its one message:
// saving the program, the cassette deck (insert, record, rewind, eject), the
// sound recording and the disk drives.
#pragma once

#include "host/session/session.h"

#include <string>

// Save as: a name with no "." gets ".bac"; ".bac" saves the program,
// ".bas" its text, ".wav" starts a tape recording (SAVE CAS: writes onto
// it), any other extension writes nothing. `saved` receives the name
// actually used.
SessionResult SaveSessionFile(const std::string& path, std::string* saved = nullptr);
// The program as a BAC file whatever the name's extension.
SessionResult SaveSessionProgram(const std::string& path);
// The program as text, as the BASIC's own LIST shows it, lines ended by
// '\n'; refused while the deck records (the listing resets a machine).
SessionResult SaveSessionBasicText(const std::string& path);

// A WAV file into the deck to play ("Tape in the deck: NAME (01:24). LOAD
// CAS: reads it."); refused while the deck records.
SessionResult InsertSessionTape(const std::string& path);
// Done (with no message) unless a tape is in the deck to play, which a
// recording must wait for: a front end asks before it asks for a file name.
SessionResult TapeDeckFreeToRecord();
// The cassette output recorded into a new WAV file (44,100 Hz); refused
// while a tape is in the deck to play.
SessionResult RecordSessionTape(const std::string& path);
SessionResult RewindSessionTape();
// Takes the tape out; a recording is finished.
SessionResult EjectSessionTape();

// The machine's sound recorded into a new WAV file in emulated time;
// refused when the file is the tape in the deck.
SessionResult StartSessionSoundRecording(const std::string& path);
// Ends it; a recording that writes had already stopped is a failure.
SessionResult StopSessionSoundRecording();

// An image on drive DR0-DR3; a refused image leaves the drive as it was.
// A failure's caption is "Error attaching disk image!" and its message
// starts with "Drive DRn - PATH".
SessionResult AttachSessionDisk(unsigned drive, const std::string& path,
                                const std::string& shownName = "");
// The first drive without an image, DR0 when all hold one.
unsigned FreeDrive();
// Empties every drive.
void DetachSessionDisks();
// Empties one drive ("DR1 is empty."; "DR1 was empty." when it was).
SessionResult DetachSessionDisk(unsigned drive);
// A new blank disk image at path, attached to `drive` ("New disk image PATH
// on DR0."). A file that exists is replaced only by a complete image. Failed:
// caption "Error creating disk image!", message "PATH: cause.".
SessionResult NewSessionDisk(unsigned drive, const std::string& path);
// The drive's write-protect switch ("DR0 write-protected." or "DR0
// writable."); switching it off for a file that may not be written says so.
SessionResult SetSessionWriteProtect(unsigned drive, bool on);
// One drive in a few words for a status bar: "DR0: NAME" with " (WP)" when it
// refuses writes, "DR0: -" when empty. NAME is the file name without folders.
std::string DriveStatusText(unsigned drive);
