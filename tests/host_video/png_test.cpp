// The PNG writer of the screenshots and the character-set tool checked
// against Qt's decoder: every pixel comes back as written, grey or through a
// palette, whatever patterns the picture holds, and the emulated screen's
// kind of picture shrinks.
#include "codec/png.h"

#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

namespace {

struct Picture {
    const char* name;
    int width, height;
    std::function<uint8_t(int x, int y)> pixel;
};

std::vector<uint8_t> pixelsOf(const Picture& picture) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++)
            pixels.push_back(picture.pixel(x, y));
    return pixels;
}

// Characters of 6 x 10 pixels, every third one lit in a fixed shape: runs,
// repeats a line back and repeats further away, as on the emulated screen.
uint8_t textLike(int x, int y) {
    const bool cell = ((x / 6) + (y / 10) * 7) % 3 == 0;
    return cell && ((x % 6) * (y % 10)) % 4 == 1 ? 0xFF : 0x00;
}

TEST(GreyPng, DecodesToTheSamePixels) {
    uint32_t seed = 12345;
    auto noise = [&seed](int, int) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    const Picture pictures[] = {
        {"dark", 240, 240, [](int, int) { return uint8_t{0}; }},
        {"lit", 240, 240, [](int, int) { return uint8_t{0xFF}; }},
        {"noise", 240, 240, noise},
        {"grey ramp", 256, 3, [](int x, int y) { return static_cast<uint8_t>(x + y); }},
        {"text", 240, 240, textLike},
        {"wide text", 480, 240, textLike},
        {"4:3 screenshot", 960, 720, [](int x, int y) { return textLike(x / 4, y / 3); }},
        {"one pixel", 1, 1, [](int, int) { return uint8_t{0x80}; }},
        {"one line", 3, 1, [](int x, int) { return static_cast<uint8_t>(x * 100); }},
    };
    for (const Picture& picture : pictures) {
        SCOPED_TRACE(picture.name);
        const std::vector<uint8_t> pixels = pixelsOf(picture);
        const std::vector<uint8_t> png = GreyPng(pixels.data(), picture.width, picture.height);
        QImage decoded = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
        ASSERT_FALSE(decoded.isNull());
        ASSERT_EQ(decoded.size(), QSize(picture.width, picture.height));
        decoded = decoded.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < picture.height; y++)
            ASSERT_EQ(0, std::memcmp(decoded.constScanLine(y), pixels.data() + y * picture.width,
                                     static_cast<size_t>(picture.width)))
                << "line " << y;
    }
}

TEST(GreyPng, AScreenOfTextShrinks) {
    const Picture screen = {"4:3 screenshot", 960, 720,
                            [](int x, int y) { return textLike(x / 4, y / 3); }};
    const std::vector<uint8_t> pixels = pixelsOf(screen);
    const std::vector<uint8_t> png = GreyPng(pixels.data(), screen.width, screen.height);
    EXPECT_LT(png.size(), pixels.size() / 20) << png.size() << " bytes";
}

// The character-set tool's kind of picture: palette indexes come back as the
// palette's colours.
TEST(PalettePng, DecodesToThePaletteColours) {
    const std::vector<std::array<uint8_t, 3>> palette = {
        {24, 26, 34}, {0, 0, 0}, {236, 236, 214}, {82, 86, 104}, {132, 182, 250}};
    const Picture picture = {"cells", 301, 97, [](int x, int y) {
                                 return static_cast<uint8_t>(x % 25 == 0 || y % 41 == 0 ? 3
                                                             : textLike(x, y)           ? 2
                                                                              : (x + y) % 2);
                             }};
    const std::vector<uint8_t> indexes = pixelsOf(picture);
    const std::vector<uint8_t> png =
        PalettePng(indexes.data(), picture.width, picture.height, palette);
    QImage decoded = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.size(), QSize(picture.width, picture.height));
    for (int y = 0; y < picture.height; y++)
        for (int x = 0; x < picture.width; x++) {
            const auto& rgb = palette[indexes[static_cast<size_t>(y) * picture.width + x]];
            ASSERT_EQ(decoded.pixel(x, y), qRgb(rgb[0], rgb[1], rgb[2])) << x << "," << y;
        }
}

} // namespace
