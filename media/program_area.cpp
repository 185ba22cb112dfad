// Appending loaded program bytes to the BASIC program area and closing the
// program with its end byte and system words.
#include "media/program_area.h"

#include "cpu/bus.h"
#include "machine/memory.h"

#include <cstdio>
#include <cstring>

uint32_t AppendProgramBytes(ProgramLoad& load, const uint8_t* bytes, uint32_t n) {
    uint32_t room = load.count < ProgramAreaCapacity ? ProgramAreaCapacity - load.count : 0;
    uint32_t fits = n < room ? n : room;
    if (fits < n && !load.truncated) {
        load.truncated = 1;
        std::fprintf(stderr, "Program larger than memory: load stopped at FFFFh.\n");
    }
    if (fits > 0) std::memcpy(memoryArray() + ProgramAreaStart + load.count, bytes, fits);
    load.count += fits;
    return fits;
}

void AppendBlockPayload(ProgramLoad& load, const uint8_t* payload, uint32_t n) {
    uint32_t length = n;
    for (uint32_t p = 0; p + 1 < n; ++p) {
        if (payload[p] == 0x0D && payload[p + 1] == 0x00) {
            length = p + 1;
            break;
        }
    }
    AppendProgramBytes(load, payload, length);
}

uint16_t FinishProgram(const ProgramLoad& load) {
    uint16_t end = static_cast<uint16_t>(ProgramAreaStart + load.count);
    memoryArray()[end] = 0x01;
    writeWord(ProgramEndPointer, static_cast<uint16_t>(end + 1));
    writeWord(ProgramTopPointer, static_cast<uint16_t>(end + 2));
    return end;
}
