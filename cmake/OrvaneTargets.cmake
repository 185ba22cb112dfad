# Helpers shared by the subsystem CMakeLists files.
if(NOT ORVANE_WEB)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# orvane_library(NAME SOURCES...): a static library of the emulation core whose
# headers are included as "cpu/z80.h", "machine/memory.h", ...
function(orvane_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# orvane_test(NAME LABEL label SOURCES ... [LIBS ...]): a GoogleTest executable
# whose cases are registered with CTest under the given label.
function(orvane_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    ORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ORVANE_BINARY_DIR="${PROJECT_BINARY_DIR}"
    ORVANE_Z80_VECTORS="${ORVANE_Z80_VECTORS}"
    ORVANE_VERSION="${PROJECT_VERSION}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    PROPERTIES LABELS ${T_LABEL}
    DISCOVERY_TIMEOUT 120)
endfunction()
