// The host's physical keys and the keyboard's virtual-key codes they stand
// for. One table serves every front end: the desktop finds a key by its Linux
// input code (X11 and Wayland keycodes are those codes plus 8, Windows scan
// codes equal them for the keys without an E0 prefix), the web page by the
// browser's name of the key (KeyboardEvent.code). A key that sits where an
// ABC80 key sits gets the virtual-key code the keyboard table lists for that
// ABC80 position; the desktop's own keys (function keys, Home, Escape,
// modifiers) get their usual codes, which the machine ignores.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct PhysicalKey {
    uint16_t inputCode;      // Linux input code (KEY_Q = 16)
    const char* browserCode; // KeyboardEvent.code ("KeyQ")
    uint8_t virtualKey;      // the keyboard's virtual-key code
};

// Every physical key a front end passes on, in input-code order.
std::span<const PhysicalKey> PhysicalKeys();

// The virtual-key code of a Linux input code or a browser key name; 0 when
// the key means nothing to the machine or the desktop.
uint8_t VirtualKeyOfInputCode(uint32_t inputCode);
uint8_t VirtualKeyOfBrowserCode(std::string_view browserCode);
