// Dravik's entry point: the console program's run lives in dravik.cpp.
#include "dravik.h"

int main(int argc, char** argv) { return RunDravik(argc, argv, DravikStreams{}); }
