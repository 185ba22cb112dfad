// A BASIC program recorded on a synthesised cassette, converted by Dravik and
// loaded with Orvane's ATP loader comes back byte for byte. Only this test
// meets Orvane; the converter itself links nothing of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "abc80/abc80.h"
#include "cassette_wav.h"
#include "cpu/z80.h"
#include "dravik_runner.h"
#include "machine/memory.h"
#include "media/host_file.h"
#include "media/tape_images.h"
#include "tests/support/tape_signal.h"

namespace {

// BASIC line records: length byte (counting itself), text, 0Dh.
std::vector<uint8_t> program() {
    std::vector<uint8_t> bytes;
    for (int line = 10; line <= 600; line += 10) {
        const std::string text = std::to_string(line) + " PRINT \"LINE " + std::to_string(line) +
                                 "\";" + std::string(size_t(line % 7), 'X');
        bytes.push_back(uint8_t(text.size() + 2));
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0x0D);
    }
    return bytes;
}

uint16_t checksum(const std::vector<uint8_t>& data) {
    uint16_t sum = 0x03;
    for (uint8_t b : data)
        sum = uint16_t(sum + b);
    return sum;
}

// The program as the machine saves it on tape: a header block, then data
// blocks numbered from 0 whose 253 payload bytes carry the marker 82h and the
// records, padded with 00h.
std::vector<std::vector<uint8_t>> tapeBlocks(const std::vector<uint8_t>& records) {
    std::vector<uint8_t> stream(records.size() + 1, 0x82);
    std::copy(records.begin(), records.end(), stream.begin() + 1);
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<uint8_t> header(256, ' ');
    header[0] = header[1] = header[2] = 0xFF;
    std::memcpy(header.data() + 3, "PROGRAM BAS", 11);
    blocks.push_back(header);
    for (size_t at = 0, number = 0; at < stream.size(); at += 253, number++) {
        std::vector<uint8_t> data = {0x00, uint8_t(number), uint8_t(number >> 8)};
        const size_t n = std::min<size_t>(253, stream.size() - at);
        data.insert(data.end(), stream.begin() + long(at), stream.begin() + long(at + n));
        data.resize(256, 0x00);
        blocks.push_back(data);
    }
    return blocks;
}

} // namespace

TEST(DravikRoundTrip, ConvertedCassetteLoadsTheSameProgram) {
    const std::vector<uint8_t> records = program();
    ASSERT_GT(records.size(), 600u) << "the program spans several blocks";

    cassette::Signal signal = cassette::MakeSignal(44100, 4410);
    for (const auto& data : tapeBlocks(records)) {
        signal.bytes(cassette::TapeBlock(data, checksum(data)));
        signal.hold(8820); // the recorder pauses between blocks
    }
    signal.closingEdge();

    ScratchDir dir;
    WriteFile(dir.path("program.wav"),
              cassette::RenderWav(signal, cassette::WavFormat{44100, 16, 2, false, 12}));
    const RunOutcome run = RunInProcess({"-i", dir.path("program.wav")}, dir.path("outfile.atp"));
    ASSERT_EQ(run.exitCode, 0) << run.err;

    machineConnect();

    cpuInit(MachineClockHz);
    std::memset(MainMemory + 0x8000, 0xEE, 0x8000);
    ASSERT_EQ(LoadAtpImage(dir.path("outfile.atp")), 1);

    const uint32_t n = uint32_t(records.size());
    EXPECT_EQ(std::memcmp(MainMemory + 0x8000, records.data(), n), 0) << "program bytes";
    EXPECT_EQ(MainMemory[0x8000 + n], 0x01) << "end byte";
    EXPECT_EQ(MainMemory[0xFE1E] | MainMemory[0xFE1F] << 8, 0x8000 + n + 1);
    EXPECT_EQ(MainMemory[0xFE20] | MainMemory[0xFE21] << 8, 0x8000 + n + 2);
}

// A program saved with the open firmware's SAVE CAS: through Orvane's
// cassette recording converts to its two blocks with good checksums, the
// machine's tail after them, and loads back with Orvane's ATP loader.
TEST(DravikRoundTrip, TapeSavedByOrvaneConverts) {
    ScratchDir dir;
    const std::string wav = dir.path("saved.wav");
    const std::string command = std::string(ORVANE_BINARY_DIR) +
                                "/bin/orvane --headless --type '10 PRINT 1\\r20 GOTO 10\\r"
                                "SAVE CAS:LOOP\\r' --tape-out '" +
                                wav + "' --seconds 10 >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const RunOutcome run =
        RunInProcess({"-v", "-i", wav, "-o", dir.path("saved.atp")}, dir.path("outfile.atp"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Block 1: header LOOP.BAS, OK.\nBlock 2: data 0 of LOOP.BAS, OK.\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("2 blocks, 0 bad.\n"), std::string::npos);
    EXPECT_EQ(run.err, "");
    const std::vector<uint8_t> atp = ReadFile(dir.path("saved.atp"));
    // 263 bytes of header block, 16 lead-in zeros, 263 of data block, then the
    // 16 zero bytes of the tail less the last bit cell, which the motor stop
    // ends only when it changes the level.
    ASSERT_GE(atp.size(), 263u + 16 + 263 + 15);
    ASSERT_LE(atp.size(), 263u + 16 + 263 + 16);
    for (size_t i = 263 + 16 + 263; i < atp.size(); i++)
        EXPECT_EQ(atp[i], 0x00);

    cpuInit(MachineClockHz);
    std::memset(MainMemory + 0x8000, 0xEE, 0x8000);
    ASSERT_EQ(LoadAtpImage(dir.path("saved.atp")), 1);
    // The program area holds the data block's payload (after the marker 82h)
    // up to the 0Dh 00h that ends the program: the two line records in the
    // firmware's own form.
    const size_t payload = 263 + 16 + 4 + 3;
    ASSERT_EQ(atp[payload], 0x82);
    size_t end = payload + 1;
    while (end + 1 < atp.size() && !(atp[end] == 0x0D && atp[end + 1] == 0x00))
        end++;
    ASSERT_GT(end, payload + 4) << "at least one line record";
    EXPECT_EQ(std::memcmp(MainMemory + 0x8000, atp.data() + payload + 1, end - payload), 0);
    EXPECT_EQ(MainMemory[0x8000 + (end - payload)], 0x01) << "the end byte";
    // Those are the two line records in the firmware's own form (length byte,
    // line number with bit 15 set, text, 0Dh), then the end byte.
    const uint8_t* first = MainMemory + 0x8000;
    ASSERT_GT(first[0], 4);
    EXPECT_EQ(first[1], 10);
    EXPECT_EQ(first[2], 0x80);
    EXPECT_EQ(first[first[0] - 1], 0x0D);
    const uint8_t* second = first + first[0];
    ASSERT_GT(second[0], 4);
    EXPECT_EQ(second[1], 20);
    EXPECT_EQ(second[2], 0x80);
    EXPECT_EQ(second[second[0] - 1], 0x0D);
    EXPECT_EQ(second[second[0]], 0x01);
}

// A 20 ms dropout in one data block: Dravik keeps the block's length, and
// Orvane loads the program with a warning that names the bad block; the
// blocks after it land where they belong.
TEST(DravikRoundTrip, DropoutSpoilsOnlyItsBlockAndTheLoadSaysWhich) {
    const std::vector<uint8_t> records = tapesignal::SampleProgram(40);
    const auto blocks = tapesignal::ProgramBlocks("DROP", records);
    ASSERT_GE(blocks.size(), 4u);
    const tapesignal::Recording rec = tapesignal::Record(blocks);
    std::vector<float> samples = tapesignal::Digitise(rec, 44100);
    const double at = rec.blockStarts[2] + (16 + 4 + 98) * 8 * tapesignal::kBitSeconds;
    for (size_t n = size_t(at * 44100); n < size_t((at + 0.020) * 44100); n++)
        samples[n] = 0;
    ScratchDir dir;
    WriteFile(dir.path("drop.wav"), tapesignal::WavFile(samples, {}));
    const RunOutcome run =
        RunInProcess({"-i", dir.path("drop.wav"), "-o", dir.path("drop.atp")}, dir.path("x.atp"));
    ASSERT_EQ(run.exitCode, 0) << run.err;

    machineConnect();
    cpuInit(MachineClockHz);
    std::memset(MainMemory + 0x8000, 0xEE, 0x8000);
    ASSERT_EQ(LoadAtpImage(dir.path("drop.atp")), 1);
    EXPECT_EQ(MediaWarning(), "block 3 (data 1): bad checksum");
    // Data 0 holds the marker and 252 program bytes, data 1 the next 253;
    // everything from data 2 on is in place.
    const size_t after = 252 + 253;
    const uint32_t n = uint32_t(records.size());
    ASSERT_GT(n, after);
    EXPECT_EQ(std::memcmp(MainMemory + 0x8000, records.data(), 252), 0);
    EXPECT_EQ(std::memcmp(MainMemory + 0x8000 + after, records.data() + after, n - after), 0);
    EXPECT_EQ(MainMemory[0x8000 + n], 0x01) << "end byte";
}
