# Fast tape: a six-kilobyte program's tape loaded by the open firmware at
# full speed.
orvane_benchmark(fast_tape_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fast_tape.cpp ${PROJECT_SOURCE_DIR}/tests/firmware/basic_session.cpp
  LIBS orvane_core)
