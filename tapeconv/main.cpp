// Dravik's entry point.
#include <csignal>

#include "dravik.h"

int main(int argc, char** argv) {
    // A file size limit makes the write fail with an error Dravik reports
    // (and the temporary file is removed), instead of killing it mid-write.
    std::signal(SIGXFSZ, SIG_IGN);
    return RunDravik(argc, argv, DravikStreams{});
}
