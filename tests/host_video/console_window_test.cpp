#include <gtest/gtest.h>

#include <QApplication>

#include "host/qt/console_window.h"
#include "monitor/monitor.h"

namespace {

// Runs the monitor in a desktop console window, typing the given lines; the
// window's text and colours are kept as they were when the last line was typed.
struct MonitorSession {
    QWidget owner;
    DesktopConsole desktopConsole;
    MonitorConsole console{};
    MonitorHost host{};
    QStringList lines;
    QString title, transcript, helpColour, normalColour;
    bool closeAfterLines = false;
    bool ranOutOfLines = false;
    int openings = 0;

    MonitorSession() {
        desktopConsole.owner = &owner;
        desktopConsole.onOpened = [this](ConsoleWindow* window) {
            openings++;
            title = window->windowTitle();
            window->onWaitingForLine = [this](ConsoleWindow* w) { typeNext(w); };
        };
        console = DesktopMonitorConsole(&desktopConsole);
        monitorSetConsole(&console);
        monitorSetHost(&host);
    }
    ~MonitorSession() {
        monitorSetConsole(nullptr);
        monitorSetHost(nullptr);
    }
    void typeNext(ConsoleWindow* window) {
        transcript = window->transcript();
        helpColour = window->colourOf("Interactive monitor commands:").name();
        normalColour = window->colourOf("Type '?' for help").name();
        if (!lines.isEmpty()) {
            window->submitLine(lines.takeFirst());
            return;
        }
        // Never wait for a line nobody types: close the window instead.
        ranOutOfLines = !closeAfterLines;
        window->closeByUser();
    }
};

TEST(ConsoleWindow, RunsTheMonitorInColour) {
    MonitorSession session;
    session.lines = {"?", "", "x"};
    EXPECT_EQ(monitorEnter(MonitorOpenedByUser, 0x1234), 1);
    EXPECT_FALSE(session.ranOutOfLines); // x closed the monitor
    EXPECT_FALSE(monitorOpen);
    EXPECT_EQ(session.desktopConsole.window, nullptr); // destroyed on closing
    EXPECT_EQ(session.openings, 1);
    EXPECT_EQ(session.title, "Interactive monitor");
    EXPECT_TRUE(session.transcript.startsWith("Type '?' for help, 'x' for exit.\n?\n"));
    EXPECT_TRUE(session.transcript.contains("z - step one instruction.\nx - exit from monitor.\n"));
    EXPECT_EQ(session.helpColour, "#ffffff");   // attribute 15
    EXPECT_EQ(session.normalColour, "#00ff00"); // attribute 10
}

TEST(ConsoleWindow, ClosingTheWindowLeavesTheMonitor) {
    MonitorSession session;
    session.lines = {"?"};
    session.closeAfterLines = true;
    EXPECT_EQ(monitorEnter(MonitorOpenedByUser, 0), 1);
    EXPECT_FALSE(monitorOpen);
    EXPECT_EQ(session.desktopConsole.window, nullptr);
    // The next opening gets a fresh window.
    session.lines = {"x"};
    session.closeAfterLines = false;
    EXPECT_EQ(monitorEnter(MonitorOpenedByUser, 0), 1);
    EXPECT_FALSE(session.ranOutOfLines);
    EXPECT_EQ(session.openings, 2);
    EXPECT_FALSE(session.transcript.contains("Interactive monitor commands:"));
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
