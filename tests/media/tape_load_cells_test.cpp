// Worn recordings loaded by the machine itself: the cells of the tape
// robustness matrix that LOAD CAS: must read exactly (a tenth of the full
// volume, a DC offset of 40 % either way, white noise at 20 dB SNR, both at
// once, and the signal on the right channel only) are played to the headless
// emulator, and the program area must hold the program recorded. Pink noise,
// hum and cheap decks at full volume, -6 and -20 dB are played to it beside
// Dravik in tests/tapeconv/load_cells_test.cpp.
#include "tests/media/media_files.h"
#include "tests/support/run_command.h"
#include "tests/tapeconv/robustness_cells.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>

namespace {

std::vector<robustness::Cell> loadGoalCells() {
    std::vector<robustness::Cell> chosen;
    for (const robustness::Cell& cell : robustness::Cells()) {
        const tapesignal::Wear& w = cell.wear;
        const bool tenth = cell.group == "volume" && w.volume == 0.1;
        const bool offset = w.volume == 0.1 && w.dcOffset != 0;
        const bool noisy = w.snrDb == 20 && w.highPassHz == 0;
        const bool right = cell.shape.channels == 2 && cell.shape.signalChannel == 1;
        if (tenth || offset || noisy || right) chosen.push_back(cell);
    }
    return chosen;
}

class LoadCasCells : public ::testing::TestWithParam<robustness::Cell> {};

std::string cellName(const ::testing::TestParamInfo<robustness::Cell>& info) {
    std::string name = info.param.group + "_" + info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + std::to_string(info.index);
}

TEST(LoadCasCellsChosen, EveryCellOfTheGoalIsThere) {
    EXPECT_EQ(6u, loadGoalCells().size())
        << "10 %, DC +-40 % at 10 %, 20 dB, 10 % with 20 dB, right channel";
}

TEST_P(LoadCasCells, LoadsTheProgramExactly) {
    ScratchDir dir;
    writeFile(dir.path("cell.wav"), robustness::Wav(GetParam()));
    std::string screen;
    ASSERT_EQ(0, runCommand(orvaneHeadless("--autostart " + dir.path("cell.wav") +
                                           " --seconds 20 --dump-memory " + dir.path("mem.bin") +
                                           " --screen-text 2>/dev/null"),
                            &screen));
    const Bytes memory = readFile(dir.path("mem.bin"));
    ASSERT_EQ(65536u, memory.size());
    const std::vector<uint8_t> program = robustness::Program();
    const Bytes loaded(memory.begin() + 0x8000, memory.begin() + 0x8000 + long(program.size()));
    EXPECT_EQ(program, loaded) << screen;
    EXPECT_EQ(std::string::npos, screen.find("TAPE ERROR")) << screen;
}

INSTANTIATE_TEST_SUITE_P(Orvane, LoadCasCells, ::testing::ValuesIn(loadGoalCells()), cellName);

} // namespace
