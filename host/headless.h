// The headless runner: runs the machine with no window and no display, for
// scripts and tests, driven by one table of command-line options.
//
// A run goes: options parsed; ROM folder and choices applied; machineInit;
// the start hooks; the boot frames; the boot hooks (loading, typing); the
// remaining frames, with the frame hooks after each; the end hooks (screen
// text, screenshot, memory dump and whatever other options asked for).
//
// To add an option: write a handler `int handler(HeadlessRun&, const char*
// value)` that records what it needs and returns 1 (0 for a bad value, which
// is a usage error), and add one row to HeadlessOptions in headless.cpp. A
// handler that has work to do during the run pushes a hook; a hook returns 1
// to go on and 0 to end the run with exit code 1 (it says why on stderr).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/session/screenshot.h"
#include "host/text/screen_text.h"

struct HeadlessRun;
using HeadlessHook = std::function<int(HeadlessRun&)>;

struct HeadlessRun {
    long bootFrames = 50;             // frames before the boot hooks
    long frames = 100;                // frames after them
    bool cycleBased = false;          // runFrame per frame instead of runFrameFast + renderLine
    std::vector<uint8_t> frameBuffer; // the picture, 480 x 240 bytes
    int pitchShift = 0;               // 1 while the 80-column layout is shown
    long frameNumber = 0;             // frames run so far
    bool booted = false;              // set when the boot frames are over
    std::vector<std::string> typing;  // texts still to type, in order
    std::vector<std::vector<uint32_t>> keys; // key chords still to press, in order
    bool chordDown = false;                  // the first chord is held now
    std::vector<HeadlessHook> startHooks;    // after machineInit, before the first frame
    std::vector<HeadlessHook> bootHooks;     // after the boot frames
    std::vector<HeadlessHook> frameHooks;    // after every frame
    std::vector<HeadlessHook> endHooks;      // after the last frame, in option order
};

struct HeadlessOption {
    const char* name;     // "--frames"
    const char* argument; // "N", or nullptr for a flag
    const char* help;
    int (*apply)(HeadlessRun& run, const char* value);
};

extern const HeadlessOption HeadlessOptions[];
extern const size_t HeadlessOptionCount;

// Runs the whole program; returns the exit code (0 ok, 1 failure, 2 usage).
int RunHeadless(int argc, char** argv);

// Helpers shared by option handlers.
// Text with the escapes \r \n \t \\ and \xHH turned into their bytes.
std::string UnescapeText(const char* text);
// A whole decimal number in [low, high]; 0 when the text is not one.
int ParseNumber(const char* text, long low, long high, long& value);
// Draws all visible lines of the current video memory into the picture.
void RenderPicture(HeadlessRun& run);
