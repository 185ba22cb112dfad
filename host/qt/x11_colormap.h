// The program's windows on the X screen's default colour map.
#pragma once

class QCoreApplication;

// Qt gives each window a colour map of its own, even where the window uses
// the screen's default visual. Window dumps of the whole screen (xwd -root)
// then assemble the picture window by window and show a menu or a dialog
// over the main window as a black box. Windows of the default visual are
// moved to the screen's default colour map as they are made: the colours
// are the same (a true-colour map is fixed), and the dump is read in one
// piece. Does nothing off X11.
void UseDefaultColormapForNewWindows(QCoreApplication& app);
