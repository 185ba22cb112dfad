// ATP, BAC and BAS loading and BAC saving against files built here.
#include "abc80/abc80.h"
#include "cpu/bus.h"
#include "cpu/z80.h"
#include "machine/keyboard.h"
#include "machine/memory.h"
#include "media/host_file.h"
#include "media/tape_images.h"
#include "tests/media/media_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace {

constexpr uint8_t Filler = 0xEE;

uint16_t wordAt(uint16_t address) { return MainMemory[address] | (MainMemory[address + 1] << 8); }

// One BASIC line record: length byte, content, 0Dh.
Bytes record(const std::string& content) {
    Bytes r(content.size() + 2);
    r[0] = static_cast<uint8_t>(r.size());
    std::copy(content.begin(), content.end(), r.begin() + 1);
    r.back() = 0x0D;
    return r;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// 253 payload bytes that never hold 0Dh followed by 00h.
Bytes fullPayload(uint8_t seed) {
    Bytes p(253);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<uint8_t>(0x20 + (seed + i) % 90);
    return p;
}

// The 256 data bytes of a data block: 00h, block number, payload padded with 00h.
Bytes dataBlock(unsigned number, const Bytes& payload) {
    Bytes data = {0x00, static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8)};
    data.insert(data.end(), payload.begin(), payload.end());
    data.resize(256, 0x00);
    return data;
}

Bytes atpBlock(int leadIn, const Bytes& data, uint8_t endByte = 0x03) {
    Bytes b(leadIn, 0x00);
    b.insert(b.end(), {0x16, 0x16, 0x16, 0x02});
    b.insert(b.end(), data.begin(), data.end());
    b.insert(b.end(), {endByte, 0x5A, 0xA5});
    return b;
}

class TapeImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machineConnect();
        cpuInit(MachineClockHz);
        keyboardReset();
        basicRom = BasicRomOld; // no image installed: the open firmware's program area
        for (uint32_t a = 0; a < 0x8000; ++a)
            MainMemory[a] = static_cast<uint8_t>(a * 7 + 3);
        std::memset(MainMemory + 0x8000, Filler, 0x8000);
        std::memcpy(lowMemory_, MainMemory, sizeof lowMemory_);
    }

    // The program bytes in RAM, its end byte and BASIC's pointers.
    void expectProgram(const Bytes& program) {
        uint32_t n = static_cast<uint32_t>(program.size());
        ASSERT_LE(n, 0x7FFFu);
        if (n > 0) {
            EXPECT_EQ(0, std::memcmp(MainMemory + 0x8000, program.data(), n)) << "program bytes";
        }
        EXPECT_EQ(0x01, MainMemory[0x8000 + n]) << "end byte";
        EXPECT_EQ(0x8000 + n + 1, wordAt(0xFE1E));
        EXPECT_EQ(0x8000 + n + 2, wordAt(0xFE20));
    }

    void expectLowMemoryUntouched() {
        EXPECT_EQ(0, std::memcmp(MainMemory, lowMemory_, sizeof lowMemory_));
    }

    ScratchDir dir_;
    uint8_t lowMemory_[0x8000];
};

// ---- ATP --------------------------------------------------------------------

TEST_F(TapeImageTest, AtpLoadsDataBlocksAndIgnoresHeaderAndForeignBlocks) {
    Bytes first = concat({{0x82}, record("10 PRINT 1"), record("20 GOTO 10")});
    Bytes second = concat({record("30 END")});
    Bytes third = fullPayload(5);
    Bytes header(256, 0x41);
    header[0] = header[1] = header[2] = 0xFF;
    Bytes foreign(256, 0x0D);
    foreign[0] = 0x41;

    Bytes file =
        concat({atpBlock(0, header), atpBlock(32, dataBlock(0, first)), atpBlock(32, foreign),
                atpBlock(32, dataBlock(1, second)), atpBlock(5, dataBlock(2, third))});
    writeFile(dir_.path("prog.atp"), file);

    ASSERT_EQ(1, LoadAtpImage(dir_.path("prog.atp")));
    Bytes expected = concat({record("10 PRINT 1"), record("20 GOTO 10"), record("30 END"), third});
    expectProgram(expected);
    expectLowMemoryUntouched();
}

TEST_F(TapeImageTest, AtpPayloadLengthFollowsMarkerAndLineEndRule) {
    struct Case {
        const char* what;
        unsigned block;
        Bytes payload;
        size_t expected;
    };
    Bytes pairAt10 = fullPayload(1);
    pairAt10[10] = 0x0D;
    pairAt10[11] = 0x00;
    Bytes marked = fullPayload(2);
    marked[0] = 0x82;
    Bytes pairAtEnd = fullPayload(3);
    pairAtEnd[251] = 0x0D;
    pairAtEnd[252] = 0x00;
    Bytes lastByteOnly = fullPayload(4);
    lastByteOnly[252] = 0x0D; // no byte after it inside the payload

    const Case cases[] = {
        {"pair at 10/11", 3, pairAt10, 11},
        {"block 0 with marker, no pair", 0, marked, 252},
        {"marker only counts in block 0", 7, marked, 253},
        {"block 0 without marker", 0, fullPayload(9), 253},
        {"pair at the very end", 1, pairAtEnd, 252},
        {"0Dh as last payload byte", 1, lastByteOnly, 253},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        writeFile(dir_.path("one.atp"), atpBlock(0, dataBlock(c.block, c.payload)));
        ASSERT_EQ(1, LoadAtpImage(dir_.path("one.atp")));
        size_t skip = (c.block == 0 && c.payload[0] == 0x82) ? 1 : 0;
        Bytes expected(c.payload.begin() + skip, c.payload.begin() + skip + c.expected);
        expectProgram(expected);
    }
}

TEST_F(TapeImageTest, AtpMalformedBlockStopsTheLoadAndKeepsWhatCameBefore) {
    Bytes good = atpBlock(10, dataBlock(0, record("10 REM")));
    Bytes later = atpBlock(10, dataBlock(2, record("99 REM LATER")));
    Bytes middle = atpBlock(10, dataBlock(1, record("20 REM")));

    struct Case {
        const char* what;
        Bytes block;
        bool middleCounts;
    };
    Bytes badSync = middle;
    badSync[12] = 0x15;
    Bytes badStart = middle;
    badStart[13] = 0x01;
    Bytes badEnd = atpBlock(10, dataBlock(1, record("20 REM")), 0x04);
    Bytes truncated(middle.begin(), middle.begin() + 100);
    Bytes longLeadIn = atpBlock(34, dataBlock(1, record("20 REM")));
    const Case cases[] = {
        {"34 lead-in zeros", longLeadIn, false}, {"bad sync", badSync, false},
        {"bad start byte", badStart, false},     {"bad end byte", badEnd, true},
        {"truncated data", truncated, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Bytes file = concat({good, c.block});
        if (c.what != std::string("truncated data")) file = concat({file, later});
        writeFile(dir_.path("bad.atp"), file);
        ASSERT_EQ(1, LoadAtpImage(dir_.path("bad.atp")));
        expectProgram(c.middleCounts ? concat({record("10 REM"), record("20 REM")})
                                     : record("10 REM"));
    }
}

TEST_F(TapeImageTest, AtpMissingEmptyAndRandomFiles) {
    uint8_t before[0x10000];
    std::memcpy(before, MainMemory, sizeof before);
    EXPECT_EQ(0, LoadAtpImage(dir_.path("absent.atp")));
    EXPECT_EQ(0, LoadAtpImage(dir_.path("")));
    EXPECT_EQ(0, LoadBacImage(dir_.path("")));
    EXPECT_EQ(0, LoadBasFile(dir_.path("")));
    EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before))
        << "a missing file or a folder changes nothing";

    EXPECT_EQ(0, LoadAtpImage(dir_.path(".")));
    EXPECT_EQ("is a folder", MediaError());

    // A file with no program in it is refused and changes nothing.
    writeFile(dir_.path("empty.atp"), {});
    EXPECT_EQ(0, LoadAtpImage(dir_.path("empty.atp")));
    EXPECT_EQ("no tape blocks found", MediaError());
    Bytes header(256, 0x41);
    header[0] = header[1] = header[2] = 0xFF;
    writeFile(dir_.path("header.atp"), atpBlock(4, header));
    EXPECT_EQ(0, LoadAtpImage(dir_.path("header.atp")));
    EXPECT_EQ("no tape blocks found", MediaError());
    EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before));

    std::mt19937 random(1234);
    for (int round = 0; round < 20; ++round) {
        Bytes noise(1 + random() % 3000);
        for (uint8_t& b : noise)
            b = static_cast<uint8_t>(random());
        if (round % 2) noise.insert(noise.begin(), {0x16, 0x16, 0x16, 0x02, 0x00});
        writeFile(dir_.path("noise.atp"), noise);
        std::memcpy(before, MainMemory, sizeof before);
        if (LoadAtpImage(dir_.path("noise.atp")) == 0) {
            EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before)) << "refused: no change";
        }
        expectLowMemoryUntouched();
    }
}

TEST_F(TapeImageTest, AtpCutOffInsideABlockIsRefusedUnlessTheProgramHadEnded) {
    Bytes first = concat({{0x82}, fullPayload(1)});
    first.resize(253);
    Bytes whole = concat({atpBlock(0, dataBlock(0, first)),
                          atpBlock(8, dataBlock(1, concat({record("20 END"), {0x00}})))});
    uint8_t before[0x10000];
    std::memcpy(before, MainMemory, sizeof before);
    // Cut in the second block's data: the program's end never came.
    Bytes cut(whole.begin(), whole.end() - 100);
    writeFile(dir_.path("cut.atp"), cut);
    EXPECT_EQ(0, LoadAtpImage(dir_.path("cut.atp")));
    EXPECT_EQ("truncated after " + std::to_string(cut.size()) + " of " +
                  std::to_string(whole.size()) + " bytes",
              MediaError());
    EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before));

    // Cut in the checksum of the block that ends the program: it loads.
    Bytes late(whole.begin(), whole.end() - 1);
    writeFile(dir_.path("late.atp"), late);
    ASSERT_EQ(1, LoadAtpImage(dir_.path("late.atp")));
    expectProgram(concat({Bytes(first.begin() + 1, first.end()), record("20 END")}));
}

// An ATP file of `size` program bytes: whole blocks, then a last block whose
// payload ends with 0Dh 00h.
Bytes atpOfSize(uint32_t size, Bytes* program) {
    Bytes file;
    program->clear();
    unsigned k = 0;
    for (; size - program->size() > 253; ++k) {
        Bytes payload = fullPayload(static_cast<uint8_t>(k));
        program->insert(program->end(), payload.begin(), payload.end());
        file = concat({file, atpBlock(k ? 8 : 0, dataBlock(k, payload))});
    }
    Bytes last = fullPayload(static_cast<uint8_t>(k));
    last.resize(size - program->size());
    last.back() = 0x0D;
    program->insert(program->end(), last.begin(), last.end());
    last.push_back(0x00);
    return concat({file, atpBlock(8, dataBlock(k, last))});
}

TEST_F(TapeImageTest, ProgramsThatDoNotFitAreRefusedAndChangeNothing) {
    // The open firmware: the end byte must lie below F400h.
    Bytes program;
    writeFile(dir_.path("fits.atp"), atpOfSize(29695, &program));
    ASSERT_EQ(1, LoadAtpImage(dir_.path("fits.atp")));
    expectProgram(program);
    EXPECT_EQ(0x01, MainMemory[0xF3FF]);

    SetUp();
    uint8_t before[0x10000];
    std::memcpy(before, MainMemory, sizeof before);
    writeFile(dir_.path("over.atp"), atpOfSize(29696, &program));
    EXPECT_EQ(0, LoadAtpImage(dir_.path("over.atp")));
    EXPECT_NE(std::string::npos, MediaError().find("program too big")) << MediaError();
    EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before));
    writeFile(dir_.path("huge.atp"), atpOfSize(31008, &program));
    EXPECT_EQ(0, LoadAtpImage(dir_.path("huge.atp")));
    EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before));

    // A genuine BASIC: the loader's system words at FE1Eh are the limit.
    const uint32_t savedRom = basicRom;
    basicRom = BasicRomExternal;
    writeFile(dir_.path("genuine.atp"), atpOfSize(32285, &program));
    EXPECT_EQ(1, LoadAtpImage(dir_.path("genuine.atp")));
    EXPECT_EQ(0x01, MainMemory[0xFE1D]);
    std::memcpy(before, MainMemory, sizeof before);
    writeFile(dir_.path("genuine_over.atp"), atpOfSize(32286, &program));
    EXPECT_EQ(0, LoadAtpImage(dir_.path("genuine_over.atp")));
    EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before));
    basicRom = savedRom;
}

// ---- BAC --------------------------------------------------------------------

TEST_F(TapeImageTest, BacSizeChoosesTapeBlockOrSegmentLayout) {
    // 506 bytes: two tape blocks; block 0 starts with the marker.
    Bytes block0 = concat({{0x82}, record("10 PRINT"), record("20 END")});
    block0.resize(253, 0x00);
    Bytes block1 = fullPayload(7);
    writeFile(dir_.path("tape.bac"), concat({block0, block1}));
    ASSERT_EQ(1, LoadBacImage(dir_.path("tape.bac")));
    expectProgram(concat({record("10 PRINT"), record("20 END"), block1}));

    // 507 bytes: segments at 0 and 256.
    SetUp();
    Bytes seg0 = concat({{0x82}, record("10 A=1"), record("20 B=2")});
    seg0.resize(256, 0x00);
    Bytes seg1 = record("30 C=3");
    Bytes file = concat({seg0, seg1});
    file.resize(507, 0x00);
    writeFile(dir_.path("seg.bac"), file);
    ASSERT_EQ(1, LoadBacImage(dir_.path("seg.bac")));
    expectProgram(concat({record("10 A=1"), record("20 B=2"), record("30 C=3")}));
}

TEST_F(TapeImageTest, BacSegmentSkipsToNextSegmentOnShortLengthOrCrossingRecord) {
    // Segment 0: a record, then a length byte 1 with junk after it.
    Bytes seg0 = concat({{0x82}, record("10 X"), {0x01, 0x33, 0x44}});
    seg0.resize(256, 0x77);
    // Segment 1: 200 bytes of records, then a record of 100 bytes that would cross.
    Bytes seg1 = record(std::string(198, 'Q'));
    Bytes crossing = record(std::string(98, 'Z'));
    seg1 = concat({seg1, crossing});
    seg1.resize(256);
    Bytes seg2 = record("30 Y");
    Bytes file = concat({seg0, seg1, seg2});
    writeFile(dir_.path("skip.bac"), file);

    ASSERT_EQ(1, LoadBacImage(dir_.path("skip.bac")));
    expectProgram(concat({record("10 X"), record(std::string(198, 'Q')), record("30 Y")}));
}

TEST_F(TapeImageTest, BacWithoutAProgramIsRefusedAndChangesNothing) {
    uint8_t before[0x10000];
    std::memcpy(before, MainMemory, sizeof before);
    writeFile(dir_.path("nomark.bac"), concat({{0x81}, record("10 REM")}));
    EXPECT_EQ(0, LoadBacImage(dir_.path("nomark.bac")));
    EXPECT_EQ("not a BAC file (no 82h marker)", MediaError());
    writeFile(dir_.path("empty.bac"), {});
    EXPECT_EQ(0, LoadBacImage(dir_.path("empty.bac")));
    EXPECT_EQ("empty file", MediaError());
    Bytes blank = {0x82};
    blank.resize(300, 0x00);
    writeFile(dir_.path("blank.bac"), blank);
    EXPECT_EQ(0, LoadBacImage(dir_.path("blank.bac")));
    EXPECT_EQ("no program lines found", MediaError());
    // A record the end of the file cuts off.
    Bytes cut = concat({{0x82}, record("10 REM"), record("20 PRINT 123")});
    cut.resize(cut.size() - 4);
    writeFile(dir_.path("cut.bac"), cut);
    EXPECT_EQ(0, LoadBacImage(dir_.path("cut.bac")));
    EXPECT_EQ("truncated after " + std::to_string(cut.size()) + " of " +
                  std::to_string(cut.size() + 4) + " bytes",
              MediaError());
    EXPECT_EQ(0, LoadBacImage(dir_.path("absent.bac")));
    EXPECT_EQ("no such file or folder", MediaError());
    EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before));
}

TEST_F(TapeImageTest, BacOversizedAndRandomFilesStayInsideTheProgramArea) {
    Bytes file = {0x82};
    for (int s = 0; s < 200; ++s) {
        Bytes seg = record(std::string(200, static_cast<char>('A' + s % 26)));
        file = concat({file, seg});
        file.resize(256 * (s + 1), 0x00);
    }
    file.push_back(0x00); // keep the size off a multiple of 253
    writeFile(dir_.path("huge.bac"), file);
    uint8_t before[0x10000];
    std::memcpy(before, MainMemory, sizeof before);
    EXPECT_EQ(0, LoadBacImage(dir_.path("huge.bac")));
    EXPECT_NE(std::string::npos, MediaError().find("program too big")) << MediaError();
    EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before));

    std::mt19937 random(99);
    for (int round = 0; round < 20; ++round) {
        Bytes noise(1 + random() % 4000);
        for (uint8_t& b : noise)
            b = static_cast<uint8_t>(random());
        noise[0] = 0x82;
        writeFile(dir_.path("noise.bac"), noise);
        std::memcpy(before, MainMemory, sizeof before);
        if (LoadBacImage(dir_.path("noise.bac")) == 0) {
            EXPECT_EQ(0, std::memcmp(before, MainMemory, sizeof before)) << "refused: no change";
        }
        expectLowMemoryUntouched();
    }
}

// ---- Saving and reading back ---------------------------------------------------

// Puts a program of records with the given content lengths into RAM as BASIC
// would hold it and returns its bytes.
Bytes placeProgram(const std::vector<int>& contentLengths) {
    Bytes program;
    for (size_t i = 0; i < contentLengths.size(); ++i)
        program = concat({program, record(std::string(contentLengths[i], char('a' + i % 26)))});
    if (!program.empty()) std::memcpy(MainMemory + 0x8000, program.data(), program.size());
    uint16_t end = static_cast<uint16_t>(0x8000 + program.size());
    MainMemory[end] = 0x01;
    writeWord(0xFE1E, static_cast<uint16_t>(end + 1));
    writeWord(0xFE20, static_cast<uint16_t>(end + 2));
    return program;
}

TEST_F(TapeImageTest, SavedProgramsReadBackWholeOverAnyNumberOfSegments) {
    std::mt19937 random(7);
    std::vector<std::vector<int>> programs = {
        {5, 10, 20},        // one segment
        {100, 100, 60, 30}, // two segments
        {253},              // a record too long for segment 0
        {252, 252, 252},    // records that exactly miss a segment end
    };
    std::vector<int> many;
    for (int total = 0; total < 20000;) {
        many.push_back(static_cast<int>(random() % 200));
        total += many.back() + 2;
    }
    programs.push_back(many);

    for (const auto& lengths : programs) {
        SCOPED_TRACE(::testing::Message() << lengths.size() << " records");
        SetUp();
        Bytes program = placeProgram(lengths);
        ASSERT_EQ(1, SaveBacImage(dir_.path("saved.bac")));
        Bytes file = readFile(dir_.path("saved.bac"));
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(0x82, file[0]);
        EXPECT_EQ(0u, file.size() % 256) << "segments are written whole";
        for (size_t s = 256; s < file.size(); s += 256)
            EXPECT_GE(file[s], 2) << "segment at " << s;

        std::memset(MainMemory + 0x8000, Filler, 0x8000);
        ASSERT_EQ(1, LoadBacImage(dir_.path("saved.bac")));
        expectProgram(program);
    }
}

TEST_F(TapeImageTest, SaveOfSmallProgramAndUncreatableFile) {
    Bytes program = placeProgram({10, 20});
    SaveBacImage(dir_.path("small.bac"));
    Bytes expected = concat({{0x82}, program});
    expected.resize(256, 0x00);
    EXPECT_EQ(expected, readFile(dir_.path("small.bac")));

    EXPECT_EQ(0, SaveBacImage(dir_.path("no/such/folder/x.bac")));
    EXPECT_EQ("no such file or folder", MediaError());

    // An empty program is not saved: the file would hold no program.
    placeProgram({});
    EXPECT_EQ(0, SaveBacImage(dir_.path("nothing.bac")));
    EXPECT_EQ("no program in memory", MediaError());
    EXPECT_TRUE(readFile(dir_.path("nothing.bac")).empty());
}

TEST_F(TapeImageTest, SaveWithGarbagePointersNeverReadsPastFFFF) {
    std::memset(MainMemory + 0x8000, 0xF0, 0x8000);
    MainMemory[0xFE1E] = 0x00; // end pointer 0000h: the walk may run to the top of memory
    MainMemory[0xFE1F] = 0x00;
    SaveBacImage(dir_.path("garbage.bac"));
    Bytes file = readFile(dir_.path("garbage.bac"));
    EXPECT_EQ(0u, file.size() % 256);
    EXPECT_LE(file.size(), 1u + 0x8000 + 256 * 130);
}

// ---- BAS --------------------------------------------------------------------

TEST_F(TapeImageTest, BasWithMarkerLoadsAsBacAndTextIsTyped) {
    Bytes bac = concat({{0x82}, record("10 PRINT 2"), record("20 END")});
    bac.resize(300, 0x00);
    writeFile(dir_.path("p.bac"), bac);
    writeFile(dir_.path("p.bas"), bac);
    ASSERT_EQ(1, LoadBacImage(dir_.path("p.bac")));
    Bytes viaBac(MainMemory + 0x8000, MainMemory + 0x10000);
    SetUp();
    ASSERT_EQ(1, LoadBasFile(dir_.path("p.bas")));
    EXPECT_EQ(viaBac, Bytes(MainMemory + 0x8000, MainMemory + 0x10000));
    EXPECT_FALSE(typingInProgress());

    SetUp();
    writeFile(dir_.path("empty.bas"), {});
    EXPECT_EQ(0, LoadBasFile(dir_.path("empty.bas")));
    EXPECT_EQ("empty file", MediaError());
    EXPECT_FALSE(typingInProgress());

    std::string text = "10 PRINT \"HI\"\r20 GOTO 10\r";
    writeFile(dir_.path("text.bas"), Bytes(text.begin(), text.end()));
    EXPECT_EQ(1, LoadBasFile(dir_.path("text.bas")));
    EXPECT_TRUE(typingInProgress());
    EXPECT_EQ(Filler, MainMemory[0x8000]) << "typed text goes through the keyboard, not memory";

    EXPECT_EQ(0, LoadBasFile(dir_.path("absent.bas")));
}

TEST_F(TapeImageTest, LongBasTextIsTypedWholeOrRefused) {
    // Longer than the old 16 KB typing buffer: typed whole.
    std::string text;
    for (int line = 10; text.size() < 20000; line += 10)
        text += std::to_string(line) + " PRINT \"A LINE OF TEXT\"\n";
    writeFile(dir_.path("long.bas"), Bytes(text.begin(), text.end()));
    EXPECT_EQ(1, LoadBasFile(dir_.path("long.bas")));
    EXPECT_TRUE(typingInProgress());

    SetUp();
    writeFile(dir_.path("huge.bas"), Bytes(70000, 'A'));
    EXPECT_EQ(0, LoadBasFile(dir_.path("huge.bas")));
    EXPECT_NE(std::string::npos, MediaError().find("too long")) << MediaError();
    EXPECT_FALSE(typingInProgress());
    writeFile(dir_.path("binary.bas"), Bytes{'1', '0', 0x00, 'X'});
    EXPECT_EQ(0, LoadBasFile(dir_.path("binary.bas")));
    EXPECT_FALSE(typingInProgress());
}

} // namespace

// ---- ATP images as damaged or joined tapes give them ---------------------------

namespace {

// A block as the machine records it, with its true checksum.
Bytes recordedBlock(int leadIn, const Bytes& data) {
    Bytes b = atpBlock(leadIn, data);
    unsigned sum = 0x03;
    for (uint8_t byte : data)
        sum += byte;
    b[b.size() - 2] = static_cast<uint8_t>(sum);
    b[b.size() - 1] = static_cast<uint8_t>(sum >> 8);
    return b;
}

Bytes headerBlock(const std::string& nameAndExtension) {
    Bytes header(256, 0x00);
    header[0] = header[1] = header[2] = 0xFF;
    std::memcpy(header.data() + 3, nameAndExtension.data(), 11);
    return header;
}

// A program of three data blocks: line 10 in block 0, full payloads after it
// and the program's end in block 2.
struct Tape {
    Bytes header = headerBlock("FIRST   BAS");
    Bytes data0 = dataBlock(0, concat({{0x82}, record("10 PRINT 1")}));
    Bytes data1 = dataBlock(1, fullPayload(1));
    Bytes data2 = dataBlock(2, concat({record("30 END")}));
};

} // namespace

TEST_F(TapeImageTest, AtpDamagedBlocksLoadWithAWarningThatNamesThem) {
    const Tape t;
    struct Case {
        const char* what;
        Bytes file;
        const char* warning;
    };
    Bytes badSum = recordedBlock(16, t.data1);
    badSum[badSum.size() - 1] ^= 0x40;
    const Case cases[] = {
        {"clean",
         concat({recordedBlock(0, t.header), recordedBlock(16, t.data0), recordedBlock(16, t.data1),
                 recordedBlock(16, t.data2)}),
         ""},
        {"bad checksum",
         concat({recordedBlock(0, t.header), recordedBlock(16, t.data0), badSum,
                 recordedBlock(16, t.data2)}),
         "block 3 (data 1): bad checksum"},
        {"starts mid-tape", concat({recordedBlock(0, t.data1), recordedBlock(16, t.data2)}),
         "data block 0 is missing (the image starts at data 1)"},
        {"starts later still", concat({recordedBlock(0, t.data2)}),
         "data blocks 0 to 1 are missing (the image starts at data 2)"},
        {"out of order",
         concat({recordedBlock(0, t.header), recordedBlock(16, t.data0), recordedBlock(16, t.data2),
                 recordedBlock(16, t.data1)}),
         "block 3 (data 2) is out of order (data 1 was due); block 4 (data 1) is out of order "
         "(data 3 was due)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetMediaWarning("left over from before");
        writeFile(dir_.path("tape.atp"), c.file);
        ASSERT_EQ(1, LoadAtpImage(dir_.path("tape.atp")));
        EXPECT_EQ(MediaWarning(), c.warning);
    }
}

TEST_F(TapeImageTest, AtpWithTwoProgramsLoadsTheFirstAndCountsTheRest) {
    const Tape t;
    Bytes second = dataBlock(0, concat({{0x82}, record("10 PRINT 2")}));
    // The second program with its header, a third one without (as a tape
    // recorded over in the middle gives it).
    Bytes file =
        concat({recordedBlock(0, t.header), recordedBlock(16, t.data0), recordedBlock(16, t.data1),
                recordedBlock(16, t.data2), recordedBlock(16, headerBlock("SECOND  BAS")),
                recordedBlock(16, second), recordedBlock(16, second)});
    writeFile(dir_.path("two.atp"), file);
    ASSERT_EQ(1, LoadAtpImage(dir_.path("two.atp")));
    expectProgram(concat({record("10 PRINT 1"), fullPayload(1), record("30 END")}));
    EXPECT_EQ(MediaWarning(), "the image holds 3 programs; the first (FIRST.BAS) was loaded");
}
