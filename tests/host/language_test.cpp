// The Swedish desktop: every text the menus, boxes and the status bar show
// has a finished translation, the menus keep unique mnemonics in both
// languages, and the messages of real failures reach the user in Swedish.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTranslator>

#include <set>

#include "desktop_fixture.h"
#include "host/qt/language.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "host/qt/translations/swedish_qm.h"
#include "host/qt/window_extras.h"

namespace {

QString beforeTab(const char* text) { return QString::fromUtf8(text).section('\t', 0, 0); }

QSet<QString> placeholders(const QString& text) {
    QSet<QString> found;
    for (auto it = QRegularExpression("%[1-9]").globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

class SwedishCatalogue : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(translator.load(OrvaneSwedishQm, static_cast<int>(OrvaneSwedishQmSize)));
    }
    // The translation, or "" when the catalogue lacks the entry.
    QString swedish(const char* context, const QString& english) const {
        return translator.translate(context, english.toUtf8().constData());
    }
    QTranslator translator;
};

TEST_F(SwedishCatalogue, EveryMenuTextHasATranslation) {
    QStringList missing;
    for (int i = 0; i < MenuTableSize; i++) {
        if (!MenuTable[i].text) continue;
        const QString english = beforeTab(MenuTable[i].text);
        if (swedish("Menu", english).isEmpty()) missing << english;
    }
    // Texts the menus take while the program runs.
    for (const char* english :
         {"Drive DR&%1 - ...", "Load slot %1 (%2)", "empty", "&Old ROM slot: Open firmware",
          "&New ROM slot: Open firmware", " (not installed)"})
        if (swedish("Menu", english).isEmpty()) missing << english;
    // Dialog titles set by the desktop itself.
    for (const char* english : {"Messages"})
        if (swedish("Dialog", english).isEmpty()) missing << english;
    EXPECT_TRUE(missing.isEmpty()) << missing.join(" | ").toStdString();
}

TEST_F(SwedishCatalogue, EveryMessageHasATranslationWithTheSamePlaceholders) {
    QStringList missing, mismatched;
    for (const QString& english : MessagePatterns()) {
        const QString translated = swedish("Message", english);
        if (translated.isEmpty())
            missing << english;
        else if (placeholders(translated) != placeholders(english))
            mismatched << english + " -> " + translated;
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(" | ").toStdString();
    EXPECT_TRUE(mismatched.isEmpty()) << mismatched.join(" | ").toStdString();
}

TEST_F(SwedishCatalogue, EveryKeyboardHelpCellHasATranslation) {
    QStringList missing;
    for (int row = 0; row < KeyHelpRowCount; row++)
        for (const char* cell :
             {KeyHelpRows[row].abc80Key, KeyHelpRows[row].hostKey, KeyHelpRows[row].note})
            if (*cell && swedish("Keyboard", QString::fromUtf8(cell)).isEmpty()) missing << cell;
    EXPECT_TRUE(missing.isEmpty()) << missing.join(" | ").toStdString();
}

TEST_F(SwedishCatalogue, SourceFileHasNoUnfinishedOrEmptyEntry) {
    QFile source(ORVANE_SOURCE_DIR "/host/qt/translations/orvane_sv.ts");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString ts = QString::fromUtf8(source.readAll());
    EXPECT_FALSE(ts.contains("type=\"unfinished\"")) << "an entry lrelease would leave out";
    EXPECT_FALSE(ts.contains("type=\"vanished\"") || ts.contains("type=\"obsolete\""));
    EXPECT_FALSE(ts.contains("<translation></translation>") || ts.contains("<translation/>"));
}

using LanguageTest = DesktopTest;

// The mnemonic letters of one menu's entries, lower case; a duplicate is
// reported with the menu's title.
void checkMnemonics(const QMenu* menu, QStringList& clashes) {
    std::set<QChar> seen;
    for (QAction* item : menu->actions()) {
        if (item->isSeparator()) continue;
        const QString text = item->text().section('\t', 0, 0);
        const int amp = text.indexOf(QRegularExpression("&[^&]"));
        if (amp >= 0 && !seen.insert(text[amp + 1].toLower()).second)
            clashes << menu->title() + ": " + text;
        if (item->menu()) checkMnemonics(item->menu(), clashes);
    }
}

void checkAllMnemonics(MainWindow& window, QStringList& clashes) {
    std::set<QChar> top;
    for (QMenu* menu : window.topMenus()) {
        const QString title = menu->title();
        const int amp = title.indexOf('&');
        if (amp >= 0 && !top.insert(title[amp + 1].toLower()).second) clashes << "bar: " + title;
        // Alt+letter is the menu bar's in both languages: no accelerator
        // may take one of its letters.
        for (int i = 0; i < MenuTableSize; i++)
            if (amp >= 0 && MenuTable[i].shortcut &&
                QString(MenuTable[i].shortcut)
                        .compare(QString("Alt+") + title[amp + 1], Qt::CaseInsensitive) == 0)
                clashes << "accelerator " + QString(MenuTable[i].shortcut) + " against " + title;
        checkMnemonics(menu, clashes);
    }
}

TEST_F(LanguageTest, MnemonicsAreUniquePerMenuInBothLanguages) {
    startDesktop();
    for (uint32_t language : {LanguageEnglish, LanguageSwedish}) {
        ApplyLanguage(language);
        window().retranslateMenus();
        QStringList clashes;
        checkAllMnemonics(window(), clashes);
        EXPECT_TRUE(clashes.isEmpty())
            << "language " << language << ": " << clashes.join(" | ").toStdString();
    }
    ApplyLanguage(LanguageEnglish);
}

TEST_F(LanguageTest, TheLanguageMenuSwitchesAtOnceAndIsStored) {
    startDesktop();
    ASSERT_EQ(window().topMenus().first()->title(), "&File");
    window().OnCommand(CmdLanguageFirst + static_cast<int>(LanguageSwedish));
    EXPECT_TRUE(SwedishInUse());
    EXPECT_EQ(window().topMenus().first()->title(), "&Arkiv");
    EXPECT_EQ(window().action(CmdTapeEject)->text(), "&Mata ut");
    EXPECT_TRUE(window().isChecked(CmdLanguageFirst + static_cast<int>(LanguageSwedish)));
    // Keys shown after the tab stay as they are.
    EXPECT_EQ(window().action(CmdReset)->text(), QString::fromUtf8("&Återställ\tF1"));

    QSettings store(QString::fromStdString(path("settings.ini")), QSettings::IniFormat);
    ASSERT_EQ(WriteAllSettings(store), 1);
    store.sync();
    EXPECT_EQ(store.value("Language").toInt(), 2);

    window().OnCommand(CmdLanguageFirst + static_cast<int>(LanguageEnglish));
    EXPECT_FALSE(SwedishInUse());
    EXPECT_EQ(window().topMenus().first()->title(), "&File");
    EXPECT_EQ(window().action(CmdTapeEject)->text(), "&Eject");
}

TEST_F(LanguageTest, FailuresTheUserMeetsAreToldInSwedish) {
    startDesktop();
    window().OnCommand(CmdLanguageFirst + static_cast<int>(LanguageSwedish));
    auto status = [] { return CurrentStatusBar()->fieldText(StatusMessageField); };

    window().OnCommand(CmdTapeEject);
    EXPECT_EQ(status(), "Inget band i bandspelaren.");

    // A file that is not there: the message and its cause, in a box too.
    messages.clear();
    window().LoadFileByExtension(path("missing.bac"));
    EXPECT_TRUE(status().startsWith("Kan inte läsa in ")) << status().toStdString();
    EXPECT_TRUE(status().endsWith(": filen eller mappen finns inte.")) << status().toStdString();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().first, "Fel");
    EXPECT_EQ(messages.back().second, status());

    // A file of no known kind.
    window().LoadFileByExtension(writeFile("notes.txt", "hello"));
    EXPECT_TRUE(status().endsWith(": inte en .atp-, .bac-, .bas- eller .wav-fil."))
        << status().toStdString();

    // A program saved where it cannot be written: a folder stands in its place.
    QDir(folder.path()).mkdir("taken.bac");
    dialogAnswers = {QString::fromStdString(path("taken.bac"))};
    window().OnCommand(CmdSaveAs);
    EXPECT_TRUE(status().startsWith("Kan inte skriva ")) << status().toStdString();

    ApplyLanguage(LanguageEnglish);
}

TEST_F(LanguageTest, EnglishMessagesPassUnchangedAndUnknownOnesStayAsWritten) {
    startDesktop();
    ApplyLanguage(LanguageEnglish);
    EXPECT_EQ(MessageText("Cannot load x.bac: empty file."), "Cannot load x.bac: empty file.");
    ApplyLanguage(LanguageSwedish);
    EXPECT_EQ(MessageText("Cannot load x.bac: empty file."), "Kan inte läsa in x.bac: tom fil.");
    // A file name that looks like a message is a name, not a message.
    EXPECT_EQ(MessageText("Loaded Loaded a.bac..bac."), "Loaded a.bac..bac inläst.");
    EXPECT_EQ(MessageText("Something new happened."), "Something new happened.");
    EXPECT_FALSE(MessageKnown("Something new happened."));
    ApplyLanguage(LanguageEnglish);
}

} // namespace
