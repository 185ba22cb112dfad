// BAS files: a BAC image when the first byte is the marker 82h, otherwise
// program text typed into the machine key by key (at most 16 KB of it).
#include "machine/keyboard.h"
#include "media/host_file.h"
#include "media/tape_images.h"

#include <cstdio>
#include <cstdlib>

namespace {
constexpr size_t MaxTypedBytes = 16384;
constexpr unsigned char ProgramMarker = 0x82;
} // namespace

int LoadBasFile(const std::string& path) {
    std::FILE* file = OpenHostFile(path, "rb");
    if (!file) return 0;

    char* text = static_cast<char*>(std::malloc(MaxTypedBytes + 1));
    if (text) {
        size_t n = std::fread(text, 1, MaxTypedBytes, file);
        text[n] = '\0';
        if (n >= 1 && static_cast<unsigned char>(text[0]) == ProgramMarker) {
            std::free(text);
            std::fclose(file);
            return LoadBacImage(path);
        }
        if (n >= 1) typeText(text);
        std::free(text);
    }
    std::fclose(file);
    return 1;
}
