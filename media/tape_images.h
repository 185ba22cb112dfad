// Tape images loaded straight into RAM and saved from it: ATP (the byte
// stream of a cassette, block by block), BAC (BASIC's line records, in tape
// block or 256-byte segment layout) and BAS (BAC, or text typed at the
// keyboard).
//
// Every operation returns 1 on success and 0 on failure, with the cause in
// MediaError (media/host_file.h): a file that can't be opened, one with no
// program in it, one cut off before its program ended, or a program too big
// for the program area. A refused load leaves memory as it was; a failed
// save leaves an existing file as it was.
#pragma once

#include <string>

int LoadAtpImage(const std::string& path);
int LoadBacImage(const std::string& path);
int LoadBasFile(const std::string& path);
int SaveBacImage(const std::string& path);
