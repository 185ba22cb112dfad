// Safe writing of the ATP output (see atp_output.h).
#include "atp_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link is followed, so that the file it points to is replaced, not the link.
std::string resolvedTarget(const std::string& target) {
    struct stat link {};
    if (lstat(target.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return target;
    char* real = realpath(target.c_str(), nullptr);
    if (real == nullptr) return target;
    std::string resolved = real;
    std::free(real);
    return resolved;
}

// A run stopped by a signal (Ctrl-C, kill) takes its temporary file with it.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
char temporaryPath[4096];
volatile std::sig_atomic_t temporaryOpen = 0;
struct sigaction previousActions[3];

extern "C" void removeTemporaryAndStop(int signalNumber) {
    if (temporaryOpen) unlink(temporaryPath);
    temporaryOpen = 0;
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void guardTemporary(const std::string& path) {
    if (path.size() >= sizeof temporaryPath) return;
    std::memcpy(temporaryPath, path.c_str(), path.size() + 1);
    temporaryOpen = 1;
    struct sigaction action {};
    action.sa_handler = removeTemporaryAndStop;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < 3; i++)
        sigaction(kStopSignals[i], &action, &previousActions[i]);
}

void releaseTemporary() {
    if (!temporaryOpen) return;
    temporaryOpen = 0;
    for (size_t i = 0; i < 3; i++)
        sigaction(kStopSignals[i], &previousActions[i], nullptr);
}

mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

OutputFile::~OutputFile() { DiscardOutputFile(*this); }

int OpenOutputFile(OutputFile& out, const std::string& target) {
    DiscardOutputFile(out);
    out.target = target;
    out.error = 0;
    const std::string real = resolvedTarget(target);
    struct stat existing {};
    if (stat(real.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode)) {
            out.error = EISDIR;
            return 0;
        }
        out.viaTemporary = false;
        out.writePath = real;
        out.file = std::fopen(real.c_str(), "wb");
        if (out.file == nullptr) out.error = errno;
        return out.file != nullptr;
    }
    // A file its owner made read-only is not replaced behind their back.
    // Not by root either, whom the system would let.
    if (existing.st_mode != 0 && (existing.st_mode & 0222) == 0) {
        out.error = EACCES;
        return 0;
    }
    if (existing.st_mode != 0 && access(real.c_str(), W_OK) != 0) {
        out.error = errno;
        return 0;
    }
    std::string pattern = folderOf(real) + "/." + baseOf(real) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        out.error = errno;
        return 0;
    }
    fchmod(fd, existing.st_mode != 0 ? existing.st_mode & 07777 : newFileMode());
    out.writePath = name.data();
    out.viaTemporary = true;
    guardTemporary(out.writePath);
    out.file = fdopen(fd, "wb");
    if (out.file == nullptr) {
        out.error = errno;
        close(fd);
        unlink(out.writePath.c_str());
        out.viaTemporary = false;
        releaseTemporary();
        return 0;
    }
    return 1;
}

int CommitOutputFile(OutputFile& out) {
    if (out.file == nullptr) return 0;
    std::FILE* file = out.file;
    out.file = nullptr;
    bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
    if (!ok && out.error == 0) out.error = errno != 0 ? errno : EIO;
    if (ok && out.viaTemporary && fsync(fileno(file)) != 0) {
        ok = false;
        out.error = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        out.error = errno;
    }
    if (!out.viaTemporary) return ok;
    if (ok && rename(out.writePath.c_str(), resolvedTarget(out.target).c_str()) != 0) {
        ok = false;
        out.error = errno;
    }
    if (!ok) unlink(out.writePath.c_str());
    out.viaTemporary = false;
    releaseTemporary();
    return ok;
}

void DiscardOutputFile(OutputFile& out) {
    if (out.file != nullptr) {
        std::fclose(out.file);
        out.file = nullptr;
    }
    if (out.viaTemporary) {
        unlink(out.writePath.c_str());
        releaseTemporary();
    }
    out.viaTemporary = false;
}

int IsSameFile(const std::string& path, std::FILE* file) {
    struct stat a {
    }, b{};
    if (file == nullptr || stat(path.c_str(), &a) != 0 || fstat(fileno(file), &b) != 0) return 0;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int IsSameOpenFile(std::FILE* a, std::FILE* b) {
    struct stat sa {
    }, sb{};
    if (a == nullptr || b == nullptr || fstat(fileno(a), &sa) != 0 || fstat(fileno(b), &sb) != 0)
        return 0;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int IsSamePath(const std::string& a, const std::string& b) {
    if (a == b) return 1;
    std::error_code error;
    const std::filesystem::path pa = std::filesystem::absolute(a, error).lexically_normal();
    const std::filesystem::path pb = std::filesystem::absolute(b, error).lexically_normal();
    if (!error && pa == pb) return 1;
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
