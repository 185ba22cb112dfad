# The desktop's per-frame picture work: the OpenGL texel conversion, and the
# software back end's copy and stretch into a 720 x 540 picture area; the
# clipboard conversion of a long pasted listing.
if(ORVANE_WITH_QT AND TARGET orvane_qt)
  orvane_benchmark(host_video_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/host_video.cpp LIBS orvane_qt)
endif()
