#include <QApplication>
#include <gtest/gtest.h>

// One QApplication for every test program, on the offscreen platform, so
// windows are real widgets without a display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
