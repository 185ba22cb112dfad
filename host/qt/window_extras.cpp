// The main window's icon, remembered geometry, 4:3 screenshots and keyboard
// help; see window_extras.h.
#include "host/qt/window_extras.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include "host/qt/language.h"
#include "host/qt/status_bar.h"

QIcon OrvaneIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(128, 128);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor frame(0x5b, 0x56, 0x4a);
        p.setPen(QPen(frame, 3));
        p.setBrush(QColor(0xd8, 0xd2, 0xc0));
        p.drawRoundedRect(QRectF(14, 10, 100, 78), 10, 10);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x10, 0x10, 0x10));
        p.drawRoundedRect(QRectF(26, 20, 76, 56), 4, 4);
        p.setBrush(QColor(0xf2, 0xf2, 0xf2));
        for (QRectF r : {QRectF(32, 28, 4, 6), QRectF(38, 28, 4, 6), QRectF(44, 28, 4, 6),
                         QRectF(32, 40, 22, 4), QRectF(58, 40, 12, 4), QRectF(32, 52, 6, 8)})
            p.drawRect(r);
        p.setPen(QPen(frame, 3));
        p.setBrush(QColor(0xe6, 0xe1, 0xd2));
        p.drawRoundedRect(QRectF(8, 94, 112, 26), 5, 5);
        p.setPen(Qt::NoPen);
        p.setBrush(frame);
        for (int x = 16; x <= 86; x += 14)
            p.drawRoundedRect(QRectF(x, 100, 10, 6), 1, 1);
        p.drawRoundedRect(QRectF(100, 100, 12, 6), 1, 1);
        p.drawRoundedRect(QRectF(34, 110, 60, 5), 1, 1);
        p.end();
        icon.addPixmap(pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    return icon;
}

void SaveWindowGeometry(QSettings& store, const QWidget* window) {
    store.setValue("WindowGeometry", window->saveGeometry());
}

QRect KeepInside(QRect r, const QRect& available) {
    if (available.isEmpty()) return r;
    r.setWidth(std::min(r.width(), available.width()));
    r.setHeight(std::min(r.height(), available.height()));
    if (r.right() > available.right()) r.moveRight(available.right());
    if (r.bottom() > available.bottom()) r.moveBottom(available.bottom());
    if (r.left() < available.left()) r.moveLeft(available.left());
    if (r.top() < available.top()) r.moveTop(available.top());
    return r;
}

void RestoreWindowGeometry(QSettings& store, QWidget* window) {
    const QByteArray saved = store.value("WindowGeometry").toByteArray();
    if (!saved.isEmpty()) window->restoreGeometry(saved);
    QScreen* screen = window->screen();
    if (!screen) return;
    // The frame round the client area is not known before the window is
    // shown; the client area alone is kept inside the available area.
    const QRect inside = KeepInside(window->geometry(), screen->availableGeometry());
    if (inside != window->geometry()) window->setGeometry(inside);
}

QString QuickScreenshotFolder() {
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty()) pictures = QDir::homePath() + "/Pictures";
    return pictures + "/Orvane";
}

const KeyHelpRow KeyHelpRows[] = {
    {"A-Z, 0-9, space", "the same keys", "letters type lower case, Shift for capitals"},
    {"RETURN", "Return, keypad Enter", "ends a line"},
    {"<- (back)", "Backspace, Left arrow", "deletes left"},
    {"->", "Right arrow", "moves right (code 09h)"},
    {"< and @ (É)", "key left of Z (Insert)", "Ctrl gives DEL (7Fh)"},
    {"Å Ü (} ~)", "the two keys right of P", "Shift: ] ^"},
    {"Ö Ä ({ |)", "the two keys right of L", "Shift: \\ ["},
    {"+ ?, é", "the two keys right of 0", ""},
    {"' *", "key left of Return (\\ on US)", ""},
    {", ; . : - _", "the three keys left of right Shift", "Ctrl+Shift+- gives _"},
    {"> _", "key left of 1 (` on US, § on Swedish)", "Shift gives _"},
    {"0 =", "0", "the 0 key sits right of 9"},
    {"CTRL", "Ctrl", "Ctrl+letter types control codes 01h-1Ah"},
    {"SHIFT", "Shift", ""},
    {"Reset", "F1", "warm start: the BASIC program stays"},
    {"Hard reset", "Alt+F1", "clears memory"},
};
const int KeyHelpRowCount = sizeof KeyHelpRows / sizeof KeyHelpRows[0];

void ShowKeyboardHelpDialog(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(UiText("Keyboard", "Keyboard"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* intro = new QLabel(
        UiText("Keyboard",
               "Natural keyboard (Options > Keyboard > Natural, the default): type what you see. "
               "The character your keyboard layout produces is typed on the ABC80 (\" on a US "
               "keyboard types \", Shift+; types :); characters the ABC80 lacks are dropped with a "
               "note in the status bar. Keys without a character (Return, Backspace, the arrows, "
               "Ctrl combinations) act by position.\n\nPositional keyboard: every key is the ABC80 "
               "key in its place, laid out as on a Swedish keyboard:"),
        &dialog);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* table = new QTableWidget(KeyHelpRowCount, 3, &dialog);
    table->setHorizontalHeaderLabels({UiText("Keyboard", "ABC80 key"),
                                      UiText("Keyboard", "Host key"), UiText("Keyboard", "Note")});
    for (int row = 0; row < KeyHelpRowCount; row++) {
        table->setItem(row, 0, new QTableWidgetItem(UiText("Keyboard", KeyHelpRows[row].abc80Key)));
        table->setItem(row, 1, new QTableWidgetItem(UiText("Keyboard", KeyHelpRows[row].hostKey)));
        table->setItem(row, 2, new QTableWidgetItem(UiText("Keyboard", KeyHelpRows[row].note)));
    }
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 520);
    dialog.exec();
}

void ShowMessageLogDialog(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(UiText("Dialog", "Messages"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QPlainTextEdit(&dialog);
    text->setReadOnly(true);
    text->setPlainText(MessageLog().join('\n'));
    text->moveCursor(QTextCursor::End);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 360);
    dialog.exec();
}
