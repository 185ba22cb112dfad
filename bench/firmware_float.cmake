# Emulated T-states of the firmware's floating-point routines.
orvane_benchmark(firmware_float_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/firmware_float.cpp
          ${PROJECT_SOURCE_DIR}/tests/firmware/float_machine.cpp
          ${PROJECT_SOURCE_DIR}/tests/firmware/basic_session.cpp
  LIBS orvane_core)
add_dependencies(firmware_float_bench orvane_firmware_image)
target_include_directories(firmware_float_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/firmware)
target_compile_definitions(firmware_float_bench PRIVATE
  FIRMWARE_LABELS_PATH="${PROJECT_BINARY_DIR}/data/firmware/openfirmware.labels")
