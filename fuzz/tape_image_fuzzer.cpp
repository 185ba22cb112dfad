// The ATP, BAC and BAS loaders on arbitrary files. The first byte picks the
// loader; the rest is the file. Afterwards:
//   - the file is unchanged;
//   - a refused file (result 0) changed nothing in memory and gave a reason;
//   - nothing below the program area changed;
//   - the end byte lies inside the program area of the BASIC that runs;
//   - in the program area only the loaded bytes, the end byte and the two
//     system words changed, and the words agree with each other;
//   - a BAS text file types its text instead of touching memory;
//   - a program that is a whole chain of line records comes back byte for
//     byte after saving it as BAC and loading that file again.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/host_file.h"
#include "media/program_area.h"
#include "media/tape_images.h"

namespace {

uint8_t before[65536];

uint16_t wordAt(uint16_t address) {
    return static_cast<uint16_t>(MainMemory[address] | MainMemory[address + 1] << 8);
}

bool isSystemWord(uint32_t address) {
    return address >= ProgramEndPointer && address < ProgramTopPointer + 2u;
}

// Line records from 8000h up to the end byte, each at least two bytes long.
bool isRecordChain(uint32_t endByte) {
    uint32_t at = ProgramAreaStart;
    while (at < endByte) {
        uint8_t length = MainMemory[at];
        if (length < 2) return false;
        at += length;
    }
    return at == endByte;
}

uint8_t loaded[65536];

void checkSavedProgramReadsBack(uint32_t endByte) {
    const std::string saved = fuzz::scratchPath("saved.bac");
    std::memcpy(loaded, MainMemory, sizeof loaded);
    FUZZ_CHECK(SaveBacImage(saved) == 1);
    std::memset(MainMemory + ProgramAreaStart, 0xEE, 65536 - ProgramAreaStart);
    FUZZ_CHECK(LoadBacImage(saved) == 1);
    FUZZ_CHECK(std::memcmp(MainMemory + ProgramAreaStart, loaded + ProgramAreaStart,
                           endByte + 1 - ProgramAreaStart) == 0);
    FUZZ_CHECK(wordAt(ProgramEndPointer) == endByte + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    fuzz::prepareMachine();
    static const char* const Names[] = {"tape.atp", "tape.bac", "tape.bas"};
    int loader = data[0] % 3;
    const std::string path = fuzz::scratchPath(Names[loader]);
    fuzz::writeFile(path, data + 1, size - 1);
    const uint64_t hash = fuzz::fileHash(path);

    // A pattern no loader writes by chance over the whole of memory.
    static bool patterned = [] {
        for (uint32_t a = 0; a < 65536; a++)
            before[a] = static_cast<uint8_t>(a * 7 + (a >> 8) + 0x5B);
        return true;
    }();
    (void)patterned;
    std::memcpy(MainMemory, before, sizeof before);

    int result = loader == 0   ? LoadAtpImage(path)
                 : loader == 1 ? LoadBacImage(path)
                               : LoadBasFile(path);
    FUZZ_CHECK(fuzz::fileHash(path) == hash);
    if (result == 0) {
        FUZZ_CHECK(!MediaError().empty());
        FUZZ_CHECK(std::memcmp(MainMemory, before, sizeof before) == 0);
        FUZZ_CHECK(!typingInProgress());
        return 0;
    }
    FUZZ_CHECK(std::memcmp(MainMemory, before, ProgramAreaStart) == 0);

    bool touched = std::memcmp(MainMemory + ProgramAreaStart, before + ProgramAreaStart,
                               65536 - ProgramAreaStart) != 0;
    if (typingInProgress()) FUZZ_CHECK(loader == 2 && !touched);
    if (!touched) return 0;

    // The end pointer names the address after the end byte; everything from
    // there up, apart from the two words, is as it was.
    uint16_t afterEnd = wordAt(ProgramEndPointer);
    FUZZ_CHECK(afterEnd > ProgramAreaStart || afterEnd == 0x0000);
    uint32_t endByte = afterEnd == 0 ? 0xFFFF : afterEnd - 1u;
    FUZZ_CHECK(endByte <= ProgramAreaStart + ProgramAreaRoom());
    FUZZ_CHECK(wordAt(ProgramTopPointer) == static_cast<uint16_t>(afterEnd + 1));
    FUZZ_CHECK(isSystemWord(endByte) || MainMemory[endByte] == 0x01);
    for (uint32_t a = endByte + 1; a < 65536;) {
        if (isSystemWord(a)) {
            a++;
            continue;
        }
        uint32_t until = a < ProgramEndPointer ? ProgramEndPointer : 65536;
        FUZZ_CHECK(std::memcmp(MainMemory + a, before + a, until - a) == 0);
        a = until;
    }
    if (endByte > ProgramAreaStart && endByte < ProgramEndPointer && isRecordChain(endByte))
        checkSavedProgramReadsBack(endByte);
    return 0;
}
