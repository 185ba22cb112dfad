# Turns an assembled image into a C++ array of exactly SIZE bytes, padded
# with FFh, named NAME (used for the open DOS; the BASIC has its own script,
# embed_rom.cmake, for its two parts). An image that does not fit is a build error.
if(NOT SIZE)
  set(SIZE 16384)
endif()
if(NOT NAME)
  set(NAME OpenFirmwareRom)
endif()
file(SIZE ${INPUT} size)
if(size GREATER ${SIZE})
  message(FATAL_ERROR "firmware image is ${size} bytes, over the ${SIZE}-byte slot")
endif()
file(READ ${INPUT} hex HEX)
math(EXPR pad "${SIZE} - ${size}")
string(REPEAT "ff" ${pad} padding)
string(APPEND hex "${padding}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 row_pattern)
string(REGEX REPLACE "(${row_pattern})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp
  "// Generated from data/firmware at build time; do not edit.\n"
  "#include \"data/firmware.h\"\n\n"
  "const uint8_t ${NAME}[${SIZE}] = {\n${bytes}\n};\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
