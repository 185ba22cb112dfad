#include <gtest/gtest.h>

#include <QKeyEvent>

#include <set>

#include "host/qt/keymap.h"
#include "host/text/physical_keys.h"
#include "machine/keyboard.h"

namespace {

// Linux input codes of keys on a PC keyboard.
constexpr uint32_t InputQ = 16, InputP = 25, InputA = 30, InputL = 38, InputZ = 44, InputM = 50;

// The character a host key types on the machine without modifiers.
uint32_t MachineCharOf(uint32_t virtualKey) {
    for (int position = 0; position < KeyboardPositions; position++)
        if (virtualKey != 0 && KeyPositions[position] == virtualKey) return KeyChars[0][position];
    return 0;
}

TEST(KeyMap, LettersAndDigitsByPosition) {
    const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const uint32_t firstCodes[] = {InputQ, InputA, InputZ};
    for (int row = 0; row < 3; row++)
        for (int i = 0; rows[row][i]; i++) {
            const uint32_t vk = VirtualKeyFromScanCode(firstCodes[row] + i, ScanCodeKind::Evdev);
            EXPECT_EQ(vk, static_cast<uint32_t>(rows[row][i]));
            EXPECT_EQ(MachineCharOf(vk), static_cast<uint32_t>(rows[row][i] + 0x20)); // lower case
        }
    for (uint32_t digit = 1; digit <= 9; digit++)
        EXPECT_EQ(MachineCharOf(VirtualKeyFromScanCode(1 + digit, ScanCodeKind::Evdev)),
                  '0' + digit);
    // The host's 0 key types the machine's 0, which sits on the key code C0h.
    EXPECT_EQ(MachineCharOf(VirtualKeyFromScanCode(11, ScanCodeKind::Evdev)),
              static_cast<uint32_t>('0'));
}

TEST(KeyMap, SwedishKeysByPosition) {
    struct Case {
        uint32_t inputCode;
        uint32_t machineChar;
        const char* key;
    } cases[] = {
        {InputP + 1, 0x7D, "right of P: å"}, {InputP + 2, 0x7E, "right of å: ü"},
        {InputL + 1, 0x7C, "right of L: ö"}, {InputL + 2, 0x7B, "right of ö: ä"},
        {43, 0x27, "right of ä: '"},         {12, 0x2B, "right of 0: +"},
        {13, 0x60, "right of +: é"},         {InputM + 1, 0x2C, "right of M: ,"},
        {InputM + 2, 0x2E, "next: ."},       {InputM + 3, 0x2D, "next: -"},
        {86, 0x3C, "left of Z: <"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MachineCharOf(VirtualKeyFromScanCode(c.inputCode, ScanCodeKind::Evdev)),
                  c.machineChar)
            << c.key;
}

TEST(KeyMap, ScanCodesOfEachPlatform) {
    // X11 and Wayland keycodes are input codes + 8.
    EXPECT_EQ(VirtualKeyFromScanCode(InputQ + 8, ScanCodeKind::XKeycode), 'Q');
    EXPECT_EQ(VirtualKeyFromScanCode(InputP + 1 + 8, ScanCodeKind::XKeycode), 0xDBu);
    EXPECT_EQ(VirtualKeyFromScanCode(5, ScanCodeKind::XKeycode), 0u);
    // Windows scan codes: plain ones equal input codes, E0-prefixed ones differ.
    EXPECT_EQ(VirtualKeyFromScanCode(InputA, ScanCodeKind::WindowsSet1), 'A');
    EXPECT_EQ(VirtualKeyFromScanCode(0x14D, ScanCodeKind::WindowsSet1), 0x27u); // Right arrow
    EXPECT_EQ(VirtualKeyFromScanCode(0x11C, ScanCodeKind::WindowsSet1), 0x0Du); // keypad Enter
    EXPECT_EQ(VirtualKeyFromScanCode(0x4D, ScanCodeKind::WindowsSet1), 0x36u);  // keypad 6
    EXPECT_EQ(VirtualKeyFromScanCode(InputQ, ScanCodeKind::None), 0u);
    EXPECT_EQ(VirtualKeyFromScanCode(100000, ScanCodeKind::Evdev), 0u);
}

TEST(KeyMap, FunctionModifierAndEditingKeys) {
    for (uint32_t i = 0; i < 10; i++)
        EXPECT_EQ(VirtualKeyFromScanCode(59 + i, ScanCodeKind::Evdev), 0x70 + i);
    EXPECT_EQ(VirtualKeyFromScanCode(87, ScanCodeKind::Evdev), 0x7Au);
    EXPECT_EQ(VirtualKeyFromScanCode(88, ScanCodeKind::Evdev), 0x7Bu);
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F1 + i), 0x70u + i);
    const struct {
        uint32_t inputCode;
        int qtKey;
        uint32_t vk;
    } keys[] = {
        {42, Qt::Key_Shift, VkShift},     {54, Qt::Key_Shift, VkShift},
        {29, Qt::Key_Control, VkControl}, {97, Qt::Key_Control, VkControl},
        {28, Qt::Key_Return, 0x0D},       {96, Qt::Key_Enter, 0x0D},
        {14, Qt::Key_Backspace, 0x08},    {57, Qt::Key_Space, 0x20},
        {106, Qt::Key_Right, 0x27},       {105, Qt::Key_Left, 0x08}, // the back key
        {110, Qt::Key_Insert, 0x2D},      {1, Qt::Key_Escape, 0x1B},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(VirtualKeyFromScanCode(k.inputCode, ScanCodeKind::Evdev), k.vk) << k.inputCode;
        EXPECT_EQ(VirtualKeyFromQtKey(k.qtKey), k.vk) << k.qtKey;
    }
}

TEST(KeyMap, QtKeysGoToThePositionOfTheirCharacter) {
    const struct {
        int qtKey;
        int modifierState;
        uint32_t machineChar;
    } keys[] = {
        {Qt::Key_Aring, 0, 0x7D},      {Qt::Key_Aring, 1, 0x5D},      {Qt::Key_Adiaeresis, 0, 0x7B},
        {Qt::Key_Odiaeresis, 1, 0x5C}, {Qt::Key_Udiaeresis, 0, 0x7E}, {Qt::Key_0, 0, '0'},
        {Qt::Key_Equal, 1, '='},       {Qt::Key_Exclam, 1, '!'},      {Qt::Key_Plus, 0, '+'},
        {Qt::Key_Question, 1, '?'},    {Qt::Key_Minus, 0, '-'},       {Qt::Key_Asterisk, 1, '*'},
        {Qt::Key_Less, 0, '<'},        {Qt::Key_Colon, 1, ':'},       {Qt::Key_M, 0, 'm'},
        {Qt::Key_7, 0, '7'},           {Qt::Key_Greater, 0, '>'},     {Qt::Key_Underscore, 1, '_'},
    };
    for (const auto& k : keys) {
        const uint32_t vk = VirtualKeyFromQtKey(k.qtKey);
        int position = -1;
        for (int p = 0; p < KeyboardPositions; p++)
            if (vk && KeyPositions[p] == vk) position = p;
        ASSERT_GE(position, 0) << "Qt key " << std::hex << k.qtKey;
        EXPECT_EQ(KeyChars[k.modifierState][position], k.machineChar)
            << "Qt key " << std::hex << k.qtKey;
    }
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_At), 0u);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_unknown), 0u);
}

TEST(KeyMap, KeyEventsUseQtKeysWithoutPlatformScanCodes) {
    if (PlatformScanCodeKind() != ScanCodeKind::None)
        GTEST_SKIP() << "the platform reports scan codes";
    // A scan code the platform does not define is not trusted.
    QKeyEvent aring(QEvent::KeyPress, Qt::Key_Aring, Qt::NoModifier, 24 + 8, 0, 0, "å");
    EXPECT_EQ(KeyEventToVirtualKey(&aring), 0xDBu);
    QKeyEvent f1(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
    EXPECT_EQ(KeyEventToVirtualKey(&f1), 0x70u);
}

// Every physical key: the desktop's X11 keycode and the page's browser name
// reach the same virtual-key code, one table serving both.
TEST(KeyMap, EveryPhysicalKeyIsTheSameInBothFrontEnds) {
    int keys = 0;
    for (const PhysicalKey& key : PhysicalKeys()) {
        SCOPED_TRACE(key.browserCode);
        EXPECT_NE(key.virtualKey, 0u);
        EXPECT_EQ(VirtualKeyFromScanCode(key.inputCode + 8, ScanCodeKind::XKeycode),
                  key.virtualKey);
        EXPECT_EQ(VirtualKeyOfBrowserCode(key.browserCode), key.virtualKey);
        keys++;
    }
    EXPECT_GE(keys, 95) << "a full PC keyboard";
    EXPECT_EQ(VirtualKeyOfBrowserCode("NoSuchKey"), 0u);
    EXPECT_EQ(VirtualKeyOfInputCode(100000), 0u);
}

// By position, every key of the machine's table is reached from the host
// keyboard, and every character the machine shows is typed by some key
// with some of Shift and Ctrl: > and _ included.
TEST(KeyMap, PositionalTypingReachesEveryKeyAndCharacter) {
    std::set<uint32_t> reached;
    for (const PhysicalKey& key : PhysicalKeys())
        reached.insert(key.virtualKey);
    for (int position = 0; position < KeyboardPositions; position++) {
        if (!KeyPositions[position]) continue;
        EXPECT_TRUE(reached.count(KeyPositions[position])) << "position " << position;
    }
    for (uint32_t code = 0x20; code <= 0x7E; code++) {
        bool typed = false;
        for (int position = 0; position < KeyboardPositions && !typed; position++)
            for (int modifiers = 0; modifiers < 4 && !typed; modifiers++)
                typed = KeyPositions[position] && reached.count(KeyPositions[position]) &&
                        KeyChars[modifiers][position] == code;
        EXPECT_TRUE(typed) << "code " << std::hex << code;
    }
    // The key left of 1: > plain, _ with Shift.
    EXPECT_EQ(MachineCharOf(VirtualKeyOfBrowserCode("Backquote")), static_cast<uint32_t>('>'));
    EXPECT_EQ(MachineCharOf(VirtualKeyFromScanCode(41, ScanCodeKind::Evdev)),
              static_cast<uint32_t>('>'));
}

} // namespace
