// Disassembler: the documented example lines byte for byte, and a sweep over
// every entry of every opcode table checked against an independent rule for
// Z80 instruction lengths.
#include "monitor/disassembler.h"
#include "monitor/opcode_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {

std::array<uint8_t, 65536> image;
uint8_t readImage(uint16_t address) { return image[address]; }

struct Line {
    std::string text;
    uint16_t next;
};

Line at(uint16_t address, std::initializer_list<uint8_t> bytes) {
    image.fill(0);
    uint16_t a = address;
    for (uint8_t b : bytes)
        image[a++] = b;
    Line line;
    line.next = disassembleWith(readImage, address, line.text);
    return line;
}

TEST(Disassembler, ExampleLinesByteForByte) {
    Line ld = at(0x8000, {0x3E, 0x12});
    EXPECT_EQ(ld.text, " 8000 3E 12       ld a,12h");
    EXPECT_EQ(ld.next, 0x8002);

    Line undefinedIndex = at(0x8000, {0xDD, 0x00});
    EXPECT_EQ(undefinedIndex.text, " 8000 DD          undefined");
    EXPECT_EQ(undefinedIndex.next, 0x8001);

    Line indexBit = at(0x8000, {0xDD, 0xCB, 0x05, 0x06});
    EXPECT_EQ(indexBit.text, " 8000 DD CB 05 06 rlc (ix+05h)");
    EXPECT_EQ(indexBit.next, 0x8004);

    Line wrappingJump = at(0xFFFE, {0x18, 0x00});
    EXPECT_EQ(wrappingJump.text, " FFFE 18 00       jr 0000h");
    EXPECT_EQ(wrappingJump.next, 0x0000);
}

TEST(Disassembler, OperandOrderAndEncodings) {
    EXPECT_EQ(at(0x8000, {0xDD, 0x36, 0xFE, 0x7A}).text, " 8000 DD 36 FE 7A ld (ix+feh),7ah");
    EXPECT_EQ(at(0x8000, {0xFD, 0x36, 0x03, 0x44}).text, " 8000 FD 36 03 44 ld (iy+03h),44h");
    EXPECT_EQ(at(0x8000, {0xC3, 0x34, 0x12}).text, " 8000 C3 34 12    jp 1234h");
    EXPECT_EQ(at(0x8000, {0xC2, 0xCD, 0xAB}).text, " 8000 C2 CD AB    jp nz,abcdh");
    EXPECT_EQ(at(0x8000, {0x10, 0xFE}).text, " 8000 10 FE       djnz 8000h");
    EXPECT_EQ(at(0x8000, {0x38, 0x80}).text, " 8000 38 80       jr c,7f82h");
    EXPECT_EQ(at(0x8000, {0xED, 0x01}).text, " 8000 ED 01       emulator trap");
    EXPECT_EQ(at(0x8000, {0xED, 0x77}).text, " 8000 ED 77       undefined");
    EXPECT_EQ(at(0x8000, {0xED, 0x77}).next, 0x8002);
    EXPECT_EQ(at(0x8000, {0xED, 0x43, 0x00, 0x90}).text, " 8000 ED 43 00 90 ld (9000h),bc");
    EXPECT_EQ(at(0x8000, {0xED, 0x6B, 0x00, 0x90}).text,
              " 8000 ED 6B 00 90 ld hl,(9000h)\t;undoc equiv");
    EXPECT_EQ(at(0x8000, {0xED, 0x66}).text, " 8000 ED 66       im\t0\t\t;undoc equiv");
    EXPECT_EQ(at(0x8000, {0xFD, 0xCB, 0x80, 0x00}).text, " 8000 FD CB 80 00 ld b,rlc (iy+80h)");
    EXPECT_EQ(at(0x8000, {0xDD, 0xCB, 0x01, 0x80}).text, " 8000 DD CB 01 80 ld b,res 0,(ix+01h)");
    EXPECT_EQ(at(0x8000, {0xDD, 0xCB, 0x01, 0x40}).text,
              " 8000 DD CB 01 40 bit 0,(ix+01h)  ;undoc equiv");
    EXPECT_EQ(at(0x8000, {0xDD, 0xCB, 0x01, 0x46}).text, " 8000 DD CB 01 46 bit 0,(ix+01h)");
    EXPECT_EQ(at(0x8000, {0xCB, 0x30}).text, " 8000 CB 30       slia b");
    EXPECT_EQ(at(0x8000, {0xFD, 0x26, 0x12}).text, " 8000 FD 26 12    ld iyh,12h");
    EXPECT_EQ(at(0x8000, {0xDD, 0x66, 0x05}).text, " 8000 DD 66 05    ld h,(ix+05h)");
    EXPECT_EQ(at(0x8000, {0xDD, 0xE9}).text, " 8000 DD E9       jp (ix)");
    EXPECT_EQ(at(0x8000, {0xC7}).text, " 8000 C7          rst 0");
    EXPECT_EQ(at(0x8000, {0xCF}).text, " 8000 CF          rst 8");
    EXPECT_EQ(at(0x8000, {0xFF}).text, " 8000 FF          rst 38h");
    EXPECT_EQ(at(0x8000, {0x08}).text, " 8000 08          ex af,af'");
}

TEST(Disassembler, InstructionsWrapAtTheEndOfMemory) {
    image.fill(0);
    image[0xFFFF] = 0x21; // ld hl,nn with its operand at 0000h and 0001h
    image[0x0000] = 0x34;
    image[0x0001] = 0x12;
    std::string text;
    EXPECT_EQ(disassembleWith(readImage, 0xFFFF, text), 0x0002);
    EXPECT_EQ(text, " FFFF 21 34 12    ld hl,1234h");
}

// Instruction lengths from the Z80's encoding rules, independent of the
// tables' operand kinds.
int unprefixedLength(uint8_t op) {
    int x = op >> 6, y = (op >> 3) & 7, z = op & 7;
    if (x == 0) {
        if (z == 0) return y >= 2 ? 2 : 1;  // djnz, jr
        if (z == 1) return (y & 1) ? 1 : 3; // ld rr,nn / add hl,rr
        if (z == 2) return y >= 4 ? 3 : 1;  // ld (nn),hl ... / ld (bc),a ...
        if (z == 6) return 2;               // ld r,n
        return 1;
    }
    if (x == 1 || x == 2) return 1;
    if (z == 2 || z == 4) return 3; // jp cc, call cc
    if (z == 3) return y == 0 ? 3 : (y == 2 || y == 3) ? 2 : 1;
    if (z == 5) return y == 1 ? 3 : 1; // call nn / push
    if (z == 6) return 2;              // alu n
    return 1;
}

bool usesHlForms(uint8_t op) {
    if (op == 0xEB || op == 0xD9 || op == 0x76) return false;
    int x = op >> 6, y = (op >> 3) & 7, z = op & 7;
    if (x == 1) return y == 4 || y == 5 || y == 6 || z == 4 || z == 5 || z == 6;
    if (x == 2) return z == 4 || z == 5 || z == 6;
    if (x == 0) {
        if (z == 1) return (y >> 1) == 2 || (y & 1); // ld hl,nn; add hl,rr
        if (z == 2) return y == 4 || y == 5;
        if (z == 3) return (y >> 1) == 2;
        if (z == 4 || z == 5 || z == 6) return y == 4 || y == 5 || y == 6;
    }
    return op == 0xE1 || op == 0xE3 || op == 0xE5 || op == 0xE9 || op == 0xF9;
}

bool hasMemoryOperand(uint8_t op) {
    int x = op >> 6, y = (op >> 3) & 7, z = op & 7;
    if (op == 0x76) return false;
    if (x == 1) return y == 6 || z == 6;
    if (x == 2) return z == 6;
    return op == 0x34 || op == 0x35 || op == 0x36;
}

int indexedLength(uint8_t op) {
    if (op == 0xCB) return 4;
    if (!usesHlForms(op)) return 1;
    return 1 + unprefixedLength(op) + (hasMemoryOperand(op) ? 1 : 0);
}

int edLength(uint8_t op) {
    bool loadWord = (op & 0xC7) == 0x43 && op >= 0x40 && op < 0x80;
    return loadWord ? 4 : 2;
}

// Checks the shape of a line for an instruction of the given length.
void expectWellFormed(const std::string& line, uint16_t address, int length, const char* where) {
    SCOPED_TRACE(where);
    char expectedBytes[64];
    int n = std::snprintf(expectedBytes, sizeof expectedBytes, " %04X ", address);
    for (int i = 0; i < length; ++i)
        n += std::snprintf(expectedBytes + n, sizeof expectedBytes - n, "%02X ",
                           image[static_cast<uint16_t>(address + i)]);
    for (int i = length; i < 4; ++i)
        n += std::snprintf(expectedBytes + n, sizeof expectedBytes - n, "   ");
    ASSERT_GT(line.size(), static_cast<size_t>(n)) << line;
    EXPECT_EQ(line.substr(0, n), expectedBytes);
    std::string mnemonic = line.substr(n);
    EXPECT_NE(mnemonic[0], ' ') << line;
    EXPECT_EQ(mnemonic.find('%'), std::string::npos) << line;
    EXPECT_EQ(mnemonic.find("  "), mnemonic.find("  ;undoc equiv")) << line;
    for (char c : mnemonic)
        EXPECT_TRUE(c == '\t' || (c >= 0x20 && c < 0x7F)) << line;
    // Mnemonic, one blank, operands: no blank right after a comma.
    EXPECT_EQ(mnemonic.find(", "), std::string::npos) << line;
}

// Fills the bytes of an instruction at 8000h with operand bytes that show up
// distinctly (11h, 22h) so a swapped or missing operand is seen.
Line sweep(std::initializer_list<uint8_t> opcode) {
    image.fill(0);
    uint16_t a = 0x8000;
    for (uint8_t b : opcode)
        image[a++] = b;
    image[a] = 0x11;
    image[a + 1] = 0x22;
    Line line;
    line.next = disassembleWith(readImage, 0x8000, line.text);
    return line;
}

TEST(Disassembler, EveryUnprefixedAndCbEntry) {
    for (int op = 0; op < 256; ++op) {
        if (op == 0xCB || op == 0xDD || op == 0xED || op == 0xFD) continue;
        Line line = sweep({static_cast<uint8_t>(op)});
        int length = unprefixedLength(static_cast<uint8_t>(op));
        EXPECT_EQ(line.next, 0x8000 + length) << line.text;
        expectWellFormed(line.text, 0x8000, length, "primary");
        EXPECT_EQ(line.text.find("undefined"), std::string::npos) << line.text;
    }
    for (int op = 0; op < 256; ++op) {
        Line line = sweep({0xCB, static_cast<uint8_t>(op)});
        EXPECT_EQ(line.next, 0x8002) << line.text;
        expectWellFormed(line.text, 0x8000, 2, "CB");
    }
}

TEST(Disassembler, EveryIndexEntryOfBothIndexRegisters) {
    for (uint8_t prefix : {uint8_t{0xDD}, uint8_t{0xFD}}) {
        const char* reg = prefix == 0xDD ? "ix" : "iy";
        const char* other = prefix == 0xDD ? "iy" : "ix";
        for (int op = 0; op < 256; ++op) {
            if (op == 0xCB) continue;
            Line line = sweep({prefix, static_cast<uint8_t>(op)});
            int length = indexedLength(static_cast<uint8_t>(op));
            EXPECT_EQ(line.next, 0x8000 + length) << line.text;
            expectWellFormed(line.text, 0x8000, length, "DD/FD");
            bool undefined = line.text.find("undefined") != std::string::npos;
            EXPECT_EQ(undefined, !usesHlForms(static_cast<uint8_t>(op))) << line.text;
            if (!undefined) {
                EXPECT_NE(line.text.find(reg), std::string::npos) << line.text;
                EXPECT_EQ(line.text.find(other), std::string::npos) << line.text;
                EXPECT_EQ(line.text.find("hl"), std::string::npos) << line.text;
            }
            if (hasMemoryOperand(static_cast<uint8_t>(op))) {
                EXPECT_NE(line.text.find(std::string("(") + reg + "+11h)"), std::string::npos)
                    << line.text;
            }
        }
        for (int op = 0; op < 256; ++op) {
            Line line = sweep({prefix, 0xCB, 0x11, static_cast<uint8_t>(op)});
            EXPECT_EQ(line.next, 0x8004) << line.text;
            expectWellFormed(line.text, 0x8000, 4, "DD CB/FD CB");
            EXPECT_NE(line.text.find(std::string("(") + reg + "+11h)"), std::string::npos)
                << line.text;
            bool copiesToRegister = (op & 7) != 6 && (op & 0xC0) != 0x40;
            EXPECT_EQ(line.text.find(" ld ") != std::string::npos, copiesToRegister) << line.text;
        }
    }
}

TEST(Disassembler, EveryEdEntry) {
    int traps = 0, named = 0;
    for (int op = 0; op < 256; ++op) {
        Line line = sweep({0xED, static_cast<uint8_t>(op)});
        int length = edLength(static_cast<uint8_t>(op));
        EXPECT_EQ(line.next, 0x8000 + length) << line.text;
        expectWellFormed(line.text, 0x8000, length, "ED");
        if (length == 4) {
            EXPECT_NE(line.text.find("(2211h)"), std::string::npos) << line.text;
        }
        bool defined = line.text.find("undefined") == std::string::npos;
        bool documentedRange = (op >= 0x40 && op < 0x80) || (op >= 0xA0 && op < 0xC0);
        if (line.text.find("emulator trap") != std::string::npos) ++traps;
        if (line.text.find("emt_") != std::string::npos) ++named;
        if (defined && !documentedRange) {
            EXPECT_TRUE(op < 0x40) << line.text;
        }
    }
    EXPECT_EQ(traps, 7);
    EXPECT_EQ(named, 21);
    EXPECT_EQ(sweep({0xED, 0x4E}).text.substr(18), "undefined");
    EXPECT_EQ(sweep({0xED, 0x7F}).text.substr(18), "undefined");
    EXPECT_EQ(sweep({0xED, 0xB0}).text.substr(18), "ldir");
    EXPECT_EQ(sweep({0xED, 0x70}).text.substr(18), "in (c)");
    EXPECT_EQ(sweep({0xED, 0x71}).text.substr(18), "out (c),0");
}

// The tables themselves: every format's conversions match its operand kind.
int conversions(const char* format) {
    int n = 0;
    for (const char* p = format; *p; ++p)
        if (*p == '%') ++n;
    return n;
}

TEST(Disassembler, FormatsMatchTheirOperandKinds) {
    auto expected = [](int32_t kind) {
        switch (kind) {
        case KindNone:
        case KindPrefixOnly: return 0;
        case KindByte:
        case KindIndexBit:
        case KindRelative: return 1;
        case KindWord:
        case KindIndexImmediate: return 2;
        }
        return -1;
    };
    auto check = [&](const OpcodeEntry& e, const char* table, int op) {
        if (!e.format) return;
        EXPECT_NE(e.format[0], '\0') << table << " " << op;
        EXPECT_EQ(conversions(e.format), expected(e.kind)) << table << " " << op << " " << e.format;
    };
    int prefixes = 0;
    for (int op = 0; op < 256; ++op) {
        check(opcodeTables().primary[op], "primary", op);
        prefixes += opcodeTables().primary[op].format == nullptr;
    }
    EXPECT_EQ(prefixes, 4);
    for (int t = 0; t < 6; ++t) {
        int tablePrefixes = 0;
        for (int op = 0; op < 256; ++op) {
            check(opcodeTables().secondary[t][op], "secondary", t * 256 + op);
            tablePrefixes += opcodeTables().secondary[t][op].format == nullptr;
        }
        EXPECT_EQ(tablePrefixes, (t == TableDD || t == TableFD) ? 1 : 0);
    }
    EXPECT_EQ(opcodeTables().secondary[TableDD][0xCB].kind, TableDDCB);
    EXPECT_EQ(opcodeTables().secondary[TableFD][0xCB].kind, TableFDCB);
}

} // namespace
