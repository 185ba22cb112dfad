// The opcode tables of the Z80 disassembler: one entry per opcode byte, for
// the unprefixed instructions and for the CB, DD, ED, FD, DD CB and FD CB
// groups. Each entry is a printf format and an operand kind; a prefix entry
// has no format and names the table of the next byte instead.
#include "monitor/opcode_tables.h"

const OpcodeEntry PrimaryOpcodes[256] = {
    {"nop", KindNone},               // 00h
    {"ld bc,%02x%02xh", KindWord},   // 01h
    {"ld (bc),a", KindNone},         // 02h
    {"inc bc", KindNone},            // 03h
    {"inc b", KindNone},             // 04h
    {"dec b", KindNone},             // 05h
    {"ld b,%02xh", KindByte},        // 06h
    {"rlca", KindNone},              // 07h
    {"ex af,af'", KindNone},         // 08h
    {"add hl,bc", KindNone},         // 09h
    {"ld a,(bc)", KindNone},         // 0Ah
    {"dec bc", KindNone},            // 0Bh
    {"inc c", KindNone},             // 0Ch
    {"dec c", KindNone},             // 0Dh
    {"ld c,%02xh", KindByte},        // 0Eh
    {"rrca", KindNone},              // 0Fh
    {"djnz %04xh", KindRelative},    // 10h
    {"ld de,%02x%02xh", KindWord},   // 11h
    {"ld (de),a", KindNone},         // 12h
    {"inc de", KindNone},            // 13h
    {"inc d", KindNone},             // 14h
    {"dec d", KindNone},             // 15h
    {"ld d,%02xh", KindByte},        // 16h
    {"rla", KindNone},               // 17h
    {"jr %04xh", KindRelative},      // 18h
    {"add hl,de", KindNone},         // 19h
    {"ld a,(de)", KindNone},         // 1Ah
    {"dec de", KindNone},            // 1Bh
    {"inc e", KindNone},             // 1Ch
    {"dec e", KindNone},             // 1Dh
    {"ld e,%02xh", KindByte},        // 1Eh
    {"rra", KindNone},               // 1Fh
    {"jr nz,%04xh", KindRelative},   // 20h
    {"ld hl,%02x%02xh", KindWord},   // 21h
    {"ld (%02x%02xh),hl", KindWord}, // 22h
    {"inc hl", KindNone},            // 23h
    {"inc h", KindNone},             // 24h
    {"dec h", KindNone},             // 25h
    {"ld h,%02xh", KindByte},        // 26h
    {"daa", KindNone},               // 27h
    {"jr z,%04xh", KindRelative},    // 28h
    {"add hl,hl", KindNone},         // 29h
    {"ld hl,(%02x%02xh)", KindWord}, // 2Ah
    {"dec hl", KindNone},            // 2Bh
    {"inc l", KindNone},             // 2Ch
    {"dec l", KindNone},             // 2Dh
    {"ld l,%02xh", KindByte},        // 2Eh
    {"cpl", KindNone},               // 2Fh
    {"jr nc,%04xh", KindRelative},   // 30h
    {"ld sp,%02x%02xh", KindWord},   // 31h
    {"ld (%02x%02xh),a", KindWord},  // 32h
    {"inc sp", KindNone},            // 33h
    {"inc (hl)", KindNone},          // 34h
    {"dec (hl)", KindNone},          // 35h
    {"ld (hl),%02xh", KindByte},     // 36h
    {"scf", KindNone},               // 37h
    {"jr c,%04xh", KindRelative},    // 38h
    {"add hl,sp", KindNone},         // 39h
    {"ld a,(%02x%02xh)", KindWord},  // 3Ah
    {"dec sp", KindNone},            // 3Bh
    {"inc a", KindNone},             // 3Ch
    {"dec a", KindNone},             // 3Dh
    {"ld a,%02xh", KindByte},        // 3Eh
    {"ccf", KindNone},               // 3Fh
    {"ld b,b", KindNone},            // 40h
    {"ld b,c", KindNone},            // 41h
    {"ld b,d", KindNone},            // 42h
    {"ld b,e", KindNone},            // 43h
    {"ld b,h", KindNone},            // 44h
    {"ld b,l", KindNone},            // 45h
    {"ld b,(hl)", KindNone},         // 46h
    {"ld b,a", KindNone},            // 47h
    {"ld c,b", KindNone},            // 48h
    {"ld c,c", KindNone},            // 49h
    {"ld c,d", KindNone},            // 4Ah
    {"ld c,e", KindNone},            // 4Bh
    {"ld c,h", KindNone},            // 4Ch
    {"ld c,l", KindNone},            // 4Dh
    {"ld c,(hl)", KindNone},         // 4Eh
    {"ld c,a", KindNone},            // 4Fh
    {"ld d,b", KindNone},            // 50h
    {"ld d,c", KindNone},            // 51h
    {"ld d,d", KindNone},            // 52h
    {"ld d,e", KindNone},            // 53h
    {"ld d,h", KindNone},            // 54h
    {"ld d,l", KindNone},            // 55h
    {"ld d,(hl)", KindNone},         // 56h
    {"ld d,a", KindNone},            // 57h
    {"ld e,b", KindNone},            // 58h
    {"ld e,c", KindNone},            // 59h
    {"ld e,d", KindNone},            // 5Ah
    {"ld e,e", KindNone},            // 5Bh
    {"ld e,h", KindNone},            // 5Ch
    {"ld e,l", KindNone},            // 5Dh
    {"ld e,(hl)", KindNone},         // 5Eh
    {"ld e,a", KindNone},            // 5Fh
    {"ld h,b", KindNone},            // 60h
    {"ld h,c", KindNone},            // 61h
    {"ld h,d", KindNone},            // 62h
    {"ld h,e", KindNone},            // 63h
    {"ld h,h", KindNone},            // 64h
    {"ld h,l", KindNone},            // 65h
    {"ld h,(hl)", KindNone},         // 66h
    {"ld h,a", KindNone},            // 67h
    {"ld l,b", KindNone},            // 68h
    {"ld l,c", KindNone},            // 69h
    {"ld l,d", KindNone},            // 6Ah
    {"ld l,e", KindNone},            // 6Bh
    {"ld l,h", KindNone},            // 6Ch
    {"ld l,l", KindNone},            // 6Dh
    {"ld l,(hl)", KindNone},         // 6Eh
    {"ld l,a", KindNone},            // 6Fh
    {"ld (hl),b", KindNone},         // 70h
    {"ld (hl),c", KindNone},         // 71h
    {"ld (hl),d", KindNone},         // 72h
    {"ld (hl),e", KindNone},         // 73h
    {"ld (hl),h", KindNone},         // 74h
    {"ld (hl),l", KindNone},         // 75h
    {"halt", KindNone},              // 76h
    {"ld (hl),a", KindNone},         // 77h
    {"ld a,b", KindNone},            // 78h
    {"ld a,c", KindNone},            // 79h
    {"ld a,d", KindNone},            // 7Ah
    {"ld a,e", KindNone},            // 7Bh
    {"ld a,h", KindNone},            // 7Ch
    {"ld a,l", KindNone},            // 7Dh
    {"ld a,(hl)", KindNone},         // 7Eh
    {"ld a,a", KindNone},            // 7Fh
    {"add a,b", KindNone},           // 80h
    {"add a,c", KindNone},           // 81h
    {"add a,d", KindNone},           // 82h
    {"add a,e", KindNone},           // 83h
    {"add a,h", KindNone},           // 84h
    {"add a,l", KindNone},           // 85h
    {"add a,(hl)", KindNone},        // 86h
    {"add a,a", KindNone},           // 87h
    {"adc a,b", KindNone},           // 88h
    {"adc a,c", KindNone},           // 89h
    {"adc a,d", KindNone},           // 8Ah
    {"adc a,e", KindNone},           // 8Bh
    {"adc a,h", KindNone},           // 8Ch
    {"adc a,l", KindNone},           // 8Dh
    {"adc a,(hl)", KindNone},        // 8Eh
    {"adc a,a", KindNone},           // 8Fh
    {"sub b", KindNone},             // 90h
    {"sub c", KindNone},             // 91h
    {"sub d", KindNone},             // 92h
    {"sub e", KindNone},             // 93h
    {"sub h", KindNone},             // 94h
    {"sub l", KindNone},             // 95h
    {"sub (hl)", KindNone},          // 96h
    {"sub a", KindNone},             // 97h
    {"sbc a,b", KindNone},           // 98h
    {"sbc a,c", KindNone},           // 99h
    {"sbc a,d", KindNone},           // 9Ah
    {"sbc a,e", KindNone},           // 9Bh
    {"sbc a,h", KindNone},           // 9Ch
    {"sbc a,l", KindNone},           // 9Dh
    {"sbc a,(hl)", KindNone},        // 9Eh
    {"sbc a,a", KindNone},           // 9Fh
    {"and b", KindNone},             // A0h
    {"and c", KindNone},             // A1h
    {"and d", KindNone},             // A2h
    {"and e", KindNone},             // A3h
    {"and h", KindNone},             // A4h
    {"and l", KindNone},             // A5h
    {"and (hl)", KindNone},          // A6h
    {"and a", KindNone},             // A7h
    {"xor b", KindNone},             // A8h
    {"xor c", KindNone},             // A9h
    {"xor d", KindNone},             // AAh
    {"xor e", KindNone},             // ABh
    {"xor h", KindNone},             // ACh
    {"xor l", KindNone},             // ADh
    {"xor (hl)", KindNone},          // AEh
    {"xor a", KindNone},             // AFh
    {"or b", KindNone},              // B0h
    {"or c", KindNone},              // B1h
    {"or d", KindNone},              // B2h
    {"or e", KindNone},              // B3h
    {"or h", KindNone},              // B4h
    {"or l", KindNone},              // B5h
    {"or (hl)", KindNone},           // B6h
    {"or a", KindNone},              // B7h
    {"cp b", KindNone},              // B8h
    {"cp c", KindNone},              // B9h
    {"cp d", KindNone},              // BAh
    {"cp e", KindNone},              // BBh
    {"cp h", KindNone},              // BCh
    {"cp l", KindNone},              // BDh
    {"cp (hl)", KindNone},           // BEh
    {"cp a", KindNone},              // BFh
    {"ret nz", KindNone},            // C0h
    {"pop bc", KindNone},            // C1h
    {"jp nz,%02x%02xh", KindWord},   // C2h
    {"jp %02x%02xh", KindWord},      // C3h
    {"call nz,%02x%02xh", KindWord}, // C4h
    {"push bc", KindNone},           // C5h
    {"add a,%02xh", KindByte},       // C6h
    {"rst 0", KindNone},             // C7h
    {"ret z", KindNone},             // C8h
    {"ret", KindNone},               // C9h
    {"jp z,%02x%02xh", KindWord},    // CAh
    {nullptr, TableCB},              // CBh: prefix
    {"call z,%02x%02xh", KindWord},  // CCh
    {"call %02x%02xh", KindWord},    // CDh
    {"adc a,%02xh", KindByte},       // CEh
    {"rst 8", KindNone},             // CFh
    {"ret nc", KindNone},            // D0h
    {"pop de", KindNone},            // D1h
    {"jp nc,%02x%02xh", KindWord},   // D2h
    {"out (%02xh),a", KindByte},     // D3h
    {"call nc,%02x%02xh", KindWord}, // D4h
    {"push de", KindNone},           // D5h
    {"sub %02xh", KindByte},         // D6h
    {"rst 10h", KindNone},           // D7h
    {"ret c", KindNone},             // D8h
    {"exx", KindNone},               // D9h
    {"jp c,%02x%02xh", KindWord},    // DAh
    {"in a,(%02xh)", KindByte},      // DBh
    {"call c,%02x%02xh", KindWord},  // DCh
    {nullptr, TableDD},              // DDh: prefix
    {"sbc a,%02xh", KindByte},       // DEh
    {"rst 18h", KindNone},           // DFh
    {"ret po", KindNone},            // E0h
    {"pop hl", KindNone},            // E1h
    {"jp po,%02x%02xh", KindWord},   // E2h
    {"ex (sp),hl", KindNone},        // E3h
    {"call po,%02x%02xh", KindWord}, // E4h
    {"push hl", KindNone},           // E5h
    {"and %02xh", KindByte},         // E6h
    {"rst 20h", KindNone},           // E7h
    {"ret pe", KindNone},            // E8h
    {"jp (hl)", KindNone},           // E9h
    {"jp pe,%02x%02xh", KindWord},   // EAh
    {"ex de,hl", KindNone},          // EBh
    {"call pe,%02x%02xh", KindWord}, // ECh
    {nullptr, TableED},              // EDh: prefix
    {"xor %02xh", KindByte},         // EEh
    {"rst 28h", KindNone},           // EFh
    {"ret p", KindNone},             // F0h
    {"pop af", KindNone},            // F1h
    {"jp p,%02x%02xh", KindWord},    // F2h
    {"di", KindNone},                // F3h
    {"call p,%02x%02xh", KindWord},  // F4h
    {"push af", KindNone},           // F5h
    {"or %02xh", KindByte},          // F6h
    {"rst 30h", KindNone},           // F7h
    {"ret m", KindNone},             // F8h
    {"ld sp,hl", KindNone},          // F9h
    {"jp m,%02x%02xh", KindWord},    // FAh
    {"ei", KindNone},                // FBh
    {"call m,%02x%02xh", KindWord},  // FCh
    {nullptr, TableFD},              // FDh: prefix
    {"cp %02xh", KindByte},          // FEh
    {"rst 38h", KindNone},           // FFh
};

const OpcodeEntry SecondaryOpcodes[6][256] = {
    // CB
    {
        {"rlc b", KindNone},      // 00h
        {"rlc c", KindNone},      // 01h
        {"rlc d", KindNone},      // 02h
        {"rlc e", KindNone},      // 03h
        {"rlc h", KindNone},      // 04h
        {"rlc l", KindNone},      // 05h
        {"rlc (hl)", KindNone},   // 06h
        {"rlc a", KindNone},      // 07h
        {"rrc b", KindNone},      // 08h
        {"rrc c", KindNone},      // 09h
        {"rrc d", KindNone},      // 0Ah
        {"rrc e", KindNone},      // 0Bh
        {"rrc h", KindNone},      // 0Ch
        {"rrc l", KindNone},      // 0Dh
        {"rrc (hl)", KindNone},   // 0Eh
        {"rrc a", KindNone},      // 0Fh
        {"rl b", KindNone},       // 10h
        {"rl c", KindNone},       // 11h
        {"rl d", KindNone},       // 12h
        {"rl e", KindNone},       // 13h
        {"rl h", KindNone},       // 14h
        {"rl l", KindNone},       // 15h
        {"rl (hl)", KindNone},    // 16h
        {"rl a", KindNone},       // 17h
        {"rr b", KindNone},       // 18h
        {"rr c", KindNone},       // 19h
        {"rr d", KindNone},       // 1Ah
        {"rr e", KindNone},       // 1Bh
        {"rr h", KindNone},       // 1Ch
        {"rr l", KindNone},       // 1Dh
        {"rr (hl)", KindNone},    // 1Eh
        {"rr a", KindNone},       // 1Fh
        {"sla b", KindNone},      // 20h
        {"sla c", KindNone},      // 21h
        {"sla d", KindNone},      // 22h
        {"sla e", KindNone},      // 23h
        {"sla h", KindNone},      // 24h
        {"sla l", KindNone},      // 25h
        {"sla (hl)", KindNone},   // 26h
        {"sla a", KindNone},      // 27h
        {"sra b", KindNone},      // 28h
        {"sra c", KindNone},      // 29h
        {"sra d", KindNone},      // 2Ah
        {"sra e", KindNone},      // 2Bh
        {"sra h", KindNone},      // 2Ch
        {"sra l", KindNone},      // 2Dh
        {"sra (hl)", KindNone},   // 2Eh
        {"sra a", KindNone},      // 2Fh
        {"slia b", KindNone},     // 30h
        {"slia c", KindNone},     // 31h
        {"slia d", KindNone},     // 32h
        {"slia e", KindNone},     // 33h
        {"slia h", KindNone},     // 34h
        {"slia l", KindNone},     // 35h
        {"slia (hl)", KindNone},  // 36h
        {"slia a", KindNone},     // 37h
        {"srl b", KindNone},      // 38h
        {"srl c", KindNone},      // 39h
        {"srl d", KindNone},      // 3Ah
        {"srl e", KindNone},      // 3Bh
        {"srl h", KindNone},      // 3Ch
        {"srl l", KindNone},      // 3Dh
        {"srl (hl)", KindNone},   // 3Eh
        {"srl a", KindNone},      // 3Fh
        {"bit 0,b", KindNone},    // 40h
        {"bit 0,c", KindNone},    // 41h
        {"bit 0,d", KindNone},    // 42h
        {"bit 0,e", KindNone},    // 43h
        {"bit 0,h", KindNone},    // 44h
        {"bit 0,l", KindNone},    // 45h
        {"bit 0,(hl)", KindNone}, // 46h
        {"bit 0,a", KindNone},    // 47h
        {"bit 1,b", KindNone},    // 48h
        {"bit 1,c", KindNone},    // 49h
        {"bit 1,d", KindNone},    // 4Ah
        {"bit 1,e", KindNone},    // 4Bh
        {"bit 1,h", KindNone},    // 4Ch
        {"bit 1,l", KindNone},    // 4Dh
        {"bit 1,(hl)", KindNone}, // 4Eh
        {"bit 1,a", KindNone},    // 4Fh
        {"bit 2,b", KindNone},    // 50h
        {"bit 2,c", KindNone},    // 51h
        {"bit 2,d", KindNone},    // 52h
        {"bit 2,e", KindNone},    // 53h
        {"bit 2,h", KindNone},    // 54h
        {"bit 2,l", KindNone},    // 55h
        {"bit 2,(hl)", KindNone}, // 56h
        {"bit 2,a", KindNone},    // 57h
        {"bit 3,b", KindNone},    // 58h
        {"bit 3,c", KindNone},    // 59h
        {"bit 3,d", KindNone},    // 5Ah
        {"bit 3,e", KindNone},    // 5Bh
        {"bit 3,h", KindNone},    // 5Ch
        {"bit 3,l", KindNone},    // 5Dh
        {"bit 3,(hl)", KindNone}, // 5Eh
        {"bit 3,a", KindNone},    // 5Fh
        {"bit 4,b", KindNone},    // 60h
        {"bit 4,c", KindNone},    // 61h
        {"bit 4,d", KindNone},    // 62h
        {"bit 4,e", KindNone},    // 63h
        {"bit 4,h", KindNone},    // 64h
        {"bit 4,l", KindNone},    // 65h
        {"bit 4,(hl)", KindNone}, // 66h
        {"bit 4,a", KindNone},    // 67h
        {"bit 5,b", KindNone},    // 68h
        {"bit 5,c", KindNone},    // 69h
        {"bit 5,d", KindNone},    // 6Ah
        {"bit 5,e", KindNone},    // 6Bh
        {"bit 5,h", KindNone},    // 6Ch
        {"bit 5,l", KindNone},    // 6Dh
        {"bit 5,(hl)", KindNone}, // 6Eh
        {"bit 5,a", KindNone},    // 6Fh
        {"bit 6,b", KindNone},    // 70h
        {"bit 6,c", KindNone},    // 71h
        {"bit 6,d", KindNone},    // 72h
        {"bit 6,e", KindNone},    // 73h
        {"bit 6,h", KindNone},    // 74h
        {"bit 6,l", KindNone},    // 75h
        {"bit 6,(hl)", KindNone}, // 76h
        {"bit 6,a", KindNone},    // 77h
        {"bit 7,b", KindNone},    // 78h
        {"bit 7,c", KindNone},    // 79h
        {"bit 7,d", KindNone},    // 7Ah
        {"bit 7,e", KindNone},    // 7Bh
        {"bit 7,h", KindNone},    // 7Ch
        {"bit 7,l", KindNone},    // 7Dh
        {"bit 7,(hl)", KindNone}, // 7Eh
        {"bit 7,a", KindNone},    // 7Fh
        {"res 0,b", KindNone},    // 80h
        {"res 0,c", KindNone},    // 81h
        {"res 0,d", KindNone},    // 82h
        {"res 0,e", KindNone},    // 83h
        {"res 0,h", KindNone},    // 84h
        {"res 0,l", KindNone},    // 85h
        {"res 0,(hl)", KindNone}, // 86h
        {"res 0,a", KindNone},    // 87h
        {"res 1,b", KindNone},    // 88h
        {"res 1,c", KindNone},    // 89h
        {"res 1,d", KindNone},    // 8Ah
        {"res 1,e", KindNone},    // 8Bh
        {"res 1,h", KindNone},    // 8Ch
        {"res 1,l", KindNone},    // 8Dh
        {"res 1,(hl)", KindNone}, // 8Eh
        {"res 1,a", KindNone},    // 8Fh
        {"res 2,b", KindNone},    // 90h
        {"res 2,c", KindNone},    // 91h
        {"res 2,d", KindNone},    // 92h
        {"res 2,e", KindNone},    // 93h
        {"res 2,h", KindNone},    // 94h
        {"res 2,l", KindNone},    // 95h
        {"res 2,(hl)", KindNone}, // 96h
        {"res 2,a", KindNone},    // 97h
        {"res 3,b", KindNone},    // 98h
        {"res 3,c", KindNone},    // 99h
        {"res 3,d", KindNone},    // 9Ah
        {"res 3,e", KindNone},    // 9Bh
        {"res 3,h", KindNone},    // 9Ch
        {"res 3,l", KindNone},    // 9Dh
        {"res 3,(hl)", KindNone}, // 9Eh
        {"res 3,a", KindNone},    // 9Fh
        {"res 4,b", KindNone},    // A0h
        {"res 4,c", KindNone},    // A1h
        {"res 4,d", KindNone},    // A2h
        {"res 4,e", KindNone},    // A3h
        {"res 4,h", KindNone},    // A4h
        {"res 4,l", KindNone},    // A5h
        {"res 4,(hl)", KindNone}, // A6h
        {"res 4,a", KindNone},    // A7h
        {"res 5,b", KindNone},    // A8h
        {"res 5,c", KindNone},    // A9h
        {"res 5,d", KindNone},    // AAh
        {"res 5,e", KindNone},    // ABh
        {"res 5,h", KindNone},    // ACh
        {"res 5,l", KindNone},    // ADh
        {"res 5,(hl)", KindNone}, // AEh
        {"res 5,a", KindNone},    // AFh
        {"res 6,b", KindNone},    // B0h
        {"res 6,c", KindNone},    // B1h
        {"res 6,d", KindNone},    // B2h
        {"res 6,e", KindNone},    // B3h
        {"res 6,h", KindNone},    // B4h
        {"res 6,l", KindNone},    // B5h
        {"res 6,(hl)", KindNone}, // B6h
        {"res 6,a", KindNone},    // B7h
        {"res 7,b", KindNone},    // B8h
        {"res 7,c", KindNone},    // B9h
        {"res 7,d", KindNone},    // BAh
        {"res 7,e", KindNone},    // BBh
        {"res 7,h", KindNone},    // BCh
        {"res 7,l", KindNone},    // BDh
        {"res 7,(hl)", KindNone}, // BEh
        {"res 7,a", KindNone},    // BFh
        {"set 0,b", KindNone},    // C0h
        {"set 0,c", KindNone},    // C1h
        {"set 0,d", KindNone},    // C2h
        {"set 0,e", KindNone},    // C3h
        {"set 0,h", KindNone},    // C4h
        {"set 0,l", KindNone},    // C5h
        {"set 0,(hl)", KindNone}, // C6h
        {"set 0,a", KindNone},    // C7h
        {"set 1,b", KindNone},    // C8h
        {"set 1,c", KindNone},    // C9h
        {"set 1,d", KindNone},    // CAh
        {"set 1,e", KindNone},    // CBh
        {"set 1,h", KindNone},    // CCh
        {"set 1,l", KindNone},    // CDh
        {"set 1,(hl)", KindNone}, // CEh
        {"set 1,a", KindNone},    // CFh
        {"set 2,b", KindNone},    // D0h
        {"set 2,c", KindNone},    // D1h
        {"set 2,d", KindNone},    // D2h
        {"set 2,e", KindNone},    // D3h
        {"set 2,h", KindNone},    // D4h
        {"set 2,l", KindNone},    // D5h
        {"set 2,(hl)", KindNone}, // D6h
        {"set 2,a", KindNone},    // D7h
        {"set 3,b", KindNone},    // D8h
        {"set 3,c", KindNone},    // D9h
        {"set 3,d", KindNone},    // DAh
        {"set 3,e", KindNone},    // DBh
        {"set 3,h", KindNone},    // DCh
        {"set 3,l", KindNone},    // DDh
        {"set 3,(hl)", KindNone}, // DEh
        {"set 3,a", KindNone},    // DFh
        {"set 4,b", KindNone},    // E0h
        {"set 4,c", KindNone},    // E1h
        {"set 4,d", KindNone},    // E2h
        {"set 4,e", KindNone},    // E3h
        {"set 4,h", KindNone},    // E4h
        {"set 4,l", KindNone},    // E5h
        {"set 4,(hl)", KindNone}, // E6h
        {"set 4,a", KindNone},    // E7h
        {"set 5,b", KindNone},    // E8h
        {"set 5,c", KindNone},    // E9h
        {"set 5,d", KindNone},    // EAh
        {"set 5,e", KindNone},    // EBh
        {"set 5,h", KindNone},    // ECh
        {"set 5,l", KindNone},    // EDh
        {"set 5,(hl)", KindNone}, // EEh
        {"set 5,a", KindNone},    // EFh
        {"set 6,b", KindNone},    // F0h
        {"set 6,c", KindNone},    // F1h
        {"set 6,d", KindNone},    // F2h
        {"set 6,e", KindNone},    // F3h
        {"set 6,h", KindNone},    // F4h
        {"set 6,l", KindNone},    // F5h
        {"set 6,(hl)", KindNone}, // F6h
        {"set 6,a", KindNone},    // F7h
        {"set 7,b", KindNone},    // F8h
        {"set 7,c", KindNone},    // F9h
        {"set 7,d", KindNone},    // FAh
        {"set 7,e", KindNone},    // FBh
        {"set 7,h", KindNone},    // FCh
        {"set 7,l", KindNone},    // FDh
        {"set 7,(hl)", KindNone}, // FEh
        {"set 7,a", KindNone},    // FFh
    },
    // DD
    {
        {"undefined", KindPrefixOnly},               // 00h
        {"undefined", KindPrefixOnly},               // 01h
        {"undefined", KindPrefixOnly},               // 02h
        {"undefined", KindPrefixOnly},               // 03h
        {"undefined", KindPrefixOnly},               // 04h
        {"undefined", KindPrefixOnly},               // 05h
        {"undefined", KindPrefixOnly},               // 06h
        {"undefined", KindPrefixOnly},               // 07h
        {"undefined", KindPrefixOnly},               // 08h
        {"add ix,bc", KindNone},                     // 09h
        {"undefined", KindPrefixOnly},               // 0Ah
        {"undefined", KindPrefixOnly},               // 0Bh
        {"undefined", KindPrefixOnly},               // 0Ch
        {"undefined", KindPrefixOnly},               // 0Dh
        {"undefined", KindPrefixOnly},               // 0Eh
        {"undefined", KindPrefixOnly},               // 0Fh
        {"undefined", KindPrefixOnly},               // 10h
        {"undefined", KindPrefixOnly},               // 11h
        {"undefined", KindPrefixOnly},               // 12h
        {"undefined", KindPrefixOnly},               // 13h
        {"undefined", KindPrefixOnly},               // 14h
        {"undefined", KindPrefixOnly},               // 15h
        {"undefined", KindPrefixOnly},               // 16h
        {"undefined", KindPrefixOnly},               // 17h
        {"undefined", KindPrefixOnly},               // 18h
        {"add ix,de", KindNone},                     // 19h
        {"undefined", KindPrefixOnly},               // 1Ah
        {"undefined", KindPrefixOnly},               // 1Bh
        {"undefined", KindPrefixOnly},               // 1Ch
        {"undefined", KindPrefixOnly},               // 1Dh
        {"undefined", KindPrefixOnly},               // 1Eh
        {"undefined", KindPrefixOnly},               // 1Fh
        {"undefined", KindPrefixOnly},               // 20h
        {"ld ix,%02x%02xh", KindWord},               // 21h
        {"ld (%02x%02xh),ix", KindWord},             // 22h
        {"inc ix", KindNone},                        // 23h
        {"inc ixh", KindNone},                       // 24h
        {"dec ixh", KindNone},                       // 25h
        {"ld ixh,%02xh", KindByte},                  // 26h
        {"undefined", KindPrefixOnly},               // 27h
        {"undefined", KindPrefixOnly},               // 28h
        {"add ix,ix", KindNone},                     // 29h
        {"ld ix,(%02x%02xh)", KindWord},             // 2Ah
        {"dec ix", KindNone},                        // 2Bh
        {"inc ixl", KindNone},                       // 2Ch
        {"dec ixl", KindNone},                       // 2Dh
        {"ld ixl,%02xh", KindByte},                  // 2Eh
        {"undefined", KindPrefixOnly},               // 2Fh
        {"undefined", KindPrefixOnly},               // 30h
        {"undefined", KindPrefixOnly},               // 31h
        {"undefined", KindPrefixOnly},               // 32h
        {"undefined", KindPrefixOnly},               // 33h
        {"inc (ix+%02xh)", KindByte},                // 34h
        {"dec (ix+%02xh)", KindByte},                // 35h
        {"ld (ix+%02xh),%02xh", KindIndexImmediate}, // 36h
        {"undefined", KindPrefixOnly},               // 37h
        {"undefined", KindPrefixOnly},               // 38h
        {"add ix,sp", KindNone},                     // 39h
        {"undefined", KindPrefixOnly},               // 3Ah
        {"undefined", KindPrefixOnly},               // 3Bh
        {"undefined", KindPrefixOnly},               // 3Ch
        {"undefined", KindPrefixOnly},               // 3Dh
        {"undefined", KindPrefixOnly},               // 3Eh
        {"undefined", KindPrefixOnly},               // 3Fh
        {"undefined", KindPrefixOnly},               // 40h
        {"undefined", KindPrefixOnly},               // 41h
        {"undefined", KindPrefixOnly},               // 42h
        {"undefined", KindPrefixOnly},               // 43h
        {"ld b,ixh", KindNone},                      // 44h
        {"ld b,ixl", KindNone},                      // 45h
        {"ld b,(ix+%02xh)", KindByte},               // 46h
        {"undefined", KindPrefixOnly},               // 47h
        {"undefined", KindPrefixOnly},               // 48h
        {"undefined", KindPrefixOnly},               // 49h
        {"undefined", KindPrefixOnly},               // 4Ah
        {"undefined", KindPrefixOnly},               // 4Bh
        {"ld c,ixh", KindNone},                      // 4Ch
        {"ld c,ixl", KindNone},                      // 4Dh
        {"ld c,(ix+%02xh)", KindByte},               // 4Eh
        {"undefined", KindPrefixOnly},               // 4Fh
        {"undefined", KindPrefixOnly},               // 50h
        {"undefined", KindPrefixOnly},               // 51h
        {"undefined", KindPrefixOnly},               // 52h
        {"undefined", KindPrefixOnly},               // 53h
        {"ld d,ixh", KindNone},                      // 54h
        {"ld d,ixl", KindNone},                      // 55h
        {"ld d,(ix+%02xh)", KindByte},               // 56h
        {"undefined", KindPrefixOnly},               // 57h
        {"undefined", KindPrefixOnly},               // 58h
        {"undefined", KindPrefixOnly},               // 59h
        {"undefined", KindPrefixOnly},               // 5Ah
        {"undefined", KindPrefixOnly},               // 5Bh
        {"ld e,ixh", KindNone},                      // 5Ch
        {"ld e,ixl", KindNone},                      // 5Dh
        {"ld e,(ix+%02xh)", KindByte},               // 5Eh
        {"undefined", KindPrefixOnly},               // 5Fh
        {"ld ixh,b", KindNone},                      // 60h
        {"ld ixh,c", KindNone},                      // 61h
        {"ld ixh,d", KindNone},                      // 62h
        {"ld ixh,e", KindNone},                      // 63h
        {"ld ixh,ixh", KindNone},                    // 64h
        {"ld ixh,ixl", KindNone},                    // 65h
        {"ld h,(ix+%02xh)", KindByte},               // 66h
        {"ld ixh,a", KindNone},                      // 67h
        {"ld ixl,b", KindNone},                      // 68h
        {"ld ixl,c", KindNone},                      // 69h
        {"ld ixl,d", KindNone},                      // 6Ah
        {"ld ixl,e", KindNone},                      // 6Bh
        {"ld ixl,ixh", KindNone},                    // 6Ch
        {"ld ixl,ixl", KindNone},                    // 6Dh
        {"ld l,(ix+%02xh)", KindByte},               // 6Eh
        {"ld ixl,a", KindNone},                      // 6Fh
        {"ld (ix+%02xh),b", KindByte},               // 70h
        {"ld (ix+%02xh),c", KindByte},               // 71h
        {"ld (ix+%02xh),d", KindByte},               // 72h
        {"ld (ix+%02xh),e", KindByte},               // 73h
        {"ld (ix+%02xh),h", KindByte},               // 74h
        {"ld (ix+%02xh),l", KindByte},               // 75h
        {"undefined", KindPrefixOnly},               // 76h
        {"ld (ix+%02xh),a", KindByte},               // 77h
        {"undefined", KindPrefixOnly},               // 78h
        {"undefined", KindPrefixOnly},               // 79h
        {"undefined", KindPrefixOnly},               // 7Ah
        {"undefined", KindPrefixOnly},               // 7Bh
        {"ld a,ixh", KindNone},                      // 7Ch
        {"ld a,ixl", KindNone},                      // 7Dh
        {"ld a,(ix+%02xh)", KindByte},               // 7Eh
        {"undefined", KindPrefixOnly},               // 7Fh
        {"undefined", KindPrefixOnly},               // 80h
        {"undefined", KindPrefixOnly},               // 81h
        {"undefined", KindPrefixOnly},               // 82h
        {"undefined", KindPrefixOnly},               // 83h
        {"add a,ixh", KindNone},                     // 84h
        {"add a,ixl", KindNone},                     // 85h
        {"add a,(ix+%02xh)", KindByte},              // 86h
        {"undefined", KindPrefixOnly},               // 87h
        {"undefined", KindPrefixOnly},               // 88h
        {"undefined", KindPrefixOnly},               // 89h
        {"undefined", KindPrefixOnly},               // 8Ah
        {"undefined", KindPrefixOnly},               // 8Bh
        {"adc a,ixh", KindNone},                     // 8Ch
        {"adc a,ixl", KindNone},                     // 8Dh
        {"adc a,(ix+%02xh)", KindByte},              // 8Eh
        {"undefined", KindPrefixOnly},               // 8Fh
        {"undefined", KindPrefixOnly},               // 90h
        {"undefined", KindPrefixOnly},               // 91h
        {"undefined", KindPrefixOnly},               // 92h
        {"undefined", KindPrefixOnly},               // 93h
        {"sub ixh", KindNone},                       // 94h
        {"sub ixl", KindNone},                       // 95h
        {"sub (ix+%02xh)", KindByte},                // 96h
        {"undefined", KindPrefixOnly},               // 97h
        {"undefined", KindPrefixOnly},               // 98h
        {"undefined", KindPrefixOnly},               // 99h
        {"undefined", KindPrefixOnly},               // 9Ah
        {"undefined", KindPrefixOnly},               // 9Bh
        {"sbc a,ixh", KindNone},                     // 9Ch
        {"sbc a,ixl", KindNone},                     // 9Dh
        {"sbc a,(ix+%02xh)", KindByte},              // 9Eh
        {"undefined", KindPrefixOnly},               // 9Fh
        {"undefined", KindPrefixOnly},               // A0h
        {"undefined", KindPrefixOnly},               // A1h
        {"undefined", KindPrefixOnly},               // A2h
        {"undefined", KindPrefixOnly},               // A3h
        {"and ixh", KindNone},                       // A4h
        {"and ixl", KindNone},                       // A5h
        {"and (ix+%02xh)", KindByte},                // A6h
        {"undefined", KindPrefixOnly},               // A7h
        {"undefined", KindPrefixOnly},               // A8h
        {"undefined", KindPrefixOnly},               // A9h
        {"undefined", KindPrefixOnly},               // AAh
        {"undefined", KindPrefixOnly},               // ABh
        {"xor ixh", KindNone},                       // ACh
        {"xor ixl", KindNone},                       // ADh
        {"xor (ix+%02xh)", KindByte},                // AEh
        {"undefined", KindPrefixOnly},               // AFh
        {"undefined", KindPrefixOnly},               // B0h
        {"undefined", KindPrefixOnly},               // B1h
        {"undefined", KindPrefixOnly},               // B2h
        {"undefined", KindPrefixOnly},               // B3h
        {"or ixh", KindNone},                        // B4h
        {"or ixl", KindNone},                        // B5h
        {"or (ix+%02xh)", KindByte},                 // B6h
        {"undefined", KindPrefixOnly},               // B7h
        {"undefined", KindPrefixOnly},               // B8h
        {"undefined", KindPrefixOnly},               // B9h
        {"undefined", KindPrefixOnly},               // BAh
        {"undefined", KindPrefixOnly},               // BBh
        {"cp ixh", KindNone},                        // BCh
        {"cp ixl", KindNone},                        // BDh
        {"cp (ix+%02xh)", KindByte},                 // BEh
        {"undefined", KindPrefixOnly},               // BFh
        {"undefined", KindPrefixOnly},               // C0h
        {"undefined", KindPrefixOnly},               // C1h
        {"undefined", KindPrefixOnly},               // C2h
        {"undefined", KindPrefixOnly},               // C3h
        {"undefined", KindPrefixOnly},               // C4h
        {"undefined", KindPrefixOnly},               // C5h
        {"undefined", KindPrefixOnly},               // C6h
        {"undefined", KindPrefixOnly},               // C7h
        {"undefined", KindPrefixOnly},               // C8h
        {"undefined", KindPrefixOnly},               // C9h
        {"undefined", KindPrefixOnly},               // CAh
        {nullptr, TableDDCB},                        // CBh: prefix
        {"undefined", KindPrefixOnly},               // CCh
        {"undefined", KindPrefixOnly},               // CDh
        {"undefined", KindPrefixOnly},               // CEh
        {"undefined", KindPrefixOnly},               // CFh
        {"undefined", KindPrefixOnly},               // D0h
        {"undefined", KindPrefixOnly},               // D1h
        {"undefined", KindPrefixOnly},               // D2h
        {"undefined", KindPrefixOnly},               // D3h
        {"undefined", KindPrefixOnly},               // D4h
        {"undefined", KindPrefixOnly},               // D5h
        {"undefined", KindPrefixOnly},               // D6h
        {"undefined", KindPrefixOnly},               // D7h
        {"undefined", KindPrefixOnly},               // D8h
        {"undefined", KindPrefixOnly},               // D9h
        {"undefined", KindPrefixOnly},               // DAh
        {"undefined", KindPrefixOnly},               // DBh
        {"undefined", KindPrefixOnly},               // DCh
        {"undefined", KindPrefixOnly},               // DDh
        {"undefined", KindPrefixOnly},               // DEh
        {"undefined", KindPrefixOnly},               // DFh
        {"undefined", KindPrefixOnly},               // E0h
        {"pop ix", KindNone},                        // E1h
        {"undefined", KindPrefixOnly},               // E2h
        {"ex (sp),ix", KindNone},                    // E3h
        {"undefined", KindPrefixOnly},               // E4h
        {"push ix", KindNone},                       // E5h
        {"undefined", KindPrefixOnly},               // E6h
        {"undefined", KindPrefixOnly},               // E7h
        {"undefined", KindPrefixOnly},               // E8h
        {"jp (ix)", KindNone},                       // E9h
        {"undefined", KindPrefixOnly},               // EAh
        {"undefined", KindPrefixOnly},               // EBh
        {"undefined", KindPrefixOnly},               // ECh
        {"undefined", KindPrefixOnly},               // EDh
        {"undefined", KindPrefixOnly},               // EEh
        {"undefined", KindPrefixOnly},               // EFh
        {"undefined", KindPrefixOnly},               // F0h
        {"undefined", KindPrefixOnly},               // F1h
        {"undefined", KindPrefixOnly},               // F2h
        {"undefined", KindPrefixOnly},               // F3h
        {"undefined", KindPrefixOnly},               // F4h
        {"undefined", KindPrefixOnly},               // F5h
        {"undefined", KindPrefixOnly},               // F6h
        {"undefined", KindPrefixOnly},               // F7h
        {"undefined", KindPrefixOnly},               // F8h
        {"ld sp,ix", KindNone},                      // F9h
        {"undefined", KindPrefixOnly},               // FAh
        {"undefined", KindPrefixOnly},               // FBh
        {"undefined", KindPrefixOnly},               // FCh
        {"undefined", KindPrefixOnly},               // FDh
        {"undefined", KindPrefixOnly},               // FEh
        {"undefined", KindPrefixOnly},               // FFh
    },
    // ED
    {
        {"emulator trap", KindNone},                   // 00h
        {"emulator trap", KindNone},                   // 01h
        {"emulator trap", KindNone},                   // 02h
        {"emulator trap", KindNone},                   // 03h
        {"emulator trap", KindNone},                   // 04h
        {"emulator trap", KindNone},                   // 05h
        {"emulator trap", KindNone},                   // 06h
        {"undefined", KindNone},                       // 07h
        {"undefined", KindNone},                       // 08h
        {"undefined", KindNone},                       // 09h
        {"undefined", KindNone},                       // 0Ah
        {"undefined", KindNone},                       // 0Bh
        {"undefined", KindNone},                       // 0Ch
        {"undefined", KindNone},                       // 0Dh
        {"undefined", KindNone},                       // 0Eh
        {"undefined", KindNone},                       // 0Fh
        {"undefined", KindNone},                       // 10h
        {"undefined", KindNone},                       // 11h
        {"undefined", KindNone},                       // 12h
        {"undefined", KindNone},                       // 13h
        {"undefined", KindNone},                       // 14h
        {"undefined", KindNone},                       // 15h
        {"undefined", KindNone},                       // 16h
        {"undefined", KindNone},                       // 17h
        {"undefined", KindNone},                       // 18h
        {"undefined", KindNone},                       // 19h
        {"undefined", KindNone},                       // 1Ah
        {"undefined", KindNone},                       // 1Bh
        {"undefined", KindNone},                       // 1Ch
        {"undefined", KindNone},                       // 1Dh
        {"undefined", KindNone},                       // 1Eh
        {"undefined", KindNone},                       // 1Fh
        {"undefined", KindNone},                       // 20h
        {"undefined", KindNone},                       // 21h
        {"undefined", KindNone},                       // 22h
        {"undefined", KindNone},                       // 23h
        {"undefined", KindNone},                       // 24h
        {"undefined", KindNone},                       // 25h
        {"undefined", KindNone},                       // 26h
        {"undefined", KindNone},                       // 27h
        {"emt_system", KindNone},                      // 28h
        {"emt_mouse", KindNone},                       // 29h
        {"emt_getdir", KindNone},                      // 2Ah
        {"emt_setdir", KindNone},                      // 2Bh
        {"undefined", KindNone},                       // 2Ch
        {"undefined", KindNone},                       // 2Dh
        {"undefined", KindNone},                       // 2Eh
        {"emt_debug", KindNone},                       // 2Fh
        {"emt_open", KindNone},                        // 30h
        {"emt_close", KindNone},                       // 31h
        {"emt_read", KindNone},                        // 32h
        {"emt_write", KindNone},                       // 33h
        {"emt_lseek", KindNone},                       // 34h
        {"emt_strerror", KindNone},                    // 35h
        {"emt_time", KindNone},                        // 36h
        {"emt_opendir", KindNone},                     // 37h
        {"emt_closedir", KindNone},                    // 38h
        {"emt_readdir", KindNone},                     // 39h
        {"emt_chdir", KindNone},                       // 3Ah
        {"emt_getcwd", KindNone},                      // 3Bh
        {"emt_misc", KindNone},                        // 3Ch
        {"emt_ftruncate", KindNone},                   // 3Dh
        {"emt_opendisk", KindNone},                    // 3Eh
        {"emt_closedisk", KindNone},                   // 3Fh
        {"in b,(c)", KindNone},                        // 40h
        {"out (c),b", KindNone},                       // 41h
        {"sbc hl,bc", KindNone},                       // 42h
        {"ld (%02x%02xh),bc", KindWord},               // 43h
        {"neg", KindNone},                             // 44h
        {"retn", KindNone},                            // 45h
        {"im 0", KindNone},                            // 46h
        {"ld i,a", KindNone},                          // 47h
        {"in c,(c)", KindNone},                        // 48h
        {"out (c),c", KindNone},                       // 49h
        {"adc hl,bc", KindNone},                       // 4Ah
        {"ld bc,(%02x%02xh)", KindWord},               // 4Bh
        {"neg\t\t\t;undoc equiv", KindNone},           // 4Ch
        {"reti", KindNone},                            // 4Dh
        {"undefined", KindNone},                       // 4Eh
        {"ld r,a", KindNone},                          // 4Fh
        {"in d,(c)", KindNone},                        // 50h
        {"out (c),d", KindNone},                       // 51h
        {"sbc hl,de", KindNone},                       // 52h
        {"ld (%02x%02xh),de", KindWord},               // 53h
        {"neg\t\t\t;undoc equiv", KindNone},           // 54h
        {"ret\t\t\t;undoc equiv", KindNone},           // 55h
        {"im 1", KindNone},                            // 56h
        {"ld a,i", KindNone},                          // 57h
        {"in e,(c)", KindNone},                        // 58h
        {"out (c),e", KindNone},                       // 59h
        {"adc hl,de", KindNone},                       // 5Ah
        {"ld de,(%02x%02xh)", KindWord},               // 5Bh
        {"neg\t\t\t;undoc equiv", KindNone},           // 5Ch
        {"ret\t\t\t;undoc equiv", KindNone},           // 5Dh
        {"im 2", KindNone},                            // 5Eh
        {"ld a,r", KindNone},                          // 5Fh
        {"in h,(c)", KindNone},                        // 60h
        {"out (c),h", KindNone},                       // 61h
        {"sbc hl,hl", KindNone},                       // 62h
        {"ld (%02x%02xh),hl\t;undoc equiv", KindWord}, // 63h
        {"neg\t\t\t;undoc equiv", KindNone},           // 64h
        {"ret\t\t\t;undoc equiv", KindNone},           // 65h
        {"im\t0\t\t;undoc equiv", KindNone},           // 66h
        {"rrd", KindNone},                             // 67h
        {"in l,(c)", KindNone},                        // 68h
        {"out (c),l", KindNone},                       // 69h
        {"adc hl,hl", KindNone},                       // 6Ah
        {"ld hl,(%02x%02xh)\t;undoc equiv", KindWord}, // 6Bh
        {"neg\t\t\t;undoc equiv", KindNone},           // 6Ch
        {"ret\t\t\t;undoc equiv", KindNone},           // 6Dh
        {"undefined", KindNone},                       // 6Eh
        {"rld", KindNone},                             // 6Fh
        {"in (c)", KindNone},                          // 70h
        {"out (c),0", KindNone},                       // 71h
        {"sbc hl,sp", KindNone},                       // 72h
        {"ld (%02x%02xh),sp", KindWord},               // 73h
        {"neg\t\t\t;undoc equiv", KindNone},           // 74h
        {"ret\t\t\t;undoc equiv", KindNone},           // 75h
        {"im\t1\t\t;undoc equiv", KindNone},           // 76h
        {"undefined", KindNone},                       // 77h
        {"in a,(c)", KindNone},                        // 78h
        {"out (c),a", KindNone},                       // 79h
        {"adc hl,sp", KindNone},                       // 7Ah
        {"ld sp,(%02x%02xh)", KindWord},               // 7Bh
        {"neg\t\t\t;undoc equiv", KindNone},           // 7Ch
        {"ret\t\t\t;undoc equiv", KindNone},           // 7Dh
        {"im\t2\t\t;undoc equiv", KindNone},           // 7Eh
        {"undefined", KindNone},                       // 7Fh
        {"undefined", KindNone},                       // 80h
        {"undefined", KindNone},                       // 81h
        {"undefined", KindNone},                       // 82h
        {"undefined", KindNone},                       // 83h
        {"undefined", KindNone},                       // 84h
        {"undefined", KindNone},                       // 85h
        {"undefined", KindNone},                       // 86h
        {"undefined", KindNone},                       // 87h
        {"undefined", KindNone},                       // 88h
        {"undefined", KindNone},                       // 89h
        {"undefined", KindNone},                       // 8Ah
        {"undefined", KindNone},                       // 8Bh
        {"undefined", KindNone},                       // 8Ch
        {"undefined", KindNone},                       // 8Dh
        {"undefined", KindNone},                       // 8Eh
        {"undefined", KindNone},                       // 8Fh
        {"undefined", KindNone},                       // 90h
        {"undefined", KindNone},                       // 91h
        {"undefined", KindNone},                       // 92h
        {"undefined", KindNone},                       // 93h
        {"undefined", KindNone},                       // 94h
        {"undefined", KindNone},                       // 95h
        {"undefined", KindNone},                       // 96h
        {"undefined", KindNone},                       // 97h
        {"undefined", KindNone},                       // 98h
        {"undefined", KindNone},                       // 99h
        {"undefined", KindNone},                       // 9Ah
        {"undefined", KindNone},                       // 9Bh
        {"undefined", KindNone},                       // 9Ch
        {"undefined", KindNone},                       // 9Dh
        {"undefined", KindNone},                       // 9Eh
        {"undefined", KindNone},                       // 9Fh
        {"ldi", KindNone},                             // A0h
        {"cpi", KindNone},                             // A1h
        {"ini", KindNone},                             // A2h
        {"outi", KindNone},                            // A3h
        {"undefined", KindNone},                       // A4h
        {"undefined", KindNone},                       // A5h
        {"undefined", KindNone},                       // A6h
        {"undefined", KindNone},                       // A7h
        {"ldd", KindNone},                             // A8h
        {"cpd", KindNone},                             // A9h
        {"ind", KindNone},                             // AAh
        {"outd", KindNone},                            // ABh
        {"undefined", KindNone},                       // ACh
        {"undefined", KindNone},                       // ADh
        {"undefined", KindNone},                       // AEh
        {"undefined", KindNone},                       // AFh
        {"ldir", KindNone},                            // B0h
        {"cpir", KindNone},                            // B1h
        {"inir", KindNone},                            // B2h
        {"otir", KindNone},                            // B3h
        {"undefined", KindNone},                       // B4h
        {"undefined", KindNone},                       // B5h
        {"undefined", KindNone},                       // B6h
        {"undefined", KindNone},                       // B7h
        {"lddr", KindNone},                            // B8h
        {"cpdr", KindNone},                            // B9h
        {"indr", KindNone},                            // BAh
        {"otdr", KindNone},                            // BBh
        {"undefined", KindNone},                       // BCh
        {"undefined", KindNone},                       // BDh
        {"undefined", KindNone},                       // BEh
        {"undefined", KindNone},                       // BFh
        {"undefined", KindNone},                       // C0h
        {"undefined", KindNone},                       // C1h
        {"undefined", KindNone},                       // C2h
        {"undefined", KindNone},                       // C3h
        {"undefined", KindNone},                       // C4h
        {"undefined", KindNone},                       // C5h
        {"undefined", KindNone},                       // C6h
        {"undefined", KindNone},                       // C7h
        {"undefined", KindNone},                       // C8h
        {"undefined", KindNone},                       // C9h
        {"undefined", KindNone},                       // CAh
        {"undefined", KindNone},                       // CBh
        {"undefined", KindNone},                       // CCh
        {"undefined", KindNone},                       // CDh
        {"undefined", KindNone},                       // CEh
        {"undefined", KindNone},                       // CFh
        {"undefined", KindNone},                       // D0h
        {"undefined", KindNone},                       // D1h
        {"undefined", KindNone},                       // D2h
        {"undefined", KindNone},                       // D3h
        {"undefined", KindNone},                       // D4h
        {"undefined", KindNone},                       // D5h
        {"undefined", KindNone},                       // D6h
        {"undefined", KindNone},                       // D7h
        {"undefined", KindNone},                       // D8h
        {"undefined", KindNone},                       // D9h
        {"undefined", KindNone},                       // DAh
        {"undefined", KindNone},                       // DBh
        {"undefined", KindNone},                       // DCh
        {"undefined", KindNone},                       // DDh
        {"undefined", KindNone},                       // DEh
        {"undefined", KindNone},                       // DFh
        {"undefined", KindNone},                       // E0h
        {"undefined", KindNone},                       // E1h
        {"undefined", KindNone},                       // E2h
        {"undefined", KindNone},                       // E3h
        {"undefined", KindNone},                       // E4h
        {"undefined", KindNone},                       // E5h
        {"undefined", KindNone},                       // E6h
        {"undefined", KindNone},                       // E7h
        {"undefined", KindNone},                       // E8h
        {"undefined", KindNone},                       // E9h
        {"undefined", KindNone},                       // EAh
        {"undefined", KindNone},                       // EBh
        {"undefined", KindNone},                       // ECh
        {"undefined", KindNone},                       // EDh
        {"undefined", KindNone},                       // EEh
        {"undefined", KindNone},                       // EFh
        {"undefined", KindNone},                       // F0h
        {"undefined", KindNone},                       // F1h
        {"undefined", KindNone},                       // F2h
        {"undefined", KindNone},                       // F3h
        {"undefined", KindNone},                       // F4h
        {"undefined", KindNone},                       // F5h
        {"undefined", KindNone},                       // F6h
        {"undefined", KindNone},                       // F7h
        {"undefined", KindNone},                       // F8h
        {"undefined", KindNone},                       // F9h
        {"undefined", KindNone},                       // FAh
        {"undefined", KindNone},                       // FBh
        {"undefined", KindNone},                       // FCh
        {"undefined", KindNone},                       // FDh
        {"undefined", KindNone},                       // FEh
        {"undefined", KindNone},                       // FFh
    },
    // FD
    {
        {"undefined", KindPrefixOnly},               // 00h
        {"undefined", KindPrefixOnly},               // 01h
        {"undefined", KindPrefixOnly},               // 02h
        {"undefined", KindPrefixOnly},               // 03h
        {"undefined", KindPrefixOnly},               // 04h
        {"undefined", KindPrefixOnly},               // 05h
        {"undefined", KindPrefixOnly},               // 06h
        {"undefined", KindPrefixOnly},               // 07h
        {"undefined", KindPrefixOnly},               // 08h
        {"add iy,bc", KindNone},                     // 09h
        {"undefined", KindPrefixOnly},               // 0Ah
        {"undefined", KindPrefixOnly},               // 0Bh
        {"undefined", KindPrefixOnly},               // 0Ch
        {"undefined", KindPrefixOnly},               // 0Dh
        {"undefined", KindPrefixOnly},               // 0Eh
        {"undefined", KindPrefixOnly},               // 0Fh
        {"undefined", KindPrefixOnly},               // 10h
        {"undefined", KindPrefixOnly},               // 11h
        {"undefined", KindPrefixOnly},               // 12h
        {"undefined", KindPrefixOnly},               // 13h
        {"undefined", KindPrefixOnly},               // 14h
        {"undefined", KindPrefixOnly},               // 15h
        {"undefined", KindPrefixOnly},               // 16h
        {"undefined", KindPrefixOnly},               // 17h
        {"undefined", KindPrefixOnly},               // 18h
        {"add iy,de", KindNone},                     // 19h
        {"undefined", KindPrefixOnly},               // 1Ah
        {"undefined", KindPrefixOnly},               // 1Bh
        {"undefined", KindPrefixOnly},               // 1Ch
        {"undefined", KindPrefixOnly},               // 1Dh
        {"undefined", KindPrefixOnly},               // 1Eh
        {"undefined", KindPrefixOnly},               // 1Fh
        {"undefined", KindPrefixOnly},               // 20h
        {"ld iy,%02x%02xh", KindWord},               // 21h
        {"ld (%02x%02xh),iy", KindWord},             // 22h
        {"inc iy", KindNone},                        // 23h
        {"inc iyh", KindNone},                       // 24h
        {"dec iyh", KindNone},                       // 25h
        {"ld iyh,%02xh", KindByte},                  // 26h
        {"undefined", KindPrefixOnly},               // 27h
        {"undefined", KindPrefixOnly},               // 28h
        {"add iy,iy", KindNone},                     // 29h
        {"ld iy,(%02x%02xh)", KindWord},             // 2Ah
        {"dec iy", KindNone},                        // 2Bh
        {"inc iyl", KindNone},                       // 2Ch
        {"dec iyl", KindNone},                       // 2Dh
        {"ld iyl,%02xh", KindByte},                  // 2Eh
        {"undefined", KindPrefixOnly},               // 2Fh
        {"undefined", KindPrefixOnly},               // 30h
        {"undefined", KindPrefixOnly},               // 31h
        {"undefined", KindPrefixOnly},               // 32h
        {"undefined", KindPrefixOnly},               // 33h
        {"inc (iy+%02xh)", KindByte},                // 34h
        {"dec (iy+%02xh)", KindByte},                // 35h
        {"ld (iy+%02xh),%02xh", KindIndexImmediate}, // 36h
        {"undefined", KindPrefixOnly},               // 37h
        {"undefined", KindPrefixOnly},               // 38h
        {"add iy,sp", KindNone},                     // 39h
        {"undefined", KindPrefixOnly},               // 3Ah
        {"undefined", KindPrefixOnly},               // 3Bh
        {"undefined", KindPrefixOnly},               // 3Ch
        {"undefined", KindPrefixOnly},               // 3Dh
        {"undefined", KindPrefixOnly},               // 3Eh
        {"undefined", KindPrefixOnly},               // 3Fh
        {"undefined", KindPrefixOnly},               // 40h
        {"undefined", KindPrefixOnly},               // 41h
        {"undefined", KindPrefixOnly},               // 42h
        {"undefined", KindPrefixOnly},               // 43h
        {"ld b,iyh", KindNone},                      // 44h
        {"ld b,iyl", KindNone},                      // 45h
        {"ld b,(iy+%02xh)", KindByte},               // 46h
        {"undefined", KindPrefixOnly},               // 47h
        {"undefined", KindPrefixOnly},               // 48h
        {"undefined", KindPrefixOnly},               // 49h
        {"undefined", KindPrefixOnly},               // 4Ah
        {"undefined", KindPrefixOnly},               // 4Bh
        {"ld c,iyh", KindNone},                      // 4Ch
        {"ld c,iyl", KindNone},                      // 4Dh
        {"ld c,(iy+%02xh)", KindByte},               // 4Eh
        {"undefined", KindPrefixOnly},               // 4Fh
        {"undefined", KindPrefixOnly},               // 50h
        {"undefined", KindPrefixOnly},               // 51h
        {"undefined", KindPrefixOnly},               // 52h
        {"undefined", KindPrefixOnly},               // 53h
        {"ld d,iyh", KindNone},                      // 54h
        {"ld d,iyl", KindNone},                      // 55h
        {"ld d,(iy+%02xh)", KindByte},               // 56h
        {"undefined", KindPrefixOnly},               // 57h
        {"undefined", KindPrefixOnly},               // 58h
        {"undefined", KindPrefixOnly},               // 59h
        {"undefined", KindPrefixOnly},               // 5Ah
        {"undefined", KindPrefixOnly},               // 5Bh
        {"ld e,iyh", KindNone},                      // 5Ch
        {"ld e,iyl", KindNone},                      // 5Dh
        {"ld e,(iy+%02xh)", KindByte},               // 5Eh
        {"undefined", KindPrefixOnly},               // 5Fh
        {"ld iyh,b", KindNone},                      // 60h
        {"ld iyh,c", KindNone},                      // 61h
        {"ld iyh,d", KindNone},                      // 62h
        {"ld iyh,e", KindNone},                      // 63h
        {"ld iyh,iyh", KindNone},                    // 64h
        {"ld iyh,iyl", KindNone},                    // 65h
        {"ld h,(iy+%02xh)", KindByte},               // 66h
        {"ld iyh,a", KindNone},                      // 67h
        {"ld iyl,b", KindNone},                      // 68h
        {"ld iyl,c", KindNone},                      // 69h
        {"ld iyl,d", KindNone},                      // 6Ah
        {"ld iyl,e", KindNone},                      // 6Bh
        {"ld iyl,iyh", KindNone},                    // 6Ch
        {"ld iyl,iyl", KindNone},                    // 6Dh
        {"ld l,(iy+%02xh)", KindByte},               // 6Eh
        {"ld iyl,a", KindNone},                      // 6Fh
        {"ld (iy+%02xh),b", KindByte},               // 70h
        {"ld (iy+%02xh),c", KindByte},               // 71h
        {"ld (iy+%02xh),d", KindByte},               // 72h
        {"ld (iy+%02xh),e", KindByte},               // 73h
        {"ld (iy+%02xh),h", KindByte},               // 74h
        {"ld (iy+%02xh),l", KindByte},               // 75h
        {"undefined", KindPrefixOnly},               // 76h
        {"ld (iy+%02xh),a", KindByte},               // 77h
        {"undefined", KindPrefixOnly},               // 78h
        {"undefined", KindPrefixOnly},               // 79h
        {"undefined", KindPrefixOnly},               // 7Ah
        {"undefined", KindPrefixOnly},               // 7Bh
        {"ld a,iyh", KindNone},                      // 7Ch
        {"ld a,iyl", KindNone},                      // 7Dh
        {"ld a,(iy+%02xh)", KindByte},               // 7Eh
        {"undefined", KindPrefixOnly},               // 7Fh
        {"undefined", KindPrefixOnly},               // 80h
        {"undefined", KindPrefixOnly},               // 81h
        {"undefined", KindPrefixOnly},               // 82h
        {"undefined", KindPrefixOnly},               // 83h
        {"add a,iyh", KindNone},                     // 84h
        {"add a,iyl", KindNone},                     // 85h
        {"add a,(iy+%02xh)", KindByte},              // 86h
        {"undefined", KindPrefixOnly},               // 87h
        {"undefined", KindPrefixOnly},               // 88h
        {"undefined", KindPrefixOnly},               // 89h
        {"undefined", KindPrefixOnly},               // 8Ah
        {"undefined", KindPrefixOnly},               // 8Bh
        {"adc a,iyh", KindNone},                     // 8Ch
        {"adc a,iyl", KindNone},                     // 8Dh
        {"adc a,(iy+%02xh)", KindByte},              // 8Eh
        {"undefined", KindPrefixOnly},               // 8Fh
        {"undefined", KindPrefixOnly},               // 90h
        {"undefined", KindPrefixOnly},               // 91h
        {"undefined", KindPrefixOnly},               // 92h
        {"undefined", KindPrefixOnly},               // 93h
        {"sub iyh", KindNone},                       // 94h
        {"sub iyl", KindNone},                       // 95h
        {"sub (iy+%02xh)", KindByte},                // 96h
        {"undefined", KindPrefixOnly},               // 97h
        {"undefined", KindPrefixOnly},               // 98h
        {"undefined", KindPrefixOnly},               // 99h
        {"undefined", KindPrefixOnly},               // 9Ah
        {"undefined", KindPrefixOnly},               // 9Bh
        {"sbc a,iyh", KindNone},                     // 9Ch
        {"sbc a,iyl", KindNone},                     // 9Dh
        {"sbc a,(iy+%02xh)", KindByte},              // 9Eh
        {"undefined", KindPrefixOnly},               // 9Fh
        {"undefined", KindPrefixOnly},               // A0h
        {"undefined", KindPrefixOnly},               // A1h
        {"undefined", KindPrefixOnly},               // A2h
        {"undefined", KindPrefixOnly},               // A3h
        {"and iyh", KindNone},                       // A4h
        {"and iyl", KindNone},                       // A5h
        {"and (iy+%02xh)", KindByte},                // A6h
        {"undefined", KindPrefixOnly},               // A7h
        {"undefined", KindPrefixOnly},               // A8h
        {"undefined", KindPrefixOnly},               // A9h
        {"undefined", KindPrefixOnly},               // AAh
        {"undefined", KindPrefixOnly},               // ABh
        {"xor iyh", KindNone},                       // ACh
        {"xor iyl", KindNone},                       // ADh
        {"xor (iy+%02xh)", KindByte},                // AEh
        {"undefined", KindPrefixOnly},               // AFh
        {"undefined", KindPrefixOnly},               // B0h
        {"undefined", KindPrefixOnly},               // B1h
        {"undefined", KindPrefixOnly},               // B2h
        {"undefined", KindPrefixOnly},               // B3h
        {"or iyh", KindNone},                        // B4h
        {"or iyl", KindNone},                        // B5h
        {"or (iy+%02xh)", KindByte},                 // B6h
        {"undefined", KindPrefixOnly},               // B7h
        {"undefined", KindPrefixOnly},               // B8h
        {"undefined", KindPrefixOnly},               // B9h
        {"undefined", KindPrefixOnly},               // BAh
        {"undefined", KindPrefixOnly},               // BBh
        {"cp iyh", KindNone},                        // BCh
        {"cp iyl", KindNone},                        // BDh
        {"cp (iy+%02xh)", KindByte},                 // BEh
        {"undefined", KindPrefixOnly},               // BFh
        {"undefined", KindPrefixOnly},               // C0h
        {"undefined", KindPrefixOnly},               // C1h
        {"undefined", KindPrefixOnly},               // C2h
        {"undefined", KindPrefixOnly},               // C3h
        {"undefined", KindPrefixOnly},               // C4h
        {"undefined", KindPrefixOnly},               // C5h
        {"undefined", KindPrefixOnly},               // C6h
        {"undefined", KindPrefixOnly},               // C7h
        {"undefined", KindPrefixOnly},               // C8h
        {"undefined", KindPrefixOnly},               // C9h
        {"undefined", KindPrefixOnly},               // CAh
        {nullptr, TableFDCB},                        // CBh: prefix
        {"undefined", KindPrefixOnly},               // CCh
        {"undefined", KindPrefixOnly},               // CDh
        {"undefined", KindPrefixOnly},               // CEh
        {"undefined", KindPrefixOnly},               // CFh
        {"undefined", KindPrefixOnly},               // D0h
        {"undefined", KindPrefixOnly},               // D1h
        {"undefined", KindPrefixOnly},               // D2h
        {"undefined", KindPrefixOnly},               // D3h
        {"undefined", KindPrefixOnly},               // D4h
        {"undefined", KindPrefixOnly},               // D5h
        {"undefined", KindPrefixOnly},               // D6h
        {"undefined", KindPrefixOnly},               // D7h
        {"undefined", KindPrefixOnly},               // D8h
        {"undefined", KindPrefixOnly},               // D9h
        {"undefined", KindPrefixOnly},               // DAh
        {"undefined", KindPrefixOnly},               // DBh
        {"undefined", KindPrefixOnly},               // DCh
        {"undefined", KindPrefixOnly},               // DDh
        {"undefined", KindPrefixOnly},               // DEh
        {"undefined", KindPrefixOnly},               // DFh
        {"undefined", KindPrefixOnly},               // E0h
        {"pop iy", KindNone},                        // E1h
        {"undefined", KindPrefixOnly},               // E2h
        {"ex (sp),iy", KindNone},                    // E3h
        {"undefined", KindPrefixOnly},               // E4h
        {"push iy", KindNone},                       // E5h
        {"undefined", KindPrefixOnly},               // E6h
        {"undefined", KindPrefixOnly},               // E7h
        {"undefined", KindPrefixOnly},               // E8h
        {"jp (iy)", KindNone},                       // E9h
        {"undefined", KindPrefixOnly},               // EAh
        {"undefined", KindPrefixOnly},               // EBh
        {"undefined", KindPrefixOnly},               // ECh
        {"undefined", KindPrefixOnly},               // EDh
        {"undefined", KindPrefixOnly},               // EEh
        {"undefined", KindPrefixOnly},               // EFh
        {"undefined", KindPrefixOnly},               // F0h
        {"undefined", KindPrefixOnly},               // F1h
        {"undefined", KindPrefixOnly},               // F2h
        {"undefined", KindPrefixOnly},               // F3h
        {"undefined", KindPrefixOnly},               // F4h
        {"undefined", KindPrefixOnly},               // F5h
        {"undefined", KindPrefixOnly},               // F6h
        {"undefined", KindPrefixOnly},               // F7h
        {"undefined", KindPrefixOnly},               // F8h
        {"ld sp,iy", KindNone},                      // F9h
        {"undefined", KindPrefixOnly},               // FAh
        {"undefined", KindPrefixOnly},               // FBh
        {"undefined", KindPrefixOnly},               // FCh
        {"undefined", KindPrefixOnly},               // FDh
        {"undefined", KindPrefixOnly},               // FEh
        {"undefined", KindPrefixOnly},               // FFh
    },
    // DD CB
    {
        {"ld b,rlc (ix+%02xh)", KindIndexBit},            // 00h
        {"ld c,rlc (ix+%02xh)", KindIndexBit},            // 01h
        {"ld d,rlc (ix+%02xh)", KindIndexBit},            // 02h
        {"ld e,rlc (ix+%02xh)", KindIndexBit},            // 03h
        {"ld h,rlc (ix+%02xh)", KindIndexBit},            // 04h
        {"ld l,rlc (ix+%02xh)", KindIndexBit},            // 05h
        {"rlc (ix+%02xh)", KindIndexBit},                 // 06h
        {"ld a,rlc (ix+%02xh)", KindIndexBit},            // 07h
        {"ld b,rrc (ix+%02xh)", KindIndexBit},            // 08h
        {"ld c,rrc (ix+%02xh)", KindIndexBit},            // 09h
        {"ld d,rrc (ix+%02xh)", KindIndexBit},            // 0Ah
        {"ld e,rrc (ix+%02xh)", KindIndexBit},            // 0Bh
        {"ld h,rrc (ix+%02xh)", KindIndexBit},            // 0Ch
        {"ld l,rrc (ix+%02xh)", KindIndexBit},            // 0Dh
        {"rrc (ix+%02xh)", KindIndexBit},                 // 0Eh
        {"ld a,rrc (ix+%02xh)", KindIndexBit},            // 0Fh
        {"ld b,rl (ix+%02xh)", KindIndexBit},             // 10h
        {"ld c,rl (ix+%02xh)", KindIndexBit},             // 11h
        {"ld d,rl (ix+%02xh)", KindIndexBit},             // 12h
        {"ld e,rl (ix+%02xh)", KindIndexBit},             // 13h
        {"ld h,rl (ix+%02xh)", KindIndexBit},             // 14h
        {"ld l,rl (ix+%02xh)", KindIndexBit},             // 15h
        {"rl (ix+%02xh)", KindIndexBit},                  // 16h
        {"ld a,rl (ix+%02xh)", KindIndexBit},             // 17h
        {"ld b,rr (ix+%02xh)", KindIndexBit},             // 18h
        {"ld c,rr (ix+%02xh)", KindIndexBit},             // 19h
        {"ld d,rr (ix+%02xh)", KindIndexBit},             // 1Ah
        {"ld e,rr (ix+%02xh)", KindIndexBit},             // 1Bh
        {"ld h,rr (ix+%02xh)", KindIndexBit},             // 1Ch
        {"ld l,rr (ix+%02xh)", KindIndexBit},             // 1Dh
        {"rr (ix+%02xh)", KindIndexBit},                  // 1Eh
        {"ld a,rr (ix+%02xh)", KindIndexBit},             // 1Fh
        {"ld b,sla (ix+%02xh)", KindIndexBit},            // 20h
        {"ld c,sla (ix+%02xh)", KindIndexBit},            // 21h
        {"ld d,sla (ix+%02xh)", KindIndexBit},            // 22h
        {"ld e,sla (ix+%02xh)", KindIndexBit},            // 23h
        {"ld h,sla (ix+%02xh)", KindIndexBit},            // 24h
        {"ld l,sla (ix+%02xh)", KindIndexBit},            // 25h
        {"sla (ix+%02xh)", KindIndexBit},                 // 26h
        {"ld a,sla (ix+%02xh)", KindIndexBit},            // 27h
        {"ld b,sra (ix+%02xh)", KindIndexBit},            // 28h
        {"ld c,sra (ix+%02xh)", KindIndexBit},            // 29h
        {"ld d,sra (ix+%02xh)", KindIndexBit},            // 2Ah
        {"ld e,sra (ix+%02xh)", KindIndexBit},            // 2Bh
        {"ld h,sra (ix+%02xh)", KindIndexBit},            // 2Ch
        {"ld l,sra (ix+%02xh)", KindIndexBit},            // 2Dh
        {"sra (ix+%02xh)", KindIndexBit},                 // 2Eh
        {"ld a,sra (ix+%02xh)", KindIndexBit},            // 2Fh
        {"ld b,slia (ix+%02xh)", KindIndexBit},           // 30h
        {"ld c,slia (ix+%02xh)", KindIndexBit},           // 31h
        {"ld d,slia (ix+%02xh)", KindIndexBit},           // 32h
        {"ld e,slia (ix+%02xh)", KindIndexBit},           // 33h
        {"ld h,slia (ix+%02xh)", KindIndexBit},           // 34h
        {"ld l,slia (ix+%02xh)", KindIndexBit},           // 35h
        {"slia (ix+%02xh)", KindIndexBit},                // 36h
        {"ld a,slia (ix+%02xh)", KindIndexBit},           // 37h
        {"ld b,srl (ix+%02xh)", KindIndexBit},            // 38h
        {"ld c,srl (ix+%02xh)", KindIndexBit},            // 39h
        {"ld d,srl (ix+%02xh)", KindIndexBit},            // 3Ah
        {"ld e,srl (ix+%02xh)", KindIndexBit},            // 3Bh
        {"ld h,srl (ix+%02xh)", KindIndexBit},            // 3Ch
        {"ld l,srl (ix+%02xh)", KindIndexBit},            // 3Dh
        {"srl (ix+%02xh)", KindIndexBit},                 // 3Eh
        {"ld a,srl (ix+%02xh)", KindIndexBit},            // 3Fh
        {"bit 0,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 40h
        {"bit 0,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 41h
        {"bit 0,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 42h
        {"bit 0,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 43h
        {"bit 0,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 44h
        {"bit 0,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 45h
        {"bit 0,(ix+%02xh)", KindIndexBit},               // 46h
        {"bit 0,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 47h
        {"bit 1,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 48h
        {"bit 1,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 49h
        {"bit 1,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 4Ah
        {"bit 1,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 4Bh
        {"bit 1,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 4Ch
        {"bit 1,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 4Dh
        {"bit 1,(ix+%02xh)", KindIndexBit},               // 4Eh
        {"bit 1,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 4Fh
        {"bit 2,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 50h
        {"bit 2,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 51h
        {"bit 2,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 52h
        {"bit 2,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 53h
        {"bit 2,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 54h
        {"bit 2,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 55h
        {"bit 2,(ix+%02xh)", KindIndexBit},               // 56h
        {"bit 2,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 57h
        {"bit 3,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 58h
        {"bit 3,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 59h
        {"bit 3,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 5Ah
        {"bit 3,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 5Bh
        {"bit 3,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 5Ch
        {"bit 3,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 5Dh
        {"bit 3,(ix+%02xh)", KindIndexBit},               // 5Eh
        {"bit 3,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 5Fh
        {"bit 4,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 60h
        {"bit 4,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 61h
        {"bit 4,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 62h
        {"bit 4,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 63h
        {"bit 4,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 64h
        {"bit 4,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 65h
        {"bit 4,(ix+%02xh)", KindIndexBit},               // 66h
        {"bit 4,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 67h
        {"bit 5,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 68h
        {"bit 5,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 69h
        {"bit 5,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 6Ah
        {"bit 5,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 6Bh
        {"bit 5,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 6Ch
        {"bit 5,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 6Dh
        {"bit 5,(ix+%02xh)", KindIndexBit},               // 6Eh
        {"bit 5,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 6Fh
        {"bit 6,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 70h
        {"bit 6,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 71h
        {"bit 6,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 72h
        {"bit 6,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 73h
        {"bit 6,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 74h
        {"bit 6,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 75h
        {"bit 6,(ix+%02xh)", KindIndexBit},               // 76h
        {"bit 6,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 77h
        {"bit 7,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 78h
        {"bit 7,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 79h
        {"bit 7,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 7Ah
        {"bit 7,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 7Bh
        {"bit 7,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 7Ch
        {"bit 7,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 7Dh
        {"bit 7,(ix+%02xh)", KindIndexBit},               // 7Eh
        {"bit 7,(ix+%02xh)  ;undoc equiv", KindIndexBit}, // 7Fh
        {"ld b,res 0,(ix+%02xh)", KindIndexBit},          // 80h
        {"ld c,res 0,(ix+%02xh)", KindIndexBit},          // 81h
        {"ld d,res 0,(ix+%02xh)", KindIndexBit},          // 82h
        {"ld e,res 0,(ix+%02xh)", KindIndexBit},          // 83h
        {"ld h,res 0,(ix+%02xh)", KindIndexBit},          // 84h
        {"ld l,res 0,(ix+%02xh)", KindIndexBit},          // 85h
        {"res 0,(ix+%02xh)", KindIndexBit},               // 86h
        {"ld a,res 0,(ix+%02xh)", KindIndexBit},          // 87h
        {"ld b,res 1,(ix+%02xh)", KindIndexBit},          // 88h
        {"ld c,res 1,(ix+%02xh)", KindIndexBit},          // 89h
        {"ld d,res 1,(ix+%02xh)", KindIndexBit},          // 8Ah
        {"ld e,res 1,(ix+%02xh)", KindIndexBit},          // 8Bh
        {"ld h,res 1,(ix+%02xh)", KindIndexBit},          // 8Ch
        {"ld l,res 1,(ix+%02xh)", KindIndexBit},          // 8Dh
        {"res 1,(ix+%02xh)", KindIndexBit},               // 8Eh
        {"ld a,res 1,(ix+%02xh)", KindIndexBit},          // 8Fh
        {"ld b,res 2,(ix+%02xh)", KindIndexBit},          // 90h
        {"ld c,res 2,(ix+%02xh)", KindIndexBit},          // 91h
        {"ld d,res 2,(ix+%02xh)", KindIndexBit},          // 92h
        {"ld e,res 2,(ix+%02xh)", KindIndexBit},          // 93h
        {"ld h,res 2,(ix+%02xh)", KindIndexBit},          // 94h
        {"ld l,res 2,(ix+%02xh)", KindIndexBit},          // 95h
        {"res 2,(ix+%02xh)", KindIndexBit},               // 96h
        {"ld a,res 2,(ix+%02xh)", KindIndexBit},          // 97h
        {"ld b,res 3,(ix+%02xh)", KindIndexBit},          // 98h
        {"ld c,res 3,(ix+%02xh)", KindIndexBit},          // 99h
        {"ld d,res 3,(ix+%02xh)", KindIndexBit},          // 9Ah
        {"ld e,res 3,(ix+%02xh)", KindIndexBit},          // 9Bh
        {"ld h,res 3,(ix+%02xh)", KindIndexBit},          // 9Ch
        {"ld l,res 3,(ix+%02xh)", KindIndexBit},          // 9Dh
        {"res 3,(ix+%02xh)", KindIndexBit},               // 9Eh
        {"ld a,res 3,(ix+%02xh)", KindIndexBit},          // 9Fh
        {"ld b,res 4,(ix+%02xh)", KindIndexBit},          // A0h
        {"ld c,res 4,(ix+%02xh)", KindIndexBit},          // A1h
        {"ld d,res 4,(ix+%02xh)", KindIndexBit},          // A2h
        {"ld e,res 4,(ix+%02xh)", KindIndexBit},          // A3h
        {"ld h,res 4,(ix+%02xh)", KindIndexBit},          // A4h
        {"ld l,res 4,(ix+%02xh)", KindIndexBit},          // A5h
        {"res 4,(ix+%02xh)", KindIndexBit},               // A6h
        {"ld a,res 4,(ix+%02xh)", KindIndexBit},          // A7h
        {"ld b,res 5,(ix+%02xh)", KindIndexBit},          // A8h
        {"ld c,res 5,(ix+%02xh)", KindIndexBit},          // A9h
        {"ld d,res 5,(ix+%02xh)", KindIndexBit},          // AAh
        {"ld e,res 5,(ix+%02xh)", KindIndexBit},          // ABh
        {"ld h,res 5,(ix+%02xh)", KindIndexBit},          // ACh
        {"ld l,res 5,(ix+%02xh)", KindIndexBit},          // ADh
        {"res 5,(ix+%02xh)", KindIndexBit},               // AEh
        {"ld a,res 5,(ix+%02xh)", KindIndexBit},          // AFh
        {"ld b,res 6,(ix+%02xh)", KindIndexBit},          // B0h
        {"ld c,res 6,(ix+%02xh)", KindIndexBit},          // B1h
        {"ld d,res 6,(ix+%02xh)", KindIndexBit},          // B2h
        {"ld e,res 6,(ix+%02xh)", KindIndexBit},          // B3h
        {"ld h,res 6,(ix+%02xh)", KindIndexBit},          // B4h
        {"ld l,res 6,(ix+%02xh)", KindIndexBit},          // B5h
        {"res 6,(ix+%02xh)", KindIndexBit},               // B6h
        {"ld a,res 6,(ix+%02xh)", KindIndexBit},          // B7h
        {"ld b,res 7,(ix+%02xh)", KindIndexBit},          // B8h
        {"ld c,res 7,(ix+%02xh)", KindIndexBit},          // B9h
        {"ld d,res 7,(ix+%02xh)", KindIndexBit},          // BAh
        {"ld e,res 7,(ix+%02xh)", KindIndexBit},          // BBh
        {"ld h,res 7,(ix+%02xh)", KindIndexBit},          // BCh
        {"ld l,res 7,(ix+%02xh)", KindIndexBit},          // BDh
        {"res 7,(ix+%02xh)", KindIndexBit},               // BEh
        {"ld a,res 7,(ix+%02xh)", KindIndexBit},          // BFh
        {"ld b,set 0,(ix+%02xh)", KindIndexBit},          // C0h
        {"ld c,set 0,(ix+%02xh)", KindIndexBit},          // C1h
        {"ld d,set 0,(ix+%02xh)", KindIndexBit},          // C2h
        {"ld e,set 0,(ix+%02xh)", KindIndexBit},          // C3h
        {"ld h,set 0,(ix+%02xh)", KindIndexBit},          // C4h
        {"ld l,set 0,(ix+%02xh)", KindIndexBit},          // C5h
        {"set 0,(ix+%02xh)", KindIndexBit},               // C6h
        {"ld a,set 0,(ix+%02xh)", KindIndexBit},          // C7h
        {"ld b,set 1,(ix+%02xh)", KindIndexBit},          // C8h
        {"ld c,set 1,(ix+%02xh)", KindIndexBit},          // C9h
        {"ld d,set 1,(ix+%02xh)", KindIndexBit},          // CAh
        {"ld e,set 1,(ix+%02xh)", KindIndexBit},          // CBh
        {"ld h,set 1,(ix+%02xh)", KindIndexBit},          // CCh
        {"ld l,set 1,(ix+%02xh)", KindIndexBit},          // CDh
        {"set 1,(ix+%02xh)", KindIndexBit},               // CEh
        {"ld a,set 1,(ix+%02xh)", KindIndexBit},          // CFh
        {"ld b,set 2,(ix+%02xh)", KindIndexBit},          // D0h
        {"ld c,set 2,(ix+%02xh)", KindIndexBit},          // D1h
        {"ld d,set 2,(ix+%02xh)", KindIndexBit},          // D2h
        {"ld e,set 2,(ix+%02xh)", KindIndexBit},          // D3h
        {"ld h,set 2,(ix+%02xh)", KindIndexBit},          // D4h
        {"ld l,set 2,(ix+%02xh)", KindIndexBit},          // D5h
        {"set 2,(ix+%02xh)", KindIndexBit},               // D6h
        {"ld a,set 2,(ix+%02xh)", KindIndexBit},          // D7h
        {"ld b,set 3,(ix+%02xh)", KindIndexBit},          // D8h
        {"ld c,set 3,(ix+%02xh)", KindIndexBit},          // D9h
        {"ld d,set 3,(ix+%02xh)", KindIndexBit},          // DAh
        {"ld e,set 3,(ix+%02xh)", KindIndexBit},          // DBh
        {"ld h,set 3,(ix+%02xh)", KindIndexBit},          // DCh
        {"ld l,set 3,(ix+%02xh)", KindIndexBit},          // DDh
        {"set 3,(ix+%02xh)", KindIndexBit},               // DEh
        {"ld a,set 3,(ix+%02xh)", KindIndexBit},          // DFh
        {"ld b,set 4,(ix+%02xh)", KindIndexBit},          // E0h
        {"ld c,set 4,(ix+%02xh)", KindIndexBit},          // E1h
        {"ld d,set 4,(ix+%02xh)", KindIndexBit},          // E2h
        {"ld e,set 4,(ix+%02xh)", KindIndexBit},          // E3h
        {"ld h,set 4,(ix+%02xh)", KindIndexBit},          // E4h
        {"ld l,set 4,(ix+%02xh)", KindIndexBit},          // E5h
        {"set 4,(ix+%02xh)", KindIndexBit},               // E6h
        {"ld a,set 4,(ix+%02xh)", KindIndexBit},          // E7h
        {"ld b,set 5,(ix+%02xh)", KindIndexBit},          // E8h
        {"ld c,set 5,(ix+%02xh)", KindIndexBit},          // E9h
        {"ld d,set 5,(ix+%02xh)", KindIndexBit},          // EAh
        {"ld e,set 5,(ix+%02xh)", KindIndexBit},          // EBh
        {"ld h,set 5,(ix+%02xh)", KindIndexBit},          // ECh
        {"ld l,set 5,(ix+%02xh)", KindIndexBit},          // EDh
        {"set 5,(ix+%02xh)", KindIndexBit},               // EEh
        {"ld a,set 5,(ix+%02xh)", KindIndexBit},          // EFh
        {"ld b,set 6,(ix+%02xh)", KindIndexBit},          // F0h
        {"ld c,set 6,(ix+%02xh)", KindIndexBit},          // F1h
        {"ld d,set 6,(ix+%02xh)", KindIndexBit},          // F2h
        {"ld e,set 6,(ix+%02xh)", KindIndexBit},          // F3h
        {"ld h,set 6,(ix+%02xh)", KindIndexBit},          // F4h
        {"ld l,set 6,(ix+%02xh)", KindIndexBit},          // F5h
        {"set 6,(ix+%02xh)", KindIndexBit},               // F6h
        {"ld a,set 6,(ix+%02xh)", KindIndexBit},          // F7h
        {"ld b,set 7,(ix+%02xh)", KindIndexBit},          // F8h
        {"ld c,set 7,(ix+%02xh)", KindIndexBit},          // F9h
        {"ld d,set 7,(ix+%02xh)", KindIndexBit},          // FAh
        {"ld e,set 7,(ix+%02xh)", KindIndexBit},          // FBh
        {"ld h,set 7,(ix+%02xh)", KindIndexBit},          // FCh
        {"ld l,set 7,(ix+%02xh)", KindIndexBit},          // FDh
        {"set 7,(ix+%02xh)", KindIndexBit},               // FEh
        {"ld a,set 7,(ix+%02xh)", KindIndexBit},          // FFh
    },
    // FD CB
    {
        {"ld b,rlc (iy+%02xh)", KindIndexBit},            // 00h
        {"ld c,rlc (iy+%02xh)", KindIndexBit},            // 01h
        {"ld d,rlc (iy+%02xh)", KindIndexBit},            // 02h
        {"ld e,rlc (iy+%02xh)", KindIndexBit},            // 03h
        {"ld h,rlc (iy+%02xh)", KindIndexBit},            // 04h
        {"ld l,rlc (iy+%02xh)", KindIndexBit},            // 05h
        {"rlc (iy+%02xh)", KindIndexBit},                 // 06h
        {"ld a,rlc (iy+%02xh)", KindIndexBit},            // 07h
        {"ld b,rrc (iy+%02xh)", KindIndexBit},            // 08h
        {"ld c,rrc (iy+%02xh)", KindIndexBit},            // 09h
        {"ld d,rrc (iy+%02xh)", KindIndexBit},            // 0Ah
        {"ld e,rrc (iy+%02xh)", KindIndexBit},            // 0Bh
        {"ld h,rrc (iy+%02xh)", KindIndexBit},            // 0Ch
        {"ld l,rrc (iy+%02xh)", KindIndexBit},            // 0Dh
        {"rrc (iy+%02xh)", KindIndexBit},                 // 0Eh
        {"ld a,rrc (iy+%02xh)", KindIndexBit},            // 0Fh
        {"ld b,rl (iy+%02xh)", KindIndexBit},             // 10h
        {"ld c,rl (iy+%02xh)", KindIndexBit},             // 11h
        {"ld d,rl (iy+%02xh)", KindIndexBit},             // 12h
        {"ld e,rl (iy+%02xh)", KindIndexBit},             // 13h
        {"ld h,rl (iy+%02xh)", KindIndexBit},             // 14h
        {"ld l,rl (iy+%02xh)", KindIndexBit},             // 15h
        {"rl (iy+%02xh)", KindIndexBit},                  // 16h
        {"ld a,rl (iy+%02xh)", KindIndexBit},             // 17h
        {"ld b,rr (iy+%02xh)", KindIndexBit},             // 18h
        {"ld c,rr (iy+%02xh)", KindIndexBit},             // 19h
        {"ld d,rr (iy+%02xh)", KindIndexBit},             // 1Ah
        {"ld e,rr (iy+%02xh)", KindIndexBit},             // 1Bh
        {"ld h,rr (iy+%02xh)", KindIndexBit},             // 1Ch
        {"ld l,rr (iy+%02xh)", KindIndexBit},             // 1Dh
        {"rr (iy+%02xh)", KindIndexBit},                  // 1Eh
        {"ld a,rr (iy+%02xh)", KindIndexBit},             // 1Fh
        {"ld b,sla (iy+%02xh)", KindIndexBit},            // 20h
        {"ld c,sla (iy+%02xh)", KindIndexBit},            // 21h
        {"ld d,sla (iy+%02xh)", KindIndexBit},            // 22h
        {"ld e,sla (iy+%02xh)", KindIndexBit},            // 23h
        {"ld h,sla (iy+%02xh)", KindIndexBit},            // 24h
        {"ld l,sla (iy+%02xh)", KindIndexBit},            // 25h
        {"sla (iy+%02xh)", KindIndexBit},                 // 26h
        {"ld a,sla (iy+%02xh)", KindIndexBit},            // 27h
        {"ld b,sra (iy+%02xh)", KindIndexBit},            // 28h
        {"ld c,sra (iy+%02xh)", KindIndexBit},            // 29h
        {"ld d,sra (iy+%02xh)", KindIndexBit},            // 2Ah
        {"ld e,sra (iy+%02xh)", KindIndexBit},            // 2Bh
        {"ld h,sra (iy+%02xh)", KindIndexBit},            // 2Ch
        {"ld l,sra (iy+%02xh)", KindIndexBit},            // 2Dh
        {"sra (iy+%02xh)", KindIndexBit},                 // 2Eh
        {"ld a,sra (iy+%02xh)", KindIndexBit},            // 2Fh
        {"ld b,slia (iy+%02xh)", KindIndexBit},           // 30h
        {"ld c,slia (iy+%02xh)", KindIndexBit},           // 31h
        {"ld d,slia (iy+%02xh)", KindIndexBit},           // 32h
        {"ld e,slia (iy+%02xh)", KindIndexBit},           // 33h
        {"ld h,slia (iy+%02xh)", KindIndexBit},           // 34h
        {"ld l,slia (iy+%02xh)", KindIndexBit},           // 35h
        {"slia (iy+%02xh)", KindIndexBit},                // 36h
        {"ld a,slia (iy+%02xh)", KindIndexBit},           // 37h
        {"ld b,srl (iy+%02xh)", KindIndexBit},            // 38h
        {"ld c,srl (iy+%02xh)", KindIndexBit},            // 39h
        {"ld d,srl (iy+%02xh)", KindIndexBit},            // 3Ah
        {"ld e,srl (iy+%02xh)", KindIndexBit},            // 3Bh
        {"ld h,srl (iy+%02xh)", KindIndexBit},            // 3Ch
        {"ld l,srl (iy+%02xh)", KindIndexBit},            // 3Dh
        {"srl (iy+%02xh)", KindIndexBit},                 // 3Eh
        {"ld a,srl (iy+%02xh)", KindIndexBit},            // 3Fh
        {"bit 0,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 40h
        {"bit 0,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 41h
        {"bit 0,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 42h
        {"bit 0,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 43h
        {"bit 0,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 44h
        {"bit 0,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 45h
        {"bit 0,(iy+%02xh)", KindIndexBit},               // 46h
        {"bit 0,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 47h
        {"bit 1,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 48h
        {"bit 1,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 49h
        {"bit 1,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 4Ah
        {"bit 1,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 4Bh
        {"bit 1,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 4Ch
        {"bit 1,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 4Dh
        {"bit 1,(iy+%02xh)", KindIndexBit},               // 4Eh
        {"bit 1,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 4Fh
        {"bit 2,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 50h
        {"bit 2,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 51h
        {"bit 2,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 52h
        {"bit 2,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 53h
        {"bit 2,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 54h
        {"bit 2,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 55h
        {"bit 2,(iy+%02xh)", KindIndexBit},               // 56h
        {"bit 2,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 57h
        {"bit 3,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 58h
        {"bit 3,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 59h
        {"bit 3,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 5Ah
        {"bit 3,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 5Bh
        {"bit 3,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 5Ch
        {"bit 3,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 5Dh
        {"bit 3,(iy+%02xh)", KindIndexBit},               // 5Eh
        {"bit 3,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 5Fh
        {"bit 4,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 60h
        {"bit 4,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 61h
        {"bit 4,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 62h
        {"bit 4,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 63h
        {"bit 4,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 64h
        {"bit 4,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 65h
        {"bit 4,(iy+%02xh)", KindIndexBit},               // 66h
        {"bit 4,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 67h
        {"bit 5,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 68h
        {"bit 5,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 69h
        {"bit 5,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 6Ah
        {"bit 5,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 6Bh
        {"bit 5,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 6Ch
        {"bit 5,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 6Dh
        {"bit 5,(iy+%02xh)", KindIndexBit},               // 6Eh
        {"bit 5,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 6Fh
        {"bit 6,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 70h
        {"bit 6,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 71h
        {"bit 6,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 72h
        {"bit 6,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 73h
        {"bit 6,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 74h
        {"bit 6,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 75h
        {"bit 6,(iy+%02xh)", KindIndexBit},               // 76h
        {"bit 6,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 77h
        {"bit 7,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 78h
        {"bit 7,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 79h
        {"bit 7,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 7Ah
        {"bit 7,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 7Bh
        {"bit 7,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 7Ch
        {"bit 7,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 7Dh
        {"bit 7,(iy+%02xh)", KindIndexBit},               // 7Eh
        {"bit 7,(iy+%02xh)  ;undoc equiv", KindIndexBit}, // 7Fh
        {"ld b,res 0,(iy+%02xh)", KindIndexBit},          // 80h
        {"ld c,res 0,(iy+%02xh)", KindIndexBit},          // 81h
        {"ld d,res 0,(iy+%02xh)", KindIndexBit},          // 82h
        {"ld e,res 0,(iy+%02xh)", KindIndexBit},          // 83h
        {"ld h,res 0,(iy+%02xh)", KindIndexBit},          // 84h
        {"ld l,res 0,(iy+%02xh)", KindIndexBit},          // 85h
        {"res 0,(iy+%02xh)", KindIndexBit},               // 86h
        {"ld a,res 0,(iy+%02xh)", KindIndexBit},          // 87h
        {"ld b,res 1,(iy+%02xh)", KindIndexBit},          // 88h
        {"ld c,res 1,(iy+%02xh)", KindIndexBit},          // 89h
        {"ld d,res 1,(iy+%02xh)", KindIndexBit},          // 8Ah
        {"ld e,res 1,(iy+%02xh)", KindIndexBit},          // 8Bh
        {"ld h,res 1,(iy+%02xh)", KindIndexBit},          // 8Ch
        {"ld l,res 1,(iy+%02xh)", KindIndexBit},          // 8Dh
        {"res 1,(iy+%02xh)", KindIndexBit},               // 8Eh
        {"ld a,res 1,(iy+%02xh)", KindIndexBit},          // 8Fh
        {"ld b,res 2,(iy+%02xh)", KindIndexBit},          // 90h
        {"ld c,res 2,(iy+%02xh)", KindIndexBit},          // 91h
        {"ld d,res 2,(iy+%02xh)", KindIndexBit},          // 92h
        {"ld e,res 2,(iy+%02xh)", KindIndexBit},          // 93h
        {"ld h,res 2,(iy+%02xh)", KindIndexBit},          // 94h
        {"ld l,res 2,(iy+%02xh)", KindIndexBit},          // 95h
        {"res 2,(iy+%02xh)", KindIndexBit},               // 96h
        {"ld a,res 2,(iy+%02xh)", KindIndexBit},          // 97h
        {"ld b,res 3,(iy+%02xh)", KindIndexBit},          // 98h
        {"ld c,res 3,(iy+%02xh)", KindIndexBit},          // 99h
        {"ld d,res 3,(iy+%02xh)", KindIndexBit},          // 9Ah
        {"ld e,res 3,(iy+%02xh)", KindIndexBit},          // 9Bh
        {"ld h,res 3,(iy+%02xh)", KindIndexBit},          // 9Ch
        {"ld l,res 3,(iy+%02xh)", KindIndexBit},          // 9Dh
        {"res 3,(iy+%02xh)", KindIndexBit},               // 9Eh
        {"ld a,res 3,(iy+%02xh)", KindIndexBit},          // 9Fh
        {"ld b,res 4,(iy+%02xh)", KindIndexBit},          // A0h
        {"ld c,res 4,(iy+%02xh)", KindIndexBit},          // A1h
        {"ld d,res 4,(iy+%02xh)", KindIndexBit},          // A2h
        {"ld e,res 4,(iy+%02xh)", KindIndexBit},          // A3h
        {"ld h,res 4,(iy+%02xh)", KindIndexBit},          // A4h
        {"ld l,res 4,(iy+%02xh)", KindIndexBit},          // A5h
        {"res 4,(iy+%02xh)", KindIndexBit},               // A6h
        {"ld a,res 4,(iy+%02xh)", KindIndexBit},          // A7h
        {"ld b,res 5,(iy+%02xh)", KindIndexBit},          // A8h
        {"ld c,res 5,(iy+%02xh)", KindIndexBit},          // A9h
        {"ld d,res 5,(iy+%02xh)", KindIndexBit},          // AAh
        {"ld e,res 5,(iy+%02xh)", KindIndexBit},          // ABh
        {"ld h,res 5,(iy+%02xh)", KindIndexBit},          // ACh
        {"ld l,res 5,(iy+%02xh)", KindIndexBit},          // ADh
        {"res 5,(iy+%02xh)", KindIndexBit},               // AEh
        {"ld a,res 5,(iy+%02xh)", KindIndexBit},          // AFh
        {"ld b,res 6,(iy+%02xh)", KindIndexBit},          // B0h
        {"ld c,res 6,(iy+%02xh)", KindIndexBit},          // B1h
        {"ld d,res 6,(iy+%02xh)", KindIndexBit},          // B2h
        {"ld e,res 6,(iy+%02xh)", KindIndexBit},          // B3h
        {"ld h,res 6,(iy+%02xh)", KindIndexBit},          // B4h
        {"ld l,res 6,(iy+%02xh)", KindIndexBit},          // B5h
        {"res 6,(iy+%02xh)", KindIndexBit},               // B6h
        {"ld a,res 6,(iy+%02xh)", KindIndexBit},          // B7h
        {"ld b,res 7,(iy+%02xh)", KindIndexBit},          // B8h
        {"ld c,res 7,(iy+%02xh)", KindIndexBit},          // B9h
        {"ld d,res 7,(iy+%02xh)", KindIndexBit},          // BAh
        {"ld e,res 7,(iy+%02xh)", KindIndexBit},          // BBh
        {"ld h,res 7,(iy+%02xh)", KindIndexBit},          // BCh
        {"ld l,res 7,(iy+%02xh)", KindIndexBit},          // BDh
        {"res 7,(iy+%02xh)", KindIndexBit},               // BEh
        {"ld a,res 7,(iy+%02xh)", KindIndexBit},          // BFh
        {"ld b,set 0,(iy+%02xh)", KindIndexBit},          // C0h
        {"ld c,set 0,(iy+%02xh)", KindIndexBit},          // C1h
        {"ld d,set 0,(iy+%02xh)", KindIndexBit},          // C2h
        {"ld e,set 0,(iy+%02xh)", KindIndexBit},          // C3h
        {"ld h,set 0,(iy+%02xh)", KindIndexBit},          // C4h
        {"ld l,set 0,(iy+%02xh)", KindIndexBit},          // C5h
        {"set 0,(iy+%02xh)", KindIndexBit},               // C6h
        {"ld a,set 0,(iy+%02xh)", KindIndexBit},          // C7h
        {"ld b,set 1,(iy+%02xh)", KindIndexBit},          // C8h
        {"ld c,set 1,(iy+%02xh)", KindIndexBit},          // C9h
        {"ld d,set 1,(iy+%02xh)", KindIndexBit},          // CAh
        {"ld e,set 1,(iy+%02xh)", KindIndexBit},          // CBh
        {"ld h,set 1,(iy+%02xh)", KindIndexBit},          // CCh
        {"ld l,set 1,(iy+%02xh)", KindIndexBit},          // CDh
        {"set 1,(iy+%02xh)", KindIndexBit},               // CEh
        {"ld a,set 1,(iy+%02xh)", KindIndexBit},          // CFh
        {"ld b,set 2,(iy+%02xh)", KindIndexBit},          // D0h
        {"ld c,set 2,(iy+%02xh)", KindIndexBit},          // D1h
        {"ld d,set 2,(iy+%02xh)", KindIndexBit},          // D2h
        {"ld e,set 2,(iy+%02xh)", KindIndexBit},          // D3h
        {"ld h,set 2,(iy+%02xh)", KindIndexBit},          // D4h
        {"ld l,set 2,(iy+%02xh)", KindIndexBit},          // D5h
        {"set 2,(iy+%02xh)", KindIndexBit},               // D6h
        {"ld a,set 2,(iy+%02xh)", KindIndexBit},          // D7h
        {"ld b,set 3,(iy+%02xh)", KindIndexBit},          // D8h
        {"ld c,set 3,(iy+%02xh)", KindIndexBit},          // D9h
        {"ld d,set 3,(iy+%02xh)", KindIndexBit},          // DAh
        {"ld e,set 3,(iy+%02xh)", KindIndexBit},          // DBh
        {"ld h,set 3,(iy+%02xh)", KindIndexBit},          // DCh
        {"ld l,set 3,(iy+%02xh)", KindIndexBit},          // DDh
        {"set 3,(iy+%02xh)", KindIndexBit},               // DEh
        {"ld a,set 3,(iy+%02xh)", KindIndexBit},          // DFh
        {"ld b,set 4,(iy+%02xh)", KindIndexBit},          // E0h
        {"ld c,set 4,(iy+%02xh)", KindIndexBit},          // E1h
        {"ld d,set 4,(iy+%02xh)", KindIndexBit},          // E2h
        {"ld e,set 4,(iy+%02xh)", KindIndexBit},          // E3h
        {"ld h,set 4,(iy+%02xh)", KindIndexBit},          // E4h
        {"ld l,set 4,(iy+%02xh)", KindIndexBit},          // E5h
        {"set 4,(iy+%02xh)", KindIndexBit},               // E6h
        {"ld a,set 4,(iy+%02xh)", KindIndexBit},          // E7h
        {"ld b,set 5,(iy+%02xh)", KindIndexBit},          // E8h
        {"ld c,set 5,(iy+%02xh)", KindIndexBit},          // E9h
        {"ld d,set 5,(iy+%02xh)", KindIndexBit},          // EAh
        {"ld e,set 5,(iy+%02xh)", KindIndexBit},          // EBh
        {"ld h,set 5,(iy+%02xh)", KindIndexBit},          // ECh
        {"ld l,set 5,(iy+%02xh)", KindIndexBit},          // EDh
        {"set 5,(iy+%02xh)", KindIndexBit},               // EEh
        {"ld a,set 5,(iy+%02xh)", KindIndexBit},          // EFh
        {"ld b,set 6,(iy+%02xh)", KindIndexBit},          // F0h
        {"ld c,set 6,(iy+%02xh)", KindIndexBit},          // F1h
        {"ld d,set 6,(iy+%02xh)", KindIndexBit},          // F2h
        {"ld e,set 6,(iy+%02xh)", KindIndexBit},          // F3h
        {"ld h,set 6,(iy+%02xh)", KindIndexBit},          // F4h
        {"ld l,set 6,(iy+%02xh)", KindIndexBit},          // F5h
        {"set 6,(iy+%02xh)", KindIndexBit},               // F6h
        {"ld a,set 6,(iy+%02xh)", KindIndexBit},          // F7h
        {"ld b,set 7,(iy+%02xh)", KindIndexBit},          // F8h
        {"ld c,set 7,(iy+%02xh)", KindIndexBit},          // F9h
        {"ld d,set 7,(iy+%02xh)", KindIndexBit},          // FAh
        {"ld e,set 7,(iy+%02xh)", KindIndexBit},          // FBh
        {"ld h,set 7,(iy+%02xh)", KindIndexBit},          // FCh
        {"ld l,set 7,(iy+%02xh)", KindIndexBit},          // FDh
        {"set 7,(iy+%02xh)", KindIndexBit},               // FEh
        {"ld a,set 7,(iy+%02xh)", KindIndexBit},          // FFh
    },
};
