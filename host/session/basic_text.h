// BASIC programs between text and the bytes the machine keeps, through the
// open firmware itself: the text is typed into a machine running headless
// and the program it built is read from memory; a program is listed by
// putting it in memory and running LLIST to the printer. So the tool has no
// tokeniser of its own that could drift from the BASIC's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The program bytes as a disk keeps them: line records from 8000h and the
// end byte 01h. 0 with the cause when nothing came of the text.
int TokeniseBasicText(const std::string& text, std::vector<uint8_t>& program, std::string& cause);

// The program's LIST form, lines ended by '\n'.
int ListBasicProgram(const std::vector<uint8_t>& program, std::string& text, std::string& cause);
// The LIST form of the program in the running machine, listed by the open
// firmware in a machine of its own: the running one is put back as it was
// (its state, ROM choices and printer folder). 0 with the cause when there is
// no program or the listing failed.
int ListRunningProgram(std::string& text, std::string& cause);

// A BAC file (tape blocks or segments) read into program bytes.
int ReadBacProgram(const std::string& path, std::vector<uint8_t>& program, std::string& cause);
// The program written as a BAC file (256-byte segments).
int WriteBacProgram(const std::string& path, const std::vector<uint8_t>& program,
                    std::string& cause);
