# Turns a compiled translation (.qm) into a C++ array the program embeds.
file(READ ${INPUT} hex HEX)
file(SIZE ${INPUT} size)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 row_pattern)
string(REGEX REPLACE "(${row_pattern})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
  "// Generated from host/qt/translations at build time; do not edit.\n"
  "#include \"host/qt/translations/swedish_qm.h\"\n\n"
  "const unsigned char OrvaneSwedishQm[] = {\n${bytes}\n};\n"
  "const unsigned int OrvaneSwedishQmSize = ${size};\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
