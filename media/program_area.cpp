// Staging loaded program bytes and committing them to the program area.
#include "media/program_area.h"

#include "cpu/bus.h"
#include "machine/memory.h"
#include "machine/roms.h"

#include <cstring>

namespace {

bool openFirmwareRuns() { return basicRom < BasicRomExternal && basicRomSource(basicRom).empty(); }

} // namespace

uint32_t ProgramAreaRoom() {
    uint32_t end = openFirmwareRuns() ? OpenFirmwareProgramEnd : ProgramEndPointer;
    return end - ProgramAreaStart - 1; // the end byte takes the last place
}

void StartProgramLoad(ProgramLoad& load) {
    load.bytes.clear();
    load.room = ProgramAreaRoom();
    load.tooBig = 0;
}

const char* ProgramTooBigText() {
    return openFirmwareRuns() ? "program too big: more than the 29,695 bytes below F400h"
                              : "program too big: more than the 32,285 bytes below FE1Eh";
}

uint32_t AppendProgramBytes(ProgramLoad& load, const uint8_t* bytes, uint32_t n) {
    uint32_t used = static_cast<uint32_t>(load.bytes.size());
    uint32_t free = load.room > used ? load.room - used : 0;
    uint32_t fits = n < free ? n : free;
    if (fits < n) load.tooBig = 1;
    load.bytes.insert(load.bytes.end(), bytes, bytes + fits);
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

uint16_t CommitProgram(const ProgramLoad& load) {
    uint32_t count = static_cast<uint32_t>(load.bytes.size());
    if (count > 0xFFFF - ProgramAreaStart) count = 0xFFFF - ProgramAreaStart;
    if (count > 0) std::memcpy(memoryArray() + ProgramAreaStart, load.bytes.data(), count);
    uint16_t end = static_cast<uint16_t>(ProgramAreaStart + count);
    memoryArray()[end] = 0x01;
    writeWord(ProgramEndPointer, static_cast<uint16_t>(end + 1));
    writeWord(ProgramTopPointer, static_cast<uint16_t>(end + 2));
    return end;
}
