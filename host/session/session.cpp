// Start-up and loading shared by the front ends.
#include "host/session/session.h"

#include "abc80/abc80.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "media/host_file.h"

SessionStart StartSession() {
    installRomImages();
    const bool externalWanted = basicRom == BasicRomExternal;
    machineInit();
    SessionStart start;
    if (externalWanted && basicRom != BasicRomExternal)
        start.warning = "No ZaVUR80BASIC.ROM found; the old BASIC slot runs instead";
    start.romLine = runningRomDescription();
    return start;
}

void ResetForAutostart() {
    machineReset();
    runFramesBlind(50);
}

SessionLoad LoadSessionFile(const std::string& path, bool autostart) {
    SessionLoad load;
    load.kind = MediaFileKindOf(path);
    // A file no loader takes is refused before the reset, losing nothing.
    if (autostart && load.kind != MediaFileKind::Unknown) ResetForAutostart();
    if (!LoadMediaFile(path)) {
        load.cause = MediaError();
        return load;
    }
    load.loaded = 1;
    load.message = "Loaded " + path + ".";
    load.typeAfter = TextToTypeAfterLoad(load.kind, autostart);
    return load;
}
