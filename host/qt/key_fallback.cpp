// A plain mapping from Qt's key codes to the keyboard's virtual-key codes,
// and a plain clipboard conversion, used until fuller ones are installed.
#include <QKeyEvent>

#include "host/qt/main_window.h"
#ifdef ORVANE_HAVE_KEYMAP
#include "host/qt/keymap.h"
#endif
#ifdef ORVANE_HAVE_PASTE
#include "host/qt/paste.h"
#endif

uint32_t FallbackVirtualKey(const QKeyEvent* event) {
    int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<uint32_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return 0x70 + static_cast<uint32_t>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: return 0x09;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    default: return 0;
    }
}

std::string FallbackClipboardText(const QString& text) {
    std::string out;
    for (int i = 0; i < text.size(); i++) {
        char16_t c = text[i].unicode();
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r')
            out += '\r';
        else if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
    }
    return out;
}

#ifdef ORVANE_HAVE_KEYMAP
uint32_t (*HostKeyToVirtualKey)(const QKeyEvent* event) = KeyEventToVirtualKey;
#else
uint32_t (*HostKeyToVirtualKey)(const QKeyEvent* event) = FallbackVirtualKey;
#endif
#ifdef ORVANE_HAVE_PASTE
std::string (*ClipboardTextToMachine)(const QString& text) = ClipboardTextToMachineBytes;
#else
std::string (*ClipboardTextToMachine)(const QString& text) = FallbackClipboardText;
#endif
