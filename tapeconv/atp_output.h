// Writing an ATP file without putting the user's files at risk: the bytes go
// to a temporary file in the target's folder, which replaces the target only
// once the conversion has succeeded and every byte is on disk. A failed run
// removes the temporary file and leaves an existing target as it was. A
// target that exists but is not a regular file (a device such as /dev/null,
// a pipe) is written directly, since it can't be replaced. While the
// temporary file is open, SIGINT, SIGTERM and SIGHUP remove it before the
// program stops.
#pragma once

#include <cstdio>
#include <string>

struct OutputFile {
    std::string target;    // the path named by the user
    std::string writePath; // the temporary file, or the target itself
    std::FILE* file = nullptr;
    bool viaTemporary = false;
    int error = 0; // errno of the first failure

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();
};

// Prepares writing to `target`. Returns 1, or 0 with `error` set.
int OpenOutputFile(OutputFile& out, const std::string& target);

// Flushes, closes and moves the file into place. Returns 1, or 0 with
// `error` set (the temporary file is then gone and the target unchanged).
int CommitOutputFile(OutputFile& out);

// Drops what was written; an existing target stays as it was.
void DiscardOutputFile(OutputFile& out);

// 1 when `path` names the same file (device and inode) as the open `file`.
int IsSameFile(const std::string& path, std::FILE* file);
// 1 when two open files are one file (device and inode).
int IsSameOpenFile(std::FILE* a, std::FILE* b);
// 1 when two paths lead to one file: the same path spelt differently
// (./a.atp, dir/../a.atp), or two names of one existing file.
int IsSamePath(const std::string& a, const std::string& b);

// 1 when `path` is an existing folder.
int IsFolder(const std::string& path);
