#include <QCoreApplication>
#include <gtest/gtest.h>

// One QCoreApplication for every core test program: no display, no widgets.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
