// The queue of key events for the emulated keyboard; see key_queue.h.
#include "host/qt/key_queue.h"

#include <algorithm>
#include <iterator>

#include "host/qt/paste.h"
#include "host/session/typing.h"
#include "machine/keyboard.h"

KeyQueue keyQueue;

bool KeyStrokeForCode(uint8_t code, KeyStroke& stroke) {
    if (code == 0 || code > 0x7F) return false;
    for (int modifiers = 0; modifiers < 4; modifiers++)
        for (int position = 0; position < KeyboardPositions; position++)
            if (KeyPositions[position] && KeyChars[modifiers][position] == code) {
                stroke.virtualKey = KeyPositions[position];
                stroke.shift = (modifiers & 1) != 0;
                stroke.ctrl = (modifiers & 2) != 0;
                return true;
            }
    return false;
}

bool KeyStrokeForCharacter(char32_t character, KeyStroke& stroke) {
    if (character == U'\r' || character == U'\n') return KeyStrokeForCode(0x0D, stroke);
    const int code = MachineCodeOfCharacter(character);
    return code > 0 && KeyStrokeForCode(static_cast<uint8_t>(code), stroke);
}

void QueueKeyEvent(const MachineKeyEvent& event) { keyQueue.events.push_back(event); }

void QueueKeyStroke(const KeyStroke& stroke) {
    MachineKeyEvent press;
    press.virtualKey = stroke.virtualKey;
    press.shift = stroke.shift;
    press.ctrl = stroke.ctrl;
    QueueKeyEvent(press);
    MachineKeyEvent release = press;
    release.down = false;
    release.shift = release.ctrl = -1;
    QueueKeyEvent(release);
}

void QueueTypedCode(uint8_t code) {
    MachineKeyEvent typed;
    typed.typedCode = code;
    QueueKeyEvent(typed);
}

namespace {

void setModifier(uint32_t virtualKey, bool& held, int8_t wanted) {
    if (wanted < 0 || held == (wanted != 0)) return;
    held = wanted != 0;
    if (held)
        keyPressed(virtualKey);
    else
        keyReleased(virtualKey);
}

} // namespace

int DeliverQueuedKey() {
    KeyQueue& q = keyQueue;
    // Keys after a typed code wait until the machine has read it.
    if (q.typing && TypingPending()) return 0;
    q.typing = false;
    while (!q.events.empty()) {
        const MachineKeyEvent event = q.events.front();
        q.events.pop_front();
        if (event.typedCode) {
            TypeAfterCurrent(std::string(1, static_cast<char>(event.typedCode)));
            q.typing = true;
            return 1;
        }
        if (event.releaseAll) {
            for (int vk = 0; vk < 256; vk++)
                if (q.down[vk]) keyReleased(static_cast<uint32_t>(vk));
            std::fill(std::begin(q.down), std::end(q.down), false);
            setModifier(VkShift, q.machineShift, 0);
            setModifier(VkControl, q.machineCtrl, 0);
            continue;
        }
        const uint8_t vk = event.virtualKey;
        if (vk == VkShift || vk == VkControl) {
            // A modifier key of its own (positional typing).
            setModifier(vk, vk == VkShift ? q.machineShift : q.machineCtrl, event.down ? 1 : 0);
            continue;
        }
        setModifier(VkShift, q.machineShift, event.shift);
        setModifier(VkControl, q.machineCtrl, event.ctrl);
        if (event.down) {
            // A key the machine still holds is let go first, so the new press
            // raises its own interrupt (two characters on one key, "1!").
            if (q.down[vk]) keyReleased(vk);
            keyPressed(vk);
            q.down[vk] = true;
        } else {
            keyReleased(vk);
            q.down[vk] = false;
        }
        return 1;
    }
    return 0;
}

void ClearKeyQueue() { keyQueue = KeyQueue(); }
