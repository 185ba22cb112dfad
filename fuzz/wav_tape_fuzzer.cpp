// A random file opened as the tape to play and sampled across its whole
// length, the way the cycle-based frame driver samples it between steps.
// The first byte steers the motor; the rest is the file. Checked: the file is
// unchanged, the input level is 0 or 1 (0 while the motor is stopped), and
// the deck closes cleanly after sampling past the end.
#include <cmath>
#include <string>

#include "cpu/z80.h"
#include "fuzz/fuzz_support.h"
#include "machine/ports.h"
#include "media/tape_deck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    fuzz::prepareMachine();
    const uint8_t control = data[0];
    const std::string path = fuzz::scratchPath("tape.wav");
    fuzz::writeFile(path, data + 1, size - 1);
    const uint64_t hash = fuzz::fileHash(path);
    const double fileBytes = static_cast<double>(size - 1);

    OpenTapeForReading(path);
    FUZZ_CHECK(TapeIsPlaying());
    FUZZ_CHECK(tapeDeck.file != nullptr);
    uint64_t cycle = cpu.TCOUNT + 1000;
    SetTapeMotor(1, cycle);

    // Every byte of the file is at most eight samples (1-bit files); aim a
    // little past the last one, a few calls per sample.
    const double ratio = tapeDeck.ratio;
    const double samples = 8.0 * fileBytes + 16;
    double step = ratio > 0 ? 1.0 / (2.5 * ratio) : 1000.0;
    if (step < 1) step = 1;
    const double lengthCycles = ratio > 0 ? samples / ratio : 10000.0;
    const long calls = static_cast<long>(std::fmin(lengthCycles / step, 4 * samples + 64)) + 2;
    const long pauseAt = (control & 0x0F) * calls / 16;
    const uint64_t stride = static_cast<uint64_t>(step);

    int lastLevel = 0;
    for (long i = 0; i < calls; i++) {
        cycle += stride;
        if (i == pauseAt && (control & 0x10)) {
            SetTapeMotor(0, cycle);
            FUZZ_CHECK(SampleTapeInput(cycle + 5 * stride) == 0); // a stopped motor reads low
            cycle += (control >> 5) * stride;
            SetTapeMotor(1, cycle);
        }
        int level = SampleTapeInput(cycle);
        FUZZ_CHECK(level == 0 || level == 1);
        if (level != lastLevel) {
            tapeEdge();
            lastLevel = level;
        }
        if ((i & 1023) == 0) UpdateTapeCounter(cycle);
    }
    UpdateTapeCounter(cycle);
    CloseTape();
    FUZZ_CHECK(tapeDeck.file == nullptr);
    FUZZ_CHECK(fuzz::fileHash(path) == hash);
    return 0;
}
