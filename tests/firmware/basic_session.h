// A booted machine running the open firmware, driven the way a user drives
// it: typed text, key presses, frames, and the screen read back as text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace basic_test {

// Boots a fresh machine on the open firmware (no ROM folder with genuine
// images is consulted) and runs the boot frames.
void bootMachine();

// Types the text (\r ends a line) and runs frames until it has been read
// and the prompt is back (at most maxFrames).
void typeAndRun(const std::string& text, int maxFrames = 400);

// Runs n frames in the fast timing mode.
void runFrames(int n);

// The 24 screen rows as text, trailing blanks removed; the blinking cursor
// cell reads as a blank.
std::vector<std::string> screenRows();

// True when the last non-blank screen row is a bare prompt.
bool atPrompt();

// The rows between the last two prompts: what the last command printed.
// Each prompt row starts with '>'; commandLength is the length of the
// command typed there, which may have taken more than one row.
std::vector<std::string> outputOfLastCommand(size_t commandLength = 0);

// Presses and releases Ctrl+C.
void pressBreak();

// Types the lines of a program, each followed by \r.
void enterProgram(const std::vector<std::string>& lines);

uint16_t peekWord(uint16_t address);

// A path in the temporary folder that no other test process uses (the
// cases run as separate processes, in parallel).
std::filesystem::path scratchPath(const std::string& name);

// A freshly booted machine, and the two ways the language tests type: one
// command, or a program then RUN. Both return what was printed; frames
// bounds the run (it ends earlier at the prompt).
class BasicTest : public ::testing::Test {
  protected:
    void SetUp() override { bootMachine(); }

    std::vector<std::string> run(const std::string& command, int frames = 400) {
        typeAndRun(command + "\r", frames);
        return outputOfLastCommand(command.size());
    }
    std::vector<std::string> runProgram(const std::vector<std::string>& lines) {
        return runProgram(lines, programFrames);
    }
    std::vector<std::string> runProgram(const std::vector<std::string>& lines, int frames) {
        enterProgram(lines);
        return run("RUN", frames);
    }

    int programFrames = 400; // a RUN's bound unless one is given
};

} // namespace basic_test
