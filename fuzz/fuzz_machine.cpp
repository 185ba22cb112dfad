// The machine in a known state for the fuzz targets that drive it.
#include "fuzz/fuzz_support.h"

#include <cstring>
#include <filesystem>

#include "abc80/abc80.h"
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
        return true;
    }();
    (void)once;
    machinePowerOn();
    clearRomImages();
    dosRom = DosRomNone;
    cardSelect = NoCardSelected;
}

} // namespace fuzz
