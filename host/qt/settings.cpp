// The settings table and its reading and writing; see settings.h.
#include "host/qt/settings.h"

#include <QSettings>

#include "host/qt/language.h"
#include "machine/memory.h"
#include "sound/mixer.h"

uint32_t VideoDriverSetting = 1;
uint32_t CycleBased = 0;
uint32_t KeepAspectRatio = 1;
uint32_t SyncSpeed = 1;
uint32_t FastTape = 1;
uint32_t NaturalKeyboard = 1;

const SettingRecord SettingsTable[] = {
    {"SoundDriver", &SoundDriverSetting, 1, 2},
    {"VideoDriver", &VideoDriverSetting, 1, 2},
    {"CycleBased", &CycleBased, 0, 1},
    {"KeepAspectRatio", &KeepAspectRatio, 1, 1},
    {"SyncSpeed", &SyncSpeed, 1, 6},
    {"FastTape", &FastTape, 1, 1},
    {"BasicROM", &basicRom, BasicRomOld, 2},
    {"DosROM", &dosRom, DosRomUfddos, 2},
    {"NaturalKeyboard", &NaturalKeyboard, 1, 1},
    {"Language", &LanguageSetting, LanguageSystem, LanguageSwedish},
};
const int SettingsCount = sizeof SettingsTable / sizeof SettingsTable[0];

void ResetSettingsToDefaults() {
    for (const SettingRecord& record : SettingsTable)
        *record.variable = record.defaultValue;
}

void ReadAllSettings(QSettings& store) {
    for (const SettingRecord& record : SettingsTable) {
        QVariant stored = store.value(record.name);
        bool isNumber = false;
        qlonglong value = stored.isValid() ? stored.toLongLong(&isNumber) : 0;
        if (isNumber && value >= 0 && value <= record.highest) {
            *record.variable = static_cast<uint32_t>(value);
        } else {
            *record.variable = record.defaultValue;
            store.setValue(record.name, record.defaultValue);
        }
    }
}

int WriteAllSettings(QSettings& store) {
    for (const SettingRecord& record : SettingsTable)
        store.setValue(record.name, *record.variable);
    store.sync();
    return store.status() == QSettings::NoError ? 1 : 0;
}
