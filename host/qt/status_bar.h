// The status bar along the bottom of the main window: four fields ending at
// 80, 176 and 416 pixels and the right edge. Field 0 stays empty, field 1 is
// blank, field 2 carries the cassette counter with the tape's position and
// program name, field 3 the messages (with the full text as its tooltip). Texts are formatted
// printf-style into a 432-byte buffer and are Windows-1252, as the core writes them.
#pragma once

#include <QStatusBar>
#include <QString>

class QLabel;

constexpr int StatusFieldCount = 4;
constexpr int StatusMessageField = 3;

class OrvaneStatusBar : public QStatusBar {
  public:
    explicit OrvaneStatusBar(QWidget* parent = nullptr);
    void setField(int field, const QString& text);
    QString fieldText(int field) const;
    QString fieldToolTip(int field) const;
    QLabel* fieldLabel(int field) const { return fields[field]; }
    // The disk drives at the right end: "DR0: NAME (WP) ●  DR1: -".
    void setDrives(const QString& text, const QString& toolTip);
    QString drivesText() const;

  private:
    QLabel* fields[StatusFieldCount];
    QLabel* drives;
};

// The status bar the operations below write to (nothing while none is set:
// the texts are then formatted and dropped).
void SetStatusBar(OrvaneStatusBar* bar);
OrvaneStatusBar* CurrentStatusBar();
int StatusBarHeight();

void ShowStatus(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Fields 0, 2 and 3; field 1 is never written.
void SetStatusField(int field, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Windows-1252 text as a QString.
QString TextFromWindows1252(const char* text);
