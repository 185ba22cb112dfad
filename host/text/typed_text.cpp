// Host text to the machine's character set, the inverse of the screen's
// character-to-text conversion used for copying.
#include "host/text/typed_text.h"

#include <cstdio>
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

std::string TextToMachineBytes(const std::u32string& text, DroppedCharacters* dropped) {
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
        if (code > 0) {
            bytes += static_cast<char>(code);
        } else if (dropped) {
            dropped->count++;
            if (dropped->distinct.find(c) == std::u32string::npos) dropped->distinct += c;
        }
    }
    return bytes;
}

std::string DroppedCharactersNote(const DroppedCharacters& dropped) {
    if (dropped.count == 0) return {};
    // The characters as the user pasted them, at most a dozen of them;
    // control characters are named by their code, as they show nothing.
    std::string shown;
    size_t listed = 0;
    for (char32_t c : dropped.distinct) {
        if (listed++ == 12) {
            shown += "...";
            break;
        }
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            shown += listed > 1 ? " " : "";
            shown += code;
            continue;
        }
        shown += CodePointToUtf8(c);
    }
    const size_t n = dropped.count;
    return "The ABC80 cannot show \"" + shown + "\"; " + std::to_string(n) +
           (n == 1 ? " pasted character was" : " pasted characters were") + " dropped.";
}

std::string CodePointToUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
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
