orvane_benchmark(sound_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/sound_bench.cpp LIBS orvane_core)
