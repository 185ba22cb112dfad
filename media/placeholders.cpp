// Stand-ins until the cassette and disk card are built; each is replaced by
// the real operation in its own file.
#include "media/disk_card.h"
#include "media/tape_deck.h"

void OpenTapeForReading(const std::string&) {}
int StartTapeRecording(const std::string&, uint32_t) { return 0; }
void CloseTape() {}
int TapeIsPlaying() { return 1; }
int SampleTapeInput(uint64_t) { return 0; }
void SetTapeMotor(int, uint64_t) {}
void RenderTapeOutput(uint64_t, int) {}
void UpdateTapeCounter(uint64_t) {}

uint8_t ReadDiskCardPort(int, int) { return 0; }
void WriteDiskCardPort(int, int, uint8_t) {}
void ResetDiskCards() {}
int AttachDiskImage(unsigned, const std::string&) { return 0; }
void DetachDrive(unsigned) {}
