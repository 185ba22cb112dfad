// Dravik's command line, console lines, messages and exit codes, run in-process
// with the console streams captured.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cassette_wav.h"
#include "dravik.h"
#include "dravik_runner.h"

namespace {

// A short 8-bit mono recording of one sync byte followed by 0xA5.
std::vector<uint8_t> smallRecording(uint32_t rate = 44100) {
    cassette::Signal signal = cassette::MakeSignal(rate);
    signal.bytes({0x00, 0x16, 0xA5});
    signal.closingEdge();
    return cassette::RenderWav(signal, cassette::WavFormat{rate, 8, 1, false, 0});
}

std::vector<uint8_t> withHeaderField(std::vector<uint8_t> wav, size_t offset, uint32_t value,
                                     int size) {
    for (int i = 0; i < size; i++)
        wav[offset + size_t(i)] = uint8_t(value >> (8 * i));
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
        "\t- 'input-file' needs to be a valid 8 or 16 bit PCM WAV file.\n";
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
    RunOutcome r = run({"-t", "50"});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "dravik: illegal option -- t" + usage());

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

    // A forced rate is overruled by the header: 8000 would make every interval long.
    r = run({"-s", "8000", "-i", input(), "-o", dir.path("s.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(ReadFile(dir.path("s.atp")), (std::vector<uint8_t>{0x16, 0xA5}));
}

TEST_F(DravikProgram, OptionsAreActedOnInOrder) {
    RunOutcome r = run({"-i", dir.path("missing.wav"), "-h"});
    EXPECT_EQ(r.exitCode, kExitInputNotOpened);
    EXPECT_EQ(r.err, "Error opening " + dir.path("missing.wav") + ".\n");

    r = run({"-g", "9", "-s", "x", "-h"});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "Illegal gain value: 9.\nGain must be between 1 and 7.\n"
                     "Error parsing argument for '-s'.\n");

    // Scanning stops at the first non-option argument, so "-t" is never seen.
    WriteFile(input(), smallRecording());
    r = run({"-rvi" + input(), "extra", "-t"});
    EXPECT_EQ(r.exitCode, kExitConverted);
    r = run({"-i", input(), "--", "-t"});
    EXPECT_EQ(r.exitCode, kExitConverted);
    r = run({"-i", input(), "-", "-t"});
    EXPECT_EQ(r.exitCode, kExitConverted);
    // A value may itself look like an option.
    r = RunExecutable({"-i", input(), "-o", "-h"}, dir.root().string());
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(ReadFile(dir.path("-h")), (std::vector<uint8_t>{0x16, 0xA5}));
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
                                 "2 bytes written.\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");
}

TEST_F(DravikProgram, DefaultOutputGetsThirtyTwoZerosFirst) {
    WriteFile(input(), smallRecording());
    RunOutcome r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitConverted);
    std::vector<uint8_t> expected(32, 0x00);
    expected.insert(expected.end(), {0x16, 0xA5});
    EXPECT_EQ(ReadFile(defaultOutput()), expected);

    // A -o file that can't be created falls back to the default file.
    std::filesystem::remove(defaultOutput());
    r = run({"-o", dir.path("no/such/folder.atp"), "-i", input()});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(r.err, "Error opening " + dir.path("no/such/folder.atp") + ".\n");
    EXPECT_EQ(ReadFile(defaultOutput()), expected);

    // The -o file holds the decoded bytes only.
    r = run({"-i", input(), "-o", dir.path("given.atp")});
    EXPECT_EQ(ReadFile(dir.path("given.atp")), (std::vector<uint8_t>{0x16, 0xA5}));
}

TEST_F(DravikProgram, NothingDecodedMakesNoFile) {
    cassette::Signal weak = cassette::MakeSignal(44100);
    weak.bytes({0x00, 0x16, 0xA5});
    cassette::WavFormat format;
    std::vector<uint8_t> wav = cassette::RenderWav(weak, format);
    for (size_t i = 44; i < wav.size(); i++)
        wav[i] = uint8_t(128 + (int(wav[i]) - 128) / 3);
    WriteFile(input(), wav);
    const RunOutcome r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_FALSE(FileExists(defaultOutput()));
    EXPECT_EQ(r.out.find("bytes written"), std::string::npos);
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

    // No "data" anywhere: one dot per offset that holds four bytes.
    std::vector<uint8_t> noData = withHeaderField(wav, 36, 0x61746164 ^ 0x20, 4);
    noData.resize(1000);
    WriteFile(input(), noData);
    r = run({"-i", input()});
    EXPECT_EQ(r.exitCode, kExitNoDataChunk);
    EXPECT_EQ(r.err, "Wave data chunk not found. Exiting...\n");
    EXPECT_NE(r.out.find("Usec per sample: 23\n." + std::string(997, '.')), std::string::npos);
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
    EXPECT_EQ(ReadFile(dir.path("out.atp")), (std::vector<uint8_t>{0x16, 0xA5}));

    // "data" as the last four bytes: nothing follows, nothing is decoded.
    std::vector<uint8_t> tail(wav.begin(), wav.begin() + 44);
    tail.insert(tail.end(), {'d', 'a', 't', 'a'});
    WriteFile(input(), withHeaderField(tail, 36, 0, 4));
    EXPECT_EQ(run({"-i", input()}).exitCode, kExitConverted);
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
                    r.exitCode == kExitNoDataChunk || r.exitCode == kExitUnsupportedFormat)
            << "trial " << trial << " exit " << r.exitCode;
    }
}

TEST_F(DravikProgram, LostOutputIsReportedAsAFailure) {
    WriteFile(input(), smallRecording());
    RunOutcome r = run({"-i", input(), "-o", "/dev/full"});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "Error writing /dev/full.\n");

    r = RunInProcess({"-i", input()}, dir.path("no/such/folder/outfile.atp"));
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "Error opening " + dir.path("no/such/folder/outfile.atp") + ".\n");
}
