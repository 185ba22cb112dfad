// The built dravik executable: exit codes reach the shell, console lines and
// error reports go to their own streams, and the default output lands in the
// current folder; and its manual page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cassette_wav.h"
#include "dravik.h"
#include "dravik_runner.h"

namespace {

std::vector<uint8_t> recordingOf(const std::vector<uint8_t>& bytes) {
    cassette::Signal signal = cassette::MakeSignal(44100);
    signal.bytes(bytes);
    signal.closingEdge();
    return cassette::RenderWav(signal, cassette::WavFormat{44100, 16, 2, false, 0});
}

} // namespace

TEST(DravikExecutable, ExitCodesAndStreams) {
    ScratchDir dir;
    RunOutcome r = RunExecutable({}, dir.root().string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("\nDravik v1.0\nLuxor ABC80 PCM WAV to ATP tape image converter.\n", 0),
              0u);
    EXPECT_EQ(r.out, "");

    r = RunExecutable({"-x"}, dir.root().string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind(std::string(DRAVIK_EXECUTABLE) + ": illegal option -- x\n", 0), 0u)
        << "the program's own name starts the report";

    r = RunExecutable({"-i", "absent.wav"}, dir.root().string());
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "Error opening absent.wav.\n");

    r = RunExecutable({"-g", "?"}, dir.root().string());
    EXPECT_EQ(r.exitCode, 2);

    WriteFile(dir.path("junk.wav"), {'W', 'A', 'V', 'E'});
    r = RunExecutable({"-i", "junk.wav"}, dir.root().string());
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_EQ(r.err, "This is not a valid WAV file. Exiting...\n");
}

TEST(DravikExecutable, ConvertsIntoTheCurrentFolder) {
    ScratchDir dir;
    std::vector<uint8_t> data(256, 0x41);
    data[0] = 0x00;
    WriteFile(dir.path("tape.wav"),
              recordingOf(cassette::TapeBlock(data, cassette::Checksum(data), 2)));
    const RunOutcome r = RunExecutable({"-v", "-i", "tape.wav"}, dir.root().string());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("Number of channels: 2\n"), std::string::npos);
    EXPECT_NE(r.out.find("Number of bits per sample: 16\n"), std::string::npos);
    EXPECT_NE(r.out.find("Block 1: data 16705, OK.\n263 bytes written.\n1 blocks, 0 bad.\n"),
              std::string::npos)
        << r.out;
    std::vector<uint8_t> expected(32, 0x00);
    const std::vector<uint8_t> block = cassette::TapeBlock(data, cassette::Checksum(data), 0);
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(ReadFile(dir.path("outfile.atp")), expected);
}

// --version in the long form only, with the build's version, wherever it
// stands; -v is still the verbose flag.
TEST(DravikExecutable, VersionLongFormOnly) {
    ScratchDir dir;
    RunOutcome r = RunExecutable({"-i", "absent.wav", "--version"}, dir.root().string());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, std::string("Dravik ") + ORVANE_VERSION + "\n");
    EXPECT_EQ(r.err, "");
    r = RunExecutable({"-v"}, dir.root().string());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out.find(ORVANE_VERSION), std::string::npos);
}

// The manual page has an entry for every option letter the program reads, and
// says "change nothing" only of the letters that do nothing.
TEST(DravikManualPage, EveryOptionHasAnEntryTrueToWhatItDoes) {
    const std::vector<uint8_t> bytes = ReadFile(DRAVIK_MANUAL_PAGE);
    ASSERT_FALSE(bytes.empty());
    const std::string page(bytes.begin(), bytes.end());
    // Each entry: the line after ".TP", then its text up to the next macro line.
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t at = page.find(".TP\n"); at != std::string::npos; at = page.find(".TP\n", at)) {
        at += 4;
        const size_t headEnd = page.find('\n', at);
        const size_t bodyEnd = page.find("\n.", headEnd);
        entries.emplace_back(page.substr(at, headEnd - at),
                             page.substr(headEnd, bodyEnd - headEnd));
    }
    for (const char* p = kOptionString; *p != '\0'; p++) {
        if (*p == ':') continue;
        SCOPED_TRACE(std::string("-") + *p);
        const std::string name = std::string("\\fB\\-") + *p + "\\fR";
        const auto entry = std::find_if(entries.begin(), entries.end(), [&](const auto& e) {
            return e.first.find(name) != std::string::npos;
        });
        ASSERT_NE(entry, entries.end()) << "no entry for the option";
        const bool inert = *p == 'c' || *p == 'm';
        EXPECT_EQ(inert, entry->second.find("change nothing") != std::string::npos)
            << entry->first << entry->second;
    }
}
