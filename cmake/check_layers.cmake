# Checks the include rule of the layers (docs/architecture.md): a file in
# a core folder includes headers of its own folder and of the folders below
# it only, and never a host header (host/, tapeconv/, Qt, SDL, ALSA,
# emscripten); the shared host layers (host/text, host/session) include the
# core and each other as allowed, and no platform header. Run with cmake -DSOURCE_ROOT=<dir> [-DSTAMP=<file>] -P.
# Fails with one line per offending include.
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_ROOT)
  message(FATAL_ERROR "check_layers: SOURCE_ROOT is not set")
endif()

# Folder, then the folders it may include besides itself.
set(allowed_codec "")
set(allowed_files codec)
set(allowed_cpu codec)
set(allowed_sound cpu files codec)
set(allowed_data codec)
set(allowed_machine cpu sound data files codec)
set(allowed_media cpu sound data machine files codec)
set(allowed_monitor cpu sound data machine files codec)
set(allowed_abc80 cpu sound data machine media monitor files codec)
set(core_folders codec files cpu sound data machine media monitor abc80)

# The host layers every front end shares know no platform either: host/text
# uses the core, host/session the core and host/text. Never Qt, SDL, ALSA,
# emscripten or another front end's folder.
set(host_layers host/text host/session)
set(allowed_host/text ${core_folders})
set(allowed_host/session ${core_folders} host/text)

set(violations "")
foreach(folder IN LISTS core_folders host_layers)
  if(folder IN_LIST core_folders)
    set(platform_kind "host")
  else()
    set(platform_kind "platform")
  endif()
  file(GLOB_RECURSE files "${SOURCE_ROOT}/${folder}/*.h" "${SOURCE_ROOT}/${folder}/*.cpp")
  foreach(path IN LISTS files)
    file(RELATIVE_PATH name "${SOURCE_ROOT}" "${path}")
    file(STRINGS "${path}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<")
        if(header MATCHES "^(Q[A-Za-z]*|SDL[^/]*|SDL2/.*|alsa/.*|emscripten.*)([./].*)?$")
          list(APPEND violations "${name} includes the ${platform_kind} header <${header}>")
        endif()
        continue()
      endif()
      if(NOT header MATCHES "/")
        continue() # a file beside it
      endif()
      if(header MATCHES "^host/")
        string(REGEX REPLACE "^(host/[^/]*)/.*$" "\\1" target "${header}")
      else()
        string(REGEX REPLACE "/.*$" "" target "${header}")
      endif()
      if(target STREQUAL folder OR target IN_LIST allowed_${folder})
        continue()
      endif()
      if(NOT folder IN_LIST core_folders)
        list(APPEND violations "${name} includes ${header}, outside what ${folder}/ may use")
      elseif(target IN_LIST core_folders)
        list(APPEND violations "${name} includes ${header}, a layer above ${folder}/")
      else()
        list(APPEND violations "${name} includes ${header}, outside the core")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "Layer rule broken (docs/architecture.md):\n  ${text}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
