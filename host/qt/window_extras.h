// Small pieces of the main window: its icon, the remembered window
// geometry, the 4:3 screenshot image and the keyboard help.
#pragma once

#include <QIcon>
#include <QRect>
#include <QString>

#include <cstdint>

class QSettings;
class QWidget;

// The program's icon (the installed orvane.svg, drawn by hand): a small
// home computer whose screen shows a prompt.
QIcon OrvaneIcon();

// The window's size, place, maximised and full-screen state, under
// "WindowGeometry"; restoring keeps the window on the screen it opens on.
void SaveWindowGeometry(QSettings& store, const QWidget* window);
void RestoreWindowGeometry(QSettings& store, QWidget* window);
// r moved and shrunk so that it lies inside available (as far as it can).
QRect KeepInside(QRect r, const QRect& available);

// The folder for quick screenshots: the user's Pictures folder + "/Orvane".
QString QuickScreenshotFolder();

// Rows of the keyboard help: ABC80 key, host key in the positional mode,
// what it gives.
struct KeyHelpRow {
    const char* abc80Key;
    const char* hostKey;
    const char* note;
};
extern const KeyHelpRow KeyHelpRows[];
extern const int KeyHelpRowCount;
// Shows the keyboard help as a modal dialog (drawn by Qt's table).
void ShowKeyboardHelpDialog(QWidget* parent);

// Help > Messages: the message log in a box the user can read and copy.
void ShowMessageLogDialog(QWidget* parent);
