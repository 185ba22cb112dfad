// WAV recording of the mixer's output blocks. Every write is checked: the
// first failure (a full disk, a file size limit) ends the recording, keeps
// the blocks that reached the file with a header that describes them, and
// reports the cause.
#include "sound/recording.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_write.h"
#include "files/wav_writer.h"
#include "sound/mixer.h"

namespace {

constexpr uint32_t HeaderBytes = 44;

int fd = -1;
WavWriter writer;
std::string recordingPath;
std::string failure;
uint64_t bytesWritten = 0;

void put16(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

// Completes the file; returns 0 (and reports) when anything failed.
int finish() {
    int ok = FinishWavWriter(writer);
    ::close(fd);
    fd = -1;
    if (ok) return 1;
    failure = "cannot write " + recordingPath + ": " + FileErrorText(writer.error);
    std::fprintf(stderr, "Sound recording stopped: %s (%llu bytes of samples kept).\n",
                 failure.c_str(),
                 static_cast<unsigned long long>(
                     writer.fileBytes > HeaderBytes ? writer.fileBytes - HeaderBytes : 0));
    return 0;
}

} // namespace

int SoundRecordingOpen() { return fd >= 0; }

const std::string& SoundRecordingFailure() { return failure; }

void AppendSoundRecording(const int16_t* block, uint32_t byteCount) {
    if (fd < 0) return;
    unsigned char bytes[SoundBlockBytes];
    const uint32_t samples = byteCount / 2 > SoundBlockSamples ? SoundBlockSamples : byteCount / 2;
    for (uint32_t i = 0; i < samples; ++i)
        put16(bytes + 2 * i, static_cast<uint16_t>(block[i]));
    if (WriteWavBytes(writer, bytes, samples * 2))
        bytesWritten += samples * 2;
    else
        finish(); // the first failed write ends the recording
}

int StartSoundRecording(const char* path) {
    StopSoundRecording(); // a recording still open is completed first
    failure.clear();
    if (!path || !*path) {
        failure = "no file named";
        return 0;
    }
    // The stream is brought up to now first: samples owed from before (a
    // driver that mixes nothing between the chip's writes, "No sound") are
    // not the recording's, and its first block starts here.
    StartRecordedStream();
    struct stat before;
    bool existed = ::stat(path, &before) == 0;
    fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        failure = "cannot write " + std::string(path) + ": " + FileErrorText(errno);
        return 0;
    }
    unsigned char h[HeaderBytes] = {'R', 'I', 'F', 'F', 0,   0,   0,   0,
                                    'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    put32(h + 16, 16);
    put16(h + 20, 1); // PCM
    put16(h + 22, 1); // mono
    put32(h + 24, SoundSampleRate);
    put32(h + 28, SoundSampleRate * 2);
    put16(h + 32, 2);
    put16(h + 34, 16);
    h[36] = 'd';
    h[37] = 'a';
    h[38] = 't';
    h[39] = 'a';
    if (!StartWavWriter(writer, fd, h, 2)) {
        failure = "cannot write " + std::string(path) + ": " + FileErrorText(writer.error);
        ::close(fd);
        fd = -1;
        if (!existed) ::unlink(path); // leave no empty file behind
        return 0;
    }
    recordingPath = path;
    bytesWritten = 0;
    return 1;
}

void StopSoundRecording() {
    if (fd < 0) return;
    EndRecordedStream(); // the samples up to now, a part block included
    if (fd >= 0) finish();
}

int SoundRecordingBytes(uint64_t* bytes) {
    if (bytes) *bytes = bytesWritten;
    return fd >= 0;
}
