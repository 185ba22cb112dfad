// Pieces of the OpenGL back ends that do not need a context: the viewport
// rule of the textured quad and the texel conversion of a frame.
#pragma once

#include <QRect>

#include <cstdint>
#include <vector>

// The textured quad's texture: 480 x 240 RGBA texels.
constexpr int TextureWidth = 480;
constexpr int TextureHeight = 240;

// The viewport of the textured quad in a picture area of w x h (OpenGL
// coordinates: y from the bottom, bottomOffset below the picture area). With
// the aspect kept, a too-wide area centres a 4:3 picture horizontally and a
// too-tall one puts it at the bottom of the area, on the status bar.
QRect OpenGLViewport(int w, int h, bool keepAspect, int bottomOffset);

// Fills texels (TextureWidth x TextureHeight RGBA) from a frame: byte 0 is
// opaque black, any other byte opaque white. A 240-pixel line fills the
// texture's 480 texels by doubling every pixel; a 480-pixel line (the
// 80-column layout) fills them one to one. Lines beyond 240 are ignored.
void FrameToTexels(const uint8_t* pixels, int width, int height, std::vector<uint32_t>& texels);

// Keeps a copy of the last frame shown in last; returns false when the new
// frame is the same (the back end then skips the repaint: a still screen
// costs no drawing), true after storing a changed one.
bool FrameChanged(std::vector<uint8_t>& last, const uint8_t* pixels, int width, int height);

class QString;

// Sets the OpenGL defaults of the whole program: no waiting for the display's
// vertical blank when a window is shown, so the pacer alone sets the frame
// rate. Call before the QApplication is created.
void PrepareOpenGLDefaults();

// Whether an OpenGL context can be created and made current on this display
// (the back ends' widgets would otherwise stay blank). 0 with the reason in
// *failure.
int OpenGLContextUsable(QString* failure);
