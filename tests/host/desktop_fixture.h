// Shared set-up for the desktop tests: a QApplication on the offscreen
// platform, a settings folder of the test's own, a stand-in clock, file
// dialogs that return a chosen path, recorded message boxes and a monitor
// console that leaves at once.
#pragma once

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <string>
#include <vector>

#include "host/qt/desktop.h"
#include "host/qt/main_window.h"
#include "host/qt/pacing.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Ticks are nanoseconds; sleeping moves the clock on by 1 ms.
struct FakeClock {
    int64_t now = 1000000000;
    int sleeps = 0;
    PaceClock clock;
    FakeClock() {
        clock.frequency = 1000000000;
        clock.now = [this] { return now; };
        clock.sleepOneMs = [this] {
            now += 1000000;
            sleeps++;
        };
    }
    void advanceMs(int64_t ms) { now += ms * 1000000; }
};

void EnsureApplication();

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program as it starts for the user (settings read, machine
    // initialised, window built), with the stand-ins in place.
    void startDesktop(int refreshHz = 50);
    // A path inside the test's folder.
    std::string path(const char* name) const;
    // Writes a file into the test's folder and returns its path.
    std::string writeFile(const char* name, const std::string& bytes) const;
    // Runs frames, then returns the screen text.
    std::string runFramesAndReadScreen(int frames);
    MainWindow& window() { return *desktop.window; }

    QTemporaryDir folder;
    QString previousDirectory;
    FakeClock fake;
    std::vector<FileRequest> requests;                 // every dialog asked for
    std::vector<QString> dialogAnswers;                // answered in order; "" = cancel
    std::vector<std::pair<QString, QString>> messages; // (caption, text)
    int keyboardHelpShown = 0;
    int messageLogShown = 0;
};
