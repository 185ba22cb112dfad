# Turns the assembler's label list ("name:<tab>equ $hhhh" a line) into a C++
# string, so the debugger has the open firmware's symbols without a file.
# The web page has no debugger: it carries no symbols (NO_LABELS set).
if(NO_LABELS)
  set(labels "")
else()
  file(READ ${INPUT} labels)
endif()
string(REPLACE "\\" "" labels "${labels}")
string(REPLACE "\"" "" labels "${labels}")
string(REPLACE "\n" "\\n\"\n    \"" labels "${labels}")
file(WRITE ${OUTPUT}.tmp
  "// Generated from the open firmware's label list at build time; do not edit.\n"
  "#include \"data/firmware.h\"\n\n"
  "const char OpenFirmwareLabels[] =\n    \"${labels}\";\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
