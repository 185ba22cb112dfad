// tape_matrix: the robustness matrix of tape decoding. Every cell of
// robustness_cells.h is written as a WAV file and converted by Dravik; with
// --orvane PATH each is also played to the emulator's LOAD CAS: (headless,
// cycle-based, autostart) and the program area compared with the program
// recorded. Prints the Markdown table kept in docs/media.md: Dravik with its
// default options and with -f, and Orvane.
//
//   tape_matrix [--orvane build/release/bin/orvane] [--keep DIR] [--only TEXT]
//
// --only runs the cells whose wear and name hold TEXT ("cheap deck", "-6 dB").
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dravik.h"
#include "robustness_cells.h"

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The blocks of an ATP image without their lead-in zeros.
std::vector<std::vector<uint8_t>> blocksOf(const std::vector<uint8_t>& atp) {
    std::vector<std::vector<uint8_t>> blocks;
    size_t at = 0;
    while (at < atp.size()) {
        while (at < atp.size() && atp[at] == 0x00)
            at++;
        const size_t end = std::min(atp.size(), at + 263);
        if (at < end) blocks.emplace_back(atp.begin() + long(at), atp.begin() + long(end));
        at = end;
    }
    return blocks;
}

std::string dravikResult(const robustness::Cell& cell, const std::string& wav,
                         const std::string& atp, bool filter) {
    std::vector<std::string> args = {"dravik", "-i", wav, "-o", atp};
    args.insert(args.end(), cell.options.begin(), cell.options.end());
    if (filter) args.push_back("-f");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    DravikStreams streams;
    streams.out = std::tmpfile();
    streams.err = std::fopen("/dev/null", "w");
    std::filesystem::remove(atp);
    const int code = RunDravik(int(args.size()), argv.data(), streams);
    std::rewind(streams.out);
    std::string out;
    for (int c; (c = std::fgetc(streams.out)) != EOF;)
        out += char(c);
    std::fclose(streams.out);
    std::fclose(streams.err);
    if (code == kExitNoBlock) return "no block";
    if (code != kExitConverted) return "exit " + std::to_string(code);
    const std::vector<uint8_t> written = readFile(atp);
    if (written == robustness::ExpectedAtp()) return "exact";
    if (robustness::WithoutTail(written) == robustness::WithoutTail(robustness::ExpectedAtp()))
        return "exact, tail of " +
               std::to_string(written.size() - robustness::WithoutTail(written).size()) +
               " zero bytes";
    if (blocksOf(written) == blocksOf(robustness::ExpectedAtp()))
        return "blocks exact, lead-in shorter";
    // The summary line "N blocks, M bad." (before the lines naming the images).
    const size_t found = out.find(" blocks, ");
    const size_t begin = found == std::string::npos ? 0 : out.rfind('\n', found) + 1;
    std::string summary = out.substr(begin, out.find('\n', begin) - begin);
    if (!summary.empty() && summary.back() == '.') summary.pop_back();
    return "differs (" + summary + ")";
}

std::string orvaneResult(const std::string& orvane, const std::string& wav,
                         const std::string& folder) {
    const std::string memory = folder + "/memory.bin", screen = folder + "/screen.txt";
    std::filesystem::remove(memory);
    const std::string command = "'" + orvane + "' --headless --cycle-based --autostart '" + wav +
                                "' --seconds 25 --dump-memory '" + memory + "' --screen-text >'" +
                                screen + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "did not run";
    const std::vector<uint8_t> ram = readFile(memory);
    const std::vector<uint8_t> program = robustness::Program();
    if (ram.size() == 65536 && std::equal(program.begin(), program.end(), ram.begin() + 0x8000))
        return "exact";
    const std::vector<uint8_t> text = readFile(screen);
    const std::string shown(text.begin(), text.end());
    if (shown.find("TAPE ERROR") != std::string::npos) return "TAPE ERROR";
    return "not loaded";
}

} // namespace

int main(int argc, char** argv) {
    std::string orvane, keep, only;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--orvane")
            orvane = argv[i + 1];
        else if (option == "--keep")
            keep = argv[i + 1];
        else if (option == "--only")
            only = argv[i + 1];
    }
    const std::filesystem::path folder =
        keep.empty() ? std::filesystem::temp_directory_path() / "tape-matrix"
                     : std::filesystem::path(keep);
    std::filesystem::create_directories(folder);

    std::printf("| Wear | Cell | Dravik | Dravik -f | Orvane LOAD CAS: |\n|---|---|---|---|---|\n");
    int index = 0;
    for (const robustness::Cell& cell : robustness::Cells()) {
        if (!only.empty() && (cell.group + " " + cell.name).find(only) == std::string::npos)
            continue;
        const std::string wav = (folder / ("cell" + std::to_string(index++) + ".wav")).string();
        writeFile(wav, robustness::Wav(cell));
        const std::string atp = (folder / "cell.atp").string();
        const std::string dravik = dravikResult(cell, wav, atp, false);
        const std::string filtered = dravikResult(cell, wav, atp, true);
        const std::string loaded =
            orvane.empty() ? "not run" : orvaneResult(orvane, wav, folder.string());
        std::printf("| %s | %s | %s | %s | %s |\n", cell.group.c_str(), cell.name.c_str(),
                    dravik.c_str(), filtered.c_str(), loaded.c_str());
        std::fflush(stdout);
        if (keep.empty()) std::filesystem::remove(wav);
    }
    if (keep.empty()) std::filesystem::remove_all(folder);
    return 0;
}
