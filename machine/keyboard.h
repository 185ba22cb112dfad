// The ABC80 keyboard: host key events (Windows virtual-key codes) through a
// position table to 7-bit character codes, with bit 7 of the latch as the
// strobe and an interrupt (vector 34h) on every key-down; the typing queue
// that feeds text to the program read by read; and screen bytes as host text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

constexpr int KeyboardPositions = 80;
constexpr uint8_t KeyboardVector = 0x34;
constexpr uint32_t VkShift = 0x10;
constexpr uint32_t VkControl = 0x11;

// Host virtual-key code of each keyboard position (0: none), and the
// character of each position per modifier state (0 plain, 1 Shift, 2 Ctrl,
// 3 Ctrl+Shift; 0: nothing).
extern const std::array<uint8_t, KeyboardPositions> KeyPositions;
extern const std::array<std::array<uint32_t, KeyboardPositions>, 4> KeyChars;
extern uint8_t keyLatch;

void keyboardInit();
void keyboardReset();
// Host key-down/key-up; 0 for a code outside 0-255.
int keyPressed(uint32_t vk);
int keyReleased(uint32_t vk);
uint8_t keyboardRead();
// Starts typing a text; 0 when it is empty or a typing is in progress.
int typeText(const char* text);
bool typingInProgress();
// The inputs from outside as they reach the keyboard, for the history's log:
// called after keyPressed and keyReleased took a code and after typeText
// started a text. nullptr (the default): nobody listens.
struct KeyboardInputLog {
    void (*pressed)(uint32_t vk);
    void (*released)(uint32_t vk);
    void (*typed)(const char* text);
};
void keyboardSetInputLog(const KeyboardInputLog* log);
// Screen byte to a Windows-1252 character.
uint8_t screenCharToText(uint8_t b);

// The keyboard's state beyond keyLatch: keys held and the typing under way
// (typeSteps + typeIndex is twice the text's length while typing).
struct KeyboardState {
    std::array<bool, 256> down{};
    std::string typing;
    uint64_t typeSteps = 0;
    uint64_t typeIndex = 0;
};
KeyboardState keyboardState();
void setKeyboardState(const KeyboardState& state);
// The acknowledge of a key-down interrupt: withdraws the keyboard's request.
void keyboardAcknowledge(uint16_t address, uint8_t vector);
