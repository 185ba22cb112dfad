// orvdisk's entry point.
#include "disktool/orvdisk.h"

int main(int argc, char** argv) { return RunOrvdisk(argc, argv); }
