// The session every front end runs: starting the machine with the ROMs the
// user chose, loading a host file by its extension, with or without
// autostart, and the machine's state to and from a file. Each action gives
// one message in the words every front end shows; the front ends show it
// their own way (standard error, status bar or message box, page status).
#pragma once

#include "media/media_file.h"

#include <cstdint>
#include <string>

// What became of one action the user asked for.
enum class Outcome {
    Done,    // the message says what happened (status bar, stderr)
    Refused, // nothing happened; the message says what to do first (status bar)
    Failed   // a file could not be read or written (message box)
};

struct SessionResult {
    Outcome outcome = Outcome::Failed;
    std::string message;           // one or two sentences, ending in a full stop
    std::string caption = "Error"; // a message box's caption for a failure
    bool ok() const { return outcome == Outcome::Done; }
};

// Start-up. A front end sets the ROM folder and the BASIC and DOS choices
// first; StartSession installs the ROM images and starts the machine.
struct SessionStart {
    std::string warning; // "" unless the external BASIC was chosen but is missing
    std::string romLine; // what actually runs
};
SessionStart StartSession();

// A hard reset (RAM cleared: a program starts from an empty one), then one second of frames without
// a picture, so that BASIC waits at its prompt before a file is loaded and its command typed. Texts
// still waiting to be typed are dropped: they were meant for the machine as it was.
void ResetForAutostart();

// The BASIC and DOS choices of the menus, taking effect with a reset. The
// message is "" when the chosen image is there, or says what runs instead.
SessionResult ChooseSessionBasic(uint32_t choice);
SessionResult ChooseSessionDos(uint32_t choice);

// The reset keys: the texts waiting to be typed are dropped with the
// machine's own typing.
void SessionReset();
void SessionHardReset();

// How a loaded file is started.
enum class LoadStart {
    Insert,   // loaded; nothing typed (a tape only goes into the deck)
    Load,     // loaded; a tape gets LOAD CAS: typed to read it
    Autostart // reset first, then RUN for a program or LOAD CAS: for a tape
};

struct SessionLoad : SessionResult {
    MediaFileKind kind = MediaFileKind::Unknown;
    std::string cause;               // why the load failed, "" when it did not
    const char* typeAfter = nullptr; // what was queued for typing, if anything
};
// Loads path by its extension: a program into memory or a ".wav" file as the
// tape to play, and queues the command that starts it (see LoadStart). A file
// of another extension, or a tape while the deck records, is refused before
// any reset, leaving the machine alone. shownName is the file as the user
// knows it, for the message ("" for path itself).
SessionLoad LoadSessionFile(const std::string& path, LoadStart start,
                            const std::string& shownName = "");

// The whole machine to and from a state file; `what` names the file in the
// message ("slot 2", or the path). The front end sets cycleBasedFrames to its
// timing mode before a save and takes it from there after a load. A loaded
// state drops the texts waiting to be typed.
SessionResult SaveSessionState(const std::string& path, const std::string& what);
SessionResult LoadSessionState(const std::string& path, const std::string& what);
