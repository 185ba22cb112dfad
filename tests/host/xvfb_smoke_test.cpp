// The program in a real X server (run under xvfb-run): the window comes up,
// the boot banner shows in the window's picture area, and a line typed as
// key events is echoed on the machine's screen.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QMultiMap>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <iterator>
#include <memory>

#include <gtest/gtest.h>

#include "cpu/z80.h"
#include "host/qt/desktop.h"
#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "user_screen.h"

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

// How many different colours a grabbed window shows (sampled): a window
// drawn uniformly black (or not drawn at all) shows one.
int coloursIn(const QImage& image) {
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            seen.insert(image.pixel(x, y));
    return seen.size();
}

void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

void startWith(QApplication*& app, QTemporaryDir& folder, int videoDriver) {
    static int argc = 1;
    static char name[] = "orvane-smoke";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (!QApplication::instance()) app = new QApplication(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings settings("Emulators", "Orvane");
    settings.setValue("SoundDriver", 0);
    settings.setValue("VideoDriver", videoDriver);
}

// Menus and dialogs are drawn with every video driver, from a fresh start.
TEST(XvfbSmoke, MenusAndDialogsAreDrawnWithEveryDriver) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "needs an X server (xvfb-run)";
    QApplication* app = nullptr;
    for (int driver = 0; driver < 3; driver++) {
        SCOPED_TRACE(driver);
        QTemporaryDir folder;
        startWith(app, folder, driver);
        DesktopOptions options;
        options.messageBox = [](const QString&, const QString&) {};
        ASSERT_EQ(StartDesktop(options), 1);
        runFrames(60);
        QMenu* file = desktop.window->topMenus().first();
        file->popup(desktop.window->mapToGlobal(QPoint(10, 30)));
        settle(300);
        ASSERT_TRUE(file->isVisible());
        // Read back what the X server shows there, as a screenshot would.
        const QRect shownAt = file->geometry();
        QImage menu =
            QGuiApplication::primaryScreen()
                ->grabWindow(0, shownAt.x(), shownAt.y(), shownAt.width(), shownAt.height())
                .toImage();
        EXPECT_GT(coloursIn(menu), 8) << "the File menu is drawn";
        file->hide();
        QMessageBox box(QMessageBox::Critical, "Error", "A message with an icon and text.",
                        QMessageBox::Ok);
        box.show();
        settle(300);
        const QRect boxAt = box.frameGeometry();
        QImage dialog = QGuiApplication::primaryScreen()
                            ->grabWindow(0, boxAt.x(), boxAt.y(), boxAt.width(), boxAt.height())
                            .toImage();
        EXPECT_GT(coloursIn(dialog), 8) << "the message box is drawn";
        box.hide();
        ShutdownDesktop();
    }
    delete app;
}

// A menu opened from the keyboard while the machine runs in its own loop is
// drawn on the X server, as a screenshot of the screen shows it.
TEST(XvfbSmoke, MenuOpenedWhileRunningIsDrawn) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "needs an X server (xvfb-run)";
    QApplication* app = nullptr;
    QTemporaryDir folder;
    startWith(app, folder, 0);
    DesktopOptions options;
    options.messageBox = [](const QString&, const QString&) {};
    ASSERT_EQ(StartDesktop(options), 1);
    desktop.window->activateWindow();
    QImage shown;
    bool opened = false;
    QTimer::singleShot(1500, [] {
        QMenu* file = desktop.window->topMenus().first();
        file->popup(desktop.window->mapToGlobal(QPoint(10, 30)));
    });
    QTimer::singleShot(2500, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = true;
            const QRect at = popup->geometry();
            shown = QGuiApplication::primaryScreen()
                        ->grabWindow(0, at.x(), at.y(), at.width(), at.height())
                        .toImage();
            popup->close();
        }
        desktop.quitRequested = true;
    });
    RunMainLoop();
    ASSERT_TRUE(opened);
    EXPECT_GT(coloursIn(shown), 8) << "the File menu is drawn on the screen";
    ShutdownDesktop();
    delete app;
}

// Leaving an OpenGL driver for the software one leaves no OpenGL behind:
// the window is drawn as a plain image again (a window that went on
// composing itself through OpenGL kept a software OpenGL's threads busy),
// in its place, with the machine's picture in it.
TEST(XvfbSmoke, SoftwareDriverAfterOpenGLUsesNoOpenGL) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "needs an X server (xvfb-run)";
    QApplication* app = nullptr;
    for (int driver : {VideoAccelerated, VideoOpenGL}) {
        SCOPED_TRACE(driver);
        QTemporaryDir folder;
        startWith(app, folder, driver);
        DesktopOptions options;
        options.messageBox = [](const QString&, const QString&) {};
        ASSERT_EQ(StartDesktop(options), 1);
        runFrames(60);
        if (desktop.window->video()->videoDriver() != uint32_t(driver)) {
            ShutdownDesktop();
            GTEST_SKIP() << "no OpenGL on this display";
        }
        ASSERT_EQ(desktop.window->windowHandle()->surfaceType(), QSurface::OpenGLSurface);
        const QRect placed = desktop.window->geometry();
        desktop.window->OnCommand(CmdVideoFirst + int(VideoSoftware));
        settle(300);
        runFrames(20);
        settle(300);
        EXPECT_EQ(desktop.window->video()->videoDriver(), VideoSoftware);
        EXPECT_TRUE(desktop.window->isChecked(CmdVideoFirst + int(VideoSoftware)));
        ASSERT_TRUE(desktop.window->windowHandle());
        EXPECT_EQ(desktop.window->windowHandle()->surfaceType(), QSurface::RasterSurface);
        EXPECT_TRUE(desktop.window->isVisible());
        EXPECT_EQ(desktop.window->geometry().size(), placed.size());
        // The banner is on the screen, read back from the X server.
        VideoView* view = desktop.window->video();
        const QPoint at = view->mapToGlobal(QPoint(0, 0));
        QImage shown = QGuiApplication::primaryScreen()
                           ->grabWindow(0, at.x(), at.y(), view->width(), view->height() / 10)
                           .toImage();
        EXPECT_GT(coloursIn(shown), 1) << "the picture is drawn";
        // Back to OpenGL works as before.
        desktop.window->OnCommand(CmdVideoFirst + driver);
        runFrames(10);
        EXPECT_EQ(desktop.window->video()->videoDriver(), uint32_t(driver));
        ShutdownDesktop();
    }
    delete app;
}

// A monkey at the keyboard and the menus: random keys (with bursts of Alt
// keys), menus opened and closed, speed, driver and keyboard changes, loads
// of good and bad files, pause and resume, resets. The machine must keep
// running all the while. ORVANE_MONKEY_SECONDS sets the length (default 20).
TEST(XvfbSmoke, MonkeyKeepsTheMachineRunning) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "needs an X server (xvfb-run)";
    QApplication* app = nullptr;
    QTemporaryDir folder;
    startWith(app, folder, 0);
    const QString previousDirectory = QDir::currentPath();
    QDir::setCurrent(folder.path()); // the memory dump writes here
    const int seconds = qEnvironmentVariableIsSet("ORVANE_MONKEY_SECONDS")
                            ? qEnvironmentVariableIntValue("ORVANE_MONKEY_SECONDS")
                            : 20;
    const QString good = folder.path() + "/good.bas";
    {
        QFile file(good);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("10 PRINT 1\r20 GOTO 10\r");
    }
    const QStringList files = {good, folder.path() + "/missing.bac", folder.path() + "/x.txt",
                               folder.path(), ""};
    DesktopOptions options;
    int messages = 0;
    options.messageBox = [&messages](const QString&, const QString&) { messages++; };
    ASSERT_EQ(StartDesktop(options), 1);
    QRandomGenerator random(1234);
    desktop.window->fileDialog = [&](const FileRequest&) {
        return files[random.bounded(files.size())];
    };
    desktop.window->keyboardHelpDialog = [](QWidget*) {};
    desktop.window->quickScreenshotFolder = folder.path() + "/shots";

    const int keys[] = {Qt::Key_A,     Qt::Key_1,     Qt::Key_Return, Qt::Key_Space,
                        Qt::Key_Shift, Qt::Key_Alt,   Qt::Key_M,      Qt::Key_F,
                        Qt::Key_Right, Qt::Key_Comma, Qt::Key_Period, Qt::Key_Backspace};
    const int commands[] = {40014,
                            40016,
                            40015,
                            40018,
                            40020,
                            CmdReset,
                            CmdHardReset,
                            CmdPause,
                            CmdKeyboardPositional,
                            CmdKeyboardNatural,
                            CmdVideoFirst,
                            CmdVideoFirst + 1,
                            CmdVideoFirst + 2,
                            CmdSoundFirst,
                            CmdLoad,
                            CmdAutostart,
                            CmdKeepAspect,
                            CmdCycleBased,
                            CmdTapeSound,
                            CmdKeyboardHelp,
                            CmdQuickScreenshot,
                            CmdCopyText,
                            CmdMemoryDump};
    uint64_t lastCycles = cpu.TCOUNT;
    int stalls = 0, checks = 0;
    QString lastAction;
    // Set when, at any moment since the last check, the machine was paused
    // or a menu held the frames: only a whole free interval counts.
    bool heldSinceCheck = false;
    auto heldNow = [] { return !desktop.running || QApplication::activePopupWidget(); };
    QTimer monkey;
    QObject::connect(&monkey, &QTimer::timeout, [&] {
        heldSinceCheck |= heldNow();
        const int roll = random.bounded(100);
        if (roll < 60) {
            const int key = keys[random.bounded(int(std::size(keys)))];
            Qt::KeyboardModifiers mods = random.bounded(4) == 0 ? Qt::AltModifier : Qt::NoModifier;
            if (random.bounded(8) == 0) mods |= Qt::ShiftModifier;
            const QString text = key == Qt::Key_A ? "a" : key == Qt::Key_1 ? "1" : "";
            lastAction = QString("key %1 mods %2").arg(key).arg(int(mods));
            QKeyEvent press(QEvent::KeyPress, key, mods, text);
            QKeyEvent release(QEvent::KeyRelease, key, mods, text);
            QApplication::sendEvent(desktop.window, &press);
            if (random.bounded(3)) QApplication::sendEvent(desktop.window, &release);
        } else if (roll < 75) {
            QList<QMenu*> menus = desktop.window->topMenus();
            QMenu* menu = menus[random.bounded(menus.size())];
            lastAction = "menu " + menu->title();
            menu->popup(desktop.window->mapToGlobal(QPoint(20, 20)));
            QTimer::singleShot(random.bounded(50, 300), menu, [menu] { menu->hide(); });
        } else {
            const int id = commands[random.bounded(int(std::size(commands)))];
            lastAction = QString("command %1").arg(id);
            desktop.window->OnCommand(id);
        }
        heldSinceCheck |= heldNow();
    });
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        checks++;
        const bool held = heldSinceCheck || heldNow();
        heldSinceCheck = false;
        if (!held && cpu.TCOUNT == lastCycles) {
            stalls++;
            ADD_FAILURE() << "the machine stopped: IP=" << std::hex << cpu.IP << " SP=" << cpu.SP
                          << " after " << lastAction.toStdString();
        }
        lastCycles = cpu.TCOUNT;
    });
    QTimer::singleShot(seconds * 1000, [] { desktop.quitRequested = true; });
    monkey.start(15);
    watchdog.start(500);
    RunMainLoop();
    monkey.stop();
    watchdog.stop();
    EXPECT_GT(checks, seconds);
    EXPECT_EQ(stalls, 0);
    // Afterwards it still runs: unpause if the monkey left it paused.
    if (desktop.paused) desktop.window->OnCommand(CmdPause);
    const uint64_t before = cpu.TCOUNT;
    runFrames(5);
    EXPECT_GT(cpu.TCOUNT, before);
    ShutdownDesktop();
    QDir::setCurrent(previousDirectory);
    delete app;
}

// The program under a window manager, driven from outside -------------------

bool toolsForTheUserAreThere(QString* missing) {
    for (const char* tool : {"openbox", "xdotool", "setxkbmap", "xwd"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            *missing = tool;
            return false;
        }
    return true;
}

class UserAtTheScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "needs an X server";
        QString missing;
        if (!toolsForTheUserAreThere(&missing))
            GTEST_SKIP() << missing.toStdString() << " is missing";
        static int argc = 1;
        static char name[] = "orvane-user";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "xcb");
        if (!QApplication::instance()) app = new QApplication(argc, argv);
    }
    void TearDown() override {
        screen.reset();
        RunTool("setxkbmap", {"us"});
        delete app;
    }
    void startProgram(const QStringList& settings = {"SoundDriver=0", "VideoDriver=0"}) {
        screen = std::make_unique<UserScreen>();
        const QString failure = screen->start(ORVANE_PROGRAM, settings);
        ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    }
    // Presses the keys one after the other and returns where the topmost
    // window shows on the screen and how that area looks there.
    AreaLook press(const QStringList& keys, QRect* where) {
        for (const QString& k : keys)
            screen->key(k);
        Settle(600);
        const QImage shown = CaptureRootWindow();
        *where = TopmostWindow();
        // ORVANE_SCREEN_SHOTS names a folder to keep the captures in.
        const QString shots = qEnvironmentVariable("ORVANE_SCREEN_SHOTS");
        if (!shots.isEmpty()) shown.save(shots + "/" + keys.join('-') + ".png");
        return LookAt(shown, *where);
    }

    QApplication* app = nullptr;
    std::unique_ptr<UserScreen> screen;
};

// Every menu, submenu and dialog, opened from a fresh start with the
// Software driver, is drawn on the screen: the topmost window is a new one
// and not a black box.
TEST_F(UserAtTheScreen, EveryMenuAndDialogIsDrawnOnTheScreen) {
    ASSERT_NO_FATAL_FAILURE(startProgram());
    const QRect mainWindow = TopmostWindow();
    ASSERT_FALSE(mainWindow.isNull());
    auto expectDrawn = [](const AreaLook& look, const QRect& where, const QRect& under) {
        EXPECT_NE(where, under) << "a window opened";
        EXPECT_GT(where.width() * where.height(), 40 * 40);
        EXPECT_LT(look.darkShare, 0.5) << "not a black box";
        EXPECT_GT(look.colours, 4);
    };
    const struct {
        const char* menu;
        const char* submenus;
    } menus[] = {
        {"alt+f", "qtkn"}, {"alt+a", "od"}, {"alt+t", ""}, {"alt+o", "vsobl"}, {"alt+h", ""}};
    for (const auto& [menu, submenus] : menus) {
        SCOPED_TRACE(menu);
        QRect where;
        expectDrawn(press({menu}, &where), where, mainWindow);
        for (const char* submenu = submenus; *submenu; submenu++) {
            SCOPED_TRACE(*submenu);
            QRect inner;
            expectDrawn(press({QString(QChar(*submenu))}, &inner), inner, where);
            screen->key("Escape"); // back to the menu
        }
        screen->key("Escape");
        Settle(300);
    }
    const struct {
        const char* name;
        QStringList keys;
    } dialogs[] = {{"About box", {"alt+h", "a"}}, {"Open dialog", {"alt+f", "l"}}};
    for (const auto& [name, keys] : dialogs) {
        SCOPED_TRACE(name);
        QRect where;
        expectDrawn(press(keys, &where), where, mainWindow);
        screen->key("Escape");
        Settle(500);
        EXPECT_EQ(TopmostWindow(), mainWindow) << "the dialog closed";
    }
}

// Processor ticks (1/100 s) each thread of a process has used, by thread
// name, from /proc.
QMultiMap<QString, long> threadTicks(qint64 pid) {
    QMultiMap<QString, long> ticks;
    const QString tasks = QString("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks + "/" + task + "/comm"), stat(tasks + "/" + task + "/stat");
        if (!comm.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly)) continue;
        // The fields after the name in brackets: state is the first, user
        // and system time the 12th and 13th.
        const QString line = QString::fromLatin1(stat.readAll());
        const QStringList fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13) continue;
        ticks.insert(QString::fromLatin1(comm.readAll()).trimmed(),
                     fields[11].toLong() + fields[12].toLong());
    }
    return ticks;
}

long ticksOf(const QMultiMap<QString, long>& ticks, const QString& prefix) {
    long sum = 0;
    for (auto i = ticks.begin(); i != ticks.end(); ++i)
        if (i.key().startsWith(prefix)) sum += i.value();
    return sum;
}

// Switching the running program from OpenGL to the software driver: the
// window stays in its place, keys still reach the machine, and a software OpenGL's worker threads
// (Mesa keeps them for the life of the process) do no more work.
TEST_F(UserAtTheScreen, SoftwareDriverAfterOpenGLLeavesNoOpenGLWork) {
    ASSERT_NO_FATAL_FAILURE(startProgram({"SoundDriver=0", "VideoDriver=2"}));
    const qint64 pid = screen->process().processId();
    Settle(1000);
    const long openGLWork = ticksOf(threadTicks(pid), "llvmpipe");
    // Somewhere the window manager would not place a new window.
    RunTool("xdotool", {"windowmove", "--sync", screen->window(), "250", "300"});
    Settle(500);
    const QRect placed = TopmostWindow();
    for (const char* k : {"alt+o", "v", "s"})
        screen->key(k);
    Settle(1500);
    EXPECT_EQ(TopmostWindow(), placed) << "the window stays where it was";
    screen->type("print 6*7\r");
    EXPECT_TRUE(screen->waitForScreen(" 42", 8000)) << screen->screenText().toStdString();
    const QMultiMap<QString, long> before = threadTicks(pid);
    if (!before.contains("llvmpipe-0"))
        GTEST_SKIP() << "no software OpenGL threads here (" << openGLWork << ")";
    Settle(4000);
    const QMultiMap<QString, long> after = threadTicks(pid);
    EXPECT_LE(ticksOf(after, "llvmpipe") - ticksOf(before, "llvmpipe"), 1)
        << "the software OpenGL threads still draw";
}

// After one Escape closes a menu, letters go to the machine, not to the
// menu bar (where l, o, a, d would open menus and choose items).
TEST_F(UserAtTheScreen, EscapeGivesTheKeysBackToTheMachine) {
    ASSERT_NO_FATAL_FAILURE(startProgram());
    for (const char* menu : {"alt+f", "alt+a", "alt+t", "alt+o", "alt+h"}) {
        SCOPED_TRACE(menu);
        screen->key(menu);
        Settle(300);
        screen->key("Escape");
        Settle(300);
        screen->type("load");
        EXPECT_TRUE(screen->waitForScreen(">load", 5000)) << screen->screenText().toStdString();
        screen->key("ctrl+x"); // the line is dropped, nothing is loaded
        screen->key("Return");
    }
}

// Real key events on two layouts type every printable character the
// machine shows: all of ASCII but the signs whose codes show Swedish
// letters, and on the Swedish layout its own Å Ä Ö keys. (É, é, Ü and ü are
// dead-key compositions there and on no key of a US layout; xdotool can
// only fake such characters through a scratch key, which races the
// client's key map.)
TEST_F(UserAtTheScreen, EveryPrintableCharacterOnTwoLayouts) {
    ASSERT_NO_FATAL_FAILURE(startProgram());
    QString ascii;
    for (char32_t c = 0x20; c <= 0x7E; c++)
        if (!QString("@[\\]^`{|}~").contains(QChar(c))) ascii += QChar(c);
    const struct {
        const char* layout;
        QString characters;
    } layouts[] = {{"us", ascii}, {"se", ascii + QString::fromUtf8("ÅÄÖåäö")}};
    for (const auto& [layout, all] : layouts) {
        SCOPED_TRACE(layout);
        ASSERT_FALSE(RunTool("setxkbmap", {layout}).isNull());
        Settle(300);
        screen->key("Return");
        for (int from = 0; from < all.size(); from += 28) {
            const QString chunk = all.mid(from, 28);
            screen->type("rem " + chunk);
            EXPECT_TRUE(screen->waitForScreen(">rem " + chunk, 8000))
                << chunk.toStdString() << "\n"
                << screen->screenText().toStdString();
            screen->key("Return");
        }
    }
}

// The window manager's two ways of closing a window: a close request (what
// its close button sends) and the window destroyed outright (xdotool
// windowclose). For the monitor window either closes the monitor and the
// machine runs on; for the main window, while a file dialog is open, either
// ends the program.
TEST_F(UserAtTheScreen, CloseRequestsFromTheWindowManager) {
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "window destroyed" : "close request");
        auto close = [destroy](const QString& window) {
            if (destroy)
                RunTool("xdotool", {"windowclose", window});
            else
                EXPECT_TRUE(SendCloseRequest(window));
        };
        ASSERT_NO_FATAL_FAILURE(startProgram());
        screen->key("alt+m");
        const QString monitor =
            RunTool("xdotool", {"search", "--sync", "--onlyvisible", "--name", "monitor"}, 10000)
                .trimmed();
        ASSERT_FALSE(monitor.isEmpty()) << "the monitor window opened";
        close(monitor.split('\n').first());
        Settle(500);
        EXPECT_TRUE(RunTool("xdotool", {"search", "--onlyvisible", "--name", "monitor"})
                        .trimmed()
                        .isEmpty())
            << "the monitor window closed";
        RunTool("xdotool", {"windowactivate", "--sync", screen->window()});
        screen->type("print 6*7\r");
        EXPECT_TRUE(screen->waitForScreen(" 42", 8000)) << screen->screenText().toStdString();

        screen->key("alt+f");
        screen->key("l"); // Load program...: a file dialog
        Settle(800);
        ASSERT_NE(TopmostWindow(), QRect()) << "the dialog opened";
        close(screen->window());
        EXPECT_TRUE(screen->process().waitForFinished(10000)) << "the program ended";
        EXPECT_EQ(screen->process().exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(screen->process().exitCode(), 0);
        screen.reset();
    }
}

} // namespace

// D-Bus and fontconfig keep caches for the life of the process; they are not
// ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1\nleak:libfontconfig\n";
}
