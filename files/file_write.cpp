// The one way Orvane replaces a user's file: temporary file beside it,
// checked writes, fsync, rename.
#include "files/file_write.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int fail(std::string* cause, int errnum) {
    if (cause) *cause = FileErrorText(errnum);
    return 0;
}

// Writes all bytes, retrying short writes and interruptions; 0 with errno set
// on failure.
int writeAll(int fd, const unsigned char* bytes, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return 0;
        }
        if (n == 0) {
            errno = EIO;
            return 0;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return 1;
}

// A terminal, pipe or device: written in place, without truncating or
// creating anything.
int writeInPlace(const std::string& path, const void* data, size_t size, std::string* cause) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return fail(cause, errno);
    int ok = writeAll(fd, static_cast<const unsigned char*>(data), size);
    int saved = errno;
    if (::close(fd) != 0 && ok) {
        ok = 0;
        saved = errno;
    }
    return ok ? 1 : fail(cause, saved);
}

} // namespace

std::string FileErrorText(int errnum) {
    switch (errnum) {
    case ENOSPC: return "no space left on device";
    case EDQUOT: return "disk quota exceeded";
    case EACCES:
    case EPERM: return "permission denied";
    case EISDIR: return "is a folder";
    case ENOENT: return "no such file or folder";
    case ENOTDIR: return "a part of the path is not a folder";
    case EFBIG: return "file too large";
    case EROFS: return "read-only file system";
    case ENAMETOOLONG: return "file name too long";
    case EIO: return "input/output error";
    case EMFILE:
    case ENFILE: return "too many open files";
    default: break;
    }
    std::string text = std::strerror(errnum);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

int WriteWholeFile(const std::string& path, const void* data, size_t size, std::string* cause) {
    if (path.empty()) return fail(cause, ENOENT);
    std::string target = path;
    struct stat existing;
    bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return fail(cause, EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) return writeInPlace(path, data, size, cause);
    if (exists) {
        // A link is followed: the file it names is replaced, the link stays.
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved)) target = resolved;
        // A file its owner made read-only is not replaced behind their back,
        // not even by root, whom the system would let.
        if ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
            if (cause) *cause = "the file is read-only";
            return 0;
        }
    }

    std::string temporary = folderOf(target) + "/." + nameOf(target) + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) return fail(cause, errno);
    // The new file gets the old one's permissions, or the usual ones for a
    // new file (mkstemp makes it private).
    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int ok = ::fchmod(fd, mode) == 0 || errno == EPERM;
    ok = ok && writeAll(fd, static_cast<const unsigned char*>(data), size);
    ok = ok && ::fsync(fd) == 0;
    int saved = errno;
    if (::close(fd) != 0 && ok) {
        ok = 0;
        saved = errno;
    }
    // The target may have become a folder meanwhile; rename refuses that too.
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = 0;
        saved = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return fail(cause, saved);
    }
    // Make the rename itself durable; a folder that can't be synced is no failure.
    int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return 1;
}

bool SameFileAs(const std::string& path, int fd) {
    struct stat a, b;
    if (fd < 0 || ::stat(path.c_str(), &a) != 0 || ::fstat(fd, &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
