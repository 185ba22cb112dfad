#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QStatusBar>

#include <vector>

#include "host/qt/video_opengl.h"
#include "host/qt/video_sizing.h"
#include "host/qt/video_view.h"

namespace {

QRect Fitted(int w, int h) {
    QRect r(0, 0, w, h);
    FitAspect(r);
    return r;
}

TEST(VideoGeometry, FitAspectKeepsFourToThree) {
    EXPECT_EQ(Fitted(800, 600), QRect(0, 0, 800, 600));
    EXPECT_EQ(Fitted(1000, 600), QRect(100, 0, 800, 600)); // borders of 100 each side
    EXPECT_EQ(Fitted(400, 600), QRect(0, 150, 400, 300));
    EXPECT_EQ(Fitted(801, 600), QRect(1, 0, 800, 600)); // (1 + 1) / 2 rounds the odd pixel left
    EXPECT_EQ(Fitted(641, 480), QRect(1, 0, 640, 480));
}

TEST(VideoGeometry, OpenGLViewportSitsOnTheStatusBar) {
    EXPECT_EQ(OpenGLViewport(800, 600, true, 20), QRect(0, 20, 800, 600));
    EXPECT_EQ(OpenGLViewport(1000, 600, true, 20), QRect(100, 20, 800, 600));
    // Too tall: 400 x 300 at the bottom of the area, not centred.
    EXPECT_EQ(OpenGLViewport(400, 600, true, 20), QRect(0, 20, 400, 300));
    EXPECT_EQ(OpenGLViewport(1000, 600, false, 0), QRect(0, 0, 1000, 600));
    EXPECT_EQ(OpenGLViewport(7, 5, true, 0), QRect(0, 0, 6, 5)); // truncating divisions
}

TEST(VideoGeometry, FrameTexelsDoubleNarrowLines) {
    std::vector<uint8_t> frame(240 * 240, 0);
    frame[0] = 0xFF;
    frame[239 * 240 + 239] = 0x01; // any non-zero byte is lit
    std::vector<uint32_t> texels;
    FrameToTexels(frame.data(), 240, 240, texels);
    ASSERT_EQ(texels.size(), static_cast<size_t>(TextureWidth * TextureHeight));
    EXPECT_EQ(texels[0], 0xFFFFFFFFu);
    EXPECT_EQ(texels[1], 0xFFFFFFFFu);
    EXPECT_EQ(texels[2], 0xFF000000u);
    EXPECT_EQ(texels[239 * 480 + 478], 0xFFFFFFFFu);
    EXPECT_EQ(texels[239 * 480 + 479], 0xFFFFFFFFu);
    EXPECT_EQ(texels[239 * 480 + 477], 0xFF000000u);

    std::vector<uint8_t> wide(480 * 240, 0);
    wide[1] = 0xFF; // the 80-column layout fills the texture one to one
    FrameToTexels(wide.data(), 480, 240, texels);
    EXPECT_EQ(texels[0], 0xFF000000u);
    EXPECT_EQ(texels[1], 0xFFFFFFFFu);
    EXPECT_EQ(texels[2], 0xFF000000u);
}

TEST(VideoGeometry, OnlyChangedFramesAreDrawnAgain) {
    std::vector<uint8_t> frame(240 * 240, 0), last;
    EXPECT_TRUE(FrameChanged(last, frame.data(), 240, 240)); // the first frame
    EXPECT_FALSE(FrameChanged(last, frame.data(), 240, 240));
    frame[240 * 240 - 1] = 0xFF; // the last pixel
    EXPECT_TRUE(FrameChanged(last, frame.data(), 240, 240));
    EXPECT_FALSE(FrameChanged(last, frame.data(), 240, 240));
    // The same bytes in another layout are another picture.
    EXPECT_TRUE(FrameChanged(last, frame.data(), 480, 120));
}

// A frame lit in its top-left quarter only.
std::vector<uint8_t> QuarterFrame(int width) {
    std::vector<uint8_t> frame(static_cast<size_t>(width) * 240, 0);
    for (int y = 0; y < 120; y++)
        for (int x = 0; x < width / 2; x++)
            frame[static_cast<size_t>(y) * width + x] = 0xFF;
    return frame;
}

bool Lit(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) > 200; }
bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 50; }

struct ShownView {
    VideoView view;
    QStringList failures;
    explicit ShownView(int w, int h) {
        view.reportFailure = [this](const QString& caption, const QString& text) {
            failures << caption + ": " + text;
        };
        view.resize(w, h);
        view.show();
        QApplication::processEvents();
    }
    QImage show(const std::vector<uint8_t>& frame, int width) {
        view.PresentFrame(frame.data(), width, 240);
        QApplication::processEvents();
        return view.grabPicture();
    }
};

TEST(VideoDrivers, SoftwareStretchesThePicture) {
    ShownView shown(480, 360);
    ASSERT_EQ(shown.view.SelectVideoDriver(VideoSoftware), VideoSoftware);
    const std::vector<uint8_t> frame = QuarterFrame(240);
    QImage image = shown.show(frame, 240);
    ASSERT_EQ(image.size(), QSize(480, 360));
    EXPECT_TRUE(Lit(image, 10, 10));
    EXPECT_TRUE(Lit(image, 230, 170));
    EXPECT_TRUE(Dark(image, 250, 10));
    EXPECT_TRUE(Dark(image, 10, 190));
    EXPECT_TRUE(Dark(image, 470, 350));

    // Without the aspect rule the picture fills a wide area.
    shown.view.setKeepAspect(false);
    shown.view.resize(600, 360);
    QApplication::processEvents();
    image = shown.view.grabPicture();
    EXPECT_TRUE(Lit(image, 5, 10));
    EXPECT_TRUE(Lit(image, 290, 10));
    EXPECT_TRUE(Dark(image, 310, 10));

    // An 80-column picture is 480 pixels wide and fills the same area.
    shown.view.resize(480, 360);
    image = shown.show(QuarterFrame(480), 480);
    EXPECT_TRUE(Lit(image, 230, 10));
    EXPECT_TRUE(Dark(image, 250, 10));
    EXPECT_TRUE(shown.failures.isEmpty());
}

TEST(VideoGeometry, ChangedRowsAreTheBandThatDiffers) {
    std::vector<uint8_t> frame(240 * 240, 0), last;
    EXPECT_EQ(ChangedRows(last, frame.data(), 240, 240).end, 240) << "nothing kept: all of it";
    FrameChanged(last, frame.data(), 240, 240);
    RowSpan rows = ChangedRows(last, frame.data(), 240, 240);
    EXPECT_EQ(rows.end - rows.first, 0) << "the same frame";
    frame[10 * 240 + 5] = 0xFF;   // line 10
    frame[99 * 240 + 239] = 0xFF; // the last pixel of line 99
    rows = ChangedRows(last, frame.data(), 240, 240);
    EXPECT_EQ(rows.first, 10);
    EXPECT_EQ(rows.end, 100);
    frame.assign(frame.size(), 0);
    frame[239 * 240] = 0xFF; // the last line
    rows = ChangedRows(last, frame.data(), 240, 240);
    EXPECT_EQ(rows.first, 239);
    EXPECT_EQ(rows.end, 240);
    rows = ChangedRows(last, frame.data(), 480, 120);
    EXPECT_EQ(rows.first, 0) << "another layout: all of it";
    EXPECT_EQ(rows.end, 120);
}

// Frames that change a line at a time (a blinking cursor, text typed)
// leave on screen exactly what drawing the last frame afresh shows, at
// sizes that do and do not divide evenly.
TEST(VideoDrivers, SoftwareRedrawsChangedLinesAsAWholeFrameWould) {
    for (const QSize size : {QSize(480, 360), QSize(721, 541), QSize(300, 700)}) {
        SCOPED_TRACE(size.width());
        ShownView stepwise(size.width(), size.height());
        ASSERT_EQ(stepwise.view.SelectVideoDriver(VideoSoftware), VideoSoftware);
        std::vector<uint8_t> frame(240 * 240, 0);
        stepwise.show(frame, 240);
        for (int line : {0, 7, 8, 119, 120, 239}) {
            for (int x = line % 5; x < 240; x += 3)
                frame[static_cast<size_t>(line) * 240 + x] = 0xFF;
            stepwise.show(frame, 240);
        }
        frame[8 * 240 + 1] = 0; // a pixel put out again
        const QImage shown = stepwise.show(frame, 240);
        ShownView afresh(size.width(), size.height());
        ASSERT_EQ(afresh.view.SelectVideoDriver(VideoSoftware), VideoSoftware);
        const QImage expected = afresh.show(frame, 240);
        ASSERT_EQ(shown.size(), expected.size());
        EXPECT_TRUE(shown == expected);
        int lit = 0;
        for (int y = 0; y < shown.height(); y++)
            for (int x = 0; x < shown.width(); x++)
                lit += Lit(shown, x, y);
        EXPECT_GT(lit, 0);
    }
}

// The OpenGL back ends draw the picture fitted to 4:3 where a context can be
// had; elsewhere choosing them reports why and ends with the software driver.
TEST(VideoDrivers, OpenGLDriversDrawOrFallBack) {
    const bool glUsable = OpenGLContextUsable(nullptr);
    const std::vector<uint8_t> frame = QuarterFrame(240);
    for (uint32_t driver : {VideoAccelerated, VideoOpenGL}) {
        SCOPED_TRACE(driver);
        ShownView shown(600, 360);
        const uint32_t opened = shown.view.SelectVideoDriver(driver);
        EXPECT_EQ(shown.view.videoDriver(), opened);
        if (!glUsable) {
            EXPECT_EQ(opened, VideoSoftware);
            // One report per driver tried: OpenGL falls back to accelerated first.
            ASSERT_EQ(shown.failures.size(), driver == VideoOpenGL ? 2 : 1);
            EXPECT_TRUE(shown.failures.last().startsWith("Error: "));
            EXPECT_TRUE(shown.failures.last().contains("rendering context"));
        } else {
            EXPECT_EQ(opened, driver);
            EXPECT_TRUE(shown.failures.isEmpty());
        }
        // Whichever driver is open shows the picture: 480 wide at x = 60.
        const QImage image = shown.show(frame, 240);
        ASSERT_EQ(image.size(), QSize(600, 360));
        if (opened != VideoSoftware) {
            EXPECT_TRUE(Dark(image, 30, 10));
            EXPECT_TRUE(Dark(image, 570, 10));
        }
        EXPECT_TRUE(Lit(image, 80, 10));
        EXPECT_TRUE(Lit(image, 280, 160));
        EXPECT_TRUE(Dark(image, 320, 10));
        EXPECT_TRUE(Dark(image, 80, 200));
    }
}

// In a too-tall area the accelerated picture is centred, the OpenGL picture
// sits at the bottom, on the status bar (needs a display with OpenGL).
TEST(VideoDrivers, TallAreaPlacesThePicture) {
    if (!OpenGLContextUsable(nullptr)) GTEST_SKIP() << "no OpenGL windows on this display";
    const std::vector<uint8_t> frame = QuarterFrame(240);
    for (uint32_t driver : {VideoAccelerated, VideoOpenGL}) {
        SCOPED_TRACE(driver);
        ShownView shown(360, 600);
        ASSERT_EQ(shown.view.SelectVideoDriver(driver), driver);
        const QImage image = shown.show(frame, 240);
        const int top = driver == VideoOpenGL ? 600 - 270 : 165; // picture 360 x 270
        EXPECT_TRUE(Dark(image, 10, top - 10));
        EXPECT_TRUE(Lit(image, 10, top + 10));
        EXPECT_TRUE(Dark(image, 10, top + 200));
    }
}

TEST(VideoGeometry, SizingKeepsThePictureAreaAtFourToThree) {
    // The side that changed most leads.
    EXPECT_EQ(AspectCorrectedArea(QSize(720, 540), QSize(900, 560)), QSize(900, 675));
    EXPECT_EQ(AspectCorrectedArea(QSize(720, 540), QSize(730, 300)), QSize(400, 300));

    QMainWindow window;
    auto* view = new VideoView;
    window.setCentralWidget(view);
    window.statusBar()->showMessage("status");
    window.resize(720, 600);
    window.show();
    QApplication::processEvents();
    bool keep = true;
    AspectSizer sizer(
        &window, view, [&keep] { return keep; }, 0);
    const int frameH = window.height() - view->height();

    window.resize(window.width() + 80, window.height() + 10);
    sizer.correct();
    EXPECT_EQ(view->width() * 3, view->height() * 4);
    EXPECT_EQ(window.height() - view->height(), frameH); // menu and status bar unchanged

    keep = false; // aspect not kept: any size stays
    window.resize(1000, 400);
    sizer.correct();
    EXPECT_EQ(view->size(), QSize(1000, 400 - frameH));
}

} // namespace
