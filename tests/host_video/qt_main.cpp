// Runs the tests inside a QApplication on the offscreen platform.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ORVANE_TEST_PLATFORM (e.g. xcb under Xvfb) tries the tests on a real display.
    const QByteArray platform = qgetenv("ORVANE_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
