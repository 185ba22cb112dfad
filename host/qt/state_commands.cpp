// The desktop's save-state commands: File > Save state / Load state with a
// dialog (the file then joins the recent files; choosing it there, or dropping
// a .ost file on the window, loads it), and the four quick slots on
// Shift+F5..F8 (save) and F5..F8 (load).
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "host/qt/desktop.h"
#include "host/qt/language.h"
#include "host/qt/main_window.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "host/qt/status_bar.h"
#include "host/session/session.h"
#include "machine/memory.h"
#include "media/disk_card.h"

namespace {

const QStringList StateFilters = {"Orvane save states (*.ost)", "All files (*)"};

std::string withStateExtension(std::string path) {
    size_t name = path.find_last_of('/') + 1;
    if (path.find('.', name) == std::string::npos) path += SaveStateExtension;
    return path;
}

} // namespace

std::string MainWindow::QuickSlotPath(int slot) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return (folder + QString("/states/slot%1.ost").arg(slot)).toStdString();
}

int MainWindow::SaveStateToFile(const std::string& path, const char* what) {
    QDir().mkpath(QString::fromStdString(path.substr(0, path.find_last_of('/'))));
    cycleBasedFrames = CycleBased != 0;
    const int saved = report(SaveSessionState(path, what));
    ResetPacing();
    return saved;
}

int MainWindow::LoadStateFromFile(const std::string& path, const char* what) {
    const SessionResult result = LoadSessionState(path, what);
    if (result.ok()) {
        CycleBased = cycleBasedFrames ? 1 : 0;
        markChoices();
        SetRadioMark(CmdBasicFirst, 3, basicRom);
        SetRadioMark(CmdDosFirst, 3, dosRom);
        markDrives();
    }
    // Said last: the marks above show their own " set." texts.
    const int loaded = report(result);
    ResetPacing();
    return loaded;
}

void MainWindow::markQuickSlots() {
    for (int slot = 1; slot <= 4; slot++) {
        QAction* item = action(CmdQuickLoadFirst + slot - 1);
        if (!item) continue;
        const QFileInfo saved(QString::fromStdString(QuickSlotPath(slot)));
        const QString when = saved.exists() ? saved.lastModified().toString("yyyy-MM-dd HH:mm:ss")
                                            : MenuText("empty");
        item->setText(MenuText("Load slot %1 (%2)\tF%3").arg(slot).arg(when).arg(slot + 4));
    }
}

int MainWindow::SaveStateAs() {
    FileRequest request;
    request.save = true;
    request.title = "Save state as...";
    request.filters = StateFilters;
    std::string path = fileDialog(request).toStdString();
    if (path.empty()) return 0;
    path = withStateExtension(path);
    int saved = SaveStateToFile(path, path.c_str());
    if (saved) addRecentFile(QString::fromLocal8Bit(path.c_str()));
    return saved;
}

int MainWindow::LoadStateFrom() {
    FileRequest request;
    request.title = "Load state...";
    request.filters = StateFilters;
    std::string path = fileDialog(request).toStdString();
    if (path.empty()) return 0;
    int loaded = LoadStateFromFile(path, path.c_str());
    if (loaded) addRecentFile(QString::fromLocal8Bit(path.c_str()));
    return loaded;
}
