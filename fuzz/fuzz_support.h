// Helpers shared by the fuzz targets: a private scratch folder, file hashes
// to prove inputs are left untouched, a byte reader over the fuzzer's data,
// and the invariant check that turns a broken promise into a crash report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// Aborts with the failed condition, so libFuzzer records the input.
[[noreturn]] inline void broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "invariant broken at %s:%d: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) ::fuzz::broken(#condition, __FILE__, __LINE__);                          \
    } while (0)

// A folder of this process under the temporary folder, made on first use.
std::string scratchFolder();
std::string scratchPath(const std::string& name);
// Makes the scratch folder the current directory, for code that opens names
// relative to it. libFuzzer reads its corpus lazily, so a target that does
// this must be given absolute corpus and artifact paths.
void enterScratchFolder();

void writeFile(const std::string& path, const uint8_t* data, size_t size);
// FNV-1a over the whole file with its size folded in; 0 when it can't be read.
uint64_t fileHash(const std::string& path);
// -1 when the file does not exist.
long long fileSize(const std::string& path);

// Takes bytes from the front of the fuzzer's data; zeros once it is used up.
struct ByteReader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    ByteReader(const uint8_t* d, size_t n) : data(d), size(n) {}
    uint8_t byte() { return at < size ? data[at++] : 0; }
    uint16_t word() {
        uint16_t lo = byte();
        return static_cast<uint16_t>(lo | byte() << 8);
    }
    size_t left() const { return size - at; }
    const uint8_t* rest() const { return data + at; }
};

// The emulated machine in a known state: no ROM images (the open firmware
// and no DOS), keyboard and processor initialised, ROM folder and printer
// folder inside the scratch folder.
void prepareMachine();

} // namespace fuzz
