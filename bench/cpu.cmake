# Processor speed: emulated MHz on an instruction mix and on a tight loop, and
# the same mix on the z80ex core for comparison when libz80ex is installed.
find_library(Z80EX_LIBRARY z80ex)
find_path(Z80EX_INCLUDE_DIR z80ex/z80ex.h)
orvane_benchmark(cpu_bench SOURCES cpu_bench.cpp LIBS orvane_cpu)
if(Z80EX_LIBRARY AND Z80EX_INCLUDE_DIR)
  target_compile_definitions(cpu_bench PRIVATE ORVANE_HAVE_Z80EX=1)
  target_include_directories(cpu_bench PRIVATE ${Z80EX_INCLUDE_DIR})
  target_link_libraries(cpu_bench PRIVATE ${Z80EX_LIBRARY})
else()
  message(STATUS "libz80ex not found: cpu_bench runs without the z80ex comparison")
endif()
