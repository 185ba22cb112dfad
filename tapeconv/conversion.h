// Converting one input recording into its ATP image, as Dravik's run does
// for each input in turn.
#pragma once

#include <cstdio>
#include <string>

#include "dravik.h"
#include "tape_decoder.h"

struct ConversionOptions {
    FrontEndSettings frontEnd;
    int forcedSampleRate = 0; // -s, or 0 for the header's rate
    int channel = 1;          // -C, counted from 1
    bool verbose = false;     // -v
};

struct ConversionJob {
    std::string inputName;
    std::FILE* input = nullptr; // open for reading, at its start
    std::string output;
    bool defaultOutput = false; // outfile.atp with its 32 lead-in zeros
    bool mayFallBack = false;   // -o FILE that can't be created: outfile.atp instead
    bool nameInput = false;     // one of several inputs: its refusals name it
};

// Converts the job's input and returns its exit code (DravikExit).
int ConvertRecording(ConversionJob& job, const ConversionOptions& options,
                     const DravikStreams& streams);
