// The commands of the main window's menu and accelerators, and the file
// flows they share with the command line and dropped files.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

#include <cstdio>

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "cpu/z80.h"
#include "host/qt/debugger_window.h"
#include "host/qt/desktop.h"
#include "host/qt/key_queue.h"
#include "host/qt/language.h"
#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"
#include "host/qt/paste.h"
#include "host/qt/settings.h"
#include "host/qt/window_extras.h"
#include "host/session/media_commands.h"
#include "host/session/screenshot.h"
#include "host/session/session.h"
#include "host/session/typing.h"
#include "host/sound/drivers.h"
#include "host/text/screen_text.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "machine/roms.h"
#include "media/disk_card.h"
#include "media/tape_deck.h"
#include "monitor/dumps.h"
#include "monitor/monitor.h"
#include "sound/mixer.h"

namespace {

// The last extension of the file name, lower case, with its dot ("" if none).
std::string lastExtension(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    QString extension = QString::fromStdString(path.substr(dot)).toLower();
    return extension.toStdString();
}

bool hasExtension(const std::string& path, const char* extension) {
    return lastExtension(path) == extension;
}

QString fromPath(const std::string& path) { return QString::fromLocal8Bit(path.c_str()); }

// The running sound driver's index (0 for "No sound").
uint32_t runningSoundDriver() {
    for (uint32_t i = 0; i < SoundDriverCount; i++)
        if (SoundDrivers[i] == CurrentSoundDriver()) return i;
    return 0;
}

const QStringList OpenFilters = {"All supported files (*.bac *.bas *.wav *.atp)",
                                 "BAC files (*.bac)",
                                 "ABC80 tape files (*.atp)",
                                 "WAV files (*.wav)",
                                 "BAS files (*.bas)",
                                 "All files (*)"};
const QStringList SaveFilters = {"BAC files (*.bac)", "BAS files (*.bas)", "WAV files (*.wav)"};

} // namespace

QString MainWindow::askFile(bool save) {
    FileRequest request;
    request.save = save;
    request.filters = save ? SaveFilters : OpenFilters;
    request.rememberedFilter = save ? &saveFilter : &openFilter;
    return fileDialog(request);
}

std::string MainWindow::askWav(bool save, const char* title) {
    FileRequest request;
    request.save = save;
    request.title = title;
    request.filters = QStringList{"WAV files (*.wav)", "All files (*)"};
    std::string path = fileDialog(request).toStdString();
    if (save && !path.empty() && !hasExtension(path, ".wav")) path += ".wav";
    return path;
}

int MainWindow::report(const SessionResult& result) {
    if (!result.message.empty()) ShowStatus("%s", result.message.c_str());
    if (result.outcome == Outcome::Failed)
        showError(QString::fromStdString(result.caption), fromPath(result.message));
    return result.ok() ? 1 : 0;
}

void MainWindow::insertTape() {
    std::string path = askWav(false, "Insert tape to play...");
    if (!path.empty() && report(InsertSessionTape(path))) addRecentFile(fromPath(path));
}

void MainWindow::recordTape() {
    // Refused before a file name is asked for.
    if (!report(TapeDeckFreeToRecord())) return;
    std::string path = askWav(true, "Record tape to WAV...");
    if (!path.empty()) report(RecordSessionTape(path));
}

void MainWindow::rewindTape() { report(RewindSessionTape()); }
void MainWindow::ejectTape() { report(EjectSessionTape()); }

int MainWindow::LoadFileByExtension(const std::string& path, LoadStart start) {
    const SessionLoad load = LoadSessionFile(path, start);
    if (load.ok()) addRecentFile(fromPath(path));
    return report(load);
}

int MainWindow::LoadOrAutostart(bool autostart) {
    std::string path = askFile(false).toStdString();
    int loaded = 0;
    if (!path.empty())
        loaded = LoadFileByExtension(path, autostart ? LoadStart::Autostart : LoadStart::Load);
    ResetPacing();
    return loaded;
}

int MainWindow::DropFile(const std::string& path) {
    // A save state is the whole machine: nothing to reset or start.
    if (hasExtension(path, SaveStateExtension)) return LoadStateFromFile(path, path.c_str());
    // A disk image goes into a drive, as on the web page.
    if (hasExtension(path, ".dsk") || hasExtension(path, ".img")) {
        const int attached = report(AttachSessionDisk(FreeDrive(), path));
        if (attached) addRecentFile(fromPath(path));
        markDrives();
        return attached;
    }
    int loaded = LoadFileByExtension(path, LoadStart::Autostart);
    ResetPacing();
    return loaded;
}

QString MainWindow::ScreenTextForClipboard() const {
    return QString::fromUtf8(ScreenText().c_str());
}

void MainWindow::saveAs() {
    std::string path = askFile(true).toStdString();
    if (path.empty()) return;
    std::string saved;
    const SessionResult result = SaveSessionFile(path, &saved);
    // The diagnostic line of a save, written whatever the extension.
    std::fprintf(stderr, "File saved: %s.\n", saved.c_str());
    report(result);
    ResetPacing();
}

void MainWindow::attachDisk(unsigned drive) {
    FileRequest request;
    request.title = QString("Attach disk image to DR%1...").arg(drive);
    request.filters = QStringList{"Disk images (*.dsk *.img)", "All (*)"};
    std::string path = fileDialog(request).toStdString();
    if (path.empty()) return;
    // A refused image leaves the drive as it was; an attached one's shape is
    // in the status bar already.
    const SessionResult result = AttachSessionDisk(drive, path);
    if (!result.ok())
        report(result);
    else {
        addRecentFile(fromPath(path));
        // Only a file that cannot be written has more to say than its shape.
        if (DriveImages[drive].readOnlyFile) report(result);
    }
    markDrives();
}

void MainWindow::newDisk() {
    FileRequest request;
    request.save = true;
    request.title = "New disk image...";
    request.filters = QStringList{"Disk images (*.dsk *.img)", "All (*)"};
    std::string path = fileDialog(request).toStdString();
    if (path.empty()) return;
    if (QFileInfo(fromPath(path)).suffix().isEmpty()) path += ".dsk";
    if (report(NewSessionDisk(FreeDrive(), path))) addRecentFile(fromPath(path));
    markDrives();
}

void MainWindow::markDrives() {
    for (unsigned drive = 0; drive < MenuDrives; drive++)
        if (QAction* item = action(CmdAttachFirst + static_cast<int>(drive)))
            item->setText(
                DriveNames[drive].empty()
                    ? MenuText("Drive DR&%1 - ...").arg(drive)
                    : MessageText(
                          QString("Drive DR%1 - %2").arg(drive).arg(fromPath(DriveNames[drive]))));
    for (int drive = 0; drive <= CmdWriteProtectLast - CmdWriteProtectFirst; drive++)
        setChecked(CmdWriteProtectFirst + drive, DriveWriteProtectSwitch(drive));
    showDrives();
}

void MainWindow::showDrives() {
    QStringList parts, tips;
    // DR0 and DR1 always; DR2 and DR3 (dropped images) while they hold one.
    for (unsigned drive = 0; drive < MenuDrives; drive++) {
        const DriveImage& image = DriveImages[drive];
        if (drive >= 2 && image.path.empty()) continue;
        // Counts start again at 0 with each image; only a rise is activity.
        const uint64_t moved = image.sectorsRead + image.sectorsWritten;
        if (image.path.empty())
            driveActivity[drive].frames = 0;
        else if (moved > driveActivity[drive].seen)
            driveActivity[drive].frames = 10;
        else if (driveActivity[drive].frames > 0)
            driveActivity[drive].frames--;
        driveActivity[drive].seen = moved;
        QString part = QString::fromStdString(DriveStatusText(drive));
        // The activity light stays on for ten frames after a sector moved.
        if (driveActivity[drive].frames > 0) part += QString(" ") + QChar(0x25CF);
        parts << part;
        tips << (image.path.empty()
                     ? QString("DR%1 is empty").arg(drive)
                     : QString("DR%1: %2%3")
                           .arg(drive)
                           .arg(fromPath(image.path))
                           .arg(DriveWriteProtected(drive) ? QString(" (write-protected)")
                                                           : QString()));
    }
    statusBarWidget->setDrives(parts.join("  "), tips.join("\n"));
    // A write the host could not complete is shown once, in a box.
    if (DiskWriteFailures() != shownDiskFailures) {
        shownDiskFailures = DiskWriteFailures();
        showError("Disk write failed!", QString::fromStdString(LastDiskWriteFailure()));
        ResetPacing();
    }
}

void MainWindow::saveScreenshot() {
    FileRequest request;
    request.save = true;
    request.title = "Save screenshot as BMP...";
    request.filters = QStringList{"Bitmap files (*.bmp)", "All (*)"};
    std::string path = fileDialog(request).toStdString();
    if (path.empty()) return;
    if (!hasExtension(path, ".png") && !hasExtension(path, ".bmp")) path += ".bmp";
    report(SaveSessionScreenshot(path, desktop.frameBuffer.data(), desktop.pitchShift));
}

void MainWindow::toggleSoundRecording() {
    if (SoundRecordingBytes(nullptr)) {
        setChecked(CmdSoundRecording, false);
        report(StopSessionSoundRecording());
        return;
    }
    setChecked(CmdSoundRecording, false);
    FileRequest request;
    request.save = true;
    request.title = "Save sound to WAV...";
    request.filters = QStringList{"WAV files (*.wav)", "All (*)"};
    std::string path = fileDialog(request).toStdString();
    if (path.empty()) return;
    if (!hasExtension(path, ".wav")) path += ".wav";
    setChecked(CmdSoundRecording, report(StartSessionSoundRecording(path)) != 0);
}

int MainWindow::OnCommand(int id) {
    PauseSound();
    if (id == CmdExit) {
        close();
        return 0;
    }
    if (id == CmdPause) {
        desktop.paused = !desktop.paused;
        setChecked(CmdPause, desktop.paused);
        desktop.running = !desktop.paused;
        ShowStatus("%s", desktop.paused ? "Inactive." : "");
        return 0;
    }
    if (id == CmdRewind) {
        if (desktop.rewinding)
            StopRewind();
        else
            StartRewind(RewindByMenu);
        ResetPacing();
        return 0;
    }
    runCommand(id);
    ResetPacing();
    ResumeSound();
    return 0;
}

void MainWindow::runCommand(int id) {
    if (id >= CmdSpeedFirst && id <= CmdSpeedLast) {
        for (int i = CmdSpeedFirst; i <= CmdSpeedLast; i++)
            setChecked(i, false);
        SyncSpeed = SelectSpeed(desktop.pacer, id);
        setChecked(CmdSpeedFirst + static_cast<int>(SyncSpeed), true);
        ResetSoundOutput();
        return;
    }
    if (id >= CmdQuickSaveFirst && id <= CmdQuickSaveLast) {
        int slot = id - CmdQuickSaveFirst + 1;
        const std::string slotPath = QuickSlotPath(slot);
        QDir().mkpath(QString::fromStdString(slotPath.substr(0, slotPath.find_last_of('/'))));
        SaveStateToFile(slotPath, ("slot " + std::to_string(slot)).c_str());
        markQuickSlots();
        return;
    }
    if (id >= CmdQuickLoadFirst && id <= CmdQuickLoadLast) {
        int slot = id - CmdQuickLoadFirst + 1;
        // An empty slot is no failure: nothing to show a message box for.
        if (!QFileInfo::exists(fromPath(QuickSlotPath(slot))))
            ShowStatus("Slot %d is empty; Shift+F%d saves the machine into it.", slot, slot + 4);
        else
            LoadStateFromFile(QuickSlotPath(slot), ("slot " + std::to_string(slot)).c_str());
        return;
    }
    if (id >= CmdRecentFirst && id <= CmdRecentLast) {
        openRecentFile(id - CmdRecentFirst);
        return;
    }
    if (id >= CmdAttachFirst && id <= CmdAttachLast) {
        attachDisk(static_cast<unsigned>(id - CmdAttachFirst));
        return;
    }
    if (id >= CmdBasicFirst && id <= CmdBasicLast) {
        const SessionResult chosen = ChooseSessionBasic(static_cast<uint32_t>(id - CmdBasicFirst));
        markRoms();
        report(chosen);
        return;
    }
    if ((id >= CmdDosFirst && id <= CmdDosLast) || id == CmdDosOpen) {
        const SessionResult chosen = ChooseSessionDos(
            id == CmdDosOpen ? DosRomOpen : static_cast<uint32_t>(id - CmdDosFirst));
        markRoms(true);
        report(chosen);
        return;
    }
    if (id >= CmdVideoFirst && id <= CmdVideoLast) {
        for (int i = CmdVideoFirst; i <= CmdVideoLast; i++)
            setChecked(i, false);
        const uint32_t before = view->videoDriver();
        VideoDriverSetting = view->SelectVideoDriver(static_cast<uint32_t>(id - CmdVideoFirst));
        setChecked(CmdVideoFirst + static_cast<int>(VideoDriverSetting), true);
        if (before != VideoSoftware && VideoDriverSetting == VideoSoftware)
            QTimer::singleShot(0, this, [this] { leaveOpenGL(); });
        return;
    }
    if (id >= CmdSoundFirst && id <= CmdSoundLast) {
        for (int i = CmdSoundFirst; i <= CmdSoundLast; i++)
            setChecked(i, false);
        const uint32_t chosen = static_cast<uint32_t>(id - CmdSoundFirst);
        OpenSoundDriver(chosen);
        reportSoundDriver(chosen);
        return;
    }
    if (id >= CmdLanguageFirst && id <= CmdLanguageLast) {
        LanguageSetting = static_cast<uint32_t>(id - CmdLanguageFirst);
        ApplyLanguage(LanguageSetting);
        retranslateMenus();
        markRoms();
        SetRadioMark(CmdLanguageFirst, 3, LanguageSetting);
        return;
    }
    switch (id) {
    case CmdAutostart: LoadOrAutostart(true); break;
    case CmdLoad: LoadOrAutostart(false); break;
    case CmdSaveAs: saveAs(); break;
    case CmdSaveState: SaveStateAs(); break;
    case CmdLoadState: LoadStateFrom(); break;
    case CmdMemoryDump: {
        QString folder = QDir::currentPath();
        std::string cause;
        if (memoryDumpFiles(&cause)) {
            ShowStatus("Memory dump to %s/dump.txt and dump.bin",
                       folder.left(260).toLocal8Bit().constData());
        } else {
            ShowStatus("Cannot write the memory dump in %s.",
                       folder.left(260).toLocal8Bit().constData());
            showError("Error", QString("Cannot write the memory dump (dump.txt, dump.bin) in "
                                       "%1: %2.")
                                   .arg(folder, QString::fromStdString(cause)));
        }
        break;
    }
    case CmdDetachDisks:
        DetachSessionDisks();
        markDrives();
        break;
    case CmdNewDisk: newDisk(); break;
    case CmdWriteProtectFirst:
    case CmdWriteProtectLast: {
        const unsigned drive = static_cast<unsigned>(id - CmdWriteProtectFirst);
        report(SetSessionWriteProtect(drive, !DriveWriteProtectSwitch(drive)));
        markDrives();
        break;
    }
    case CmdDetachFirst:
    case CmdDetachLast:
        report(DetachSessionDisk(static_cast<unsigned>(id - CmdDetachFirst)));
        markDrives();
        break;
    case CmdCopyText: QGuiApplication::clipboard()->setText(ScreenTextForClipboard()); break;
    case CmdCopyBitmap: QGuiApplication::clipboard()->setImage(view->grabPicture()); break;
    case CmdPaste: {
        DroppedCharacters dropped;
        std::string bytes =
            ClipboardTextToMachineBytes(QGuiApplication::clipboard()->text(), &dropped);
        if (!bytes.empty()) TypeAfterCurrent(bytes);
        if (dropped.count) ShowStatusText(QString::fromStdString(DroppedCharactersNote(dropped)));
        break;
    }
    case CmdScreenshot: saveScreenshot(); break;
    case CmdSoundRecording: toggleSoundRecording(); break;
    case CmdReset: SessionReset(); break;
    case CmdHardReset: SessionHardReset(); break;
    case CmdMonitor: OpenMonitor(MonitorOpenedByUser); break;
    case CmdDebugger: OpenDebugger(); break;
    case CmdKeepAspect:
        KeepAspectRatio = !KeepAspectRatio;
        setChecked(CmdKeepAspect, KeepAspectRatio != 0);
        view->setKeepAspect(KeepAspectRatio != 0);
        break;
    case CmdFullScreen: ToggleFullScreen(this); break;
    case CmdCycleBased:
        CycleBased = !CycleBased;
        setChecked(CmdCycleBased, CycleBased != 0);
        break;
    case CmdTapeInsert: insertTape(); break;
    case CmdTapeRecord: recordTape(); break;
    case CmdTapeRewind: rewindTape(); break;
    case CmdTapeEject: ejectTape(); break;
    case CmdFastTape:
        FastTape = !FastTape;
        setChecked(CmdFastTape, FastTape != 0);
        break;
    case CmdTapeSound:
        SetTapeSound(!TapeSoundEnabled());
        setChecked(CmdTapeSound, TapeSoundEnabled() != 0);
        break;
    case CmdKeyboardNatural:
    case CmdKeyboardPositional:
        NaturalKeyboard = id == CmdKeyboardNatural ? 1 : 0;
        ReleaseMachineKeys();
        SetRadioMark(CmdKeyboardNatural, 2, NaturalKeyboard ? 0 : 1);
        break;
    case CmdKeyboardHelp: keyboardHelpDialog(this); break;
    case CmdMessageLog: messageLogDialog(this); break;
    case CmdQuickScreenshot: quickScreenshot(quickScreenshotFolder); break;
    case CmdAbout:
        messageBox(
            MessageText("About Orvane"),
            MessageText("Luxor ABC80 emulator\nfor Linux (Qt 6)\nversion " ORVANE_SHORT_VERSION
                        "\n\n"));
        break;
    default: break;
    }
}

void MainWindow::showError(const QString& caption, const QString& text) {
    messageBox(MessageText(caption), MessageText(text));
}

void MainWindow::reportSoundDriver(uint32_t chosen) {
    const uint32_t running = runningSoundDriver();
    for (int i = CmdSoundFirst; i <= CmdSoundLast; i++)
        setChecked(i, i - CmdSoundFirst == static_cast<int>(running));
    SoundDriverSetting = running;
    // No box: a machine without a sound device runs on, and says so once.
    if (running == chosen || chosen >= SoundDriverCount) return;
    if (running == 0)
        ShowStatusText(QString("The sound driver \"%1\" could not be opened; the machine "
                               "runs without sound.")
                           .arg(SoundDrivers[chosen]->name));
    else
        ShowStatusText(QString("The sound driver \"%1\" could not be opened; sound goes to "
                               "\"%2\" instead.")
                           .arg(SoundDrivers[chosen]->name, SoundDrivers[running]->name));
}

void MainWindow::addRecentFile(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    recent.removeAll(full);
    recent.prepend(full);
    while (recent.size() > 8)
        recent.removeLast();
    if (desktop.store) desktop.store->setValue("RecentFiles", recent);
    rebuildRecentMenu();
}

void MainWindow::setRecentFiles(const QStringList& files) {
    recent = files.mid(0, 8);
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
    if (!recentMenu) return;
    for (int id = CmdRecentFirst; id <= CmdRecentLast; id++) {
        auto found = commandActions.find(id);
        if (found != commandActions.end()) {
            recentMenu->removeAction(found->second);
            found->second->deleteLater();
            commandActions.erase(found);
        }
    }
    recentMenu->setEnabled(!recent.isEmpty());
    for (int i = 0; i < recent.size(); i++) {
        QString shown = recent[i];
        shown.replace("&", "&&");
        QAction* item = recentMenu->addAction(QString("&%1 %2").arg(i + 1).arg(shown));
        const int id = CmdRecentFirst + i;
        QObject::connect(item, &QAction::triggered, this, [this, id] { OnCommand(id); });
        commandActions[id] = item;
    }
}

void MainWindow::openRecentFile(int index) {
    if (index < 0 || index >= recent.size()) return;
    const QString path = recent[index];
    if (!QFileInfo::exists(path)) {
        recent.removeAt(index);
        if (desktop.store) desktop.store->setValue("RecentFiles", recent);
        rebuildRecentMenu();
        ShowStatus("%s no longer exists; it was removed from the recent files.",
                   path.toLocal8Bit().constData());
        return;
    }
    DropFile(path.toLocal8Bit().toStdString());
}

QString MainWindow::quickScreenshot(const QString& where) {
    const QString folder = where.isEmpty() ? QuickScreenshotFolder() : where;
    std::string saved;
    if (!report(SaveQuickScreenshot(folder.toLocal8Bit().toStdString(), desktop.frameBuffer.data(),
                                    desktop.pitchShift, &saved)))
        return QString();
    return fromPath(saved);
}

void MainWindow::markRoms(bool dosLast) {
    const char* const basicTexts[2] = {"&Old ROM (Checksum: 11273)", "&New ROM (Checksum: 9913)"};
    const char* const firmwareTexts[2] = {"&Old ROM slot: Open firmware",
                                          "&New ROM slot: Open firmware"};
    for (uint32_t slot = 0; slot < 2; slot++)
        if (QAction* item = action(CmdBasicFirst + static_cast<int>(slot)))
            item->setText(
                MenuText(basicRomSource(slot).empty() ? firmwareTexts[slot] : basicTexts[slot]));
    const char* const dosTexts[3] = {"&None", "&ABCDOS", "&UFDDOS"};
    for (uint32_t dos = 1; dos < 3; dos++)
        if (QAction* item = action(CmdDosFirst + static_cast<int>(dos)))
            item->setText(MenuText(dosTexts[dos]) +
                          (dosRomPresent(dos) ? QString() : MenuText(" (not installed)")));
    if (!dosLast) markDos(runningDos(dosRom));
    SetRadioMark(CmdBasicFirst, 3, basicRom);
    if (dosLast) markDos(runningDos(dosRom));
}

// The DOS that runs is ticked: a genuine DOS without its image ticks Open DOS.
void MainWindow::markDos(uint32_t running) {
    if (running == DosRomOpen) {
        for (int id = CmdDosFirst; id <= CmdDosLast; id++)
            setChecked(id, false);
        SetRadioMark(CmdDosOpen, 1, 0);
    } else {
        setChecked(CmdDosOpen, false);
        SetRadioMark(CmdDosFirst, 3, running);
    }
}
