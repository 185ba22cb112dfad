// Opens a host file and refuses folders, which the C library would open for
// reading and then fail on every read.
#include "media/host_file.h"

#include "files/file_write.h"

#include <cerrno>

#include <sys/stat.h>

namespace {
std::string lastError;
std::string lastWarning;
} // namespace

const std::string& MediaError() { return lastError; }
void SetMediaError(const std::string& cause) { lastError = cause; }
const std::string& MediaWarning() { return lastWarning; }
void SetMediaWarning(const std::string& text) { lastWarning = text; }

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) {
        SetMediaError(FileErrorText(path.empty() ? ENOENT : errno));
        return nullptr;
    }
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        SetMediaError(FileErrorText(EISDIR));
        return nullptr;
    }
    return file;
}
