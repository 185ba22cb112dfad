// Buffered, checked writes of WAV samples, and the header completed from
// what the file really holds.
#include "files/wav_writer.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint64_t WavHeaderSize = 44;

int writeAll(WavWriter& w, const uint8_t* bytes, size_t n) {
    while (n > 0) {
        ssize_t done = ::write(w.fd, bytes, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            w.error = done < 0 ? errno : EIO;
            return 0;
        }
        w.fileBytes += static_cast<uint64_t>(done);
        bytes += done;
        n -= static_cast<size_t>(done);
    }
    return 1;
}

int flush(WavWriter& w) {
    if (w.error) return 0;
    int ok = writeAll(w, w.buffer, w.used);
    w.used = 0;
    return ok;
}

int patchField(int fd, off_t offset, uint64_t value) {
    uint32_t v = value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                    static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    return ::pwrite(fd, b, 4, offset) == 4;
}

} // namespace

int StartWavWriter(WavWriter& w, int fd, const uint8_t* header, uint32_t blockAlign) {
    w.fd = fd;
    w.blockAlign = blockAlign ? blockAlign : 1;
    w.used = 0;
    w.fileBytes = 0;
    w.error = 0;
    return writeAll(w, header, WavHeaderSize);
}

int WriteWavBytes(WavWriter& w, const void* bytes, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    while (n > 0) {
        if (w.error) return 0;
        if (w.used == sizeof w.buffer && !flush(w)) return 0;
        size_t room = sizeof w.buffer - w.used;
        size_t take = n < room ? n : room;
        std::memcpy(w.buffer + w.used, p, take);
        w.used += static_cast<uint32_t>(take);
        p += take;
        n -= take;
    }
    return !w.error;
}

uint64_t WavSampleBytes(const WavWriter& w) {
    uint64_t total = w.fileBytes + w.used;
    return total > WavHeaderSize ? total - WavHeaderSize : 0;
}

int FinishWavWriter(WavWriter& w) {
    if (w.fd < 0) return 0;
    flush(w);
    struct stat info;
    bool regular = ::fstat(w.fd, &info) == 0 && S_ISREG(info.st_mode);
    if (regular && w.fileBytes >= WavHeaderSize) {
        // After a failure the file may end inside a sample frame: cut it.
        uint64_t samples = w.fileBytes - WavHeaderSize;
        uint64_t whole = samples - samples % w.blockAlign;
        if (whole != samples && ::ftruncate(w.fd, static_cast<off_t>(WavHeaderSize + whole)) == 0)
            w.fileBytes = WavHeaderSize + whole;
        samples = w.fileBytes - WavHeaderSize;
        int patched = patchField(w.fd, 4, w.fileBytes - 8) && patchField(w.fd, 40, samples);
        if (!patched && !w.error) w.error = errno ? errno : EIO;
        if (::fsync(w.fd) != 0 && !w.error) w.error = errno;
    }
    return !w.error;
}
