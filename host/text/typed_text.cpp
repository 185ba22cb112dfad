// Host text to the machine's character set, the inverse of the screen's
// character-to-text conversion used for copying.
#include "host/text/typed_text.h"

#include <utility>

namespace {

// The machine codes whose glyphs are Swedish letters, by Unicode character.
constexpr std::pair<char32_t, char> SwedishLetters[] = {
    {U'É', 0x40}, {U'Ä', 0x5B}, {U'Ö', 0x5C}, {U'Å', 0x5D}, {U'Ü', 0x5E},
    {U'é', 0x60}, {U'ä', 0x7B}, {U'ö', 0x7C}, {U'å', 0x7D}, {U'ü', 0x7E},
};

bool CodeShowsSwedishLetter(char32_t code) {
    for (auto [letter, machineCode] : SwedishLetters)
        if (static_cast<char32_t>(machineCode) == code) return true;
    return false;
}

} // namespace

int MachineCodeOfCharacter(char32_t character) {
    for (auto [letter, machineCode] : SwedishLetters)
        if (letter == character) return machineCode;
    if (character == U'\t') return ' ';
    if (character < 0x20 || character > 0x7E) return -1;
    // The ASCII signs @ [ \ ] ^ ` { | } ~ have no glyph of their own.
    if (CodeShowsSwedishLetter(character)) return -1;
    return static_cast<int>(character);
}

std::string TextToMachineBytes(const std::u32string& text) {
    std::string bytes;
    bytes.reserve(text.size());
    bool afterCr = false;
    for (char32_t c : text) {
        if (c == U'\r') {
            bytes += '\r';
            afterCr = true;
            continue;
        }
        const bool lfOfCrlf = c == U'\n' && afterCr;
        afterCr = false;
        if (lfOfCrlf) continue;
        if (c == U'\n' || c == 0x2028 || c == 0x2029) {
            bytes += '\r';
            continue;
        }
        int code = MachineCodeOfCharacter(c);
        if (code > 0) bytes += static_cast<char>(code);
    }
    return bytes;
}

std::u32string Utf8ToCodePoints(const std::string& text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        if (extra < 0 || i + extra >= text.size()) {
            out += U'\uFFFD';
            i++;
            continue;
        }
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; k++) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (!ok) {
            out += U'\uFFFD';
            i++;
            continue;
        }
        out += c;
        i += extra + 1;
    }
    return out;
}
