#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>

#include "host/qt/console_window.h"
#include "monitor/monitor.h"

namespace {

// The monitor in a desktop console window, driven as the desktop drives it:
// opened without waiting, fed a line each time Return is pressed.
struct MonitorSession {
    QWidget owner;
    DesktopConsole desktopConsole;
    MonitorConsole console{};
    MonitorHost host{};
    int openings = 0;

    MonitorSession() {
        desktopConsole.owner = &owner;
        desktopConsole.onOpened = [this](ConsoleWindow*) { openings++; };
        console = DesktopMonitorConsole(&desktopConsole);
        monitorSetConsole(&console);
        monitorSetHost(&host);
    }
    ~MonitorSession() {
        monitorEnd();
        monitorSetConsole(nullptr);
        monitorSetHost(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    ConsoleWindow* window() const { return desktopConsole.window; }
};

TEST(ConsoleWindow, RunsTheMonitorInColourWithoutWaiting) {
    MonitorSession session;
    // Opening returns at once; the window takes the lines as they come.
    ASSERT_EQ(monitorBegin(MonitorOpenedByUser, 0x1234), 1);
    ASSERT_NE(session.window(), nullptr);
    EXPECT_TRUE(monitorOpen);
    EXPECT_FALSE(session.window()->isModal());
    EXPECT_EQ(session.window()->windowTitle(), "Interactive monitor");
    session.window()->submitLine("?");
    session.window()->submitLine("");
    QPointer<ConsoleWindow> window = session.window();
    const QString transcript = window->transcript();
    EXPECT_TRUE(transcript.startsWith("Type '?' for help, 'x' for exit.\n?\n"));
    EXPECT_TRUE(transcript.contains("z - step one instruction.\n"));
    EXPECT_TRUE(transcript.endsWith("x - exit from monitor.\n\n"));
    EXPECT_EQ(window->colourOf("Interactive monitor commands:").name(), "#ffffff");
    EXPECT_EQ(window->colourOf("Type '?' for help").name(), "#00ff00");
    EXPECT_TRUE(monitorOpen);

    // x closes the monitor from inside the window's own signal; the window
    // goes once the event loop has control again.
    window->submitLine("x");
    EXPECT_FALSE(monitorOpen);
    EXPECT_EQ(session.window(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(session.openings, 1);
}

TEST(ConsoleWindow, ClosingTheWindowLeavesTheMonitor) {
    MonitorSession session;
    ASSERT_EQ(monitorBegin(MonitorOpenedByUser, 0), 1);
    session.window()->submitLine("?");
    session.window()->closeByUser();
    EXPECT_FALSE(monitorOpen);
    EXPECT_EQ(session.window(), nullptr);
    // The next opening gets a fresh window.
    ASSERT_EQ(monitorBegin(MonitorOpenedByUser, 0), 1);
    EXPECT_EQ(session.openings, 2);
    EXPECT_FALSE(session.window()->transcript().contains("Interactive monitor commands:"));
    session.window()->submitLine("x");
    EXPECT_FALSE(monitorOpen);
}

TEST(ConsoleWindow, LineInputIsCutToTheBuffer) {
    ConsoleWindow window;
    window.submitLine("abcdefgh");
    window.submitLine("r");
    char line[5];
    ASSERT_EQ(window.readLine(line, sizeof line), 1);
    EXPECT_STREQ(line, "abc\n");
    ASSERT_EQ(window.readLine(line, sizeof line), 1);
    EXPECT_STREQ(line, "r\n");
    window.closeByUser();
    EXPECT_EQ(window.readLine(line, sizeof line), 0);
}

TEST(ConsoleWindow, ColumnsFollowTheWindowWidth) {
    ConsoleWindow window;
    EXPECT_EQ(window.columns(), 80);
    window.show();
    QApplication::processEvents();
    const int shown = window.columns();
    EXPECT_GE(shown, 70);
    window.resize(window.width() / 2, window.height());
    QApplication::processEvents();
    EXPECT_LT(window.columns(), shown * 2 / 3);
    EXPECT_GE(window.columns(), 1);
}

} // namespace
