// Writing the user's files so that nothing is lost.
//
// A whole file (a saved program, a screenshot, a memory dump) is written to a
// temporary file in the target's folder, every write checked, flushed to the
// disk and then renamed over the target. A failure at any step removes the
// temporary file and leaves an existing target exactly as it was; a folder is
// never replaced, and neither is a file that is read-only (no write
// permission for anyone, or none for us): "the file is read-only". Targets
// that are not regular files (a terminal, a pipe,
// /dev/null) are written in place, since they cannot be renamed over.
//
// Failures are described in words from errno ("no space left on device",
// "permission denied", "is a folder"), for messages such as
// "cannot write shot.bmp: no space left on device".
#pragma once

#include <cstddef>
#include <string>

// The cause of a failed file operation, lower case, for a message.
std::string FileErrorText(int errnum);

// Writes size bytes as the whole new content of path. Returns 1 when the file
// is in place; otherwise 0 with the cause in *cause (when given).
int WriteWholeFile(const std::string& path, const void* data, size_t size,
                   std::string* cause = nullptr);
inline int WriteWholeFile(const std::string& path, const std::string& bytes,
                          std::string* cause = nullptr) {
    return WriteWholeFile(path, bytes.data(), bytes.size(), cause);
}

// Whether path names the same file as the open file descriptor fd (same
// device and inode), whatever the names say.
bool SameFileAs(const std::string& path, int fd);
