// Dravik's run: options acted on in the order given, then the header, then the
// decoding pass that writes the ATP image (see dravik.h).
#include "dravik.h"

#include <cinttypes>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "input_reader.h"
#include "option_scanner.h"
#include "tape_decoder.h"
#include "wav_header.h"

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

// The ATP output: the -o file, or the default file created at the first byte.
struct AtpOutput {
    const DravikStreams* streams = nullptr;
    FileHandle file;
    std::string path;
    bool defaultFailed = false;
};

void putOutputByte(void* context, uint8_t byte) {
    auto& output = *static_cast<AtpOutput*>(context);
    if (!output.file) {
        if (output.defaultFailed) return;
        output.path = output.streams->defaultOutputPath;
        output.file.reset(std::fopen(output.path.c_str(), "wb"));
        if (!output.file) {
            std::fprintf(output.streams->err, "Error opening %s.\n", output.path.c_str());
            output.defaultFailed = true;
            return;
        }
        for (int i = 0; i < kDefaultLeadInBytes; i++)
            std::fputc(0x00, output.file.get());
    }
    std::fputc(byte, output.file.get());
}

// Reads an option value the way "%i" does: optional sign, then decimal, octal
// (leading 0) or hexadecimal (leading 0x); trailing text is ignored.
bool parseNumber(const char* text, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 0);
    if (end == text) return false;
    value = parsed > INT_MAX ? INT_MAX : parsed < INT_MIN ? INT_MIN : int(parsed);
    return true;
}

struct Options {
    FileHandle input;
    uint16_t invertMask = 0;
    int forcedSampleRate = 0; // accepted, but the header's rate always wins
};

constexpr int kContinue = -1;

// Acts on one option; returns kContinue or the exit code that ends the run.
int actOnOption(char letter, const char* value, Options& options, AtpOutput& output,
                const DravikStreams& streams) {
    int number = 0;
    switch (letter) {
    case 'i':
        options.input.reset(std::fopen(value, "rb"));
        if (!options.input) {
            std::fprintf(streams.err, "Error opening %s.\n", value);
            return kExitInputNotOpened;
        }
        return kContinue;
    case 'o':
        output.file.reset(std::fopen(value, "wb"));
        output.path = value;
        if (!output.file) std::fprintf(streams.err, "Error opening %s.\n", value);
        return kContinue;
    case 'r': options.invertMask = 0xFFFF; return kContinue;
    case 'g':
        if (!parseNumber(value, number)) {
            std::fprintf(streams.err, "Error parsing argument for '-g'.\n");
            return kExitBadNumber;
        }
        if (number >= 1 && number <= 7) {
            std::fprintf(streams.out, "Gain set to %i dB.\n", number);
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
        options.forcedSampleRate = number;
        return kContinue;
    case 'h':
    case '?': PrintUsage(streams.err); return kExitUsage;
    default: return kContinue; // -c, -f, -m, -v are accepted and change nothing
    }
}

// Reads the header with its console lines; returns kContinue with the reader
// at the first sample, or the exit code that ends the run.
int readHeader(InputReader& reader, WavHeader& header, const DravikStreams& streams) {
    if (ReadWavHeader(reader, header) != HeaderStatus::Ok) {
        std::fprintf(streams.err, "This is not a valid WAV file. Exiting...\n");
        return kExitNotWav;
    }
    std::fprintf(streams.out, "Number of channels: %i\n", int(header.channels));
    std::fprintf(streams.out, "Number of samples per sec: %" PRIu32 "\n", header.sampleRate);
    std::fprintf(streams.out, "Number of bits per sample: %i\n", int(header.bitsPerSample));
    if (!HeaderIsDecodable(header)) {
        std::fprintf(streams.err,
                     "Unsupported WAV format: %i bits per sample at %" PRIu32
                     " samples per sec (8 or 16 bits and a sample rate above 0 are needed). "
                     "Exiting...\n",
                     int(header.bitsPerSample), header.sampleRate);
        return kExitUnsupportedFormat;
    }
    std::fprintf(streams.out, "Usec per sample: %" PRIu32 "\n.", MicrosecondsPerSample(header));

    if (!FindDataChunk(reader, streams.out)) {
        std::fprintf(streams.err, "Wave data chunk not found. Exiting...\n");
        return kExitNoDataChunk;
    }
    std::fprintf(streams.out, "\n");
    std::fprintf(streams.out, "Wave data chunk found at offset: %" PRIu64 ".\n",
                 ReaderPosition(reader));
    const uint32_t length = ReadChunkLength(reader);
    std::fprintf(streams.out, "Wave data length: %" PRIu32 " bytes\n", length);
    return kContinue;
}

// Closes the output; returns 0 if anything written to it was lost.
bool finishOutput(AtpOutput& output, uint32_t bytesWritten, const DravikStreams& streams) {
    if (!output.file) return !output.defaultFailed;
    std::fprintf(streams.out, "%" PRIu32 " bytes written.\n", bytesWritten);
    const bool writeFailed = std::ferror(output.file.get()) != 0;
    const bool closeFailed = std::fclose(output.file.release()) != 0;
    if (writeFailed || closeFailed) {
        std::fprintf(streams.err, "Error writing %s.\n", output.path.c_str());
        return false;
    }
    return true;
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
    AtpOutput output;
    output.streams = &streams;
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
        const int exitCode = actOnOption(scanner.letter, scanner.value, options, output, streams);
        if (exitCode != kContinue) return exitCode;
    }

    if (!options.input) {
        // Nothing can be converted without an input; that is an I/O failure.
        std::fprintf(streams.err, "Could not open input file.\n");
        return kExitUsage;
    }

    InputReader reader;
    AttachInputReader(reader, options.input.get());
    WavHeader header;
    const int headerResult = readHeader(reader, header, streams);
    if (headerResult != kContinue) return headerResult;

    DecoderState state;
    ResetDecoder(state, header, ReaderPosition(reader));
    DecoderSettings settings;
    settings.format = header;
    settings.invertMask = options.invertMask;
    settings.diagnostics = streams.err;
    settings.sink.put = putOutputByte;
    settings.sink.context = &output;
    DecodeToEnd(state, settings, reader);

    return finishOutput(output, state.bytesWritten, streams) ? kExitConverted : kExitUsage;
}
