// Scratch files for the storage tests: a private temporary folder per test
// and helpers to write and read whole files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

using Bytes = std::vector<uint8_t>;

class ScratchDir {
  public:
    ScratchDir() {
        char pattern[] = "/tmp/orvane-media-XXXXXX";
        const char* made = mkdtemp(pattern);
        dir_ = made ? made : "/tmp";
    }
    ~ScratchDir() {
        std::string command = "rm -rf '" + dir_ + "'";
        if (dir_ != "/tmp") (void)std::system(command.c_str());
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

  private:
    std::string dir_;
};

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

inline Bytes readFile(const std::string& path) {
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = std::getc(file)) != EOF)
        bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
    return bytes;
}

// Silence as an 8-bit mono 44,100 Hz WAV file of whole seconds.
inline Bytes silentWav(uint32_t seconds = 1) {
    const uint32_t rate = 44100, data = seconds * rate;
    Bytes wav = {'R', 'I', 'F', 'F'};
    auto word = [&wav](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++)
            wav.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    word(36 + data, 4);
    for (char c : std::string("WAVEfmt "))
        wav.push_back(static_cast<uint8_t>(c));
    word(16, 4), word(1, 2), word(1, 2), word(rate, 4), word(rate, 4), word(1, 2), word(8, 2);
    for (char c : std::string("data"))
        wav.push_back(static_cast<uint8_t>(c));
    word(data, 4);
    wav.resize(wav.size() + data, 0x80);
    return wav;
}
