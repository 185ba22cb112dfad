// Orvane's entry point. Until the desktop window exists, the program is the
// headless runner.
#include "host/headless.h"

int main(int argc, char** argv) { return RunHeadless(argc, argv); }
