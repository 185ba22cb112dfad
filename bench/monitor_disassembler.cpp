// How fast the disassembler turns memory into lines: a RAM disassembly as
// the memory dump writes it (8000h to the end), over bytes that mix every
// table.
#include "monitor/disassembler.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

uint8_t image[65536];
uint8_t readImage(uint16_t address) { return image[address]; }

void fillMixedCode() {
    uint32_t x = 12345;
    for (uint8_t& b : image) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 16);
    }
}

void DisassembleRam(benchmark::State& state) {
    fillMixedCode();
    std::string line;
    int64_t lines = 0;
    for (auto _ : state) {
        uint16_t address = 0x8000;
        for (;;) {
            uint16_t next = disassembleWith(readImage, address, line);
            benchmark::DoNotOptimize(line.data());
            ++lines;
            if (next <= address) break;
            address = next;
        }
    }
    state.SetItemsProcessed(lines);
}
BENCHMARK(DisassembleRam)->Unit(benchmark::kMillisecond);

} // namespace
