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
    TestApp app(argc, argv);
    return RUN_ALL_TESTS();
}
