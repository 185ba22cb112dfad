# Turns the assembled firmware into two C++ arrays: the BASIC slot, the
# first 16,384 bytes of the image, and the extension for the ROM sockets at
# 4000h-57FFh, the rest (6,144 bytes at most). Both are padded with FFh. An
# extension that does not fit is a build error; a BASIC part that does not
# fit already failed in the assembler.
set(slot 16384)
set(socket 6144)
file(SIZE ${INPUT} size)
math(EXPR limit "${slot} + ${socket}")
if(size GREATER limit)
  math(EXPR over "${size} - ${slot}")
  message(FATAL_ERROR "firmware extension is ${over} bytes, over the ${socket}-byte sockets")
endif()
file(READ ${INPUT} hex HEX)

# The bytes from `from` (count of them) as rows of C++ hex, padded with FFh
# to `length` bytes.
function(hex_rows from count length out)
  math(EXPR first "${from} * 2")
  math(EXPR chars "${count} * 2")
  if(count GREATER 0)
    string(SUBSTRING "${hex}" ${first} ${chars} part)
  else()
    set(part "")
  endif()
  math(EXPR pad "${length} - ${count}")
  string(REPEAT "ff" ${pad} padding)
  string(APPEND part "${padding}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${part}")
  string(REPEAT "0x..," 16 row_pattern)
  string(REGEX REPLACE "(${row_pattern})" "\\1\n" bytes "${bytes}")
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

if(size GREATER slot)
  set(basic_count ${slot})
  math(EXPR extension_count "${size} - ${slot}")
else()
  set(basic_count ${size})
  set(extension_count 0)
endif()
hex_rows(0 ${basic_count} ${slot} basic_bytes)
hex_rows(${slot} ${extension_count} ${socket} extension_bytes)
file(WRITE ${OUTPUT}.tmp
  "// Generated from data/firmware at build time; do not edit.\n"
  "#include \"data/firmware.h\"\n\n"
  "const uint8_t OpenFirmwareRom[16384] = {\n${basic_bytes}\n};\n\n"
  "const uint8_t OpenFirmwareExtension[6144] = {\n${extension_bytes}\n};\n\n"
  "const unsigned OpenFirmwareExtensionUsed = ${extension_count};\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
