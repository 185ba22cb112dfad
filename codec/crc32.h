// CRC-32 (IEEE 802.3, as zlib and PNG compute it): ROM images, save states
// and PNG chunks are checked with it.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t crc32(const uint8_t* data, size_t size);
