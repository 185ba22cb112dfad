// Dravik, the WAV-to-ATP tape converter: parses the options, then converts
// each input recording in turn: reads its WAV header, decodes the recording
// to its end, checks every tape block and writes the blocks as an ATP image.
// The program's main() only forwards here, so the whole run can also be
// driven from tests.
#pragma once

#include <cstdio>
#include <string>

// Exit codes of the program.
enum DravikExit : int {
    kExitConverted = 0,         // every input was converted (bad blocks are warnings)
    kExitUsage = 1,             // usage printed, or an I/O failure (no input, output not written)
    kExitBadNumber = 2,         // a bad option value, an argument out of place, an output
                                // that is an input
    kExitNoBlock = 3,           // the recording held no tape block
    kExitInputNotOpened = 4,    // an input file can't be opened
    kExitNotWav = 5,            // the input does not begin with "RIFF" or its header is cut short
    kExitNoDataChunk = 6,       // no "data" chunk in the input
    kExitUnsupportedFormat = 7, // a sample format that can't be decoded
};

constexpr const char* kOptionString = "?cfhs:i:g:mo:rvt:C:";
constexpr const char* kDefaultOutputName = "outfile.atp";
constexpr int kDefaultLeadInBytes = 32;

struct DravikStreams {
    std::FILE* out = stdout; // console lines
    std::FILE* err = stderr; // usage text and every error report
    // Where the output goes when one input is converted without -o.
    std::string defaultOutputPath = kDefaultOutputName;
};

void PrintUsage(std::FILE* err);

// Runs the program on its command line and returns its exit code.
int RunDravik(int argc, char** argv, const DravikStreams& streams);
