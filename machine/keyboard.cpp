// Keyboard tables, key events, the keyboard port and the typing queue.
#include "machine/keyboard.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "cpu/z80.h"

namespace {

// One row per keyboard position: host key and the four characters. Position
// 13 (host key DFh, the key left of 1 on a PC keyboard) is the host's way to
// > and _, which no other key types: > has no key of its own on the machine,
// and _ otherwise needs Ctrl+Shift on the - key.
struct KeyRow {
    uint8_t position;
    uint8_t virtualKey;
    uint32_t plain, shift, ctrl, ctrlShift;
};

constexpr KeyRow KeyRows[] = {
    {0, 0x31, 0x31, 0x21, 0x31, 0x21},  {1, 0x32, 0x32, 0x22, 0x32, 0x22},
    {2, 0x33, 0x33, 0x23, 0x33, 0x23},  {3, 0x34, 0x34, 0x24, 0x34, 0x24},
    {4, 0x35, 0x35, 0x25, 0x35, 0x25},  {5, 0x36, 0x36, 0x26, 0x36, 0x26},
    {6, 0x37, 0x37, 0x2F, 0x37, 0x2F},  {7, 0x38, 0x38, 0x28, 0x38, 0x28},
    {8, 0x39, 0x39, 0x29, 0x39, 0x29},  {9, 0xC0, 0x30, 0x3D, 0x30, 0x3D},
    {10, 0xBF, 0x2B, 0x3F, 0x2B, 0x3F}, {11, 0xBB, 0x60, 0x3F, 0x00, 0x3F},
    {12, 0x2D, 0x3C, 0x40, 0x7F, 0x40}, {13, 0xDF, 0x3E, 0x5F, 0x00, 0x5F},
    {19, 0x09, 0x71, 0x00, 0x00, 0x00}, {20, 0x51, 0x71, 0x51, 0x11, 0x11},
    {21, 0x57, 0x77, 0x57, 0x17, 0x17}, {22, 0x45, 0x65, 0x45, 0x05, 0x05},
    {23, 0x52, 0x72, 0x52, 0x12, 0x12}, {24, 0x54, 0x74, 0x54, 0x14, 0x14},
    {25, 0x59, 0x79, 0x59, 0x19, 0x19}, {26, 0x55, 0x75, 0x55, 0x15, 0x15},
    {27, 0x49, 0x69, 0x49, 0x09, 0x09}, {28, 0x4F, 0x6F, 0x4F, 0x0F, 0x1F},
    {29, 0x50, 0x70, 0x50, 0x10, 0x00}, {30, 0xDB, 0x7D, 0x5D, 0x1D, 0x1D},
    {31, 0xDD, 0x7E, 0x5E, 0x1E, 0x1E}, {32, 0x0D, 0x0D, 0x0D, 0x0D, 0x0D},
    {40, 0x41, 0x61, 0x41, 0x01, 0x01}, {41, 0x53, 0x73, 0x53, 0x13, 0x13},
    {42, 0x44, 0x64, 0x44, 0x04, 0x04}, {43, 0x46, 0x66, 0x46, 0x06, 0x06},
    {44, 0x47, 0x67, 0x47, 0x07, 0x07}, {45, 0x48, 0x68, 0x48, 0x08, 0x08},
    {46, 0x4A, 0x6A, 0x4A, 0x0A, 0x0A}, {47, 0x4B, 0x6B, 0x4B, 0x0B, 0x1B},
    {48, 0x4C, 0x6C, 0x4C, 0x0C, 0x1C}, {49, 0xBA, 0x7C, 0x5C, 0x1C, 0x1C},
    {50, 0xDE, 0x7B, 0x5B, 0x1B, 0x1B}, {51, 0xDC, 0x27, 0x2A, 0x27, 0x2A},
    {52, 0x08, 0x08, 0x08, 0x08, 0x08}, {60, 0x5A, 0x7A, 0x5A, 0x1A, 0x1A},
    {61, 0x58, 0x78, 0x58, 0x18, 0x18}, {62, 0x43, 0x63, 0x43, 0x03, 0x03},
    {63, 0x56, 0x76, 0x56, 0x16, 0x16}, {64, 0x42, 0x62, 0x42, 0x02, 0x02},
    {65, 0x4E, 0x6E, 0x4E, 0x0E, 0x1E}, {66, 0x4D, 0x6D, 0x4D, 0x0D, 0x1D},
    {67, 0xBC, 0x2C, 0x3B, 0x2C, 0x3A}, {68, 0xBE, 0x2E, 0x3A, 0x2E, 0x3A},
    {69, 0xBD, 0x2D, 0x3A, 0x2D, 0x5F}, {70, 0x00, 0x00, 0x5F, 0x00, 0x00},
    {71, 0x27, 0x09, 0x09, 0x09, 0x09}, {72, 0x00, 0x00, 0x20, 0x00, 0x20},
    {79, 0x20, 0x20, 0x00, 0x20, 0x00},
};

constexpr std::array<uint8_t, KeyboardPositions> buildPositions() {
    std::array<uint8_t, KeyboardPositions> positions{};
    for (const KeyRow& row : KeyRows)
        positions[row.position] = row.virtualKey;
    return positions;
}

constexpr std::array<std::array<uint32_t, KeyboardPositions>, 4> buildChars() {
    std::array<std::array<uint32_t, KeyboardPositions>, 4> chars{};
    for (const KeyRow& row : KeyRows) {
        chars[0][row.position] = row.plain;
        chars[1][row.position] = row.shift;
        chars[2][row.position] = row.ctrl;
        chars[3][row.position] = row.ctrlShift;
    }
    return chars;
}

constexpr uint8_t NoPosition = 0xFF;
uint8_t KeyPositionOf[256];
bool KeyDown[256];
char* typeBuffer = nullptr;
size_t typeSteps = 0;
size_t typeIndex = 0;

void raiseKeyboardInterrupt() {
    cpu.INT = 1;
    cpu.intVector = KeyboardVector;
    cpu.intAck = keyboardAcknowledge;
}

bool anyPositionKeyDown() {
    for (uint8_t vk : KeyPositions)
        if (vk && KeyDown[vk]) return true;
    return false;
}

void dropTyping() {
    std::free(typeBuffer);
    typeBuffer = nullptr;
    typeSteps = 0;
    typeIndex = 0;
}

} // namespace

void keyboardAcknowledge(uint16_t, uint8_t vector) {
    if (vector == KeyboardVector) cpu.INT = 0;
}

const std::array<uint8_t, KeyboardPositions> KeyPositions = buildPositions();
const std::array<std::array<uint32_t, KeyboardPositions>, 4> KeyChars = buildChars();
uint8_t keyLatch = 0;

void keyboardInit() {
    std::memset(KeyPositionOf, NoPosition, sizeof KeyPositionOf);
    for (int position = 0; position < KeyboardPositions; position++)
        if (KeyPositions[position])
            KeyPositionOf[KeyPositions[position]] = static_cast<uint8_t>(position);
    keyboardReset();
}

void keyboardReset() {
    std::memset(KeyDown, 0, sizeof KeyDown);
    keyLatch = 0;
    dropTyping();
}

namespace {
const KeyboardInputLog* inputLog = nullptr;
} // namespace

void keyboardSetInputLog(const KeyboardInputLog* log) { inputLog = log; }

int keyPressed(uint32_t vk) {
    if (vk > 0xFF) return 0;
    if (inputLog) inputLog->pressed(vk);
    if (vk == VkShift || vk == VkControl) {
        KeyDown[vk] = true;
        return 1;
    }
    int modifiers = (KeyDown[VkShift] ? 1 : 0) + (KeyDown[VkControl] ? 2 : 0);
    uint8_t position = KeyPositionOf[vk];
    if (position == NoPosition) return 1;
    uint32_t c = KeyChars[modifiers][position];
    if (c == 0) return 1;
    if (!KeyDown[vk]) {
        raiseKeyboardInterrupt();
        KeyDown[vk] = true;
    }
    keyLatch = static_cast<uint8_t>(c | 0x80);
    return 1;
}

int keyReleased(uint32_t vk) {
    if (vk > 0xFF) return 0;
    if (inputLog) inputLog->released(vk);
    KeyDown[vk] = false;
    return 1;
}

uint8_t keyboardRead() {
    uint8_t r = keyLatch;
    if (typeSteps == 0) {
        if (!anyPositionKeyDown()) keyLatch &= 0x7F;
        return r;
    }
    typeSteps--;
    if (typeIndex & 1) {
        keyLatch = static_cast<uint8_t>(typeBuffer[typeIndex / 2] | 0x80);
        r = keyLatch;
    }
    if (typeSteps == 0) {
        dropTyping();
    } else {
        raiseKeyboardInterrupt();
        typeIndex++;
    }
    return r;
}

int typeText(const char* text) {
    if (typeSteps != 0 || !text || !*text) return 0;
    size_t length = std::strlen(text);
    typeBuffer = static_cast<char*>(std::malloc(length + 1));
    if (!typeBuffer) return 0;
    std::memcpy(typeBuffer, text, length + 1);
    typeSteps = 2 * length;
    typeIndex = 0;
    if (inputLog) inputLog->typed(text);
    return 1;
}

bool typingInProgress() { return typeSteps != 0; }

uint8_t screenCharToText(uint8_t b) {
    uint8_t k = b & 0x77;
    if (k == 0x17 || k == 0x07) return ' ';
    // Bit 7 makes a character blink (the cursor is a blinking cell); the
    // character is the same, so the copy drops the bit.
    b &= 0x7F;
    if (b < 0x20) b = static_cast<uint8_t>(b + 0x40);
    switch (b) {
    case 0x40: return 0xC9;
    case 0x5B: return 0xC4;
    case 0x5C: return 0xD6;
    case 0x5D: return 0xC5;
    case 0x5E: return 0xDC;
    case 0x60: return 0xE9;
    case 0x7B: return 0xE4;
    case 0x7C: return 0xF6;
    case 0x7D: return 0xE5;
    case 0x7E: return 0xFC;
    default: return b;
    }
}

KeyboardState keyboardState() {
    KeyboardState state;
    std::copy(std::begin(KeyDown), std::end(KeyDown), state.down.begin());
    if (typeSteps != 0) state.typing = typeBuffer;
    state.typeSteps = typeSteps;
    state.typeIndex = typeIndex;
    return state;
}

void setKeyboardState(const KeyboardState& state) {
    std::copy(state.down.begin(), state.down.end(), std::begin(KeyDown));
    dropTyping();
    if (state.typeSteps == 0 || state.typing.empty()) return;
    typeBuffer = static_cast<char*>(std::malloc(state.typing.size() + 1));
    if (!typeBuffer) return;
    std::memcpy(typeBuffer, state.typing.c_str(), state.typing.size() + 1);
    typeSteps = state.typeSteps;
    typeIndex = state.typeIndex;
}
