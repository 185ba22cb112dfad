// The status bar along the bottom of the main window: four fields ending at
// 80, 176 and 416 pixels and the right edge. Field 0 stays empty, field 1 is
// blank, field 2 carries the cassette counter with the tape's position and
// program name, field 3 the messages. A message longer than its field is
// shortened with an ellipsis there; the whole text is the field's tooltip,
// is shown over the picture for a few seconds, and is kept in the message
// log (Help > Messages). Texts are formatted printf-style into a 432-byte
// buffer and are Windows-1252, as the core writes them.
#pragma once

#include <QStatusBar>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;

constexpr int StatusFieldCount = 4;
constexpr int StatusMessageField = 3;

class OrvaneStatusBar : public QStatusBar {
  public:
    explicit OrvaneStatusBar(QWidget* parent = nullptr);
    void setField(int field, const QString& text);
    // The whole text of a field (the message field may show it shortened).
    QString fieldText(int field) const;
    QString fieldToolTip(int field) const;
    QLabel* fieldLabel(int field) const { return fields[field]; }
    // The disk drives at the right end: "DR0: NAME (WP) ●  DR1: -".
    void setDrives(const QString& text, const QString& toolTip);
    QString drivesText() const;

    // Called with each new message (not with a message that only updates
    // the one before, such as a progress count).
    std::function<void(const QString&)> onNewMessage;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showMessageElided();

    QLabel* fields[StatusFieldCount];
    QString texts[StatusFieldCount];
    QLabel* drives;
};

// The messages shown, oldest first, each with the time it was shown
// ("hh:mm:ss text"); the last 200 are kept.
QStringList MessageLog();

// The status bar the operations below write to (nothing while none is set:
// the texts are then formatted and dropped).
void SetStatusBar(OrvaneStatusBar* bar);
OrvaneStatusBar* CurrentStatusBar();
int StatusBarHeight();

void ShowStatus(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A message that is Unicode already.
void ShowStatusText(const QString& text);
// Fields 0, 2 and 3; field 1 is never written.
void SetStatusField(int field, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Windows-1252 text as a QString.
QString TextFromWindows1252(const char* text);
