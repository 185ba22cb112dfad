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

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "host/qt/status_bar.h"
#include "host/qt/video_view.h"

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
    int LoadFileByExtension(const std::string& path);
    int LoadOrAutostart(bool autostart);
    int DropFile(const std::string& path);
    // Save states: through a dialog, or in quick slot 1-4 (under the
    // per-user data folder). Each says what happened in the status bar.
    int SaveStateAs();
    int LoadStateFrom();
    int SaveStateToFile(const std::string& path, const char* what);
    int LoadStateFromFile(const std::string& path, const char* what);
    static std::string QuickSlotPath(int slot);
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

  private:
    void buildMenus();
    void runCommand(int id);
    QString askFile(bool save);
    std::string askWav(bool save, const char* title);
    void attachDisk(unsigned drive);
    void detachDisks();
    void saveScreenshot();
    void toggleSoundRecording();
    void saveAs();
    // The deck: a tape to play or a recording, never both at once.
    void insertTape();
    void recordTape();
    void rewindTape();
    void ejectTape();
    // Starts recording the cassette output to path unless a tape is in the
    // deck to play (then says so); 1 when recording.
    int startRecording(const std::string& path);

    VideoView* view;
    OrvaneStatusBar* statusBarWidget;
    std::map<int, QAction*> commandActions;
    QList<QMenu*> menus;
    int openFilter = 1, saveFilter = 1;
};
