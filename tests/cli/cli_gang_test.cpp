// velkan-cli provision over several ports at once, each with its own
// velkan-sim, sharing one table and one report.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <memory>
#include <vector>

#include "../support/pseudoterminal.h"
#include "clirun.h"
#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "link/simulatedunit.h"

namespace {

constexpr quint32 kFeatures = Feature::RetrySettings | Feature::MathChannels | Feature::WideChannelMask
                              | Feature::FastLineAck | Feature::ExtendedPhoneMask | Feature::GprsSettings
                              | Feature::DigitalNormallyClosed;

class CliGangTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pseudoTerminalsWork())
            GTEST_SKIP() << "pseudo-terminals are not available";
        ASSERT_TRUE(dir.isValid());
        writeFile("units.csv", "serial,name,retry_time\nVS-1,Alpha,21\nVS-2,Beta,22\nVS-3,Gamma,23\nVS-4,Delta,24\n");
        const SimulatedUnit &unit = startUnit("VS-0", "template-unit");
        ASSERT_EQ(runCli({"--port", unit.devicePath(), "read-config", path("template.qcf")}, path("data")).status, 0);
        units.clear();
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // A unit on the port named `port` in the test's folder.
    SimulatedUnit &startUnit(const QString &serial, const QString &port, const QStringList &extra = {})
    {
        auto &sim = *units.emplace_back(std::make_unique<SimulatedUnit>());
        sim.setProgram(QStringLiteral(VELKAN_SIM));
        sim.setArguments(QStringList{"--features", QString::number(kFeatures), "--serial", serial, "--link", path(port)}
                         + extra);
        EXPECT_TRUE(sim.start()) << qPrintable(sim.errorString());
        return sim;
    }

    QStringList provisionArguments(const QStringList &ports)
    {
        QStringList arguments{"--timeout", "300"};
        for (const QString &port : ports)
            arguments << "--port" << path(port);
        return arguments + QStringList{"provision", path("template.qcf"), path("units.csv"), "--report",
                                       path("report.csv"), "--progress", "json"};
    }

    static QList<QJsonObject> events(const QString &out)
    {
        QList<QJsonObject> list;
        for (const QString &line : out.split('\n', Qt::SkipEmptyParts))
            list << QJsonDocument::fromJson(line.toUtf8()).object();
        return list;
    }

    // The report's rows after the header, as their serial and status.
    QStringList reportRows() const
    {
        QFile file(path("report.csv"));
        QStringList rows;
        if (file.open(QIODevice::ReadOnly))
            for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts).mid(1))
                rows << line.section(',', 1, 2);
        rows.sort();
        return rows;
    }

    // Whether the unit holds the template with `name` and `retry`, read back.
    void expectHolds(const SimulatedUnit &unit, const QString &name, const QString &retry)
    {
        IniDocument expected;
        ASSERT_TRUE(expected.load(path("template.qcf")));
        expected.writeValue("General", "NOMBRE", name);
        expected.writeValue("General", "RENVT", retry);
        ASSERT_TRUE(expected.save(path("expected.qcf")));
        const QStringList read{"--port", unit.devicePath(), "--no-history", "read-config", path("held.qcf")};
        ASSERT_EQ(runCli(read, path("data")).status, 0);
        const CliRun diff = runCli({"diff", path("expected.qcf"), path("held.qcf")}, path("data"));
        EXPECT_EQ(diff.status, 0) << qPrintable(name) << '\n' << qPrintable(diff.out);
    }

    int historyCopies(const QString &serial) const
    {
        return int(QDir(path("data/velkan-sarn/history/" + serial)).entryList(QDir::Files).size());
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<SimulatedUnit>> units;
};

// Four units on four ports at once: each is written once with its own row,
// has one applied row and one history copy, and the run ends by itself once
// the table is done, with a progress line for every step of every port.
TEST_F(CliGangTest, FourPortsWriteFourUnitsAtOnce)
{
    const QStringList ports{"p1", "p2", "p3", "p4"};
    for (int i = 0; i < 4; ++i)
        startUnit(QStringLiteral("VS-%1").arg(i + 1), ports.at(i));
    const CliRun run = runCli(provisionArguments(ports), path("data"));
    EXPECT_EQ(run.status, 0) << qPrintable(run.err);

    QMap<QString, QStringList> states; // by port, leaving out the waits
    for (const QJsonObject &e : events(run.out)) {
        const QString port = QFileInfo(e.value("port").toString()).fileName();
        if (e.value("state") != "waiting")
            states[port] << e.value("state").toString() + u' ' + e.value("serial").toString();
        if (e.value("state") == "applied") {
            EXPECT_EQ(e.value("differences").toInt(-1), 0);
            EXPECT_TRUE(QFile::exists(e.value("history").toString())) << qPrintable(e.value("history").toString());
        }
    }
    for (int i = 0; i < 4; ++i) {
        const QString serial = QStringLiteral("VS-%1").arg(i + 1);
        EXPECT_EQ(states.value(ports.at(i)),
                  (QStringList{"writing " + serial, "applied " + serial, "ended "}))
            << qPrintable(run.out);
    }
    EXPECT_EQ(reportRows(), (QStringList{"VS-1,applied", "VS-2,applied", "VS-3,applied", "VS-4,applied"}));
    const QStringList names{"Alpha", "Beta", "Gamma", "Delta"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(historyCopies(QStringLiteral("VS-%1").arg(i + 1)), 1);
        expectHolds(*units.at(i), names.at(i), QString::number(21 + i));
    }
}

// One serial on two ports at the same time is written on one of them; the
// other gets a refused row, is sent nothing, and makes the status 1.
TEST_F(CliGangTest, ASerialOnTwoPortsAtOnceIsWrittenOnce)
{
    writeFile("units.csv", "serial,name,retry_time\nVS-1,Alpha,21\n");
    // Slow answers keep the first write going while the other port meets the unit.
    const SimulatedUnit &a = startUnit("VS-1", "p1", {"--slow", "20"});
    const SimulatedUnit &b = startUnit("VS-1", "p2", {"--slow", "20"});
    const CliRun run = runCli(provisionArguments({"p1", "p2"}), path("data"));
    EXPECT_EQ(run.status, 1) << qPrintable(run.err);

    QString appliedOn;
    QString refusedOn;
    for (const QJsonObject &e : events(run.out)) {
        if (e.value("state") == "applied")
            appliedOn = e.value("port").toString();
        if (e.value("state") == "skipped") {
            refusedOn = e.value("port").toString();
            EXPECT_EQ(e.value("detail").toString(), "being written on another port at the same time; nothing was sent");
        }
    }
    ASSERT_FALSE(appliedOn.isEmpty()) << qPrintable(run.out);
    ASSERT_FALSE(refusedOn.isEmpty()) << qPrintable(run.out);
    EXPECT_NE(appliedOn, refusedOn);
    EXPECT_EQ(reportRows(), (QStringList{"VS-1,applied", "VS-1,skipped"}));
    EXPECT_EQ(historyCopies("VS-1"), 1);
    expectHolds(appliedOn == path("p1") ? a : b, "Alpha", "21");
    // A second run finds the unit applied, whichever port it is on.
    const CliRun rerun = runCli(provisionArguments({"p1", "p2"}), path("data"));
    EXPECT_EQ(rerun.status, 0) << qPrintable(rerun.err);
    EXPECT_EQ(reportRows().size(), 2);
}

// A unit whose simulator is killed during its upload fails; the other port
// applies its unit and goes on, and the run, stopped, ends with status 1.
TEST_F(CliGangTest, AUnitLostOnOnePortDoesNotStopTheOther)
{
    writeFile("units.csv", "serial,name,retry_time\nVS-1,Alpha,21\nVS-2,Beta,22\nVS-3,Gamma,23\n");
    startUnit("VS-1", "p1");
    SimulatedUnit &lost = startUnit("VS-2", "p2", {"--slow", "50"});
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", path("data"));
    cli.setProcessEnvironment(environment);
    cli.start(VELKAN_CLI, provisionArguments({"p1", "p2"}));
    QList<QJsonObject> seenEvents;
    // Waits for the event of `serial` reaching `state`.
    const auto seen = [&](const QString &state, const QString &serial) {
        const auto has = [&] {
            for (const QJsonObject &e : std::as_const(seenEvents))
                if (e.value("state") == state && e.value("serial") == serial)
                    return true;
            return false;
        };
        return QTest::qWaitFor([&] {
            while (cli.canReadLine())
                seenEvents << QJsonDocument::fromJson(cli.readLine()).object();
            return has();
        }, 60000);
    };
    ASSERT_TRUE(seen("writing", "VS-2"));
    lost.stop();
    EXPECT_TRUE(seen("failed", "VS-2"));
    EXPECT_TRUE(seen("applied", "VS-1"));
    // The other port still serves: a unit plugged into it now is written too.
    startUnit("VS-3", "p1");
    EXPECT_TRUE(seen("applied", "VS-3"));
    cli.terminate();
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_EQ(reportRows(), (QStringList{"VS-1,applied", "VS-2,failed", "VS-3,applied"}));
}

} // namespace

// Where no lock file can be made beside the report, ports could not keep
// each other from writing the same unit: nothing starts.
TEST_F(CliGangTest, NoLockBesideTheReportSendsNothing)
{
    writeFile("units.csv", "serial,name\nVS-1,Alpha\n");
    QStringList arguments = provisionArguments({"p1", "p2"});
    arguments[arguments.indexOf(path("report.csv"))] = QStringLiteral("/proc/velkan-no-lock/report.csv");
    const CliRun run = runCli(arguments, path("data"));
    EXPECT_EQ(run.status, 3) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QLatin1String("No lock file can be made"))) << qPrintable(run.err);
}

// One device given by two names (a link to it, a relative path) is refused
// as a port given twice: two workers on one line would garble each other.
TEST_F(CliGangTest, OneDeviceUnderTwoNamesIsRefused)
{
    writeFile("units.csv", "serial,name\nVS-1,Alpha\n");
    writeFile("p1", {});
    ASSERT_TRUE(QFile::link(path("p1"), path("alias")));
    const CliRun run = runCli(provisionArguments({"p1", "alias"}), path("data"));
    EXPECT_EQ(run.status, 2) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QLatin1String("given twice"))) << qPrintable(run.err);
}
