# Turns the assembler's label list ("name:<tab>equ $hhhh" a line) into a C++
# string, so the debugger has the open firmware's symbols without a file.
# The list also holds every EQU of the sources; those below 4000h are
# numbers (tokens, error codes, sizes, offsets), not places, and would only
# put false names on the first instructions of the ROM: they are left out.
# RAM variables and entry points defined by EQU stay.
# The web page has no debugger: it carries no symbols (NO_LABELS set).
cmake_policy(SET CMP0057 NEW) # if(... IN_LIST ...)
set(labels "")
if(NOT NO_LABELS)
  set(constants "")
  file(GLOB sources ${SOURCES}/*.asm)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} definitions REGEX "^[A-Za-z_][A-Za-z0-9_]*:?[ \t]+[Ee][Qq][Uu][ \t]")
    foreach(definition IN LISTS definitions)
      string(REGEX MATCH "^[A-Za-z_][A-Za-z0-9_]*" name "${definition}")
      list(APPEND constants ${name})
    endforeach()
  endforeach()
  file(STRINGS ${INPUT} lines)
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^:]+):[ \t]+equ \\$([0-9a-fA-F]+)")
      set(name ${CMAKE_MATCH_1})
      set(value ${CMAKE_MATCH_2})
      if(name IN_LIST constants AND value MATCHES "^[0-3][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F]$")
        continue()
      endif()
    endif()
    string(APPEND labels "${line}\n")
  endforeach()
endif()
string(REPLACE "\\" "" labels "${labels}")
string(REPLACE "\"" "" labels "${labels}")
string(REPLACE "\n" "\\n\"\n    \"" labels "${labels}")
file(WRITE ${OUTPUT}.tmp
  "// Generated from the open firmware's label list at build time; do not edit.\n"
  "#include \"data/firmware.h\"\n\n"
  "const char OpenFirmwareLabels[] =\n    \"${labels}\";\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
