// The picture area of the main window. After every frame the host hands the
// picture (one byte a pixel, 00h dark, FFh lit; 240 or, in the 80-column
// layout, 480 pixels a line; 240 lines) to PresentFrame, which shows it
// through the current back end:
//   0 "&Software"    a raster stretch of a grey QImage (always available),
//   1 "&Accelerated" a scaled blit through Qt's OpenGL painter, 4:3 fit,
//   2 "&OpenGL"      a textured quad (480 x 240 texture).
// SelectVideoDriver opens a back end with the fallbacks 2 -> 1 -> 0 and
// returns the index actually open. Everything runs on the one main thread.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QMainWindow;

enum : uint32_t { VideoSoftware = 0, VideoAccelerated = 1, VideoOpenGL = 2, VideoDriverCount = 3 };

// Fits r (left and top 0) to 4:3 in place: too wide keeps the height and
// centres horizontally, too tall keeps the width and centres vertically.
void FitAspect(QRect& r);

// The lines of a frame that differ from the last one FrameChanged kept in
// last: [first, end), empty when none; the whole frame when its layout
// changed or none was kept. The software driver redraws only those.
struct RowSpan {
    int first = 0;
    int end = 0;
};
RowSpan ChangedRows(const std::vector<uint8_t>& last, const uint8_t* pixels, int width, int height);

// One back end: a widget that fills the picture area and shows frames.
class VideoBackEnd {
  public:
    virtual ~VideoBackEnd() = default;
    virtual QWidget* widget() = 0;
    virtual void present(const uint8_t* pixels, int width, int height) = 0;
};

class VideoView;
class QLabel;
class QTimer;

// Back-end factories. Each returns nullptr when the back end cannot be
// opened, with the reason in *failure (shown to the user, then the next
// simpler back end is tried).
std::unique_ptr<VideoBackEnd> CreateSoftwareBackEnd(VideoView* view);
std::unique_ptr<VideoBackEnd> CreateAcceleratedBackEnd(VideoView* view, QString* failure);
std::unique_ptr<VideoBackEnd> CreateOpenGLBackEnd(VideoView* view, QString* failure);

class VideoView : public QWidget {
  public:
    explicit VideoView(QWidget* parent = nullptr);
    ~VideoView() override;

    // Closes the current back end and opens index (anything but 1 or 2 means
    // 0); returns the index now open.
    uint32_t SelectVideoDriver(uint32_t index);
    uint32_t videoDriver() const { return driver; }

    // Shows one picture; the pixels must stay valid until the next call (the
    // view presents them again when it is resized).
    void PresentFrame(const uint8_t* pixels, int width, int height);
    // Shows the last picture again (after a resize or a driver change).
    void presentAgain();

    bool keepAspect() const { return keepAspectRatio; }
    void setKeepAspect(bool keep);

    // Reports a driver failure (caption, text); by default a message box.
    std::function<void(const QString& caption, const QString& text)> reportFailure;

    // The picture as last presented, scaled as shown on screen.
    QImage grabPicture();

    // Shows a message over the foot of the picture for a few seconds,
    // wrapped to the picture's width.
    void showMessage(const QString& text);
    QLabel* messageOverlay() const { return overlay; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void placeOverlay();

    QLabel* overlay = nullptr;
    QTimer* overlayTimer = nullptr;
    std::unique_ptr<VideoBackEnd> backEnd;
    uint32_t driver = VideoSoftware;
    bool keepAspectRatio = true;
    const uint8_t* lastPixels = nullptr;
    int lastWidth = 240, lastHeight = 240;
};

// Full screen on and off: the menu bar hidden, the status bar kept, the mouse
// cursor hidden; a second call restores the window's place and size.
void ToggleFullScreen(QMainWindow* window);
bool IsFullScreen(QMainWindow* window);

// The smallest window client area: 360 x 302 plus the status bar.
QSize MinimumWindowSize(int statusBarHeight);

// Sizing with the 4:3 rule: given the proposed outer rectangle, the edge
// being dragged and the frame's extra width and height (window decoration,
// menu bar and status bar), returns the corrected rectangle.
enum SizingEdge {
    EdgeLeft = 1,
    EdgeRight,
    EdgeTop,
    EdgeTopLeft,
    EdgeTopRight,
    EdgeBottom,
    EdgeBottomLeft,
    EdgeBottomRight
};
QRect OnSizing(int edge, QRect r, int extraW, int extraH);
