// What the page's exported functions share beyond the core: the buffer that
// hands files to the page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The bytes of the last file handed to the page (orvane_output).
std::vector<uint8_t>& WebOutput();
// A message with the module's own folders taken out, so that a file is named
// as the user named it ("/disks/DR0-GAME.DSK" is "GAME.DSK").
std::string WebUserWords(std::string text);
