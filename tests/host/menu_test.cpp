// The menu tree (texts, identifiers, accelerators) and the marks the
// commands leave, driven through the menu's own actions.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

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

// The menu whose entry holds an action, found by walking the tree.
const QMenu* holderOf(const QList<QMenu*>& menus, const QAction* wanted) {
    for (const QMenu* menu : menus)
        for (QAction* item : menu->actions()) {
            if (item == wanted) return menu;
            if (item->menu())
                if (const QMenu* inner = holderOf({item->menu()}, wanted)) return inner;
        }
    return nullptr;
}

// Every command of the table is reachable in the window's menus, under the
// menu the table puts it in, with the mark the table gives it.
TEST_F(MenuTest, EveryCommandIsReachableWhereTheTablePutsIt) {
    startDesktop();
    const QList<QMenu*> menus = window().topMenus();
    QStringList enclosing; // the menu texts at levels 0, 1
    int items = 0, topMenus = 0;
    for (int i = 0; i < MenuTableSize; i++) {
        const MenuEntry& row = MenuTable[i];
        if (row.kind == MenuKind::Menu) {
            enclosing = enclosing.mid(0, row.level);
            enclosing << QString(row.text);
            if (row.level == 0) topMenus++;
            continue;
        }
        if (row.kind != MenuKind::Item) continue;
        SCOPED_TRACE(row.text);
        items++;
        QAction* item = window().action(row.id);
        ASSERT_NE(item, nullptr);
        const QMenu* holder = holderOf(menus, item);
        ASSERT_NE(holder, nullptr) << "not reachable from the menu bar";
        ASSERT_GE(enclosing.size(), row.level);
        EXPECT_EQ(holder->title(), enclosing[row.level - 1]);
        EXPECT_EQ(item->isCheckable(), row.mark != MenuMark::None);
    }
    EXPECT_EQ(menus.size(), topMenus);
    EXPECT_GT(items, 50);
}

// Without a BASIC or DOS image the choices say what runs in their place.
TEST_F(MenuTest, RomChoicesNameWhatRuns) {
    startDesktop();
    EXPECT_EQ(window().action(CmdBasicFirst)->text(), "&Old ROM slot: Open firmware");
    EXPECT_EQ(window().action(CmdBasicFirst + 1)->text(), "&New ROM slot: Open firmware");
    EXPECT_EQ(window().action(CmdDosFirst + 1)->text(), "&ABCDOS (not installed)");
    EXPECT_EQ(window().action(CmdDosFirst + 2)->text(), "&UFDDOS (not installed)");
}

// A key as the documentation and the menu texts write it.
QString keyName(const QKeySequence& key) {
    return key.toString(QKeySequence::PortableText).replace("Return", "Enter");
}

// The keys of the desktop's table of keys (docs/desktop.md, "Menus and
// keys"): "Alt+C, Alt+V" lists two, "Shift+F5 ... Shift+F8" a run.
std::set<QString> documentedKeys() {
    std::ifstream in(ORVANE_SOURCE_DIR "/docs/desktop.md");
    std::string line;
    while (std::getline(in, line) && line != "## Menus and keys") {
    }
    std::set<QString> keys;
    while (std::getline(in, line) && (line.empty() || line[0] == '|' || keys.empty())) {
        if (line.rfind("| ", 0) != 0 || line.rfind("| Keys", 0) == 0) continue;
        const QString cell = QString::fromStdString(line.substr(2, line.find(" |", 2) - 2));
        if (cell.contains(" ... ")) {
            const QStringList ends = cell.split(" ... ");
            const QString prefix = ends[0].left(ends[0].lastIndexOf('F'));
            const int from = ends[0].mid(prefix.size() + 1).toInt();
            const int to = ends[1].mid(prefix.size() + 1).toInt();
            for (int n = from; n <= to; n++)
                keys.insert(prefix + "F" + QString::number(n));
        } else {
            for (const QString& key : cell.split(", "))
                keys.insert(key);
        }
    }
    return keys;
}

// The accelerators are the documented keys, the key a menu text shows is the
// key that works, and F1 stays the machine's reset key.
TEST_F(MenuTest, AcceleratorsAreTheDocumentedKeys) {
    startDesktop();
    std::set<QString> documented = documentedKeys();
    ASSERT_TRUE(documented.count("Alt+M")) << "the key table was not found";
    ASSERT_TRUE(documented.erase("F1")) << "F1 resets the machine";
    std::set<QString> accelerators;
    for (QAction* item : window().actions())
        for (const QKeySequence& key : item->shortcuts())
            accelerators.insert(keyName(key));
    EXPECT_EQ(accelerators, documented);
    for (int i = 0; i < MenuTableSize; i++) {
        const MenuEntry& row = MenuTable[i];
        if (row.kind != MenuKind::Item || !row.shortcut) continue;
        const QString text(row.text);
        SCOPED_TRACE(row.text);
        EXPECT_EQ(window().action(row.id)->shortcut(), QKeySequence(row.shortcut));
        if (text.contains('\t')) {
            EXPECT_EQ(text.section('\t', 1), keyName(QKeySequence(row.shortcut)));
        }
    }
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
