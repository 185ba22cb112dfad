// Driving the program from outside, through the X server; see user_screen.h.
#include "user_screen.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QSet>
#include <QThread>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

void Settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

QString RunTool(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForStarted(5000)) return QString();
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished(1000);
        return QString();
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) return QString();
    const QString output = QString::fromUtf8(tool.readAllStandardOutput());
    return output.isNull() ? QString("") : output;
}

namespace {

uint32_t bigEndian32(const uchar* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// The lowest set bit's place in a colour mask.
int shiftOf(uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

} // namespace

namespace {

// An X window dump (xwd's format): a header of 32-bit big-endian fields, the window name, the
// colour map, then the pixels.
QImage readWindowDump(const QByteArray& dump) {
    if (dump.size() < 100) return QImage();
    const uchar* d = reinterpret_cast<const uchar*>(dump.constData());
    auto field = [d](int index) { return bigEndian32(d + 4 * index); };
    const uint32_t headerSize = field(0), format = field(2), width = field(4), height = field(5),
                   byteOrder = field(7), bitsPerPixel = field(11), bytesPerLine = field(12),
                   redMask = field(14), greenMask = field(15), blueMask = field(16),
                   colours = field(19);
    if (field(1) != 7 || format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24)) return QImage();
    const size_t start = size_t(headerSize) + size_t(colours) * 12;
    if (size_t(dump.size()) < start + size_t(bytesPerLine) * height) return QImage();
    QImage image(int(width), int(height), QImage::Format_RGB32);
    const int bytes = int(bitsPerPixel / 8);
    for (uint32_t y = 0; y < height; y++) {
        const uchar* row = d + start + size_t(y) * bytesPerLine;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (uint32_t x = 0; x < width; x++) {
            const uchar* p = row + size_t(x) * bytes;
            uint32_t v = 0;
            for (int b = 0; b < bytes; b++)
                v |= uint32_t(p[b]) << (byteOrder == 0 ? 8 * b : 8 * (bytes - 1 - b));
            out[x] = qRgb((v & redMask) >> shiftOf(redMask), (v & greenMask) >> shiftOf(greenMask),
                          (v & blueMask) >> shiftOf(blueMask));
        }
    }
    return image;
}

xcb_connection_t* xConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

QImage CaptureRootWindow() {
    QProcess xwd;
    xwd.start("xwd", {"-root", "-silent"});
    if (!xwd.waitForFinished(20000) || xwd.exitStatus() != QProcess::NormalExit ||
        xwd.exitCode() != 0)
        return QImage();
    return readWindowDump(xwd.readAllStandardOutput());
}

QRect TopmostWindow() {
    xcb_connection_t* connection = xConnection();
    if (!connection) return QRect();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    if (!tree) return QRect();
    QRect found;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    // The children come from the bottom of the stack to its top.
    for (int i = xcb_query_tree_children_length(tree) - 1; i >= 0 && found.isNull(); i--) {
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, children[i]), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attributes);
        if (!viewable) continue;
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, children[i]), nullptr);
        if (geometry && geometry->width > 1 && geometry->height > 1)
            found = QRect(geometry->x, geometry->y, geometry->width + 2 * geometry->border_width,
                          geometry->height + 2 * geometry->border_width);
        free(geometry);
    }
    free(tree);
    return found;
}

QRect ChangedArea(const QImage& before, const QImage& after) {
    QRect area;
    if (before.size() != after.size()) return area;
    for (int y = 0; y < after.height(); y++) {
        const QRgb* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        for (int x = 0; x < after.width(); x++)
            if (a[x] != b[x]) area |= QRect(x, y, 1, 1);
    }
    return area;
}

AreaLook LookAt(const QImage& image, const QRect& area) {
    AreaLook look;
    const QRect inside = area & image.rect();
    if (inside.isEmpty()) return look;
    QSet<QRgb> seen;
    int dark = 0, all = 0;
    for (int y = inside.top(); y <= inside.bottom(); y++)
        for (int x = inside.left(); x <= inside.right(); x++) {
            const QRgb p = image.pixel(x, y);
            seen.insert(p);
            dark += qGray(p) < 40;
            all++;
        }
    look.darkShare = double(dark) / all;
    look.colours = seen.size();
    return look;
}

namespace {

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

} // namespace

bool SendCloseRequest(const QString& window) {
    xcb_connection_t* connection = xConnection();
    bool number = false;
    const xcb_window_t id = window.trimmed().toUInt(&number, 0);
    if (!connection || !number) return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = atomNamed(connection, "WM_PROTOCOLS");
    event.data.data32[0] = atomNamed(connection, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    if (event.type == XCB_ATOM_NONE || event.data.data32[0] == XCB_ATOM_NONE) return false;
    xcb_generic_error_t* error = xcb_request_check(
        connection, xcb_send_event_checked(connection, 0, id, XCB_EVENT_MASK_NO_EVENT,
                                           reinterpret_cast<const char*>(&event)));
    const bool sent = !error;
    free(error);
    return sent;
}

UserScreen::~UserScreen() {
    for (QProcess* p : {&program, &windowManager}) {
        if (p->state() == QProcess::NotRunning) continue;
        p->terminate();
        if (!p->waitForFinished(3000)) {
            p->kill();
            p->waitForFinished(1000);
        }
    }
}

QString UserScreen::start(const QString& path, const QStringList& settings) {
    if (!home.isValid()) return "no folder for the settings";
    QDir(home.path()).mkpath("Emulators");
    QFile conf(settingsPath());
    if (!conf.open(QIODevice::WriteOnly)) return "cannot write " + settingsPath();
    conf.write(("[General]\n" + settings.join('\n') + "\n").toUtf8());
    conf.close();

    windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    windowManager.start("openbox", {"--sm-disable"});
    if (!windowManager.waitForStarted(5000)) return "openbox did not start";
    Settle(700);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", home.path());
    environment.insert("HOME", home.path());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("QT_QPA_PLATFORMTHEME");
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(home.path());
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(path, {});
    if (!program.waitForStarted(10000)) return "the program did not start";
    const QString found =
        RunTool("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^Orvane"}, 20000);
    if (found.trimmed().isEmpty()) return "no Orvane window appeared";
    mainWindow = found.trimmed().split('\n').first();
    RunTool("xdotool", {"windowactivate", "--sync", mainWindow});
    Settle(300);
    if (!waitForScreen("ORVANE BASIC")) return "no banner on the machine's screen";
    return QString();
}

void UserScreen::key(const QString& keys) {
    RunTool("xdotool", {"key", "--clearmodifiers", keys});
    Settle(150);
}

void UserScreen::type(const QString& text) {
    // 60 ms a key: each press and release takes a frame of the machine.
    RunTool("xdotool", {"type", "--delay", "60", text}, 120000);
    Settle(200);
}

QString UserScreen::screenText() {
    QGuiApplication::clipboard()->clear();
    Settle(50);
    key("alt+c");
    QString text;
    for (int i = 0; i < 40 && text.isEmpty(); i++) {
        Settle(50);
        text = QGuiApplication::clipboard()->text();
    }
    return text;
}

bool UserScreen::waitForScreen(const QString& text, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (screenText().contains(text)) return true;
        Settle(250);
    }
    return false;
}
