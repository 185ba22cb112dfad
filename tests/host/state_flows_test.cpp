// The desktop's save states: the dialog commands with their default
// extension, the quick slots, the status-bar messages, refused files, and the
// timing mode and menus following a loaded state.
#include <QFile>
#include <QRegularExpression>

#include <filesystem>

#include "abc80/history.h"
#include "abc80/save_state.h"
#include "desktop_fixture.h"
#include "host/qt/desktop.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "host/qt/status_bar.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/disk_card.h"

namespace {

using StateFlows = DesktopTest;

std::string statusText() { return CurrentStatusBar()->fieldText(StatusMessageField).toStdString(); }

TEST_F(StateFlows, DialogSaveAddsTheExtensionAndLoadGoesBack) {
    startDesktop();
    runFramesAndReadScreen(60);
    typeText("PRINT 111*111\r");
    std::string saved = runFramesAndReadScreen(60);
    ASSERT_NE(saved.find("12321"), std::string::npos) << saved;

    dialogAnswers = {QString::fromStdString(path("snapshot"))};
    window().OnCommand(CmdSaveState);
    std::string file = path("snapshot") + std::string(SaveStateExtension);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(statusText(), "State saved to " + file + ".");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].filters.first(), "Orvane save states (*.ost)");

    typeText("PRINT 7*7\r");
    EXPECT_NE(runFramesAndReadScreen(60), saved);
    dialogAnswers = {QString::fromStdString(file)};
    window().OnCommand(CmdLoadState);
    EXPECT_EQ(statusText(), "State loaded from " + file + ".");
    EXPECT_EQ(runFramesAndReadScreen(0), saved);
}

TEST_F(StateFlows, SaveIntoAMissingFolderIsRefusedAndMakesNoFolder) {
    startDesktop();
    runFramesAndReadScreen(10);
    const std::string file = path("missing/sub/y.ost");
    dialogAnswers = {QString::fromStdString(file)};
    window().OnCommand(CmdSaveState);
    EXPECT_EQ(statusText(), "Cannot save the state to " + file + ": no such file or folder.");
    EXPECT_FALSE(std::filesystem::exists(path("missing")));
}

TEST_F(StateFlows, QuickSlotsAreSeparateAndAnEmptySlotIsReported) {
    startDesktop();
    runFramesAndReadScreen(60);
    messages.clear(); // the start-up's own reports
    window().OnCommand(CmdQuickLoadFirst + 1);
    EXPECT_EQ(statusText(), "Slot 2 is empty; Shift+F6 saves the machine into it.");
    EXPECT_TRUE(messages.empty()) << "an empty slot is no failure";

    typeText("PRINT 1\r");
    std::string one = runFramesAndReadScreen(40);
    window().OnCommand(CmdQuickSaveFirst);
    EXPECT_EQ(statusText(), "State saved to slot 1.");
    // The menu says which slots hold a state.
    EXPECT_TRUE(window()
                    .action(CmdQuickLoadFirst)
                    ->text()
                    .contains(QRegularExpression(
                        "^Load slot 1 \\(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\)")))
        << window().action(CmdQuickLoadFirst)->text().toStdString();
    EXPECT_TRUE(window().action(CmdQuickLoadFirst + 1)->text().startsWith("Load slot 2 (empty)"));
    typeText("PRINT 2\r");
    std::string two = runFramesAndReadScreen(40);
    window().OnCommand(CmdQuickSaveFirst + 1);
    EXPECT_TRUE(std::filesystem::exists(MainWindow::QuickSlotPath(2)));
    EXPECT_EQ(MainWindow::QuickSlotPath(2).rfind(folder.path().toStdString(), 0), 0u)
        << "slots live under the per-user data folder";

    window().OnCommand(CmdQuickLoadFirst);
    EXPECT_EQ(statusText(), "State loaded from slot 1.");
    EXPECT_EQ(runFramesAndReadScreen(0), one);
    window().OnCommand(CmdQuickLoadFirst + 1);
    EXPECT_EQ(runFramesAndReadScreen(0), two);
}

TEST_F(StateFlows, RefusedFileKeepsTheMachineAndSaysWhy) {
    startDesktop();
    typeText("PRINT 5\r");
    std::string before = runFramesAndReadScreen(80);
    std::string junk = writeFile("junk.ost", "not a state at all");
    dialogAnswers = {QString::fromStdString(junk)};
    window().OnCommand(CmdLoadState);
    EXPECT_EQ(statusText(), junk + ": Not an Orvane save state.");
    EXPECT_EQ(runFramesAndReadScreen(0), before);

    std::string taken = path("taken.ost");
    std::filesystem::create_directory(taken);
    dialogAnswers = {QString::fromStdString(taken)};
    window().OnCommand(CmdSaveState);
    EXPECT_EQ(statusText(), "Cannot save the state to " + taken + ": is a folder.");
}

// A state keeps its timing mode and ROM choice; the menus follow it.
TEST_F(StateFlows, LoadedStateBringsItsTimingModeAndMarks) {
    startDesktop();
    window().OnCommand(CmdCycleBased);
    ASSERT_EQ(CycleBased, 1u);
    window().OnCommand(CmdQuickSaveFirst);
    window().OnCommand(CmdCycleBased);
    ASSERT_EQ(CycleBased, 0u);
    window().OnCommand(CmdQuickLoadFirst);
    EXPECT_EQ(CycleBased, 1u);
    EXPECT_TRUE(window().isChecked(CmdCycleBased));
    EXPECT_TRUE(window().isChecked(CmdBasicFirst + static_cast<int>(basicRom)));
}

} // namespace

namespace {

// A state saved through the dialog joins the recent files; choosing it there
// brings that moment back, as dropping the file on the window does.
TEST_F(StateFlows, RecentAndDroppedStatesLoad) {
    startDesktop();
    typeText("PRINT 321\r");
    std::string saved = runFramesAndReadScreen(80);
    std::string file = path("moment.ost");
    dialogAnswers = {QString::fromStdString(file)};
    window().OnCommand(CmdSaveState);
    ASSERT_NE(window().action(CmdRecentFirst), nullptr);
    EXPECT_TRUE(window().action(CmdRecentFirst)->text().endsWith("moment.ost"))
        << window().action(CmdRecentFirst)->text().toStdString();

    typeText("PRINT 9\r");
    EXPECT_NE(runFramesAndReadScreen(60), saved);
    window().OnCommand(CmdRecentFirst);
    EXPECT_EQ(statusText(), "State loaded from " + file + ".");
    EXPECT_EQ(runFramesAndReadScreen(0), saved);

    typeText("PRINT 8\r");
    runFramesAndReadScreen(60);
    EXPECT_EQ(window().DropFile(file), 1);
    EXPECT_EQ(runFramesAndReadScreen(0), saved);
}

// Rewind for players: the menu item plays the screens back to what they
// were, the machine goes on from where it was let go, and the ring's end
// stops it by itself.
TEST_F(StateFlows, RewindPlaysTheScreenBackAndGoesOnFromThere) {
    startDesktop();
    historyConfigure({});
    runFramesAndReadScreen(20);
    typeText("PRINT 111*111\r");
    const std::string before = runFramesAndReadScreen(30);
    ASSERT_NE(before.find("12321"), std::string::npos) << before;
    typeText("PRINT 7*7\r");
    ASSERT_NE(runFramesAndReadScreen(40).find("49"), std::string::npos);

    window().OnCommand(CmdRewind);
    EXPECT_EQ(statusText(), "Rewinding: the last seconds play backwards.");
    const uint32_t from = frameCounter;
    // Back past the second PRINT: about 2 s of screens, at 5 snapshots
    // shown a second.
    std::string shown;
    for (int i = 0; i < 80 && frameCounter + 40 >= from; i++)
        RunOneFrame();
    EXPECT_LT(frameCounter + 40, from);
    shown = runFramesAndReadScreen(0);
    EXPECT_EQ(shown.find("49"), std::string::npos) << shown;
    EXPECT_NE(shown.find("12321"), std::string::npos) << shown;

    // Let go: the machine runs on from there and takes typing again.
    window().OnCommand(CmdRewind);
    const uint32_t resumed = frameCounter;
    typeText("PRINT 6*7\r");
    const std::string after = runFramesAndReadScreen(40);
    EXPECT_GT(frameCounter, resumed);
    EXPECT_NE(after.find("42"), std::string::npos) << after;

    // Rewinding on runs out at the oldest snapshot and stops by itself.
    window().OnCommand(CmdRewind);
    for (int i = 0; i < 2000 && desktop.rewinding; i++)
        RunOneFrame();
    EXPECT_FALSE(desktop.rewinding);
    EXPECT_EQ(statusText(), "Rewound as far as the history reaches.");
}

} // namespace
