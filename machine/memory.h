// The ABC80 address space: one 64 KB array behind a fixed address decoder
// that lays the BASIC ROM, the DOS ROMs and the video memory over it.
//
// The processor reaches memory only through ReadHandlers/WriteHandlers
// (cpu/bus.h), whose default entries are memRead/memWrite defined here (the
// machine owner connects them to the processor). The
// debug layer swaps single entries for the watch handlers with setReadWatch
// and setWriteWatch. The renderer reads video memory straight from the array.
#pragma once

#include <cstdint>

#include "machine/model.h"

extern uint8_t MainMemory[65536];

// Which image answers at 0000h-3FFFh (persisted as "BasicROM").
enum : uint32_t { BasicRomOld = 0, BasicRomNew = 1, BasicRomExternal = 2 };
// Which DOS answers at 6000h-6FFFh and 7800h-7BFFh (persisted as "DosROM").
// A genuine DOS (ABCDOS, UFDDOS) whose image is not installed runs the Open
// DOS in its place.
enum : uint32_t { DosRomNone = 0, DosRomAbcdos = 1, DosRomUfddos = 2, DosRomOpen = 3 };
constexpr uint32_t DosRomChoices = Abc80Model.romChoices.dos;
constexpr uint32_t BasicRomChoices = Abc80Model.romChoices.basic;
static_assert(BasicRomChoices == BasicRomExternal + 1 && DosRomChoices == DosRomOpen + 1);

extern uint32_t basicRom; // initial value: old
extern uint32_t dosRom;   // initial value: UFDDOS
// Set when the external ROM file is the known 80-column BASIC.
extern bool externalRomKnown;
// True while the external 80-column BASIC is the chosen ROM; recomputed by
// videoMemory().
extern bool wideVideo;

// The address decoder and the write rule (Abc80Model.memory): the processor
// may write 5800h-5FFFh and 7400h-FFFFh.
uint8_t memRead(uint16_t address);
void memWrite(uint16_t address, uint8_t value);
bool processorCanWrite(uint16_t address);

uint8_t* memoryArray();
// Recomputes wideVideo; the 80-column video memory at 5800h when it is set,
// else the 40-column video memory at 7C00h.
uint8_t* videoMemory();
// The text screen's layout (Abc80Model.video): 24 rows of 40 or 80 columns.
constexpr int VideoRows = Abc80Model.video[0].rows;
static_assert(Abc80Model.video[1].rows == VideoRows);
const VideoLayout& videoLayout(); // the one wideVideo holds
int videoColumns();               // of the layout wideVideo holds
const uint8_t* videoRow(const uint8_t* videoBase, int row);
// True when the external 80-column BASIC is chosen (what videoMemory() would
// set wideVideo to), without touching any state.
bool wideVideoSelected();

// The watch handlers and the operations that install them at one address.
// A handler that sees its watch sets BreakHit in cpu.breakRequest; a read or
// write watch also records the address and its kind (WatchRead, WatchWrite)
// for the stop check that follows the instruction.
extern uint16_t watchHitAddress;
extern uint32_t watchHitKind;
uint8_t readWatchHandler(uint16_t address);
void writeWatchHandler(uint16_t address, uint8_t value);
void setReadWatch(uint16_t address, uint32_t flags);
void setWriteWatch(uint16_t address, uint32_t flags);

// Reads "ZaVUR80BASIC.ROM" into 0000h-3FFFh of MainMemory; 1 when a file was
// read, 0 when none was found (an external choice then falls back to old).
int loadExternalRom();

constexpr uint64_t MachineClockHz = Abc80Model.clockHz;
