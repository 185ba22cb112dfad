// Stand-in until the sound chip is built.
#include "machine/sound_chip.h"

void soundChipInit(int) {}
void soundChipWrite(uint8_t) {}
