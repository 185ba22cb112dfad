// Stand-ins for the accelerated and OpenGL back ends until they are built:
// both decline to open, without a message, so the software back end is used.
#include "host/qt/video_view.h"

std::unique_ptr<VideoBackEnd> CreateAcceleratedBackEnd(VideoView*, QString* failure) {
    if (failure) failure->clear();
    return nullptr;
}

std::unique_ptr<VideoBackEnd> CreateOpenGLBackEnd(VideoView*, QString* failure) {
    if (failure) failure->clear();
    return nullptr;
}
