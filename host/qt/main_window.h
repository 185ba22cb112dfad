// The main window: the picture area (VideoView), the menu bar built from
// MenuTable, the status bar, and the window's events (keys to the emulated
// keyboard, activation changes, dropped files, closing). Every command of
// the menu and the accelerators arrives at OnCommand with its identifier.
//
// Dialogs and message boxes go through replaceable hooks so that the
// commands run unattended in tests.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "host/qt/status_bar.h"
#include "host/qt/video_view.h"
#include "host/session/session.h"

class QAction;
class QMenu;

// What a file dialog is asked for.
struct FileRequest {
    bool save = false;
    QString title;                   // empty for the load/save-as dialogs
    QStringList filters;             // "BAC files (*.bac)", ...
    int* rememberedFilter = nullptr; // 1-based, kept for the run (load/save-as only)
};

class MainWindow : public QMainWindow {
  public:
    MainWindow();
    ~MainWindow() override;

    // Carries out a command; the result is 0 as the window procedure's.
    int OnCommand(int id);

    QAction* action(int id) const;
    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    // Removes the marks of firstId..firstId+count-1, marks firstId + chosen
    // and shows the item's text without its mnemonic plus " set.".
    void SetRadioMark(int firstId, int count, uint32_t chosen);
    // The menu marks of every persisted choice, from the settings.
    void markChoices();
    QList<QMenu*> topMenus() const;

    VideoView* video() const { return view; }
    OrvaneStatusBar* status() const { return statusBarWidget; }

    // Dialog hooks: a path, or an empty string when cancelled.
    std::function<QString(const FileRequest&)> fileDialog;
    std::function<void(const QString& caption, const QString& text)> messageBox;

    // File flows shared by the commands, the command line and dropped files.
    int LoadFileByExtension(const std::string& path, LoadStart start = LoadStart::Load);
    int LoadOrAutostart(bool autostart);
    int DropFile(const std::string& path);
    // Save states: through a dialog, or in quick slot 1-4 (under the
    // per-user data folder). Each says what happened in the status bar.
    int SaveStateAs();
    int LoadStateFrom();
    int SaveStateToFile(const std::string& path, const char* what);
    int LoadStateFromFile(const std::string& path, const char* what);
    static std::string QuickSlotPath(int slot);
    // The load items of the quick slots show when each was saved, or
    // "(empty)"; done when the menu opens and after every quick save.
    void markQuickSlots();
    // The 24 text rows in screen order, LF line ends.
    QString ScreenTextForClipboard() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  public:
    // Types one character the host produced; hostKey (0: none) is the key
    // whose release lets it go, otherwise it is pressed and released.
    void typeCharacter(char32_t character, quint64 hostKey);
    void forgetHeldKeys() { heldKeys.clear(); }
    // The recent files list (newest first) and its menu.
    void addRecentFile(const QString& path);
    QStringList recentFiles() const { return recent; }
    void rebuildRecentMenu();
    void setRecentFiles(const QStringList& files);
    // Ticks the sound driver actually running; says so when it is not the
    // chosen one.
    void reportSoundDriver(uint32_t chosen);
    // The BASIC and DOS marks and texts as they run: a slot without its
    // image says "Open firmware", a DOS without its image is not ticked.
    void markRoms(bool dosLast = false);
    void markDos(uint32_t running);
    // The keyboard help dialog (replaceable for tests).
    std::function<void(QWidget* parent)> keyboardHelpDialog;
    // Help > Messages: every message shown since the start.
    std::function<void(QWidget* parent)> messageLogDialog;
    // A PNG of the picture at 4:3, integer-scaled, into folder (the user's
    // Pictures/Orvane when empty); the path written, or "" on failure.
    QString quickScreenshot(const QString& folder = QString());
    QString quickScreenshotFolder; // "" for the user's Pictures/Orvane
    // Error message with the error icon (through messageBox).
    void showError(const QString& caption, const QString& text);
    // A session result shown in the status bar, a failure in a message box
    // too. 1 when the action was done.
    int report(const SessionResult& result);
    // The drive entries of the Attach disk menu as the drives hold images,
    // the write-protect ticks and the drives' status.
    void markDrives();
    // The drives in the status bar (image, write protection, activity) and a
    // box for a disk write that failed since the last call; once a frame.
    void showDrives();
    // Every menu text again in the language now in use.
    void retranslateMenus();

  private:
    void buildMenus();
    // After an OpenGL driver, the window composes itself through OpenGL
    // until its native window is made again: that frees the OpenGL
    // contexts (and a software OpenGL's threads) the software driver does
    // not need.
    void leaveOpenGL();
    std::optional<QPoint> returnTo; // where leaveOpenGL's new window goes
    // Hands the keys back to the machine once no menu is open.
    void leaveMenuBar();
    void runCommand(int id);
    QString askFile(bool save);
    std::string askWav(bool save, const char* title);
    void attachDisk(unsigned drive);
    void newDisk();
    void saveScreenshot();
    void toggleSoundRecording();
    void saveAs();
    void openRecentFile(int index);
    // The deck: a tape to play or a recording, never both at once.
    void insertTape();
    void recordTape();
    void rewindTape();
    void ejectTape();

    VideoView* view;
    OrvaneStatusBar* statusBarWidget;
    std::map<int, QAction*> commandActions;
    std::map<quint64, uint8_t> heldKeys; // host key -> the machine key it pressed
    QMenu* recentMenu = nullptr;
    struct DriveActivity {
        uint64_t seen = 0; // sectors moved when last shown
        int frames = 0;    // frames the light stays on
    } driveActivity[4];    // DR0-DR3
    uint64_t shownDiskFailures = 0;
    QStringList recent;
    QList<QMenu*> menus;
    int openFilter = 1, saveFilter = 1;
};

// Lets go of every key the machine holds (after the keys still queued), as
// when the window loses the keyboard.
void ReleaseMachineKeys();
