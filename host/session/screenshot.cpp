// The picture as an 8-bit grey BMP or PNG file, written safely; the quick
// screenshot at 4:3.
#include "host/session/screenshot.h"

#include "codec/png.h"
#include "files/file_write.h"
#include "machine/frame.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
std::vector<uint8_t> bmpImage(const uint8_t* pixels, int width, int height) {
    std::vector<uint8_t> out;
    uint32_t imageSize = static_cast<uint32_t>(width * height);
    uint32_t offset = 14 + 40 + 1024;
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + imageSize);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(-height)); // top line first
    put16(out, 1);
    put16(out, 8);
    for (int i = 0; i < 6; i++)
        put32(out, 0); // no compression, sizes and colours 0
    for (int i = 0; i < 256; i++) {
        out.push_back(static_cast<uint8_t>(i));
        out.push_back(static_cast<uint8_t>(i));
        out.push_back(static_cast<uint8_t>(i));
        out.push_back(0);
    }
    out.insert(out.end(), pixels, pixels + imageSize);
    return out;
}

bool endsWithIgnoringCase(const std::string& text, const char* suffix) {
    size_t n = std::strlen(suffix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; i++)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i])
            return false;
    return true;
}

} // namespace

int WriteScreenshotBmp(const std::string& path, const uint8_t* frameBuffer, int pitchShift,
                       std::string* cause) {
    int width = frameWidth(pitchShift);
    std::vector<uint8_t> image = endsWithIgnoringCase(path, ".png")
                                     ? GreyPng(frameBuffer, width, VisibleLines)
                                     : bmpImage(frameBuffer, width, VisibleLines);
    return WriteWholeFile(path, image.data(), image.size(), cause);
}

SessionResult SaveSessionScreenshot(const std::string& path, const uint8_t* frameBuffer,
                                    int pitchShift) {
    std::string cause;
    if (!WriteScreenshotBmp(path, frameBuffer, pitchShift, &cause))
        return SessionResult{Outcome::Failed, "Cannot write " + path + ": " + cause + "."};
    return SessionResult{Outcome::Done, "Saved " + path + "."};
}

std::vector<uint8_t> PictureAt4To3(const uint8_t* pixels, int width, int height, int factor,
                                   int* outWidth) {
    if (factor < 1) factor = 1;
    const int outHeight = height * factor;
    *outWidth = outHeight * 4 / 3;
    std::vector<uint8_t> image(static_cast<size_t>(*outWidth) * outHeight);
    for (int y = 0; y < outHeight; y++) {
        const uint8_t* line = pixels + static_cast<size_t>(y / factor) * width;
        uint8_t* out = image.data() + static_cast<size_t>(y) * *outWidth;
        for (int x = 0; x < *outWidth; x++)
            out[x] = line[static_cast<size_t>(x) * width / *outWidth];
    }
    return image;
}

SessionResult SaveQuickScreenshot(const std::string& folder, const uint8_t* frameBuffer,
                                  int pitchShift, std::string* saved) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder))
        return SessionResult{Outcome::Failed,
                             "Cannot create the folder " + folder + " for screenshots" +
                                 (error ? ": " + FileErrorText(error.value()) : "") + "."};
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = folder + "/orvane-" + stamp;
    std::string path = base + ".png";
    for (int n = 2; std::filesystem::exists(path, error); n++)
        path = base + "-" + std::to_string(n) + ".png";
    if (saved) *saved = path;
    int width = 0;
    const std::vector<uint8_t> picture =
        PictureAt4To3(frameBuffer, frameWidth(pitchShift), VisibleLines, 3, &width);
    const std::vector<uint8_t> png = GreyPng(picture.data(), width, VisibleLines * 3);
    std::string cause;
    if (!WriteWholeFile(path, png.data(), png.size(), &cause))
        return SessionResult{Outcome::Failed,
                             "Cannot write the screenshot " + path + ": " + cause + "."};
    return SessionResult{Outcome::Done, "Screenshot saved to " + path + "."};
}
