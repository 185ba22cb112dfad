// Draws the whole character generator as a PNG picture for the documentation:
// 16 columns by 8 rows of glyphs, scaled up, in a grid, with the low hex digit
// of the code above each column and the code of each row's first glyph on its
// left (the labels are drawn with the character set itself).
//
//   charset_png <output.png>
//
// The PNG (8-bit palette) comes from the program's own encoder (codec/png.h),
// which needs nothing beyond the standard library.
#include "codec/png.h"
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

std::vector<uint8_t> encodePng(const Image& image) {
    std::vector<std::array<uint8_t, 3>> palette;
    for (const auto& rgb : kPalette)
        palette.push_back({rgb[0], rgb[1], rgb[2]});
    return PalettePng(image.data(), kImageWidth, kImageHeight, palette);
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
