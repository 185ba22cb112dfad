// The cassette deck: WAV files played as the tape input and recorded from the
// tape output, the motor relay and the tape counter.
//
// Driven by the machine: the frame driver samples the input after every step
// while TapeIsPlaying and updates the counter at the end of every frame; a
// write of port 3Ah switches the motor, ends a recording when the motor
// stops and renders the output level held since the previous write. The host
// opens and closes the tape files. Time is the processor's cycle counter.
//
// The counter (status field 2) shows the seconds as "%04u %c" with the
// activity mark, then the position as mm:ss of the tape's length ("REC
// mm:ss" while recording) and the name of the program whose blocks pass the
// head. Every block that passes is also reported on TapeBlockField.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "files/wav_writer.h"
#include "media/tape_blocks.h"
#include "media/tape_level.h"
#include "media/wav_layout.h"

struct TapeDeck {
    std::FILE* file = nullptr;
    std::string path; // of the open file
    int reading = 1;  // 1: playing (or closed since start); 0: recording, or closed after a tape
    int motorOn = 0;  // relay as last set by the machine
    uint8_t header[WavHeaderSize] = {};
    uint32_t headerEnd = WavHeaderSize;
    uint64_t position = WavHeaderSize; // samples taken, counted from 44
    uint32_t bitsLeft = 0;             // 1-bit files: bits still in currentByte
    uint8_t currentByte = 0;
    int inputLevel = 0;
    int outputFlag = 0; // 2 while the last rendered output level was set
    uint64_t startCycle = 0;
    uint64_t pausedCycles = 0;
    uint64_t motorOffCycle = 0;
    uint64_t renderedCycle = 0;
    double ratio = 0; // playing: sample rate / clock
    uint64_t sampleAccumulator = 0;
    double lowPass = 0, dcTrack = 0; // recording filter, kept from one recording to the next
    WavLayout layout;                // playing: where and how the samples lie
    TapeLevelTracker level;          // playing: samples to input level
    uint64_t samplesWritten = 0;     // recording
    TapeBlockWatch blocks;           // the blocks passing the head, and their program
    WavWriter writer;                // recording: checked writes to file
    std::string recordingFailure;    // why the last recording stopped early; "" if it did not
    // Recording: until the motor first runs, the samples go to a temporary
    // file beside the target (`temporaryPath`), which replaces `target` only
    // then; a recording the motor never ran leaves the target as it was.
    std::string target, temporaryPath;
};

extern TapeDeck tapeDeck;

// 1 when the file is the tape to play; 0 with the cause in MediaError when it
// can't be opened, and the tape in the deck stays as it was.
int OpenTapeForReading(const std::string& path);
// 0 with the cause in MediaError when the file can't be created, or when it
// is the tape being played (the same file under any name): that tape then
// plays on untouched.
int StartTapeRecording(const std::string& path, uint32_t sampleRate);
// A recording whose file failed (a full disk) stops at once: the samples
// written so far stay, described by the header, the deck closes, and the
// cause goes to stderr and the status bar's message field. The text, such
// as "cannot write out.wav: no space left on device", stays here until the
// next recording starts.
const std::string& TapeRecordingFailure();
// 1 when path names the file open in the deck (played or recorded).
int TapeDeckHolds(const std::string& path);
void CloseTape();
int TapeIsPlaying();
// A tape is open to play (the deck is not recording and holds a file).
int TapeInserted();
// The motor runs with a tape in the deck, playing or recording: the tape moves.
int TapeMotorRunning();
// While the tape plays with the motor running: a cycle no later than the one
// at which SampleTapeInput takes its next sample (the input level cannot
// change before it). UINT64_MAX when no sample will come.
uint64_t TapeNextSampleCycle();
int SampleTapeInput(uint64_t cycle);
void SetTapeMotor(int on, uint64_t cycle);
void RenderTapeOutput(uint64_t cycle, int level);
void UpdateTapeCounter(uint64_t cycle);
// Back to the start of the tape being played (nothing happens while recording
// or with no tape); 1 when rewound.
int RewindTape();
// The played tape's length in seconds (0 while recording or with no tape).
uint64_t TapeLengthSeconds();

// The file offset of the next sample byte of a played tape, and a move of it
// (for save states; the deck's other fields say where the tape is).
uint64_t TapeReadOffset();
void SeekTapeRead(uint64_t offset);

// The "&Tape sound" flag: the "TapeSound" source is silent while it is off.
void SetTapeSound(int on);
int TapeSoundEnabled();
