// The sound mixer: a list of named sample sources, brought up to the
// processor's cycle counter in blocks of 960 samples at 48,000 per second and
// handed to the current SoundDriver and to an open sound recording.
// Platform-free: the drivers that reach a sound device live beside it
// (host/sound/drivers.h).
//
// Output format: PCM, mono, 48,000 samples per second, signed 16-bit little
// endian. The driver presents a ring of 96,000 bytes (one second, 50 blocks);
// the mixer writes block after block into it and measures the queue from the
// driver's Position, keeping it at 4 to 7 blocks by dropping or adding whole
// blocks (never while a recording is open, so the file keeps emulated time).
#pragma once

#include <cstdint>
#include <string>

struct SoundSource {
    const char* name;
    SoundSource* next;
    void (*generate)(int16_t* buffer, int count);
    void (*reset)();
    void (*setRate)(int rate); // not called by the mixer
};

constexpr int SoundSampleRate = 48000;
constexpr int SoundBlockSamples = 960;
constexpr uint32_t SoundBlockBytes = 1920;
constexpr uint32_t SoundRingBytes = 96000;
constexpr uint32_t SoundPositionUnknown = 0xFFFFFFFFu;

// One output back end. The ring is virtual: Write places a block at a ring
// position, Position tells where the device is playing (the queue is the
// distance from there to the mixer's write position).
struct SoundDriver {
    const char* name;
    int (*Open)(int sampleRate); // 1 on success
    void (*Close)();             // harmless when not open
    void (*Write)(const int16_t* block, uint32_t ringPosition, uint32_t byteCount);
    void (*Reset)();
    void (*Pause)();
    void (*Resume)();
    uint32_t (*Position)(); // 0..95,999, or SoundPositionUnknown
};

// "No sound": never opened, writes nothing, always at position 0.
extern const SoundDriver NoSoundDriver;

// Sources, in registration order.
void AddSoundSource(SoundSource* source);
void RemoveSoundSource(SoundSource* source);

void InitSoundSystem();
void ShutdownSoundSystem();

// Makes driver current, closing the previous one if it differs. Installing
// "No sound" always closes the current driver first.
void InstallSoundDriver(const SoundDriver* driver);
const SoundDriver* CurrentSoundDriver();

// Brings the sample stream up to a processor cycle count. The sources (the
// sound chip) advance by every sample owed, whether or not the rate control
// lets it reach the driver, so they keep emulated time.
void MixUpTo(uint64_t cycles);
// The processor was restored (a save state) with its sources: the stream
// counts on from the processor's cycle count without generating the gap.
void FollowRestoredProcessor();

// The rate control: 0 drop, 1 normal, 2 add a block. Run at every finished
// block and whenever the last decision was to drop.
int Sync();
// Fills n samples (n <= 960) from all sources, summed with saturation.
void Mix(int16_t* buffer, int n);
// Hands a full block to the driver and the recording.
void Submit(const int16_t* block);

void PauseSound();
void ResumeSound();
void ResetSoundOutput();

// While muted the driver is given silence; the stream, its timing and an open
// recording go on unchanged (fast tape mutes the output while the machine
// runs faster than real time).
void SetSoundMuted(int on);
int SoundMuted();

// 0 with the cause in SoundRecordingFailure when the file can't be created.
// The callers refuse a file that is also an input (the tape in the deck).
int StartSoundRecording(const char* path);
void StopSoundRecording();
// 1 while a recording is open, with the sample bytes written so far.
int SoundRecordingBytes(uint64_t* bytes);
// Why the last recording could not start or ended early ("cannot write
// x.wav: no space left on device"), or "" when it did not; kept until the
// next recording starts. An early end is also reported on stderr; the front
// ends show the text.
const std::string& SoundRecordingFailure();

// The setting "SoundDriver": 0 no sound, 1 SDL2 audio (default), 2 ALSA.
extern uint32_t SoundDriverSetting;

// Inspection for the status bar and tests.
uint32_t SoundWritePosition();
uint32_t SoundSamplesProduced();
