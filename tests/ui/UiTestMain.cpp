#include <gtest/gtest.h>

#include <QApplication>

#ifdef OSTREL_HAS_RESOURCES
// The icons live in the static UI library; its resources are registered explicitly.
static void InitResources() {
    Q_INIT_RESOURCE(resources);
}
#endif

// Entry point of the UI tests: one QApplication for all tests, on the offscreen platform
// unless the caller chose another (for example xcb under Xvfb).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
#ifdef OSTREL_HAS_RESOURCES
    InitResources();
#endif
    return RUN_ALL_TESTS();
}
