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

RowSpan ChangedRows(const std::vector<uint8_t>& last, const uint8_t* pixels, int width,
                    int height) {
    const size_t size =
        static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0));
    const uint8_t shape[4] = {static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
                              static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8)};
    if (last.size() != size + 4 || !std::equal(shape, shape + 4, last.begin()))
        return {0, std::max(height, 0)};
    const uint8_t* kept = last.data() + 4;
    auto rowDiffers = [&](int y) {
        const size_t at = static_cast<size_t>(y) * static_cast<size_t>(width);
        return std::memcmp(kept + at, pixels + at, static_cast<size_t>(width)) != 0;
    };
    int first = 0;
    while (first < height && !rowDiffers(first))
        first++;
    if (first == height) return {0, 0};
    int end = height;
    while (!rowDiffers(end - 1))
        end--;
    return {first, end};
}

namespace {

// Draws only what changed: the frame is compared with the last one, the
// band of lines that differ is scaled (nearest pixel) into an image in the
// window's own pixel format, and only that band is repainted. A blinking
// cursor costs a strip of the picture, not the whole of it.
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
        const bool whole = keep != aspectKept || size() != scaledFor || image.width() != width ||
                           image.height() != height;
        const RowSpan rows =
            whole ? RowSpan{0, height} : ChangedRows(lastFrame, pixels, width, height);
        if (!FrameChanged(lastFrame, pixels, width, height) && !whole) return;
        if (image.width() != width || image.height() != height)
            image = QImage(width, height, QImage::Format_Grayscale8);
        for (int y = rows.first; y < rows.end; y++)
            std::memcpy(image.scanLine(y), pixels + static_cast<size_t>(y) * width, width);
        if (whole) {
            rescale();
            update();
            return;
        }
        const QRect band = scaleRows(rows);
        if (!band.isEmpty()) update(band);
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        rescale();
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
        scaled = QImage(target.size(), QImage::Format_RGB32);
        columns.resize(static_cast<size_t>(target.width()));
        for (int x = 0; x < target.width(); x++)
            columns[static_cast<size_t>(x)] =
                static_cast<int>(static_cast<int64_t>(x) * image.width() / target.width());
        scaleRows({0, image.height()});
    }

    // Scales the frame's lines [rows.first, rows.end) into the image on
    // screen; the part of the widget they cover.
    QRect scaleRows(RowSpan rows) {
        if (target.isEmpty() || rows.first >= rows.end) return QRect();
        const int high = target.height(), lines = image.height();
        // The screen rows whose nearest frame line lies in the span.
        const int top =
            static_cast<int>((static_cast<int64_t>(rows.first) * high + lines - 1) / lines);
        const int bottom =
            static_cast<int>((static_cast<int64_t>(rows.end) * high + lines - 1) / lines);
        for (int y = top; y < bottom && y < high; y++) {
            const uchar* from =
                image.constScanLine(static_cast<int>(static_cast<int64_t>(y) * lines / high));
            QRgb* to = reinterpret_cast<QRgb*>(scaled.scanLine(y));
            for (size_t x = 0; x < columns.size(); x++)
                to[x] = qRgb(from[columns[x]], from[columns[x]], from[columns[x]]);
        }
        return QRect(target.left(), target.top() + top, target.width(), bottom - top);
    }

    VideoView* view;
    QImage image;             // the frame, one byte a pixel
    QImage scaled;            // the frame at its size on screen
    std::vector<int> columns; // the frame column of each screen column
    QRect target;
    QSize scaledFor;
    std::vector<uint8_t> lastFrame;
    bool aspectKept = true;
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
