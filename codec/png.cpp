// PNG files and the deflate behind them.
#include "codec/png.h"

#include "codec/crc32.h"

#include <algorithm>
#include <array>

namespace {

struct BitWriter {
    std::vector<uint8_t>& out;
    uint32_t bits = 0;
    int count = 0;

    // value's low `length` bits, lowest first (extra bits, headers).
    void put(uint32_t value, int length) {
        for (int i = 0; i < length; i++) {
            bits |= ((value >> i) & 1u) << count;
            if (++count == 8) flush();
        }
    }
    // A Huffman code goes most significant bit first.
    void putCode(uint32_t code, int length) {
        for (int i = length - 1; i >= 0; i--)
            put((code >> i) & 1u, 1);
    }
    void flush() {
        if (count == 0) return;
        out.push_back(static_cast<uint8_t>(bits));
        bits = 0;
        count = 0;
    }
};

void putSymbol(BitWriter& w, int symbol) {
    if (symbol < 144)
        w.putCode(0x30 + symbol, 8);
    else if (symbol < 256)
        w.putCode(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.putCode(symbol - 256, 7);
    else
        w.putCode(0xC0 + symbol - 280, 8);
}

constexpr std::array<int, 29> LengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                            15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                            67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> LengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                             2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> DistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> DistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                               6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void putMatch(BitWriter& w, int length, int distance) {
    int code = static_cast<int>(LengthBase.size()) - 1;
    while (LengthBase[code] > length)
        code--;
    putSymbol(w, 257 + code);
    w.put(length - LengthBase[code], LengthExtra[code]);
    int d = static_cast<int>(DistanceBase.size()) - 1;
    while (DistanceBase[d] > distance)
        d--;
    w.putCode(d, 5);
    w.put(distance - DistanceBase[d], DistanceExtra[d]);
}

constexpr int MinMatch = 3, MaxMatch = 258, Window = 32768;

int matchLength(const std::vector<uint8_t>& data, size_t at, size_t from) {
    const size_t limit = std::min<size_t>(MaxMatch, data.size() - at);
    size_t n = 0;
    while (n < limit && data[from + n] == data[at + n])
        n++;
    return static_cast<int>(n);
}

} // namespace

std::vector<uint8_t> ZlibStream(const std::vector<uint8_t>& data, size_t lineBytes) {
    std::vector<uint8_t> out = {0x78, 0x01};
    BitWriter w{out};
    w.put(1, 1); // the last block
    w.put(1, 2); // fixed codes
    constexpr size_t HashSize = 1 << 15;
    std::vector<int64_t> lastAt(HashSize, -1);
    auto hashAt = [&](size_t i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (HashSize - 1);
    };
    auto remember = [&](size_t i) {
        if (i + MinMatch <= data.size()) lastAt[hashAt(i)] = static_cast<int64_t>(i);
    };
    for (size_t i = 0; i < data.size();) {
        int bestLength = 0, bestDistance = 0;
        if (i + MinMatch <= data.size()) {
            const int64_t candidates[3] = {lastAt[hashAt(i)], static_cast<int64_t>(i) - 1,
                                           static_cast<int64_t>(i) -
                                               static_cast<int64_t>(lineBytes)};
            for (int64_t from : candidates) {
                if (from < 0 || static_cast<size_t>(from) >= i || i - from > Window) continue;
                const int length = matchLength(data, i, static_cast<size_t>(from));
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = static_cast<int>(i - from);
                }
            }
        }
        if (bestLength >= MinMatch) {
            putMatch(w, bestLength, bestDistance);
            for (int k = 0; k < bestLength; k++)
                remember(i + k);
            i += bestLength;
        } else {
            putSymbol(w, data[i]);
            remember(i);
            i++;
        }
    }
    putSymbol(w, 256);
    w.flush();
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(((b << 16) | a) >> shift));
    return out;
}

namespace {

void put32be(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((v >> shift) & 0xFF);
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32be(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    put32be(out, crc32(typed.data(), typed.size()));
}

// Colour type 0 (grey) or 3 (palette): 8 bits a pixel, lines unfiltered.
std::vector<uint8_t> png(const uint8_t* pixels, int width, int height, uint8_t colourType,
                         const std::vector<std::array<uint8_t, 3>>& palette) {
    const size_t lineBytes = static_cast<size_t>(width) + 1;
    std::vector<uint8_t> raw;
    raw.reserve(lineBytes * static_cast<size_t>(height));
    for (int y = 0; y < height; y++) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), pixels + static_cast<size_t>(y) * width,
                   pixels + static_cast<size_t>(y + 1) * width);
    }
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    put32be(header, static_cast<uint32_t>(width));
    put32be(header, static_cast<uint32_t>(height));
    // 8 bits, the colour type, deflate, no filter, no interlace
    header.insert(header.end(), {8, colourType, 0, 0, 0});
    chunk(out, "IHDR", header);
    if (colourType == 3) {
        std::vector<uint8_t> colours;
        for (const auto& rgb : palette)
            colours.insert(colours.end(), rgb.begin(), rgb.end());
        chunk(out, "PLTE", colours);
    }
    chunk(out, "IDAT", ZlibStream(raw, lineBytes));
    chunk(out, "IEND", {});
    return out;
}

} // namespace

std::vector<uint8_t> GreyPng(const uint8_t* pixels, int width, int height) {
    return png(pixels, width, height, 0, {});
}

std::vector<uint8_t> PalettePng(const uint8_t* indexes, int width, int height,
                                const std::vector<std::array<uint8_t, 3>>& palette) {
    return png(indexes, width, height, 3, palette);
}
