// Dravik's whole run on random WAV bytes. The first byte picks options (-r,
// an explicit -o or the default output, -v, -s); the rest is the recording.
// Checked: the exit code is one of the documented ones, the input is
// unchanged, no temporary file is left behind, and the ATP written is never
// longer than the recording can encode: every bit needs at least one level
// change, so at most one byte per eight input bytes, plus the lead-in of the
// default output and the sync bytes a block is given when fewer were heard
// (two per block of 263 bytes at most).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dravik.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static std::FILE* sink = std::fopen("/dev/null", "w");
    const uint8_t control = data[0];
    const std::string input = fuzz::scratchPath("in.wav");
    const std::string output = fuzz::scratchPath("out.atp");
    const std::string fallback = fuzz::scratchPath("outfile.atp");
    std::remove(output.c_str());
    std::remove(fallback.c_str());
    fuzz::writeFile(input, data + 1, size - 1);
    const uint64_t hash = fuzz::fileHash(input);

    std::vector<std::string> args = {"dravik", "-i", input};
    if (control & 1) args.push_back("-r");
    if (control & 2) args.insert(args.end(), {"-o", output});
    if (control & 4) args.push_back("-v");
    if (control & 8) args.insert(args.end(), {"-s", std::to_string(control >> 4)});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    DravikStreams streams;
    streams.out = sink;
    streams.err = sink;
    streams.defaultOutputPath = fallback;
    int code = RunDravik(static_cast<int>(args.size()), argv.data(), streams);
    FUZZ_CHECK(code == kExitConverted || code == kExitUsage || code == kExitBadNumber ||
               code == kExitNoBlock || code == kExitNotWav || code == kExitNoDataChunk ||
               code == kExitUnsupportedFormat);
    if (code != kExitConverted) FUZZ_CHECK(fuzz::fileSize(output) < 0);
    FUZZ_CHECK(fuzz::fileHash(input) == hash);

    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(output).parent_path()))
        FUZZ_CHECK(entry.path().filename().string().rfind(".out", 0) != 0);

    const long long heard = static_cast<long long>((size - 1) / 8);
    const long long encodable = heard + 2 * (heard / 261 + 1);
    long long written = fuzz::fileSize(output);
    if (written >= 0) FUZZ_CHECK(written <= encodable);
    long long fallbackWritten = fuzz::fileSize(fallback);
    if (fallbackWritten >= 0) {
        FUZZ_CHECK(!(control & 2));
        FUZZ_CHECK(fallbackWritten <= encodable + kDefaultLeadInBytes);
    }
    return 0;
}
