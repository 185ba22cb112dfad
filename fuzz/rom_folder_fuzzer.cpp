// ROM files: a ROM folder filled with files made from the input, installed,
// and the external BASIC file loaded. The input is a list of chunks: a
// selector byte (file name and how the size is shaped), a length byte and
// that many bytes, repeated to the shaped size. Shapes can make a file the
// exact BASIC or DOS size and give a BASIC file the byte sum of a genuine
// image. Checked: no file changes; no more images than files are installed;
// every slot that names a file reads that file's bytes through the memory
// map; the external file lands in the ROM area and nowhere else; and a
// thousand cycles of whatever was installed run without harm.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cpu/bus.h"
#include "cpu/z80.h"
#include "fuzz/fuzz_support.h"
#include "machine/memory.h"
#include "machine/ports.h"
#include "machine/roms.h"

namespace {

const char* const Names[] = {"abcdos.rom",       "ufddos.rom", "dosaux.rom", "basic.rom",
                             "ZaVUR80BASIC.ROM", "ABCDOS.ROM", "other.bin",  "basic2.rom"};

std::vector<uint8_t> shaped(const uint8_t* bytes, size_t n, int shape, const char* name) {
    size_t size = n;
    if (shape == 1 || shape == 2) size = BasicRomSize;
    if (shape == 3) {
        std::string lower = name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        size = lower == "dosaux.rom" ? DosAuxRomSize : lower.ends_with(".rom") ? DosRomSize : n;
    }
    std::vector<uint8_t> file(size);
    for (size_t i = 0; i < size; i++)
        file[i] = n ? bytes[i % n] : 0;
    if (shape == 1 || shape == 2) {
        // Raise the last bytes until the 16-bit byte sum is the genuine one.
        uint32_t want = shape == 1 ? OldBasicByteSum : NewBasicByteSum;
        uint32_t sum = romByteSum(file.data(), size);
        for (size_t i = size; i-- > 0 && sum != want;) {
            uint32_t need = (want - sum) & 0xFFFF;
            uint32_t room = 0xFFu - file[i];
            uint32_t add = need < room ? need : room;
            file[i] = static_cast<uint8_t>(file[i] + add);
            sum = (sum + add) & 0xFFFF;
        }
    }
    return file;
}

bool readsAs(uint16_t base, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bool same = true;
    int c;
    for (uint16_t a = base; (c = std::fgetc(file)) != EOF; a++)
        if (memRead(a) != c) same = false;
    std::fclose(file);
    return same;
}

uint8_t before[65536];

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::prepareMachine();
    const std::string folder = fuzz::scratchPath("roms");
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder);

    fuzz::ByteReader in(data, size);
    std::vector<std::pair<std::string, uint64_t>> files;
    while (in.left() > 0 && files.size() < 6) {
        uint8_t selector = in.byte();
        size_t n = in.byte();
        if (n > in.left()) n = in.left();
        const char* name = Names[selector & 7];
        std::vector<uint8_t> file = shaped(in.rest(), n, (selector >> 3) & 3, name);
        in.at += n;
        std::string path = folder + "/" + name;
        fuzz::writeFile(path, file.data(), file.size());
        files.emplace_back(path, 0);
    }
    // A later chunk with the same name replaced the earlier file.
    for (auto& [path, hash] : files)
        hash = fuzz::fileHash(path);

    int found = installRomImages();
    FUZZ_CHECK(found >= 0 && static_cast<size_t>(found) <= files.size());
    for (uint32_t choice : {BasicRomOld, BasicRomNew}) {
        basicRom = choice;
        const std::string& source = basicRomSource(choice);
        if (!source.empty()) FUZZ_CHECK(readsAs(0x0000, source));
    }
    for (uint32_t choice : {DosRomAbcdos, DosRomUfddos}) {
        dosRom = choice;
        const std::string& source = dosRomSource(choice);
        if (!source.empty()) FUZZ_CHECK(readsAs(0x6000, source));
    }

    static bool patterned = [] {
        for (uint32_t a = 0; a < 65536; a++)
            before[a] = static_cast<uint8_t>(a * 13 + 0x21);
        return true;
    }();
    (void)patterned;
    std::memcpy(MainMemory, before, sizeof before);
    basicRom = BasicRomExternal;
    const std::string external = folder + "/ZaVUR80BASIC.ROM";
    int loaded = loadExternalRom();
    long long externalSize = fuzz::fileSize(external);
    FUZZ_CHECK(loaded == (externalSize >= 0 ? 1 : 0));
    FUZZ_CHECK(std::memcmp(MainMemory + BasicRomSize, before + BasicRomSize,
                           sizeof before - BasicRomSize) == 0);
    if (loaded) {
        std::FILE* file = std::fopen(external.c_str(), "rb");
        FUZZ_CHECK(file != nullptr);
        int c;
        for (size_t a = 0; a < BasicRomSize && (c = std::fgetc(file)) != EOF; a++)
            FUZZ_CHECK(MainMemory[a] == c);
        std::fclose(file);
    } else {
        FUZZ_CHECK(basicRom == BasicRomOld);
    }
    videoMemory();

    cpuReset();
    execute(1000);

    for (const auto& [path, hash] : files)
        FUZZ_CHECK(fuzz::fileHash(path) == hash);
    closePrinter(); // what the program printed would pile up over a long run
    std::remove(printerFilePath().c_str());
    return 0;
}
