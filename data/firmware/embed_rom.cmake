# Turns the assembled firmware into a C++ array of exactly 16,384 bytes,
# padded with FFh. An image that does not fit is a build error.
file(SIZE ${INPUT} size)
if(size GREATER 16384)
  message(FATAL_ERROR "firmware image is ${size} bytes, over the 16384-byte slot")
endif()
file(READ ${INPUT} hex HEX)
math(EXPR pad "16384 - ${size}")
string(REPEAT "ff" ${pad} padding)
string(APPEND hex "${padding}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 row_pattern)
string(REGEX REPLACE "(${row_pattern})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
  "// Generated from data/firmware at build time; do not edit.\n"
  "#include \"data/firmware.h\"\n\n"
  "const uint8_t OpenFirmwareRom[16384] = {\n${bytes}\n};\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
