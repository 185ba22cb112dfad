// Sound recording: the submitted output blocks appended to a PCM WAV file
// (mono, 48,000 Hz, 16-bit). The two size fields of the header are written
// when the recording is stopped. The public operations are in mixer.h.
#pragma once

#include <cstdint>

int SoundRecordingOpen();
// Appends one block; counts its bytes only if the write succeeded, and ends
// the recording at the first failure.
void AppendSoundRecording(const int16_t* block, uint32_t byteCount);

// The mixer's side of a recording's edges, so that it holds exactly the
// samples between its start and its stop: at the start the stream is brought
// up to the processor's cycle count and a new block begins (the part block
// mixed before is not recorded); at the stop the stream is brought up to the
// count again and the part block is appended.
void StartRecordedStream();
void EndRecordedStream();
