// 8-bit grey PNG images, compressed: the emulated picture is mostly dark
// runs and repeated lines, which a plain deflate with fixed codes and
// matches one byte or one line back shrinks to a few per cent.
#pragma once

#include <cstdint>
#include <vector>

// The whole PNG file for width x height pixels, top line first.
std::vector<uint8_t> GreyPng(const uint8_t* pixels, int width, int height);
