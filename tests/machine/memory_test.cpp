// Address map, write rule, watch handlers, ROM identification, the external
// ROM file with its CRC, and the two resets.
#include <gtest/gtest.h>

#include "abc80/abc80.h"
#include "data/firmware.h"
#include "machine_fixture.h"

namespace {

// An image of the given size whose byte sum modulo 65,536 is `sum`.
std::vector<uint8_t> imageWithSum(size_t size, uint32_t sum, uint8_t fill) {
    std::vector<uint8_t> image(size, fill);
    uint32_t current = romByteSum(image.data(), size);
    uint32_t need = (sum - current) & 0xFFFF;
    for (size_t i = 0; need > 0; i++) {
        // Raise bytes towards FFh until the missing amount is added.
        uint32_t room = 0xFF - image[i];
        uint32_t add = need < room ? need : room;
        image[i] = static_cast<uint8_t>(image[i] + add);
        need -= add;
    }
    return image;
}

class MemoryMap : public ::testing::Test {
  protected:
    void SetUp() override { freshMachine(); }
};

TEST_F(MemoryMap, WriteRuleKeepsOnlyRamAndVideo) {
    const uint16_t dropped[] = {0x0000, 0x3FFF, 0x4000, 0x57FF, 0x6000, 0x6FFF, 0x7000, 0x73FF};
    const uint16_t kept[] = {0x5800, 0x5FFF, 0x7400, 0x77FF, 0x7800,
                             0x7C00, 0x7FFF, 0x8000, 0xFFFF};
    for (uint16_t a : dropped) {
        writeByte(a, 0x5A);
        EXPECT_EQ(MainMemory[a], 0) << std::hex << a;
    }
    for (uint16_t a : kept) {
        writeByte(a, 0x5A);
        EXPECT_EQ(MainMemory[a], 0x5A) << std::hex << a;
    }
    // Rows that read the array although the processor cannot write them.
    MainMemory[0x4000] = 0x11;
    MainMemory[0x57FF] = 0x12;
    MainMemory[0x7000] = 0x13;
    MainMemory[0x73FF] = 0x14;
    EXPECT_EQ(readByte(0x4000), 0x11);
    EXPECT_EQ(readByte(0x57FF), 0x12);
    EXPECT_EQ(readByte(0x7000), 0x13);
    EXPECT_EQ(readByte(0x73FF), 0x14);
    EXPECT_EQ(readByte(0x5800), 0x5A);
    EXPECT_EQ(readByte(0x7400), 0x5A);
    // Written but never read back through the decoder: the auxiliary ROM window.
    EXPECT_EQ(readByte(0x7800), 0);
    EXPECT_EQ(readByte(0x7C00), 0x5A);
    EXPECT_EQ(readByte(0xFFFF), 0x5A);
}

TEST_F(MemoryMap, WordWriteAtTopWrapsToDroppedAddressZero) {
    writeWord(0xFFFF, 0x1234);
    EXPECT_EQ(MainMemory[0xFFFF], 0x34);
    EXPECT_EQ(MainMemory[0x0000], 0);
    MainMemory[0x0000] = 0x77;
    EXPECT_EQ(readWord(0xFFFF), 0x7734);
}

TEST_F(MemoryMap, BasicSlotsReadTheirImages) {
    MainMemory[0x0123] = 0xAB;
    basicRom = BasicRomExternal;
    EXPECT_EQ(readByte(0x0123), 0xAB);
    basicRom = BasicRomOld; // no image installed: the open firmware stands in
    EXPECT_NE(readByte(0x0000), 0x00);
    for (uint16_t a = 0; a < 0x4000; a += 0x3FF)
        EXPECT_EQ(memRead(a), BasicRomImages[0][a]);
    basicRom = 7; // out of range: read as the old slot, never past the table
    EXPECT_EQ(memRead(0x0010), BasicRomImages[0][0x0010]);
}

TEST_F(MemoryMap, NoDosReadsLowMemoryAndZeroAuxWindow) {
    for (int i = 0; i < 0x1000; i++)
        MainMemory[i] = static_cast<uint8_t>(i * 7);
    MainMemory[0x7800] = 0x99;
    dosRom = DosRomNone;
    EXPECT_EQ(memRead(0x6000), MainMemory[0x0000]);
    EXPECT_EQ(memRead(0x6ABC), MainMemory[0x0ABC]);
    EXPECT_EQ(memRead(0x7800), 0);
    EXPECT_EQ(memRead(0x7BFF), 0);
    // A chosen DOS without an installed image runs the Open DOS, as does
    // the Open DOS choice itself.
    for (uint32_t choice : {DosRomUfddos, DosRomAbcdos, DosRomOpen}) {
        dosRom = choice;
        EXPECT_EQ(memRead(0x6000), OpenDosRom[0]) << choice;
        EXPECT_EQ(memRead(0x6ABC), OpenDosRom[0xABC]) << choice;
        EXPECT_EQ(memRead(0x7800), 0) << choice;
        EXPECT_EQ(runningDos(choice), DosRomOpen);
    }
    EXPECT_EQ(runningDos(DosRomNone), DosRomNone);
    EXPECT_NE(runningRomDescription().find("DOS: Open DOS"), std::string::npos);
}

TEST_F(MemoryMap, InstalledImagesAreRecognisedBySumAndName) {
    TempFolder folder("roms");
    std::vector<uint8_t> oldRom = imageWithSum(BasicRomSize, OldBasicByteSum, 0x11);
    std::vector<uint8_t> newRom = imageWithSum(BasicRomSize, NewBasicByteSum, 0x22);
    std::vector<uint8_t> other = imageWithSum(BasicRomSize, 1234, 0x33);
    std::vector<uint8_t> abcdos(DosRomSize, 0xA1), ufddos(DosRomSize, 0xB2),
        aux(DosAuxRomSize, 0xC3);
    aux[0] = 0xC3; // the jump table's first JP
    aux[5] = 0x44;
    folder.write("a-other.bin", other);
    folder.write("b-new.bin", newRom);
    folder.write("c-old.bin", oldRom);
    folder.write("ABCDOS.ROM", abcdos);
    folder.write("ufddos.rom", ufddos);
    folder.write("dosaux.rom", aux);
    setRomFolder(folder.path.string());
    EXPECT_EQ(installRomImages(), 5);

    basicRom = BasicRomOld;
    EXPECT_EQ(memRead(0x0000), oldRom[0]);
    EXPECT_EQ(memRead(0x3FFF), oldRom[0x3FFF]);
    basicRom = BasicRomNew;
    EXPECT_EQ(memRead(0x0000), newRom[0]);
    EXPECT_EQ(memRead(0x2000), newRom[0x2000]);
    EXPECT_EQ(basicRomSource(BasicRomOld), folder.file("c-old.bin"));

    dosRom = DosRomAbcdos;
    EXPECT_EQ(memRead(0x6FFF), 0xA1);
    EXPECT_EQ(memRead(0x7800), 0xC3);
    EXPECT_EQ(memRead(0x7805), 0x44);
    dosRom = DosRomUfddos;
    EXPECT_EQ(memRead(0x6000), 0xB2);
    EXPECT_EQ(memRead(0x7BFF), aux[0x3FF]);
    dosRom = DosRomNone;
    EXPECT_EQ(memRead(0x7800), 0);
}

TEST_F(MemoryMap, WrongSizedOrUnknownImagesAreIgnored) {
    TempFolder folder("badroms");
    folder.write("short.bin", std::vector<uint8_t>(100, 0));
    std::vector<uint8_t> longOld = imageWithSum(BasicRomSize, OldBasicByteSum, 0);
    longOld.push_back(0); // one byte too many
    folder.write("long.bin", longOld);
    folder.write("abcdos.rom", std::vector<uint8_t>(DosRomSize + 1, 0xEE));
    setRomFolder(folder.path.string());
    EXPECT_EQ(installRomImages(), 0);
    basicRom = BasicRomOld;
    EXPECT_EQ(memRead(0x0000), BasicRomImages[0][0]);
    EXPECT_EQ(BasicRomImages[0], BasicRomImages[1]); // both slots run the open firmware
    dosRom = DosRomAbcdos;
    EXPECT_FALSE(dosRomPresent(DosRomAbcdos));
    EXPECT_EQ(memRead(0x7800), 0);
    setRomFolder(folder.file("missing"));
    EXPECT_EQ(installRomImages(), 0);
}

// The open firmware's extension lies in the sockets at 4000h-57FFh while
// the open firmware runs, survives the program's writes, and is gone when
// a genuine BASIC runs.
TEST_F(MemoryMap, TheFirmwareExtensionFillsTheSocketsOnlyWhileTheOpenFirmwareRuns) {
    ASSERT_GT(OpenFirmwareExtensionUsed, 0u);
    basicRom = BasicRomOld;
    machineHardReset();
    EXPECT_TRUE(firmwareExtensionPlaced());
    EXPECT_EQ(memRead(0x4000), OpenFirmwareExtension[0]);
    writeByte(0x4000, static_cast<uint8_t>(OpenFirmwareExtension[0] ^ 0xFF));
    writeByte(0x57FF, 0x5A);
    EXPECT_TRUE(firmwareExtensionPlaced());

    basicRom = BasicRomExternal; // a genuine image chosen: the next reset empties them
    machineReset();
    EXPECT_FALSE(firmwareExtensionPlaced());
    EXPECT_EQ(memRead(0x4000), 0x00);
    EXPECT_EQ(memRead(0x57FF), 0x00);

    basicRom = BasicRomNew; // back to the open firmware (no image installed)
    machineReset();
    EXPECT_TRUE(firmwareExtensionPlaced());
}

TEST(RomChecks, Crc32AndByteSum) {
    const char* text = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
    EXPECT_EQ(crc32(nullptr, 0), 0u);
    std::vector<uint8_t> ff(300, 0xFF);
    EXPECT_EQ(romByteSum(ff.data(), ff.size()), (300u * 255u) & 0xFFFF);
}

// Eight bytes at a time and the rest one by one give the CRC the bitwise
// definition gives, whatever the length and the start address.
TEST(RomChecks, Crc32OfEveryLengthAndAlignment) {
    auto bitwise = [](const uint8_t* data, size_t size) {
        uint32_t crc = 0xFFFFFFFFu;
        for (size_t i = 0; i < size; i++) {
            crc ^= data[i];
            for (int k = 0; k < 8; k++)
                crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        return ~crc;
    };
    std::vector<uint8_t> bytes(80);
    for (size_t i = 0; i < bytes.size(); i++)
        bytes[i] = static_cast<uint8_t>(i * 37 + 11);
    for (size_t start = 0; start < 8; start++)
        for (size_t size = 0; start + size <= bytes.size(); size++)
            ASSERT_EQ(crc32(bytes.data() + start, size), bitwise(bytes.data() + start, size))
                << start << "+" << size;
}

class ExternalRom : public ::testing::Test {
  protected:
    TempFolder folder{"external"};
    void SetUp() override {
        freshMachine();
        setRomFolder(folder.path.string());
    }
};

TEST_F(ExternalRom, KnownCrcSelectsWideVideoOnlyWhileChosen) {
    std::vector<uint8_t> rom(BasicRomSize - 4, 0x5E);
    forgeCrc(rom, KnownExternalRomCrc);
    ASSERT_EQ(crc32(rom.data(), rom.size()), KnownExternalRomCrc);
    folder.write("ZaVUR80BASIC.ROM", rom);
    basicRom = BasicRomExternal;
    EXPECT_EQ(loadExternalRom(), 1);
    EXPECT_TRUE(externalRomKnown);
    EXPECT_EQ(videoMemory(), MainMemory + 0x5800);
    EXPECT_TRUE(wideVideo);
    EXPECT_EQ(memRead(0x1000), 0x5E);
    basicRom = BasicRomOld;
    EXPECT_EQ(videoMemory(), MainMemory + 0x7C00);
    EXPECT_FALSE(wideVideo);
}

TEST_F(ExternalRom, OtherFileRunsInFortyColumnsAndShortFileLeavesZeros) {
    folder.write("ZaVUR80BASIC.ROM", std::vector<uint8_t>(100, 0xC9));
    basicRom = BasicRomExternal;
    EXPECT_EQ(loadExternalRom(), 1);
    EXPECT_FALSE(externalRomKnown);
    EXPECT_EQ(basicRom, BasicRomExternal);
    EXPECT_EQ(videoMemory(), MainMemory + 0x7C00);
    EXPECT_EQ(memRead(99), 0xC9);
    EXPECT_EQ(memRead(100), 0x00);
    // The low 4 KB of the file also answer at 6000h when no DOS is chosen.
    EXPECT_EQ(memRead(0x6000), 0xC9);
}

TEST_F(ExternalRom, OversizedFileIsReadUpTo16K) {
    std::vector<uint8_t> big(BasicRomSize + 500, 0x42);
    folder.write("ZaVUR80BASIC.ROM", big);
    EXPECT_EQ(loadExternalRom(), 1);
    EXPECT_EQ(MainMemory[0x3FFF], 0x42);
    EXPECT_EQ(MainMemory[0x4000], 0x00);
}

TEST_F(ExternalRom, MissingFileFallsBackToOldSlot) {
    basicRom = BasicRomExternal;
    EXPECT_EQ(loadExternalRom(), 0);
    EXPECT_EQ(basicRom, BasicRomOld);
    EXPECT_FALSE(externalRomKnown);
    basicRom = BasicRomNew;
    EXPECT_EQ(loadExternalRom(), 0);
    EXPECT_EQ(basicRom, BasicRomNew);
}

uint64_t writeHits = 0;
void countingWrite(uint16_t address, uint8_t value) {
    writeHits++;
    memWrite(address, value);
}

TEST_F(MemoryMap, ResetKeepsMemoryAndHardResetClearsRam) {
    for (uint32_t a = 0x4000; a < 0x10000; a++)
        MainMemory[a] = 0x66;
    MainMemory[0x0100] = 0x55; // external image
    PortLatches[0x12] = 0x40;
    WriteHandlers[0x9000] = countingWrite;
    cpu.IP = 0x1234;
    cpu.TCOUNT = 5000;
    machineReset();
    EXPECT_EQ(cpu.IP, 0);
    EXPECT_EQ(cpu.SP, 0xFFFF);
    EXPECT_EQ(cpu.TCOUNT, 5000u);
    EXPECT_EQ(MainMemory[0x8000], 0x66);
    EXPECT_EQ(PortLatches[0x12], 0x40);

    machineHardReset();
    EXPECT_EQ(MainMemory[0x0100], 0x55);
    EXPECT_EQ(MainMemory[0x4000], 0);
    EXPECT_EQ(MainMemory[0x5FFF], 0);
    EXPECT_EQ(MainMemory[0x6000], 0x66);
    EXPECT_EQ(MainMemory[0x7C00], 0x66); // the screen stays
    EXPECT_EQ(MainMemory[0x7FFF], 0x66);
    EXPECT_EQ(MainMemory[0x8000], 0);
    EXPECT_EQ(MainMemory[0xFFFF], 0);
    EXPECT_EQ(PortLatches[0x12], 0);
    // Watches survive both resets.
    EXPECT_EQ(WriteHandlers[0x9000], countingWrite);
}

TEST_F(MemoryMap, ResetDropsTypingAndKeys) {
    keyPressed(0x41);
    typeText("RUN\r");
    machineReset();
    EXPECT_FALSE(typingInProgress());
    EXPECT_EQ(keyLatch, 0);
    EXPECT_EQ(cpu.INT, 0u);
}

TEST_F(MemoryMap, WatchHandlersStopAndStillAccessMemory) {
    MainMemory[0x8000] = 0x3C;
    WatchFlags[0x8000] = WatchRead;
    setReadWatch(0x8000, WatchFlags[0x8000]);
    EXPECT_EQ(ReadHandlers[0x8000], readWatchHandler);
    cpu.breakRequest = 0;
    EXPECT_EQ(readByte(0x8000), 0x3C);
    EXPECT_EQ(cpu.breakRequest, BreakHit);
    EXPECT_EQ(watchHitAddress, 0x8000);
    EXPECT_EQ(watchHitKind, WatchRead);

    // Breakpoint: the fetch (IP already past it) asks for a stop; IP is the
    // processor's to put back.
    WatchFlags[0x9000] = WatchExecute;
    setReadWatch(0x9000, WatchFlags[0x9000]);
    cpu.breakRequest = BreakEveryStep;
    cpu.IP = 0x9001;
    readByte(0x9000);
    EXPECT_EQ(cpu.IP, 0x9001);
    EXPECT_EQ(cpu.breakRequest, BreakHit | BreakEveryStep);
    // A data read of the breakpointed byte (not its fetch) does not stop.
    cpu.breakRequest = 0;
    cpu.IP = 0x4000;
    readByte(0x9000);
    EXPECT_EQ(cpu.breakRequest, 0u);
    EXPECT_EQ(cpu.IP, 0x4000);

    WatchFlags[0xA000] = WatchWrite;
    setWriteWatch(0xA000, WatchFlags[0xA000]);
    writeByte(0xA000, 0x12);
    EXPECT_EQ(cpu.breakRequest, BreakHit);
    EXPECT_EQ(MainMemory[0xA000], 0x12);
    EXPECT_EQ(watchHitAddress, 0xA000);
    EXPECT_EQ(watchHitKind, WatchWrite);

    setReadWatch(0x8000, 0);
    setWriteWatch(0xA000, 0);
    EXPECT_EQ(ReadHandlers[0x8000], memRead);
    EXPECT_EQ(WriteHandlers[0xA000], memWrite);
}

} // namespace
