// Loading a host file by its extension, as the front ends' load, autostart
// and drop commands do: ".atp", ".bac" and ".bas" go to the tape image
// loaders, ".wav" is opened as the tape to play. Extensions are compared
// without regard to case.
#pragma once

#include <string>

enum class MediaFileKind { Unknown, Atp, Bac, Bas, Wav };

MediaFileKind MediaFileKindOf(const std::string& path);

// The loader's result: 1 when the program is in memory or the ".wav" file is
// the tape to play; 0 with the cause in MediaError otherwise.
int LoadMediaFile(const std::string& path);

// What to type after a successful load: "LOAD CAS:\r" for a tape to play,
// "RUN\r" for a program in memory when autostarting, else nothing.
const char* TextToTypeAfterLoad(MediaFileKind kind, bool autostart);
