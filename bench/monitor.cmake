# Disassembler throughput: the memory dump disassembles all of RAM at once.
orvane_benchmark(monitor_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_disassembler.cpp
  LIBS orvane_core)
