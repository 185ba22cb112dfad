// Checked writing of a WAV recording (a cassette recording or the sound
// output): the 44-byte header, then samples appended through a buffer of our
// own straight to the file descriptor, so that the bytes in the file are
// always known.
//
// The first failed write (a full disk, a file size limit) stops the writer:
// nothing more is written, and finishing makes the header's two size fields
// describe the whole samples that did reach the file. Nothing is allocated
// per sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct WavWriter {
    int fd = -1;             // not owned: the caller opened it and closes it
    uint32_t blockAlign = 1; // bytes per sample frame
    uint32_t used = 0;       // bytes waiting in buffer
    uint64_t fileBytes = 0;  // bytes that reached the file, the header included
    int error = 0;           // errno of the first failure; 0 while all went well
    uint8_t buffer[16384];
};

// Writes the header (the caller keeps it, both sizes 0). 0 on failure.
int StartWavWriter(WavWriter& w, int fd, const uint8_t* header, uint32_t blockAlign);
// Appends sample bytes; 0 once the writer has failed.
int WriteWavBytes(WavWriter& w, const void* bytes, size_t n);
inline int WriteWavByte(WavWriter& w, uint8_t byte) {
    if (w.used < sizeof w.buffer && !w.error) {
        w.buffer[w.used++] = byte;
        return 1;
    }
    return WriteWavBytes(w, &byte, 1);
}
// Sample bytes in the file and in the buffer (what a complete file will hold).
uint64_t WavSampleBytes(const WavWriter& w);
// Writes what is buffered, cuts a partial sample frame left by a failure,
// fills in the size fields and syncs the file. 0 when the recording failed
// at any point (error says why); the file is consistent either way.
int FinishWavWriter(WavWriter& w);
