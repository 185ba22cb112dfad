// Save states: the whole running machine as one byte string, and back.
//
// A state holds the processor, memory and ROM choices, the keyboard with its
// typing queue, the ports and PIO, the sound chip, the frame counters and the
// timing mode, the cassette deck (its file by path and its position) and the
// disk cards (their drive files by path, their transfer state). ROM images,
// breakpoints and the host's settings are not part of it. The format is in
// docs/save-states.md.
//
// Take and restore states between frames, never while the monitor is open.
//
//   std::vector<uint8_t> state;
//   saveState(state);
//   ...
//   std::string message;
//   if (!loadState(state, message)) show(message);       // refused: nothing changed
//   else if (!message.empty()) show(message);           // loaded, with a note
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The format version this program writes; it reads this one and every
// earlier one.
constexpr uint32_t SaveStateVersion = 1;
// File name extension of state files, as the front ends offer it.
constexpr const char* SaveStateExtension = ".ost";

// Replaces `state` with the state of the running machine.
void saveState(std::vector<uint8_t>& state);

// Restores a state. Refused (false, the reason in `message`, the running
// machine untouched) when the bytes are not a state, come from a newer
// version, have the wrong size or a bad CRC, or a section does not decode.
// Loaded (true) otherwise; `message` is then empty, or names what could not
// be restored as it was, one line each: a tape or disk file that is missing
// (that device is left empty), a tape recording (not resumed), different ROM
// images than the ones the state was saved with.
bool loadState(std::span<const uint8_t> state, std::string& message);

// The same through a file. Saving writes a new file beside the target and
// renames it over the target, so a failed save (disk full, no permission)
// leaves an existing file as it was; it returns false with the reason.
bool saveStateFile(const std::string& path, std::string& message);
bool loadStateFile(const std::string& path, std::string& message);
