// What the page's exported functions share beyond the core: the buffer that
// hands files to the page and the page's queue of texts to type.
#pragma once

#include <cstdint>
#include <vector>

// The bytes of the last file handed to the page (orvane_output).
std::vector<uint8_t>& WebOutput();
// Drops the texts the page queued for typing (a reset, a restored state).
void WebForgetTyping();
