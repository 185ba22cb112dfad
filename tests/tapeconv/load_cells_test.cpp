// Dravik reads at least what the machine reads: every cell of the robustness
// matrix that LOAD CAS: must load (pink noise down to 14 dB SNR, hum up to
// half the signal and a cheap deck's narrow band, at full volume, -6 and
// -20 dB, and 85 and 75 % volume, where the deck's input turns from the
// full-swing rule to the quiet one) is written once, played to the headless
// emulator and converted by Dravik, and both must give the program
// recorded, byte for byte.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "dravik_runner.h"
#include "robustness_cells.h"
#include "tests/support/run_command.h"

namespace {

std::vector<robustness::Cell> loadGoalCells() {
    std::vector<robustness::Cell> chosen;
    for (const robustness::Cell& cell : robustness::Cells())
        if (cell.loadGoal) chosen.push_back(cell);
    return chosen;
}

std::string cellName(const ::testing::TestParamInfo<robustness::Cell>& info) {
    std::string name = info.param.group + "_" + info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + std::to_string(info.index);
}

class BothRead : public ::testing::TestWithParam<robustness::Cell> {};

TEST(BothReadChosen, EveryVolumeOfEveryWear) {
    int pink = 0, hum = 0, deck = 0, turn = 0;
    for (const robustness::Cell& cell : loadGoalCells()) {
        pink += cell.wear.pinkSnrDb < 1000;
        hum += cell.wear.humShare > 0 && cell.wear.volume < 0.7;
        deck += cell.wear.highPassHz > 0;
        turn += cell.wear.volume >= 0.7 && cell.wear.volume < 1;
        EXPECT_TRUE(cell.dravikGoal) << cell.name;
    }
    EXPECT_EQ(pink, 9) << "20, 16 and 14 dB SNR at 0, -6 and -20 dB";
    EXPECT_EQ(hum, 4) << "30 and 50 % at -6 and -20 dB";
    EXPECT_EQ(deck, 9) << "three bands at -6 and -20 dB, two at full volume, one noisy";
    EXPECT_EQ(turn, 6) << "85 and 75 %: clean, with noise and with hum";
}

TEST_P(BothRead, TheMachineAndDravikGiveTheProgram) {
    const robustness::Cell& cell = GetParam();
    ScratchDir dir;
    const std::string wav = dir.path("cell.wav");
    WriteFile(wav, robustness::Wav(cell));

    std::string screen;
    ASSERT_EQ(0,
              runCommand(orvaneHeadless("--autostart '" + wav + "' --seconds 20 --dump-memory '" +
                                        dir.path("mem.bin") + "' --screen-text 2>/dev/null"),
                         &screen));
    const std::vector<uint8_t> memory = ReadFile(dir.path("mem.bin"));
    ASSERT_EQ(65536u, memory.size());
    const std::vector<uint8_t> program = robustness::Program();
    EXPECT_EQ(program, std::vector<uint8_t>(memory.begin() + 0x8000,
                                            memory.begin() + 0x8000 + long(program.size())))
        << screen;
    EXPECT_EQ(std::string::npos, screen.find("TAPE ERROR")) << screen;

    std::vector<std::string> args = {"-i", wav, "-o", dir.path("cell.atp")};
    args.insert(args.end(), cell.options.begin(), cell.options.end());
    const RunOutcome run = RunInProcess(args, dir.path("outfile.atp"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(robustness::ExpectedAtp(), ReadFile(dir.path("cell.atp"))) << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(Matrix, BothRead, ::testing::ValuesIn(loadGoalCells()), cellName);

} // namespace
