# Emulated seconds of the Open DOS: SAVE and LOAD of a 10 KB program, a data
# file of 1,000 records.
orvane_benchmark(dos_disk_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dos_disk.cpp
          ${PROJECT_SOURCE_DIR}/tests/firmware/basic_session.cpp
  LIBS orvane_core)
target_include_directories(dos_disk_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/firmware)
add_dependencies(dos_disk_bench orvane_firmware_image)
target_compile_definitions(dos_disk_bench PRIVATE
  DOS_LABELS_PATH="${PROJECT_BINARY_DIR}/data/firmware/opendos.labels")
