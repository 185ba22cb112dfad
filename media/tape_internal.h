// Shared between the deck's playing and recording halves.
#pragma once

#include <cstdint>

double TapeClockHz();
void RegisterTapeSound();
void UnregisterTapeSound();
void ForgetShownCounter();
// Renders the tail of a recording and completes its header; the file stays open.
void FinishTapeRecording(uint64_t now);
// A level change of the tape signal, played or recorded, at a cycle.
void NoteTapeEdge(uint64_t cycle);
// The motor started while recording: a recording still in its temporary
// file takes the target's place.
void TapeRecordingMotorStarted();
