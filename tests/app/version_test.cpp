#include <gtest/gtest.h>

#include <QProcess>

#include "shell/mainwindow.h"

namespace {

// What each program shows as its version comes from the project's version in
// CMake, which the build passes here on its own.
TEST(Version, ProgramsPrintTheProjectVersion)
{
    const struct {
        const char *program;
        QString name;
    } programs[] = {{VELKAN_CLI, QStringLiteral("velkan-cli")}, {VELKAN_SIM, QStringLiteral("velkan-sim")}};
    for (const auto &p : programs) {
        QProcess process;
        process.start(QString::fromUtf8(p.program), {QStringLiteral("--version")});
        ASSERT_TRUE(process.waitForFinished(30000)) << qPrintable(p.name);
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << qPrintable(p.name);
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
                  p.name + QStringLiteral(" " VELKAN_PROJECT_VERSION "\n"));
    }
}

TEST(Version, CaptionShowsTheProjectVersion)
{
    EXPECT_EQ(MainWindow::caption(), QStringLiteral("Orvane Velkan Sarn v" VELKAN_PROJECT_MAJOR_MINOR));
}

} // namespace
