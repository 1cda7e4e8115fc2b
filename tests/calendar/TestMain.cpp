#include <gtest/gtest.h>

#include <QApplication>

// The calendar's tests draw and click offscreen, on the offscreen platform's
// 800 x 600 screen.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
