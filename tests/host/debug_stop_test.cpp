// A stop in the desktop program: the frame returns at the breakpoint, the
// monitor's console window opens without holding the program, the menus and
// the main window keep working while the machine waits, and leaving the
// monitor finishes the stopped frame.
#include "tests/host/desktop_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include "cpu/z80.h"
#include "host/qt/console_window.h"
#include "host/qt/menu_table.h"
#include "machine/frame.h"
#include "monitor/debug.h"
#include "monitor/monitor.h"

namespace {

class DesktopStop : public DesktopTest {
  protected:
    DesktopConsole console;
    MonitorConsole monitorConsole{};

    void TearDown() override {
        monitorEnd();
        debugPowerOn();
        forgetPendingFrame();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DesktopTest::TearDown();
    }
};

TEST_F(DesktopStop, BreakpointOpensTheConsoleAndTheWindowStaysResponsive) {
    startDesktop();
    runFramesAndReadScreen(60);
    console.owner = desktop.window;
    monitorConsole = DesktopMonitorConsole(&console);
    monitorSetConsole(&monitorConsole);

    // The NMI entry runs once a frame, on line 288.
    debugToggleBreakpoint(0x0066);
    const uint32_t frames = frameCounter;
    RunOneFrame();
    ASSERT_TRUE(debugStopped());
    EXPECT_TRUE(framePending());
    EXPECT_EQ(cpu.IP, 0x0066);
    EXPECT_EQ(frameCounter, frames);
    ASSERT_TRUE(monitorOpen);
    ASSERT_NE(console.window, nullptr);
    EXPECT_TRUE(console.window->transcript().contains("Breakpoint reached at 0066."));
    EXPECT_FALSE(console.window->isModal());
    EXPECT_TRUE(MonitorHoldsFrames());

    // While the machine waits the program handles its events and menus.
    QCoreApplication::processEvents();
    QGuiApplication::clipboard()->clear();
    window().action(CmdCopyText)->trigger();
    EXPECT_FALSE(QGuiApplication::clipboard()->text().isEmpty());
    EXPECT_EQ(frameCounter, frames);
    EXPECT_EQ(cpu.IP, 0x0066);

    // A step from the window's line runs one instruction of the same frame.
    console.window->submitLine("z");
    EXPECT_NE(cpu.IP, 0x0066);
    EXPECT_TRUE(framePending());
    EXPECT_TRUE(monitorOpen);

    // Leaving: the breakpoint goes, the frame is finished where it stopped.
    console.window->submitLine("b 66");
    console.window->submitLine("x");
    EXPECT_FALSE(monitorOpen);
    EXPECT_FALSE(MonitorHoldsFrames());
    RunOneFrame();
    EXPECT_FALSE(debugStopped());
    EXPECT_FALSE(framePending());
    EXPECT_EQ(frameCounter, frames + 1);
    RunOneFrame();
    EXPECT_EQ(frameCounter, frames + 2);
}

TEST_F(DesktopStop, ClosingTheConsoleLetsTheMachineGoOn) {
    startDesktop();
    runFramesAndReadScreen(10);
    console.owner = desktop.window;
    monitorConsole = DesktopMonitorConsole(&console);
    monitorSetConsole(&monitorConsole);
    window().action(CmdMonitor)->trigger();
    ASSERT_TRUE(monitorOpen);
    ASSERT_NE(console.window, nullptr);
    EXPECT_FALSE(debugStopped());
    console.window->closeByUser();
    EXPECT_FALSE(monitorOpen);
    const uint32_t frames = frameCounter;
    RunOneFrame();
    EXPECT_EQ(frameCounter, frames + 1);
}

} // namespace
