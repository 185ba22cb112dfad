// Host key events to the keyboard's virtual-key codes. The machine's key
// table is laid out by position on the ABC80 keyboard; a host key is mapped
// by where it sits on the host keyboard, not by the character the host's
// layout prints on it, so the key right of P types å on every layout and the
// key right of 9 types the machine's 0.
//
// Where the platform reports the physical key (X11 and Wayland keycodes,
// Windows scan codes) that is used; otherwise the Qt key code (the character
// of the host layout) is mapped to the position that carries the same
// character on the ABC80.
#pragma once

#include <cstdint>

class QKeyEvent;

// How a platform numbers its physical keys.
enum class ScanCodeKind {
    None,        // no usable scan codes: Qt key codes only
    Evdev,       // Linux input codes (KEY_Q = 16)
    XKeycode,    // X11/Wayland keycodes: Linux input codes + 8
    WindowsSet1, // Windows scan codes, 100h marking the E0-prefixed keys
};

// The scan code kind of the running Qt platform plugin.
ScanCodeKind PlatformScanCodeKind();

// A physical key to a virtual-key code; 0 when the key means nothing to the
// machine or the desktop.
uint32_t VirtualKeyFromScanCode(uint32_t scanCode, ScanCodeKind kind);
// A Qt key code (Qt::Key) to a virtual-key code; 0 when unknown.
uint32_t VirtualKeyFromQtKey(int qtKey);

// The virtual-key code of a key event: the physical key where the platform
// reports one, else the Qt key code.
uint32_t KeyEventToVirtualKey(const QKeyEvent* event);
