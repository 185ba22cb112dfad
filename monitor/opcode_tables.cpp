// The disassembler's opcode tables, built once from the Z80's opcode bit
// fields (x = bits 7-6, y = bits 5-3, z = bits 2-0, p = y >> 1, q = y & 1).
// The DD and FD tables are derived from the unprefixed one by putting IX or
// IY in place of HL, H, L and (HL), and the DD CB and FD CB tables from the
// CB one, so each instruction is described once.
#include "monitor/opcode_tables.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const Reg[8] = {"b", "c", "d", "e", "h", "l", "(hl)", "a"};
const char* const RegPair[4] = {"bc", "de", "hl", "sp"};
const char* const RegPair2[4] = {"bc", "de", "hl", "af"};
const char* const Cond[8] = {"nz", "z", "nc", "c", "po", "pe", "p", "m"};
const char* const Alu[8] = {"add a,", "adc a,", "sub ", "sbc a,", "and ", "xor ", "or ", "cp "};
const char* const Rot[8] = {"rlc", "rrc", "rl", "rr", "sla", "sra", "slia", "srl"};
const char* const Accumulator[8] = {"rlca", "rrca", "rla", "rra", "daa", "cpl", "scf", "ccf"};
const char* const Block[4][4] = {{"ldi", "cpi", "ini", "outi"},
                                 {"ldd", "cpd", "ind", "outd"},
                                 {"ldir", "cpir", "inir", "otir"},
                                 {"lddr", "cpdr", "indr", "otdr"}};
// The emulator-service names of ED 28h-3Fh (empty: undefined).
const char* const Services[24] = {"emt_system",
                                  "emt_mouse",
                                  "emt_getdir",
                                  "emt_setdir",
                                  "",
                                  "",
                                  "",
                                  "emt_debug",
                                  "emt_open",
                                  "emt_close",
                                  "emt_read",
                                  "emt_write",
                                  "emt_lseek",
                                  "emt_strerror",
                                  "emt_time",
                                  "emt_opendir",
                                  "emt_closedir",
                                  "emt_readdir",
                                  "emt_chdir",
                                  "emt_getcwd",
                                  "emt_misc",
                                  "emt_ftruncate",
                                  "emt_opendisk",
                                  "emt_closedisk"};

constexpr const char* Word = "%02x%02xh";
constexpr const char* Byte = "%02xh";
constexpr const char* Target = "%04xh";
// The note on an undocumented duplicate, in the monitor's column layout.
constexpr const char* UndocNote = ";undoc equiv";

// Builds the tables into one object; the formats live in its text store.
class Builder {
  public:
    explicit Builder(OpcodeTables& t) : t(t) {}

    void build() {
        for (int op = 0; op < 256; op++)
            t.primary[op] = primary(op);
        t.primary[0xCB] = {nullptr, TableCB};
        t.primary[0xDD] = {nullptr, TableDD};
        t.primary[0xED] = {nullptr, TableED};
        t.primary[0xFD] = {nullptr, TableFD};
        for (int op = 0; op < 256; op++) {
            t.secondary[TableCB][op] = bitGroup(op);
            t.secondary[TableED][op] = extended(op);
            t.secondary[TableDD][op] = indexed(op, "ix");
            t.secondary[TableFD][op] = indexed(op, "iy");
            t.secondary[TableDDCB][op] = indexedBitGroup(op, "ix");
            t.secondary[TableFDCB][op] = indexedBitGroup(op, "iy");
        }
        t.secondary[TableDD][0xCB] = {nullptr, TableDDCB};
        t.secondary[TableFD][0xCB] = {nullptr, TableFDCB};
    }

  private:
    OpcodeEntry entry(const std::string& text, int32_t kind) {
        t.texts.push_back(text);
        return {t.texts.back().c_str(), kind};
    }
    static std::string s(const char* text) { return text; }

    OpcodeEntry primary(int op) {
        int x = op >> 6, y = (op >> 3) & 7, z = op & 7, p = y >> 1, q = y & 1;
        if (x == 1)
            return op == 0x76 ? entry("halt", KindNone)
                              : entry(s("ld ") + Reg[y] + "," + Reg[z], KindNone);
        if (x == 2) return entry(s(Alu[y]) + Reg[z], KindNone);
        if (x == 0) {
            switch (z) {
            case 0:
                if (y == 0) return entry("nop", KindNone);
                if (y == 1) return entry("ex af,af'", KindNone);
                if (y == 2) return entry(s("djnz ") + Target, KindRelative);
                if (y == 3) return entry(s("jr ") + Target, KindRelative);
                return entry(s("jr ") + Cond[y - 4] + "," + Target, KindRelative);
            case 1:
                if (q == 0) return entry(s("ld ") + RegPair[p] + "," + Word, KindWord);
                return entry(s("add hl,") + RegPair[p], KindNone);
            case 2: {
                static const char* const Store[4] = {"(bc),a", "(de),a", "(%02x%02xh),hl",
                                                     "(%02x%02xh),a"};
                static const char* const Load[4] = {"a,(bc)", "a,(de)", "hl,(%02x%02xh)",
                                                    "a,(%02x%02xh)"};
                return entry(s("ld ") + (q ? Load[p] : Store[p]), p >= 2 ? KindWord : KindNone);
            }
            case 3: return entry(s(q ? "dec " : "inc ") + RegPair[p], KindNone);
            case 4: return entry(s("inc ") + Reg[y], KindNone);
            case 5: return entry(s("dec ") + Reg[y], KindNone);
            case 6: return entry(s("ld ") + Reg[y] + "," + Byte, KindByte);
            default: return entry(Accumulator[y], KindNone);
            }
        }
        switch (z) {
        case 0: return entry(s("ret ") + Cond[y], KindNone);
        case 1:
            if (q == 0) return entry(s("pop ") + RegPair2[p], KindNone);
            return entry(p == 0   ? "ret"
                         : p == 1 ? "exx"
                         : p == 2 ? "jp (hl)"
                                  : "ld sp,hl",
                         KindNone);
        case 2: return entry(s("jp ") + Cond[y] + "," + Word, KindWord);
        case 3:
            switch (y) {
            case 0: return entry(s("jp ") + Word, KindWord);
            case 2: return entry("out (%02xh),a", KindByte);
            case 3: return entry("in a,(%02xh)", KindByte);
            case 4: return entry("ex (sp),hl", KindNone);
            case 5: return entry("ex de,hl", KindNone);
            case 6: return entry("di", KindNone);
            case 7: return entry("ei", KindNone);
            default: return {nullptr, TableCB}; // CB: set by build
            }
        case 4: return entry(s("call ") + Cond[y] + "," + Word, KindWord);
        case 5:
            if (q == 0) return entry(s("push ") + RegPair2[p], KindNone);
            return p == 0 ? entry(s("call ") + Word, KindWord) : OpcodeEntry{nullptr, 0};
        case 6: return entry(s(Alu[y]) + Byte, KindByte);
        default: {
            int target = y * 8;
            char text[16];
            std::snprintf(text, sizeof text, target < 10 ? "rst %d" : "rst %xh", target);
            return entry(text, KindNone);
        }
        }
    }

    OpcodeEntry bitGroup(int op) {
        int x = op >> 6, y = (op >> 3) & 7, z = op & 7;
        if (x == 0) return entry(s(Rot[y]) + " " + Reg[z], KindNone);
        static const char* const Name[4] = {"", "bit ", "res ", "set "};
        return entry(s(Name[x]) + std::to_string(y) + "," + Reg[z], KindNone);
    }

    // DD CB d op / FD CB d op: the memory operand always; a register other
    // than (hl) also receives the result (shown as "ld r,..."), except for
    // bit, which only tests.
    OpcodeEntry indexedBitGroup(int op, const char* index) {
        int x = op >> 6, y = (op >> 3) & 7, z = op & 7;
        std::string memory = s("(") + index + "+%02xh)";
        std::string operation;
        if (x == 0)
            operation = s(Rot[y]) + " " + memory;
        else {
            static const char* const Name[4] = {"", "bit ", "res ", "set "};
            operation = s(Name[x]) + std::to_string(y) + "," + memory;
        }
        if (z == 6) return entry(operation, KindIndexBit);
        if (x == 1) return entry(operation + "  " + UndocNote, KindIndexBit);
        return entry(s("ld ") + Reg[z] + "," + operation, KindIndexBit);
    }

    // The unprefixed instruction with IX or IY in place of HL: (hl) becomes
    // (ix+d) (and a plain h or l beside it stays), HL becomes IX, H and L
    // become IXH and IXL; jp (hl) becomes jp (ix). An instruction with none of
    // them, and ex de,hl, has no indexed form: only the prefix counts.
    OpcodeEntry indexed(int op, const char* index) {
        const OpcodeEntry& plain = t.primary[op];
        if (op == 0xE9) return entry(s("jp (") + index + ")", KindNone);
        const char* space = plain.format ? std::strchr(plain.format, ' ') : nullptr;
        if (op == 0xEB || !space) return entry("undefined", KindPrefixOnly);
        std::string operands = space + 1;
        bool memory = operands == "(hl)" || operands.find("(hl)") != std::string::npos;
        std::string result(plain.format, space + 1);
        for (size_t start = 0;;) {
            size_t comma = operands.find(',', start);
            std::string part = operands.substr(start, comma - start);
            if (part == "(hl)") {
                part = "(";
                part += index;
                part += "+%02xh)";
            } else if (part == "hl") {
                part = index;
            } else if (!memory && (part == "h" || part == "l")) {
                part.insert(0, index);
            }
            result += part;
            if (comma == std::string::npos) break;
            result += ',';
            start = comma + 1;
        }
        if (result == plain.format) return entry("undefined", KindPrefixOnly);
        int32_t kind = plain.kind;
        if (memory) kind = plain.kind == KindByte ? KindIndexImmediate : KindByte;
        return entry(result, kind);
    }

    OpcodeEntry extended(int op) {
        int x = op >> 6, y = (op >> 3) & 7, z = op & 7, p = y >> 1, q = y & 1;
        if (op <= 0x06) return entry("emulator trap", KindNone);
        if (op >= 0x28 && op <= 0x3F && Services[op - 0x28][0])
            return entry(Services[op - 0x28], KindNone);
        if (x == 2 && y >= 4 && z <= 3) return entry(Block[y - 4][z], KindNone);
        if (x != 1) return entry("undefined", KindNone);
        switch (z) {
        case 0: return entry(y == 6 ? s("in (c)") : s("in ") + Reg[y] + ",(c)", KindNone);
        case 1: return entry(y == 6 ? s("out (c),0") : s("out (c),") + Reg[y], KindNone);
        case 2: return entry(s(q ? "adc hl," : "sbc hl,") + RegPair[p], KindNone);
        case 3: {
            std::string text = q ? s("ld ") + RegPair[p] + ",(" + Word + ")"
                                 : s("ld (") + Word + ")," + RegPair[p];
            return entry(p == 2 ? text + "\t" + UndocNote : text, KindWord);
        }
        case 4: return entry(y == 0 ? s("neg") : s("neg\t\t\t") + UndocNote, KindNone);
        case 5:
            if (y <= 1) return entry(y == 0 ? "retn" : "reti", KindNone);
            return entry(s("ret\t\t\t") + UndocNote, KindNone);
        case 6: {
            static const char Mode[8] = {'0', 0, '1', '2', '0', 0, '1', '2'};
            if (!Mode[y]) return entry("undefined", KindNone);
            if (y < 4) return entry(s("im ") + Mode[y], KindNone);
            return entry(s("im\t") + Mode[y] + "\t\t" + UndocNote, KindNone);
        }
        default: {
            static const char* const Special[8] = {"ld i,a", "ld r,a", "ld a,i",    "ld a,r",
                                                   "rrd",    "rld",    "undefined", "undefined"};
            return entry(Special[y], KindNone);
        }
        }
    }

    OpcodeTables& t;
};

} // namespace

const OpcodeTables& opcodeTables() {
    // Built in place: the entries point into the object's own text store.
    static OpcodeTables tables;
    static const bool built = (Builder(tables).build(), true);
    (void)built;
    return tables;
}
