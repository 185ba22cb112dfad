#include "machine/peripherals.h"

#include <cstdint>

namespace {
int noTape() { return 0; }
int idleInput(uint64_t) { return 0; }
void noMotor(int, uint64_t) {}
void noOutput(uint64_t, int) {}
void nothing() {}
void noCounter(uint64_t) {}
uint64_t never() { return UINT64_MAX; }
uint8_t noCardRead(int, int) { return 0; }
void noCardWrite(int, int, uint8_t) {}
} // namespace

CassettePort cassettePort{noTape, idleInput, noMotor, noOutput, nothing, noCounter, noTape, never};
CardBus cardBus{noCardRead, noCardWrite, nothing};

void connectCassette(const CassettePort& port) {
    cassettePort.playing = port.playing ? port.playing : noTape;
    cassettePort.sampleInput = port.sampleInput ? port.sampleInput : idleInput;
    cassettePort.setMotor = port.setMotor ? port.setMotor : noMotor;
    cassettePort.renderOutput = port.renderOutput ? port.renderOutput : noOutput;
    cassettePort.close = port.close ? port.close : nothing;
    cassettePort.frameEnd = port.frameEnd ? port.frameEnd : noCounter;
    cassettePort.inserted = port.inserted ? port.inserted : noTape;
    cassettePort.nextSampleCycle = port.nextSampleCycle ? port.nextSampleCycle : never;
}

void connectCards(const CardBus& bus) {
    cardBus.read = bus.read ? bus.read : noCardRead;
    cardBus.write = bus.write ? bus.write : noCardWrite;
    cardBus.reset = bus.reset ? bus.reset : nothing;
}
