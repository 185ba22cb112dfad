// Real file failures for the tests, without mocks: a command run in a child
// process with a file size limit (SIGXFSZ ignored, so a write past the limit
// fails with EFBIG partway through), or as an unprivileged user (so a
// read-only folder really refuses, even when the tests run as root). A
// full disk is /dev/full. Inputs are checksummed before and after.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>

namespace real_failures {

// Runs `sh -c command` in a child prepared by `prepare`, with what it writes
// to stderr collected through a pipe (a file would itself meet the limits);
// the exit code, or -1 when the command did not exit normally.
template <typename Prepare>
int runPrepared(const std::string& command, Prepare prepare, std::string* errors) {
    std::fflush(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(pipeEnds[0]);
        dup2(pipeEnds[1], 2);
        close(pipeEnds[1]);
        if (!prepare()) _exit(126);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    if (errors) *errors = text;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Files the command writes can't grow past `bytes`.
inline int runWithFileSizeLimit(const std::string& command, rlim_t bytes, std::string* errors) {
    return runPrepared(
        command,
        [bytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit = {bytes, bytes};
            return setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        errors);
}

// As the user nobody (65534) when the tests run as root, else as ourselves.
inline int runUnprivileged(const std::string& command, std::string* errors) {
    return runPrepared(
        command,
        [] {
            if (geteuid() != 0) return true;
            return setgid(65534) == 0 && setuid(65534) == 0;
        },
        errors);
}

// FNV-1a of a file's bytes (0 for a file that can't be read).
inline uint64_t checksumOf(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    uint64_t hash = 1469598103934665603ull;
    for (int c; (c = std::getc(file)) != EOF;)
        hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211ull;
    std::fclose(file);
    return hash;
}

} // namespace real_failures
