// Dravik, the WAV-to-ATP tape converter: one pass that parses the options,
// reads the WAV header, decodes the recording to its end and writes the bytes
// found on the tape as an ATP image. The program's main() only forwards here,
// so the whole run can also be driven from tests.
#pragma once

#include <cstdio>
#include <string>

// Exit codes of the program.
enum DravikExit : int {
    kExitConverted = 0,         // the input was decoded to its end
    kExitUsage = 1,             // usage printed, or an I/O failure (no input, output not written)
    kExitBadNumber = 2,         // a value for -g or -s is not a number
    kExitInputNotOpened = 4,    // the -i file can't be opened
    kExitNotWav = 5,            // the input does not begin with "RIFF" or its header is cut short
    kExitNoDataChunk = 6,       // no "data" chunk in the input
    kExitUnsupportedFormat = 7, // fewer than 8 bits per sample, or a sample rate of 0
};

constexpr const char* kOptionString = "?cfhs:i:g:mo:rv";
constexpr const char* kDefaultOutputName = "outfile.atp";
constexpr int kDefaultLeadInBytes = 32;

struct DravikStreams {
    std::FILE* out = stdout; // console lines
    std::FILE* err = stderr; // usage text and every error report
    // Where the output goes when no -o file is open at the first decoded byte.
    std::string defaultOutputPath = kDefaultOutputName;
};

void PrintUsage(std::FILE* err);

// Runs the program on its command line and returns its exit code.
int RunDravik(int argc, char** argv, const DravikStreams& streams);
