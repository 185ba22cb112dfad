// The picture area and its software back end: the frame is copied into a
// grey 8-bit QImage and stretched onto the widget, fitted to 4:3 with black
// borders when the aspect option is on.
#include "host/qt/video_view.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/qt/video_opengl.h"

void FitAspect(QRect& r) {
    int32_t w = r.width(), h = r.height();
    int32_t wantW = (40 * h + 15) / 30;
    int32_t wantH = (3 * w + 2) / 4;
    if (wantW < w) {
        int32_t left = (w - wantW + 1) / 2;
        r = QRect(left, r.top(), wantW, h);
    } else if (wantH < h) {
        int32_t top = (h - wantH + 1) / 2;
        r = QRect(r.left(), top, w, wantH);
    }
}

namespace {

// Draws only when the picture changed, and scales it only then: the frame
// is compared with the last one, scaled once into an image in the window's
// own pixel format, and a repaint is a plain copy of that image.
class SoftwarePicture : public QWidget, public VideoBackEnd {
  public:
    explicit SoftwarePicture(VideoView* view) : QWidget(view), view(view) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
        image = QImage(240, 240, QImage::Format_Grayscale8);
        image.fill(0);
    }
    QWidget* widget() override { return this; }
    void present(const uint8_t* pixels, int width, int height) override {
        const bool keep = view->keepAspect();
        if (!FrameChanged(lastFrame, pixels, width, height) && keep == aspectKept &&
            size() == scaledFor)
            return;
        if (image.width() != width || image.height() != height)
            image = QImage(width, height, QImage::Format_Grayscale8);
        for (int y = 0; y < height; y++)
            std::memcpy(image.scanLine(y), pixels + static_cast<size_t>(y) * width, width);
        rescale();
        update(target);
        if (keep != aspectKept || bordersStale) {
            aspectKept = keep;
            bordersStale = false;
            update();
        }
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        rescale();
        bordersStale = true;
        update();
    }
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        if (!event->region().boundingRect().intersects(rect())) return;
        if (target != rect()) {
            QRegion borders = QRegion(rect()) - QRegion(target);
            for (const QRect& r : borders)
                painter.fillRect(r, Qt::black);
        }
        painter.drawImage(target.topLeft(), scaled);
    }

  private:
    void rescale() {
        target = rect();
        if (view->keepAspect()) FitAspect(target);
        scaledFor = size();
        aspectKept = view->keepAspect();
        if (target.isEmpty()) return;
        scaled = image.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                     .convertToFormat(QImage::Format_RGB32);
    }

    VideoView* view;
    QImage image;  // the frame, one byte a pixel
    QImage scaled; // the frame at its size on screen
    QRect target;
    QSize scaledFor;
    std::vector<uint8_t> lastFrame;
    bool aspectKept = true;
    bool bordersStale = true;
};

} // namespace

std::unique_ptr<VideoBackEnd> CreateSoftwareBackEnd(VideoView* view) {
    return std::make_unique<SoftwarePicture>(view);
}

VideoView::VideoView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    reportFailure = [this](const QString& caption, const QString& text) {
        QMessageBox::warning(window(), caption, text);
    };
    backEnd = CreateSoftwareBackEnd(this);
    backEnd->widget()->setGeometry(rect());
    overlay = new QLabel(this);
    overlay->setWordWrap(true);
    overlay->setTextFormat(Qt::PlainText);
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    overlay->setFocusPolicy(Qt::NoFocus);
    overlay->setStyleSheet("QLabel { background: rgba(0, 0, 0, 200); color: white; "
                           "border: 1px solid #808080; padding: 4px; }");
    overlay->hide();
    overlayTimer = new QTimer(this);
    overlayTimer->setSingleShot(true);
    QObject::connect(overlayTimer, &QTimer::timeout, overlay, &QWidget::hide);
}

void VideoView::showMessage(const QString& text) {
    overlay->setText(text);
    placeOverlay();
    overlay->show();
    overlay->raise();
    // Long enough to read: four seconds, and more for a long text.
    overlayTimer->start(std::max(4000, 60 * static_cast<int>(text.size())));
}

void VideoView::placeOverlay() {
    const int margin = 6;
    const int width = std::max(40, this->width() - 2 * margin);
    const int height =
        std::min(overlay->heightForWidth(width), std::max(20, this->height() - 2 * margin));
    overlay->setGeometry(margin, this->height() - margin - height, width, height);
}

VideoView::~VideoView() = default;

uint32_t VideoView::SelectVideoDriver(uint32_t index) {
    backEnd.reset();
    QString failure;
    if (index == VideoOpenGL) {
        backEnd = CreateOpenGLBackEnd(this, &failure);
        if (backEnd)
            driver = VideoOpenGL;
        else if (!failure.isEmpty())
            reportFailure("Error", failure);
    }
    if (!backEnd && (index == VideoOpenGL || index == VideoAccelerated)) {
        failure.clear();
        backEnd = CreateAcceleratedBackEnd(this, &failure);
        if (backEnd)
            driver = VideoAccelerated;
        else if (!failure.isEmpty())
            reportFailure("Error", failure);
    }
    if (!backEnd) {
        backEnd = CreateSoftwareBackEnd(this);
        driver = VideoSoftware;
    }
    QWidget* shown = backEnd->widget();
    shown->setGeometry(rect());
    shown->show();
    overlay->raise();
    presentAgain();
    return driver;
}

void VideoView::PresentFrame(const uint8_t* pixels, int width, int height) {
    lastPixels = pixels;
    lastWidth = width;
    lastHeight = height;
    backEnd->present(pixels, width, height);
}

void VideoView::presentAgain() {
    if (lastPixels) backEnd->present(lastPixels, lastWidth, lastHeight);
}

void VideoView::setKeepAspect(bool keep) {
    keepAspectRatio = keep;
    presentAgain();
    backEnd->widget()->update();
}

QImage VideoView::grabPicture() { return backEnd->widget()->grab().toImage(); }

void VideoView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    backEnd->widget()->setGeometry(rect());
    if (overlay->isVisible()) placeOverlay();
    presentAgain();
}

void ToggleFullScreen(QMainWindow* window) {
    if (!window->isFullScreen()) {
        window->menuBar()->hide();
        window->showFullScreen();
        QApplication::setOverrideCursor(Qt::BlankCursor);
    } else {
        window->showNormal();
        window->menuBar()->show();
        QApplication::restoreOverrideCursor();
    }
}

bool IsFullScreen(QMainWindow* window) { return window->isFullScreen(); }

QSize MinimumWindowSize(int statusBarHeight) { return QSize(360, 302 + statusBarHeight); }

QRect OnSizing(int edge, QRect r, int extraW, int extraH) {
    int left = r.left(), top = r.top();
    int right = left + r.width(), bottom = top + r.height();
    int clientW = right - left - extraW;
    int clientH = bottom - top - extraH;
    int fromW = clientW * 540 / 720;
    int fromH = clientH * 720 / 540;
    switch (edge) {
    case EdgeLeft: top = bottom - fromW - extraH; break;
    case EdgeRight: bottom = top + fromW + extraH; break;
    case EdgeTop:
    case EdgeTopLeft:
    case EdgeBottomLeft: left = right - fromH - extraW; break;
    default: right = left + fromH + extraW; break;
    }
    return QRect(left, top, right - left, bottom - top);
}
