// ROM folder search, identification of installed images, and the image
// tables the address decoder reads.
#include "machine/roms.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "data/firmware.h"
#include "machine/memory.h"

namespace fs = std::filesystem;

namespace {

struct InstalledRoms {
    uint8_t oldBasic[BasicRomSize];
    uint8_t newBasic[BasicRomSize];
    uint8_t abcdos[DosRomSize];
    uint8_t ufddos[DosRomSize];
    uint8_t aux[DosAuxRomSize];
    std::string oldSource, newSource, abcdosSource, ufddosSource, auxSource;
};

InstalledRoms installed;
const uint8_t NoAuxRom[DosAuxRomSize] = {};
std::string explicitFolder;
bool folderIsExplicit = false;
const std::string NoSource;

// DOS images by file name (compared without regard to case).
struct DosFile {
    const char* name;
    size_t size;
    uint8_t* image;
    std::string* source;
};

bool sameNameIgnoringCase(const std::string& a, const char* b) {
    size_t n = std::char_traits<char>::length(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; i++)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

size_t readFile(const fs::path& path, uint8_t* buffer, size_t size) {
    FILE* file = std::fopen(path.string().c_str(), "rb");
    if (!file) return 0;
    size_t count = std::fread(buffer, 1, size, file);
    std::fclose(file);
    return count;
}

void linkImages() {
    BasicRomImages[BasicRomOld] =
        installed.oldSource.empty() ? OpenFirmwareRom : installed.oldBasic;
    BasicRomImages[BasicRomNew] =
        installed.newSource.empty() ? OpenFirmwareRom : installed.newBasic;
    BasicRomImages[BasicRomExternal] = MainMemory;
    const uint8_t* aux = installed.auxSource.empty() ? NoAuxRom : installed.aux;
    DosRomImages[DosRomNone] = MainMemory;
    DosAuxRomImages[DosRomNone] = NoAuxRom;
    bool abcdos = !installed.abcdosSource.empty(), ufddos = !installed.ufddosSource.empty();
    DosRomImages[DosRomAbcdos] = abcdos ? installed.abcdos : OpenDosRom;
    DosAuxRomImages[DosRomAbcdos] = abcdos ? aux : NoAuxRom;
    DosRomImages[DosRomUfddos] = ufddos ? installed.ufddos : OpenDosRom;
    DosAuxRomImages[DosRomUfddos] = ufddos ? aux : NoAuxRom;
    DosRomImages[DosRomOpen] = OpenDosRom;
    DosAuxRomImages[DosRomOpen] = NoAuxRom;
}

int scanFolder(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) return 0;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error)) files.push_back(it->path());
    std::sort(files.begin(), files.end());

    DosFile dosFiles[] = {
        {"abcdos.rom", DosRomSize, installed.abcdos, &installed.abcdosSource},
        {"ufddos.rom", DosRomSize, installed.ufddos, &installed.ufddosSource},
        {"dosaux.rom", DosAuxRomSize, installed.aux, &installed.auxSource},
    };
    int found = 0;
    static uint8_t candidate[BasicRomSize];
    for (const fs::path& path : files) {
        uintmax_t size = fs::file_size(path, error);
        if (error) continue;
        std::string name = path.filename().string();
        for (DosFile& dos : dosFiles) {
            if (!sameNameIgnoringCase(name, dos.name) || !dos.source->empty()) continue;
            if (size != dos.size) {
                std::fprintf(stderr, "ROM file %s ignored: %ju bytes, expected %zu\n",
                             path.string().c_str(), size, dos.size);
            } else if (readFile(path, dos.image, dos.size) == dos.size) {
                *dos.source = path.string();
                found++;
            }
        }
        if (size != BasicRomSize || readFile(path, candidate, BasicRomSize) != BasicRomSize)
            continue;
        uint32_t sum = romByteSum(candidate, BasicRomSize);
        if (sum == OldBasicByteSum && installed.oldSource.empty()) {
            std::copy(candidate, candidate + BasicRomSize, installed.oldBasic);
            installed.oldSource = path.string();
            found++;
        } else if (sum == NewBasicByteSum && installed.newSource.empty()) {
            std::copy(candidate, candidate + BasicRomSize, installed.newBasic);
            installed.newSource = path.string();
            found++;
        }
    }
    return found;
}

const char* basicName(uint32_t choice) {
    switch (choice) {
    case BasicRomOld: return "old";
    case BasicRomNew: return "new";
    default: return "external";
    }
}

} // namespace

const uint8_t* BasicRomImages[BasicRomChoices] = {OpenFirmwareRom, OpenFirmwareRom, MainMemory};

namespace {
// The open firmware's extension sits in the first extension socket.
constexpr uint16_t ExtensionAt = Abc80Model.memory.extension.first;
static_assert(sizeof OpenFirmwareExtension <= Abc80Model.memory.extension.size());
} // namespace

bool firmwareExtensionPlaced() {
    return std::equal(OpenFirmwareExtension, OpenFirmwareExtension + sizeof OpenFirmwareExtension,
                      MainMemory + ExtensionAt);
}

void placeFirmwareExtension() {
    const bool openFirmware =
        BasicRomImages[basicRom < BasicRomChoices ? basicRom : 0] == OpenFirmwareRom;
    if (openFirmware)
        std::copy(OpenFirmwareExtension, OpenFirmwareExtension + sizeof OpenFirmwareExtension,
                  MainMemory + ExtensionAt);
    else if (firmwareExtensionPlaced())
        std::fill(MainMemory + ExtensionAt, MainMemory + ExtensionAt + sizeof OpenFirmwareExtension,
                  0);
}
const uint8_t* DosRomImages[DosRomChoices] = {MainMemory, OpenDosRom, OpenDosRom, OpenDosRom};
const uint8_t* DosAuxRomImages[DosRomChoices] = {NoAuxRom, NoAuxRom, NoAuxRom, NoAuxRom};

std::vector<std::string> romFolders() {
    if (folderIsExplicit) return {explicitFolder};
    std::vector<std::string> folders;
    if (const char* env = std::getenv("ORVANE_ROM_PATH"); env && *env) folders.push_back(env);
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        folders.push_back(std::string(data) + "/orvane/roms");
    else if (const char* home = std::getenv("HOME"); home && *home)
        folders.push_back(std::string(home) + "/.local/share/orvane/roms");
    folders.push_back("roms");
    return folders;
}

void setRomFolder(const std::string& folder) {
    explicitFolder = folder;
    folderIsExplicit = !folder.empty();
}

void clearRomImages() {
    installed.oldSource.clear();
    installed.newSource.clear();
    installed.abcdosSource.clear();
    installed.ufddosSource.clear();
    installed.auxSource.clear();
    linkImages();
}

int installRomImages() {
    clearRomImages();
    int found = 0;
    for (const std::string& folder : romFolders())
        found += scanFolder(folder);
    linkImages();
    return found;
}

const std::string& basicRomSource(uint32_t choice) {
    if (choice == BasicRomOld) return installed.oldSource;
    if (choice == BasicRomNew) return installed.newSource;
    return NoSource;
}

const std::string& dosRomSource(uint32_t choice) {
    if (choice == DosRomAbcdos) return installed.abcdosSource;
    if (choice == DosRomUfddos) return installed.ufddosSource;
    return NoSource;
}

bool dosRomPresent(uint32_t choice) {
    return choice == DosRomOpen || !dosRomSource(choice).empty();
}

uint32_t runningDos(uint32_t choice) {
    if (choice == DosRomNone || choice >= DosRomChoices) return DosRomNone;
    return dosRomPresent(choice) ? choice : DosRomOpen;
}

const char* dosRomName(uint32_t choice) {
    static const char* const names[DosRomChoices] = {"none", "ABCDOS", "UFDDOS", "Open DOS"};
    return choice < DosRomChoices ? names[choice] : names[0];
}

std::string runningRomDescription() {
    std::string text = "BASIC ROM: ";
    if (basicRom == BasicRomExternal) {
        text += externalRomKnown ? "external file (80 columns)" : "external file";
    } else if (basicRomSource(basicRom).empty()) {
        text += std::string("open firmware (no ") + basicName(basicRom) + " image installed)";
    } else {
        text += std::string(basicName(basicRom)) + " image " + basicRomSource(basicRom);
    }
    text += "; DOS: ";
    const uint32_t running = runningDos(dosRom);
    if (running == DosRomNone) {
        text += "none";
    } else if (running == DosRomOpen) {
        text += "Open DOS";
        if (dosRom != DosRomOpen)
            text += std::string(" (no ") + dosRomName(dosRom) + " image installed)";
    } else {
        text += std::string(dosRomName(dosRom)) + " image " + dosRomSource(dosRom) +
                (installed.auxSource.empty() ? " (no auxiliary ROM)" : "");
    }
    return text;
}

uint32_t romByteSum(const uint8_t* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; i++)
        sum += data[i];
    return sum & 0xFFFF;
}
