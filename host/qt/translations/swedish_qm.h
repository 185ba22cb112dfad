// The Swedish translation of the desktop, compiled from orvane_sv.ts by
// lrelease at build time and embedded in the program.
#pragma once

extern const unsigned char OrvaneSwedishQm[];
extern const unsigned int OrvaneSwedishQmSize;
