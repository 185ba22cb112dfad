# Emulated seconds of the eight PCW benchmark programs in the open firmware.
orvane_benchmark(firmware_basic_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/firmware_basic.cpp
          ${PROJECT_SOURCE_DIR}/tests/firmware/basic_session.cpp
  LIBS orvane_core)
target_include_directories(firmware_basic_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/firmware)
