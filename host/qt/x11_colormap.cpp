// See x11_colormap.h.
#include "host/qt/x11_colormap.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QWindow>

#include <cstdlib>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* xConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

void useDefaultColormap(xcb_connection_t* connection, xcb_window_t window) {
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr);
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (attributes && geometry) {
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
             xcb_screen_next(&it)) {
            const xcb_screen_t* screen = it.data;
            if (screen->root != geometry->root) continue;
            if (attributes->visual == screen->root_visual &&
                attributes->colormap != screen->default_colormap) {
                const uint32_t colormap = screen->default_colormap;
                xcb_change_window_attributes(connection, window, XCB_CW_COLORMAP, &colormap);
                xcb_flush(connection);
            }
            break;
        }
    }
    std::free(attributes);
    std::free(geometry);
}

class NewWindowWatch : public QObject {
  public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::PlatformSurface || !object->isWindowType()) return false;
        if (static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() !=
            QPlatformSurfaceEvent::SurfaceCreated)
            return false;
        if (xcb_connection_t* connection = xConnection())
            useDefaultColormap(connection,
                               static_cast<xcb_window_t>(static_cast<QWindow*>(object)->winId()));
        return false;
    }
};

} // namespace

void UseDefaultColormapForNewWindows(QCoreApplication& app) {
    if (!xConnection()) return;
    static NewWindowWatch watch;
    app.installEventFilter(&watch);
}
