// The 4:3 sizing of the main window, applied after each resize settles.
#include "host/qt/video_sizing.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <cstdlib>
#include <utility>

#include "host/qt/video_view.h"

QSize AspectCorrectedArea(QSize before, QSize now) {
    const int w = now.width(), h = now.height();
    if (w <= 0 || h <= 0) return now;
    // Dragging the right edge lets the height follow, the bottom edge the width.
    const bool widthLed = std::abs(w - before.width()) >= std::abs(h - before.height());
    return OnSizing(widthLed ? EdgeRight : EdgeBottom, QRect(0, 0, w, h), 0, 0).size();
}

AspectSizer::AspectSizer(QWidget* window, QWidget* area, std::function<bool()> enabled,
                         int settleMs)
    : QObject(window), window(window), area(area), enabled(std::move(enabled)) {
    settle.setSingleShot(true);
    settle.setInterval(settleMs);
    QObject::connect(&settle, &QTimer::timeout, this, [this] { correct(); });
    lastArea = area->size();
    area->installEventFilter(this);
}

bool AspectSizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area && event->type() == QEvent::Resize && !resizing) settle.start();
    return false;
}

void AspectSizer::correct() {
    const QSize now = area->size();
    const Qt::WindowStates state = window->windowState();
    if (!enabled() || (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) || now.isEmpty()) {
        lastArea = now;
        return;
    }
    const QSize wanted = AspectCorrectedArea(lastArea, now);
    lastArea = wanted;
    if (wanted == now) return;
    // The frame round the picture area (menu bar, status bar) stays as it is.
    QSize size = window->size() + (wanted - now);
    size = size.expandedTo(window->minimumSize());
    // Never past the screen the window is on.
    if (const QScreen* screen = window->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    resizing = true;
    window->resize(size);
    resizing = false;
    lastArea = area->size();
}
