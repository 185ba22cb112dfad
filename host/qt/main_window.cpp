// The main window's construction, menus and events; the commands are in
// commands.cpp.
#include "host/qt/main_window.h"

#include "media/disk_card.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "abc80/abc80.h"
#include "host/qt/desktop.h"
#include "host/qt/key_queue.h"
#include "host/qt/keymap.h"
#include "host/qt/language.h"
#include "host/qt/menu_table.h"
#include "host/qt/paste.h"
#include "host/qt/settings.h"
#include "host/qt/status_bar.h"
#include "host/qt/video_sizing.h"
#include "host/qt/window_extras.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/tape_deck.h"
#include "sound/mixer.h"

namespace {

QString defaultFileDialog(const FileRequest& request) {
    QFileDialog dialog(nullptr, MessageText(request.title));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const QString& filter : request.filters)
        filters.append(MessageText(filter));
    dialog.setNameFilters(filters);
    if (request.rememberedFilter && *request.rememberedFilter >= 1 &&
        *request.rememberedFilter <= filters.size())
        dialog.selectNameFilter(filters[*request.rememberedFilter - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    if (request.rememberedFilter) {
        int chosen = filters.indexOf(dialog.selectedNameFilter());
        if (chosen >= 0) *request.rememberedFilter = chosen + 1;
    }
    return dialog.selectedFiles().first();
}

} // namespace

MainWindow::MainWindow() {
    setWindowTitle("Orvane");
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled); // dead keys and compose sequences
    setWindowIcon(OrvaneIcon());
    view = new VideoView(this);
    setCentralWidget(view);
    statusBarWidget = new OrvaneStatusBar(this);
    setStatusBar(statusBarWidget);
    shownDiskFailures = DiskWriteFailures(); // failures before this window are not its to show
    buildMenus();
    fileDialog = defaultFileDialog;
    // The About box carries the program's icon; every other box is an error.
    messageBox = [this](const QString& caption, const QString& text) {
        const bool about = caption == MessageText("About Orvane");
        QMessageBox box(about ? QMessageBox::NoIcon : QMessageBox::Critical, caption, text,
                        QMessageBox::Ok, this);
        if (about) box.setIconPixmap(OrvaneIcon().pixmap(64, 64));
        box.exec();
    };
    keyboardHelpDialog = ShowKeyboardHelpDialog;
    messageLogDialog = ShowMessageLogDialog;
    // Every new message is also shown whole over the picture.
    statusBarWidget->onNewMessage = [this](const QString& text) { view->showMessage(text); };
    view->reportFailure = [this](const QString& caption, const QString& text) {
        showError(caption, text);
    };
    QSize minimum = MinimumWindowSize(statusBarWidget->sizeHint().height());
    minimum.rheight() += menuBar()->sizeHint().height();
    setMinimumSize(minimum);
    resize(720, 540 + menuBar()->sizeHint().height() + statusBarWidget->sizeHint().height());
    new AspectSizer(this, view, [] { return KeepAspectRatio != 0; });
}

MainWindow::~MainWindow() {
    if (CurrentStatusBar() == statusBarWidget) SetStatusBar(nullptr);
}

void MainWindow::buildMenus() {
    QMenu* parents[3] = {nullptr, nullptr, nullptr};
    for (int i = 0; i < MenuTableSize; i++) {
        const MenuEntry& entry = MenuTable[i];
        QWidget* parent =
            entry.level == 0 ? static_cast<QWidget*>(menuBar()) : parents[entry.level - 1];
        switch (entry.kind) {
        case MenuKind::Menu: {
            QMenu* menu = new QMenu(MenuText(entry.text), parent);
            menu->menuAction()->setProperty("englishText", QString::fromUtf8(entry.text));
            if (entry.level == 0) {
                menuBar()->addMenu(menu);
                menus.append(menu);
            } else {
                parents[entry.level - 1]->addMenu(menu);
            }
            parents[entry.level] = menu;
            if (entry.level == 1 && QString::fromLatin1(entry.text) == "&Recent files")
                recentMenu = menu;
            if (entry.level == 1 && QString::fromLatin1(entry.text) == "&Quick states")
                QObject::connect(menu, &QMenu::aboutToShow, this, [this] { markQuickSlots(); });
            QObject::connect(menu, &QMenu::aboutToShow, this, [] {
                if (desktop.menusOpen++ == 0) PauseSound();
            });
            QObject::connect(menu, &QMenu::aboutToHide, this, [this] {
                if (desktop.menusOpen > 0 && --desktop.menusOpen == 0) {
                    if (desktop.running) ResumeSound();
                    ReleaseMachineKeys();
                    ResetPacing();
                    // Escape closes a menu but leaves the menu bar taking
                    // keys (letters would open menus and choose items); once
                    // no menu is open, the keys are the machine's again.
                    QTimer::singleShot(0, this, [this] { leaveMenuBar(); });
                }
            });
            break;
        }
        case MenuKind::Separator: parents[entry.level - 1]->addSeparator(); break;
        case MenuKind::Item: {
            QAction* item = parents[entry.level - 1]->addAction(MenuText(entry.text));
            item->setProperty("englishText", QString::fromUtf8(entry.text));
            item->setCheckable(entry.mark != MenuMark::None);
            if (entry.shortcut) {
                item->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
                addAction(item); // keeps the key working while the menu bar is hidden
            }
            int id = entry.id;
            QObject::connect(item, &QAction::triggered, this, [this, id] { OnCommand(id); });
            commandActions[id] = item;
            break;
        }
        }
    }
}

void MainWindow::leaveMenuBar() {
    if (desktop.menusOpen != 0 || QApplication::activePopupWidget()) return;
    QMenuBar* bar = menuBar();
    if (bar->activeAction()) {
        // The menu bar's own way out of its keyboard mode.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(bar, &escape);
    }
    if (isActiveWindow()) setFocus(Qt::OtherFocusReason);
}

void MainWindow::leaveOpenGL() {
    if (view->videoDriver() != VideoSoftware || !windowHandle() ||
        windowHandle()->surfaceType() == QSurface::RasterSurface)
        return;
    const bool shown = isVisible();
    const bool full = isFullScreen(), maximized = isMaximized();
    const QPoint at = pos(); // the frame's corner
    const QSize inner = size();
    destroy(true, false); // the monitor's window and the dialogs stay
    create();
    resize(inner);
    move(at);
    if (shown) {
        if (full)
            showFullScreen();
        else if (maximized)
            showMaximized();
        else
            show();
        activateWindow();
        // The window manager places a new window as it likes; the first
        // move it makes takes the window back where it was.
        if (!full && !maximized) returnTo = at;
    }
}

void MainWindow::retranslateMenus() {
    for (QAction* item : findChildren<QAction*>()) {
        const QVariant english = item->property("englishText");
        if (english.isValid()) item->setText(MenuText(english.toString().toUtf8().constData()));
    }
    markDrives();
    markQuickSlots();
}

QAction* MainWindow::action(int id) const {
    auto found = commandActions.find(id);
    return found == commandActions.end() ? nullptr : found->second;
}

bool MainWindow::isChecked(int id) const {
    QAction* item = action(id);
    return item && item->isChecked();
}

void MainWindow::setChecked(int id, bool checked) {
    if (QAction* item = action(id)) item->setChecked(checked);
}

QList<QMenu*> MainWindow::topMenus() const { return menus; }

void MainWindow::SetRadioMark(int firstId, int count, uint32_t chosen) {
    for (int i = 0; i < count; i++)
        setChecked(firstId + i, false);
    QAction* item = action(firstId + static_cast<int>(chosen));
    if (!item) return;
    item->setChecked(true);
    QString text = item->text().left(64).mid(1) + " set.";
    ShowStatus("%s", text.toLatin1().constData());
}

void MainWindow::markChoices() {
    for (int id = CmdSpeedFirst; id <= CmdSpeedLast; id++)
        setChecked(id, false);
    setChecked(CmdSpeedFirst + static_cast<int>(SyncSpeed), true);
    setChecked(CmdKeepAspect, KeepAspectRatio != 0);
    setChecked(CmdCycleBased, CycleBased != 0);
    for (int i = 0; i < 3; i++) {
        setChecked(CmdVideoFirst + i, VideoDriverSetting == static_cast<uint32_t>(i));
        setChecked(CmdSoundFirst + i, SoundDriverSetting == static_cast<uint32_t>(i));
    }
    setChecked(CmdTapeSound, TapeSoundEnabled() != 0);
    setChecked(CmdKeyboardNatural, NaturalKeyboard != 0);
    setChecked(CmdKeyboardPositional, NaturalKeyboard == 0);
    setChecked(CmdFastTape, FastTape != 0);
    for (int i = 0; i < 3; i++)
        setChecked(CmdLanguageFirst + i, LanguageSetting == static_cast<uint32_t>(i));
    view->setKeepAspect(KeepAspectRatio != 0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    desktop.quitRequested = true;
    event->accept();
}

namespace {

// What identifies a host key between its press and its release.
quint64 hostKeyId(const QKeyEvent* event) {
    if (event->nativeScanCode()) return event->nativeScanCode();
    return 0x100000000ull + static_cast<quint64>(event->key());
}

bool isModifierKey(int key) {
    return key == Qt::Key_Alt || key == Qt::Key_AltGr || key == Qt::Key_Meta ||
           key == Qt::Key_Super_L || key == Qt::Key_Super_R || key == Qt::Key_Hyper_L ||
           key == Qt::Key_Hyper_R;
}

} // namespace

void ReleaseMachineKeys() {
    if (keyQueue.events.empty()) {
        keyboardReset();
        ClearKeyQueue();
    } else {
        // Keys still on their way are delivered first, then let go.
        MachineKeyEvent releaseAll;
        releaseAll.releaseAll = true;
        QueueKeyEvent(releaseAll);
    }
    if (desktop.window) desktop.window->forgetHeldKeys();
}

void MainWindow::typeCharacter(char32_t character, quint64 hostKey) {
    KeyStroke stroke;
    if (!KeyStrokeForCharacter(character, stroke)) {
        const int code = MachineCodeOfCharacter(character);
        if (code > 0) {
            QueueTypedCode(static_cast<uint8_t>(code));
            return;
        }
        const QString shown = QString::fromUcs4(&character, 1);
        ShowStatusText(QString("The ABC80 has no key for \"%1\"; the key was dropped.").arg(shown));
        return;
    }
    if (!hostKey) {
        QueueKeyStroke(stroke);
        return;
    }
    MachineKeyEvent press;
    press.virtualKey = stroke.virtualKey;
    press.shift = stroke.shift;
    press.ctrl = stroke.ctrl;
    QueueKeyEvent(press);
    heldKeys[hostKey] = stroke.virtualKey;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_F1 && !(modifiers & Qt::AltModifier)) {
        SessionReset(); // repeats reset again
        return;
    }
    if (event->isAutoRepeat()) return;
    // Alt combinations belong to the desktop (menus, accelerators), never to
    // the machine; Ctrl+Alt is AltGr on some systems and types characters.
    const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
    const bool altGr = (modifiers & Qt::AltModifier) && ctrl;
    if (((modifiers & Qt::AltModifier) && !altGr) || isModifierKey(event->key())) return;
    const uint32_t vk = KeyEventToVirtualKey(event);
    const quint64 id = hostKeyId(event);
    if (NaturalKeyboard) {
        if (vk == VkShift || vk == VkControl) return; // each key carries its own modifiers
        const QString text = event->text();
        const bool character = !text.isEmpty() && text[0].unicode() >= 0x20 &&
                               text[0].unicode() != 0x7F && (!ctrl || altGr);
        if (character) {
            const std::u32string characters = text.toStdU32String();
            for (size_t i = 0; i < characters.size(); i++)
                typeCharacter(characters[i], i + 1 == characters.size() ? id : 0);
            return;
        }
        if (!vk) return;
        MachineKeyEvent press;
        press.virtualKey = static_cast<uint8_t>(vk);
        press.shift = (modifiers & Qt::ShiftModifier) ? 1 : 0;
        press.ctrl = ctrl ? 1 : 0;
        QueueKeyEvent(press);
        heldKeys[id] = static_cast<uint8_t>(vk);
        return;
    }
    if (!vk || vk > 0xFF) return;
    MachineKeyEvent press;
    press.virtualKey = static_cast<uint8_t>(vk);
    QueueKeyEvent(press);
    if (vk != VkShift && vk != VkControl) heldKeys[id] = static_cast<uint8_t>(vk);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    MachineKeyEvent release;
    release.down = false;
    auto held = heldKeys.find(hostKeyId(event));
    if (held != heldKeys.end()) {
        release.virtualKey = held->second;
        heldKeys.erase(held);
        QueueKeyEvent(release);
        return;
    }
    const uint32_t vk = KeyEventToVirtualKey(event);
    if (!NaturalKeyboard && (vk == VkShift || vk == VkControl)) {
        release.virtualKey = static_cast<uint8_t>(vk);
        QueueKeyEvent(release);
    }
}

void MainWindow::inputMethodEvent(QInputMethodEvent* event) {
    // Dead keys and compose sequences arrive as finished text.
    for (char32_t c : event->commitString().toStdU32String())
        if (NaturalKeyboard) typeCharacter(c, 0);
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        // Keys held when the window loses the keyboard are released. Typing
        // goes on either way, the texts waiting too: a pasted program or an
        // autostart's RUN is never cut short by switching windows.
        if (!isActiveWindow()) ReleaseMachineKeys();
        ResetPacing();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    DropFile(urls.first().toLocalFile().toStdString());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ResetPacing();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (returnTo && isVisible()) {
        const QPoint at = *returnTo;
        returnTo.reset();
        if (pos() != at) move(at);
    }
    ResetPacing();
}
