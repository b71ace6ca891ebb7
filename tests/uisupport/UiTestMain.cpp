#include <gtest/gtest.h>

#include <QApplication>

#include "widgets/AppIcons.h"

// Entry point of the UI tests: one QApplication for all tests, on the offscreen platform
// unless the caller chose another (for example xcb under Xvfb).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    ostrel::InitAppResources();
    return RUN_ALL_TESTS();
}
