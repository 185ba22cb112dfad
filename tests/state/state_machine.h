// A booted machine on the open firmware for the save-state tests, and what a
// run leaves behind to compare: memory, picture and the state bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace state_test {

using Bytes = std::vector<uint8_t>;

// Powers the machine on with no ROM images (the open firmware runs) and runs
// the boot frames.
void bootMachine();

struct RunResult {
    Bytes memory;  // the 64 KB
    Bytes picture; // the last frame's picture
    Bytes state;   // a save state taken at the end
};

// Runs n frames in the timing mode of cycleBasedFrames and records the result.
RunResult runFrames(int n);

// A private folder under the temporary folder, removed with the object.
class Scratch {
  public:
    Scratch();
    ~Scratch();
    std::string path(const std::string& name) const { return dir + "/" + name; }

  private:
    std::string dir;
};

void writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);

// An 8-bit mono WAV at 44,100 Hz with a square wave of the given half period.
Bytes squareWav(int seconds, int halfPeriodSamples);

} // namespace state_test
