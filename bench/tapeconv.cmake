# Dravik's decode speed on a long 44.1 kHz 16-bit recording, and its memory
# use on a recording ten times longer.
orvane_benchmark(tapeconv_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/tapeconv_decode.cpp LIBS dravik_core)
