// Dravik's run: options acted on in the order given, then each input
// converted in turn (see dravik.h).
#include "dravik.h"

#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "atp_output.h"
#include "input_reader.h"
#include "option_scanner.h"
#include "tape_decoder.h"
#include "wav_format.h"

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
    FrontEndSettings frontEnd;
    int forcedSampleRate = 0;
    int channel = 1; // counted from 1
    bool verbose = false;
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
    case 'r': options.frontEnd.invert = true; return kContinue;
    case 'f': options.frontEnd.filter = true; return kContinue;
    case 'v': options.verbose = true; return kContinue;
    case 'g':
        if (!parseNumber(value, number)) {
            std::fprintf(streams.err, "Error parsing argument for '-g'.\n");
            return kExitBadNumber;
        }
        if (number >= 1 && number <= 7) {
            std::fprintf(streams.out, "Gain set to %i dB.\n", number);
            options.frontEnd.gainDb = number;
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
        options.forcedSampleRate = number;
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
        options.frontEnd.fixedThresholdPercent = number;
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
        options.channel = number;
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

struct Job {
    Input* input = nullptr;
    std::string output;
    bool defaultOutput = false; // outfile.atp with its 32 lead-in zeros
    bool mayFallBack = false;   // -o FILE that can't be created: outfile.atp instead
};

// ---- One conversion ---------------------------------------------------------

struct Conversion {
    const DravikStreams* streams = nullptr;
    const Options* options = nullptr;
    OutputFile output;
    uint32_t bytesWritten = 0;
};

void putOutputByte(void* context, uint8_t byte) {
    auto& c = *static_cast<Conversion*>(context);
    std::fputc(byte, c.output.file);
    c.bytesWritten++;
}

std::string describeBlock(const BlockReport& r) {
    char text[96];
    switch (r.kind) {
    case BlockKind::Header: std::snprintf(text, sizeof text, "header"); break;
    case BlockKind::Data:
        std::snprintf(text, sizeof text, "data %u", unsigned(r.dataNumber));
        break;
    case BlockKind::Other:
        std::snprintf(text, sizeof text, "other (first byte %02Xh)", unsigned(r.firstByte));
        break;
    }
    std::string description = text;
    if (!r.name.empty()) description += (r.kind == BlockKind::Data ? " of " : " ") + r.name;
    return description;
}

std::string blockProblem(const BlockReport& r) {
    char text[64];
    if (r.bytesHeard < kBlockBodyBytes)
        std::snprintf(text, sizeof text, "cut short after %u of %u bytes", unsigned(r.bytesHeard),
                      unsigned(kBlockBodyBytes));
    else if (!r.endByteOk)
        std::snprintf(text, sizeof text, "no end byte 03h");
    else
        std::snprintf(text, sizeof text, "bad checksum (recorded %04Xh, sum %04Xh)",
                      unsigned(r.recordedSum), unsigned(r.computedSum));
    return text;
}

void onBlock(void* context, const BlockReport& r) {
    auto& c = *static_cast<Conversion*>(context);
    const std::string what = describeBlock(r);
    if (c.options->verbose)
        std::fprintf(c.streams->out, "Block %u: %s, %s.\n", unsigned(r.number), what.c_str(),
                     r.ok() ? "OK" : blockProblem(r).c_str());
    if (!r.ok())
        std::fprintf(c.streams->err, "Warning: block %u (%s): %s.\n", unsigned(r.number),
                     what.c_str(), blockProblem(r).c_str());
}

uint64_t knownSize(std::FILE* file) {
    struct stat st {};
    if (fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode)) return uint64_t(st.st_size);
    return UINT64_MAX;
}

// Reads the header with its console lines; returns kContinue with the reader
// at the first sample, or the exit code that ends this input.
int readHeader(InputReader& reader, uint64_t fileSize, WavLayout& layout, const Options& options,
               const DravikStreams& streams) {
    const WavStatus status = ReadWavLayout(reader, fileSize, layout);
    if (status == WavStatus::NotWav) {
        std::fprintf(streams.err, "This is not a valid WAV file. Exiting...\n");
        return kExitNotWav;
    }
    WavFormat& format = layout.format;
    std::fprintf(streams.out, "Number of channels: %i\n", int(format.channels));
    std::fprintf(streams.out, "Number of samples per sec: %" PRIu32 "\n", format.sampleRate);
    std::fprintf(streams.out, "Number of bits per sample: %i\n", int(format.bitsPerSample));
    if (options.forcedSampleRate > 0) {
        format.sampleRate = uint32_t(options.forcedSampleRate);
        std::fprintf(streams.out, "Sample rate forced to %" PRIu32 ".\n", format.sampleRate);
    }
    if (!ResolveEncoding(format)) {
        std::fprintf(streams.err,
                     "Unsupported WAV format: %s (8, 16, 24 or 32-bit integer or 32 or 64-bit "
                     "float samples and a sample rate above 0 are needed). Exiting...\n",
                     DescribeFormat(format).c_str());
        return kExitUnsupportedFormat;
    }
    if (options.channel > format.channels) {
        std::fprintf(streams.err,
                     "Channel %i was asked for, but the recording has %i. Exiting...\n",
                     options.channel, int(format.channels));
        return kExitBadNumber;
    }
    const uint64_t rate = format.sampleRate;
    std::fprintf(streams.out, "Usec per sample: %" PRIu64 "\n.", (rate / 2 + 1000000) / rate);
    if (status == WavStatus::NoDataChunk) {
        std::fprintf(streams.out, "\n");
        std::fprintf(streams.err, "Wave data chunk not found. Exiting...\n");
        return kExitNoDataChunk;
    }
    // One dot for each byte before the chunk, as a search from the start
    // would pass them, but never more than a line of them.
    const uint64_t dots = layout.dataTagOffset < 80 ? layout.dataTagOffset : 80;
    for (uint64_t i = 0; i < dots; i++)
        std::fputc('.', streams.out);
    std::fprintf(streams.out, "\n");
    std::fprintf(streams.out, "Wave data chunk found at offset: %" PRIu64 ".\n",
                 layout.dataTagOffset + 4);
    std::fprintf(streams.out, "Wave data length: %" PRIu32 " bytes\n", layout.declaredLength);
    return kContinue;
}

int openOutput(Conversion& c, Job& job, const DravikStreams& streams) {
    if (OpenOutputFile(c.output, job.output)) return kContinue;
    if (job.mayFallBack) {
        // As the program always did: a -o file that can't be made gives way to the default.
        std::fprintf(streams.err, "Error opening %s.\n", job.output.c_str());
        job.output = streams.defaultOutputPath;
        job.defaultOutput = true;
        if (OpenOutputFile(c.output, job.output)) return kContinue;
    }
    if (job.defaultOutput)
        std::fprintf(streams.err, "Error opening %s.\n", job.output.c_str());
    else
        std::fprintf(streams.err, "Error opening %s: %s.\n", job.output.c_str(),
                     std::strerror(c.output.error));
    return kExitUsage;
}

int convert(Job& job, const Options& options, const DravikStreams& streams) {
    InputReader reader;
    AttachInputReader(reader, job.input->file.get());
    const uint64_t fileSize = knownSize(job.input->file.get());
    WavLayout layout;
    const int headerResult = readHeader(reader, fileSize, layout, options, streams);
    if (headerResult != kContinue) return headerResult;

    Conversion c;
    c.streams = &streams;
    c.options = &options;
    const int opened = openOutput(c, job, streams);
    if (opened != kContinue) return opened;
    if (job.defaultOutput)
        for (int i = 0; i < kDefaultLeadInBytes; i++)
            std::fputc(0x00, c.output.file);

    DecoderSettings settings;
    settings.format = layout.format;
    settings.channel = uint16_t(options.channel - 1);
    settings.frontEnd = options.frontEnd;
    settings.pulseReports = options.verbose ? streams.err : nullptr;
    settings.events.putByte = putOutputByte;
    settings.events.block = onBlock;
    settings.events.context = &c;
    DecoderState state;
    ResetDecoder(state, settings, layout.dataOffset);
    DecodeFrames(state, settings, reader, layout.declaredEnd);
    const uint64_t at = ReaderPosition(reader);
    if (layout.declaredEnd != UINT64_MAX && at <= layout.declaredEnd &&
        !DataEndsAtDeclaredLength(reader, fileSize, size_t(layout.declaredEnd - at)))
        DecodeFrames(state, settings, reader, UINT64_MAX); // the length understated the samples
    FinishDecoder(state, settings);

    if (state.unpairedShorts > 0 && !options.verbose)
        std::fprintf(streams.err, "Short pulse with no pair: %" PRIu64 " times (-v lists them).\n",
                     state.unpairedShorts);
    const BlockFramer& framer = state.framer;
    if (framer.blocks == 0) {
        DiscardOutputFile(c.output);
        std::fprintf(streams.out, "0 blocks, 0 bad.\n");
        std::fprintf(streams.err, "No tape block found in %s. Exiting...\n",
                     job.input->name.c_str());
        return kExitNoBlock;
    }
    if (!CommitOutputFile(c.output)) {
        std::fprintf(streams.err, "Error writing %s: %s.\n", job.output.c_str(),
                     std::strerror(c.output.error));
        return kExitUsage;
    }
    std::fprintf(streams.out, "%" PRIu32 " bytes written.\n", c.bytesWritten);
    std::fprintf(streams.out, "%u blocks, %u bad.\n", unsigned(framer.blocks),
                 unsigned(framer.badBlocks));
    return kExitConverted;
}

// Decides where each input goes; returns kContinue or the exit code.
int planJobs(Options& options, std::vector<Job>& jobs, const DravikStreams& streams) {
    const bool several = options.inputs.size() > 1;
    const bool intoFolder = options.outputGiven && IsFolder(options.output);
    if (several && options.outputGiven && !intoFolder) {
        std::fprintf(streams.err, "With several input files, -o must name a folder: %s.\n",
                     options.output.c_str());
        return kExitBadNumber;
    }
    for (Input& input : options.inputs) {
        Job job;
        job.input = &input;
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
            if (jobs[a].output == jobs[b].output) {
                std::fprintf(streams.err, "%s and %s would both be written to %s. Exiting...\n",
                             jobs[b].input->name.c_str(), jobs[a].input->name.c_str(),
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

    std::vector<Job> jobs;
    const int planned = planJobs(options, jobs, streams);
    if (planned != kContinue) return planned;

    int result = kExitConverted;
    for (Job& job : jobs) {
        if (jobs.size() > 1) std::fprintf(streams.out, "%s:\n", job.input->name.c_str());
        const int code = convert(job, options, streams);
        if (code != kExitConverted && result == kExitConverted) result = code;
    }
    return result;
}
