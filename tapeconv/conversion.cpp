// One input converted: its header read with the console lines, its output
// opened safely, the recording decoded, the blocks reported and the output
// put in place (see conversion.h).
#include "conversion.h"

#include <sys/stat.h>

#include <cctype>
#include <cinttypes>
#include <cstring>
#include <memory>
#include <vector>

#include "atp_output.h"
#include "input_reader.h"
#include "tape_decoder.h"
#include "wav_format.h"

namespace {

constexpr int kContinue = -1;

// A program after the first on a tape that holds several: its own image,
// beside the first one and named from the program's name on the tape.
struct LaterImage {
    std::string name; // NAME.EXT from its header block
    OutputFile output;
};

// What a block occupies in the image after its lead-in: three sync bytes,
// 02h, 256 data bytes, 03h and the checksum (a block cut short is padded).
constexpr size_t kWrittenBlockBytes = size_t(kSyncBytesWritten) + 1 + kBlockBodyBytes;

struct Conversion {
    const DravikStreams* streams = nullptr;
    const ConversionOptions* options = nullptr;
    const ConversionJob* job = nullptr;
    OutputFile output;
    std::string firstName; // the first program's name on the tape
    std::vector<std::unique_ptr<LaterImage>> later;
    OutputFile* current = nullptr; // where the blocks of the program being read go
    bool programHasBody = false;   // a block other than a header went to `current`
    bool splits = false;           // the output is a file, not a device or pipe
    std::vector<uint8_t> pending;  // the bytes of the block being read, lead-in first
    uint32_t bytesWritten = 0;
    size_t committed = 0; // images in place: the first, then the later ones in turn
    int failure = 0;      // the exit code when an image could not be made
};

void putOutputByte(void* context, uint8_t byte) {
    static_cast<Conversion*>(context)->pending.push_back(byte);
}

void writePending(Conversion& c, size_t from) {
    if (from < c.pending.size())
        std::fwrite(c.pending.data() + from, 1, c.pending.size() - from, c.current->file);
    c.bytesWritten += uint32_t(c.pending.size() - from);
    c.pending.clear();
}

// NAME.EXT as a file name: the name without its extension, every character
// but letters, digits, - and _ replaced by _.
std::string fileNameOf(const std::string& programName, size_t number) {
    std::string stem = programName.substr(0, programName.find('.'));
    for (char& ch : stem)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '-' && ch != '_') ch = '_';
    return stem.empty() ? "program" + std::to_string(number) : stem;
}

// The image for the next program: OUTPUT-NAME.atp beside the first image,
// NAME-2 ... when the tape holds one name twice.
LaterImage* startLaterImage(Conversion& c, const std::string& programName) {
    const std::string& first = c.job->output;
    const size_t slash = first.find_last_of('/');
    const size_t dot = first.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = (hasExtension ? first.substr(0, dot) : first) + "-" +
                             fileNameOf(programName, c.later.size() + 2);
    std::string path = stem + ".atp";
    for (int n = 2;; n++) {
        bool taken = path == first;
        for (const auto& image : c.later)
            taken = taken || image->output.target == path;
        if (!taken) break;
        path = stem + "-" + std::to_string(n) + ".atp";
    }
    auto image = std::make_unique<LaterImage>();
    image->name = programName;
    if (!OpenOutputFile(image->output, path)) {
        std::fprintf(c.streams->err, "Error opening %s: %s.\n", path.c_str(),
                     std::strerror(image->output.error));
        return nullptr;
    }
    c.later.push_back(std::move(image));
    return c.later.back().get();
}

// Sends the block just read, with its lead-in, to its image: a header after a
// program's blocks begins the next program, in an image of its own that
// starts as the first one did.
void placeBlock(Conversion& c, const BlockReport& r) {
    if (c.failure != 0) {
        c.pending.clear();
        return;
    }
    if (r.kind == BlockKind::Header && c.programHasBody && c.splits) {
        // The program before is whole: its image is put in place now, so
        // that only one temporary file is ever open.
        if (!CommitOutputFile(*c.current)) {
            std::fprintf(c.streams->err, "Error writing %s: %s.\n", c.current->target.c_str(),
                         std::strerror(c.current->error));
            c.failure = kExitUsage;
            c.pending.clear();
            return;
        }
        c.committed++;
        LaterImage* image = startLaterImage(c, r.name);
        if (image == nullptr) {
            c.failure = kExitUsage;
            c.pending.clear();
            return;
        }
        c.current = &image->output;
        c.programHasBody = false;
        if (c.job->defaultOutput)
            for (int i = 0; i < kDefaultLeadInBytes; i++)
                std::fputc(0x00, c.current->file);
        const size_t leadIn =
            c.pending.size() > kWrittenBlockBytes ? c.pending.size() - kWrittenBlockBytes : 0;
        writePending(c, leadIn);
        return;
    }
    if (r.kind == BlockKind::Header && c.current == &c.output && c.firstName.empty())
        c.firstName = r.name;
    if (r.kind != BlockKind::Header) c.programHasBody = true;
    writePending(c, 0);
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
    placeBlock(c, r);
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
// `who` begins each refusal: empty for a single input, "name: " for one of
// several, whose console lines are otherwise told apart only on the
// standard output.
int readHeader(InputReader& reader, uint64_t fileSize, WavLayout& layout,
               const ConversionOptions& options, const DravikStreams& streams,
               const std::string& who) {
    const WavStatus status = ReadWavLayout(reader, fileSize, layout);
    if (status == WavStatus::NotWav) {
        std::fprintf(streams.err, "%sThis is not a valid WAV file. Exiting...\n", who.c_str());
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
    // A sample frame must fit the input buffer several times over: the
    // decoder and the end-of-data check look at a frame and the chunk
    // header after it in one piece.
    if (!ResolveEncoding(format) || format.frameBytes() > kMaxFrameBytes) {
        std::fprintf(streams.err,
                     "%sUnsupported WAV format: %s (8, 16, 24 or 32-bit integer or 32 or 64-bit "
                     "float samples, a sample rate above 0 and at most %u bytes per sample "
                     "frame are needed). Exiting...\n",
                     who.c_str(), DescribeFormat(format).c_str(), unsigned(kMaxFrameBytes));
        return kExitUnsupportedFormat;
    }
    if (options.channel > format.channels) {
        std::fprintf(streams.err,
                     "%sChannel %i was asked for, but the recording has %i. Exiting...\n",
                     who.c_str(), options.channel, int(format.channels));
        return kExitBadNumber;
    }
    const uint64_t rate = format.sampleRate;
    std::fprintf(streams.out, "Usec per sample: %" PRIu64 "\n.", (rate / 2 + 1000000) / rate);
    if (status == WavStatus::NoDataChunk) {
        std::fprintf(streams.out, "\n");
        std::fprintf(streams.err, "%sWave data chunk not found. Exiting...\n", who.c_str());
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

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// `path`, or when a file of that name exists, the first of NAME-2.EXT,
// NAME-3.EXT ... that is free.
std::string freeName(const std::string& path) {
    if (!exists(path)) return path;
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string stem = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : "";
    for (int n = 2;; n++) {
        const std::string candidate = stem + "-" + std::to_string(n) + extension;
        if (!exists(candidate)) return candidate;
    }
}

int openOutput(Conversion& c, ConversionJob& job, const DravikStreams& streams) {
    if (OpenOutputFile(c.output, job.output)) return kContinue;
    if (job.mayFallBack) {
        // As the program always did: a -o file that can't be made gives way
        // to the default, but never replaces a default file already there.
        const std::string refused = job.output;
        const int cause = c.output.error;
        job.output = freeName(streams.defaultOutputPath);
        job.defaultOutput = true;
        std::fprintf(streams.err, "Error opening %s: %s. The image goes to %s instead.\n",
                     refused.c_str(), std::strerror(cause), job.output.c_str());
        if (OpenOutputFile(c.output, job.output)) return kContinue;
    }
    if (job.defaultOutput)
        std::fprintf(streams.err, "Error opening %s.\n", job.output.c_str());
    else
        std::fprintf(streams.err, "Error opening %s: %s.\n", job.output.c_str(),
                     std::strerror(c.output.error));
    return kExitUsage;
}

// The whole recording through the decoder, from the first sample: up to the
// declared end, and on when the length understated the samples.
void decodeRecording(DecoderState& state, const DecoderSettings& settings, InputReader& reader,
                     const WavLayout& layout, uint64_t fileSize) {
    ResetDecoder(state, settings, layout.dataOffset);
    DecodeFrames(state, settings, reader, layout.declaredEnd);
    const uint64_t at = ReaderPosition(reader);
    if (layout.declaredEnd != UINT64_MAX && at <= layout.declaredEnd &&
        !DataEndsAtDeclaredLength(reader, fileSize, size_t(layout.declaredEnd - at)))
        DecodeFrames(state, settings, reader, UINT64_MAX);
    FinishDecoder(state, settings);
}

bool backToFirstSample(InputReader& reader, const WavLayout& layout) {
    return RewindReader(reader) && SkipBytes(reader, layout.dataOffset);
}

void discardByte(void*, uint8_t) {}

// The blocks a decoder with `settings` finds in the recording, written nowhere.
uint32_t blocksWith(DecoderSettings settings, InputReader& reader, const WavLayout& layout,
                    uint64_t fileSize) {
    if (!backToFirstSample(reader, layout)) return 0;
    settings.pulseReports = nullptr;
    settings.events = FramerEvents{};
    settings.events.putByte = discardByte;
    DecoderState state;
    decodeRecording(state, settings, reader, layout, fileSize);
    return state.framer.blocks;
}

// The channels tried for a tape signal when the listened one has none: a
// stereo recording made with the lead in the other socket is the usual case.
constexpr uint16_t kChannelsTried = 8;
// Below this swing (a share of full scale) the comparator's floor hides a tape
// signal; the most gain lifts it above.
constexpr double kQuietSwing = 0.03;
constexpr int kMostGainDb = 7;

// Why a recording gave no block, when a second look can tell: the signal is
// on another channel, or too quiet for the comparator. Each names the option
// that reads it, and says whether it does.
void explainNoBlock(const DecoderSettings& listened, InputReader& reader, const WavLayout& layout,
                    uint64_t fileSize, const DravikStreams& streams) {
    const uint16_t channels = listened.format.channels;
    for (uint16_t channel = 0; channel < channels && channel < kChannelsTried; channel++) {
        if (channel == listened.channel) continue;
        DecoderSettings other = listened;
        other.channel = channel;
        const uint32_t blocks = blocksWith(other, reader, layout, fileSize);
        if (blocks > 0) {
            std::fprintf(streams.err, "Channel %u carries a tape signal (%u %s); -C %u reads it.\n",
                         unsigned(channel + 1), unsigned(blocks), blocks == 1 ? "block" : "blocks",
                         unsigned(channel + 1));
            return;
        }
    }
    if (!backToFirstSample(reader, layout)) return;
    const double swing = MeasureSwing(listened, reader, layout.declaredEnd);
    if (swing <= 0 || swing >= kQuietSwing || listened.frontEnd.gainDb >= kMostGainDb) return;
    DecoderSettings louder = listened;
    louder.frontEnd.gainDb = kMostGainDb;
    const uint32_t blocks = blocksWith(louder, reader, layout, fileSize);
    std::fprintf(streams.err, "The level is very low: the signal swings %.1f %% of full scale",
                 swing * 100);
    if (blocks > 0)
        std::fprintf(streams.err, "; -g %d reads it (%u %s).\n", kMostGainDb, unsigned(blocks),
                     blocks == 1 ? "block" : "blocks");
    else
        std::fprintf(streams.err, "; -g %d amplifies it, but no block was found that way either.\n",
                     kMostGainDb);
}

} // namespace

int ConvertRecording(ConversionJob& job, const ConversionOptions& options,
                     const DravikStreams& streams) {
    InputReader reader;
    AttachInputReader(reader, job.input);
    const uint64_t fileSize = knownSize(job.input);
    WavLayout layout;
    const int headerResult = readHeader(reader, fileSize, layout, options, streams,
                                        job.nameInput ? job.inputName + ": " : std::string());
    if (headerResult != kContinue) return headerResult;

    Conversion c;
    c.streams = &streams;
    c.options = &options;
    c.job = &job;
    c.current = &c.output;
    const int opened = openOutput(c, job, streams);
    if (opened != kContinue) return opened;
    c.splits = c.output.viaTemporary;
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
    decodeRecording(state, settings, reader, layout, fileSize);
    if (c.failure == 0) writePending(c, 0); // the tail after the last block

    if (state.unpairedShorts > 0 && !options.verbose)
        std::fprintf(streams.err, "Short pulse with no pair: %" PRIu64 " %s (-v lists them).\n",
                     state.unpairedShorts, state.unpairedShorts == 1 ? "time" : "times");
    const BlockFramer& framer = state.framer;
    if (framer.blocks == 0) {
        DiscardOutputFile(c.output);
        std::fprintf(streams.out, "0 blocks, 0 bad.\n");
        std::fprintf(streams.err, "No tape block found in %s. Exiting...\n", job.inputName.c_str());
        explainNoBlock(settings, reader, layout, fileSize, streams);
        return kExitNoBlock;
    }
    if (c.failure == 0 && !CommitOutputFile(*c.current)) {
        std::fprintf(streams.err, "Error writing %s: %s.\n", c.current->target.c_str(),
                     std::strerror(c.current->error));
        c.failure = kExitUsage;
    } else if (c.failure == 0) {
        c.committed++;
    }
    if (c.failure != 0)
        DiscardOutputFile(*c.current);
    else
        std::fprintf(streams.out, "%" PRIu32 " bytes written.\n", c.bytesWritten);
    std::fprintf(streams.out, "%u blocks, %u bad.\n", unsigned(framer.blocks),
                 unsigned(framer.badBlocks));
    if (c.failure == 0 && c.later.empty()) {
        std::fprintf(streams.out, "Image written to %s.\n", job.output.c_str());
        return kExitConverted;
    }
    // Where every program went; after a failure, the images already in place.
    if (c.failure == 0)
        std::fprintf(streams.out, "%zu programs on the tape, an image for each:\n",
                     c.later.size() + 1);
    for (size_t i = 0; i < c.committed; i++) {
        const bool first = i == 0;
        const std::string& path = first ? job.output : c.later[i - 1]->output.target;
        const std::string& name = first ? c.firstName : c.later[i - 1]->name;
        std::fprintf(streams.out, "Image written to %s (%s).\n", path.c_str(),
                     name.empty() ? "no name" : name.c_str());
    }
    return c.failure != 0 ? c.failure : kExitConverted;
}
