// The program as the user meets it: started as its own process under a
// window manager in an X server, driven by real X key events (xdotool), and
// judged by what the screen shows and by the screen text
// the program itself copies to the clipboard (Alt+C).
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs a program to its end; its standard output, or a null string when it
// could not run or failed.
QString RunTool(const QString& program, const QStringList& arguments, int timeoutMs = 20000);

// The whole screen as a user's screen dump shows it (xwd -root); null when
// xwd could not run.
QImage CaptureRootWindow();

// Where the topmost window on the screen is (a popup menu, or a dialog in
// its window manager's frame); null when nothing is shown.
QRect TopmostWindow();

// The bounding box of the pixels that differ between two captures.
QRect ChangedArea(const QImage& before, const QImage& after);

// How a capture's area looks: the share of near-black pixels and the
// number of colours.
struct AreaLook {
    double darkShare = 1;
    int colours = 0;
};
AreaLook LookAt(const QImage& image, const QRect& area);

// Sends the window (an X window id as xdotool gives it) the close request a
// window manager sends when its close button is clicked; false when it
// could not be sent.
bool SendCloseRequest(const QString& window);

class UserScreen {
  public:
    ~UserScreen();
    // Starts the window manager and the program with the given settings
    // ("Key=value" lines); empty when it is up with its banner shown, else
    // what failed.
    QString start(const QString& program, const QStringList& settings);
    // The program's main window (an X window id for xdotool).
    QString window() const { return mainWindow; }
    // Keys as xdotool names them ("alt+f", "Return") and text to type.
    void key(const QString& keys);
    void type(const QString& text);
    // The machine's screen as text, as Alt+C copies it.
    QString screenText();
    // Waits until the machine's screen shows the text; false on time-out.
    bool waitForScreen(const QString& text, int timeoutMs = 15000);
    // The program's process (to see whether it still runs).
    QProcess& process() { return program; }
    QString settingsPath() const { return home.path() + "/Emulators/Orvane.conf"; }

  private:
    QTemporaryDir home;
    QProcess windowManager;
    QProcess program;
    QString mainWindow;
};

// Lets the program and the X server catch up, keeping this process's own
// events flowing (the clipboard needs them).
void Settle(int ms);
