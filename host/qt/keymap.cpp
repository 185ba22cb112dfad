// Host keys to the keyboard's virtual-key codes, by physical position. The
// table is indexed by Linux input code; X11/Wayland keycodes are those codes
// plus 8, and Windows scan codes equal them for the keys without an E0
// prefix. Keys that sit on the same place as an ABC80 key get the virtual-key
// code the keyboard table lists for that ABC80 position; the desktop's own
// keys (function keys, arrows, modifiers) get their usual codes.
#include "host/qt/keymap.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <array>
#include <utility>

namespace {

// Linux input code -> virtual-key code, row by row.
// clang-format off
constexpr std::pair<uint16_t, uint8_t> PhysicalKeys[] = {
    {1, 0x1B},                                                      // Escape
    {2, 0x31}, {3, 0x32}, {4, 0x33}, {5, 0x34}, {6, 0x35},          // 1-5
    {7, 0x36}, {8, 0x37}, {9, 0x38}, {10, 0x39},                    // 6-9
    {11, 0xC0},                                                     // 0: the machine's 0
    {12, 0xBF},                                                     // right of 0: + ?
    {13, 0xBB},                                                     // next: é
    {14, 0x08}, {15, 0x09},                                         // Backspace, Tab
    {16, 'Q'}, {17, 'W'}, {18, 'E'}, {19, 'R'}, {20, 'T'},
    {21, 'Y'}, {22, 'U'}, {23, 'I'}, {24, 'O'}, {25, 'P'},
    {26, 0xDB},                                                     // right of P: å
    {27, 0xDD},                                                     // next: ü
    {28, 0x0D}, {29, 0x11},                                         // Return, left Ctrl
    {30, 'A'}, {31, 'S'}, {32, 'D'}, {33, 'F'}, {34, 'G'},
    {35, 'H'}, {36, 'J'}, {37, 'K'}, {38, 'L'},
    {39, 0xBA},                                                     // right of L: ö
    {40, 0xDE},                                                     // next: ä
    {42, 0x10},                                                     // left Shift
    {43, 0xDC},                                                     // next to Return: ' *
    {44, 'Z'}, {45, 'X'}, {46, 'C'}, {47, 'V'}, {48, 'B'}, {49, 'N'}, {50, 'M'},
    {51, 0xBC}, {52, 0xBE}, {53, 0xBD},                             // , . -
    {54, 0x10}, {56, 0x12}, {57, 0x20}, {58, 0x14},                 // right Shift, Alt, Space, Caps
    {59, 0x70}, {60, 0x71}, {61, 0x72}, {62, 0x73}, {63, 0x74},     // F1-F5
    {64, 0x75}, {65, 0x76}, {66, 0x77}, {67, 0x78}, {68, 0x79},     // F6-F10
    {71, 0x37}, {72, 0x38}, {73, 0x39}, {74, 0xBD},                 // keypad 7 8 9 -
    {75, 0x34}, {76, 0x35}, {77, 0x36}, {78, 0xBF},                 // keypad 4 5 6 +
    {79, 0x31}, {80, 0x32}, {81, 0x33}, {82, 0xC0}, {83, 0xBE},     // keypad 1 2 3 0 .
    {86, 0x2D},                                                     // left of Z: < (Insert)
    {87, 0x7A}, {88, 0x7B},                                         // F11, F12
    {96, 0x0D}, {97, 0x11}, {100, 0x12},                            // keypad Enter, right Ctrl, AltGr
    {102, 0x24}, {103, 0x26}, {104, 0x21}, {105, 0x25},             // Home, Up, Page Up, Left
    {106, 0x27}, {107, 0x23}, {108, 0x28}, {109, 0x22},             // Right, End, Down, Page Down
    {110, 0x2D}, {111, 0x2E},                                       // Insert, Delete
};
// clang-format on

constexpr int PhysicalTableSize = 128;

constexpr std::array<uint8_t, PhysicalTableSize> BuildPhysicalTable() {
    std::array<uint8_t, PhysicalTableSize> table{};
    for (auto [code, vk] : PhysicalKeys)
        table[code] = vk;
    return table;
}

constexpr std::array<uint8_t, PhysicalTableSize> VirtualKeyOfInputCode = BuildPhysicalTable();

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
    {Qt::Key_Greater, 0x2D},    {Qt::Key_Aring, 0xDB},
    {Qt::Key_Udiaeresis, 0xDD}, {Qt::Key_Dead_Diaeresis, 0xDD},
    {Qt::Key_Odiaeresis, 0xBA}, {Qt::Key_Adiaeresis, 0xDE},
    {Qt::Key_Apostrophe, 0xDC}, {Qt::Key_Asterisk, 0xDC},
    {Qt::Key_Comma, 0xBC},      {Qt::Key_Semicolon, 0xBC},
    {Qt::Key_Period, 0xBE},     {Qt::Key_Colon, 0xBE},
    {Qt::Key_Minus, 0xBD},      {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Return, 0x0D},     {Qt::Key_Enter, 0x0D},
    {Qt::Key_Backspace, 0x08},  {Qt::Key_Tab, 0x09},
    {Qt::Key_Space, 0x20},      {Qt::Key_Shift, 0x10},
    {Qt::Key_Control, 0x11},    {Qt::Key_Alt, 0x12},
    {Qt::Key_AltGr, 0x12},      {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},     {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},   {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},       {Qt::Key_Left, 0x25},
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
    return inputCode < PhysicalTableSize ? VirtualKeyOfInputCode[inputCode] : 0;
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
