// Command-line option scanner: a getopt-style walk over argv that hands back
// one option letter at a time, so the caller can act on each option in the
// order it was given. Letters followed by ':' in the option string take a
// value, attached ("-ifile") or as the next argument ("-i file"); letters
// without a value may be grouped ("-rv"). Scanning ends at the first argument
// that does not begin with '-', at a lone "-", or after "--".
#pragma once

enum class ScanResult { Option, End, IllegalOption, MissingValue };

struct OptionScanner {
    int argc = 0;
    char** argv = nullptr;
    const char* optionString = "";
    int argIndex = 1;  // argument being scanned
    int charIndex = 0; // next letter inside a grouped argument; 0 = start a new argument
    char letter = 0;   // the letter just scanned (also for errors)
    const char* value = nullptr;
};

OptionScanner MakeOptionScanner(int argc, char** argv, const char* optionString);

// Scans the next option. On Option, `letter` and (for value-taking letters)
// `value` are set; on IllegalOption and MissingValue, `letter` names the culprit.
ScanResult NextOption(OptionScanner& scanner);
