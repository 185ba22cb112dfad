// The commands of the main window's menu and accelerators, and the file
// flows they share with the command line and dropped files.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <fstream>

#include "abc80/abc80.h"
#include "cpu/z80.h"
#include "host/headless.h"
#include "host/qt/desktop.h"
#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"
#include "host/qt/paste.h"
#include "host/qt/settings.h"
#include "host/sound/drivers.h"
#include "machine/frame.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/disk_card.h"
#include "media/tape_deck.h"
#include "media/tape_images.h"
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

bool readable(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file.good();
}

const QStringList OpenFilters = {"All supported files (*.bac *.bas *.wav *.atp)",
                                 "BAC files (*.bac)",
                                 "ABC80 tape files (*.atp)",
                                 "WAV files (*.wav)",
                                 "BAS files (*.bas)",
                                 "All files (*)"};
const QStringList SaveFilters = {"BAC files (*.bac)", "WAV files (*.wav)"};

std::string attachedImages[4];

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

int MainWindow::startRecording(const std::string& path) {
    if (TapeInserted()) {
        ShowStatus("Cannot record to %s: %s is in the deck to play. Eject it first.", path.c_str(),
                   tapeDeck.path.c_str());
        return 0;
    }
    std::string finished = tapeDeck.file ? tapeDeck.path : std::string();
    if (!StartTapeRecording(path, 44100)) {
        ShowStatus("Cannot write %s.", path.c_str());
        return 0;
    }
    if (!finished.empty())
        ShowStatus("Recording to %s finished; recording to %s.", finished.c_str(), path.c_str());
    else
        ShowStatus("Recording to %s: SAVE CAS: writes onto it.", path.c_str());
    return 1;
}

void MainWindow::insertTape() {
    std::string path = askWav(false, "Insert tape to play...");
    if (path.empty()) return;
    if (tapeDeck.file && !TapeInserted()) {
        ShowStatus("Recording to %s: eject it (ending the recording) before inserting a tape.",
                   tapeDeck.path.c_str());
        return;
    }
    OpenTapeForReading(path);
    if (!TapeInserted()) {
        ShowStatus("Cannot open %s.", path.c_str());
        return;
    }
    uint64_t length = TapeLengthSeconds();
    ShowStatus("Tape in the deck: %s (%02u:%02u). LOAD CAS: reads it.", path.c_str(),
               static_cast<unsigned>(length / 60), static_cast<unsigned>(length % 60));
}

void MainWindow::recordTape() {
    if (TapeInserted()) {
        ShowStatus("%s is in the deck to play. Eject it before recording.", tapeDeck.path.c_str());
        return;
    }
    std::string path = askWav(true, "Record tape to WAV...");
    if (!path.empty()) startRecording(path);
}

void MainWindow::rewindTape() {
    if (RewindTape())
        ShowStatus("Tape rewound: %s.", tapeDeck.path.c_str());
    else if (tapeDeck.file)
        ShowStatus("A recording is not rewound; eject it to finish it.");
    else
        ShowStatus("No tape in the deck.");
}

void MainWindow::ejectTape() {
    if (!tapeDeck.file) {
        ShowStatus("No tape in the deck.");
        return;
    }
    std::string path = tapeDeck.path;
    bool recording = !TapeInserted();
    CloseTape();
    if (recording)
        ShowStatus("Recording finished: %s.", path.c_str());
    else
        ShowStatus("Tape ejected: %s.", path.c_str());
}

int MainWindow::LoadFileByExtension(const std::string& path) {
    std::string extension = lastExtension(path);
    int (*loader)(const std::string&) = nullptr;
    if (extension == ".bac")
        loader = LoadBacImage;
    else if (extension == ".atp")
        loader = LoadAtpImage;
    else if (extension == ".bas")
        loader = LoadBasFile;
    else if (extension != ".wav") {
        ShowStatus("Cannot load %s: not an ATP, BAC, BAS or WAV file.", path.c_str());
        return 0;
    }
    if (!readable(path)) {
        ShowStatus("Cannot open %s.", path.c_str());
        return 0;
    }
    if (loader && !loader(path)) {
        ShowStatus("Cannot load %s.", path.c_str());
        return 0;
    }
    if (!loader && tapeDeck.file && !TapeInserted()) {
        ShowStatus("Recording to %s: eject it (ending the recording) before playing %s.",
                   tapeDeck.path.c_str(), path.c_str());
        return 0;
    }
    if (!loader) OpenTapeForReading(path);
    ShowStatus("Loaded %s.", path.c_str());
    return 1;
}

int MainWindow::LoadOrAutostart(bool autostart) {
    std::string path = askFile(false).toStdString();
    int loaded = 0;
    if (!path.empty()) {
        if (autostart) {
            machineReset();
            desktop.typingQueue.clear();
            runFramesBlind(50);
        }
        loaded = LoadFileByExtension(path);
        if (loaded) {
            if (hasExtension(path, ".wav"))
                TypeAfterCurrent("LOAD CAS:\r");
            else if (autostart)
                TypeAfterCurrent("RUN\r");
        }
    }
    ResetPacing();
    return loaded;
}

int MainWindow::DropFile(const std::string& path) {
    machineReset();
    desktop.typingQueue.clear();
    runFramesBlind(50);
    int loaded = LoadFileByExtension(path);
    // A recording only plays once BASIC is asked to read the cassette.
    if (loaded) TypeAfterCurrent(hasExtension(path, ".wav") ? "LOAD CAS:\r" : "RUN\r");
    ResetPacing();
    return loaded;
}

QString MainWindow::ScreenTextForClipboard() const {
    return QString::fromUtf8(ScreenText().c_str());
}

void MainWindow::saveAs() {
    std::string path = askFile(true).toStdString();
    if (path.empty()) return;
    if (lastExtension(path).empty() &&
        path.find('.', path.find_last_of('/') + 1) == std::string::npos)
        path += ".bac";
    std::string extension = lastExtension(path);
    if (extension == ".bac") {
        SaveBacImage(path);
        if (!readable(path)) ShowStatus("Cannot write %s.", path.c_str());
    } else if (extension == ".wav") {
        startRecording(path);
    }
    std::fprintf(stderr, "File saved: %s.\n", path.c_str());
    ResetPacing();
}

void MainWindow::attachDisk(unsigned drive) {
    FileRequest request;
    request.title = QString("Attach disk image to DR%1...").arg(drive);
    request.filters = QStringList{"Disk images (*.dsk *.img)", "All (*)"};
    std::string path = fileDialog(request).toStdString();
    if (path.empty()) return;
    QString text = QString("Drive DR%1 - %2").arg(drive).arg(QString::fromStdString(path));
    if (!attachedImages[drive].empty()) {
        DetachDrive(drive);
        attachedImages[drive].clear();
        if (QAction* item = action(CmdAttachFirst + static_cast<int>(drive)))
            item->setText(QString("Drive DR&%1 - ...").arg(drive));
    }
    if (AttachDiskImage(drive, path)) {
        attachedImages[drive] = path;
        if (QAction* item = action(CmdAttachFirst + static_cast<int>(drive))) item->setText(text);
    } else {
        messageBox("Error attaching disk image!", text);
    }
}

void MainWindow::detachDisks() {
    for (unsigned drive = 0; drive < 4; drive++) {
        DetachDrive(drive);
        attachedImages[drive].clear();
        if (QAction* item = action(CmdAttachFirst + static_cast<int>(drive)))
            item->setText(QString("Drive DR&%1 - ...").arg(drive));
    }
}

void MainWindow::saveScreenshot() {
    FileRequest request;
    request.save = true;
    request.title = "Save screenshot as BMP...";
    request.filters = QStringList{"Bitmap files (*.bmp)", "All (*)"};
    std::string path = fileDialog(request).toStdString();
    if (path.empty()) return;
    if (!hasExtension(path, ".bmp")) path += ".bmp";
    if (!WriteScreenshotBmp(path, desktop.frameBuffer.data(), desktop.pitchShift))
        ShowStatus("Cannot write %s.", path.c_str());
}

void MainWindow::toggleSoundRecording() {
    if (SoundRecordingBytes(nullptr)) {
        StopSoundRecording();
        setChecked(CmdSoundRecording, false);
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
    if (StartSoundRecording(path.c_str()))
        setChecked(CmdSoundRecording, true);
    else
        ShowStatus("Cannot write %s.", path.c_str());
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
        SaveStateToFile(QuickSlotPath(slot), ("slot " + std::to_string(slot)).c_str());
        return;
    }
    if (id >= CmdQuickLoadFirst && id <= CmdQuickLoadLast) {
        int slot = id - CmdQuickLoadFirst + 1;
        LoadStateFromFile(QuickSlotPath(slot), ("slot " + std::to_string(slot)).c_str());
        return;
    }
    if (id >= CmdAttachFirst && id <= CmdAttachLast) {
        attachDisk(static_cast<unsigned>(id - CmdAttachFirst));
        return;
    }
    if (id >= CmdBasicFirst && id <= CmdBasicLast) {
        basicRom = static_cast<uint32_t>(id - CmdBasicFirst);
        if (basicRom == BasicRomExternal && !loadExternalRom()) {
            SetRadioMark(CmdBasicFirst, 3, basicRom);
            ShowStatus("No ZaVUR80BASIC.ROM found; the old ROM runs instead.");
        } else {
            SetRadioMark(CmdBasicFirst, 3, basicRom);
        }
        machineReset();
        return;
    }
    if (id >= CmdDosFirst && id <= CmdDosLast) {
        dosRom = static_cast<uint32_t>(id - CmdDosFirst);
        SetRadioMark(CmdDosFirst, 3, dosRom);
        machineReset();
        return;
    }
    if (id >= CmdVideoFirst && id <= CmdVideoLast) {
        for (int i = CmdVideoFirst; i <= CmdVideoLast; i++)
            setChecked(i, false);
        VideoDriverSetting = view->SelectVideoDriver(static_cast<uint32_t>(id - CmdVideoFirst));
        setChecked(CmdVideoFirst + static_cast<int>(VideoDriverSetting), true);
        return;
    }
    if (id >= CmdSoundFirst && id <= CmdSoundLast) {
        for (int i = CmdSoundFirst; i <= CmdSoundLast; i++)
            setChecked(i, false);
        OpenSoundDriver(static_cast<uint32_t>(id - CmdSoundFirst));
        setChecked(CmdSoundFirst + static_cast<int>(SoundDriverSetting), true);
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
        if (memoryDumpFiles())
            ShowStatus("Memory dump to %s/DUMP.TXT/DUMP.BIN",
                       folder.left(260).toLocal8Bit().constData());
        else
            ShowStatus("Cannot write the memory dump in %s.",
                       folder.left(260).toLocal8Bit().constData());
        break;
    }
    case CmdDetachDisks: detachDisks(); break;
    case CmdCopyText: QGuiApplication::clipboard()->setText(ScreenTextForClipboard()); break;
    case CmdCopyBitmap: QGuiApplication::clipboard()->setImage(view->grabPicture()); break;
    case CmdPaste: {
        std::string bytes = ClipboardTextToMachineBytes(QGuiApplication::clipboard()->text());
        if (!bytes.empty()) TypeAfterCurrent(bytes.c_str());
        break;
    }
    case CmdScreenshot: saveScreenshot(); break;
    case CmdSoundRecording: toggleSoundRecording(); break;
    case CmdReset: machineReset(); break;
    case CmdHardReset: machineHardReset(); break;
    case CmdMonitor: monitorEnter(MonitorOpenedByUser, cpu.IP); break;
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
    case CmdAbout:
        messageBox("About Orvane",
                   "Luxor ABC80 emulator\nfor Linux (Qt 6)\nversion " ORVANE_SHORT_VERSION "\n\n");
        break;
    default: break;
    }
}
