// Tape images loaded straight into RAM and saved from it: ATP (the byte
// stream of a cassette, block by block), BAC (BASIC's line records, in tape
// block or 256-byte segment layout) and BAS (BAC, or text typed at the
// keyboard). The loaders return 0 only when the file can't be opened.
#pragma once

#include <string>

int LoadAtpImage(const std::string& path);
int LoadBacImage(const std::string& path);
int LoadBasFile(const std::string& path);
void SaveBacImage(const std::string& path);
