// Clipboard text to the machine's character set, the inverse of the screen's
// character-to-text conversion used for copying.
#include "host/qt/paste.h"

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

std::string ClipboardTextToMachineBytes(const QString& text) {
    const QString composed = text.normalized(QString::NormalizationForm_C);
    std::string bytes;
    bytes.reserve(static_cast<size_t>(composed.size()));
    bool afterCr = false;
    for (char32_t c : composed.toStdU32String()) {
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
