// The picture as an 8-bit grey BMP or PNG file, written safely.
#include "host/session/screenshot.h"

#include "files/file_write.h"
#include "machine/frame.h"
#include "machine/roms.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void put32be(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((v >> shift) & 0xFF);
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

void pngChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32be(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    put32be(out, crc32(typed.data(), typed.size()));
}

// An 8-bit grey PNG, its image data in stored (uncompressed) deflate blocks.
std::vector<uint8_t> pngImage(const uint8_t* pixels, int width, int height) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; y++) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), pixels + y * width, pixels + (y + 1) * width);
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t pos = 0; pos < raw.size();) {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        z.push_back(pos + n == raw.size() ? 1 : 0);
        put16(z, static_cast<uint32_t>(n));
        put16(z, static_cast<uint32_t>(~n & 0xFFFF));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32be(z, (b << 16) | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    put32be(header, static_cast<uint32_t>(width));
    put32be(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 0, 0, 0, 0}); // 8 bits, grey, deflate, no filter, no interlace
    pngChunk(out, "IHDR", header);
    pngChunk(out, "IDAT", z);
    pngChunk(out, "IEND", {});
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
                                     ? pngImage(frameBuffer, width, VisibleLines)
                                     : bmpImage(frameBuffer, width, VisibleLines);
    return WriteWholeFile(path, image.data(), image.size(), cause);
}
