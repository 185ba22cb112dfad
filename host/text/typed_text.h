// Host text to the bytes the machine types. Host text is Unicode with LF (or
// CRLF) line ends, while the machine reads 7-bit codes in which 40h, 5Bh-5Eh,
// 60h and 7Bh-7Eh are the Swedish letters É Ä Ö Å Ü é ä ö å ü and a line ends
// with CR (the Return key). The conversion is the inverse of screenCharToText:
// each character becomes the code whose screen glyph it is, every line end
// becomes one CR, a tab becomes a space, and a character the machine cannot
// show (the ASCII signs whose codes carry the Swedish letters, other accented
// letters, control characters) is dropped, so the typed text never contains a
// NUL or a stray code. Callers compose the text (NFC) first.
#pragma once

#include <cstddef>
#include <string>

// The machine code of one Unicode character, or -1 when it has none (a line
// end is not handled here).
int MachineCodeOfCharacter(char32_t character);

// The characters of a text the machine cannot show: how many, and each
// once, in the order met.
struct DroppedCharacters {
    size_t count = 0;
    std::u32string distinct;
};

// A whole text as the bytes for typeText; the characters left out are
// counted in dropped when it is given.
std::string TextToMachineBytes(const std::u32string& text, DroppedCharacters* dropped = nullptr);

// The note for the user about pasted characters that were left out (UTF-8);
// empty when none was.
std::string DroppedCharactersNote(const DroppedCharacters& dropped);

// One code point as UTF-8.
std::string CodePointToUtf8(char32_t c);

// UTF-8 to code points; a malformed sequence becomes U+FFFD (which has no
// machine code, so it is dropped when typed).
std::u32string Utf8ToCodePoints(const std::string& text);
