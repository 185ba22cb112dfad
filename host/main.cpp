// Orvane's entry point: the version with --version; the desktop window, or
// the headless runner when --headless (or any option of the runner) is on
// the command line.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "host/headless.h"
#ifdef ORVANE_WITH_QT
#include "host/qt/desktop.h"

namespace {

// True when an argument asks for the headless runner: --headless itself, or
// one of the runner's own options (which the window does not take).
bool wantsHeadless(int argc, char** argv) {
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--headless") == 0) return true;
        for (size_t o = 0; o < HeadlessOptionCount; o++) {
            const char* name = HeadlessOptions[o].name;
            size_t length = std::strlen(name);
            if (std::strcmp(name, "--help") != 0 && std::strncmp(argv[i], name, length) == 0 &&
                (argv[i][length] == 0 || argv[i][length] == '='))
                return true;
        }
    }
    return false;
}

} // namespace
#endif

int main(int argc, char** argv) {
    // A file size limit makes a write fail with "file too large", which the
    // program reports and survives, instead of killing it mid-run.
    std::signal(SIGXFSZ, SIG_IGN);
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Orvane %s\n", ORVANE_VERSION);
            return 0;
        }
    }
#ifdef ORVANE_WITH_QT
    if (!wantsHeadless(argc, argv)) return RunDesktop(argc, argv);
#endif
    return RunHeadless(argc, argv);
}
