// Where the storage devices put their status-bar texts: field 2 carries the
// tape counter, field 3 messages such as an attached disk's geometry. The
// front end installs a writer; without one the texts are dropped. Texts are
// Windows-1252 (the tape counter's activity mark is the byte 95h).
#pragma once

using MediaStatusWriter = void (*)(int field, const char* text);

constexpr int TapeCounterField = 2;
constexpr int MessageField = 3;
// Not a field of the status bar: one text per tape block passing the head
// ("DEMO.BAS block 3"), for logs such as the headless runner's.
constexpr int TapeBlockField = 4;

void SetMediaStatusWriter(MediaStatusWriter writer);

// printf-style text into one status field.
void MediaStatus(int field, const char* format, ...) __attribute__((format(printf, 2, 3)));
