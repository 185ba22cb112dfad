// Fast tape: a program of six kilobytes, saved by the open firmware with
// SAVE CAS: (about 84 s of tape), loaded back with LOAD CAS: the way the
// desktop runs the machine while the tape moves with "Fast tape" on: frames
// back to back in the fast timing mode, the sound mixed every frame, and
// the picture drawn once per 20 ms of wall time. One iteration is one whole
// load; the goal is under a second of wall time on one core.
#include "cpu/z80.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/tape_deck.h"
#include "media/tape_images.h"
#include "sound/mixer.h"
#include "tests/firmware/basic_session.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string scratch = "/tmp/orvane-fast-tape-bench";

// A BAC image in tape-block layout (253-byte payloads, the first one behind
// the marker 82h): line records ("nnnnn REM ...") making 6,144 bytes of
// program, then 00h padding.
std::vector<uint8_t> sixKilobyteProgram() {
    std::vector<uint8_t> file(1, 0x82);
    for (int line = 10; file.size() < 1 + 6144 - 48; line += 10) {
        std::string text = "REM SIX KILOBYTES OF PROGRAM, LINE " + std::to_string(line) + " ....";
        file.push_back(static_cast<uint8_t>(text.size() + 4));
        file.push_back(static_cast<uint8_t>(line));
        file.push_back(static_cast<uint8_t>(line >> 8));
        for (char c : text)
            file.push_back(static_cast<uint8_t>(c));
        file.push_back(0x0D);
    }
    file.resize((file.size() / 253 + 1) * 253, 0x00);
    return file;
}

std::vector<uint8_t> programBytes() {
    const uint8_t* memory = memoryArray();
    unsigned end = memory[0xFE20] | (memory[0xFE21] << 8);
    return end > 0x8000 ? std::vector<uint8_t>(memory + 0x8000, memory + end)
                        : std::vector<uint8_t>();
}

// Runs frames until the tape has started and stopped again, as the desktop's
// fast tape does; returns the frames run.
long runTapeFast() {
    using Clock = std::chrono::steady_clock;
    static std::vector<uint8_t> picture(FrameBufferBytes);
    Clock::time_point nextPicture = Clock::now();
    bool started = false;
    long frames = 0;
    while (frames < 20000 && !(started && !TapeMotorRunning())) {
        started = started || TapeMotorRunning();
        runFrameFast();
        MixUpTo(cpu.TCOUNT);
        frames++;
        if (Clock::now() >= nextPicture) {
            for (int line = 0; line < VisibleLines; line++)
                renderLine(line, picture.data(), 0);
            nextPicture += std::chrono::milliseconds(20);
        }
    }
    return frames;
}

void BM_FastTapeLoadOfASixKilobyteProgram(benchmark::State& state) {
    basic_test::bootMachine();
    std::string bac = scratch + ".bac", wav = scratch + ".wav";
    std::vector<uint8_t> image = sixKilobyteProgram();
    if (std::FILE* file = std::fopen(bac.c_str(), "wb")) {
        std::fwrite(image.data(), 1, image.size(), file);
        std::fclose(file);
    }
    if (!LoadBacImage(bac)) {
        state.SkipWithError("the program did not load");
        return;
    }
    const std::vector<uint8_t> saved = programBytes();
    StartTapeRecording(wav, 44100);
    typeText("SAVE CAS:SIXKB\r");
    long savedFrames = runTapeFast();
    if (tapeDeck.file) {
        state.SkipWithError("the recording did not end");
        return;
    }

    long loadedFrames = 0;
    for (auto _ : state) {
        state.PauseTiming();
        basic_test::typeAndRun("NEW\r");
        OpenTapeForReading(wav);
        typeText("LOAD CAS:\r");
        state.ResumeTiming();
        loadedFrames = runTapeFast();
        state.PauseTiming();
        bool same = programBytes() == saved;
        CloseTape();
        state.ResumeTiming();
        if (!same) {
            state.SkipWithError("the loaded program differs from the saved one");
            break;
        }
    }
    state.counters["program bytes"] = static_cast<double>(saved.size());
    state.counters["tape seconds"] = static_cast<double>(savedFrames) / 50;
    state.counters["load seconds emulated"] = static_cast<double>(loadedFrames) / 50;
    std::remove(bac.c_str());
    std::remove(wav.c_str());
}
BENCHMARK(BM_FastTapeLoadOfASixKilobyteProgram)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace
