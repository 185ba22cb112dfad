// The OpenGL back end: the frame becomes a 480 x 240 RGBA texture (pixel 0
// black, anything else white, each 240-line pixel doubled) drawn on one quad
// in a viewport that keeps 4:3. Driven by PresentFrame once per frame; the
// texture is uploaded once per frame and drawn on the next repaint.
#include "host/qt/video_opengl.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLWidget>
#include <QSurfaceFormat>

#include <algorithm>
#include <cstdio>

#include "host/qt/video_view.h"

QRect OpenGLViewport(int w, int h, bool keepAspect, int bottomOffset) {
    int x = 0;
    if (keepAspect) {
        int wantW = (4 * h) / 3;
        if (wantW <= w) {
            x = (w - wantW) / 2;
            w = wantW;
        } else {
            h = (3 * w) / 4;
        }
    }
    return QRect(x, bottomOffset, w, h);
}

void FrameToTexels(const uint8_t* pixels, int width, int height, std::vector<uint32_t>& texels) {
    constexpr uint32_t Black = 0xFF000000u; // opaque: the widget is composited
    constexpr uint32_t White = 0xFFFFFFFFu;
    texels.assign(static_cast<size_t>(TextureWidth) * TextureHeight, Black);
    if (!pixels || width <= 0) return;
    const int repeat = width <= TextureWidth / 2 ? 2 : 1;
    const int columns = std::min(width, TextureWidth / repeat);
    const int rows = std::min(height, TextureHeight);
    for (int y = 0; y < rows; y++) {
        const uint8_t* line = pixels + static_cast<size_t>(y) * width;
        uint32_t* out = texels.data() + static_cast<size_t>(y) * TextureWidth;
        for (int x = 0; x < columns; x++) {
            const uint32_t colour = line[x] ? White : Black;
            for (int k = 0; k < repeat; k++)
                *out++ = colour;
        }
    }
}

bool FrameChanged(std::vector<uint8_t>& last, const uint8_t* pixels, int width, int height) {
    const size_t size =
        static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0));
    // The size is kept in front of the pixels, so a change of layout counts.
    const uint8_t shape[4] = {static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
                              static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8)};
    if (last.size() == size + 4 && std::equal(shape, shape + 4, last.begin()) &&
        (size == 0 || std::equal(pixels, pixels + size, last.begin() + 4)))
        return false;
    last.assign(shape, shape + 4);
    if (size) last.insert(last.end(), pixels, pixels + size);
    return true;
}

void PrepareOpenGLDefaults() {
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setSwapInterval(0);
    QSurfaceFormat::setDefaultFormat(format);
}

int OpenGLContextUsable(QString* failure) {
    // Platforms that can compose OpenGL drawing into a widget window; the
    // others (offscreen, minimal, VNC, frame buffer) may still make contexts.
    const QString platform = QGuiApplication::platformName();
    const bool composes = platform == "xcb" || platform.startsWith("wayland") ||
                          platform == "windows" || platform == "cocoa" ||
                          platform.startsWith("eglfs");
    if (!composes) {
        if (failure)
            *failure = "Unable to create rendering context: the \"" + platform +
                       "\" display has no OpenGL windows.";
        return 0;
    }
    QOpenGLContext context;
    if (!context.create()) {
        if (failure) *failure = "Unable to create rendering context.";
        return 0;
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) {
        if (failure) *failure = "Unable to activate rendering context.";
        return 0;
    }
    context.doneCurrent();
    return 1;
}

namespace {

const char* const VertexShader = R"(
attribute vec2 position;
attribute vec2 texturePosition;
varying vec2 texel;
void main() {
    texel = texturePosition;
    gl_Position = vec4(position, 0.0, 1.0);
}
)";

const char* const FragmentShader = R"(
#ifdef GL_ES
precision mediump float;
#endif
uniform sampler2D picture;
varying vec2 texel;
void main() {
    gl_FragColor = texture2D(picture, texel);
}
)";

// The quad over the whole viewport, with the texture's first row at the top.
const float QuadCorners[] = {-1, 1, 1, 1, 1, -1, -1, -1};
const float QuadTexture[] = {0, 0, 1, 0, 1, 1, 0, 1};

class OpenGLPicture : public QOpenGLWidget, protected QOpenGLFunctions, public VideoBackEnd {
  public:
    explicit OpenGLPicture(VideoView* view) : QOpenGLWidget(view), view(view) {
        setFocusPolicy(Qt::NoFocus);
        texels.assign(static_cast<size_t>(TextureWidth) * TextureHeight, 0xFF000000u);
    }

    ~OpenGLPicture() override {
        if (!context()) return;
        makeCurrent();
        if (texture) glDeleteTextures(1, &texture);
        program.reset();
        doneCurrent();
    }

    QWidget* widget() override { return this; }

    void present(const uint8_t* pixels, int width, int height) override {
        if (!FrameChanged(lastFrame, pixels, width, height)) return;
        FrameToTexels(pixels, width, height, texels);
        textureStale = true;
        update();
    }

  protected:
    void initializeGL() override {
        initializeOpenGLFunctions();
        program = std::make_unique<QOpenGLShaderProgram>();
        if (!program->addShaderFromSourceCode(QOpenGLShader::Vertex, VertexShader) ||
            !program->addShaderFromSourceCode(QOpenGLShader::Fragment, FragmentShader) ||
            !program->link()) {
            std::fprintf(stderr, "Unable to prepare the picture's shaders.\n");
            program.reset();
        }
        glClearColor(0, 0, 0, 1);
        initialized = true;
    }

    void paintGL() override {
        if (!initialized) return;
        glClear(GL_COLOR_BUFFER_BIT);
        if (!program) return;
        if (!texture) createTexture();
        if (textureStale) {
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, TextureWidth, TextureHeight, GL_RGBA,
                            GL_UNSIGNED_BYTE, texels.data());
            textureStale = false;
        }
        const qreal ratio = devicePixelRatioF();
        const QRect port =
            OpenGLViewport(static_cast<int>(width() * ratio), static_cast<int>(height() * ratio),
                           view->keepAspect(), 0);
        glViewport(port.x(), port.y(), port.width(), port.height());
        program->bind();
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        program->setUniformValue("picture", 0);
        const int position = program->attributeLocation("position");
        const int texturePosition = program->attributeLocation("texturePosition");
        program->enableAttributeArray(position);
        program->enableAttributeArray(texturePosition);
        program->setAttributeArray(position, GL_FLOAT, QuadCorners, 2);
        program->setAttributeArray(texturePosition, GL_FLOAT, QuadTexture, 2);
        glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
        program->disableAttributeArray(position);
        program->disableAttributeArray(texturePosition);
        program->release();
    }

  private:
    void createTexture() {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        std::vector<uint32_t> zero(static_cast<size_t>(TextureWidth) * TextureHeight, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, TextureWidth, TextureHeight, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, zero.data());
        textureStale = true;
    }

    VideoView* view;
    std::vector<uint32_t> texels;
    std::vector<uint8_t> lastFrame;
    bool textureStale = true;
    bool initialized = false;
    GLuint texture = 0;
    std::unique_ptr<QOpenGLShaderProgram> program;
};

} // namespace

std::unique_ptr<VideoBackEnd> CreateOpenGLBackEnd(VideoView* view, QString* failure) {
    QString reason;
    if (!OpenGLContextUsable(&reason)) {
        std::fprintf(stderr, "%s\n", reason.toLocal8Bit().constData());
        if (failure) *failure = reason;
        return nullptr;
    }
    return std::make_unique<OpenGLPicture>(view);
}
