#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <memory>
#include <vector>

#include <csignal>

#include "../support/pseudoterminal.h"
#include "clirun.h"
#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "link/simulatedunit.h"

namespace {

constexpr quint32 kFeatures = Feature::RetrySettings | Feature::MathChannels | Feature::WideChannelMask
                              | Feature::FastLineAck | Feature::ExtendedPhoneMask | Feature::GprsSettings
                              | Feature::DigitalNormallyClosed;

const QByteArray kUnits = "serial;name;GPRS.APN_SERVER;retry_time\r\n"
                          "VS-1;Alpha;apn.one;20\r\n"
                          "VS-2;Beta;;\r\n"
                          "VS-3;Gamma;apn.three;45\r\n";

// velkan-cli provision on a fixed port name that each simulated unit takes
// over in turn, as a USB adapter plugged into the next unit would.
class CliProvisionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pseudoTerminalsWork())
            GTEST_SKIP() << "pseudo-terminals are not available";
        ASSERT_TRUE(dir.isValid());
        QFile table(path("units.csv"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write(kUnits);
        table.close();
        // The template is what a unit holds.
        startUnit("VS-0");
        ASSERT_EQ(runCli({"--port", link(), "read-config", path("template.qcf")}, path("data")).status, 0);
        units.clear();
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString link() const { return path("unit"); }

    // A unit that takes the port name over; earlier ones keep running on
    // their own device path.
    SimulatedUnit &startUnit(const QString &serial, QStringList extra = {})
    {
        auto &sim = *units.emplace_back(std::make_unique<SimulatedUnit>());
        sim.setProgram(QStringLiteral(VELKAN_SIM));
        sim.setArguments(QStringList{"--features", QString::number(kFeatures)} + extra
                         + QStringList{"--serial", serial, "--link", link()});
        EXPECT_TRUE(sim.start()) << qPrintable(sim.errorString());
        return sim;
    }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void startProvision(const QStringList &options = {}, const QString &report = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", path("data"));
        cli.setProcessEnvironment(environment);
        cli.start(VELKAN_CLI, QStringList{"--port", link(), "--timeout", "300", "provision", path("template.qcf"),
                                          path("units.csv"), "--report", report.isEmpty() ? path("report.csv") : report}
                                  + options);
        ASSERT_TRUE(cli.waitForStarted());
    }

    // The next result line velkan-cli prints: serial, status, history file or reason.
    QStringList nextResult()
    {
        while (!cli.canReadLine())
            if (!cli.waitForReadyRead(60000))
                return {};
        return QString::fromUtf8(cli.readLine()).trimmed().split('\t');
    }

    // Connects a unit and waits until velkan-cli has written it; its result line.
    QStringList provisionUnit(const QString &serial, const QStringList &extra = {})
    {
        startUnit(serial, extra);
        return nextResult();
    }

    // Whether the unit holds the template with its row, downloaded again.
    void expectHolds(const SimulatedUnit &unit, const QList<std::pair<QString, QString>> &values)
    {
        IniDocument expected;
        ASSERT_TRUE(expected.load(path("template.qcf")));
        for (const auto &[key, value] : values)
            expected.writeValue(key.section('.', 0, 0), key.section('.', 1), value);
        ASSERT_TRUE(expected.save(path("expected.qcf")));
        const QStringList read{"--port", unit.devicePath(), "--no-history", "read-config", path("held.qcf")};
        EXPECT_EQ(runCli(read, path("data")).status, 0);
        const CliRun diff = runCli({"diff", path("expected.qcf"), path("held.qcf")}, path("data"));
        EXPECT_EQ(diff.status, 0) << qPrintable(unit.devicePath()) << '\n' << qPrintable(diff.out);
    }

    // What velkan-cli has printed on standard error once `words` are in it.
    QString errorUntil(const QString &words)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] {
            error += QString::fromUtf8(cli.readAllStandardError());
            return error.contains(words);
        }, 60000)) << qPrintable(words);
        return error;
    }

    QStringList reportLines() const
    {
        QFile file(path("report.csv"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                              : QStringList();
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<SimulatedUnit>> units;
    QProcess cli;
    QString error;
};

// Three units one after another each end holding the template with their own
// row, each with a history copy and a report line; the run then ends by itself.
// A second run has nothing left to write.
TEST_F(CliProvisionTest, WritesEachUnitItsRowAndReportsIt)
{
    startProvision();
    for (const QString serial : {"VS-1", "VS-2", "VS-3"}) {
        const QStringList result = provisionUnit(serial);
        ASSERT_EQ(result.size(), 3) << qPrintable(cli.readAllStandardError());
        EXPECT_EQ(result.at(0), serial);
        EXPECT_EQ(result.at(1), "applied") << qPrintable(result.at(2));
        EXPECT_TRUE(QFile::exists(result.at(2))) << qPrintable(result.at(2));
    }
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << qPrintable(cli.readAllStandardError());

    expectHolds(*units.at(0), {{"General.NOMBRE", "Alpha"}, {"GPRS.APN_SERVER", "apn.one"}, {"General.RENVT", "20"}});
    expectHolds(*units.at(1), {{"General.NOMBRE", "Beta"}});
    expectHolds(*units.at(2), {{"General.NOMBRE", "Gamma"}, {"GPRS.APN_SERVER", "apn.three"}, {"General.RENVT", "45"}});

    const QStringList report = reportLines();
    ASSERT_EQ(report.size(), 4);
    EXPECT_EQ(report.at(0), "time,serial,status,differences,history,detail");
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(report.at(i).contains(QStringLiteral(",VS-%1,applied,0,").arg(i))) << qPrintable(report.at(i));
    for (const QString serial : {"VS-1", "VS-2", "VS-3"})
        EXPECT_EQ(QDir(path("data/velkan-sarn/history/" + serial)).entryList(QDir::Files).size(), 1) << qPrintable(serial);

    // A rerun finds every unit applied and writes nothing.
    const CliRun rerun = runCli({"--port", link(), "--timeout", "300", "provision", path("template.qcf"),
                                 path("units.csv"), "--report", path("report.csv")},
                                path("data"));
    EXPECT_EQ(rerun.status, 0) << qPrintable(rerun.err);
    EXPECT_EQ(reportLines(), report);
}

// A unit that refuses the upload, or cannot take a value of its row, gets a
// failed line and the queue goes on; a unit not in the table is skipped; the
// run ends on SIGTERM with status 1.
TEST_F(CliProvisionTest, AFailedUnitDoesNotStopTheQueue)
{
    startProvision();
    EXPECT_EQ(provisionUnit("VS-1").value(1), "applied");
    EXPECT_EQ(provisionUnit("VS-2", {"--refuse-line", "3", "--refuse-attempts", "99"}).value(1), "failed");
    // A unit whose firmware has no GPRS settings cannot take an APN: nothing is sent to it.
    const QStringList noGprs = provisionUnit("VS-3", {"--features", QString::number(kFeatures & ~Feature::GprsSettings)});
    EXPECT_EQ(noGprs.value(1), "failed");
    EXPECT_EQ(noGprs.value(2), "the unit does not take GPRS.APN_SERVER; nothing was sent");
    EXPECT_EQ(provisionUnit("VS-9"), (QStringList{"VS-9", "skipped", "not in the units table"}));
    EXPECT_EQ(provisionUnit("VS-3").value(1), "applied");
    cli.terminate();
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 1);
    const QStringList report = reportLines();
    ASSERT_EQ(report.size(), 6);
    EXPECT_TRUE(report.at(2).contains(",VS-2,failed,")) << qPrintable(report.at(2));

    // The next run skips the units applied and ends once the last one is.
    startProvision();
    EXPECT_EQ(provisionUnit("VS-1"), (QStringList{"VS-1", "skipped", "applied before"}));
    EXPECT_EQ(provisionUnit("VS-2").value(1), "applied");
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0);
}

// Through a modem, each unit of the table is called at its number in turn;
// a unit that answers with another serial is not written.
TEST_F(CliProvisionTest, CallsEachUnitThroughTheModem)
{
    QFile table(path("units.csv"));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("serial,phone,name\nVS-1,+34600111001,Alpha\nVS-2,+34600111002,Beta\n");
    table.close();
    const SimulatedUnit &unit = startUnit("VS-1", {"--modem", "--key", "4321"});
    const CliRun run = runCli({"--port", unit.devicePath(), "--key", "4321", "--timeout", "300", "provision",
                               path("template.qcf"), path("units.csv"), "--modem-column", "phone"},
                              path("data"));
    EXPECT_EQ(run.status, 1) << qPrintable(run.err);
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(run.out);
    EXPECT_TRUE(lines.at(0).startsWith("VS-1\tapplied\t")) << qPrintable(lines.at(0));
    EXPECT_EQ(lines.at(1), "VS-2\tfailed\tunit VS-1 answered at +34600111002; nothing was sent");
    QFile report(path("units-report.csv")); // beside the table when not named
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_EQ(report.readAll().count('\n'), 3);
}

// Options that would call one number for ever or write the report over the
// command's own input are refused before anything is sent.
TEST_F(CliProvisionTest, RefusesARunThatWouldLoopOrWriteOverItsInput)
{
    struct Case {
        const char *what;
        QStringList options;
        const char *words;
    };
    QDir(dir.path()).mkdir("sub");
    const QList<Case> cases = {
        {"a modem number without the column", {"--modem", "+34600111001", "--key", "4321"}, "--modem-column"},
        {"the table as the report", {"--report", path("sub/../units.csv")}, "the units table"},
        {"the template as the report", {"--report", path("./template.qcf")}, "the template"},
    };
    const QByteArray table = kUnits;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = runCli(QStringList{"--port", link(), "provision", path("template.qcf"), path("units.csv")} + c.options,
                                  path("data"));
        EXPECT_EQ(run.status, 2) << qPrintable(run.err);
        EXPECT_TRUE(run.err.contains(c.words)) << qPrintable(run.err);
        QFile units(path("units.csv"));
        ASSERT_TRUE(units.open(QIODevice::ReadOnly));
        EXPECT_EQ(units.readAll(), table);
        EXPECT_FALSE(QFile::exists(path("units-report.csv")));
    }
}

// With --again a unit the report has as applied is written once more, with
// its line and its history copy; the run ends once each unit was written.
TEST_F(CliProvisionTest, AgainWritesAUnitAppliedBefore)
{
    writeFile("units.csv", "serial,name\nVS-1,Omega\n");
    writeFile("report.csv", "time,serial,status,differences,history,detail\n2026-01-01T10:00:00Z,VS-1,applied,0,,\n");
    startProvision({"--again"});
    EXPECT_EQ(provisionUnit("VS-1").value(1), "applied");
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << qPrintable(cli.readAllStandardError());
    expectHolds(*units.at(0), {{"General.NOMBRE", "Omega"}});
    const QStringList report = reportLines();
    ASSERT_EQ(report.size(), 3);
    EXPECT_TRUE(report.at(2).contains(",VS-1,applied,0,")) << qPrintable(report.at(2));
    EXPECT_EQ(QDir(path("data/velkan-sarn/history/VS-1")).entryList(QDir::Files).size(), 1);
}

// A report line that cannot be written stops the run after its unit with
// status 1; the line goes to standard error instead.
TEST_F(CliProvisionTest, AnUnwritableReportStopsTheRunAfterOneUnit)
{
    startProvision({}, path("no-such-folder/report.csv"));
    EXPECT_EQ(provisionUnit("VS-1").value(1), "applied");
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 1);
    const QString err = errorUntil("");
    EXPECT_TRUE(err.contains("The run stops")) << qPrintable(err);
    EXPECT_TRUE(err.contains(",VS-1,applied,0,")) << qPrintable(err);
    EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
}

// Ctrl-C while a unit is written is taken once: one message, and the run
// ends once the unit is done.
TEST_F(CliProvisionTest, ASignalDuringAWriteIsTakenOnce)
{
    startProvision();
    startUnit("VS-1", {"--slow", "5"});
    errorUntil("Unit VS-1: writing.");
    ::kill(pid_t(cli.processId()), SIGINT);
    ::kill(pid_t(cli.processId()), SIGINT);
    EXPECT_EQ(nextResult().value(1), "applied");
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(errorUntil("").count("Stopping after the current unit."), 1) << qPrintable(error);
}

// A table and a report a spreadsheet saved with semicolons and empty rows:
// the unit the report has as applied is skipped, the next one written, and
// the report goes on in semicolons.
TEST_F(CliProvisionTest, ASpreadsheetsTableAndReportAreReadAsWritten)
{
    writeFile("units.csv", "serial;name\r\n;\r\nVS-1;Alpha\r\n;\r\nVS-2;Beta\r\n;\r\n;\r\n");
    const QByteArray report = "time;serial;status;differences;history;detail\r\n"
                              "2026-01-01T10:00:00Z;VS-1;applied;0;;\r\n;;;;;\r\n";
    writeFile("report.csv", report);
    startProvision();
    EXPECT_EQ(provisionUnit("VS-1"), (QStringList{"VS-1", "skipped", "applied before"}));
    EXPECT_EQ(provisionUnit("VS-2").value(1), "applied");
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << qPrintable(cli.readAllStandardError());
    const QStringList lines = reportLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines.at(3).endsWith(";VS-1;skipped;0;;applied before\r")) << qPrintable(lines.at(3));
    EXPECT_TRUE(lines.at(4).contains(";VS-2;applied;0;")) << qPrintable(lines.at(4));
}

// A table with faults stops the command before any unit is touched.
TEST_F(CliProvisionTest, ABadTableSendsNothing)
{
    QFile table(path("units.csv"));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("serial,name,colour,retry_time\nVS-1,a,red,ten\nVS-1,b,,\n");
    table.close();
    const CliRun run = runCli({"--port", link(), "provision", path("template.qcf"), path("units.csv")}, path("data"));
    EXPECT_EQ(run.status, 3);
    const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << qPrintable(run.err);
    EXPECT_TRUE(lines.at(0).endsWith("units.csv:1:3: unknown column \"colour\"")) << qPrintable(lines.at(0));
    EXPECT_TRUE(lines.at(1).contains("units.csv:2:4: ")) << qPrintable(lines.at(1));
    EXPECT_TRUE(lines.at(2).contains("units.csv:3:1: serial VS-1 is on line 2")) << qPrintable(lines.at(2));
    EXPECT_FALSE(QFile::exists(path("units-report.csv")));
}

} // namespace
