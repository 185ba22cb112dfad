// Screenshots as every front end writes them: the picture at its own size,
// 8-bit grey, top line first; and the quick screenshot, shaped 4:3 as the
// monitor showed it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/session/session.h"

// The current picture as an 8-bit grey BMP (PNG for a name ending in .png,
// case aside), width from pitchShift, written safely (files/file_write.h): 0
// with the cause in *cause when it could not be.
int WriteScreenshotBmp(const std::string& path, const uint8_t* frameBuffer, int pitchShift,
                       std::string* cause = nullptr);

// Save screenshot as: WriteScreenshotBmp with its message.
SessionResult SaveSessionScreenshot(const std::string& path, const uint8_t* frameBuffer,
                                    int pitchShift);

// The picture stretched to 4:3, factor times its height, each output pixel
// taken from the nearest source pixel; *outWidth receives the width.
std::vector<uint8_t> PictureAt4To3(const uint8_t* pixels, int width, int height, int factor,
                                   int* outWidth);

// A PNG of the picture at 4:3, three times its height, in folder (made when
// missing) under a name from the local time, "orvane-20261208-142530.png"
// ("-2", "-3"... added when taken within one second).
SessionResult SaveQuickScreenshot(const std::string& folder, const uint8_t* frameBuffer,
                                  int pitchShift, std::string* saved = nullptr);
