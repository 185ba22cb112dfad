// What the page's exported functions share beyond the core: the buffer that
// hands files to the page.
#pragma once

#include <cstdint>
#include <vector>

// The bytes of the last file handed to the page (orvane_output).
std::vector<uint8_t>& WebOutput();
