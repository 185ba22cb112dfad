// Opens a host file and refuses folders, which the C library would open for
// reading and then fail on every read.
#include "media/host_file.h"

#include <sys/stat.h>

std::FILE* OpenHostFile(const std::string& path, const char* mode) {
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) return nullptr;
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}
