// Draws the whole character generator as a PNG picture for the documentation:
// 16 columns by 8 rows of glyphs, scaled up, in a grid, with the low hex digit
// of the code above each column and the code of each row's first glyph on its
// left (the labels are drawn with the character set itself).
//
//   charset_png <output.png>
//
// The PNG is written by hand (8-bit palette, one deflate block with fixed
// Huffman codes and repeats of the previous pixel or the row above) so that
// the tool needs nothing beyond the standard library.
#include "data/chargen.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kGlyphWidth = 6;
constexpr int kGlyphHeight = 10;
constexpr int kScale = 4;
constexpr int kLabelScale = 2;
constexpr int kColumns = 16;
constexpr int kRows = 8;
constexpr int kCellWidth = kGlyphWidth * kScale;
constexpr int kCellHeight = kGlyphHeight * kScale;
constexpr int kLeftMargin = 2 * kGlyphWidth * kLabelScale + 10;
constexpr int kTopMargin = kGlyphHeight * kLabelScale + 6;
constexpr int kImageWidth = kLeftMargin + kColumns * (kCellWidth + 1) + 1 + 6;
constexpr int kImageHeight = kTopMargin + kRows * (kCellHeight + 1) + 1 + 6;

enum Colour : uint8_t { kBackground, kCellDark, kCellLit, kGridLine, kLabel };
constexpr uint8_t kPalette[][3] = {
    {24, 26, 34},    // background
    {0, 0, 0},       // dark pixel of a glyph
    {236, 236, 214}, // lit pixel of a glyph
    {82, 86, 104},   // grid
    {132, 182, 250}, // labels
};

using Image = std::vector<uint8_t>;

void drawGlyph(Image& image, int code, int left, int top, int scale, uint8_t lit, bool paintDark) {
    for (int y = 0; y < kGlyphHeight * scale; ++y) {
        uint8_t bits = CharacterGenerator[code * kGlyphHeight + y / scale];
        for (int x = 0; x < kGlyphWidth * scale; ++x) {
            bool on = bits & (0x40 >> (x / scale));
            if (on || paintDark)
                image[(top + y) * kImageWidth + left + x] = on ? lit : uint8_t(kCellDark);
        }
    }
}

Image drawCharset() {
    Image image(kImageWidth * kImageHeight, kBackground);
    const char* hex = "0123456789ABCDEF";
    int gridLeft = kLeftMargin;
    int gridTop = kTopMargin;
    int gridRight = gridLeft + kColumns * (kCellWidth + 1);
    int gridBottom = gridTop + kRows * (kCellHeight + 1);
    for (int y = gridTop; y <= gridBottom; ++y)
        for (int x = gridLeft; x <= gridRight; ++x) {
            bool onLine =
                (x - gridLeft) % (kCellWidth + 1) == 0 || (y - gridTop) % (kCellHeight + 1) == 0;
            image[y * kImageWidth + x] = onLine ? kGridLine : kCellDark;
        }
    int labelWidth = kGlyphWidth * kLabelScale;
    for (int column = 0; column < kColumns; ++column) {
        int left =
            gridLeft + 1 + column * (kCellWidth + 1) + (kCellWidth - labelWidth) / 2 + kLabelScale;
        drawGlyph(image, hex[column], left, 2, kLabelScale, kLabel, false);
    }
    for (int row = 0; row < kRows; ++row) {
        int top = gridTop + 1 + row * (kCellHeight + 1) +
                  (kCellHeight - kGlyphHeight * kLabelScale) / 2 + kLabelScale;
        drawGlyph(image, hex[row], 4, top, kLabelScale, kLabel, false);
        drawGlyph(image, '0', 4 + labelWidth, top, kLabelScale, kLabel, false);
    }
    for (int code = 0; code < kColumns * kRows; ++code) {
        int left = gridLeft + 1 + code % kColumns * (kCellWidth + 1);
        int top = gridTop + 1 + code / kColumns * (kCellHeight + 1);
        drawGlyph(image, code, left, top, kScale, kCellLit, true);
    }
    return image;
}

// --- deflate with the fixed Huffman codes -----------------------------------

struct BitWriter {
    std::vector<uint8_t> bytes;
    uint32_t pending = 0;
    int pendingBits = 0;

    void put(uint32_t value, int count) { // least significant bit first
        for (int i = 0; i < count; ++i) {
            pending |= ((value >> i) & 1u) << pendingBits;
            if (++pendingBits == 8) flush();
        }
    }
    void putHuffman(uint32_t code, int length) { // most significant bit first
        for (int i = length - 1; i >= 0; --i)
            put((code >> i) & 1u, 1);
    }
    void flush() {
        if (pendingBits == 0) return;
        bytes.push_back(uint8_t(pending));
        pending = 0;
        pendingBits = 0;
    }
};

constexpr uint16_t kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                      6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void putSymbol(BitWriter& out, int symbol) {
    if (symbol < 144)
        out.putHuffman(0x30 + symbol, 8);
    else if (symbol < 256)
        out.putHuffman(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        out.putHuffman(symbol - 256, 7);
    else
        out.putHuffman(0xC0 + symbol - 280, 8);
}

void putMatch(BitWriter& out, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length)
        --l;
    putSymbol(out, 257 + l);
    out.put(length - kLengthBase[l], kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance)
        --d;
    out.putHuffman(d, 5);
    out.put(distance - kDistanceBase[d], kDistanceExtra[d]);
}

std::vector<uint8_t> deflateFixed(const std::vector<uint8_t>& data, int rowStride) {
    BitWriter out;
    out.put(1, 1); // last block
    out.put(1, 2); // fixed Huffman codes
    const int distances[] = {1, rowStride};
    size_t i = 0;
    while (i < data.size()) {
        int bestLength = 0, bestDistance = 0;
        for (int distance : distances) {
            if (size_t(distance) > i) continue;
            int length = 0;
            while (length < 258 && i + length < data.size() &&
                   data[i + length] == data[i + length - distance])
                ++length;
            if (length > bestLength) bestLength = length, bestDistance = distance;
        }
        if (bestLength >= 3) {
            putMatch(out, bestLength, bestDistance);
            i += bestLength;
        } else {
            putSymbol(out, data[i++]);
        }
    }
    putSymbol(out, 256);
    out.flush();
    return out.bytes;
}

// --- PNG container ------------------------------------------------------------

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

void putChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& body) {
    putBigEndian(png, uint32_t(body.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), body.begin(), body.end());
    putBigEndian(png, crc32(png.data() + start, png.size() - start));
}

std::vector<uint8_t> encodePng(const Image& image) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBigEndian(header, kImageWidth);
    putBigEndian(header, kImageHeight);
    header.insert(header.end(), {8, 3, 0, 0, 0}); // 8-bit palette, no interlace
    putChunk(png, "IHDR", header);
    std::vector<uint8_t> palette;
    for (const auto& rgb : kPalette)
        palette.insert(palette.end(), rgb, rgb + 3);
    putChunk(png, "PLTE", palette);
    std::vector<uint8_t> raw;
    for (int y = 0; y < kImageHeight; ++y) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), image.begin() + y * kImageWidth,
                   image.begin() + (y + 1) * kImageWidth);
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    std::vector<uint8_t> deflated = deflateFixed(raw, kImageWidth + 1);
    zlib.insert(zlib.end(), deflated.begin(), deflated.end());
    putBigEndian(zlib, adler32(raw));
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", {});
    return png;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> png = encodePng(drawCharset());
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    written = std::fclose(file) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(stderr, "%s written (%zu bytes)\n", argv[1], png.size());
    return 0;
}
