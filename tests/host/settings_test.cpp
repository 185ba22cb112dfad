// The settings store: first run, round trip through a normal exit, values
// out of range, and the start-up speed taken from the store.
#include <QFile>
#include <QScreen>
#include <QSettings>

#include <algorithm>

#include "desktop_fixture.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "host/qt/window_extras.h"
#include "host/sound/drivers.h"
#include "machine/memory.h"
#include "sound/mixer.h"

namespace {

using SettingsTest = DesktopTest;

QSettings store() { return QSettings("Emulators", "Orvane"); }

TEST_F(SettingsTest, FirstRunStoresEveryDefault) {
    {
        QSettings settings("Emulators", "Orvane");
        ReadAllSettings(settings);
    }
    QSettings settings("Emulators", "Orvane");
    const std::pair<const char*, int> expected[] = {
        {"SoundDriver", 1},     {"VideoDriver", 1}, {"CycleBased", 0}, {"KeepAspectRatio", 1},
        {"SyncSpeed", 1},       {"BasicROM", 0},    {"DosROM", 2},     {"FastTape", 1},
        {"NaturalKeyboard", 1}, {"Language", 0}};
    for (const auto& [name, value] : expected) {
        ASSERT_TRUE(settings.contains(name)) << name;
        EXPECT_EQ(settings.value(name).toInt(), value) << name;
    }
    EXPECT_EQ(settings.allKeys().size(), 10);
}

TEST_F(SettingsTest, BadStoredValuesFallBackToTheirDefaults) {
    {
        QSettings settings("Emulators", "Orvane");
        settings.setValue("SoundDriver", 7);
        settings.setValue("SyncSpeed", "fast");
        settings.setValue("BasicROM", -1);
        settings.setValue("DosROM", 1);
        settings.setValue("VideoDriver", 2);
    }
    QSettings settings("Emulators", "Orvane");
    ReadAllSettings(settings);
    EXPECT_EQ(SoundDriverSetting, 1u);
    EXPECT_EQ(SyncSpeed, 1u);
    EXPECT_EQ(basicRom, 0u);
    EXPECT_EQ(dosRom, 1u);
    EXPECT_EQ(VideoDriverSetting, 2u);
    EXPECT_EQ(settings.value("SoundDriver").toInt(), 1) << "the default is stored back";
}

TEST_F(SettingsTest, ChoicesSurviveANormalExit) {
    startDesktop();
    window().OnCommand(40019);       // 400 %
    window().OnCommand(CmdDosFirst); // no DOS
    window().OnCommand(CmdCycleBased);
    window().OnCommand(CmdKeepAspect);
    window().OnCommand(CmdSoundFirst); // no sound
    ShutdownDesktop();
    {
        QSettings settings("Emulators", "Orvane");
        EXPECT_EQ(settings.value("SyncSpeed").toInt(), 5);
        EXPECT_EQ(settings.value("DosROM").toInt(), 0);
        EXPECT_EQ(settings.value("CycleBased").toInt(), 1);
        EXPECT_EQ(settings.value("KeepAspectRatio").toInt(), 0);
        EXPECT_EQ(settings.value("SoundDriver").toInt(), 0);
    }
    ResetSettingsToDefaults();
    startDesktop();
    EXPECT_EQ(desktop.pacer.speedIndex, 5u);
    EXPECT_TRUE(window().isChecked(40019));
    EXPECT_FALSE(window().isChecked(40015));
    EXPECT_TRUE(window().isChecked(CmdCycleBased));
    EXPECT_FALSE(window().isChecked(CmdKeepAspect));
    EXPECT_TRUE(window().isChecked(CmdDosFirst));
}

// A sound device that is missing at start-up is reported once: the fallback
// is stored at once, so the next start (even after a crash) is quiet.
TEST_F(SettingsTest, ASoundDriverThatFailsAtStartIsReportedOnlyOnce) {
    store().setValue("SoundDriver", 2); // ALSA, which has no device on test machines
    startDesktop();
    if (CurrentSoundDriver() == &AlsaSoundDriver) GTEST_SKIP() << "ALSA opened here";
    QCoreApplication::processEvents();
    const auto aboutAlsa = std::count_if(messages.begin(), messages.end(), [](const auto& m) {
        return m.second.contains("\"ALSA\" could not be opened");
    });
    EXPECT_EQ(aboutAlsa, 1);
    // On disk before any exit: another QSettings in this process would only
    // show the shared cache.
    QFile file(folder.path() + "/config/Emulators/Orvane.conf");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("SoundDriver=0"));
}

TEST_F(SettingsTest, SavedNoLimitSurvivesARestart) {
    {
        QSettings settings("Emulators", "Orvane");
        settings.setValue("SyncSpeed", 0);
    }
    startDesktop(50);
    EXPECT_EQ(desktop.pacer.speedIndex, 0u);
    EXPECT_TRUE(window().isChecked(40014));
    // One refresh period at 50 Hz is 20 ms; no limit counts every other one.
    EXPECT_EQ(desktop.pacer.displayInterval, 40000000u);
    window().OnCommand(40014); // Alt+W: back to 100 %
    EXPECT_EQ(desktop.pacer.speedIndex, 1u);
    EXPECT_EQ(desktop.pacer.displayInterval, 20000000u);
    ShutdownDesktop();
    EXPECT_EQ(store().value("SyncSpeed").toInt(), 1);
}

} // namespace

namespace {

TEST(WindowPlace, KeptInsideTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    EXPECT_EQ(KeepInside(QRect(100, 100, 720, 600), screen), QRect(100, 100, 720, 600));
    EXPECT_EQ(KeepInside(QRect(1000, 900, 720, 600), screen), QRect(560, 424, 720, 600));
    EXPECT_EQ(KeepInside(QRect(-50, -20, 2000, 1500), screen), screen);
    EXPECT_EQ(KeepInside(QRect(-300, 10, 400, 300), screen), QRect(0, 10, 400, 300));
}

using WindowGeometryTest = DesktopTest;

TEST_F(WindowGeometryTest, SizeAndPlaceAreRememberedAndKeptOnTheScreen) {
    startDesktop();
    window().setGeometry(40, 50, 600, 480);
    ShutdownDesktop();
    {
        QSettings settings("Emulators", "Orvane");
        EXPECT_FALSE(settings.value("WindowGeometry").toByteArray().isEmpty());
    }
    startDesktop();
    EXPECT_EQ(window().geometry().size(), QSize(600, 480));
    EXPECT_EQ(window().geometry().topLeft(), QPoint(40, 50));

    // A size stored on a larger screen comes back inside this one.
    window().setGeometry(0, 0, 5000, 4000);
    ShutdownDesktop();
    startDesktop();
    const QRect available = window().screen()->availableGeometry();
    EXPECT_LE(window().geometry().width(), available.width());
    EXPECT_LE(window().geometry().height(), available.height());
}

} // namespace
