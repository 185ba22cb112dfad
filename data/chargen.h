// The character generator: 128 glyphs of 6 by 10 pixels, our own design in
// the style of the ABC80. Glyph c is bytes c*10 .. c*10+9, one byte per pixel
// row, top row first; bit 6 is the leftmost of the six pixel columns and bit 1
// the rightmost (bits 7 and 0 are never shown).
#pragma once

#include <cstdint>

extern const uint8_t CharacterGenerator[128 * 10];
