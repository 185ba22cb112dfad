// The driver table and the driver choice.
#include <cstdio>

#include "host/sound/drivers.h"

const SoundDriver* const SoundDrivers[SoundDriverCount] = {&NoSoundDriver, &SdlSoundDriver,
                                                           &AlsaSoundDriver};

void OpenSoundDriver(uint32_t index) {
    ShutdownSoundSystem();
    if (index >= SoundDriverCount) index = SoundDriverCount - 1;
    SoundDriverSetting = index;
    const SoundDriver* driver = SoundDrivers[index];
    if (driver == &NoSoundDriver) {
        InstallSoundDriver(&NoSoundDriver);
        return;
    }
    if (driver->Open(SoundSampleRate)) {
        InstallSoundDriver(driver);
        return;
    }
    std::fprintf(stderr, "Sound driver %s could not be opened; the machine runs silent.\n",
                 driver->name);
    InstallSoundDriver(&NoSoundDriver);
}

uint32_t OpenWorkingSoundDriver(uint32_t index) {
    if (index >= SoundDriverCount) index = SoundDriverCount - 1;
    // The platform drivers from the chosen one on, round the table.
    for (uint32_t tried = 0; index != 0 && tried + 1 < SoundDriverCount; tried++) {
        OpenSoundDriver(index);
        if (CurrentSoundDriver() == SoundDrivers[index]) return index;
        index = index + 1 < SoundDriverCount ? index + 1 : 1;
    }
    OpenSoundDriver(0);
    return 0;
}
