// Runs Dravik for the tests, either in-process through RunDravik with its
// console streams captured, or as the real executable in a scratch folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct RunOutcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// A scratch folder that disappears with the object.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& name) const { return (root_ / name).string(); }
    const std::filesystem::path& root() const { return root_; }

  private:
    std::filesystem::path root_;
};

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// In-process run; the default output file goes to `defaultOutput`.
// `args` excludes the program name, which is "dravik".
RunOutcome RunInProcess(const std::vector<std::string>& args, const std::string& defaultOutput);

// Runs the built executable with `workDir` as its current folder.
RunOutcome RunExecutable(const std::vector<std::string>& args, const std::string& workDir);

// In-process run in a forked child, after `prepare` has run there (to lower
// a resource limit or give up root). The console streams travel through
// pipes, so a file size limit touches only the files Dravik writes.
RunOutcome RunInChild(const std::vector<std::string>& args, const std::string& defaultOutput,
                      void (*prepare)());

// FNV-1a hash of a file's bytes, to show an input was not changed.
uint64_t FileHash(const std::string& path);
