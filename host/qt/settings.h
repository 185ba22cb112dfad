// The choices the desktop program remembers between runs, bound to
// their program variables through one table. The table is read once at
// start-up (before anything uses the variables) and written once at exit,
// in the per-user store of organisation "Emulators", application "Orvane".
// A value that is missing, not a number, or outside its range is replaced by
// the variable's default, which is stored back at once.
#pragma once

#include <cstdint>

class QSettings;

// The desktop's own settings (the sound driver, BASIC ROM and DOS choices
// live with their subsystems).
extern uint32_t VideoDriverSetting; // "VideoDriver": 0 software, 1 accelerated, 2 OpenGL
extern uint32_t CycleBased;         // "CycleBased": 1 draws the picture line by line while running
extern uint32_t KeepAspectRatio;    // "KeepAspectRatio": 1 keeps the picture at 4:3
extern uint32_t SyncSpeed;          // "SyncSpeed": speed index 0-6
extern uint32_t FastTape;           // "FastTape": 1 lifts the speed limit while the tape moves
extern uint32_t NaturalKeyboard;    // "NaturalKeyboard": 1 types what the host key shows

struct SettingRecord {
    const char* name;
    uint32_t* variable;
    uint32_t defaultValue;
    uint32_t highest; // values above it are out of range
};

extern const SettingRecord SettingsTable[];
extern const int SettingsCount;

// Puts every variable back to its default.
void ResetSettingsToDefaults();
// Reads every value into its variable; the store is opened by the caller.
void ReadAllSettings(QSettings& store);
// Writes every variable; 1 when the store accepted them.
int WriteAllSettings(QSettings& store);
