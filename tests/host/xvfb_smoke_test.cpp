// The program in a real X server (run under xvfb-run): the window comes up,
// the boot banner shows in the window's picture area, and a line typed as
// key events is echoed on the machine's screen.
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "host/qt/desktop.h"
#include "host/qt/main_window.h"
#include "host/qt/settings.h"

namespace {

void runFrames(int count) {
    for (int i = 0; i < count; i++) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        RunOneFrame();
    }
}

void typeKey(int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(desktop.window, &press);
    runFrames(3);
    QApplication::sendEvent(desktop.window, &release);
    runFrames(3);
}

TEST(XvfbSmoke, BootBannerShowsAndTypedLineEchoes) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "needs an X server (xvfb-run)";
    static int argc = 1;
    static char name[] = "orvane-smoke";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    {
        QSettings settings("Emulators", "Orvane");
        settings.setValue("SoundDriver", 0);
        settings.setValue("VideoDriver", 0);
    }
    DesktopOptions options;
    options.messageBox = [](const QString&, const QString&) {};
    ASSERT_EQ(StartDesktop(options), 1);
    runFrames(100);

    EXPECT_NE(desktop.window->ScreenTextForClipboard().indexOf("ORVANE BASIC"), -1);
    // What the X server shows in the picture area: the banner's lit pixels
    // in the top rows, dark below the prompt.
    VideoView* view = desktop.window->video();
    QImage shown = QGuiApplication::primaryScreen()->grabWindow(view->winId()).toImage();
    ASSERT_FALSE(shown.isNull());
    auto litIn = [&shown](double top, double bottom) {
        int lit = 0;
        for (int y = int(top * shown.height()); y < int(bottom * shown.height()); y++)
            for (int x = 0; x < shown.width(); x++)
                lit += qGray(shown.pixel(x, y)) > 128;
        return lit;
    };
    EXPECT_GT(litIn(0.0, 0.05), 50) << "the banner on the first text row";
    EXPECT_EQ(litIn(0.5, 0.95), 0) << "nothing in the lower half";

    // Letter keys without Shift type lower case, as on the machine.
    const QString line = "print 6";
    for (QChar c : line) {
        int key = c == ' ' ? int(Qt::Key_Space) : int(c.toUpper().unicode());
        typeKey(key, QString(c));
    }
    typeKey(Qt::Key_Return, "\r");
    runFrames(20);
    QStringList rows = desktop.window->ScreenTextForClipboard().split('\n');
    int echoed = rows.indexOf(QRegularExpression("^>print 6 *$"));
    ASSERT_GE(echoed, 0) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows.value(echoed + 1).startsWith(" 6 ")) << "the line ran";
    ShutdownDesktop();
}

} // namespace

// D-Bus and fontconfig keep caches for the life of the process; they are not
// ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1\nleak:libfontconfig\n";
}
