// Opening the user's files: a folder given where a file is expected is
// refused like a file that can't be opened.
#pragma once

#include <cstdio>
#include <string>

std::FILE* OpenHostFile(const std::string& path, const char* mode);
