// Dravik's command line, console lines, messages and exit codes, run in-process
// with the console streams captured.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cassette_wav.h"
#include "dravik.h"
#include "dravik_runner.h"

namespace {

std::vector<uint8_t> blockData() {
    std::vector<uint8_t> data(256);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = uint8_t(i * 5 + 1);
    return data;
}

// The bytes of one tape block from its first sync byte: what Dravik writes.
std::vector<uint8_t> oneBlock() {
    return cassette::TapeBlock(blockData(), cassette::Checksum(blockData()), 0);
}

// A short 8-bit mono recording of one tape block after two lead-in bytes.
std::vector<uint8_t> smallRecording(uint32_t rate = 44100) {
    cassette::Signal signal = cassette::MakeSignal(rate);
    signal.bytes(cassette::TapeBlock(blockData(), cassette::Checksum(blockData()), 2));
    signal.closingEdge();
    return cassette::RenderWav(signal, cassette::WavFormat{rate, 8, 1, false, 0});
}

std::vector<uint8_t> withHeaderField(std::vector<uint8_t> wav, size_t offset, uint32_t value,
                                     int size) {
    for (int i = 0; i < size; i++)
        wav.at(offset + size_t(i)) = uint8_t(value >> (8 * i));
    return wav;
}

class DravikProgram : public ::testing::Test {
  protected:
    ScratchDir dir;
    std::string input() const { return dir.path("in.wav"); }
    std::string defaultOutput() const { return dir.path("outfile.atp"); }
    RunOutcome run(const std::vector<std::string>& args) {
        return RunInProcess(args, defaultOutput());
    }
    static std::string usage() {
        std::FILE* f = std::tmpfile();
        PrintUsage(f);
        std::rewind(f);
        std::string text;
        for (int c; (c = std::fgetc(f)) != EOF;)
            text += char(c);
        std::fclose(f);
        return text;
    }
};

} // namespace

TEST_F(DravikProgram, UsageTextIsExact) {
    const std::string expected =
        "\nDravik v1.0\nLuxor ABC80 PCM WAV to ATP tape image converter.\n\n"
        "    Usage:  Dravik [flags] -i input-file -o output-file\n\n"
        "        -f           enable simple HP-LP filtering (50 Hz and 7.5 kHz cutoff)\n"
        "        -g <value>   amplify signal by <value> dB\n"
        "        -h           display this help\n"
        "        -s <value>   force sample rate of <value>\n"
        "        -t <value>   set comparison threshold to <value>% of dynamic range (0..100)\n\n"
        "        -v           verbose screen output\n"
        "    error levels: 0 = no error, 1 = I/O error, 2 = parameter error,\n"
        "                  3 = no conversion required, 4 = out of memory,\n"
        "                  5 = user abort\n\n"
        "\t- 'input-file' needs to be a valid 8 or 16 bit PCM WAV file.\n\n"
        "    Also:   -C <value>   listen to channel <value> (1 = left, 2 = right)\n"
        "            -r           reverse the polarity\n"
        "            Several input files (-i a.wav -i b.wav, or the names after the\n"
        "            flags) are each written to an .atp file beside them, or into the\n"
        "            folder given with -o. 8, 16, 24 and 32-bit integer and 32 and\n"
        "            64-bit float WAV files are read. Exit codes as the program\n"
        "            returns them: 3 = no tape block found, 4 = input not opened,\n"
        "            5 = not a WAV file, 6 = no data chunk, 7 = unsupported format.\n";
    EXPECT_EQ(usage(), expected);
}

TEST_F(DravikProgram, UsageCasesExitWithOne) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"-h"}, {"-?"}, {"-v", "-h", "-i", "never-opened"}}) {
        const RunOutcome r = run(args);
        EXPECT_EQ(r.exitCode, kExitUsage);
        EXPECT_EQ(r.err, usage());
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(DravikProgram, IllegalOptionsAndMissingValues) {
    RunOutcome r = run({"-x", "50"});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "dravik: illegal option -- x" + usage());

    r = run({"-r:"});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "dravik: illegal option -- :" + usage());

    r = run({"-v", "-o"});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "dravik: option requires an argument -- o" + usage());
}

TEST_F(DravikProgram, NoInputIsAnIoFailure) {
    const RunOutcome r = run({"-v", "-c", "-f", "-m"});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "Could not open input file.\n");
    EXPECT_FALSE(FileExists(defaultOutput()));
}

// "-" usually names the standard input; Dravik reads files only, and says
// so rather than taking "-" for a misplaced flag.
TEST_F(DravikProgram, TheStandardInputIsRefusedWithTheUsage) {
    WriteFile(input(), smallRecording());
    const std::string refusal =
        "dravik: - (the standard input) can't be read; name the recording with -i file.\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-o", dir.path("x.atp"), "-"}, {"-i", input(), "-"}}) {
        const RunOutcome r = run(args);
        EXPECT_EQ(r.exitCode, kExitUsage);
        EXPECT_EQ(r.err, refusal + usage());
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(FileExists(dir.path("x.atp")));
    EXPECT_FALSE(FileExists(defaultOutput()));
}

TEST_F(DravikProgram, GainAndSampleRateValues) {
    WriteFile(input(), smallRecording());
    RunOutcome r = run({"-g", "3", "-i", input()});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(r.out.rfind("Gain set to 3 dB.\n", 0), 0u) << r.out;

    r = run({"-g8", "-i", input()});
    EXPECT_EQ(r.exitCode, kExitConverted) << "an illegal gain is reported, not fatal";
    EXPECT_EQ(r.err, "Illegal gain value: 8.\nGain must be between 1 and 7.\n");

    r = run({"-g", "0x7", "-i", input()});
    EXPECT_EQ(r.out.rfind("Gain set to 7 dB.\n", 0), 0u) << "values are read like %i";

    r = run({"-g", "loud", "-i", input()});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "Error parsing argument for '-g'.\n");

    r = run({"-s", "fast"});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "Error parsing argument for '-s'.\n");
    r = run({"-s", "0"});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "Illegal sample rate: 0.\n");

    // A forced rate is used for timing: at 8000 every interval is long, so no block is found.
    r = run({"-s", "8000", "-i", input(), "-o", dir.path("s.atp")});
    EXPECT_EQ(r.exitCode, kExitNoBlock);
    EXPECT_NE(r.out.find("Sample rate forced to 8000.\nUsec per sample: 125\n"), std::string::npos);
    EXPECT_FALSE(FileExists(dir.path("s.atp")));
    // The recording's own rate, forced, changes nothing.
    r = run({"-s", "44100", "-i", input(), "-o", dir.path("s.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(ReadFile(dir.path("s.atp")), oneBlock());
}

TEST_F(DravikProgram, ThresholdChannelAndFilterValues) {
    WriteFile(input(), smallRecording());
    RunOutcome r = run({"-t", "25", "-f", "-i", input(), "-o", dir.path("t.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted) << r.err;
    EXPECT_EQ(ReadFile(dir.path("t.atp")), oneBlock());
    // The recording swings 90 of 128: a threshold above that hears nothing.
    r = run({"-t", "80", "-i", input(), "-o", dir.path("t.atp")});
    EXPECT_EQ(r.exitCode, kExitNoBlock);
    for (const char* bad : {"101", "-1"}) {
        r = run({"-t", bad, "-i", input()});
        EXPECT_EQ(r.exitCode, kExitBadNumber);
        EXPECT_EQ(r.err, std::string("Illegal threshold value: ") + bad +
                             ".\nThreshold must be between 0 and 100.\n");
    }
    r = run({"-t", "half"});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "Error parsing argument for '-t'.\n");

    r = run({"-C", "right", "-i", input()});
    EXPECT_EQ(r.exitCode, kExitBadNumber) << "a mono recording has no right channel";
    EXPECT_EQ(r.err, "Channel 2 was asked for, but the recording has 1. Exiting...\n");
    r = run({"-C", "0", "-i", input()});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    r = run({"-C", "x", "-i", input()});
    EXPECT_EQ(r.err, "Error parsing argument for '-C'.\n");
}

TEST_F(DravikProgram, OptionsAreActedOnInOrder) {
    RunOutcome r = run({"-i", dir.path("missing.wav"), "-h"});
    EXPECT_EQ(r.exitCode, kExitInputNotOpened);
    EXPECT_EQ(r.err, "Error opening " + dir.path("missing.wav") + ".\n");

    r = run({"-g", "9", "-s", "x", "-h"});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "Illegal gain value: 9.\nGain must be between 1 and 7.\n"
                     "Error parsing argument for '-s'.\n");

    // Scanning stops at the first argument that is no flag; what follows names
    // inputs, and a flag among them is refused rather than ignored.
    WriteFile(input(), smallRecording());
    r = run({"-rvi" + input(), "extra", "-t"});
    EXPECT_EQ(r.exitCode, kExitInputNotOpened);
    EXPECT_EQ(r.err, "Error opening extra.\n");
    r = run({"-i", input(), input(), "-t"});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "dravik: -t comes after the input files; flags go first. Exiting...\n");
    // After "--" every argument is a file name.
    r = run({"-i", input(), "--", "-t"});
    EXPECT_EQ(r.exitCode, kExitInputNotOpened);
    EXPECT_EQ(r.err, "Error opening -t.\n");
    // A value may itself look like an option.
    r = RunExecutable({"-i", input(), "-o", "-h"}, dir.root().string());
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(ReadFile(dir.path("-h")), oneBlock());
}

TEST_F(DravikProgram, HeaderConsoleLinesForACanonicalFile) {
    const std::vector<uint8_t> wav = smallRecording();
    WriteFile(input(), wav);
    const RunOutcome r = run({"-i", input(), "-o", dir.path("out.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted);
    const std::string expected = "Number of channels: 1\n"
                                 "Number of samples per sec: 44100\n"
                                 "Number of bits per sample: 8\n"
                                 "Usec per sample: 23\n." +
                                 std::string(36, '.') +
                                 "\nWave data chunk found at offset: 40.\n"
                                 "Wave data length: " +
                                 std::to_string(wav.size() - 44) +
                                 " bytes\n"
                                 "263 bytes written.\n"
                                 "1 blocks, 0 bad.\n"
                                 "Image written to " +
                                 dir.path("out.atp") + ".\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");
}

TEST_F(DravikProgram, DefaultOutputGetsThirtyTwoZerosFirst) {
    WriteFile(input(), smallRecording());
    RunOutcome r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitConverted);
    std::vector<uint8_t> expected(32, 0x00);
    const std::vector<uint8_t> block = oneBlock();
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(ReadFile(defaultOutput()), expected);

    // A -o file that can't be created falls back to the default file.
    std::filesystem::remove(defaultOutput());
    r = run({"-o", dir.path("no/such/folder.atp"), "-i", input()});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(r.err, "Error opening " + dir.path("no/such/folder.atp") +
                         ": No such file or directory. The image goes to " + defaultOutput() +
                         " instead.\n");
    EXPECT_EQ(ReadFile(defaultOutput()), expected);

    // The -o file holds the decoded bytes only.
    r = run({"-i", input(), "-o", dir.path("given.atp")});
    EXPECT_EQ(ReadFile(dir.path("given.atp")), oneBlock());
}

TEST_F(DravikProgram, QuietRecordingDecodesAndSilenceIsNoBlock) {
    // A third of the swing, 30 of 128, never reached the old fixed threshold of 32.
    std::vector<uint8_t> wav = smallRecording();
    for (size_t i = 44; i < wav.size(); i++)
        wav[i] = uint8_t(128 + (int(wav[i]) - 128) / 3);
    WriteFile(input(), wav);
    RunOutcome r = run({"-i", input(), "-o", dir.path("quiet.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted) << r.err;
    EXPECT_EQ(ReadFile(dir.path("quiet.atp")), oneBlock());

    // Silence: no block, its own exit code, no file, and an existing output kept.
    for (size_t i = 44; i < wav.size(); i++)
        wav[i] = 128;
    WriteFile(input(), wav);
    WriteFile(dir.path("keep.atp"), {1, 2, 3});
    r = run({"-i", input(), "-o", dir.path("keep.atp")});
    EXPECT_EQ(r.exitCode, kExitNoBlock);
    EXPECT_EQ(r.err, "No tape block found in " + input() + ". Exiting...\n");
    EXPECT_NE(r.out.find("0 blocks, 0 bad.\n"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.path("keep.atp")), (std::vector<uint8_t>{1, 2, 3}));
    r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitNoBlock);
    EXPECT_FALSE(FileExists(defaultOutput()));
    EXPECT_EQ(r.out.find("bytes written"), std::string::npos);
}

// When no block is found, a second look tells the user what to change: the
// signal on the channel not listened to, or a level the comparator does not
// see. The option named must then read the recording.
TEST_F(DravikProgram, NoBlockNamesTheOptionThatReadsTheRecording) {
    cassette::Signal signal = cassette::MakeSignal(44100);
    signal.bytes(cassette::TapeBlock(blockData(), cassette::Checksum(blockData()), 2));
    signal.closingEdge();
    // 16-bit stereo, the tape on the right: each frame's two samples swapped.
    std::vector<uint8_t> right = cassette::RenderWav(signal, {44100, 16, 2, false, 0});
    for (size_t i = 44; i + 4 <= right.size(); i += 4) {
        std::swap(right[i], right[i + 2]);
        std::swap(right[i + 1], right[i + 3]);
    }
    WriteFile(input(), right);
    RunOutcome r = run({"-i", input(), "-o", dir.path("right.atp")});
    EXPECT_EQ(r.exitCode, kExitNoBlock);
    EXPECT_EQ(r.err, "No tape block found in " + input() +
                         ". Exiting...\nChannel 2 carries a tape signal (1 block); -C 2 reads "
                         "it.\n");
    r = run({"-C", "2", "-i", input(), "-o", dir.path("right.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted) << r.err;
    EXPECT_EQ(ReadFile(dir.path("right.atp")), oneBlock());

    // Neither channel a tape (the left one silenced): no hint at all.
    for (size_t i = 44; i + 4 <= right.size(); i += 4)
        right[i + 2] = right[i + 3] = 0;
    WriteFile(input(), right);
    r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitNoBlock);
    EXPECT_EQ(r.err, "No tape block found in " + input() + ". Exiting...\n");

    // 16-bit mono swinging 400 of 32768 (1.2 %), under the comparator's floor.
    std::vector<uint8_t> quiet = cassette::RenderWav(signal, {44100, 16, 1, false, 0});
    for (size_t i = 44; i + 2 <= quiet.size(); i += 2) {
        const int16_t v = int16_t(quiet[i] | quiet[i + 1] << 8);
        const uint16_t scaled = uint16_t(int16_t(v / 45));
        quiet[i] = uint8_t(scaled);
        quiet[i + 1] = uint8_t(scaled >> 8);
    }
    WriteFile(input(), quiet);
    r = run({"-i", input(), "-o", dir.path("quiet.atp")});
    EXPECT_EQ(r.exitCode, kExitNoBlock);
    EXPECT_NE(r.err.find("The level is very low: the signal swings 1.2 % of full scale; -g 7 "
                         "reads it (1 block).\n"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(FileExists(dir.path("quiet.atp")));
    r = run({"-g", "7", "-i", input(), "-o", dir.path("quiet.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted) << r.err;
    EXPECT_EQ(ReadFile(dir.path("quiet.atp")), oneBlock());

    // Quieter still (0.2 %): even the most gain does not lift it, and the
    // hint says so rather than promising a reading.
    for (size_t i = 44; i + 2 <= quiet.size(); i += 2) {
        const int16_t v = int16_t(quiet[i] | quiet[i + 1] << 8);
        const uint16_t scaled = uint16_t(int16_t(v / 6));
        quiet[i] = uint8_t(scaled);
        quiet[i + 1] = uint8_t(scaled >> 8);
    }
    WriteFile(input(), quiet);
    r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitNoBlock);
    EXPECT_NE(r.err.find("-g 7 amplifies it, but no block was found that way either.\n"),
              std::string::npos)
        << r.err;
}

TEST_F(DravikProgram, InputsThatAreNotUsableRecordings) {
    WriteFile(input(), {'R', 'I', 'F', 'X', 0, 0, 0, 0});
    RunOutcome r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitNotWav);
    EXPECT_EQ(r.err, "This is not a valid WAV file. Exiting...\n");

    std::vector<uint8_t> wav = smallRecording();
    WriteFile(input(), std::vector<uint8_t>(wav.begin(), wav.begin() + 30));
    r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitNotWav) << "a cut-short header is not read past its end";

    WriteFile(input(), {});
    EXPECT_EQ(run({"-i", input()}).exitCode, kExitNotWav);

    // No "data" anywhere: one line, no flood of progress dots.
    std::vector<uint8_t> noData = withHeaderField(wav, 36, 0x61746164 ^ 0x20, 4);
    noData.resize(100000);
    WriteFile(input(), noData);
    r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitNoDataChunk);
    EXPECT_EQ(r.err, "Wave data chunk not found. Exiting...\n");
    EXPECT_EQ(r.out.find(".."), std::string::npos) << r.out.size();
    EXPECT_LT(r.out.size(), 200u);
    EXPECT_FALSE(FileExists(defaultOutput()));
}

TEST_F(DravikProgram, UnsupportedSampleFormatsAreRefused) {
    for (auto [offset, value, size] :
         {std::tuple{34, 4u, 2}, std::tuple{34, 0u, 2}, std::tuple{24, 0u, 4}}) {
        WriteFile(input(), withHeaderField(smallRecording(), size_t(offset), value, size));
        const RunOutcome r = run({"-i", input()});
        EXPECT_EQ(r.exitCode, kExitUnsupportedFormat);
        EXPECT_NE(r.err.find("Unsupported WAV format"), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("Usec per sample"), std::string::npos);
    }
}

TEST_F(DravikProgram, DataChunkIsFoundAnywhereAndReadToTheEnd) {
    // A LIST chunk between "fmt " and "data", and a data length that
    // understates the samples: the samples are read to the end of the file.
    std::vector<uint8_t> wav = smallRecording();
    std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 6, 0, 0, 0, 'I', 'N', 'F', 'O', 'x', 'y'};
    wav.insert(wav.begin() + 36, list.begin(), list.end());
    wav = withHeaderField(wav, 54, 10, 4);
    WriteFile(input(), wav);
    const RunOutcome r = run({"-i", input(), "-o", dir.path("out.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_NE(r.out.find(std::string(50, '.') + "\nWave data chunk found at offset: 54.\n"
                                                "Wave data length: 10 bytes\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(ReadFile(dir.path("out.atp")), oneBlock());

    // "data" as the last four bytes: nothing follows, nothing is decoded.
    std::vector<uint8_t> tail(wav.begin(), wav.begin() + 44);
    tail.insert(tail.end(), {'d', 'a', 't', 'a'});
    WriteFile(input(), withHeaderField(tail, 36, 0, 4));
    EXPECT_EQ(run({"-i", input()}).exitCode, kExitNoBlock);
}

TEST_F(DravikProgram, RandomBytesEndWithAnExitCode) {
    uint32_t seed = 7;
    for (int trial = 0; trial < 20; trial++) {
        std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F'};
        const size_t size = 40 + size_t(trial) * 997;
        while (bytes.size() < size) {
            seed = seed * 1664525u + 1013904223u;
            bytes.push_back(uint8_t(seed >> 24));
        }
        if (trial % 2) bytes.insert(bytes.begin() + long(size / 2), {'d', 'a', 't', 'a'});
        WriteFile(input(), bytes);
        const RunOutcome r = run({"-i", input(), "-o", dir.path("random.atp")});
        EXPECT_TRUE(r.exitCode == kExitConverted || r.exitCode == kExitNotWav ||
                    r.exitCode == kExitNoDataChunk || r.exitCode == kExitUnsupportedFormat ||
                    r.exitCode == kExitNoBlock)
            << "trial " << trial << " exit " << r.exitCode;
    }
}

TEST_F(DravikProgram, LostOutputIsReportedAsAFailure) {
    WriteFile(input(), smallRecording());
    RunOutcome r = run({"-i", input(), "-o", "/dev/full"});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "Error writing /dev/full: No space left on device.\n");

    r = RunInProcess({"-i", input()}, dir.path("no/such/folder/outfile.atp"));
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "Error opening " + dir.path("no/such/folder/outfile.atp") + ".\n");
}
