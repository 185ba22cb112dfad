// The Orvane disk format: the layout the open DOS and orvdisk share (see
// docs/disk-format.md for the bytes and the proof of the write order).
//
// An image is 256-byte sectors. Sector 0 holds the signature and the layout
// and is written only when the disk is formatted. Two directory copies
// follow, each a header sector (generation, checksum, allocation map) and
// four sectors of 16-byte entries. The valid copy with the higher generation
// is the directory; a change writes the other copy, header last. Files are
// chains of sectors (a two-byte link, then 254 data bytes) and are never
// changed in place: a new version goes to free sectors, so a write cut off
// at any point leaves the old version and a consistent disk.
//
// OrvaneDisk works on an image held in memory; orvdisk writes the result
// back as a whole file (temporary file and rename).
//
//   std::vector<uint8_t> bytes = FormatOrvaneDisk();
//   OrvaneDisk disk;
//   std::string cause;
//   disk.open(bytes, cause);
//   disk.write("HELLO", OrvaneFileKind::Data, {'H', 'I', 13}, cause);
//   std::vector<uint8_t> back;
//   disk.read("HELLO", back, cause);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t OrvaneSectorBytes = 256;
constexpr uint32_t OrvaneDiskSectors = 640; // the "mo" card: 160 KB
constexpr uint32_t OrvaneMinSectors = 32;
constexpr uint32_t OrvaneMaxSectors = 640; // the bitmap holds 640 bits
constexpr uint8_t OrvaneFormatVersion = 1;
constexpr uint32_t OrvaneNameLength = 8;
constexpr uint32_t OrvaneEntryBytes = 16;
constexpr uint32_t OrvaneEntrySectors = 4;
constexpr uint32_t OrvaneDirectoryEntries =
    OrvaneEntrySectors * OrvaneSectorBytes / OrvaneEntryBytes; // 64
constexpr uint32_t OrvaneCopySectors = 1 + OrvaneEntrySectors;
constexpr uint32_t OrvaneCopyA = 1;
constexpr uint32_t OrvaneCopyB = OrvaneCopyA + OrvaneCopySectors;
constexpr uint32_t OrvaneFirstDataSector = OrvaneCopyB + OrvaneCopySectors; // 11
constexpr uint32_t OrvaneDataPerSector = OrvaneSectorBytes - 2;             // 254

// The signature at the start of sector 0.
extern const char OrvaneDiskSignature[8];

enum class OrvaneFileKind : uint8_t {
    Program = 'B', // BASIC line records as in memory, ending with the 01h end byte
    Data = 'D',    // text lines ended by CR, as PRINT # writes them
};

struct OrvaneDirEntry {
    std::string name; // 1-8 characters, stored as typed
    OrvaneFileKind kind = OrvaneFileKind::Data;
    uint16_t first = 0;   // first sector, 0 for an empty file
    uint16_t sectors = 0; // sectors in the chain
    uint32_t length = 0;  // bytes of data
};

// A blank image of the given number of sectors (OrvaneMinSectors to
// OrvaneMaxSectors), formatted: both directory copies valid and empty.
std::vector<uint8_t> FormatOrvaneDisk(uint32_t sectors = OrvaneDiskSectors);

// Whether sector 0 carries the signature (what the DOS checks before it
// writes anything).
bool HasOrvaneSignature(const std::vector<uint8_t>& image);

// A name the format accepts: 1-8 printable characters other than blank,
// '"', ',' and ':'.
bool ValidOrvaneName(const std::string& name);

class OrvaneDisk {
  public:
    // Takes the image and finds its directory. 0 with the cause ("not an
    // Orvane disk", "unsupported format version 2", "no valid directory")
    // when it cannot be used.
    int open(std::vector<uint8_t> image, std::string& cause);

    const std::vector<uint8_t>& image() const { return image_; }
    const std::vector<OrvaneDirEntry>& entries() const { return entries_; }
    const OrvaneDirEntry* find(const std::string& name) const;
    uint32_t generation() const { return generation_; }
    uint32_t freeSectors() const;
    uint32_t freeBytes() const { return freeSectors() * OrvaneDataPerSector; }

    // Each returns 1, or 0 with the cause ("file not found", "disk full",
    // "directory full", "bad file name", "file exists", "damaged file").
    // A failed change leaves the image as it was.
    int read(const std::string& name, std::vector<uint8_t>& data, std::string& cause) const;
    // Creates or replaces the file.
    int write(const std::string& name, OrvaneFileKind kind, const std::vector<uint8_t>& data,
              std::string& cause);
    int remove(const std::string& name, std::string& cause);
    int rename(const std::string& from, const std::string& to, std::string& cause);

    // Everything wrong with the disk, one line each; empty when it is sound.
    std::vector<std::string> check() const;

  private:
    std::vector<uint8_t> image_;
    std::vector<OrvaneDirEntry> entries_;
    std::vector<uint8_t> bitmap_; // one bit per sector, set when in use
    uint32_t sectors_ = 0;
    uint32_t generation_ = 0;
    uint32_t current_ = 0; // first sector of the copy in force

    bool used(uint32_t sector) const;
    void setUsed(uint32_t sector, bool inUse);
    uint8_t* sector(uint32_t s) { return image_.data() + s * OrvaneSectorBytes; }
    const uint8_t* sector(uint32_t s) const { return image_.data() + s * OrvaneSectorBytes; }
    // Collects the chain of a file; 0 when it leaves the data area, loops,
    // or is not as long as the entry says.
    int chainOf(const OrvaneDirEntry& entry, std::vector<uint16_t>& chain) const;
    // Writes the directory and bitmap into the copy not in force, header
    // last, and makes it the one in force.
    void commit(const std::vector<OrvaneDirEntry>& entries, const std::vector<uint8_t>& bitmap);
};

// Writes a blank formatted image of that many sectors to path (temporary
// file and rename). 1, or 0 with the cause.
int WriteBlankOrvaneDisk(const std::string& path, uint32_t sectors, std::string& cause);
