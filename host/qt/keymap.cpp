// Host keys to the keyboard's virtual-key codes, by physical position through
// the physical key table the web page uses too; by the host layout's
// character where the platform reports no physical key.
#include "host/qt/keymap.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <array>
#include <utility>

#include "host/text/physical_keys.h"

namespace {

// Windows scan codes with the E0 prefix (100h set) -> Linux input code.
constexpr std::pair<uint16_t, uint16_t> WindowsExtendedKeys[] = {
    {0x11C, 96},  {0x11D, 97},  {0x138, 100}, {0x147, 102}, {0x148, 103},
    {0x149, 104}, {0x14B, 105}, {0x14D, 106}, {0x14F, 107}, {0x150, 108},
    {0x151, 109}, {0x152, 110}, {0x153, 111},
};

// Qt key code (the character of the host layout) -> virtual-key code of the
// ABC80 position carrying that character, plain or shifted.
constexpr std::pair<int, uint8_t> QtKeys[] = {
    {Qt::Key_0, 0xC0},          {Qt::Key_Equal, 0xC0},
    {Qt::Key_Exclam, 0x31},     {Qt::Key_QuoteDbl, 0x32},
    {Qt::Key_NumberSign, 0x33}, {Qt::Key_Dollar, 0x34},
    {Qt::Key_currency, 0x34},   {Qt::Key_Percent, 0x35},
    {Qt::Key_Ampersand, 0x36},  {Qt::Key_Slash, 0x37},
    {Qt::Key_ParenLeft, 0x38},  {Qt::Key_ParenRight, 0x39},
    {Qt::Key_Plus, 0xBF},       {Qt::Key_Question, 0xBF},
    {Qt::Key_Eacute, 0xBB},     {Qt::Key_acute, 0xBB},
    {Qt::Key_Dead_Acute, 0xBB}, {Qt::Key_Less, 0x2D},
    {Qt::Key_Greater, 0xDF},    {Qt::Key_Aring, 0xDB},
    {Qt::Key_Udiaeresis, 0xDD}, {Qt::Key_Dead_Diaeresis, 0xDD},
    {Qt::Key_Odiaeresis, 0xBA}, {Qt::Key_Adiaeresis, 0xDE},
    {Qt::Key_Apostrophe, 0xDC}, {Qt::Key_Asterisk, 0xDC},
    {Qt::Key_Comma, 0xBC},      {Qt::Key_Semicolon, 0xBC},
    {Qt::Key_Period, 0xBE},     {Qt::Key_Colon, 0xBE},
    {Qt::Key_Minus, 0xBD},      {Qt::Key_Underscore, 0xDF},
    {Qt::Key_Return, 0x0D},     {Qt::Key_Enter, 0x0D},
    {Qt::Key_Backspace, 0x08},  {Qt::Key_Tab, 0x09},
    {Qt::Key_Space, 0x20},      {Qt::Key_Shift, 0x10},
    {Qt::Key_Control, 0x11},    {Qt::Key_Alt, 0x12},
    {Qt::Key_AltGr, 0x12},      {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},     {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},   {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},       {Qt::Key_Left, 0x08},
    {Qt::Key_Up, 0x26},         {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},       {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},
};

} // namespace

ScanCodeKind PlatformScanCodeKind() {
    const QString platform = QGuiApplication::platformName();
    if (platform == "xcb" || platform.startsWith("wayland")) return ScanCodeKind::XKeycode;
    if (platform == "windows") return ScanCodeKind::WindowsSet1;
    return ScanCodeKind::None;
}

uint32_t VirtualKeyFromScanCode(uint32_t scanCode, ScanCodeKind kind) {
    uint32_t inputCode = 0;
    switch (kind) {
    case ScanCodeKind::None: return 0;
    case ScanCodeKind::Evdev: inputCode = scanCode; break;
    case ScanCodeKind::XKeycode:
        if (scanCode < 8) return 0;
        inputCode = scanCode - 8;
        break;
    case ScanCodeKind::WindowsSet1:
        if (scanCode & 0x100) {
            for (auto [extended, code] : WindowsExtendedKeys)
                if (extended == scanCode) inputCode = code;
        } else if (scanCode < 0x60) {
            inputCode = scanCode;
        }
        break;
    }
    return VirtualKeyOfInputCode(inputCode);
}

uint32_t VirtualKeyFromQtKey(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<uint32_t>(qtKey);
    if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9) return static_cast<uint32_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 0x70 + static_cast<uint32_t>(qtKey - Qt::Key_F1);
    for (auto [key, vk] : QtKeys)
        if (key == qtKey) return vk;
    return 0;
}

uint32_t KeyEventToVirtualKey(const QKeyEvent* event) {
    if (uint32_t scan = event->nativeScanCode()) {
        if (uint32_t vk = VirtualKeyFromScanCode(scan, PlatformScanCodeKind())) return vk;
    }
    return VirtualKeyFromQtKey(event->key());
}
