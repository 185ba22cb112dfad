# Storage media: the cassette's per-cycle recording filter, per-instruction
# sampling of a played tape, and loading a full-size ATP image.
orvane_benchmark(media_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/media_tape.cpp LIBS orvane_core)
