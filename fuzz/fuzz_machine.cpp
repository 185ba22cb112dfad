// The machine in a known state for the fuzz targets that drive it.
#include "fuzz/fuzz_support.h"

#include <cstring>
#include <filesystem>

#include "cpu/z80.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"

namespace fuzz {

void prepareMachine() {
    static bool once = [] {
        std::filesystem::create_directories(scratchPath("roms"));
        setRomFolder(scratchPath("roms"));
        setPrinterDirectory(scratchFolder());
        keyboardInit();
        cpuInit(MachineClockHz); // fills the handler tables, once
        return true;
    }();
    (void)once;
    clearRomImages();
    basicRom = BasicRomOld;
    dosRom = DosRomNone;
    externalRomKnown = false;
    keyboardReset();
    cpuReset();
    std::memset(PortLatches, 0, sizeof PortLatches);
    cardSelect = NoCardSelected;
}

} // namespace fuzz
