// Dravik's whole run on random WAV bytes. The first byte picks options (-r,
// an explicit -o or the default output, -v, -s). When the second byte is odd
// the rest describes a header field by field (format tag, channels, sample
// rate, block align, bits per sample, the sizes of the "fmt " and "data"
// chunks) and a body length of up to 255 KB, filled with the remaining bytes
// over and over, so that wide frames, lying chunk sizes and bodies larger
// than the reader's buffer are all reached; otherwise the rest is the
// recording as it stands.
// Checked: the exit code is one of the documented ones, the input is
// unchanged, no temporary file is left behind, and the ATP written is whole
// blocks of the one length an ATP block has, no more of them than the
// recording has level changes for.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "dravik.h"
#include "fuzz/fuzz_support.h"

namespace {

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

std::vector<uint8_t> readWhole(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(f)) != EOF;)
            bytes.push_back(uint8_t(c));
        std::fclose(f);
    }
    return bytes;
}

std::vector<uint8_t> recording(const uint8_t* data, size_t size) {
    if (size == 0 || (data[0] & 1) == 0) return {data, data + size};
    fuzz::ByteReader in(data + 1, size - 1);
    const uint16_t tag = in.word(), channels = in.word();
    const uint32_t rate = in.word() | uint32_t(in.word()) << 16;
    const uint16_t blockAlign = in.word(), bits = in.word();
    const uint16_t fmtSize = in.word();
    const uint32_t dataSize = in.word() | uint32_t(in.word()) << 16;
    const size_t bodyBytes = size_t(in.byte()) * 1024 + in.left();

    std::vector<uint8_t> out;
    putTag(out, "RIFF");
    put32(out, 0); // patched below
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, fmtSize);
    put16(out, tag);
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * blockAlign);
    put16(out, blockAlign);
    put16(out, bits);
    putTag(out, "data");
    put32(out, dataSize);
    const uint8_t* fill = in.rest();
    const size_t fillSize = in.left();
    for (size_t i = 0; i < bodyBytes; i++)
        out.push_back(fillSize > 0 ? fill[i % fillSize] : 0);
    const uint32_t riffSize = uint32_t(out.size() - 8);
    for (int i = 0; i < 4; i++)
        out[4 + i] = uint8_t(riffSize >> 8 * i);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static std::FILE* sink = std::fopen("/dev/null", "w");
    const uint8_t control = data[0];
    const std::string input = fuzz::scratchPath("in.wav");
    const std::string output = fuzz::scratchPath("out.atp");
    const std::string fallback = fuzz::scratchPath("outfile.atp");
    std::remove(output.c_str());
    std::remove(fallback.c_str());
    // The images of later programs on a tape (out-NAME.atp, outfile-NAME.atp)
    // would pile up from run to run.
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(output).parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("out-", 0) == 0 || name.rfind("outfile-", 0) == 0)
            std::filesystem::remove(entry.path(), error);
    }
    const std::vector<uint8_t> wav = recording(data + 1, size - 1);
    fuzz::writeFile(input, wav.data(), wav.size());
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

    // Every image is whole blocks: up to 33 lead-in zeros (32 more before
    // the first of the default output), 16h 16h 16h 02h and 259 bytes more
    // (data, end byte, checksum); a block cut short is padded to that length.
    // Only zeros follow the last one, and each block needs its four sync
    // and start bytes heard, at least 32 level changes of the input.
    for (const std::string& image : {output, fallback}) {
        if (fuzz::fileSize(image) < 0) continue;
        const std::vector<uint8_t> atp = readWhole(image);
        size_t at = 0, blocks = 0;
        size_t allowed = image == fallback ? kDefaultLeadInBytes : 0;
        for (;;) {
            size_t zeros = 0;
            while (at < atp.size() && atp[at] == 0x00) {
                at++;
                zeros++;
            }
            FUZZ_CHECK(zeros <= allowed + 33);
            if (at == atp.size()) break;
            FUZZ_CHECK(at + 263 <= atp.size());
            FUZZ_CHECK(atp[at] == 0x16 && atp[at + 1] == 0x16 && atp[at + 2] == 0x16);
            FUZZ_CHECK(atp[at + 3] == 0x02);
            at += 263;
            blocks++;
            allowed = 0;
        }
        FUZZ_CHECK(blocks <= wav.size() / 32 + 1);
    }
    return 0;
}
