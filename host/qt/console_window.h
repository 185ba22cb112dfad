// The monitor's console window: a window of its own with black background
// showing the monitor's output in bright green (attribute 10) and bright
// white (attribute 15), and a line of input at the bottom. It never waits:
// each line typed goes to the monitor (monitorCommand) when Return is
// pressed, and closing the window closes the monitor as "x" would
// (monitorEnd). The rest of the program keeps handling its events meanwhile.
//
// The monitor drives it through the MonitorConsole record of
// monitor/console.h: each opening of the monitor creates the window, each
// closing removes it.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

#include "monitor/console.h"

class QLineEdit;
class QPlainTextEdit;

class ConsoleWindow : public QWidget {
  public:
    explicit ConsoleWindow(QWidget* owner = nullptr);
    ~ConsoleWindow() override;

    // Appends text (Latin-1) in a text attribute of the monitor.
    void writeText(const char* text, int attribute);
    // The oldest line typed while no onLine was set: at most size - 2
    // characters and a final '\n' into line. 0 when there is none.
    int readLine(char* line, int size);
    // Width of the output area in character columns (at least 1).
    int columns() const;

    // All text shown so far, as plain text.
    QString transcript() const;
    // The colour the first occurrence of text is shown in (invalid if absent).
    QColor colourOf(const QString& text) const;
    // The colour of a text attribute (anything unknown shows as normal text).
    static QColor attributeColour(int attribute);

    // Receives every line typed (without its end); without it lines queue
    // for readLine.
    std::function<void(const QString&)> onLine;
    // Called once when the window is closed.
    std::function<void()> onClosed;
    // Types a line into the input field and presses Return.
    void submitLine(const QString& text);
    // Closes the window as the user would.
    void closeByUser();
    // The window system destroyed the window itself (xdotool windowclose,
    // a killed frame): the monitor ends as on a close.
    void windowLost();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPlainTextEdit* output;
    QLineEdit* input;
    QStringList pendingLines;
    bool closed = false;
};

// The console the desktop program gives the monitor: a ConsoleWindow owned
// by the main window, created on open and destroyed on close.
struct DesktopConsole {
    QWidget* owner = nullptr;
    ConsoleWindow* window = nullptr;
    // Called with every new window before it is shown (tests hook input here).
    std::function<void(ConsoleWindow*)> onOpened;
};

MonitorConsole DesktopMonitorConsole(DesktopConsole* console);
