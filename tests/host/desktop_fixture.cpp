// The desktop tests' shared set-up; see desktop_fixture.h.
#include "desktop_fixture.h"

#include <fstream>

#include "abc80/abc80.h"
#include "host/qt/language.h"
#include "host/qt/settings.h"
#include "machine/frame.h"
#include "media/disk_card.h"
#include "media/tape_deck.h"
#include "monitor/monitor.h"

namespace {

int leaveOpen(void*, const char*) { return 1; }
void leaveClose(void*) {}
void leaveWrite(void*, const char*, int) {}
int leaveReadLine(void*, char* line, int size) {
    std::snprintf(line, static_cast<size_t>(size), "x\n");
    return 1;
}
int leaveColumns(void*) { return 80; }
const MonitorConsole LeavingConsole = {nullptr,    leaveOpen,     leaveClose,
                                       leaveWrite, leaveReadLine, leaveColumns};

} // namespace

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "orvane-tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The tests read the English texts whatever the machine's locale.
        qputenv("LC_ALL", "en_GB.UTF-8");
        qputenv("SDL_AUDIODRIVER", "dummy");
        new QApplication(argc, argv);
    }
}

void DesktopTest::SetUp() {
    EnsureApplication();
    ASSERT_TRUE(folder.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path() + "/config");
    // Quick save-state slots live under the per-user data folder.
    qputenv("XDG_DATA_HOME", (folder.path() + "/data").toUtf8());
    previousDirectory = QDir::currentPath();
    QDir::setCurrent(folder.path());
    ResetSettingsToDefaults();
    // A new process: RAM, ROM choices and devices as at power-on, whatever an
    // earlier test left behind (a BASIC program, say).
    machinePowerOn();
    SetTapeSound(0); // as at program start; an earlier test may have switched it on
}

void DesktopTest::TearDown() {
    if (desktop.window) ShutdownDesktop();
    ApplyLanguage(LanguageEnglish); // a test may have chosen Swedish
    QDir::setCurrent(previousDirectory);
}

void DesktopTest::startDesktop(int refreshHz) {
    // The drives' write-protect switches outlive a window, as a drive's
    // switch would: every test starts with them off.
    for (unsigned drive = 0; drive < MenuDrives; drive++)
        SetDriveWriteProtect(drive, false);
    DesktopOptions options;
    options.clock = &fake.clock;
    options.refreshHz = refreshHz;
    options.showWindow = false;
    options.messageBox = [this](const QString& caption, const QString& text) {
        messages.emplace_back(caption, text);
    };
    ASSERT_EQ(StartDesktop(options), 1);
    window().fileDialog = [this](const FileRequest& request) {
        requests.push_back(request);
        if (dialogAnswers.empty()) return QString();
        QString answer = dialogAnswers.front();
        dialogAnswers.erase(dialogAnswers.begin());
        return answer;
    };
    window().messageBox = [this](const QString& caption, const QString& text) {
        messages.emplace_back(caption, text);
    };
    window().keyboardHelpDialog = [this](QWidget*) { keyboardHelpShown++; };
    window().messageLogDialog = [this](QWidget*) { messageLogShown++; };
    monitorSetConsole(&LeavingConsole);
}

std::string DesktopTest::path(const char* name) const {
    return (folder.path() + "/" + name).toStdString();
}

std::string DesktopTest::writeFile(const char* name, const std::string& bytes) const {
    std::string full = path(name);
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}

std::string DesktopTest::runFramesAndReadScreen(int frames) {
    for (int i = 0; i < frames; i++)
        RunOneFrame();
    return window().ScreenTextForClipboard().toStdString();
}

// Fontconfig keeps a cache for the life of the process; it is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
