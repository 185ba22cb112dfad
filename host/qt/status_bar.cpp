// The status bar's fields and the printf-style writers; see status_bar.h.
#include "host/qt/status_bar.h"

#include <QLabel>
#include <QResizeEvent>
#include <QTime>

#include <algorithm>

#include <cstdarg>
#include <cstdio>

#include "host/qt/language.h"
#include "media/media_status.h"

namespace {

OrvaneStatusBar* currentBar = nullptr;
QStringList messageLog;
constexpr int MessageLogSize = 200;
// Field 2 is wide enough for the counter, the position and a program name:
// "0084 * 01:24/01:24 PROGNAME.BAS".
constexpr int FieldWidths[StatusFieldCount] = {80, 96, 240, -1};
constexpr size_t TextBufferSize = 432;

// Unicode of the bytes 80h-9Fh in Windows-1252 (0: undefined, shown as is).
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void setFieldFormatted(int field, const char* format, va_list args) {
    char text[TextBufferSize];
    std::vsnprintf(text, sizeof text, format, args);
    if (currentBar && field != 1 && field >= 0 && field < StatusFieldCount)
        currentBar->setField(field, MessageText(TextFromWindows1252(text)));
}

void mediaStatusWriter(int field, const char* text) { SetStatusField(field, "%s", text); }

} // namespace

QString TextFromWindows1252(const char* text) {
    QString out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++) {
        char16_t c = *p;
        if (c >= 0x80 && c < 0xA0 && Windows1252High[c - 0x80]) c = Windows1252High[c - 0x80];
        out += QChar(c);
    }
    return out;
}

OrvaneStatusBar::OrvaneStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int i = 0; i < StatusFieldCount; i++) {
        fields[i] = new QLabel(this);
        fields[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (FieldWidths[i] > 0) {
            fields[i]->setFixedWidth(FieldWidths[i]);
            addWidget(fields[i]);
        } else {
            // Any width will do: the text is shortened to fit.
            fields[i]->setMinimumWidth(1);
            fields[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            addWidget(fields[i], 1);
            fields[i]->installEventFilter(this);
        }
    }
    drives = new QLabel(this);
    drives->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    addPermanentWidget(drives);
}

void OrvaneStatusBar::setDrives(const QString& text, const QString& toolTip) {
    if (drives->text() != text) drives->setText(text);
    if (drives->toolTip() != toolTip) drives->setToolTip(toolTip);
}

QString OrvaneStatusBar::drivesText() const { return drives->text(); }

void OrvaneStatusBar::setField(int field, const QString& text) {
    const QString before = texts[field];
    texts[field] = text;
    fields[field]->setToolTip(text);
    if (field != StatusMessageField) {
        fields[field]->setText(text);
        return;
    }
    showMessageElided();
    if (text.isEmpty() || text == before) return;
    // A message that only updates the one before ("... 12 kB so far")
    // replaces it in the log and is not shown again over the picture.
    const bool update = !before.isEmpty() && text.left(16) == before.left(16);
    const QString entry = QTime::currentTime().toString("hh:mm:ss") + " " + text;
    if (update && !messageLog.isEmpty()) {
        messageLog.last() = entry;
        return;
    }
    messageLog.append(entry);
    while (messageLog.size() > MessageLogSize)
        messageLog.removeFirst();
    if (onNewMessage) onNewMessage(text);
}

void OrvaneStatusBar::showMessageElided() {
    QLabel* label = fields[StatusMessageField];
    const int room = label->contentsRect().width() - 2 * label->margin() - 4;
    label->setText(label->fontMetrics().elidedText(texts[StatusMessageField], Qt::ElideRight,
                                                   std::max(room, 8)));
}

void OrvaneStatusBar::resizeEvent(QResizeEvent* event) {
    // In a narrow window the two empty fields give their room to the
    // message, so it stays on the window.
    const bool narrow =
        event->size().width() < FieldWidths[0] + FieldWidths[1] + FieldWidths[2] + 160;
    fields[0]->setVisible(!narrow);
    fields[1]->setVisible(!narrow);
    QStatusBar::resizeEvent(event);
}

bool OrvaneStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fields[StatusMessageField] && event->type() == QEvent::Resize)
        showMessageElided();
    return QStatusBar::eventFilter(watched, event);
}

QStringList MessageLog() { return messageLog; }

QString OrvaneStatusBar::fieldText(int field) const { return texts[field]; }
QString OrvaneStatusBar::fieldToolTip(int field) const { return fields[field]->toolTip(); }

void SetStatusBar(OrvaneStatusBar* bar) {
    currentBar = bar;
    SetMediaStatusWriter(bar ? mediaStatusWriter : nullptr);
}

OrvaneStatusBar* CurrentStatusBar() { return currentBar; }

int StatusBarHeight() { return currentBar ? currentBar->height() : 0; }

void ShowStatus(const char* format, ...) {
    va_list args;
    va_start(args, format);
    setFieldFormatted(StatusMessageField, format, args);
    va_end(args);
}

void ShowStatusText(const QString& text) {
    if (currentBar) currentBar->setField(StatusMessageField, MessageText(text));
}

void SetStatusField(int field, const char* format, ...) {
    va_list args;
    va_start(args, format);
    setFieldFormatted(field, format, args);
    va_end(args);
}
