// The cassette deck: WAV files played as the tape input and recorded from the
// tape output, the motor relay and the tape counter.
#pragma once

#include <cstdint>
#include <string>

void OpenTapeForReading(const std::string& path);
int StartTapeRecording(const std::string& path, uint32_t sampleRate);
void CloseTape();
int TapeIsPlaying();
int SampleTapeInput(uint64_t cycle);
void SetTapeMotor(int on, uint64_t cycle);
void RenderTapeOutput(uint64_t cycle, int level);
void UpdateTapeCounter(uint64_t cycle);
