// Opening the user's files: a folder given where a file is expected is
// refused like a file that can't be opened. Loaders and savers leave the
// cause of their last failure in MediaError for the front ends' messages
// ("cannot load x.atp: no tape blocks found").
#pragma once

#include <cstdio>
#include <string>

// Sets MediaError from errno (or "is a folder") when the file can't be had.
std::FILE* OpenHostFile(const std::string& path, const char* mode);

const std::string& MediaError();
void SetMediaError(const std::string& cause);

// What the last successful load found wrong but loaded anyway ("block 3
// (data 1): bad checksum"), "" when nothing; LoadMediaFile clears it.
const std::string& MediaWarning();
void SetMediaWarning(const std::string& text);
