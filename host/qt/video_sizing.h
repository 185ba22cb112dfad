// Keeps the picture area of the main window at 4:3 while the user sizes the
// window. Qt reports a resize only after it happened and the window system
// owns the drag, so the correction follows shortly after the size settles:
// the side the user changed most is kept and the other follows. Maximised
// and full-screen windows are left as the window system makes them.
#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

#include <functional>

class QWidget;

// The picture area's size once corrected to 4:3, keeping the width when it
// changed at least as much as the height since before (and the height
// otherwise).
QSize AspectCorrectedArea(QSize before, QSize now);

class AspectSizer : public QObject {
  public:
    // window: the top-level window; area: the picture area inside it;
    // enabled: whether the aspect is to be kept (KeepAspectRatio).
    AspectSizer(QWidget* window, QWidget* area, std::function<bool()> enabled, int settleMs = 150);

    // Applies the correction now (normally done by the timer).
    void correct();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window;
    QWidget* area;
    std::function<bool()> enabled;
    QTimer settle;
    QSize lastArea; // the picture area after the last correction
    bool resizing = false;
};
