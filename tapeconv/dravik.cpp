// Dravik's run: options acted on in the order given, the outputs planned and
// checked against the inputs, then each input converted in turn (see dravik.h
// and conversion.h).
#include "dravik.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "atp_output.h"
#include "conversion.h"
#include "option_scanner.h"

static const char* const kUsageLines[] = {
    "",
    "Dravik v" DRAVIK_SHORT_VERSION,
    "Luxor ABC80 PCM WAV to ATP tape image converter.",
    "",
    "    Usage:  Dravik [flags] -i input-file -o output-file",
    "",
    "        -f           enable simple HP-LP filtering (50 Hz and 7.5 kHz cutoff)",
    "        -g <value>   amplify signal by <value> dB",
    "        -h           display this help",
    "        -s <value>   force sample rate of <value>",
    "        -t <value>   set comparison threshold to <value>% of dynamic range (0..100)",
    "",
    "        -v           verbose screen output",
    "    error levels: 0 = no error, 1 = I/O error, 2 = parameter error,",
    "                  3 = no conversion required, 4 = out of memory,",
    "                  5 = user abort",
    "",
    "\t- 'input-file' needs to be a valid 8 or 16 bit PCM WAV file.",
    "",
    "    Also:   -C <value>   listen to channel <value> (1 = left, 2 = right)",
    "            -r           reverse the polarity",
    "            Several input files (-i a.wav -i b.wav, or the names after the",
    "            flags) are each written to an .atp file beside them, or into the",
    "            folder given with -o. 8, 16, 24 and 32-bit integer and 32 and",
    "            64-bit float WAV files are read. Exit codes as the program",
    "            returns them: 3 = no tape block found, 4 = input not opened,",
    "            5 = not a WAV file, 6 = no data chunk, 7 = unsupported format.",
};

void PrintUsage(std::FILE* err) {
    for (const char* line : kUsageLines) {
        std::fputs(line, err);
        std::fputc('\n', err);
    }
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

struct Input {
    std::string name;
    FileHandle file;
};

struct Options {
    std::vector<Input> inputs;
    std::string output; // -o
    bool outputGiven = false;
    ConversionOptions conversion;
};

// Reads an option value the way "%i" does: optional sign, then decimal, octal
// (leading 0) or hexadecimal (leading 0x); trailing text is ignored.
bool parseNumber(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 0);
    if (end == text) return false;
    value = parsed > INT_MAX ? INT_MAX : parsed < INT_MIN ? INT_MIN : int(parsed);
    return true;
}

constexpr int kContinue = -1;

int openInput(Options& options, const char* name, const DravikStreams& streams) {
    Input input;
    input.name = name;
    input.file.reset(std::fopen(name, "rb"));
    // A folder opens for reading on some systems; it is no recording.
    if (input.file && IsFolder(name)) input.file.reset();
    if (!input.file) {
        std::fprintf(streams.err, "Error opening %s.\n", name);
        return kExitInputNotOpened;
    }
    options.inputs.push_back(std::move(input));
    return kContinue;
}

// Acts on one option; returns kContinue or the exit code that ends the run.
int actOnOption(char letter, const char* value, Options& options, const DravikStreams& streams) {
    int number = 0;
    switch (letter) {
    case 'i': return openInput(options, value, streams);
    case 'o':
        options.output = value;
        options.outputGiven = true;
        return kContinue;
    case 'r': options.conversion.frontEnd.invert = true; return kContinue;
    case 'f': options.conversion.frontEnd.filter = true; return kContinue;
    case 'v': options.conversion.verbose = true; return kContinue;
    case 'g':
        if (!parseNumber(value, number)) {
            std::fprintf(streams.err, "Error parsing argument for '-g'.\n");
            return kExitBadNumber;
        }
        if (number >= 1 && number <= 7) {
            std::fprintf(streams.out, "Gain set to %i dB.\n", number);
            options.conversion.frontEnd.gainDb = number;
        } else {
            std::fprintf(streams.err, "Illegal gain value: %i.\n", number);
            std::fprintf(streams.err, "Gain must be between 1 and 7.\n");
        }
        return kContinue;
    case 's':
        if (!parseNumber(value, number)) {
            std::fprintf(streams.err, "Error parsing argument for '-s'.\n");
            return kExitBadNumber;
        }
        if (number <= 0) {
            std::fprintf(streams.err, "Illegal sample rate: %i.\n", number);
            return kExitBadNumber;
        }
        options.conversion.forcedSampleRate = number;
        return kContinue;
    case 't':
        if (!parseNumber(value, number)) {
            std::fprintf(streams.err, "Error parsing argument for '-t'.\n");
            return kExitBadNumber;
        }
        if (number < 0 || number > 100) {
            std::fprintf(streams.err, "Illegal threshold value: %i.\n", number);
            std::fprintf(streams.err, "Threshold must be between 0 and 100.\n");
            return kExitBadNumber;
        }
        options.conversion.frontEnd.fixedThresholdPercent = number;
        return kContinue;
    case 'C':
        if (std::strcmp(value, "left") == 0) {
            number = 1;
        } else if (std::strcmp(value, "right") == 0) {
            number = 2;
        } else if (!parseNumber(value, number)) {
            std::fprintf(streams.err, "Error parsing argument for '-C'.\n");
            return kExitBadNumber;
        }
        if (number < 1) {
            std::fprintf(streams.err, "Illegal channel: %i.\n", number);
            return kExitBadNumber;
        }
        options.conversion.channel = number;
        return kContinue;
    case 'h':
    case '?': PrintUsage(streams.err); return kExitUsage;
    default: return kContinue; // -c and -m are accepted and change nothing
    }
}

std::string withAtpExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && dot > (slash == std::string::npos ? 0 : slash + 1);
    return (hasExtension ? path.substr(0, dot) : path) + ".atp";
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Decides where each input goes; returns kContinue or the exit code.
int planJobs(Options& options, std::vector<ConversionJob>& jobs, const DravikStreams& streams) {
    const bool several = options.inputs.size() > 1;
    const bool intoFolder = options.outputGiven && IsFolder(options.output);
    if (several && options.outputGiven && !intoFolder) {
        std::fprintf(streams.err, "With several input files, -o must name a folder: %s.\n",
                     options.output.c_str());
        return kExitBadNumber;
    }
    // One recording named twice (./a.wav, a link) would be converted twice
    // onto one image: compared by device and inode before anything is done.
    for (size_t a = 0; a < options.inputs.size(); a++) {
        for (size_t b = 0; b < a; b++) {
            if (IsSameOpenFile(options.inputs[a].file.get(), options.inputs[b].file.get())) {
                std::fprintf(streams.err,
                             "%s and %s are the same file; nothing converted. Exiting...\n",
                             options.inputs[b].name.c_str(), options.inputs[a].name.c_str());
                return kExitBadNumber;
            }
        }
    }
    for (Input& input : options.inputs) {
        ConversionJob job;
        job.inputName = input.name;
        job.input = input.file.get();
        job.nameInput = several;
        if (intoFolder) {
            job.output = options.output + "/" + withAtpExtension(baseName(input.name));
        } else if (options.outputGiven) {
            job.output = options.output;
            job.mayFallBack = true;
        } else if (several) {
            job.output = withAtpExtension(input.name);
        } else {
            job.output = streams.defaultOutputPath;
            job.defaultOutput = true;
        }
        jobs.push_back(std::move(job));
    }
    for (size_t a = 0; a < jobs.size(); a++) {
        for (const Input& input : options.inputs) {
            if (IsSameFile(jobs[a].output, input.file.get())) {
                std::fprintf(streams.err,
                             "The output %s is the input file %s; nothing converted. Exiting...\n",
                             jobs[a].output.c_str(), input.name.c_str());
                return kExitBadNumber;
            }
        }
        for (size_t b = 0; b < a; b++) {
            if (IsSamePath(jobs[a].output, jobs[b].output)) {
                std::fprintf(streams.err, "%s and %s would both be written to %s. Exiting...\n",
                             jobs[b].inputName.c_str(), jobs[a].inputName.c_str(),
                             jobs[a].output.c_str());
                return kExitBadNumber;
            }
        }
    }
    return kContinue;
}

} // namespace

int RunDravik(int argc, char** argv, const DravikStreams& streams) {
    // The long form only: the short options stay as they are.
    for (int i = 1; i < argc; i++) {
        if (argv[i] != nullptr && std::strcmp(argv[i], "--version") == 0) {
            std::fprintf(streams.out, "Dravik %s\n", DRAVIK_VERSION);
            return kExitConverted;
        }
    }
    if (argc < 2) {
        PrintUsage(streams.err);
        return kExitUsage;
    }
    const char* programName = argv[0] != nullptr ? argv[0] : "Dravik";

    Options options;
    OptionScanner scanner = MakeOptionScanner(argc, argv, kOptionString);
    for (ScanResult result; (result = NextOption(scanner)) != ScanResult::End;) {
        if (result == ScanResult::IllegalOption || result == ScanResult::MissingValue) {
            std::fprintf(streams.err,
                         result == ScanResult::IllegalOption
                             ? "%s: illegal option -- %c"
                             : "%s: option requires an argument -- %c",
                         programName, scanner.letter);
            PrintUsage(streams.err);
            return kExitUsage;
        }
        const int exitCode = actOnOption(scanner.letter, scanner.value, options, streams);
        if (exitCode != kContinue) return exitCode;
    }

    // What follows the flags names more inputs; after "--" whatever it looks like.
    const bool afterDoubleDash = scanner.argIndex > 1 && scanner.argIndex <= argc &&
                                 argv[scanner.argIndex - 1] != nullptr &&
                                 std::strcmp(argv[scanner.argIndex - 1], "--") == 0;
    for (int i = scanner.argIndex; i < argc && argv[i] != nullptr; i++) {
        if (!afterDoubleDash && std::strcmp(argv[i], "-") == 0) {
            // The usual name of the standard input; recordings are read
            // from files only (the header is looked for anywhere in them).
            std::fprintf(streams.err,
                         "%s: - (the standard input) can't be read; name the recording with "
                         "-i file.\n",
                         programName);
            PrintUsage(streams.err);
            return kExitUsage;
        }
        if (!afterDoubleDash && argv[i][0] == '-') {
            std::fprintf(streams.err,
                         "%s: %s comes after the input files; flags go first. Exiting...\n",
                         programName, argv[i]);
            return kExitBadNumber;
        }
        const int opened = openInput(options, argv[i], streams);
        if (opened != kContinue) return opened;
    }

    if (options.inputs.empty()) {
        // Nothing can be converted without an input; that is an I/O failure.
        std::fprintf(streams.err, "Could not open input file.\n");
        return kExitUsage;
    }

    std::vector<ConversionJob> jobs;
    const int planned = planJobs(options, jobs, streams);
    if (planned != kContinue) return planned;

    int result = kExitConverted;
    for (ConversionJob& job : jobs) {
        if (jobs.size() > 1) std::fprintf(streams.out, "%s:\n", job.inputName.c_str());
        const int code = ConvertRecording(job, options.conversion, streams);
        if (code != kExitConverted && result == kExitConverted) result = code;
    }
    return result;
}
