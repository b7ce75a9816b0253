#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    // These tests are about the real X server; they must not fall back to another platform.
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fputs("these tests need an X server: run them through with_xvfb.sh\n", stderr);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
