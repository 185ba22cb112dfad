// BAS files: a BAC image when the first byte is the marker 82h, otherwise
// program text typed into the machine key by key. Lines may end in CR, LF or
// CR LF; each becomes the CR the keyboard sends. The whole text is typed, up
// to 64 KB (twice the program area); a longer file is refused.
#include "machine/keyboard.h"
#include "media/host_file.h"
#include "media/tape_images.h"

#include <cstdio>
#include <string>

namespace {
constexpr size_t MaxTypedBytes = 65536;
constexpr unsigned char ProgramMarker = 0x82;
} // namespace

int LoadBasFile(const std::string& path) {
    std::FILE* file = OpenHostFile(path, "rb");
    if (!file) return 0;

    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0 && text.size() <= MaxTypedBytes)
        text.append(chunk, n);
    bool readError = std::ferror(file);
    std::fclose(file);
    if (readError) {
        SetMediaError("read error");
        return 0;
    }
    if (!text.empty() && static_cast<unsigned char>(text[0]) == ProgramMarker)
        return LoadBacImage(path);
    if (text.empty()) {
        SetMediaError("empty file");
        return 0;
    }
    if (text.size() > MaxTypedBytes) {
        SetMediaError("text too long to type (more than 65,536 bytes)");
        return 0;
    }
    if (text.find('\0') != std::string::npos) {
        SetMediaError("not a text file (it holds NUL bytes)");
        return 0;
    }
    std::string typed;
    typed.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        typed += text[i] == '\n' ? '\r' : text[i];
    }
    if (!typeText(typed.c_str())) {
        SetMediaError("another text is still being typed");
        return 0;
    }
    return 1;
}
