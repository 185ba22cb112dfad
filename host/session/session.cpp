// Start-up, loading and save states shared by the front ends.
#include "host/session/session.h"

#include "abc80/abc80.h"
#include "abc80/history.h"
#include "abc80/save_state.h"
#include "host/session/frames.h"
#include "host/session/typing.h"
#include "machine/frame.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "media/host_file.h"
#include "media/tape_deck.h"
#include "media/wav_layout.h"

namespace {

constexpr const char* ExternalBasicMissing =
    "No ZaVUR80BASIC.ROM found; the old BASIC slot runs instead.";

SessionResult done(std::string message) { return SessionResult{Outcome::Done, std::move(message)}; }

// The status bar and a console line show one line: notes are joined.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

} // namespace

SessionStart StartSession() {
    installRomImages();
    const bool externalWanted = basicRom == BasicRomExternal;
    machineInit();
    ForgetQueuedTyping();
    ForgetFastTape();
    SessionStart start;
    if (externalWanted && basicRom != BasicRomExternal) start.warning = ExternalBasicMissing;
    start.romLine = runningRomDescription();
    return start;
}

// Starting a program from a file starts from an empty program: a plain
// reset keeps RAM, and the open firmware would keep the program in it, so
// a text program typed in next would be merged into the old one.
void ResetForAutostart() {
    ForgetQueuedTyping();
    machineHardReset();
    runFramesBlind(50);
}

SessionResult ChooseSessionBasic(uint32_t choice) {
    basicRom = choice;
    const bool missing = basicRom == BasicRomExternal && !loadExternalRom();
    SessionReset();
    return done(missing ? ExternalBasicMissing : "");
}

SessionResult ChooseSessionDos(uint32_t choice) {
    dosRom = choice;
    const bool missing = runningDos(dosRom) != dosRom;
    SessionReset();
    return done(missing ? std::string("No ") + dosRomName(dosRom) +
                              " image is installed; the machine runs the Open DOS."
                        : "");
}

void SessionReset() {
    ForgetQueuedTyping();
    machineReset();
}

void SessionHardReset() {
    ForgetQueuedTyping();
    machineHardReset();
}

SessionLoad LoadSessionFile(const std::string& path, LoadStart start,
                            const std::string& shownName) {
    const std::string& name = shownName.empty() ? path : shownName;
    SessionLoad load;
    load.kind = MediaFileKindOf(path);
    auto refuse = [&](Outcome outcome, const std::string& cause) {
        load.outcome = outcome;
        load.cause = cause;
        load.message = "Cannot load " + name + ": " + cause + ".";
        return load;
    };
    // Refusals come before the reset, so they lose nothing.
    if (load.kind == MediaFileKind::Unknown)
        return refuse(Outcome::Failed, "not an .atp, .bac, .bas or .wav file");
    if (load.kind == MediaFileKind::Wav && tapeDeck.file && !TapeInserted())
        return refuse(Outcome::Refused, "the deck is recording to " + tapeDeck.path +
                                            "; eject it (ending the recording) first");
    if (load.kind == MediaFileKind::Wav) {
        const std::string why = WhyNotATapeRecording(path);
        if (!why.empty()) return refuse(Outcome::Failed, why);
    }
    if (start == LoadStart::Autostart) ResetForAutostart();
    if (!LoadMediaFile(path)) return refuse(Outcome::Failed, MediaError());
    historyMachineChanged(); // the program went into memory, or a tape or disk in
    load.outcome = Outcome::Done;
    load.message = "Loaded " + name + ".";
    if (!MediaWarning().empty()) load.message += " Warning: " + MediaWarning() + ".";
    if (start != LoadStart::Insert) {
        load.typeAfter = TextToTypeAfterLoad(load.kind, start == LoadStart::Autostart);
        if (load.typeAfter) TypeAfterCurrent(load.typeAfter);
    }
    return load;
}

SessionResult SaveSessionState(const std::string& path, const std::string& what) {
    std::string message;
    if (!saveStateFile(path, message)) return SessionResult{Outcome::Failed, oneLine(message)};
    return done("State saved to " + what + ".");
}

SessionResult LoadSessionState(const std::string& path, const std::string& what) {
    std::string message;
    if (!loadStateFile(path, message)) return SessionResult{Outcome::Failed, oneLine(message)};
    ForgetQueuedTyping();
    return done("State loaded from " + what + "." +
                (message.empty() ? "" : " " + oneLine(message)));
}
