// The peripherals the machine drives but does not own: the cassette recorder
// on the PIO's tape lines and the disk cards on the ABC bus. Their models live
// above the machine (media/); the machine owner (abc80/) connects them, so the
// port map and the frame driver reach them through these records. Unconnected,
// there is no recorder (the input line idle, no counter) and no card answers.
#pragma once

#include <cstdint>

struct CassettePort {
    int (*playing)() = nullptr; // the input line is sampled while this is true
    int (*sampleInput)(uint64_t cycle) = nullptr;
    void (*setMotor)(int on, uint64_t cycle) = nullptr;
    void (*renderOutput)(uint64_t cycle, int level) = nullptr;
    void (*close)() = nullptr;
    void (*frameEnd)(uint64_t cycle) = nullptr; // the tape counter
    // A tape is in the deck to play: the fast timing mode polls the input.
    int (*inserted)() = nullptr;
    // A cycle no later than the one at which the input can next change
    // (UINT64_MAX while it cannot: no tape, or the motor stopped).
    uint64_t (*nextSampleCycle)() = nullptr;
};

struct CardBus {
    uint8_t (*read)(int cardCode, int port) = nullptr;
    void (*write)(int cardCode, int port, uint8_t value) = nullptr;
    void (*reset)() = nullptr;
};

// In use; every entry is set.
extern CassettePort cassettePort;
extern CardBus cardBus;

// An empty entry gets the "nothing there" default.
void connectCassette(const CassettePort& port);
void connectCards(const CardBus& bus);
