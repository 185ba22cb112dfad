# The include rule of the layers, checked on every build: a core file that
# includes a host header or a layer above its own, or a shared host layer
# that includes a platform header, stops the build.
file(GLOB_RECURSE orvane_core_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/codec/*.h ${PROJECT_SOURCE_DIR}/codec/*.cpp
  ${PROJECT_SOURCE_DIR}/files/*.h ${PROJECT_SOURCE_DIR}/files/*.cpp
  ${PROJECT_SOURCE_DIR}/cpu/*.h ${PROJECT_SOURCE_DIR}/cpu/*.cpp
  ${PROJECT_SOURCE_DIR}/sound/*.h ${PROJECT_SOURCE_DIR}/sound/*.cpp
  ${PROJECT_SOURCE_DIR}/data/*.h ${PROJECT_SOURCE_DIR}/data/*.cpp
  ${PROJECT_SOURCE_DIR}/machine/*.h ${PROJECT_SOURCE_DIR}/machine/*.cpp
  ${PROJECT_SOURCE_DIR}/media/*.h ${PROJECT_SOURCE_DIR}/media/*.cpp
  ${PROJECT_SOURCE_DIR}/monitor/*.h ${PROJECT_SOURCE_DIR}/monitor/*.cpp
  ${PROJECT_SOURCE_DIR}/abc80/*.h ${PROJECT_SOURCE_DIR}/abc80/*.cpp
  ${PROJECT_SOURCE_DIR}/host/text/*.h ${PROJECT_SOURCE_DIR}/host/text/*.cpp
  ${PROJECT_SOURCE_DIR}/host/session/*.h ${PROJECT_SOURCE_DIR}/host/session/*.cpp)
set(orvane_layer_stamp ${PROJECT_BINARY_DIR}/layer_check.stamp)
add_custom_command(
  OUTPUT ${orvane_layer_stamp}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_ROOT=${PROJECT_SOURCE_DIR} -DSTAMP=${orvane_layer_stamp}
          -P ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
  DEPENDS ${orvane_core_sources} ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
  COMMENT "Checking the include rule of the core layers"
  VERBATIM)
add_custom_target(layer_check ALL DEPENDS ${orvane_layer_stamp})
# Every core library waits for the check, so a broken rule stops the build
# before anything links.
foreach(lib orvane_cpu orvane_sound orvane_data orvane_machine orvane_media orvane_monitor orvane_abc80)
  add_dependencies(${lib} layer_check)
endforeach()
