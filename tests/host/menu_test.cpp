// The menu tree (texts, identifiers, accelerators) and the marks the
// commands leave, driven through the menu's own actions.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include <filesystem>
#include <map>

#include "cpu/z80.h"
#include "desktop_fixture.h"
#include "host/qt/key_queue.h"
#include "host/qt/language.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "host/sound/drivers.h"
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
    EXPECT_EQ(menus[1]->title(), "M&achine");
    EXPECT_EQ(menus[2]->title(), "&Tape");
    EXPECT_EQ(menus[3]->title(), "&Options");
    EXPECT_EQ(menus[4]->title(), "&Help");
    menus.removeAt(2); // the menus below keep their places

    EXPECT_EQ(entryTexts(menus[0]), (QStringList{"&Autostart...",
                                                 "-",
                                                 "&Load program...",
                                                 "&Save as...",
                                                 "&Memory dump",
                                                 "-",
                                                 "Sa&ve state...",
                                                 "L&oad state...",
                                                 "&Quick states",
                                                 "-",
                                                 "A&ttach disk\tAlt+#Nr",
                                                 "Ne&w disk image...",
                                                 "Dis&k drives",
                                                 "&Detach disks",
                                                 "-",
                                                 "&Copy text to clipboard\tAlt+C",
                                                 "Copy screen as &bitmap",
                                                 "&Paste from clipboard\tAlt+V",
                                                 "Media s&napshots",
                                                 "-",
                                                 "&Recent files",
                                                 "-",
                                                 "&Exit"}));
    EXPECT_EQ(entryTexts(menus[1]),
              (QStringList{"&Pause\tPause", "-", "&Reset\tF1", "&Hard reset\tAlt+F1", "-",
                           "Basic R&OM", "&Disk OS", "-", "&Interactive monitor\tAlt+M"}));
    EXPECT_EQ(entryTexts(submenu(menus[1], "Basic R&OM")),
              (QStringList{"&Old ROM slot: Open firmware", "&New ROM slot: Open firmware",
                           "&External ROM ('ZaVUR80BASIC.ROM')"}))
        << "no BASIC image is installed here: the open firmware runs in both slots";
    EXPECT_EQ(
        entryTexts(menus[2]),
        (QStringList{"&Video driver", "&Keep aspect ratio (4:3)", "-", "&Full screen\tAlt+Enter",
                     "-", "&Speed", "&Cycle based", "-", "S&ound driver", "&Tape sound",
                     "F&ast tape", "-", "Key&board", "&Language"}));
    EXPECT_EQ(entryTexts(window().topMenus()[2]),
              (QStringList{"&Insert tape...", "&Record tape...", "-", "Re&wind", "&Eject"}));
    EXPECT_EQ(entryTexts(submenu(menus[2], "&Video driver")),
              (QStringList{"&Software", "&Accelerated", "&OpenGL"}));
    EXPECT_EQ(entryTexts(submenu(menus[2], "S&ound driver")),
              (QStringList{"&No sound", "&SDL audio", "&ALSA"}));
    EXPECT_EQ(entryTexts(submenu(menus[2], "Key&board")),
              (QStringList{"&Natural (type what you see)", "&Positional (ABC80 key positions)"}));
    EXPECT_EQ(entryTexts(menus[3]), (QStringList{"&Keyboard", "&Messages", "&About"}));

    // The speed items keep their identifiers in their menu order.
    QMenu* speed = submenu(menus[2], "&Speed");
    ASSERT_NE(speed, nullptr);
    const int speedIds[] = {40014, 40016, 40017, 40015, 40018, 40019, 40020};
    QStringList speedTexts = {
        "&No limit\tAlt+W", "&20%", "&50%", "&100%", "2&00%", "&400%", "&800%"};
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
                                                {40045, "&Copy text to clipboard\tAlt+C"},
                                                {40036, "Copy screen as &bitmap"},
                                                {40007, "&Paste from clipboard\tAlt+V"},
                                                {40068, "&Save screenshot as..."},
                                                {40067, "Save to &WAV...\tAlt+U"},
                                                {40005, "&Exit"},
                                                {40011, "&Pause\tPause"},
                                                {40010, "&Reset\tF1"},
                                                {40061, "&Hard reset\tAlt+F1"},
                                                {40055, "&None"},
                                                {40056, "&ABCDOS (not installed)"},
                                                {40057, "&UFDDOS (not installed)"},
                                                {40062, "&Open DOS"},
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
    const std::pair<const char*, int> keys[] = {{"Alt+0", 40047},
                                                {"Alt+1", 40048},
                                                {"Alt+C", 40045},
                                                {"Alt+M", 40009},
                                                {"Alt+U", 40067},
                                                {"Alt+V", 40007},
                                                {"Alt+W", 40014},
                                                {"Pause", 40011},
                                                {"Alt+Return", 40028},
                                                {"Alt+F1", 40061},
                                                {"F12", CmdQuickScreenshot},
                                                {"Shift+F5", 40102},
                                                {"Shift+F8", 40105},
                                                {"F5", 40106},
                                                {"F8", 40109}};
    int withShortcut = 0;
    for (QAction* item : window().actions())
        if (!item->shortcut().isEmpty()) withShortcut++;
    EXPECT_EQ(withShortcut, 19)
        << "the accelerator table, the quick screenshot and the state slots";
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
    EXPECT_EQ(dosRom, 2u) << "UFDDOS is the default DOS";
    EXPECT_TRUE(window().isChecked(40062)) << "without its image the Open DOS runs, and is ticked";
    EXPECT_FALSE(window().isChecked(40055));
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
    EXPECT_EQ(status(), "No ABCDOS image is installed; the machine runs the Open DOS.");
    EXPECT_TRUE(window().isChecked(40062));
    trigger(40055);
    EXPECT_EQ(dosRom, 0u);
    EXPECT_EQ(status(), "None set.");
    EXPECT_FALSE(window().isChecked(40056));
    EXPECT_FALSE(window().isChecked(40062));
    trigger(40062);
    EXPECT_EQ(dosRom, 3u);
    EXPECT_EQ(status(), "Open DOS set.");
    EXPECT_TRUE(window().isChecked(40062));
    EXPECT_FALSE(window().isChecked(40055));
    trigger(40055);
    trigger(40059);
    EXPECT_EQ(basicRom, 1u);
    EXPECT_EQ(status(), "New ROM slot: Open firmware set.");
    trigger(CmdKeyboardPositional);
    EXPECT_EQ(NaturalKeyboard, 0u);
    EXPECT_TRUE(window().isChecked(CmdKeyboardPositional));
    EXPECT_FALSE(window().isChecked(CmdKeyboardNatural));
    trigger(CmdKeyboardNatural);
    EXPECT_EQ(NaturalKeyboard, 1u);

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

    // The sound mark shows the driver that runs: ALSA has no device here, so
    // the machine runs without sound and says so.
    messages.clear();
    trigger(40044);
    if (CurrentSoundDriver() == &AlsaSoundDriver) {
        EXPECT_TRUE(window().isChecked(40044));
        EXPECT_TRUE(messages.empty());
    } else {
        EXPECT_FALSE(window().isChecked(40044));
        EXPECT_TRUE(window().isChecked(40042));
        EXPECT_EQ(SoundDriverSetting, 0u);
        EXPECT_TRUE(messages.empty()) << "no box for a missing sound device";
        EXPECT_TRUE(window()
                        .status()
                        ->fieldText(StatusMessageField)
                        .contains("\"ALSA\" could not be opened"))
            << window().status()->fieldText(StatusMessageField).toStdString();
    }
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
    // With every dialog cancelled: the twelve commands that ask for a file did.
    ASSERT_EQ(requests.size(), 12u);
    QStringList titles;
    for (const FileRequest& request : requests)
        titles << request.title;
    EXPECT_TRUE(titles.contains("Attach disk image to DR0..."));
    EXPECT_TRUE(titles.contains("Attach disk image to DR1..."));
    EXPECT_TRUE(titles.contains("New disk image..."));
    EXPECT_TRUE(titles.contains("Save screenshot as BMP..."));
    EXPECT_TRUE(titles.contains("Save sound to WAV..."));
    EXPECT_TRUE(titles.contains("Save state as..."));
    EXPECT_TRUE(titles.contains("Load state..."));
    EXPECT_TRUE(titles.contains("Insert tape to play..."));
    EXPECT_TRUE(titles.contains("Record tape to WAV..."));
    // The About box, and the reports of video drivers this platform cannot open.
    int about = 0;
    for (const auto& [caption, text] : messages) {
        // The language items ran too: boxes after them are in Swedish.
        if (caption == "About Orvane" || caption == MessageText("About Orvane")) {
            about++;
            EXPECT_TRUE(text.contains("Luxor ABC80") && text.contains("Linux (Qt 6)\nversion "))
                << text.toStdString();
        } else {
            EXPECT_TRUE(caption == "Error" || caption == MessageText("Error"))
                << text.toStdString();
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
    DeliverQueuedKey();
    EXPECT_EQ(keyLatch & 0x80, 0x80) << "a key-down reaches the keyboard";
    sendKey(&window(), QEvent::KeyRelease, Qt::Key_A, false);
    DeliverQueuedKey();
    keyLatch = 0;
    sendKey(&window(), QEvent::KeyPress, Qt::Key_A, true);
    EXPECT_EQ(DeliverQueuedKey(), 0);
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

// A menu that announced itself but never showed or never said it closed
// (a hidden menu bar's mnemonic, say) must not freeze the machine: with no
// popup open the count is dropped and frames run again.
TEST_F(MenuTest, AMenuThatIsGoneDoesNotHoldTheFrames) {
    startDesktop();
    QMenu* file = window().topMenus().first();
    emit file->aboutToShow();
    ASSERT_EQ(desktop.menusOpen, 1);
    ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    fake.advanceMs(1000);
    EXPECT_FALSE(MenuHoldsFrames());
    EXPECT_EQ(desktop.menusOpen, 0);
    EXPECT_EQ(desktop.pacer.target, fake.now) << "a fresh schedule, no burst of frames";
    // A real open menu does hold them.
    file->popup(QPoint(0, 0));
    QApplication::processEvents();
    if (QApplication::activePopupWidget()) {
        EXPECT_TRUE(MenuHoldsFrames());
        file->hide();
    }
    EXPECT_FALSE(MenuHoldsFrames());
}

} // namespace

namespace {

// The mnemonic letter of a menu text ("" when it has none); "&&" is a plain &.
QString mnemonicOf(const QString& text) {
    for (int i = 0; i + 1 < text.size(); i++) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            i++;
            continue;
        }
        return text[i + 1].toLower();
    }
    return QString();
}

// Walks a menu and its submenus: within one menu no two entries share a
// mnemonic; every shortcut is collected with the entry that holds it.
using KeyHolders = std::map<QString, std::map<const QAction*, QString>>;

void walkMenu(const QMenu* menu, const QString& path, KeyHolders& shortcuts,
              QStringList& problems) {
    std::map<QString, QString> letters;
    for (QAction* item : menu->actions()) {
        if (item->isSeparator()) continue;
        const QString text = item->text();
        const QString letter = mnemonicOf(text);
        if (!letter.isEmpty()) {
            if (letters.count(letter))
                problems << QString("%1: \"%2\" and \"%3\" share the mnemonic %4")
                                .arg(path, letters[letter], text, letter);
            letters[letter] = text;
        }
        for (const QKeySequence& key : item->shortcuts())
            shortcuts[key.toString()][item] = path + " > " + text;
        if (item->menu()) walkMenu(item->menu(), path + " > " + text, shortcuts, problems);
    }
}

TEST_F(MenuTest, MnemonicsAreUniqueAndNoKeyIsShared) {
    startDesktop();
    window().addRecentFile(QString::fromStdString(writeFile("one.bac", "x")));
    window().addRecentFile(QString::fromStdString(writeFile("two.bac", "x")));
    KeyHolders shortcuts;
    QStringList problems;
    std::map<QString, QString> barLetters;
    for (QMenu* menu : window().topMenus()) {
        const QString letter = mnemonicOf(menu->title());
        ASSERT_FALSE(letter.isEmpty()) << menu->title().toStdString();
        if (barLetters.count(letter))
            problems << QString("menu bar: %1 and %2 share the mnemonic %3")
                            .arg(barLetters[letter], menu->title(), letter);
        barLetters[letter] = menu->title();
        walkMenu(menu, menu->title(), shortcuts, problems);
    }
    // Keys of the window that are not in a menu count too.
    for (const QAction* item : window().actions())
        for (const QKeySequence& key : item->shortcuts())
            if (!shortcuts[key.toString()].count(item))
                shortcuts[key.toString()][item] = item->text();
    for (const auto& [key, holderMap] : shortcuts) {
        QStringList holders;
        for (const auto& [item, name] : holderMap)
            holders << name;
        if (holders.size() > 1)
            problems << QString("%1 is shared by %2").arg(key, holders.join(", "));
        // Alt plus a menu bar mnemonic would open that menu instead.
        for (const auto& [letter, title] : barLetters)
            if (key.compare("Alt+" + letter, Qt::CaseInsensitive) == 0)
                problems << QString("%1 (%2) is also the mnemonic of %3")
                                .arg(key, holders.join(", "), title);
    }
    EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();
    EXPECT_TRUE(shortcuts.count("Alt+M")) << "the monitor keeps its key";
}

TEST_F(MenuTest, RecentFilesKeepEightAndDropMissingOnes) {
    startDesktop();
    std::vector<std::string> files;
    for (int i = 0; i < 10; i++) {
        std::string name = "p" + std::to_string(i) + ".bas";
        files.push_back(writeFile(name.c_str(), "10 PRINT " + std::to_string(i) + "\r"));
        ASSERT_EQ(window().LoadFileByExtension(files.back()), 1);
        // A text is typed whole before the next one is taken.
        for (int wait = 0; typingInProgress() && wait < 50; wait++)
            runFramesAndReadScreen(10);
    }
    QStringList recent = window().recentFiles();
    ASSERT_EQ(recent.size(), 8);
    EXPECT_TRUE(recent[0].endsWith("p9.bas"));
    EXPECT_TRUE(recent[7].endsWith("p2.bas"));
    ASSERT_NE(window().action(CmdRecentFirst), nullptr);
    EXPECT_EQ(window().action(CmdRecentFirst)->text(), "&1 " + recent[0]);
    EXPECT_EQ(window().action(CmdRecentLast + 1), nullptr);
    // Stored in the settings, and read back at the next start.
    EXPECT_EQ(desktop.store->value("RecentFiles").toStringList(), recent);

    std::filesystem::remove(files[9]);
    window().OnCommand(CmdRecentFirst);
    EXPECT_EQ(window().recentFiles().size(), 7);
    EXPECT_TRUE(window().recentFiles()[0].endsWith("p8.bas"));
    EXPECT_NE(window().status()->fieldText(StatusMessageField).indexOf("no longer exists"), -1);

    window().OnCommand(CmdRecentFirst); // p8.bas: reset, typed, RUN
    EXPECT_TRUE(window().recentFiles()[0].endsWith("p8.bas"));
    std::string screen = runFramesAndReadScreen(300);
    EXPECT_NE(screen.find("\n 8"), std::string::npos) << screen;

    ShutdownDesktop();
    startDesktop();
    EXPECT_EQ(window().recentFiles().size(), 7);
}

} // namespace
