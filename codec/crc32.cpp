// CRC-32 eight bytes at a time ("slicing by 8"): table k holds the CRC of a
// byte followed by k zero bytes, so eight table look-ups fold in eight bytes.
// The tables are made on first use rather than stored in the program.
#include "codec/crc32.h"

#include <array>

namespace {

using Tables = std::array<std::array<uint32_t, 256>, 8>;

Tables makeTables() {
    Tables t{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; i++)
        for (size_t k = 1; k < 8; k++)
            t[k][i] = t[0][t[k - 1][i] & 0xFF] ^ (t[k - 1][i] >> 8);
    return t;
}

const Tables& tables() {
    static const Tables t = makeTables();
    return t;
}

uint32_t littleEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

uint32_t crc32(const uint8_t* data, size_t size) {
    const Tables& t = tables();
    uint32_t crc = 0xFFFFFFFFu;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        const uint32_t low = littleEndian32(data + i) ^ crc;
        const uint32_t high = littleEndian32(data + i + 4);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^
              t[4][low >> 24] ^ t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^
              t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; i < size; i++)
        crc = t[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
