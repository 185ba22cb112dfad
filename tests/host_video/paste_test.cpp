#include <gtest/gtest.h>

#include <QString>

#include "host/qt/paste.h"
#include "machine/keyboard.h"

namespace {

std::string Convert(const char16_t* text) {
    return ClipboardTextToMachineBytes(QString::fromUtf16(text));
}

TEST(Paste, SwedishLettersBecomeTheirMachineCodes) {
    EXPECT_EQ(Convert(u"åäöÅÄÖéüÉÜ"), "\x7D\x7B\x7C\x5D\x5B\x5C\x60\x7E\x40\x5E");
    // The same letters written as a base letter and a combining mark.
    EXPECT_EQ(Convert(u"a\u030Ao\u0308"), "\x7D\x7C");
    EXPECT_EQ(Convert(u"PRINT \"HÄR\""), "PRINT \"H\x5BR\"");
}

TEST(Paste, LineEndsBecomeOneReturnEach) {
    EXPECT_EQ(Convert(u"10 A\r\n20 B\n30 C\r40 D"), "10 A\r20 B\r30 C\r40 D");
    EXPECT_EQ(Convert(u"\n\n"), "\r\r");
    EXPECT_EQ(Convert(u"\r\n\r\n"), "\r\r");
    EXPECT_EQ(Convert(u"\r\r\n"), "\r\r");
}

TEST(Paste, CharactersWithoutAMachineCodeAreDropped) {
    // The ASCII signs whose codes show Swedish letters, letters the machine
    // lacks, control characters, DEL and characters beyond Latin-1.
    EXPECT_EQ(Convert(u"a@[\\]^`{|}~b"), "ab");
    EXPECT_EQ(Convert(u"ñ€x\u0001\u007F\u00A0y😀z"), "xyz");
    EXPECT_EQ(Convert(u"A\tB"), "A B");
    EXPECT_EQ(Convert(u""), "");
    // A NUL would end typeText's text early.
    EXPECT_EQ(ClipboardTextToMachineBytes(QString(QChar(0)) + "Q"), "Q");
}

TEST(Paste, DroppedCharactersAreCountedAndNamedInTheNote) {
    DroppedCharacters dropped;
    EXPECT_EQ(ClipboardTextToMachineBytes(QString::fromUtf16(u"PRINT [1] [2]"), &dropped),
              "PRINT 1 2");
    EXPECT_EQ(dropped.count, 4u);
    EXPECT_EQ(dropped.distinct, U"[]");
    EXPECT_EQ(DroppedCharactersNote(dropped),
              "The ABC80 cannot show \"[]\"; 4 pasted characters were dropped.");
    // Line ends and tabs are not dropped; a control character is named by
    // its code, a character beyond Latin-1 as itself.
    DroppedCharacters some;
    ClipboardTextToMachineBytes(QString::fromUtf16(u"a\r\nb\tc\u0001€"), &some);
    EXPECT_EQ(some.count, 2u);
    EXPECT_EQ(DroppedCharactersNote(some),
              "The ABC80 cannot show \"U+0001€\"; 2 pasted characters were dropped.");
    DroppedCharacters none;
    ClipboardTextToMachineBytes("10 PRINT 1\n", &none);
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(DroppedCharactersNote(none), "");
    // A long list is cut after a dozen characters.
    DroppedCharacters many;
    ClipboardTextToMachineBytes(QString::fromUtf16(u"αβγδεζηθικλμνξ"), &many);
    EXPECT_EQ(many.count, 14u);
    EXPECT_NE(DroppedCharactersNote(many).find("λμ...\""), std::string::npos)
        << DroppedCharactersNote(many);
}

TEST(Paste, InvertsTheScreenTextOfEveryPrintableCode) {
    for (int code = 0x20; code <= 0x7E; code++) {
        const char32_t shown =
            screenCharToText(static_cast<uint8_t>(code)); // Windows-1252 = Latin-1 here
        EXPECT_EQ(MachineCodeOfCharacter(shown), code) << "code " << std::hex << code;
    }
}

} // namespace
