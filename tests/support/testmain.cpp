// Test entry point: a Qt application object for the event loop (and, for
// widget tests, the offscreen platform), then GoogleTest.
#include <gtest/gtest.h>

#ifdef VELKAN_TEST_GUI
#include <QApplication>
#include <QFontDatabase>
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
#ifdef VELKAN_TEST_GUI
    // Layouts are measured in fonts the deps script installs, never in what
    // the machine's font configuration happens to resolve: a test gives the
    // same sizes whatever other fonts a developer's tools have brought in.
    QFont proportional = QApplication::font();
    proportional.setFamilies({QStringLiteral("DejaVu Sans")});
    QApplication::setFont(proportional);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setFamilies({QStringLiteral("DejaVu Sans Mono")});
    QApplication::setFont(fixed, "DigitDisplay");
#endif
    return RUN_ALL_TESTS();
}
