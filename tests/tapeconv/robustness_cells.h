// The cells of the tape robustness matrix: one worn recording each, made by
// the tape-signal generator from the same program. Shared by the robustness
// test, which asserts the cells Dravik must decode exactly, and by the
// tape_matrix tool, which also plays each cell to Orvane's LOAD CAS: and
// prints the table in docs/media.md.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/tape_signal.h"

namespace robustness {

struct Cell {
    std::string group; // the row's kind of wear
    std::string name;  // the cell within it
    tapesignal::Wear wear;
    tapesignal::WavShape shape;
    std::vector<std::string> options; // Dravik options the cell needs (a channel)
    bool dravikGoal = true;           // inside the goal: must decode exactly
    bool loadGoal = false;            // LOAD CAS: must load it exactly too
};

// A cell by its name in test reports.
inline void PrintTo(const Cell& cell, std::ostream* out) {
    *out << cell.group << ", " << cell.name;
}

inline std::vector<Cell> Cells() {
    using tapesignal::SampleFormat;
    std::vector<Cell> cells;
    auto add = [&cells](std::string group, std::string name, tapesignal::Wear wear = {},
                        tapesignal::WavShape shape = {}, bool goal = true) {
        cells.push_back(Cell{std::move(group), std::move(name), wear, shape, {}, goal});
    };
    add("clean", "44.1 kHz 16-bit");
    for (double v : {0.85, 0.75, 0.5, 0.25, 0.1, 0.05, 0.02, 0.01}) {
        tapesignal::Wear w;
        w.volume = v;
        add("volume", std::to_string(int(v * 100 + 0.5)) + " %", w, {}, v >= 0.1);
        cells.back().loadGoal = v > 0.5; // where the deck's input changes its rule
    }
    for (double dc : {0.4, -0.4}) {
        tapesignal::Wear w;
        w.volume = 0.5;
        w.dcOffset = dc;
        add("DC offset", (dc > 0 ? "+" : "") + std::to_string(int(dc * 100)) + " % (volume 50 %)",
            w);
        w.volume = 0.1;
        add("DC offset", (dc > 0 ? "+" : "") + std::to_string(int(dc * 100)) + " % (volume 10 %)",
            w);
    }
    for (double snr : {30.0, 20.0, 16.0, 12.0, 8.0, 6.0, 4.0}) {
        tapesignal::Wear w;
        w.snrDb = snr;
        add("white noise", std::to_string(int(snr)) + " dB SNR", w, {}, snr >= 20);
    }
    {
        tapesignal::Wear w;
        w.volume = 0.1;
        w.snrDb = 20;
        add("volume and noise", "10 %, 20 dB SNR", w);
        // Around the level where the deck's input turns from the full-swing
        // rule to the quiet one.
        for (double v : {0.85, 0.75}) {
            w.volume = v;
            w.snrDb = 16;
            add("volume and noise", std::to_string(int(v * 100)) + " %, 16 dB SNR", w);
            cells.back().loadGoal = true;
            w.snrDb = 1000;
            w.humShare = 0.5;
            add("volume and hum", std::to_string(int(v * 100)) + " %, hum of half the signal", w);
            cells.back().loadGoal = true;
            w.humShare = 0;
        }
    }
    for (double hum : {0.1, 0.3, 0.5, 1.0, 2.0}) {
        tapesignal::Wear w;
        w.humShare = hum;
        add("50 Hz hum", std::to_string(int(hum * 100)) + " % of the signal", w, {}, hum <= 0.5);
    }
    for (int percent : {-5, 5, -10, 10, -15, 15}) {
        tapesignal::Wear w;
        w.speed = 1 + percent / 100.0;
        add("speed", (percent > 0 ? "+" : "") + std::to_string(percent) + " %", w, {},
            percent >= -5 && percent <= 5);
    }
    for (int percent : {2, 5}) {
        tapesignal::Wear w;
        w.wowDepth = percent / 100.0;
        add("wow", "+-" + std::to_string(percent) + " % at 0.5 Hz", w, {}, percent <= 2);
    }
    // The same wear at a lower volume must read as it does at full volume,
    // by Dravik and by LOAD CAS: alike.
    for (double db : {0.0, -6.0, -20.0}) {
        const std::string at = " at " + std::to_string(int(db)) + " dB";
        for (double snr : {20.0, 16.0, 14.0, 12.0, 8.0}) {
            tapesignal::Wear w;
            w.volume = tapesignal::VolumeOfDb(db);
            w.pinkSnrDb = snr;
            add("pink noise", std::to_string(int(snr)) + " dB SNR" + at, w, {}, snr >= 12);
            cells.back().loadGoal = snr >= 14;
        }
        for (double hum : {0.3, 0.5, 1.0}) {
            tapesignal::Wear w;
            w.volume = tapesignal::VolumeOfDb(db);
            w.humShare = hum;
            add("50 Hz hum", std::to_string(int(hum * 100)) + " % of the signal" + at, w, {},
                hum <= 0.5);
            cells.back().loadGoal = hum <= 0.5;
        }
    }
    // A cheap deck's narrow band: bass and treble cut, as sound editors do it.
    for (double db : {0.0, -6.0, -20.0}) {
        for (auto [highPass, lowPass] :
             {std::pair{300.0, 3000.0}, std::pair{200.0, 3000.0}, std::pair{150.0, 4000.0}}) {
            tapesignal::Wear w;
            w.volume = tapesignal::VolumeOfDb(db);
            w.highPassHz = highPass;
            w.lowPassHz = lowPass;
            // At full volume the 300 Hz cut's spikes clip.
            add("cheap deck",
                std::to_string(int(highPass)) + " Hz to " + std::to_string(int(lowPass / 1000)) +
                    " kHz at " + std::to_string(int(db)) + " dB",
                w, {}, db < 0 || highPass < 300);
            cells.back().loadGoal = cells.back().dravikGoal;
        }
    }
    {
        tapesignal::Wear w;
        w.volume = tapesignal::VolumeOfDb(-12);
        w.highPassHz = 150;
        w.lowPassHz = 4000;
        w.snrDb = 20;
        add("cheap deck", "150 Hz to 4 kHz at -12 dB, 20 dB SNR", w);
        cells.back().loadGoal = true;
    }
    {
        tapesignal::Wear w;
        w.inverted = true;
        add("polarity", "inverted", w);
    }
    {
        tapesignal::Wear w;
        w.clicks = true;
        add("clicks", "one a second", w);
    }
    for (int ms : {2, 5, 20}) {
        tapesignal::Wear w;
        w.dropoutSeconds = ms / 1000.0;
        add("dropouts", std::to_string(ms) + " ms in every lead-in", w, {}, ms <= 2);
    }
    for (uint32_t rate : {6000u, 8000u, 11025u, 22050u, 48000u, 96000u}) {
        tapesignal::WavShape s;
        s.rate = rate;
        add("sample rate", std::to_string(rate) + " Hz", {}, s, rate >= 8000);
    }
    for (SampleFormat f : {SampleFormat::U8, SampleFormat::S24, SampleFormat::S32,
                           SampleFormat::F32, SampleFormat::F64}) {
        tapesignal::WavShape s;
        s.format = f;
        add("sample format", tapesignal::NameOf(f), {}, s);
    }
    {
        tapesignal::WavShape s;
        s.extensible = true;
        s.format = SampleFormat::S24;
        add("sample format", "24-bit extensible", {}, s);
    }
    {
        tapesignal::WavShape s;
        s.channels = 2;
        add("channels", "stereo, signal left", {}, s);
        s.signalChannel = 1;
        add("channels", "stereo, signal right (-C 2)", {}, s);
        cells.back().options = {"-C", "2"};
    }
    return cells;
}

// The program every cell records: a BASIC program of 529 bytes, a header
// and three data blocks on tape.
inline std::vector<uint8_t> Program() { return tapesignal::SampleProgram(21); }

inline std::vector<std::vector<uint8_t>> Blocks() {
    return tapesignal::ProgramBlocks("MATRIX", Program());
}

inline std::vector<uint8_t> Wav(const Cell& cell) {
    const tapesignal::Recording rec = tapesignal::Record(Blocks());
    return tapesignal::WavFile(tapesignal::Digitise(rec, cell.shape.rate, cell.wear), cell.shape);
}

// What Dravik writes for the recording: the blocks from the first sync byte,
// each later one after its 16 lead-in zeros, then the whole zero bytes of
// the tail.
inline std::vector<uint8_t> ExpectedAtp() {
    std::vector<uint8_t> atp;
    bool first = true;
    for (const auto& data : Blocks()) {
        if (!first) atp.insert(atp.end(), 16, 0x00);
        first = false;
        const std::vector<uint8_t> body = tapesignal::BlockBody(data);
        atp.insert(atp.end(), body.begin(), body.end());
    }
    atp.insert(atp.end(), size_t(tapesignal::HeardTailBytes(tapesignal::Record(Blocks()))), 0x00);
    return atp;
}

// The image without the zero bytes after the last block: how many of them
// are heard can change with noise after the recording.
inline std::vector<uint8_t> WithoutTail(std::vector<uint8_t> atp) {
    while (!atp.empty() && atp.back() == 0x00)
        atp.pop_back();
    return atp;
}

} // namespace robustness
