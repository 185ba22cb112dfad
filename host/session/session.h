// The session every front end runs: starting the machine with the ROMs the
// user chose, and loading a host file by its extension, with or without
// autostart. The front ends show the messages their own way (standard
// error, status bar or message box, page status).
#pragma once

#include "media/media_file.h"

#include <string>

// Start-up. A front end sets the ROM folder and the BASIC and DOS choices
// first; StartSession installs the ROM images and starts the machine.
struct SessionStart {
    std::string warning; // "" unless the external BASIC was chosen but is missing
    std::string romLine; // what actually runs
};
SessionStart StartSession();

// A reset, then one second of frames without a picture, so that BASIC waits
// at its prompt before a file is loaded and its command typed.
void ResetForAutostart();

struct SessionLoad {
    int loaded = 0;
    MediaFileKind kind = MediaFileKind::Unknown;
    std::string cause;               // why the load failed, "" when it did not
    std::string message;             // "Loaded PATH." on success
    const char* typeAfter = nullptr; // "RUN\r", "LOAD CAS:\r" or nothing
};
// Loads path by its extension: a program into memory or a ".wav" file as the
// tape to play. A file of another extension is refused, untouched machine
// and all. With autostart the machine is reset first and typeAfter is
// the command that runs what was loaded; without, only a tape asks for a
// command (LOAD CAS:).
SessionLoad LoadSessionFile(const std::string& path, bool autostart);
