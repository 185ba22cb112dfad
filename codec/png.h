// 8-bit PNG pictures, grey or with a palette, compressed by a small deflate
// of our own: one block of fixed codes, greedy matches found one byte back,
// one line back and where the next three bytes last occurred. Pictures of
// this machine are mostly dark runs and repeated lines, which it shrinks to a
// few per cent.
//
//   std::vector<uint8_t> file = GreyPng(pixels, width, height);
//   std::vector<uint8_t> file = PalettePng(indexes, width, height, {{0, 0, 0}, {255, 255, 255}});
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The whole PNG file for width x height pixels, top line first.
std::vector<uint8_t> GreyPng(const uint8_t* pixels, int width, int height);

// The same for palette indexes, with the palette's colours (at most 256).
std::vector<uint8_t> PalettePng(const uint8_t* indexes, int width, int height,
                                const std::vector<std::array<uint8_t, 3>>& palette);

// A zlib stream (deflate with fixed codes, then the Adler-32) of data whose
// lines are lineBytes long.
std::vector<uint8_t> ZlibStream(const std::vector<uint8_t>& data, size_t lineBytes);
