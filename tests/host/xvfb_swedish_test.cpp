// The real program under a Swedish locale, in an X server with a window
// manager, judged by what the screen shows: Alt+B opens the Band (Tape)
// menu, while Alt+F, the English File menu's key, opens nothing.
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <fstream>

#include "user_screen.h"

namespace {

int changedPixels(const QImage& before, const QImage& after) {
    if (before.size() != after.size()) return before.width() * before.height();
    int changed = 0;
    for (int y = 0; y < before.height(); y++)
        for (int x = 0; x < before.width(); x++)
            if (before.pixel(x, y) != after.pixel(x, y)) changed++;
    return changed;
}

QString xdotool(const QStringList& arguments) {
    QProcess run;
    run.start("xdotool", arguments);
    run.waitForFinished(20000);
    return QString::fromUtf8(run.readAllStandardOutput()).trimmed();
}

void settle(int ms) {
    QThread::msleep(ms);
    QGuiApplication::processEvents();
}

// A menu that opened covers far more than the blinking cursor does.
constexpr int MenuOpened = 4000;

TEST(XvfbSwedish, TheRealProgramShowsSwedishMenus) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "needs an X server";
    for (const char* tool : {"xdotool", "openbox", "xwd"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << "needs " << tool << " (./setup installs it)";
    static int argc = 1;
    static char name[] = "orvane-swedish-smoke";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);

    QProcess windowManager;
    windowManager.start("openbox", {});
    ASSERT_TRUE(windowManager.waitForStarted());
    settle(500);

    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    {
        QDir().mkpath(home.path() + "/config/Emulators");
        std::ofstream settings((home.path() + "/config/Emulators/Orvane.conf").toStdString());
        settings << "[General]\nSoundDriver=0\nVideoDriver=0\n";
    }
    QProcess orvane;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("LC_ALL");
    environment.remove("LC_MESSAGES");
    environment.remove("LANGUAGE");
    environment.insert("LANG", "sv_SE.UTF-8");
    environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
    environment.insert("HOME", home.path());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    orvane.setProcessEnvironment(environment);
    orvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    orvane.start(ORVANE_PROGRAM, {});
    ASSERT_TRUE(orvane.waitForStarted());

    const QString window =
        xdotool({"search", "--sync", "--onlyvisible", "--name", "^Orvane"}).section('\n', 0, 0);
    ASSERT_FALSE(window.isEmpty()) << "the window never showed";
    xdotool({"windowactivate", "--sync", window});
    settle(1500);

    const QImage before = CaptureRootWindow();
    xdotool({"key", "--window", window, "alt+f"});
    settle(800);
    const int afterF = changedPixels(before, CaptureRootWindow());
    xdotool({"key", "--window", window, "Escape"});
    settle(500);

    const QImage closed = CaptureRootWindow();
    xdotool({"key", "--window", window, "alt+b"});
    settle(800);
    const int afterB = changedPixels(closed, CaptureRootWindow());
    xdotool({"key", "--window", window, "Escape"});

    EXPECT_GT(afterB, MenuOpened) << "Alt+B (Band) opened no menu";
    EXPECT_LT(afterF, MenuOpened) << "Alt+F opened a menu: the menus are still English";

    orvane.terminate();
    if (!orvane.waitForFinished(10000)) orvane.kill();
    windowManager.terminate();
    windowManager.waitForFinished(5000);
}

} // namespace
