// Dravik never empties or destroys a file: the output is written to a
// temporary file beside it and renamed over it only after a successful
// conversion; failed runs leave an existing output and every input as they
// were. The failures are real ones: a missing input, an output that is the
// input, a full device, a read-only folder, a file size limit, a signal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "atp_output.h"
#include "cassette_wav.h"
#include "dravik.h"
#include "dravik_runner.h"

namespace {

std::vector<uint8_t> blockData(uint8_t seed) {
    std::vector<uint8_t> data(256);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = uint8_t(seed + i * 3);
    return data;
}

std::vector<uint8_t> recording(uint8_t seed = 1) {
    cassette::Signal signal = cassette::MakeSignal(44100);
    signal.bytes(cassette::TapeBlock(blockData(seed), cassette::Checksum(blockData(seed)), 4));
    signal.closingEdge();
    return cassette::RenderWav(signal, cassette::WavFormat{});
}

std::vector<uint8_t> converted(uint8_t seed = 1) {
    return cassette::TapeBlock(blockData(seed), cassette::Checksum(blockData(seed)), 0);
}

const std::vector<uint8_t> kPrecious = {'K', 'E', 'E', 'P', 0, 1, 2, 3};

class SafeOutput : public ::testing::Test {
  protected:
    ScratchDir dir;
    std::string path(const std::string& name) const { return dir.path(name); }
    RunOutcome run(const std::vector<std::string>& args) {
        return RunInProcess(args, path("outfile.atp"));
    }
    // No temporary file is left in the folder.
    void expectNoLeftovers(const std::string& folder) {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
};

void giveUpRoot() {
    if (geteuid() == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
    }
}

void limitFileSize() {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

TEST_F(SafeOutput, FailedRunsLeaveAnExistingOutputUntouched) {
    WriteFile(path("keep.atp"), kPrecious);
    // Input missing (4), not a WAV file (5), no data chunk (6), no block (3),
    // unsupported format (7): none of them touches keep.atp.
    RunOutcome r = run({"-o", path("keep.atp"), "-i", path("missing.wav")});
    EXPECT_EQ(r.exitCode, kExitInputNotOpened);

    WriteFile(path("text.wav"), std::vector<uint8_t>(100, 'x'));
    r = run({"-o", path("keep.atp"), "-i", path("text.wav")});
    EXPECT_EQ(r.exitCode, kExitNotWav);

    std::vector<uint8_t> wav = recording();
    std::vector<uint8_t> noData = wav;
    noData[36] = 'D';
    WriteFile(path("nodata.wav"), noData);
    r = run({"-o", path("keep.atp"), "-i", path("nodata.wav")});
    EXPECT_EQ(r.exitCode, kExitNoDataChunk);

    std::vector<uint8_t> silent = wav;
    std::fill(silent.begin() + 44, silent.end(), 128);
    WriteFile(path("silent.wav"), silent);
    r = run({"-o", path("keep.atp"), "-i", path("silent.wav")});
    EXPECT_EQ(r.exitCode, kExitNoBlock);

    std::vector<uint8_t> adpcm = wav;
    adpcm[20] = 2;
    WriteFile(path("adpcm.wav"), adpcm);
    r = run({"-o", path("keep.atp"), "-i", path("adpcm.wav")});
    EXPECT_EQ(r.exitCode, kExitUnsupportedFormat);
    EXPECT_NE(r.err.find("Unsupported WAV format: format tag 0002h"), std::string::npos) << r.err;

    EXPECT_EQ(ReadFile(path("keep.atp")), kPrecious);
    expectNoLeftovers(dir.root().string());

    // A successful run replaces it whole.
    WriteFile(path("tape.wav"), wav);
    r = run({"-o", path("keep.atp"), "-i", path("tape.wav")});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(ReadFile(path("keep.atp")), converted());
    expectNoLeftovers(dir.root().string());
}

TEST_F(SafeOutput, OutputThatIsTheInputIsRefused) {
    WriteFile(path("t.wav"), recording());
    const uint64_t before = FileHash(path("t.wav"));
    RunOutcome r = run({"-i", path("t.wav"), "-o", path("t.wav")});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "The output " + path("t.wav") + " is the input file " + path("t.wav") +
                         "; nothing converted. Exiting...\n");
    // Through another name: a hard link, a symbolic link, a path with "./".
    ASSERT_EQ(link(path("t.wav").c_str(), path("hard.atp").c_str()), 0);
    ASSERT_EQ(symlink(path("t.wav").c_str(), path("soft.atp").c_str()), 0);
    for (const std::string& other : {path("hard.atp"), path("soft.atp"), dir.path("./t.wav")}) {
        r = run({"-o", other, "-i", path("t.wav")});
        EXPECT_EQ(r.exitCode, kExitBadNumber) << other;
    }
    // Nor may the default output be the input.
    r = RunInProcess({"-i", path("t.wav")}, path("t.wav"));
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(FileHash(path("t.wav")), before);
    expectNoLeftovers(dir.root().string());
}

TEST_F(SafeOutput, LinkedOutputReplacesTheFileItPointsTo) {
    WriteFile(path("tape.wav"), recording());
    WriteFile(path("real.atp"), kPrecious);
    ASSERT_EQ(symlink(path("real.atp").c_str(), path("link.atp").c_str()), 0);
    const RunOutcome r = run({"-i", path("tape.wav"), "-o", path("link.atp")});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.atp")));
    EXPECT_EQ(ReadFile(path("real.atp")), converted());
}

TEST_F(SafeOutput, FullDeviceIsAReportedFailure) {
    WriteFile(path("tape.wav"), recording());
    const uint64_t before = FileHash(path("tape.wav"));
    const RunOutcome r = run({"-i", path("tape.wav"), "-o", "/dev/full"});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_EQ(r.err, "Error writing /dev/full: No space left on device.\n");
    EXPECT_EQ(r.out.find("bytes written"), std::string::npos) << "no success is claimed";
    EXPECT_EQ(FileHash(path("tape.wav")), before);
}

TEST_F(SafeOutput, FileSizeLimitLeavesTheTargetAsItWas) {
    WriteFile(path("tape.wav"), recording());
    WriteFile(path("keep.atp"), kPrecious);
    const uint64_t before = FileHash(path("tape.wav"));
    const RunOutcome r = RunInChild({"-i", path("tape.wav"), "-o", path("keep.atp")},
                                    path("outfile.atp"), limitFileSize);
    EXPECT_EQ(r.exitCode, kExitUsage) << r.err;
    EXPECT_EQ(r.err, "Error writing " + path("keep.atp") + ": File too large.\n");
    EXPECT_EQ(ReadFile(path("keep.atp")), kPrecious);
    EXPECT_EQ(FileHash(path("tape.wav")), before);
    expectNoLeftovers(dir.root().string());
}

TEST_F(SafeOutput, ReadOnlyFolderIsReportedAndNothingChanges) {
    // The child gives up root, for whom every folder is writable.
    std::filesystem::permissions(dir.root(), std::filesystem::perms(0755));
    std::filesystem::create_directory(path("ro"));
    std::filesystem::create_directory(path("rw"));
    WriteFile(path("a.wav"), recording(1));
    WriteFile(path("b.wav"), recording(2));
    WriteFile(path("ro/a.atp"), kPrecious);
    for (const char* name : {"a.wav", "b.wav", "ro/a.atp"})
        std::filesystem::permissions(path(name), std::filesystem::perms(0644));
    std::filesystem::permissions(path("ro"), std::filesystem::perms(0555));
    std::filesystem::permissions(path("rw"), std::filesystem::perms(0777));

    // Into the read-only folder: each input fails with the cause, the rest go on.
    RunOutcome r = RunInChild({"-o", path("ro"), "-i", path("a.wav"), path("b.wav")},
                              path("rw/outfile.atp"), giveUpRoot);
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_NE(r.err.find("Error opening " + path("ro") + "/a.atp: Permission denied.\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Error opening " + path("ro") + "/b.atp: Permission denied.\n"),
              std::string::npos);
    EXPECT_EQ(ReadFile(path("ro/a.atp")), kPrecious);
    EXPECT_FALSE(FileExists(path("ro/b.atp")));

    // One named file in it: reported, and the bytes go to the default file
    // instead; a default file already there is never replaced, a free name
    // is taken, and the run says where the image went.
    WriteFile(path("rw/outfile.atp"), kPrecious);
    WriteFile(path("rw/outfile-2.atp"), kPrecious);
    r = RunInChild({"-o", path("ro/a.atp"), "-i", path("a.wav")}, path("rw/outfile.atp"),
                   giveUpRoot);
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(r.err, "Error opening " + path("ro/a.atp") +
                         ": Permission denied. The image goes to " + path("rw/outfile-3.atp") +
                         " instead.\n");
    EXPECT_NE(r.out.find("Image written to " + path("rw/outfile-3.atp") + ".\n"), std::string::npos)
        << r.out;
    std::vector<uint8_t> expected(32, 0x00);
    const std::vector<uint8_t> block = converted(1);
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(ReadFile(path("rw/outfile-3.atp")), expected);
    EXPECT_EQ(ReadFile(path("rw/outfile.atp")), kPrecious);
    EXPECT_EQ(ReadFile(path("rw/outfile-2.atp")), kPrecious);
    std::filesystem::remove(path("rw/outfile.atp"));
    std::filesystem::remove(path("rw/outfile-2.atp"));
    std::filesystem::remove(path("rw/outfile-3.atp"));
    EXPECT_EQ(ReadFile(path("ro/a.atp")), kPrecious);
    std::filesystem::permissions(path("ro"), std::filesystem::perms(0755));
    expectNoLeftovers(path("ro"));

    // A read-only file in a writable folder is not replaced either.
    WriteFile(path("rw/locked.atp"), kPrecious);
    std::filesystem::permissions(path("rw/locked.atp"), std::filesystem::perms(0444));
    r = RunInChild({"-o", path("rw/locked.atp"), "-i", path("b.wav")}, path("rw/outfile.atp"),
                   giveUpRoot);
    EXPECT_EQ(r.err, "Error opening " + path("rw/locked.atp") +
                         ": Permission denied. The image goes to " + path("rw/outfile.atp") +
                         " instead.\n");
    EXPECT_EQ(ReadFile(path("rw/locked.atp")), kPrecious);
    expectNoLeftovers(path("rw"));
}

TEST_F(SafeOutput, FolderInPlaceOfTheOutputFile) {
    WriteFile(path("a.wav"), recording(1));
    WriteFile(path("b.wav"), recording(2));
    std::filesystem::create_directory(path("a.atp")); // where a.wav's image would go
    const RunOutcome r = run({"-i", path("a.wav"), "-i", path("b.wav")});
    EXPECT_EQ(r.exitCode, kExitUsage);
    EXPECT_NE(r.err.find("Error opening " + path("a.atp") + ": Is a directory.\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(std::filesystem::is_directory(path("a.atp")));
    EXPECT_EQ(ReadFile(path("b.atp")), converted(2)) << "the other input is still converted";
}

TEST_F(SafeOutput, SeveralInputs) {
    WriteFile(path("a.wav"), recording(1));
    WriteFile(path("b.WAV"), recording(2));
    WriteFile(path("c"), recording(3));
    // Beside each input, the extension replaced.
    RunOutcome r = run({"-i", path("a.wav"), path("b.WAV"), path("c")});
    EXPECT_EQ(r.exitCode, kExitConverted) << r.err;
    EXPECT_EQ(ReadFile(path("a.atp")), converted(1));
    EXPECT_EQ(ReadFile(path("b.atp")), converted(2));
    EXPECT_EQ(ReadFile(path("c.atp")), converted(3));
    EXPECT_NE(r.out.find(path("b.WAV") + ":\n"), std::string::npos) << "each input is named";
    EXPECT_FALSE(FileExists(path("outfile.atp")));

    // Into a folder.
    std::filesystem::create_directory(path("out"));
    r = run({"-o", path("out"), "-i", path("a.wav"), "-i", path("b.WAV")});
    EXPECT_EQ(r.exitCode, kExitConverted);
    EXPECT_EQ(ReadFile(path("out/a.atp")), converted(1));
    EXPECT_EQ(ReadFile(path("out/b.atp")), converted(2));
    // One input into a folder works the same.
    r = run({"-o", path("out"), "-i", path("c")});
    EXPECT_EQ(ReadFile(path("out/c.atp")), converted(3));

    // A file name for several inputs, two inputs onto one image: refused before anything.
    r = run({"-o", path("one.atp"), "-i", path("a.wav"), "-i", path("b.WAV")});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(r.err, "With several input files, -o must name a folder: " + path("one.atp") + ".\n");
    std::filesystem::create_directory(path("sub"));
    WriteFile(path("sub/a.wav"), recording(4));
    r = run({"-o", path("out"), "-i", path("a.wav"), "-i", path("sub/a.wav")});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_EQ(ReadFile(path("out/a.atp")), converted(1));

    // A bad input among good ones: the good ones are converted, the exit code tells.
    WriteFile(path("bad.wav"), {'R', 'I', 'F', 'F'});
    std::filesystem::remove(path("a.atp"));
    r = run({"-i", path("bad.wav"), path("a.wav")});
    EXPECT_EQ(r.exitCode, kExitNotWav);
    EXPECT_EQ(r.err, path("bad.wav") + ": This is not a valid WAV file. Exiting...\n")
        << "the refusal names which input it is";
    EXPECT_EQ(ReadFile(path("a.atp")), converted(1));
    expectNoLeftovers(dir.root().string());
}

// One recording under two names would be converted twice onto one image;
// two recordings whose images are one file spelt two ways would overwrite
// each other. Both are refused before anything is written.
TEST_F(SafeOutput, OneRecordingOrOneImageNamedTwiceIsRefused) {
    WriteFile(path("a.wav"), recording(1));
    ASSERT_EQ(link(path("a.wav").c_str(), path("linked.wav").c_str()), 0);
    std::filesystem::create_directory(path("out"));
    const std::vector<std::vector<std::string>> twice = {
        {"-i", path("a.wav"), "-i", dir.path("./a.wav")},
        {"-o", path("out"), "-i", path("a.wav"), "-i", path("linked.wav")},
        {path("a.wav"), dir.path("out/../a.wav")},
    };
    for (const std::vector<std::string>& args : twice) {
        const RunOutcome r = run(args);
        EXPECT_EQ(r.exitCode, kExitBadNumber) << args.back();
        EXPECT_NE(r.err.find("are the same file; nothing converted. Exiting..."), std::string::npos)
            << r.err;
        EXPECT_EQ(r.out, "") << "nothing was converted";
    }
    EXPECT_FALSE(FileExists(path("a.atp")));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));

    // Two recordings, a.wav and a.raw, whose images beside them are one file.
    WriteFile(path("a.raw"), recording(2));
    const RunOutcome r = run({"-i", dir.path("./a.wav"), "-i", path("a.raw")});
    EXPECT_EQ(r.exitCode, kExitBadNumber);
    EXPECT_NE(r.err.find("would both be written to"), std::string::npos) << r.err;
    EXPECT_FALSE(FileExists(path("a.atp")));
    expectNoLeftovers(dir.root().string());
}

TEST_F(SafeOutput, StoppedRunTakesItsTemporaryFileWithIt) {
    WriteFile(path("keep.atp"), kPrecious);
    for (int signalNumber : {SIGINT, SIGTERM}) {
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            OutputFile out;
            if (!OpenOutputFile(out, path("keep.atp"))) _exit(2);
            std::fputs("partial", out.file);
            raise(signalNumber);
            _exit(3); // not reached: the signal stops the program
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        EXPECT_EQ(ReadFile(path("keep.atp")), kPrecious);
        expectNoLeftovers(dir.root().string());
    }
    // Outside a run the signals are as they were.
    struct sigaction current {};
    sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}
