// Worn recordings of a BASIC program through Dravik: every cell of the
// robustness matrix inside the goal (volume down to 10 %, white noise down to
// 20 dB SNR, DC offset, hum, speed, wow, polarity, clicks, dropouts, every
// sample rate and format) must give exactly the ATP of the clean recording.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dravik_runner.h"
#include "robustness_cells.h"

namespace {

struct Outcome {
    RunOutcome run;
    std::vector<uint8_t> atp;
};

Outcome convert(const robustness::Cell& cell) {
    ScratchDir dir;
    WriteFile(dir.path("cell.wav"), robustness::Wav(cell));
    std::vector<std::string> args = {"-i", dir.path("cell.wav"), "-o", dir.path("cell.atp")};
    args.insert(args.end(), cell.options.begin(), cell.options.end());
    Outcome outcome;
    outcome.run = RunInProcess(args, dir.path("outfile.atp"));
    outcome.atp = ReadFile(dir.path("cell.atp"));
    return outcome;
}

class RobustnessMatrix : public ::testing::TestWithParam<robustness::Cell> {};

std::string cellName(const ::testing::TestParamInfo<robustness::Cell>& info) {
    std::string name = info.param.group + "_" + info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + std::to_string(info.index);
}

std::vector<robustness::Cell> goalCells() {
    std::vector<robustness::Cell> cells;
    for (const robustness::Cell& cell : robustness::Cells())
        if (cell.dravikGoal) cells.push_back(cell);
    return cells;
}

} // namespace

TEST(RobustnessCells, ExpectedImageIsTheRecordedBlocks) {
    const std::vector<uint8_t> atp = robustness::ExpectedAtp();
    ASSERT_EQ(robustness::Blocks().size(), 4u) << "a header and three data blocks";
    EXPECT_EQ(atp.size(), 263u + 3 * (16 + 263) + 15);
    EXPECT_EQ(std::vector<uint8_t>(atp.begin(), atp.begin() + 4),
              (std::vector<uint8_t>{0x16, 0x16, 0x16, 0x02}));
}

TEST_P(RobustnessMatrix, DecodesExactly) {
    const Outcome outcome = convert(GetParam());
    EXPECT_EQ(outcome.run.exitCode, 0) << outcome.run.err;
    // Byte for byte: every block, every lead-in and the tail after the last block.
    EXPECT_EQ(outcome.atp, robustness::ExpectedAtp()) << outcome.run.out << outcome.run.err;
    EXPECT_NE(outcome.run.out.find("4 blocks, 0 bad.\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Dravik, RobustnessMatrix, ::testing::ValuesIn(goalCells()), cellName);

TEST(RobustnessCells, SignalOnTheRightNeedsTheChannelOption) {
    robustness::Cell cell;
    for (const robustness::Cell& c : robustness::Cells())
        if (!c.options.empty()) cell = c;
    ASSERT_EQ(cell.shape.signalChannel, 1);
    cell.options.clear();
    const Outcome outcome = convert(cell);
    EXPECT_EQ(outcome.run.exitCode, 3) << "the left channel holds only a quiet tone";
    EXPECT_TRUE(outcome.atp.empty());
}
