// State files: a failed save (full disk, file size limit, folder in the way,
// missing folder) leaves an existing file as it was and says why; unreadable
// files are refused with the path; and a state saved by one orvane process
// goes on in another exactly as the uninterrupted run.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "abc80/abc80.h"
#include "abc80/save_state.h"
#include "tests/state/state_machine.h"
#include "tests/support/run_command.h"

namespace {

using namespace state_test;

class StateFile : public ::testing::Test {
  protected:
    void SetUp() override {
        cycleBasedFrames = false;
        bootMachine();
    }
    Scratch scratch;
};

TEST_F(StateFile, SavedFileLoadsBack) {
    std::string path = scratch.path("one.ost");
    std::string message;
    ASSERT_TRUE(saveStateFile(path, message)) << message;
    std::vector<uint8_t> expected;
    saveState(expected);
    EXPECT_EQ(readFile(path), expected);
    runFrames(10);
    ASSERT_TRUE(loadStateFile(path, message)) << message;
    std::vector<uint8_t> now;
    saveState(now);
    EXPECT_TRUE(now == expected);
    // Nothing but the state is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(StateFile, FullDiskIsReported) {
    std::string message;
    EXPECT_FALSE(saveStateFile("/dev/full", message));
    EXPECT_NE(message.find("no space left on device"), std::string::npos) << message;
}

TEST_F(StateFile, FolderInTheWayOrMissingFolderIsReported) {
    std::string folder = scratch.path("folder");
    std::filesystem::create_directory(folder);
    std::string message;
    EXPECT_FALSE(saveStateFile(folder, message));
    EXPECT_NE(message.find(folder), std::string::npos) << message;
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(saveStateFile(scratch.path("missing/sub/state.ost"), message));
    EXPECT_EQ(message, "Cannot save the state to " + scratch.path("missing/sub/state.ost") +
                           ": no such file or folder.");
    EXPECT_FALSE(std::filesystem::exists(scratch.path("missing"))) << "no folder is made";
}

// A state is replaced as every whole file is: the file keeps its permissions,
// and a symbolic link keeps pointing at the file, which gets the new state.
TEST_F(StateFile, ReplacedStateKeepsItsModeAndItsLink) {
    const std::string path = scratch.path("private.ost");
    std::string message;
    ASSERT_TRUE(saveStateFile(path, message)) << message;
    std::filesystem::permissions(path, std::filesystem::perms(0600));
    runFrames(5);
    ASSERT_TRUE(saveStateFile(path, message)) << message;
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600));

    const std::string link = scratch.path("link.ost");
    std::filesystem::create_symlink(path, link);
    runFrames(5);
    std::vector<uint8_t> expected;
    saveState(expected);
    ASSERT_TRUE(saveStateFile(link, message)) << message;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(path), expected);
}

// A save cut short by the file size limit keeps the earlier state file whole.
TEST_F(StateFile, FileSizeLimitKeepsTheEarlierFile) {
    std::string path = scratch.path("kept.ost");
    std::string message;
    ASSERT_TRUE(saveStateFile(path, message));
    std::vector<uint8_t> earlier = readFile(path);
    runFrames(5);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string childMessage;
        bool saved = saveStateFile(path, childMessage);
        bool told = childMessage.find("file too large") != std::string::npos;
        _exit(!saved && told ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save failed with the reason";
    EXPECT_EQ(readFile(path), earlier);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path("")),
                            std::filesystem::directory_iterator()),
              1)
        << "no half-written file is left beside it";
}

TEST_F(StateFile, UnreadableFilesAreRefusedWithThePath) {
    std::vector<uint8_t> before, after;
    saveState(before);
    std::string text = scratch.path("notes.txt");
    writeFile(text, {'h', 'e', 'l', 'l', 'o'});
    for (const std::string& path : {scratch.path("absent.ost"), scratch.path(""), text}) {
        std::string message;
        EXPECT_FALSE(loadStateFile(path, message)) << path;
        EXPECT_NE(message.find(path), std::string::npos) << message;
    }
    saveState(after);
    EXPECT_TRUE(before == after);
}

// ---------------------------------------------------------------- processes

int orvane(const std::string& arguments, std::string* output = nullptr) {
    return runCommand(orvaneHeadless(arguments) + " 2>&1", output);
}

class StateAcrossProcesses : public ::testing::TestWithParam<const char*> {};

TEST_P(StateAcrossProcesses, SecondProcessGoesOnAsTheFirstWould) {
    Scratch dir;
    const std::string mode = GetParam();
    const std::string type = " --type '10 FOR I=1 TO 400\\r20 PRINT I;I*I\\r30 NEXT I\\rRUN\\r'";
    ASSERT_EQ(orvane(mode + type + " --frames 70 --save-state " + dir.path("s.ost")), 0);
    ASSERT_EQ(orvane("--load-state " + dir.path("s.ost") + " --frames 60 --dump-memory " +
                     dir.path("b.mem") + " --screenshot " + dir.path("b.bmp")),
              0);
    ASSERT_EQ(orvane(mode + type + " --frames 130 --dump-memory " + dir.path("c.mem") +
                     " --screenshot " + dir.path("c.bmp")),
              0);
    std::vector<uint8_t> resumed = readFile(dir.path("b.mem"));
    EXPECT_EQ(resumed.size(), 65536u);
    EXPECT_TRUE(resumed == readFile(dir.path("c.mem")));
    EXPECT_TRUE(readFile(dir.path("b.bmp")) == readFile(dir.path("c.bmp")));
}

INSTANTIATE_TEST_SUITE_P(TimingModes, StateAcrossProcesses,
                         ::testing::Values("--fast", "--cycle-based"), [](const auto& info) {
                             return std::string(info.param) == "--fast" ? "Fast" : "CycleBased";
                         });

TEST(StateOptions, RefusedStateEndsTheRunWithTheReason) {
    Scratch dir;
    writeFile(dir.path("bad.ost"), {'O', 'R', 'V', 'S', 'T', 'A', 'T', 'E', 9, 0, 0, 0});
    std::string output;
    EXPECT_EQ(orvane("--load-state " + dir.path("bad.ost") + " --frames 1", &output), 1);
    EXPECT_NE(output.find("Not an Orvane save state"), std::string::npos) << output;
    EXPECT_EQ(orvane("--frames 1 --save-state " + dir.path(""), &output), 1);
    EXPECT_NE(output.find("is a folder"), std::string::npos) << output;
}

} // namespace
