// Test runner for Dravik (see dravik_runner.h).
#include "dravik_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "dravik.h"

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dravik-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    root_ = made != nullptr ? std::filesystem::path(made) : std::filesystem::temp_directory_path();
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

static std::string drain(std::FILE* f) {
    std::string text;
    std::rewind(f);
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
        text.append(chunk, n);
    std::fclose(f);
    return text;
}

RunOutcome RunInProcess(const std::vector<std::string>& args, const std::string& defaultOutput) {
    std::vector<std::string> storage = {"dravik"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    DravikStreams streams;
    streams.out = std::tmpfile();
    streams.err = std::tmpfile();
    streams.defaultOutputPath = defaultOutput;
    RunOutcome outcome;
    outcome.exitCode = RunDravik(int(storage.size()), argv.data(), streams);
    outcome.out = drain(streams.out);
    outcome.err = drain(streams.err);
    return outcome;
}

static std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

RunOutcome RunExecutable(const std::vector<std::string>& args, const std::string& workDir) {
    const std::string outPath = workDir + "/.stdout", errPath = workDir + "/.stderr";
    std::string command = "cd " + quoted(workDir) + " && " + quoted(DRAVIK_EXECUTABLE);
    for (const auto& a : args)
        command += " " + quoted(a);
    command += " >" + quoted(outPath) + " 2>" + quoted(errPath);
    const int status = std::system(command.c_str());
    RunOutcome outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto out = ReadFile(outPath), err = ReadFile(errPath);
    outcome.out.assign(out.begin(), out.end());
    outcome.err.assign(err.begin(), err.end());
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return outcome;
}

static std::string readAll(int fd) {
    std::string text;
    char chunk[4096];
    for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;)
        text.append(chunk, size_t(n));
    close(fd);
    return text;
}

RunOutcome RunInChild(const std::vector<std::string>& args, const std::string& defaultOutput,
                      void (*prepare)()) {
    int outPipe[2], errPipe[2];
    RunOutcome outcome;
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return outcome;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        if (prepare != nullptr) prepare();
        std::vector<std::string> storage = {"dravik"};
        storage.insert(storage.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& s : storage)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        DravikStreams streams;
        streams.out = fdopen(outPipe[1], "w");
        streams.err = fdopen(errPipe[1], "w");
        streams.defaultOutputPath = defaultOutput;
        const int code = RunDravik(int(storage.size()), argv.data(), streams);
        std::fclose(streams.out);
        std::fclose(streams.err);
        _exit(code);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    // The run's output is small; read the error stream after the console one.
    outcome.out = readAll(outPipe[0]);
    outcome.err = readAll(errPipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

uint64_t FileHash(const std::string& path) {
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t byte : ReadFile(path))
        hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}
