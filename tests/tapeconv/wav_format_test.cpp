// The WAV files recorders and editors write: chunks in any order, comments,
// extensible headers, every integer and float width, any channel count, and
// two recordings joined into one file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dravik.h"
#include "dravik_runner.h"
#include "tests/support/tape_signal.h"
#include "wav_format.h"

namespace {

using tapesignal::SampleFormat;

std::vector<std::vector<uint8_t>> program(const std::string& name, int lines) {
    return tapesignal::ProgramBlocks(name, tapesignal::SampleProgram(lines));
}

// What Dravik writes for blocks recorded by the machine in one go: the
// blocks, and after the last one the 15 whole zero bytes of the tail.
std::vector<uint8_t> imageOf(const std::vector<std::vector<uint8_t>>& blocks, int firstLeadIn = 0,
                             bool tail = true) {
    std::vector<uint8_t> atp;
    int leadIn = firstLeadIn;
    for (const auto& data : blocks) {
        atp.insert(atp.end(), size_t(leadIn), 0x00);
        leadIn = 16;
        const std::vector<uint8_t> body = tapesignal::BlockBody(data);
        atp.insert(atp.end(), body.begin(), body.end());
    }
    if (tail)
        atp.insert(atp.end(), size_t(tapesignal::HeardTailBytes(tapesignal::Record(blocks))), 0x00);
    return atp;
}

std::vector<float> samplesOf(const std::vector<std::vector<uint8_t>>& blocks, uint32_t rate) {
    return tapesignal::Digitise(tapesignal::Record(blocks), rate);
}

struct Converted {
    RunOutcome run;
    std::vector<uint8_t> atp;
};

Converted convert(const std::vector<uint8_t>& wav, std::vector<std::string> extra = {}) {
    ScratchDir dir;
    WriteFile(dir.path("in.wav"), wav);
    std::vector<std::string> args = {"-i", dir.path("in.wav"), "-o", dir.path("out.atp")};
    args.insert(args.end(), extra.begin(), extra.end());
    Converted c;
    c.run = RunInProcess(args, dir.path("outfile.atp"));
    c.atp = ReadFile(dir.path("out.atp"));
    return c;
}

// Inserts a chunk before the "fmt " chunk (at offset 12) and fixes the RIFF size.
std::vector<uint8_t> withChunkAt(std::vector<uint8_t> wav, size_t at, const std::string& id,
                                 const std::vector<uint8_t>& content) {
    std::vector<uint8_t> chunk(id.begin(), id.end());
    tapesignal::Put32(chunk, uint32_t(content.size()));
    chunk.insert(chunk.end(), content.begin(), content.end());
    if (content.size() & 1) chunk.push_back(0);
    wav.insert(wav.begin() + long(at), chunk.begin(), chunk.end());
    const uint32_t riff = uint32_t(wav.size() - 8);
    for (int i = 0; i < 4; i++)
        wav[4 + size_t(i)] = uint8_t(riff >> (8 * i));
    return wav;
}

std::vector<uint8_t> text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

} // namespace

TEST(WavFormats, EveryWidthAndChannelLayout) {
    const auto blocks = program("FORMATS", 12);
    const std::vector<float> samples = samplesOf(blocks, 44100);
    struct Case {
        SampleFormat format;
        uint16_t channels, signal;
        bool extensible;
    };
    for (const Case& c :
         {Case{SampleFormat::U8, 1, 0, false}, Case{SampleFormat::S16, 2, 0, false},
          Case{SampleFormat::S24, 1, 0, false}, Case{SampleFormat::S32, 1, 0, true},
          Case{SampleFormat::F32, 6, 0, false}, Case{SampleFormat::F64, 1, 0, true},
          Case{SampleFormat::S16, 2, 1, true}, Case{SampleFormat::F32, 3, 2, false}}) {
        tapesignal::WavShape shape;
        shape.format = c.format;
        shape.channels = c.channels;
        shape.signalChannel = c.signal;
        shape.extensible = c.extensible;
        std::vector<std::string> extra;
        if (c.signal > 0) extra = {"-C", std::to_string(c.signal + 1)};
        const Converted out = convert(tapesignal::WavFile(samples, shape), extra);
        SCOPED_TRACE(std::string(tapesignal::NameOf(c.format)) + " channels " +
                     std::to_string(c.channels) + " signal on " + std::to_string(c.signal));
        EXPECT_EQ(out.run.exitCode, kExitConverted) << out.run.err;
        EXPECT_EQ(out.atp, imageOf(blocks));
        EXPECT_NE(out.run.out.find("Number of bits per sample: " +
                                   std::to_string(tapesignal::BitsOf(c.format))),
                  std::string::npos);
    }
}

TEST(WavFormats, FormatsThatCantBeDecodedAreRefused) {
    // More than a second of samples: a frame wider than the reader's buffer
    // used to send the end-of-data check far past it (exit 139).
    const std::vector<float> samples(600000, 0.0f);
    const std::vector<uint8_t> wav = tapesignal::WavFile(samples, {});
    struct Field {
        size_t offset;
        uint16_t value;
    };
    struct Patch {
        std::vector<Field> fields;
        const char* described;
    };
    for (const Patch& p : {Patch{{{20, 2}}, "format tag 0002h, 16 bits per sample"}, // ADPCM
                           Patch{{{20, 7}}, "format tag 0007h"},                     // mu-law
                           Patch{{{34, 12}}, "12-bit integer PCM"},                  // odd width
                           Patch{{{20, 3}}, "16-bit float"},                         // half float
                           Patch{{{22, 32769}}, "16-bit integer PCM, 32769 channels"},
                           Patch{{{22, 32768}, {34, 24}}, "24-bit integer PCM, 32768 channels"},
                           Patch{{{22, 8193}}, "16-bit integer PCM, 8193 channels"}}) {
        std::vector<uint8_t> bad = wav;
        for (const Field& f : p.fields) {
            bad[f.offset] = uint8_t(f.value);
            bad[f.offset + 1] = uint8_t(f.value >> 8);
        }
        const Converted out = convert(bad);
        EXPECT_EQ(out.run.exitCode, kExitUnsupportedFormat) << p.described;
        EXPECT_NE(out.run.err.find(std::string("Unsupported WAV format: ") + p.described),
                  std::string::npos)
            << out.run.err;
        EXPECT_TRUE(out.atp.empty());
    }
    // The widest frame still read: 8,192 channels of 16 bits.
    std::vector<uint8_t> widest = wav;
    widest[22] = 0x00;
    widest[23] = 0x20;
    const Converted out = convert(widest);
    EXPECT_EQ(out.run.exitCode, kExitNoBlock) << out.run.err;
}

TEST(WavChunks, WalkSkipsCommentsThatMentionData) {
    const auto blocks = program("CHUNKS", 6);
    const std::vector<uint8_t> wav = tapesignal::WavFile(samplesOf(blocks, 22050), {22050});
    // A LIST chunk whose comment holds the word "data" and a plausible length,
    // before "fmt " and before "data".
    std::vector<uint8_t> comment = text("INFOICMT");
    tapesignal::Put32(comment, 20);
    const std::vector<uint8_t> words = text("data\x08\0\0\0recorded 1983");
    comment.insert(comment.end(), words.begin(), words.end());
    for (size_t at : {size_t(12), size_t(36)}) {
        const Converted out = convert(withChunkAt(wav, at, "LIST", comment));
        EXPECT_EQ(out.run.exitCode, kExitConverted) << out.run.err;
        EXPECT_EQ(out.atp, imageOf(blocks));
        EXPECT_NE(out.run.out.find("Number of samples per sec: 22050\n"), std::string::npos);
    }
}

TEST(WavChunks, BrokenHeaderFallsBackToASearchThatCommentsDontFool) {
    const auto blocks = program("BROKEN", 6);
    std::vector<uint8_t> wav = tapesignal::WavFile(samplesOf(blocks, 22050), {22050});
    // A chunk with an impossible size after "fmt " breaks the walk; the search
    // from there passes over a comment with "data" and a length that can't fit.
    std::vector<uint8_t> comment = text("a data tape, side A");
    wav = withChunkAt(wav, 36, "note", comment);
    wav = withChunkAt(wav, 36, "junk", {});
    wav[36 + 4] = 0xFF;
    wav[36 + 7] = 0x7F; // size 7F0000FFh
    const Converted out = convert(wav);
    EXPECT_EQ(out.run.exitCode, kExitConverted) << out.run.err;
    EXPECT_EQ(out.atp, imageOf(blocks));
    const size_t dataAt = 36 + 8 + 8 + comment.size() + 1;
    EXPECT_NE(
        out.run.out.find("Wave data chunk found at offset: " + std::to_string(dataAt + 4) + ".\n"),
        std::string::npos)
        << out.run.out;
}

TEST(WavChunks, SamplesEndWhereTheDataChunkDoesUnlessItsLengthIsShort) {
    const auto blocks = program("TRAIL", 6);
    const auto second = program("OTHER", 3);
    const std::vector<uint8_t> wav = tapesignal::WavFile(samplesOf(blocks, 22050), {22050});
    // A chunk after the data holding what would decode as another recording.
    const std::vector<uint8_t> other = tapesignal::WavFile(samplesOf(second, 22050), {22050});
    std::vector<uint8_t> trailing = wav;
    trailing.insert(trailing.end(), {'i', 'd', '3', ' '});
    tapesignal::Put32(trailing, uint32_t(other.size() - 44));
    trailing.insert(trailing.end(), other.begin() + 44, other.end());
    Converted out = convert(trailing);
    EXPECT_EQ(out.atp, imageOf(blocks)) << "the chunk after the data is not read as samples";

    // A length written as 0 by a recorder that never finished the file, or one
    // that understates the samples: they run to the end of the file.
    std::vector<uint8_t> unfinished = wav;
    for (int i = 0; i < 4; i++)
        unfinished[40 + size_t(i)] = 0;
    out = convert(unfinished);
    EXPECT_EQ(out.atp, imageOf(blocks));
    std::vector<uint8_t> understated = wav;
    understated[41] = 0x01; // 256 + whatever was in the low byte
    understated[42] = understated[43] = 0;
    out = convert(understated);
    EXPECT_EQ(out.atp, imageOf(blocks));
}

// As `sox a.wav b.wav ab.wav` joins them: the samples of one after the other.
std::vector<float> joinedSamples(const std::vector<std::vector<std::vector<uint8_t>>>& programs) {
    std::vector<float> joined;
    for (const auto& blocks : programs) {
        const std::vector<float> more = samplesOf(blocks, 44100);
        joined.insert(joined.end(), more.begin(), more.end());
    }
    return joined;
}

TEST(WavJoined, EveryProgramOnTheTapeGetsAnImageNamedFromIt) {
    const auto first = program("FIRST", 15);
    const auto second = program("SECOND", 30);
    ScratchDir dir;
    WriteFile(dir.path("in.wav"), tapesignal::WavFile(joinedSamples({first, second}), {}));
    RunOutcome r = RunInProcess({"-v", "-i", dir.path("in.wav"), "-o", dir.path("out.atp")},
                                dir.path("outfile.atp"));
    EXPECT_EQ(r.exitCode, kExitConverted) << r.err;
    // The first program where the user asked; its tail ran into the second's
    // lead-in. The second on its own, starting at its first sync byte as an
    // -o image does, with its tail.
    EXPECT_EQ(ReadFile(dir.path("out.atp")), imageOf(first, 0, false));
    EXPECT_EQ(ReadFile(dir.path("out-SECOND.atp")), imageOf(second, 0));
    EXPECT_NE(r.out.find("Block 1: header FIRST.BAS, OK.\n"), std::string::npos);
    EXPECT_NE(r.out.find(": data 2 of SECOND.BAS, OK.\n"), std::string::npos);
    EXPECT_NE(r.out.find(std::to_string(first.size() + second.size()) + " blocks, 0 bad.\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("2 programs on the tape, an image for each:\nImage written to " +
                         dir.path("out.atp") + " (FIRST.BAS).\nImage written to " +
                         dir.path("out-SECOND.atp") + " (SECOND.BAS).\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.err, "");

    // The default image: each begins with the 32 zero bytes; a name heard
    // twice gets a number rather than replacing its namesake.
    WriteFile(dir.path("in.wav"), tapesignal::WavFile(joinedSamples({first, second, second}), {}));
    r = RunInProcess({"-i", dir.path("in.wav")}, dir.path("outfile.atp"));
    EXPECT_EQ(r.exitCode, kExitConverted) << r.err;
    auto withZeros = [](const std::vector<uint8_t>& image) {
        std::vector<uint8_t> bytes(32, 0x00);
        bytes.insert(bytes.end(), image.begin(), image.end());
        return bytes;
    };
    EXPECT_EQ(ReadFile(dir.path("outfile.atp")), withZeros(imageOf(first, 0, false)));
    EXPECT_EQ(ReadFile(dir.path("outfile-SECOND.atp")), withZeros(imageOf(second, 0, false)));
    EXPECT_EQ(ReadFile(dir.path("outfile-SECOND-2.atp")), withZeros(imageOf(second, 0)));

    // A later image that can't be made fails the run; the programs before it
    // are in place and named, no temporary file is left.
    std::filesystem::create_directory(dir.path("keep-SECOND.atp"));
    WriteFile(dir.path("keep.atp"), {'K', 'E', 'E', 'P'});
    r = RunInProcess({"-i", dir.path("in.wav"), "-o", dir.path("keep.atp")},
                     dir.path("outfile.atp"));
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_NE(r.err.find("Error opening " + dir.path("keep-SECOND.atp") + ": Is a directory.\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile(dir.path("keep.atp")), imageOf(first, 0, false));
    EXPECT_NE(r.out.find("Image written to " + dir.path("keep.atp") + " (FIRST.BAS).\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("bytes written"), std::string::npos) << r.out;
    for (const auto& entry : std::filesystem::directory_iterator(dir.root()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << "left behind: " << entry.path();

    // An output that is no file (a device, here through a link) takes every
    // program as it comes.
    std::filesystem::create_symlink("/dev/null", dir.path("sink.atp"));
    r = RunInProcess({"-i", dir.path("in.wav"), "-o", dir.path("sink.atp")},
                     dir.path("outfile.atp"));
    EXPECT_EQ(r.exitCode, kExitConverted) << r.err;
    EXPECT_FALSE(FileExists(dir.path("sink-SECOND.atp")));
    EXPECT_NE(r.out.find("Image written to " + dir.path("sink.atp") + ".\n"), std::string::npos)
        << r.out;
}

TEST(WavJoined, BlockCutByAStopIsReportedAndTheNextOneRead) {
    // The tape stopped for a second in the middle of a data block.
    const auto blocks = program("STOP", 12);
    tapesignal::Recording rec = tapesignal::Record(blocks);
    const double cut = rec.blockStarts[1] + (16 + 4 + 100) * 8 * tapesignal::kBitSeconds;
    std::vector<double> edges;
    for (double e : rec.edges)
        edges.push_back(e < cut ? e : e + 1.0);
    rec.edges = edges;
    for (double& start : rec.blockStarts)
        if (start > cut) start += 1.0;
    rec.length += 1.0;
    const Converted out = convert(tapesignal::WavFile(tapesignal::Digitise(rec, 44100), {}));
    EXPECT_EQ(out.run.exitCode, kExitConverted);
    EXPECT_NE(out.run.err.find("Warning: block 2 (data 0 of STOP.BAS): cut short after"),
              std::string::npos)
        << out.run.err;
    EXPECT_NE(out.run.out.find(std::to_string(blocks.size()) + " blocks, 1 bad.\n"),
              std::string::npos)
        << out.run.out;
}

TEST(WavDamaged, BlockCutShortKeepsItsLengthSoTheNextBlocksLieWhereTheyBelong) {
    // A 20 ms dropout 98 bytes into the second data block: the block is cut
    // short there, and every block after it must still be found in the image.
    const auto blocks = program("DROP", 40);
    ASSERT_GE(blocks.size(), 4u);
    const tapesignal::Recording rec = tapesignal::Record(blocks);
    std::vector<float> samples = samplesOf(blocks, 44100);
    const double at = rec.blockStarts[2] + (16 + 4 + 98) * 8 * tapesignal::kBitSeconds;
    for (size_t n = size_t(at * 44100); n < size_t((at + 0.020) * 44100); n++)
        samples[n] = 0;
    const Converted out = convert(tapesignal::WavFile(samples, {}));
    EXPECT_EQ(out.run.exitCode, kExitConverted);
    EXPECT_NE(out.run.err.find("Warning: block 3 (data 1 of DROP.BAS): cut short after"),
              std::string::npos)
        << out.run.err;
    EXPECT_NE(out.run.out.find(std::to_string(blocks.size()) + " blocks, 1 bad.\n"),
              std::string::npos)
        << out.run.out;

    const std::vector<uint8_t> clean = imageOf(blocks);
    ASSERT_EQ(out.atp.size(), clean.size());
    const size_t damagedStart = 263 + 16 + 263 + 16; // header, data 0, then data 1's lead-in
    const size_t damagedEnd = damagedStart + 263;
    EXPECT_TRUE(std::equal(clean.begin(), clean.begin() + long(damagedStart), out.atp.begin()));
    EXPECT_TRUE(std::equal(clean.begin() + long(damagedEnd), clean.end(),
                           out.atp.begin() + long(damagedEnd)))
        << "the blocks after the damaged one moved";
    // The padded block is whole in form, and its checksum marks it bad.
    const uint8_t* block = out.atp.data() + damagedStart;
    EXPECT_EQ(block[260], 0x03);
    uint16_t sum = 0x03;
    for (int i = 4; i < 260; i++)
        sum = uint16_t(sum + block[i]);
    EXPECT_NE(block[261] | block[262] << 8, sum);
}
