// Runs a shell command for the tests that drive the programs themselves and
// returns its exit code (-1 when it did not exit normally), with what it wrote
// to its standard output when asked.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

inline int runCommand(const std::string& command, std::string* output = nullptr) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    int status = pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string orvaneHeadless(const std::string& arguments) {
    return std::string(ORVANE_BINARY_DIR) + "/bin/orvane --headless " + arguments;
}
