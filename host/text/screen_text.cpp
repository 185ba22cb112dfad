// The text rows of video memory through the keyboard's screen-to-text
// conversion, as UTF-8.
#include "host/text/screen_text.h"

#include <cstdint>

#include "machine/keyboard.h"
#include "machine/memory.h"

namespace {

void appendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The Unicode code point of a Windows-1252 character (what screenCharToText
// gives). The solid block (7Fh) has no character there and is shown as one.
uint32_t windows1252ToUnicode(uint8_t c) {
    static const uint16_t upper[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    if (c == 0x7F) return 0x2588;
    if (c >= 0x80 && c < 0xA0) return upper[c - 0x80];
    return c;
}

} // namespace

std::string ScreenText() {
    const uint8_t* base = videoMemory();
    const int columns = videoColumns();
    std::string out;
    for (int row = 0; row < VideoRows; row++) {
        const uint8_t* text = videoRow(base, row);
        for (int x = 0; x < columns; x++) {
            uint8_t c = screenCharToText(text[x]);
            appendUtf8(out, windows1252ToUnicode(c));
        }
        out += '\n';
    }
    return out;
}

std::string Windows1252ToUtf8(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p)
        appendUtf8(out, windows1252ToUnicode(static_cast<uint8_t>(*p)));
    return out;
}
