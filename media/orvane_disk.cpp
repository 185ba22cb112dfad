// The Orvane disk format on an image held in memory.
#include "media/orvane_disk.h"
#include "files/file_write.h"

#include <algorithm>
#include <cstring>

const char OrvaneDiskSignature[8] = {'O', 'R', 'V', 'A', 'N', 'E', 'D', 'K'};

namespace {

constexpr char CopyMagic[4] = {'O', 'D', 'I', 'R'};
constexpr uint32_t BitmapOffset = 16;
constexpr uint32_t BitmapBytes = OrvaneMaxSectors / 8; // 80

uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t get24(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }
uint32_t get32(const uint8_t* p) { return get24(p) | (static_cast<uint32_t>(p[3]) << 24); }
void put16(uint8_t* p, uint32_t v) {
    p[0] = v & 0xFF;
    p[1] = (v >> 8) & 0xFF;
}
void put24(uint8_t* p, uint32_t v) {
    put16(p, v);
    p[2] = (v >> 16) & 0xFF;
}
void put32(uint8_t* p, uint32_t v) {
    put24(p, v);
    p[3] = (v >> 24) & 0xFF;
}

// The 16-bit byte sum over a copy: its header without the checksum field,
// then its entry sectors.
uint16_t copyChecksum(const uint8_t* header, const uint8_t* entries) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < OrvaneSectorBytes; ++i)
        if (i != 8 && i != 9) sum += header[i];
    for (uint32_t i = 0; i < OrvaneEntrySectors * OrvaneSectorBytes; ++i)
        sum += entries[i];
    return static_cast<uint16_t>(sum);
}

uint32_t sectorsFor(uint32_t length) {
    return (length + OrvaneDataPerSector - 1) / OrvaneDataPerSector;
}

std::vector<uint8_t> emptyBitmap(uint32_t sectors) {
    std::vector<uint8_t> bitmap(BitmapBytes, 0);
    for (uint32_t s = 0; s < OrvaneMaxSectors; ++s)
        if (s < OrvaneFirstDataSector || s >= sectors) bitmap[s / 8] |= 1u << (s % 8);
    return bitmap;
}

// Writes a directory copy (entries, then header) into image at copy.
void writeCopy(std::vector<uint8_t>& image, uint32_t copy, uint32_t generation,
               const std::vector<OrvaneDirEntry>& entries, const std::vector<uint8_t>& bitmap) {
    uint8_t* header = image.data() + copy * OrvaneSectorBytes;
    uint8_t* table = header + OrvaneSectorBytes;
    std::memset(table, 0, OrvaneEntrySectors * OrvaneSectorBytes);
    for (size_t i = 0; i < entries.size(); ++i) {
        uint8_t* e = table + i * OrvaneEntryBytes;
        const OrvaneDirEntry& entry = entries[i];
        std::memset(e, ' ', OrvaneNameLength);
        // Names are padded with blanks, never ended by a NUL.
        std::copy_n(entry.name.begin(), std::min<size_t>(entry.name.size(), OrvaneNameLength), e);
        e[8] = static_cast<uint8_t>(entry.kind);
        put24(e + 9, entry.length);
        put16(e + 12, entry.first);
        put16(e + 14, entry.sectors);
    }
    std::memset(header, 0, OrvaneSectorBytes);
    std::memcpy(header, CopyMagic, 4);
    put32(header + 4, generation);
    std::memcpy(header + BitmapOffset, bitmap.data(), BitmapBytes);
    put16(header + 8, copyChecksum(header, table));
}

} // namespace

std::vector<uint8_t> FormatOrvaneDisk(uint32_t sectors) {
    sectors = std::clamp(sectors, OrvaneMinSectors, OrvaneMaxSectors);
    std::vector<uint8_t> image(sectors * OrvaneSectorBytes, 0xE5);
    std::memset(image.data(), 0, OrvaneFirstDataSector * OrvaneSectorBytes);
    std::memcpy(image.data(), OrvaneDiskSignature, sizeof OrvaneDiskSignature);
    image[8] = OrvaneFormatVersion;
    put16(image.data() + 10, sectors);
    image[12] = OrvaneCopyA;
    image[13] = OrvaneCopyB;
    image[14] = OrvaneEntrySectors;
    image[15] = OrvaneFirstDataSector;
    std::vector<uint8_t> bitmap = emptyBitmap(sectors);
    writeCopy(image, OrvaneCopyA, 1, {}, bitmap);
    writeCopy(image, OrvaneCopyB, 0, {}, bitmap);
    return image;
}

bool HasOrvaneSignature(const std::vector<uint8_t>& image) {
    return image.size() >= OrvaneSectorBytes &&
           std::memcmp(image.data(), OrvaneDiskSignature, sizeof OrvaneDiskSignature) == 0;
}

bool ValidOrvaneName(const std::string& name) {
    if (name.empty() || name.size() > OrvaneNameLength) return false;
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u >= 0x7F || c == '"' || c == ',' || c == ':') return false;
    }
    return true;
}

int OrvaneDisk::open(std::vector<uint8_t> image, std::string& cause) {
    if (!HasOrvaneSignature(image)) {
        cause = "not an Orvane disk";
        return 0;
    }
    if (image[8] != OrvaneFormatVersion) {
        cause = "unsupported format version " + std::to_string(image[8]);
        return 0;
    }
    uint32_t sectors = get16(image.data() + 10);
    if (sectors < OrvaneMinSectors || sectors > OrvaneMaxSectors ||
        image.size() < sectors * OrvaneSectorBytes || image[12] != OrvaneCopyA ||
        image[13] != OrvaneCopyB || image[14] != OrvaneEntrySectors ||
        image[15] != OrvaneFirstDataSector) {
        cause = "damaged disk header";
        return 0;
    }
    int best = -1;
    uint32_t bestGeneration = 0;
    for (uint32_t copy : {OrvaneCopyA, OrvaneCopyB}) {
        const uint8_t* header = image.data() + copy * OrvaneSectorBytes;
        if (std::memcmp(header, CopyMagic, 4) != 0) continue;
        if (get16(header + 8) != copyChecksum(header, header + OrvaneSectorBytes)) continue;
        uint32_t generation = get32(header + 4);
        if (best < 0 || generation > bestGeneration) {
            best = static_cast<int>(copy);
            bestGeneration = generation;
        }
    }
    if (best < 0) {
        cause = "no valid directory";
        return 0;
    }
    image_ = std::move(image);
    sectors_ = sectors;
    current_ = static_cast<uint32_t>(best);
    generation_ = bestGeneration;
    const uint8_t* header = sector(current_);
    bitmap_.assign(header + BitmapOffset, header + BitmapOffset + BitmapBytes);
    entries_.clear();
    const uint8_t* table = header + OrvaneSectorBytes;
    for (uint32_t i = 0; i < OrvaneDirectoryEntries; ++i) {
        const uint8_t* e = table + i * OrvaneEntryBytes;
        if (e[0] == 0) continue;
        OrvaneDirEntry entry;
        entry.name.assign(reinterpret_cast<const char*>(e), OrvaneNameLength);
        entry.name.erase(entry.name.find_last_not_of(' ') + 1);
        entry.kind = static_cast<OrvaneFileKind>(e[8]);
        entry.length = get24(e + 9);
        entry.first = get16(e + 12);
        entry.sectors = get16(e + 14);
        entries_.push_back(entry);
    }
    return 1;
}

const OrvaneDirEntry* OrvaneDisk::find(const std::string& name) const {
    for (const OrvaneDirEntry& entry : entries_)
        if (entry.name == name) return &entry;
    return nullptr;
}

bool OrvaneDisk::used(uint32_t s) const { return (bitmap_[s / 8] >> (s % 8)) & 1; }

void OrvaneDisk::setUsed(uint32_t s, bool inUse) {
    if (inUse)
        bitmap_[s / 8] |= static_cast<uint8_t>(1u << (s % 8));
    else
        bitmap_[s / 8] &= static_cast<uint8_t>(~(1u << (s % 8)));
}

uint32_t OrvaneDisk::freeSectors() const {
    uint32_t n = 0;
    for (uint32_t s = OrvaneFirstDataSector; s < sectors_; ++s)
        n += !used(s);
    return n;
}

int OrvaneDisk::chainOf(const OrvaneDirEntry& entry, std::vector<uint16_t>& chain) const {
    chain.clear();
    uint32_t s = entry.first;
    while (s != 0) {
        if (s < OrvaneFirstDataSector || s >= sectors_ || chain.size() >= entry.sectors) return 0;
        chain.push_back(static_cast<uint16_t>(s));
        s = get16(sector(s));
    }
    return chain.size() == entry.sectors;
}

int OrvaneDisk::read(const std::string& name, std::vector<uint8_t>& data,
                     std::string& cause) const {
    const OrvaneDirEntry* entry = find(name);
    if (!entry) {
        cause = "file not found";
        return 0;
    }
    std::vector<uint16_t> chain;
    if (!chainOf(*entry, chain) || sectorsFor(entry->length) != entry->sectors) {
        cause = "damaged file";
        return 0;
    }
    data.clear();
    uint32_t left = entry->length;
    for (uint16_t s : chain) {
        uint32_t n = std::min(left, OrvaneDataPerSector);
        data.insert(data.end(), sector(s) + 2, sector(s) + 2 + n);
        left -= n;
    }
    return 1;
}

int OrvaneDisk::write(const std::string& name, OrvaneFileKind kind,
                      const std::vector<uint8_t>& data, std::string& cause) {
    if (!ValidOrvaneName(name)) {
        cause = "bad file name";
        return 0;
    }
    std::vector<OrvaneDirEntry> entries = entries_;
    std::vector<uint8_t> oldBitmap = bitmap_;
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const OrvaneDirEntry& e) { return e.name == name; });
    if (it == entries.end() && entries.size() >= OrvaneDirectoryEntries) {
        cause = "directory full";
        return 0;
    }
    // The new version goes to sectors free in the directory in force; the
    // old version's sectors are freed only by the commit.
    uint32_t needed = sectorsFor(static_cast<uint32_t>(data.size()));
    if (data.size() > 0xFFFFFF || needed > freeSectors()) {
        cause = "disk full";
        return 0;
    }
    std::vector<uint16_t> chain;
    for (uint32_t s = OrvaneFirstDataSector; s < sectors_ && chain.size() < needed; ++s)
        if (!used(s)) chain.push_back(static_cast<uint16_t>(s));
    for (size_t i = 0; i < chain.size(); ++i) {
        uint8_t* p = sector(chain[i]);
        std::memset(p, 0, OrvaneSectorBytes);
        put16(p, i + 1 < chain.size() ? chain[i + 1] : 0);
        size_t from = i * OrvaneDataPerSector;
        size_t n = std::min<size_t>(OrvaneDataPerSector, data.size() - from);
        std::memcpy(p + 2, data.data() + from, n);
    }
    for (uint16_t s : chain)
        setUsed(s, true);
    OrvaneDirEntry entry{name, kind, static_cast<uint16_t>(chain.empty() ? 0 : chain[0]),
                         static_cast<uint16_t>(chain.size()), static_cast<uint32_t>(data.size())};
    if (it != entries.end()) {
        std::vector<uint16_t> old;
        chainOf(*it, old);
        for (uint16_t s : old)
            setUsed(s, false);
        *it = entry;
    } else {
        entries.push_back(entry);
    }
    std::vector<uint8_t> bitmap = bitmap_;
    bitmap_ = oldBitmap;
    commit(entries, bitmap);
    return 1;
}

int OrvaneDisk::remove(const std::string& name, std::string& cause) {
    std::vector<OrvaneDirEntry> entries = entries_;
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const OrvaneDirEntry& e) { return e.name == name; });
    if (it == entries.end()) {
        cause = "file not found";
        return 0;
    }
    std::vector<uint16_t> chain;
    chainOf(*it, chain);
    std::vector<uint8_t> bitmap = bitmap_;
    for (uint16_t s : chain)
        bitmap[s / 8] &= static_cast<uint8_t>(~(1u << (s % 8)));
    entries.erase(it);
    commit(entries, bitmap);
    return 1;
}

int OrvaneDisk::rename(const std::string& from, const std::string& to, std::string& cause) {
    if (!ValidOrvaneName(to)) {
        cause = "bad file name";
        return 0;
    }
    std::vector<OrvaneDirEntry> entries = entries_;
    auto it = std::find_if(entries.begin(), entries.end(),
                           [&](const OrvaneDirEntry& e) { return e.name == from; });
    if (it == entries.end()) {
        cause = "file not found";
        return 0;
    }
    if (from != to && find(to)) {
        cause = "file exists";
        return 0;
    }
    it->name = to;
    commit(entries, bitmap_);
    return 1;
}

void OrvaneDisk::commit(const std::vector<OrvaneDirEntry>& entries,
                        const std::vector<uint8_t>& bitmap) {
    uint32_t other = current_ == OrvaneCopyA ? OrvaneCopyB : OrvaneCopyA;
    writeCopy(image_, other, generation_ + 1, entries, bitmap);
    current_ = other;
    generation_ += 1;
    entries_ = entries;
    bitmap_ = bitmap;
}

std::vector<std::string> OrvaneDisk::check() const {
    std::vector<std::string> problems;
    if (image_.size() != sectors_ * OrvaneSectorBytes)
        problems.push_back("image is " + std::to_string(image_.size()) + " bytes, the disk " +
                           std::to_string(sectors_ * OrvaneSectorBytes));
    std::vector<int> owner(sectors_, -1);
    for (size_t i = 0; i < entries_.size(); ++i) {
        const OrvaneDirEntry& entry = entries_[i];
        std::string what = "file \"" + entry.name + "\"";
        if (!ValidOrvaneName(entry.name)) problems.push_back(what + ": bad name");
        if (entry.kind != OrvaneFileKind::Program && entry.kind != OrvaneFileKind::Data)
            problems.push_back(what + ": unknown kind");
        for (size_t j = 0; j < i; ++j)
            if (entries_[j].name == entry.name) problems.push_back(what + ": listed twice");
        if (sectorsFor(entry.length) != entry.sectors)
            problems.push_back(what + ": " + std::to_string(entry.length) + " bytes in " +
                               std::to_string(entry.sectors) + " sectors");
        std::vector<uint16_t> chain;
        if (!chainOf(entry, chain)) problems.push_back(what + ": broken sector chain");
        for (uint16_t s : chain) {
            if (owner[s] >= 0)
                problems.push_back(what + ": sector " + std::to_string(s) + " also belongs to \"" +
                                   entries_[static_cast<size_t>(owner[s])].name + "\"");
            owner[s] = static_cast<int>(i);
            if (!used(s))
                problems.push_back(what + ": sector " + std::to_string(s) + " marked free");
        }
    }
    for (uint32_t s = 0; s < OrvaneFirstDataSector; ++s)
        if (!used(s)) problems.push_back("system sector " + std::to_string(s) + " marked free");
    uint32_t lost = 0;
    for (uint32_t s = OrvaneFirstDataSector; s < sectors_; ++s)
        if (used(s) && owner[s] < 0) ++lost;
    if (lost) problems.push_back(std::to_string(lost) + " sectors marked in use by no file");
    return problems;
}

int WriteBlankOrvaneDisk(const std::string& path, uint32_t sectors, std::string& cause) {
    std::vector<uint8_t> image = FormatOrvaneDisk(sectors);
    return WriteWholeFile(path, image.data(), image.size(), &cause);
}
