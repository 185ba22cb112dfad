// Typing on the desktop: host key events (with the characters a US layout
// produces) reach the machine's BASIC as the characters shown on the keys,
// every press is seen however short, and characters the ABC80 lacks are
// dropped with a note.
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include "desktop_fixture.h"
#include "host/qt/key_queue.h"
#include "host/qt/menu_table.h"
#include "host/qt/settings.h"
#include "machine/keyboard.h"

namespace {

using KeyboardTest = DesktopTest;

// A US layout: the Qt key, the text the host produces, and whether Shift is
// held for it.
struct UsKey {
    int key;
    Qt::KeyboardModifiers modifiers;
};

UsKey usKeyFor(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 'a' && u <= 'z') return {Qt::Key_A + (u - 'a'), Qt::NoModifier};
    if (u >= 'A' && u <= 'Z') return {Qt::Key_A + (u - 'A'), Qt::ShiftModifier};
    if (u >= '0' && u <= '9') return {Qt::Key_0 + (u - '0'), Qt::NoModifier};
    switch (u) {
    case ' ': return {Qt::Key_Space, Qt::NoModifier};
    case '"': return {Qt::Key_QuoteDbl, Qt::ShiftModifier};
    case ':': return {Qt::Key_Colon, Qt::ShiftModifier};
    case ';': return {Qt::Key_Semicolon, Qt::NoModifier};
    case '=': return {Qt::Key_Equal, Qt::NoModifier};
    case '+': return {Qt::Key_Plus, Qt::ShiftModifier};
    case '*': return {Qt::Key_Asterisk, Qt::ShiftModifier};
    case '(': return {Qt::Key_ParenLeft, Qt::ShiftModifier};
    case ')': return {Qt::Key_ParenRight, Qt::ShiftModifier};
    case '[': return {Qt::Key_BracketLeft, Qt::NoModifier};
    default: return {0, Qt::NoModifier};
    }
}

void send(QWidget* window, QEvent::Type type, const UsKey& key, const QString& text) {
    QKeyEvent event(type, key.key, key.modifiers, text);
    QApplication::sendEvent(window, &event);
}

// Types text as a fast typist would: every press and release arrives
// between two frames; n frames run after each character.
void typeFast(QWidget* window, const QString& text, int framesBetween) {
    for (QChar c : text) {
        if (c == '\r') {
            send(window, QEvent::KeyPress, {Qt::Key_Return, Qt::NoModifier}, "\r");
            send(window, QEvent::KeyRelease, {Qt::Key_Return, Qt::NoModifier}, "\r");
        } else {
            const UsKey key = usKeyFor(c);
            if (key.modifiers & Qt::ShiftModifier)
                send(window, QEvent::KeyPress, {Qt::Key_Shift, Qt::ShiftModifier}, "");
            send(window, QEvent::KeyPress, key, QString(c));
            send(window, QEvent::KeyRelease, key, QString(c));
            if (key.modifiers & Qt::ShiftModifier)
                send(window, QEvent::KeyRelease, {Qt::Key_Shift, Qt::NoModifier}, "");
        }
        for (int i = 0; i < framesBetween; i++)
            RunOneFrame();
    }
}

TEST_F(KeyboardTest, NaturalTypingGivesTheCharactersOnTheKeys) {
    startDesktop();
    runFramesAndReadScreen(60);
    ASSERT_EQ(NaturalKeyboard, 1u) << "natural typing is the default";
    // No frame between the keys: every press still arrives.
    typeFast(&window(), "10 PRINT \"HI\";2*(3+4)\r", 0);
    typeFast(&window(), "run\r", 0);
    std::string screen = runFramesAndReadScreen(200);
    EXPECT_NE(screen.find("10 PRINT \"HI\";2*(3+4)"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\nHI 14"), std::string::npos) << screen;
    EXPECT_TRUE(keyQueue.events.empty());
}

TEST_F(KeyboardTest, ColonAndLowerCaseOnAUsLayout) {
    startDesktop();
    runFramesAndReadScreen(60);
    typeFast(&window(), "save cas:test", 1);
    std::string screen = runFramesAndReadScreen(20);
    EXPECT_NE(screen.find(">save cas:test"), std::string::npos) << screen;
}

TEST_F(KeyboardTest, CharactersTheMachineLacksAreDroppedWithANote) {
    startDesktop();
    runFramesAndReadScreen(60);
    typeFast(&window(), "a[b", 2);
    std::string screen = runFramesAndReadScreen(10);
    EXPECT_NE(screen.find(">ab"), std::string::npos) << screen;
    EXPECT_NE(window().status()->fieldText(StatusMessageField).indexOf("no key for \"[\""), -1)
        << window().status()->fieldText(StatusMessageField).toStdString();
}

// Every character the machine shows can be typed in natural mode, > and _
// among them: each is sent as the host sends it (the character, no key
// code), and the machine echoes it.
TEST_F(KeyboardTest, NaturalTypingReachesEveryCharacterTheMachineShows) {
    startDesktop();
    runFramesAndReadScreen(60);
    QString all;
    for (int code = 0x20; code <= 0x7E; code++)
        all += QChar(screenCharToText(static_cast<uint8_t>(code))); // Latin-1
    for (int from = 0; from < all.size(); from += 30) {
        const QString chunk = all.mid(from, 30);
        for (QChar c : "rem " + chunk) {
            send(&window(), QEvent::KeyPress, {0, Qt::NoModifier}, QString(c));
            send(&window(), QEvent::KeyRelease, {0, Qt::NoModifier}, QString(c));
        }
        const std::string screen = runFramesAndReadScreen(2 * (chunk.size() + 4) + 10);
        EXPECT_NE(screen.find((">rem " + chunk).toStdString()), std::string::npos)
            << chunk.toStdString() << "\n"
            << screen;
        EXPECT_EQ(window().status()->fieldText(StatusMessageField).indexOf("no key"), -1);
        typeFast(&window(), "\r", 2);
    }
    // > in a program line is kept, not dropped.
    typeFast(&window(), "10 IF 2>1 THEN PRINT 5\r", 0);
    typeFast(&window(), "run\r", 0);
    const std::string screen = runFramesAndReadScreen(200);
    EXPECT_NE(screen.find("10 IF 2>1 THEN PRINT 5"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\n 5"), std::string::npos) << screen;
}

// A code that no key makes is typed as pasted text is, in its turn: the
// keys queued after it wait until the machine has read it.
TEST_F(KeyboardTest, TypedCodeKeepsItsPlaceAmongTheKeys) {
    startDesktop();
    runFramesAndReadScreen(60);
    KeyStroke a, b;
    ASSERT_TRUE(KeyStrokeForCharacter(U'a', a));
    ASSERT_TRUE(KeyStrokeForCharacter(U'b', b));
    QueueKeyStroke(a);
    QueueTypedCode('>');
    QueueTypedCode('=');
    QueueKeyStroke(b);
    const std::string screen = runFramesAndReadScreen(40);
    EXPECT_NE(screen.find(">a>=b"), std::string::npos) << screen;
    EXPECT_TRUE(keyQueue.events.empty());
}

TEST_F(KeyboardTest, PastedCharactersTheMachineLacksGetANote) {
    startDesktop();
    runFramesAndReadScreen(60);
    QGuiApplication::clipboard()->setText("print [2]");
    window().OnCommand(CmdPaste);
    const std::string screen = runFramesAndReadScreen(60);
    EXPECT_NE(screen.find(">print 2"), std::string::npos) << screen;
    EXPECT_EQ(window().status()->fieldText(StatusMessageField),
              "The ABC80 cannot show \"[]\"; 2 pasted characters were dropped.");
}

TEST_F(KeyboardTest, PositionalModeFollowsTheSwedishPlaces) {
    startDesktop();
    runFramesAndReadScreen(60);
    window().OnCommand(40201); // Options > Keyboard > Positional
    ASSERT_EQ(NaturalKeyboard, 0u);
    // Shift+2 is " on both layouts; Shift and the period key give : on the
    // ABC80 (where a US keyboard has >).
    send(&window(), QEvent::KeyPress, {Qt::Key_Shift, Qt::ShiftModifier}, "");
    send(&window(), QEvent::KeyPress, {Qt::Key_2, Qt::ShiftModifier}, "@");
    send(&window(), QEvent::KeyRelease, {Qt::Key_2, Qt::ShiftModifier}, "@");
    send(&window(), QEvent::KeyPress, {Qt::Key_Period, Qt::ShiftModifier}, ">");
    send(&window(), QEvent::KeyRelease, {Qt::Key_Period, Qt::ShiftModifier}, ">");
    send(&window(), QEvent::KeyRelease, {Qt::Key_Shift, Qt::NoModifier}, "");
    std::string screen = runFramesAndReadScreen(20);
    EXPECT_NE(screen.find(">\":"), std::string::npos) << screen;
}

TEST_F(KeyboardTest, KeyStrokesComeFromTheKeyTable) {
    KeyStroke stroke;
    ASSERT_TRUE(KeyStrokeForCharacter(U'"', stroke));
    EXPECT_EQ(stroke.virtualKey, 0x32);
    EXPECT_TRUE(stroke.shift);
    ASSERT_TRUE(KeyStrokeForCharacter(U':', stroke));
    EXPECT_EQ(stroke.virtualKey, 0xBE); // Shift and the period key
    EXPECT_TRUE(stroke.shift);
    ASSERT_TRUE(KeyStrokeForCharacter(U'ä', stroke));
    EXPECT_EQ(stroke.virtualKey, 0xDE);
    EXPECT_FALSE(stroke.shift);
    ASSERT_TRUE(KeyStrokeForCharacter(U'_', stroke)); // Shift and the key left of 1
    EXPECT_EQ(stroke.virtualKey, 0xDF);
    EXPECT_TRUE(stroke.shift && !stroke.ctrl);
    ASSERT_TRUE(KeyStrokeForCharacter(U'>', stroke));
    EXPECT_EQ(stroke.virtualKey, 0xDF);
    EXPECT_FALSE(stroke.shift || stroke.ctrl);
    EXPECT_FALSE(KeyStrokeForCharacter(U'[', stroke)); // shows as Ä on the ABC80
    EXPECT_FALSE(KeyStrokeForCharacter(U'€', stroke));
}

TEST_F(KeyboardTest, LosingTheKeyboardLetsQueuedKeysThroughThenReleasesAll) {
    startDesktop();
    runFramesAndReadScreen(60);
    send(&window(), QEvent::KeyPress, {Qt::Key_Q, Qt::NoModifier}, "q");
    ReleaseMachineKeys(); // as when the window is deactivated with q held
    EXPECT_EQ(DeliverQueuedKey(), 1);
    EXPECT_EQ(keyLatch, 0x80 | 'q');
    EXPECT_EQ(DeliverQueuedKey(), 0);
    EXPECT_TRUE(keyQueue.events.empty());
    EXPECT_FALSE(keyQueue.down['Q']);
    // The release that comes later finds nothing held.
    send(&window(), QEvent::KeyRelease, {Qt::Key_Q, Qt::NoModifier}, "q");
    EXPECT_EQ(DeliverQueuedKey(), 0);
}

} // namespace

namespace {

// F1 is the machine's reset: the open firmware warm-starts and the typed
// program stays; Alt+F1 (hard reset) clears it.
TEST_F(KeyboardTest, F1KeepsTheProgramAndHardResetClearsIt) {
    startDesktop();
    runFramesAndReadScreen(60);
    typeFast(&window(), "10 PRINT 5\r", 1);
    runFramesAndReadScreen(10);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&window(), &f1);
    runFramesAndReadScreen(60);
    typeFast(&window(), "list\r", 1);
    std::string screen = runFramesAndReadScreen(30);
    EXPECT_NE(screen.find("\n10 PRINT 5"), std::string::npos) << screen;

    window().OnCommand(CmdHardReset);
    runFramesAndReadScreen(60);
    typeFast(&window(), "list\r", 1);
    screen = runFramesAndReadScreen(30);
    EXPECT_EQ(screen.find("10 PRINT 5"), std::string::npos) << screen;
}

} // namespace
