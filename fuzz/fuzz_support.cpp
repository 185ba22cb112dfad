// Scratch folder and files for the fuzz targets.
#include "fuzz/fuzz_support.h"

#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace fuzz {

std::string scratchFolder() {
    static std::string folder = [] {
        // Memory-backed when the host has it: the targets rewrite their
        // files on every run, which a disk file system would flush each time.
        std::error_code error;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::string pattern = (base / "orvane-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return folder;
}

void enterScratchFolder() {
    if (::chdir(scratchFolder().c_str()) != 0) std::abort();
}

std::string scratchPath(const std::string& name) { return scratchFolder() + "/" + name; }

void writeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

uint64_t fileHash(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    uint64_t hash = 0xcbf29ce484222325ull;
    uint64_t size = 0;
    uint8_t block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        for (size_t i = 0; i < got; i++)
            hash = (hash ^ block[i]) * 0x100000001b3ull;
        size += got;
    }
    std::fclose(file);
    return (hash ^ size) * 0x100000001b3ull;
}

long long fileSize(const std::string& path) {
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<long long>(size);
}

} // namespace fuzz
