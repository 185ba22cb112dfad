// The monitor's console window: output in the console colours on black, a
// line of input below it; each line typed goes to the monitor at once.
#include "host/qt/console_window.h"

#include "monitor/monitor.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

constexpr int DefaultColumns = 80;
constexpr int DefaultRows = 25;
constexpr int KeptLines = 5000;

QPalette ConsolePalette() {
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::Text, ConsoleWindow::attributeColour(MonitorTextNormal));
    return palette;
}

} // namespace

QColor ConsoleWindow::attributeColour(int attribute) {
    if (attribute == MonitorTextBright) return QColor(255, 255, 255);
    return QColor(0, 255, 0);
}

ConsoleWindow::ConsoleWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(font);
    setPalette(ConsolePalette());
    setAutoFillBackground(true);

    output = new QPlainTextEdit(this);
    output->setReadOnly(true);
    output->setFocusPolicy(Qt::NoFocus);
    output->setPalette(ConsolePalette());
    output->setFrameShape(QFrame::NoFrame);
    output->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    output->setMaximumBlockCount(KeptLines);

    input = new QLineEdit(this);
    input->setPalette(ConsolePalette());
    input->setFrame(false);
    input->setMaxLength(1024);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(output, 1);
    layout->addWidget(input);

    QObject::connect(input, &QLineEdit::returnPressed, this, [this] { submitLine(input->text()); });

    const QFontMetrics metrics(font);
    const int scrollBar = output->verticalScrollBar()->sizeHint().width();
    resize(DefaultColumns * metrics.horizontalAdvance('M') + scrollBar + 16,
           DefaultRows * metrics.lineSpacing() + input->sizeHint().height() + 16);
}

ConsoleWindow::~ConsoleWindow() = default;

void ConsoleWindow::writeText(const char* text, int attribute) {
    if (!text || !*text) return;
    QTextCursor cursor(output->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(attributeColour(attribute));
    cursor.insertText(QString::fromLatin1(text), format);
    output->verticalScrollBar()->setValue(output->verticalScrollBar()->maximum());
}

void ConsoleWindow::submitLine(const QString& text) {
    // The typed line stays on screen, as on a console.
    writeText((text + '\n').toLatin1().constData(), MonitorTextNormal);
    input->clear();
    if (onLine)
        onLine(text);
    else
        pendingLines << text;
}

void ConsoleWindow::closeByUser() { close(); }

void ConsoleWindow::windowLost() {
    // No close event comes for a destroyed window: the monitor ends as on a close.
    const bool first = !closed;
    closed = true;
    if (first && onClosed) onClosed();
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
    const bool first = !closed;
    closed = true;
    event->accept();
    if (first && onClosed) onClosed();
}

int ConsoleWindow::readLine(char* line, int size) {
    if (!line || size < 2) return 0;
    if (pendingLines.isEmpty()) return 0;
    const QByteArray bytes = pendingLines.takeFirst().toLatin1();
    const int length = std::min(static_cast<int>(bytes.size()), size - 2);
    std::memcpy(line, bytes.constData(), static_cast<size_t>(length));
    line[length] = '\n';
    line[length + 1] = '\0';
    return 1;
}

int ConsoleWindow::columns() const {
    if (!isVisible()) return DefaultColumns;
    const int advance = QFontMetrics(output->font()).horizontalAdvance('M');
    return std::max(1, output->viewport()->width() / std::max(1, advance));
}

QString ConsoleWindow::transcript() const { return output->toPlainText(); }

QColor ConsoleWindow::colourOf(const QString& text) const {
    const QTextCursor found = output->document()->find(text);
    if (found.isNull()) return QColor();
    QTextCursor first(output->document());
    first.setPosition(found.selectionStart() + 1);
    return first.charFormat().foreground().color();
}

namespace {

// The window goes when the monitor closes, often from inside one of its own
// signals (x typed, the window closed), so it is deleted once control is back
// in the event loop.
void dropWindow(DesktopConsole* console) {
    if (!console->window) return;
    ConsoleWindow* window = console->window;
    console->window = nullptr;
    window->onLine = nullptr;
    window->onClosed = nullptr;
    window->hide();
    window->deleteLater();
}

int openConsole(void* context, const char* title) {
    auto* console = static_cast<DesktopConsole*>(context);
    dropWindow(console);
    console->window = new ConsoleWindow(console->owner);
    console->window->setWindowTitle(QString::fromLatin1(title ? title : ""));
    console->window->onLine = [](const QString& line) {
        monitorCommand(line.toLatin1().append('\n').constData());
    };
    console->window->onClosed = [] { monitorEnd(); };
    if (console->onOpened) console->onOpened(console->window);
    console->window->show();
    console->window->raise();
    console->window->activateWindow();
    return 1;
}

void closeConsole(void* context) { dropWindow(static_cast<DesktopConsole*>(context)); }

void writeConsole(void* context, const char* text, int attribute) {
    auto* console = static_cast<DesktopConsole*>(context);
    if (console->window) console->window->writeText(text, attribute);
}

int readConsoleLine(void* context, char* line, int size) {
    auto* console = static_cast<DesktopConsole*>(context);
    return console->window ? console->window->readLine(line, size) : 0;
}

int consoleColumns(void* context) {
    auto* console = static_cast<DesktopConsole*>(context);
    return console->window ? console->window->columns() : DefaultColumns;
}

} // namespace

MonitorConsole DesktopMonitorConsole(DesktopConsole* console) {
    return MonitorConsole{console,      openConsole,     closeConsole,
                          writeConsole, readConsoleLine, consoleColumns};
}
