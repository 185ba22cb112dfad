// The menu tree (texts, identifiers, accelerators) and the marks the
// commands leave, driven through the menu's own actions.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "cpu/z80.h"
#include "desktop_fixture.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/tape_deck.h"
#include "sound/mixer.h"

namespace {

using MenuTest = DesktopTest;

// The texts of a menu's entries: separators as "-", submenus by title.
QStringList entryTexts(const QMenu* menu) {
    QStringList texts;
    for (QAction* item : menu->actions())
        texts << (item->isSeparator() ? QString("-") : item->text());
    return texts;
}

QMenu* submenu(const QMenu* menu, const QString& title) {
    for (QAction* item : menu->actions())
        if (item->menu() && item->text() == title) return item->menu();
    return nullptr;
}

TEST_F(MenuTest, TreeHasTheTextsInOrder) {
    startDesktop();
    QList<QMenu*> menus = window().topMenus();
    ASSERT_EQ(menus.size(), 5);
    EXPECT_EQ(menus[0]->title(), "&File");
    EXPECT_EQ(menus[1]->title(), "&Machine");
    EXPECT_EQ(menus[2]->title(), "&Tape");
    EXPECT_EQ(menus[3]->title(), "&Options");
    EXPECT_EQ(menus[4]->title(), "&Help");
    menus.removeAt(2); // the menus below keep their places

    EXPECT_EQ(entryTexts(menus[0]),
              (QStringList{"&Autostart...", "-", "&Load program...", "&Save as...", "&Memory dump",
                           "-", "Save s&tate...", "Load stat&e...", "&Quick states", "-",
                           "&Attach disk\tAlt+#Nr", "&Detach disks", "-",
                           "Copy text to clipboard\tAlt+C", "Copy screen as &bitmap",
                           "&Paste from clipboard\tAlt+V", "&Media snapshots", "-", "&Exit"}));
    EXPECT_EQ(entryTexts(menus[1]),
              (QStringList{"&Pause\tPause", "-", "&Reset\tF1", "&Hard reset\tAlt+F1", "-",
                           "Basic R&OM", "&Disk OS", "-", "&Interactive monitor\tAlt+M"}));
    EXPECT_EQ(entryTexts(submenu(menus[1], "Basic R&OM")),
              (QStringList{"&Old ROM (Checksum: 11273)", "&New ROM (Checksum: 9913)",
                           "&External ROM ('ZaVUR80BASIC.ROM')"}));
    EXPECT_EQ(entryTexts(menus[2]),
              (QStringList{"&Video driver", "&Keep aspect ratio (4:3)", "-",
                           "&Full screen\tAlt+Enter", "-", "&Speed", "&Cycle based", "-",
                           "S&ound driver", "&Tape sound", "F&ast tape"}));
    EXPECT_EQ(entryTexts(window().topMenus()[2]),
              (QStringList{"&Insert tape...", "&Record tape...", "-", "Re&wind", "&Eject"}));
    EXPECT_EQ(entryTexts(submenu(menus[2], "&Video driver")),
              (QStringList{"&Software", "&Accelerated", "&OpenGL"}));
    EXPECT_EQ(entryTexts(submenu(menus[2], "S&ound driver")),
              (QStringList{"&No sound", "&SDL audio", "&ALSA"}));
    EXPECT_EQ(entryTexts(menus[3]), QStringList{"&About"});

    // The speed items keep their identifiers in their menu order.
    QMenu* speed = submenu(menus[2], "&Speed");
    ASSERT_NE(speed, nullptr);
    const int speedIds[] = {40014, 40016, 40017, 40015, 40018, 40019, 40020};
    QStringList speedTexts = {
        "&No limit\tAlt+W", "&20%", "&50%", "&100%", "&200%", "&400%", "&800%"};
    for (int i = 0; i < 7; i++)
        ASSERT_EQ(window().action(speedIds[i])->text(), speedTexts[i]);
    EXPECT_EQ(entryTexts(speed).mid(1, 1), QStringList{"-"});

    const std::pair<int, const char*> byId[] = {{40004, "&Autostart..."},
                                                {40035, "&Load program..."},
                                                {40021, "&Save as..."},
                                                {40037, "&Memory dump"},
                                                {40047, "Drive DR&0 - ..."},
                                                {40048, "Drive DR&1 - ..."},
                                                {40046, "&Detach disks"},
                                                {40045, "Copy text to clipboard\tAlt+C"},
                                                {40036, "Copy screen as &bitmap"},
                                                {40007, "&Paste from clipboard\tAlt+V"},
                                                {40068, "&Save screenshot as..."},
                                                {40067, "Save to &WAV...\tAlt+U"},
                                                {40005, "&Exit"},
                                                {40011, "&Pause\tPause"},
                                                {40010, "&Reset\tF1"},
                                                {40061, "&Hard reset\tAlt+F1"},
                                                {40055, "&None"},
                                                {40056, "&ABCDOS"},
                                                {40057, "&UFDDOS"},
                                                {40009, "&Interactive monitor\tAlt+M"},
                                                {40039, "&Software"},
                                                {40041, "&OpenGL"},
                                                {40031, "&Keep aspect ratio (4:3)"},
                                                {40028, "&Full screen\tAlt+Enter"},
                                                {40025, "&Cycle based"},
                                                {40042, "&No sound"},
                                                {40044, "&ALSA"},
                                                {40034, "&Tape sound"},
                                                {40013, "&About"}};
    for (const auto& [id, text] : byId) {
        ASSERT_NE(window().action(id), nullptr) << id;
        EXPECT_EQ(window().action(id)->text(), QString(text)) << id;
    }
}

TEST_F(MenuTest, AcceleratorsProduceTheirCommands) {
    startDesktop();
    const std::pair<const char*, int> keys[] = {
        {"Alt+0", 40047},      {"Alt+1", 40048},  {"Alt+C", 40045},    {"Alt+M", 40009},
        {"Alt+U", 40067},      {"Alt+V", 40007},  {"Alt+W", 40014},    {"Pause", 40011},
        {"Alt+Return", 40028}, {"Alt+F1", 40061}, {"Shift+F5", 40102}, {"Shift+F8", 40105},
        {"F5", 40106},         {"F8", 40109}};
    int withShortcut = 0;
    for (QAction* item : window().actions())
        if (!item->shortcut().isEmpty()) withShortcut++;
    EXPECT_EQ(withShortcut, 18) << "the window holds exactly the accelerator table";
    for (const auto& [key, id] : keys)
        EXPECT_EQ(window().action(id)->shortcut(), QKeySequence(key)) << key;
    // F1 is a key for the machine's reset, not an accelerator.
    for (QAction* item : window().actions())
        EXPECT_NE(item->shortcut(), QKeySequence("F1"));
}

TEST_F(MenuTest, CommandsLeaveTheirMarks) {
    startDesktop();
    auto trigger = [this](int id) { window().action(id)->trigger(); };
    auto status = [this] { return window().status()->fieldText(StatusMessageField); };

    // Start-up marks follow the settings.
    EXPECT_TRUE(window().isChecked(40015));
    EXPECT_TRUE(window().isChecked(CmdKeepAspect));
    EXPECT_FALSE(window().isChecked(CmdCycleBased));
    EXPECT_TRUE(window().isChecked(40057)) << "UFDDOS is the default DOS";
    EXPECT_TRUE(window().isChecked(40058));
    EXPECT_TRUE(window().isChecked(CmdVideoFirst + static_cast<int>(VideoDriverSetting)));

    trigger(CmdPause);
    EXPECT_TRUE(window().isChecked(CmdPause));
    EXPECT_FALSE(desktop.running);
    EXPECT_EQ(status(), "Inactive.");
    trigger(CmdPause);
    EXPECT_FALSE(window().isChecked(CmdPause));
    EXPECT_TRUE(desktop.running);
    EXPECT_EQ(status(), "");

    trigger(40018); // 200 %
    trigger(40014); // Alt+W
    EXPECT_TRUE(window().isChecked(40014));
    EXPECT_FALSE(window().isChecked(40018));
    trigger(40014);
    EXPECT_TRUE(window().isChecked(40018));
    EXPECT_FALSE(window().isChecked(40014));
    EXPECT_EQ(SyncSpeed, 4u);
    trigger(40018); // choosing the marked item keeps it marked
    EXPECT_TRUE(window().isChecked(40018));

    trigger(40056);
    EXPECT_EQ(dosRom, 1u);
    EXPECT_EQ(status(), "ABCDOS set.");
    trigger(40057);
    EXPECT_EQ(dosRom, 2u);
    EXPECT_EQ(status(), "UFDDOS set.");
    EXPECT_TRUE(window().isChecked(40057));
    EXPECT_FALSE(window().isChecked(40056));
    trigger(40059);
    EXPECT_EQ(basicRom, 1u);
    EXPECT_EQ(status(), "New ROM (Checksum: 9913) set.");

    trigger(CmdKeepAspect);
    EXPECT_FALSE(window().isChecked(CmdKeepAspect));
    EXPECT_EQ(KeepAspectRatio, 0u);
    EXPECT_FALSE(window().video()->keepAspect());
    trigger(CmdCycleBased);
    EXPECT_TRUE(window().isChecked(CmdCycleBased));
    EXPECT_EQ(CycleBased, 1u);
    trigger(CmdTapeSound);
    EXPECT_TRUE(window().isChecked(CmdTapeSound));
    EXPECT_EQ(TapeSoundEnabled(), 1);
    trigger(CmdTapeSound);
    EXPECT_FALSE(window().isChecked(CmdTapeSound));

    // The video mark shows the driver actually open.
    trigger(40041);
    int marked = 0;
    for (int id = CmdVideoFirst; id <= CmdVideoLast; id++)
        marked += window().isChecked(id);
    EXPECT_EQ(marked, 1);
    EXPECT_TRUE(window().isChecked(CmdVideoFirst + static_cast<int>(VideoDriverSetting)));
    EXPECT_EQ(VideoDriverSetting, window().video()->videoDriver());
    trigger(40039);
    EXPECT_TRUE(window().isChecked(40039));
    EXPECT_EQ(VideoDriverSetting, 0u);

    // The sound mark shows the chosen index even when its driver failed.
    trigger(40044);
    EXPECT_TRUE(window().isChecked(40044));
    EXPECT_EQ(SoundDriverSetting, 2u);
    trigger(40042);
    EXPECT_TRUE(window().isChecked(40042));
    EXPECT_FALSE(window().isChecked(40044));
}

TEST_F(MenuTest, EveryCommandEndsWithAFreshSchedule) {
    startDesktop();
    std::vector<int> ids;
    for (int i = 0; i < MenuTableSize; i++)
        if (MenuTable[i].kind == MenuKind::Item && MenuTable[i].id != CmdExit)
            ids.push_back(MenuTable[i].id);
    for (int id : ids) {
        fake.advanceMs(5000);
        EXPECT_EQ(window().OnCommand(id), 0) << id;
        if (id == CmdPause) {
            window().OnCommand(CmdPause);
            continue;
        }
        EXPECT_EQ(desktop.pacer.target, fake.now) << id;
    }
    // With every dialog cancelled: the eleven commands that ask for a file did.
    ASSERT_EQ(requests.size(), 11u);
    QStringList titles;
    for (const FileRequest& request : requests)
        titles << request.title;
    EXPECT_TRUE(titles.contains("Attach disk image to DR0..."));
    EXPECT_TRUE(titles.contains("Attach disk image to DR1..."));
    EXPECT_TRUE(titles.contains("Save screenshot as BMP..."));
    EXPECT_TRUE(titles.contains("Save sound to WAV..."));
    EXPECT_TRUE(titles.contains("Save state as..."));
    EXPECT_TRUE(titles.contains("Load state..."));
    EXPECT_TRUE(titles.contains("Insert tape to play..."));
    EXPECT_TRUE(titles.contains("Record tape to WAV..."));
    // The About box, and the reports of video drivers this platform cannot open.
    int about = 0;
    for (const auto& [caption, text] : messages) {
        if (caption == "About Orvane") {
            about++;
            EXPECT_TRUE(text.startsWith("Luxor ABC80 emulator\n"));
        } else {
            EXPECT_EQ(caption, "Error") << text.toStdString();
        }
    }
    EXPECT_EQ(about, 1);
    EXPECT_TRUE(desktop.running);

    EXPECT_FALSE(desktop.quitRequested);
    window().OnCommand(CmdExit);
    EXPECT_TRUE(desktop.quitRequested);
}

} // namespace

namespace {

void sendKey(QWidget* window, QEvent::Type type, int key, bool autoRepeat) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(window, &event);
}

TEST_F(MenuTest, KeyRepeatsAreDroppedExceptTheResetKey) {
    startDesktop();
    keyLatch = 0;
    sendKey(&window(), QEvent::KeyPress, Qt::Key_A, false);
    EXPECT_EQ(keyLatch & 0x80, 0x80) << "a key-down reaches the keyboard";
    sendKey(&window(), QEvent::KeyRelease, Qt::Key_A, false);
    keyLatch = 0;
    sendKey(&window(), QEvent::KeyPress, Qt::Key_A, true);
    EXPECT_EQ(keyLatch, 0) << "a repeat does not";

    cpu.IP = 0x1234;
    sendKey(&window(), QEvent::KeyPress, Qt::Key_F1, true);
    EXPECT_EQ(cpu.IP, 0) << "F1 resets, repeats included";
}

TEST_F(MenuTest, AnOpenMenuHoldsTheFramesAndResetsTheScheduleAfter) {
    startDesktop();
    QMenu* file = window().topMenus().first();
    emit file->aboutToShow();
    EXPECT_EQ(desktop.menusOpen, 1);
    fake.advanceMs(3000);
    emit file->aboutToHide();
    EXPECT_EQ(desktop.menusOpen, 0);
    EXPECT_EQ(desktop.pacer.target, fake.now);
}

} // namespace
