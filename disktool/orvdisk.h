// orvdisk: Orvane disk images from the host's command line, in the style of
// mtools: new, ls, get, put, rm, mv and check. Every change is made on a copy
// of the image in memory and written back whole (temporary file and rename),
// so an image is replaced in one step or not at all. A failure prints one
// line "orvdisk: IMAGE: cause" and gives exit code 1; a usage error 2.
#pragma once

int RunOrvdisk(int argc, char** argv);
