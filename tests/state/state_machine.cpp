#include "tests/state/state_machine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "machine/roms.h"

namespace state_test {

void bootMachine() {
    static Scratch roms;
    setRomFolder(roms.path(""));
    installRomImages();
    machinePowerOn();
    dosRom = DosRomNone;
    runFrames(50);
}

RunResult runFrames(int n) {
    RunResult result;
    result.picture.assign(FrameBufferBytes, 0);
    for (int i = 0; i < n; i++) {
        if (cycleBasedFrames)
            runFrame(CyclesPerFrame, result.picture.data(), framePitchShift());
        else
            runFrameFast();
    }
    if (!cycleBasedFrames)
        for (int line = 0; line < VisibleLines; line++)
            renderLine(line, result.picture.data(), framePitchShift());
    result.memory.assign(MainMemory, MainMemory + 65536);
    saveState(result.state);
    return result;
}

Scratch::Scratch() {
    char pattern[] = "/tmp/orvane-state-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    dir = made ? made : "";
}

Scratch::~Scratch() {
    if (dir.empty()) return;
    std::string command = "rm -rf '" + dir + "'";
    (void)std::system(command.c_str());
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

Bytes readFile(const std::string& path) {
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    for (int c; (c = std::getc(file)) != EOF;)
        bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
    return bytes;
}

Bytes squareWav(int seconds, int halfPeriodSamples) {
    const uint32_t rate = 44100, samples = rate * seconds;
    Bytes wav = {'R', 'I', 'F', 'F', 0, 0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
                 ' ', 16,  0,   0,   0, 1, 0,   1,   0,   0x44, 0xAC, 0,   0,   0x44, 0xAC,
                 0,   0,   1,   0,   8, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0};
    for (int i = 0; i < 4; i++) {
        wav[4 + i] = static_cast<uint8_t>((36 + samples) >> (8 * i));
        wav[40 + i] = static_cast<uint8_t>(samples >> (8 * i));
    }
    for (uint32_t s = 0; s < samples; s++)
        wav.push_back((s / halfPeriodSamples) % 2 ? 0xF0 : 0x10);
    return wav;
}

} // namespace state_test
