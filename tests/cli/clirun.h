#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// velkan-cli run to its end: its exit status (-1 when it crashed) and what it printed.
struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

// dataHome: where its per-user data (the service history) goes; tests never
// let it reach the user's own folder.
inline CliRun runCli(const QStringList &arguments, const QString &dataHome)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VELKAN_CLI), arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << qPrintable(arguments.join(' '));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}
