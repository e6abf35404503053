#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

// velkan-cli run to its end: its exit status (-1 when it crashed) and what it printed.
struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VELKAN_CLI), arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << qPrintable(arguments.join(' '));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}
