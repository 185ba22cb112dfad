// Screenshots as every front end writes them: the picture at its own size,
// 8-bit grey, top line first.
#pragma once

#include <cstdint>
#include <string>

// The current picture as an 8-bit grey BMP (PNG for a name ending in .png,
// case aside), width from pitchShift, written safely (files/file_write.h): 0
// with the cause in *cause when it could not be.
int WriteScreenshotBmp(const std::string& path, const uint8_t* frameBuffer, int pitchShift,
                       std::string* cause = nullptr);
