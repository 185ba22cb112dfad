// The SN76477 complex sound generator behind output port 6.
#pragma once

#include <cstdint>

void soundChipInit(int rate);
void soundChipWrite(uint8_t value);
