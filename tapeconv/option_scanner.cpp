// Command-line option scanner (see option_scanner.h).
#include "option_scanner.h"

#include <cstring>

OptionScanner MakeOptionScanner(int argc, char** argv, const char* optionString) {
    OptionScanner scanner;
    scanner.argc = argc;
    scanner.argv = argv;
    scanner.optionString = optionString;
    return scanner;
}

static void finishArgumentIfDone(OptionScanner& s, const char* arg) {
    if (arg[s.charIndex] == '\0') {
        s.argIndex++;
        s.charIndex = 0;
    }
}

ScanResult NextOption(OptionScanner& s) {
    s.value = nullptr;
    if (s.charIndex == 0) {
        if (s.argIndex >= s.argc || s.argv[s.argIndex] == nullptr) return ScanResult::End;
        const char* arg = s.argv[s.argIndex];
        if (arg[0] != '-' || arg[1] == '\0') return ScanResult::End;
        if (std::strcmp(arg, "--") == 0) {
            s.argIndex++;
            return ScanResult::End;
        }
        s.charIndex = 1;
    }

    const char* arg = s.argv[s.argIndex];
    const char letter = arg[s.charIndex++];
    s.letter = letter;
    const char* entry = letter == ':' ? nullptr : std::strchr(s.optionString, letter);
    if (entry == nullptr) {
        finishArgumentIfDone(s, arg);
        return ScanResult::IllegalOption;
    }
    if (entry[1] != ':') {
        finishArgumentIfDone(s, arg);
        return ScanResult::Option;
    }

    if (arg[s.charIndex] != '\0') {
        s.value = arg + s.charIndex;
        s.argIndex++;
    } else if (s.argIndex + 1 < s.argc && s.argv[s.argIndex + 1] != nullptr) {
        s.value = s.argv[s.argIndex + 1];
        s.argIndex += 2;
    } else {
        s.argIndex++;
        s.charIndex = 0;
        return ScanResult::MissingValue;
    }
    s.charIndex = 0;
    return ScanResult::Option;
}
