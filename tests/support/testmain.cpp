// Test entry point: a Qt application object for the event loop (and, for
// widget tests, the offscreen platform), then GoogleTest.
#include <gtest/gtest.h>

#ifdef VELKAN_TEST_GUI
#include <QApplication>
using TestApp = QApplication;
#else
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef VELKAN_TEST_GUI
    // Test discovery runs the binary without ctest's environment: widgets
    // still need a platform there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApp app(argc, argv);
    return RUN_ALL_TESTS();
}
