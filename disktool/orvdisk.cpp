#include "disktool/orvdisk.h"

#include "files/file_write.h"
#include "host/session/basic_text.h"
#include "media/disk_card.h"
#include "media/orvane_disk.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "unknown"
#endif

namespace {

const char Usage[] = "usage: orvdisk new [--size KB] IMAGE\n"
                     "       orvdisk ls IMAGE\n"
                     "       orvdisk get [--bac] IMAGE NAME [OUT]\n"
                     "       orvdisk put IMAGE FILE [NAME]\n"
                     "       orvdisk rm IMAGE NAME\n"
                     "       orvdisk mv IMAGE OLD NEW\n"
                     "       orvdisk check IMAGE\n"
                     "       orvdisk --version\n";

int usage() {
    std::fputs(Usage, stderr);
    return 2;
}

int fail(const std::string& subject, const std::string& cause) {
    std::fprintf(stderr, "orvdisk: %s: %s\n", subject.c_str(), cause.c_str());
    return 1;
}

int readFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& cause) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        cause = "is a folder";
        return 0;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        cause = FileErrorText(errno);
        return 0;
    }
    bytes.clear();
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    bool bad = std::ferror(file);
    std::fclose(file);
    if (bad) {
        cause = "read error";
        return 0;
    }
    return 1;
}

int openImage(const std::string& path, OrvaneDisk& disk) {
    std::vector<uint8_t> bytes;
    std::string cause;
    if (!readFile(path, bytes, cause) || !disk.open(std::move(bytes), cause))
        return fail(path, cause);
    return 0;
}

int saveImage(const std::string& path, const OrvaneDisk& disk) {
    std::string cause;
    if (!WriteWholeFile(path, disk.image().data(), disk.image().size(), &cause))
        return fail(path, cause);
    return 0;
}

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

int commandNew(std::vector<std::string> args) {
    uint32_t kb = OrvaneDiskSectors * OrvaneSectorBytes / 1024;
    if (args.size() == 3 && args[0] == "--size") {
        char* end = nullptr;
        unsigned long value = std::strtoul(args[1].c_str(), &end, 10);
        DiskGeometry geometry;
        uint64_t bytes = static_cast<uint64_t>(value) * 1024;
        if (!end || *end || value == 0 || bytes / OrvaneSectorBytes > OrvaneMaxSectors ||
            bytes / OrvaneSectorBytes < OrvaneMinSectors || !DiskGeometryForSize(bytes, geometry)) {
            std::fprintf(stderr,
                         "orvdisk: --size %s: the card takes images of 8 to 160 KB that are a "
                         "whole number of 4 KB tracks (160 is the standard disk)\n",
                         args[1].c_str());
            return 2;
        }
        kb = static_cast<uint32_t>(value);
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 1) return usage();
    std::error_code error;
    if (std::filesystem::exists(args[0], error))
        return fail(args[0], "already exists; remove it first to make a new disk there");
    std::string cause;
    if (!WriteBlankOrvaneDisk(args[0], kb * 1024 / OrvaneSectorBytes, cause))
        return fail(args[0], cause);
    return 0;
}

int commandLs(const std::vector<std::string>& args) {
    if (args.size() != 1) return usage();
    OrvaneDisk disk;
    if (int rc = openImage(args[0], disk)) return rc;
    std::vector<OrvaneDirEntry> entries = disk.entries();
    std::sort(entries.begin(), entries.end(),
              [](const OrvaneDirEntry& a, const OrvaneDirEntry& b) { return a.name < b.name; });
    for (const OrvaneDirEntry& e : entries)
        std::printf("%-8s %s %7u\n", e.name.c_str(),
                    e.kind == OrvaneFileKind::Program ? "PROGRAM" : "DATA   ", e.length);
    std::printf("%zu files, %u bytes free\n", entries.size(), disk.freeBytes());
    return 0;
}

int commandGet(std::vector<std::string> args) {
    bool bac = false;
    if (!args.empty() && args[0] == "--bac") {
        bac = true;
        args.erase(args.begin());
    }
    if (args.size() != 2 && args.size() != 3) return usage();
    OrvaneDisk disk;
    if (int rc = openImage(args[0], disk)) return rc;
    const std::string& name = args[1];
    std::vector<uint8_t> data;
    std::string cause;
    if (!disk.read(name, data, cause)) return fail(name, cause);
    bool program = disk.find(name)->kind == OrvaneFileKind::Program;
    std::string out =
        args.size() == 3 ? args[2] : name + (program ? (bac ? ".bac" : ".bas") : ".txt");
    if (program && bac) {
        if (!WriteBacProgram(out, data, cause)) return fail(out, cause);
        return 0;
    }
    std::string text;
    if (program) {
        if (!ListBasicProgram(data, text, cause)) return fail(name, cause);
    } else {
        for (uint8_t b : data)
            text += b == 0x0D ? '\n' : static_cast<char>(b);
    }
    if (out == "-") {
        std::fwrite(text.data(), 1, text.size(), stdout);
        if (std::fflush(stdout) != 0) return fail("standard output", FileErrorText(errno));
        return 0;
    }
    if (!WriteWholeFile(out, text, &cause)) return fail(out, cause);
    return 0;
}

int commandPut(const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 3) return usage();
    const std::string& file = args[1];
    std::string name;
    if (args.size() == 3) {
        name = args[2];
    } else {
        name = std::filesystem::path(file).stem().string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    }
    if (!ValidOrvaneName(name))
        return fail(name, "bad file name (1 to 8 characters, no blank, '\"', ',' or ':')");
    OrvaneDisk disk;
    if (int rc = openImage(args[0], disk)) return rc;
    std::vector<uint8_t> bytes;
    std::string cause;
    if (!readFile(file, bytes, cause)) return fail(file, cause);
    std::string ext = lowerExtension(file);
    std::vector<uint8_t> data;
    OrvaneFileKind kind = OrvaneFileKind::Data;
    constexpr uint8_t BacMarker = 0x82;
    if (ext == ".bac" || ((ext == ".bas") && !bytes.empty() && bytes[0] == BacMarker)) {
        kind = OrvaneFileKind::Program;
        if (!ReadBacProgram(file, data, cause)) return fail(file, cause);
    } else if (ext == ".bas") {
        kind = OrvaneFileKind::Program;
        if (!TokeniseBasicText(std::string(bytes.begin(), bytes.end()), data, cause))
            return fail(file, cause);
    } else {
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
            data.push_back(bytes[i] == '\n' ? 0x0D : bytes[i]);
        }
    }
    if (!disk.write(name, kind, data, cause)) return fail(args[0], cause);
    return saveImage(args[0], disk);
}

int commandRm(const std::vector<std::string>& args) {
    if (args.size() != 2) return usage();
    OrvaneDisk disk;
    if (int rc = openImage(args[0], disk)) return rc;
    std::string cause;
    if (!disk.remove(args[1], cause)) return fail(args[1], cause);
    return saveImage(args[0], disk);
}

int commandMv(const std::vector<std::string>& args) {
    if (args.size() != 3) return usage();
    OrvaneDisk disk;
    if (int rc = openImage(args[0], disk)) return rc;
    std::string cause;
    if (!disk.rename(args[1], args[2], cause)) return fail(args[1], cause);
    return saveImage(args[0], disk);
}

int commandCheck(const std::vector<std::string>& args) {
    if (args.size() != 1) return usage();
    OrvaneDisk disk;
    if (int rc = openImage(args[0], disk)) return rc;
    std::vector<std::string> problems = disk.check();
    for (const std::string& problem : problems)
        std::fprintf(stderr, "orvdisk: %s: %s\n", args[0].c_str(), problem.c_str());
    if (!problems.empty()) return 1;
    std::printf("%s: sound, %zu files, %u bytes free\n", args[0].c_str(), disk.entries().size(),
                disk.freeBytes());
    return 0;
}

} // namespace

int RunOrvdisk(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("orvdisk %s\n", ORVANE_VERSION);
        return 0;
    }
    if (argc < 2) return usage();
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "new") return commandNew(args);
    if (command == "ls") return commandLs(args);
    if (command == "get") return commandGet(args);
    if (command == "put") return commandPut(args);
    if (command == "rm") return commandRm(args);
    if (command == "mv") return commandMv(args);
    if (command == "check") return commandCheck(args);
    if (command == "--help" || command == "-h") {
        std::fputs(Usage, stdout);
        return 0;
    }
    return usage();
}
