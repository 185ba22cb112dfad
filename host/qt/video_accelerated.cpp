// The accelerated back end: the frame, as a grey image, is blitted scaled
// through Qt's OpenGL painter into the picture area, fitted to 4:3 when the
// aspect option is on. The borders round the picture are cleared only when
// they may have changed (on opening, after a resize or an aspect change); a
// changed frame repaints just the picture, an unchanged one nothing.
#include <QOpenGLWidget>
#include <QPainter>

#include <cstdio>
#include <cstring>

#include "host/qt/video_opengl.h"
#include "host/qt/video_view.h"

namespace {

class AcceleratedPicture : public QOpenGLWidget, public VideoBackEnd {
  public:
    explicit AcceleratedPicture(VideoView* view) : QOpenGLWidget(view), view(view) {
        setFocusPolicy(Qt::NoFocus);
        // Keep the last picture between repaints, so the borders stay black.
        setUpdateBehavior(QOpenGLWidget::PartialUpdate);
        image = QImage(240, 240, QImage::Format_Grayscale8);
        image.fill(0);
    }

    QWidget* widget() override { return this; }

    void present(const uint8_t* pixels, int width, int height) override {
        if (!FrameChanged(lastFrame, pixels, width, height)) return;
        if (image.width() != width || image.height() != height)
            image = QImage(width, height, QImage::Format_Grayscale8);
        for (int y = 0; y < height; y++)
            std::memcpy(image.scanLine(y), pixels + static_cast<size_t>(y) * width,
                        static_cast<size_t>(width));
        update();
    }

  protected:
    void resizeGL(int, int) override { clearBorders = true; }

    void paintGL() override {
        QPainter painter(this);
        QRect target = rect();
        const bool keep = view->keepAspect();
        if (keep != aspectKept) {
            aspectKept = keep;
            clearBorders = true;
        }
        if (keep) FitAspect(target);
        if (clearBorders) {
            painter.fillRect(rect(), Qt::black);
            clearBorders = false;
        }
        painter.drawImage(target, image);
    }

  private:
    VideoView* view;
    QImage image;
    std::vector<uint8_t> lastFrame;
    bool clearBorders = true;
    bool aspectKept = true;
};

} // namespace

std::unique_ptr<VideoBackEnd> CreateAcceleratedBackEnd(VideoView* view, QString* failure) {
    QString reason;
    if (!OpenGLContextUsable(&reason)) {
        std::fprintf(stderr, "Accelerated drawing: %s\n", reason.toLocal8Bit().constData());
        if (failure) *failure = "Creating the OpenGL painter FAILED (" + reason + ")";
        return nullptr;
    }
    return std::make_unique<AcceleratedPicture>(view);
}
