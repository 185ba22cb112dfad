// Choosing the loader by the file's last extension.
#include "media/media_file.h"

#include "media/host_file.h"
#include "media/tape_deck.h"
#include "media/tape_images.h"

#include <cctype>

MediaFileKind MediaFileKindOf(const std::string& path) {
    size_t dot = path.rfind('.');
    if (dot == std::string::npos) return MediaFileKind::Unknown;
    std::string ext;
    for (char c : path.substr(dot))
        ext += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".atp") return MediaFileKind::Atp;
    if (ext == ".bac") return MediaFileKind::Bac;
    if (ext == ".bas") return MediaFileKind::Bas;
    if (ext == ".wav") return MediaFileKind::Wav;
    return MediaFileKind::Unknown;
}

int LoadMediaFile(const std::string& path) {
    SetMediaWarning("");
    switch (MediaFileKindOf(path)) {
    case MediaFileKind::Atp: return LoadAtpImage(path);
    case MediaFileKind::Bac: return LoadBacImage(path);
    case MediaFileKind::Bas: return LoadBasFile(path);
    case MediaFileKind::Wav: return OpenTapeForReading(path);
    default: SetMediaError("not an .atp, .bac, .bas or .wav file"); return 0;
    }
}

const char* TextToTypeAfterLoad(MediaFileKind kind, bool autostart) {
    if (kind == MediaFileKind::Wav) return "LOAD CAS:\r";
    if (autostart && kind != MediaFileKind::Unknown) return "RUN\r";
    return nullptr;
}
