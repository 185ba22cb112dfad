# Emulated speed of the frame driver in both timing modes.
orvane_benchmark(machine_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/machine_frames.cpp LIBS orvane_core)
