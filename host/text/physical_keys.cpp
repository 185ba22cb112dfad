// The physical key table: host keys by position to the keyboard's
// virtual-key codes. The layout is the ABC80's (Swedish) one: the key right
// of 0 is + ?, the key right of P is Å, the key left of right Shift is - :.
#include "host/text/physical_keys.h"

#include <algorithm>
#include <array>

namespace {

// clang-format off
constexpr PhysicalKey Keys[] = {
    {1, "Escape", 0x1B},
    {2, "Digit1", 0x31}, {3, "Digit2", 0x32}, {4, "Digit3", 0x33}, {5, "Digit4", 0x34},
    {6, "Digit5", 0x35}, {7, "Digit6", 0x36}, {8, "Digit7", 0x37}, {9, "Digit8", 0x38},
    {10, "Digit9", 0x39},
    {11, "Digit0", 0xC0},        // the machine's 0 =
    {12, "Minus", 0xBF},         // right of 0: + ?
    {13, "Equal", 0xBB},         // next: é ?
    {14, "Backspace", 0x08}, {15, "Tab", 0x09},
    {16, "KeyQ", 'Q'}, {17, "KeyW", 'W'}, {18, "KeyE", 'E'}, {19, "KeyR", 'R'},
    {20, "KeyT", 'T'}, {21, "KeyY", 'Y'}, {22, "KeyU", 'U'}, {23, "KeyI", 'I'},
    {24, "KeyO", 'O'}, {25, "KeyP", 'P'},
    {26, "BracketLeft", 0xDB},   // right of P: å Å
    {27, "BracketRight", 0xDD},  // next: ü Ü
    {28, "Enter", 0x0D}, {29, "ControlLeft", 0x11},
    {30, "KeyA", 'A'}, {31, "KeyS", 'S'}, {32, "KeyD", 'D'}, {33, "KeyF", 'F'},
    {34, "KeyG", 'G'}, {35, "KeyH", 'H'}, {36, "KeyJ", 'J'}, {37, "KeyK", 'K'},
    {38, "KeyL", 'L'},
    {39, "Semicolon", 0xBA},     // right of L: ö Ö
    {40, "Quote", 0xDE},         // next: ä Ä
    {41, "Backquote", 0xDF},     // left of 1: > _
    {42, "ShiftLeft", 0x10},
    {43, "Backslash", 0xDC},     // next to Return: ' *
    {44, "KeyZ", 'Z'}, {45, "KeyX", 'X'}, {46, "KeyC", 'C'}, {47, "KeyV", 'V'},
    {48, "KeyB", 'B'}, {49, "KeyN", 'N'}, {50, "KeyM", 'M'},
    {51, "Comma", 0xBC}, {52, "Period", 0xBE}, {53, "Slash", 0xBD},  // , ; . : - :
    {54, "ShiftRight", 0x10}, {56, "AltLeft", 0x12}, {57, "Space", 0x20},
    {58, "CapsLock", 0x14},
    {59, "F1", 0x70}, {60, "F2", 0x71}, {61, "F3", 0x72}, {62, "F4", 0x73}, {63, "F5", 0x74},
    {64, "F6", 0x75}, {65, "F7", 0x76}, {66, "F8", 0x77}, {67, "F9", 0x78}, {68, "F10", 0x79},
    {71, "Numpad7", 0x37}, {72, "Numpad8", 0x38}, {73, "Numpad9", 0x39},
    {74, "NumpadSubtract", 0xBD},
    {75, "Numpad4", 0x34}, {76, "Numpad5", 0x35}, {77, "Numpad6", 0x36},
    {78, "NumpadAdd", 0xBF},
    {79, "Numpad1", 0x31}, {80, "Numpad2", 0x32}, {81, "Numpad3", 0x33},
    {82, "Numpad0", 0xC0}, {83, "NumpadDecimal", 0xBE},
    {86, "IntlBackslash", 0x2D}, // left of Z: < @
    {87, "F11", 0x7A}, {88, "F12", 0x7B},
    {96, "NumpadEnter", 0x0D}, {97, "ControlRight", 0x11}, {100, "AltRight", 0x12},
    {102, "Home", 0x24}, {103, "ArrowUp", 0x26}, {104, "PageUp", 0x21},
    {105, "ArrowLeft", 0x08},    // the machine's back key
    {106, "ArrowRight", 0x27}, {107, "End", 0x23}, {108, "ArrowDown", 0x28},
    {109, "PageDown", 0x22}, {110, "Insert", 0x2D}, {111, "Delete", 0x2E},
};
// clang-format on

constexpr bool InInputCodeOrder() {
    for (size_t i = 1; i < std::size(Keys); i++)
        if (Keys[i - 1].inputCode >= Keys[i].inputCode) return false;
    return true;
}
static_assert(InInputCodeOrder(), "one row per key, in input-code order");

constexpr int InputCodes = 128;

constexpr std::array<uint8_t, InputCodes> BuildByInputCode() {
    std::array<uint8_t, InputCodes> table{};
    for (const PhysicalKey& key : Keys)
        table[key.inputCode] = key.virtualKey;
    return table;
}

constexpr std::array<uint8_t, InputCodes> ByInputCode = BuildByInputCode();

} // namespace

std::span<const PhysicalKey> PhysicalKeys() { return Keys; }

uint8_t VirtualKeyOfInputCode(uint32_t inputCode) {
    return inputCode < InputCodes ? ByInputCode[inputCode] : 0;
}

uint8_t VirtualKeyOfBrowserCode(std::string_view browserCode) {
    for (const PhysicalKey& key : Keys)
        if (browserCode == key.browserCode) return key.virtualKey;
    return 0;
}
