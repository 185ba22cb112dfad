// The host text shared by the front ends without Qt: UTF-8 from the browser
// page decoded to code points (malformed input never yields a stray byte),
// and the status texts turned from Windows-1252 into UTF-8.
#include <gtest/gtest.h>

#include "host/text/screen_text.h"
#include "host/text/typed_text.h"

namespace {

TEST(HostText, Utf8DecodesEveryLength) {
    EXPECT_EQ(Utf8ToCodePoints("A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"),
              (std::u32string{U'A', U'ä', U'€', U'\U0001F600'}));
    EXPECT_EQ(Utf8ToCodePoints(""), std::u32string{});
}

TEST(HostText, MalformedUtf8BecomesReplacementCharacters) {
    // A lone continuation byte, a lead byte cut short at the end, a lead byte
    // followed by a plain character, and a byte that leads nothing.
    EXPECT_EQ(Utf8ToCodePoints("\x80"
                               "A"),
              (std::u32string{U'\uFFFD', U'A'}));
    EXPECT_EQ(Utf8ToCodePoints("A\xE2\x82"), (std::u32string{U'A', U'\uFFFD', U'\uFFFD'}));
    EXPECT_EQ(Utf8ToCodePoints("\xC3"
                               "B"),
              (std::u32string{U'\uFFFD', U'B'}));
    EXPECT_EQ(Utf8ToCodePoints("\xFF"), (std::u32string{U'\uFFFD'}));
    // Typed, the replacement characters vanish and the rest arrives.
    EXPECT_EQ(TextToMachineBytes(Utf8ToCodePoints("P\xFFR\xE2\x82")), "PR");
}

TEST(HostText, BrowserTextTypesAsTheDesktopPasteDoes) {
    EXPECT_EQ(TextToMachineBytes(Utf8ToCodePoints("10 PRINT \"H\xC3\x84R\"\r\n20 END\n")),
              "10 PRINT \"H\x5BR\"\r20 END\r");
}

TEST(HostText, StatusTextsBecomeUtf8) {
    // The tape counter's activity mark (95h) is a bullet; Latin-1 letters
    // keep their code points.
    EXPECT_EQ(Windows1252ToUtf8("12\x95"), "12\xE2\x80\xA2");
    EXPECT_EQ(Windows1252ToUtf8("\xC4"
                                "B"),
              "\xC3\x84"
              "B");
    EXPECT_EQ(Windows1252ToUtf8(""), "");
}

} // namespace
