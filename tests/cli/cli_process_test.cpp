#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "../support/hextext.h"
#include "../support/pseudoterminal.h"
#include "clirun.h"
#include "files/configfile.h"
#include "files/inidocument.h"
#include "files/linetexts.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "link/simulatedunit.h"
#include "model/configstore.h"
#include "model/product.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"

namespace {

// The unit's capabilities in every test: the extended phone mask and the
// retry settings change what an upload carries.
constexpr quint32 kFeatures = Feature::RetrySettings | Feature::MathChannels | Feature::WideChannelMask
                              | Feature::FastLineAck | Feature::ExtendedPhoneMask;
// A unit that runs a macro on a call from its voice-call list.
constexpr quint32 kVoiceFeatures = kFeatures | Feature::MissedCallMacro;


class CliProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pseudoTerminalsWork())
            GTEST_SKIP() << "pseudo-terminals are not available";
        ASSERT_TRUE(dir.isValid());
        sim.setProgram(QStringLiteral(VELKAN_SIM));
    }

    void startSim(QStringList arguments = {}, quint32 features = kFeatures)
    {
        arguments << QStringLiteral("--features") << QString::number(features) << QStringLiteral("--log")
                  << path(QStringLiteral("log.json"));
        sim.setArguments(arguments);
        ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    }

    // Runs velkan-cli on the simulated unit's port (or without one), with the
    // link's short timings: the simulated unit answers at once.
    CliRun cli(QStringList arguments, bool withPort = true)
    {
        if (withPort)
            arguments = QStringList{QStringLiteral("--port"), sim.devicePath(), QStringLiteral("--fast-link")} + arguments;
        return runCli(arguments, path(QStringLiteral("data")));
    }

    // What the unit received, once it has ended and written its log. The
    // log is first written when something arrives: no file, nothing received.
    QJsonObject unitLog()
    {
        sim.stop();
        QFile file(path(QStringLiteral("log.json")));
        if (!file.exists())
            return {};
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QTemporaryDir dir;
    SimulatedUnit sim;
};

TEST_F(CliProcessTest, InfoShowsIdentityFeaturesAndClockOffset)
{
    startSim({QStringLiteral("--state"),
              writeFile(QStringLiteral("state.json"), R"({"clockOffsetSeconds": -3600, "serialNumber": "VS21-000777"})")});

    const CliRun json = cli({QStringLiteral("info"), QStringLiteral("--json")});
    ASSERT_EQ(json.status, 0) << qPrintable(json.err);
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(o[QLatin1String("serial")].toString(), QStringLiteral("VS21-000777"));
    EXPECT_DOUBLE_EQ(o[QLatin1String("firmware")].toDouble(), 4.12);
    EXPECT_EQ(o[QLatin1String("features_value")].toInteger(), kFeatures);
    const QJsonObject features = o[QLatin1String("features")].toObject();
    EXPECT_EQ(features.size(), int(std::size(Feature::kNames)));
    for (const Feature::Named &f : Feature::kNames)
        EXPECT_EQ(features[QLatin1String(f.name)].toBool(), (kFeatures & f.bit) != 0) << f.name;
    EXPECT_NEAR(o[QLatin1String("clock_offset_seconds")].toInteger(), -3600, 5);
    const QDateTime clock = QDateTime::fromString(o[QLatin1String("clock")].toString(), Qt::ISODate);
    EXPECT_NEAR(QDateTime::currentDateTime().secsTo(clock), -3600, 5);

    const CliRun text = cli({QStringLiteral("info")});
    ASSERT_EQ(text.status, 0) << qPrintable(text.err);
    const QStringList lines = text.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains(QStringLiteral("serial: VS21-000777"))) << qPrintable(text.out);
    EXPECT_TRUE(lines.contains(QStringLiteral("features: ExtendedPhoneMask FastLineAck MathChannels "
                                              "RetrySettings WideChannelMask")))
        << qPrintable(text.out);
    EXPECT_TRUE(text.out.contains(QStringLiteral("clock_offset_seconds: -36"))) << qPrintable(text.out);
}

// Each read-config and write-config leaves a copy under the unit's serial
// number, listed newest first; --no-history leaves none.
TEST_F(CliProcessTest, TransfersKeepAServiceHistoryThatHistoryLists)
{
    startSim({QStringLiteral("--state"), writeFile(QStringLiteral("state.json"), R"({"serialNumber": "VS21-0042"})")});
    const QString file = path(QStringLiteral("unit.qcf"));
    const CliRun untracked = cli({QStringLiteral("--no-history"), QStringLiteral("read-config"), file});
    ASSERT_EQ(untracked.status, 0) << qPrintable(untracked.err);
    EXPECT_EQ(cli({QStringLiteral("history")}, false).out, QString());

    ASSERT_EQ(cli({QStringLiteral("read-config"), file}).status, 0);
    ASSERT_EQ(cli({QStringLiteral("--technician"), QStringLiteral("Ana Ruiz <ana@example.org>"),
                   QStringLiteral("write-config"), file})
                  .status,
              0);
    const CliRun units = cli({QStringLiteral("history")}, false);
    EXPECT_EQ(units.status, 0);
    EXPECT_EQ(units.out, QStringLiteral("VS21-0042\n"));

    const CliRun listed = cli({QStringLiteral("history"), QStringLiteral("VS21-0042")}, false);
    EXPECT_EQ(listed.status, 0);
    const QStringList lines = listed.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(listed.out);
    const QString folder = path(QStringLiteral("data/velkan-sarn/history/VS21-0042/"));
    const QStringList kinds = {QStringLiteral("write"), QStringLiteral("read")};
    for (int i = 0; i < 2; ++i) {
        const QStringList fields = lines.at(i).split(u'\t');
        ASSERT_EQ(fields.size(), 4) << qPrintable(lines.at(i));
        const QDateTime time = QDateTime::fromString(fields.at(0), Qt::ISODate);
        EXPECT_EQ(time.timeSpec(), Qt::UTC) << qPrintable(fields.at(0));
        EXPECT_LE(qAbs(time.secsTo(QDateTime::currentDateTimeUtc())), 120);
        EXPECT_EQ(fields.at(1), kinds.at(i));
        EXPECT_TRUE(fields.at(2).startsWith(folder)) << qPrintable(fields.at(2));
        EXPECT_TRUE(QFile::exists(fields.at(2)));
        EXPECT_FALSE(fields.at(3).isEmpty());
    }
    EXPECT_EQ(lines.at(0).section(u'\t', 3), QStringLiteral("Ana Ruiz"));
    EXPECT_EQ(cli({QStringLiteral("history"), QStringLiteral("a"), QStringLiteral("b")}, false).status, 2);
    // A technician no commit can carry is refused before the unit is touched.
    for (const char *bad : {"Ana\nRuiz", "Ana <Ruiz", "Ana <>", "Ana\tRuiz <ana@example.org>", "Ana <a>b>", "<ana@x>"}) {
        const CliRun refused = cli({QStringLiteral("--technician"), QString::fromUtf8(bad), QStringLiteral("write-config"), file});
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_TRUE(refused.err.contains(QStringLiteral("--technician"))) << qPrintable(refused.err);
    }
    EXPECT_EQ(cli({QStringLiteral("history"), QStringLiteral("VS21-0042")}, false).out.count(u'\n'), 2);

    // The fleet and the key's last change name the write and its technician.
    const CliRun fleet = cli({QStringLiteral("units")}, false);
    ASSERT_EQ(fleet.status, 0) << qPrintable(fleet.err);
    const QStringList rows = fleet.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 2) << qPrintable(fleet.out);
    const QStringList row = rows.at(1).split(u'\t');
    ASSERT_EQ(row.size(), 7) << qPrintable(rows.at(1));
    EXPECT_EQ(row.at(0), QStringLiteral("VS21-0042"));
    EXPECT_EQ(row.at(2), QStringLiteral("write"));
    EXPECT_EQ(row.at(4), QStringLiteral("Ana Ruiz"));
    EXPECT_EQ(row.at(5), QStringLiteral("4.12"));
    EXPECT_EQ(row.at(6), QStringLiteral("not checked"));
    const CliRun who = cli({QStringLiteral("history"), QStringLiteral("who"), QStringLiteral("VS21-0042"),
                            QStringLiteral("GENERAL.NOMBRE")},
                           false);
    ASSERT_EQ(who.status, 0) << qPrintable(who.err);
    EXPECT_EQ(who.out.section(u'\t', 2, 2), QStringLiteral("read")) << qPrintable(who.out);

    // Shared with a bare repository on disk: both copies sent, then nothing.
    const QString bare = path(QStringLiteral("team.git"));
    QProcess init;
    init.start(QStringLiteral("git"), {QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("--bare"), bare});
    if (!init.waitForFinished(60000) || init.exitCode() != 0)
        GTEST_SKIP() << "no git program to make the remote";
    ASSERT_EQ(cli({QStringLiteral("history"), QStringLiteral("remote"), bare}, false).status, 0);
    const CliRun sync = cli({QStringLiteral("history"), QStringLiteral("sync")}, false);
    EXPECT_EQ(sync.status, 0) << qPrintable(sync.err);
    EXPECT_EQ(sync.out, QStringLiteral("sent 2, received 0\n"));
    EXPECT_EQ(cli({QStringLiteral("history"), QStringLiteral("sync")}, false).out, QStringLiteral("sent 0, received 0\n"));
}

// A configuration of another unit (a file read from it, or its copy in the
// service history, which an older copy names only by its folder) is written
// with a warning naming both units; with --strict it is not written at all.
// read-config records the unit, so its own file goes back without a word.
TEST_F(CliProcessTest, AnotherUnitsConfigurationWarnsAndWithStrictIsRefused)
{
    startSim({QStringLiteral("--state"), writeFile(QStringLiteral("state.json"), R"({"serialNumber": "UB-0002"})")});
    SectionRegistry sections;
    registerSections(sections);
    auto store = std::make_unique<ConfigStore>();
    sections.clearAll(*store);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("data/velkan-sarn/history/UA-0001")));
    const QString copy = path(QStringLiteral("data/velkan-sarn/history/UA-0001/2026-01-01T00-00-00Z-read.qcf"));
    ASSERT_TRUE(saveConfigFile(copy, *store, sections));
    const QString recorded = path(QStringLiteral("Unidad A_UA-0001.qcf"));
    SaveTarget fromA;
    fromA.sourceSerial = QStringLiteral("UA-0001");
    ASSERT_TRUE(saveConfigFile(recorded, *store, sections, nullptr, fromA));
    const QString own = path(QStringLiteral("own.qcf"));
    ASSERT_EQ(cli({QStringLiteral("--no-history"), QStringLiteral("read-config"), own}).status, 0);

    const struct {
        QString file;
        bool strict;
        int status;
        bool warned;
    } cases[] = {
        {copy, false, 0, true},
        {copy, true, 3, true},
        {recorded, true, 3, true},
        {own, true, 0, false},
    };
    int uploads = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(qPrintable(c.file));
        QStringList arguments{QStringLiteral("--no-history"), QStringLiteral("write-config"), c.file};
        if (c.strict)
            arguments << QStringLiteral("--strict");
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.status, c.status) << qPrintable(run.err);
        EXPECT_EQ(run.err.contains(QStringLiteral("UA-0001")) && run.err.contains(QStringLiteral("UB-0002")),
                  c.warned)
            << qPrintable(run.err);
        uploads += c.status == 0 ? 1 : 0;
    }
    EXPECT_EQ(unitLog()[QLatin1String("uploads")].toArray().size(), uploads);
}

// A history folder that cannot be written costs one warning, not the download.
TEST_F(CliProcessTest, AnUnwritableHistoryLeavesReadConfigsStatus)
{
    startSim();
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("data")));
    writeFile(QStringLiteral("data/velkan-sarn"), "a file where the folder should be");
    const QString file = path(QStringLiteral("unit.qcf"));
    const CliRun read = cli({QStringLiteral("read-config"), file});
    EXPECT_EQ(read.status, 0) << qPrintable(read.err);
    EXPECT_TRUE(QFile::exists(file));
    const QStringList warnings = read.err.split(u'\n', Qt::SkipEmptyParts).filter(QStringLiteral("Warning"));
    ASSERT_EQ(warnings.size(), 1) << qPrintable(read.err);
    EXPECT_TRUE(warnings.at(0).contains(QStringLiteral("history"))) << qPrintable(read.err);
}

// The download saved by read-config goes back to the unit unchanged, and the
// upload is what the sections make of the file for this unit.
TEST_F(CliProcessTest, ReadConfigThenWriteConfigUploadsTheFile)
{
    startSim();
    const QString file = path(QStringLiteral("unit.qcf"));
    const CliRun read = cli({QStringLiteral("read-config"), file});
    ASSERT_EQ(read.status, 0) << qPrintable(read.err);
    const CliRun write = cli({QStringLiteral("write-config"), file});
    ASSERT_EQ(write.status, 0) << qPrintable(write.err);

    SectionRegistry sections;
    registerSections(sections);
    ConfigStore store;
    sections.clearAll(store);
    ASSERT_EQ(restoreConfigFile(file, store, sections), RestoreResult::Restored);
    const QStringList expected = sections.uploadLines(store, UploadContext{kFeatures});
    ASSERT_FALSE(expected.isEmpty());

    const QJsonArray uploads = unitLog()[QLatin1String("uploads")].toArray();
    ASSERT_EQ(uploads.size(), 1);
    QStringList received;
    for (const QJsonValue &line : uploads.at(0)[QLatin1String("lines")].toArray())
        received << line.toString();
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(uploads.at(0)[QLatin1String("matched")].toBool());
}

TEST_F(CliProcessTest, LiveWithACountPrintsHeaderAndOneRowPerPoll)
{
    startSim();
    const CliRun run = cli({QStringLiteral("live"), QStringLiteral("--count"), QStringLiteral("2"),
                            QStringLiteral("--interval"), QStringLiteral("0")});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    const QStringList rows = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3) << qPrintable(run.out);
    const QStringList header = rows.at(0).split(',');
    EXPECT_EQ(header.first(), QStringLiteral("time"));
    // Columns are headed by the unit's labels and units, or by their keys
    // where the unit gave none.
    EXPECT_TRUE(header.contains(QStringLiteral("Math 3"))) << qPrintable(rows.at(0));
    const int counter0 = header.indexOf(QStringLiteral("Pozo 1"));
    const int flow1 = header.indexOf(QStringLiteral("Pozo 2 (m3/h)"));
    for (const QString &row : rows.mid(1)) {
        const QStringList cells = row.split(',');
        ASSERT_EQ(cells.size(), header.size()) << qPrintable(row);
        EXPECT_EQ(cells.at(counter0), QStringLiteral("152340"));
        EXPECT_EQ(cells.at(flow1), QStringLiteral("7.25"));
    }
}

// Counters and readings at the edges, as the unit sends them, read back from
// the CSV and from the JSON: every counter whole beyond the signed 32-bit
// range, every reading the same double, every time in UTC with its "Z".
TEST_F(CliProcessTest, LiveCarriesWhatTheUnitSent)
{
    const struct {
        qint64 counter;
        double reading;
    } edges[] = {
        {2147483647, 1234567.875}, {2147483648LL, 123456789}, {4294967295LL, 1e8}, {-2147483648LL, 0.1},
        {0, -2.5e-3},
    };
    QStringList counters, readings;
    for (const auto &e : edges) {
        counters << QString::number(e.counter);
        readings << QString::number(e.reading, 'g', 17);
    }
    for (int i = int(std::size(edges)); i < kCounterCount; ++i) {
        counters << QStringLiteral("0");
        readings << QStringLiteral("0");
    }
    startSim({QStringLiteral("--state"),
              writeFile(QStringLiteral("state.json"), QStringLiteral(R"({"counters": [%1], "flowRates": [%2]})")
                                                          .arg(counters.join(u','), readings.join(u','))
                                                          .toUtf8())});

    const CliRun csv = cli({QStringLiteral("live"), QStringLiteral("--count"), QStringLiteral("1")});
    ASSERT_EQ(csv.status, 0) << qPrintable(csv.err);
    const QStringList rows = csv.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 2);
    const QStringList cells = rows.at(1).split(u',');
    const int firstCounter = 2;
    const int firstFlow = firstCounter + kCounterCount;
    EXPECT_TRUE(cells.at(0).endsWith(u'Z')) << qPrintable(cells.at(0));
    EXPECT_TRUE(cells.at(1).endsWith(u'Z')) << qPrintable(cells.at(1));

    const CliRun json = cli({QStringLiteral("live"), QStringLiteral("--count"), QStringLiteral("1"),
                             QStringLiteral("--json")});
    ASSERT_EQ(json.status, 0) << qPrintable(json.err);
    const QJsonObject poll = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_TRUE(poll[QLatin1String("time")].toString().endsWith(u'Z')) << qPrintable(json.out);
    EXPECT_TRUE(poll[QLatin1String("unit_clock")].toString().endsWith(u'Z')) << qPrintable(json.out);
    const QDateTime time = QDateTime::fromString(poll[QLatin1String("time")].toString(), Qt::ISODateWithMs);
    EXPECT_LT(qAbs(time.secsTo(QDateTime::currentDateTimeUtc())), 60);

    for (int i = 0; i < int(std::size(edges)); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cells.at(firstCounter + i), QString::number(edges[i].counter));
        EXPECT_EQ(cells.at(firstFlow + i).toDouble(), edges[i].reading) << qPrintable(cells.at(firstFlow + i));
        EXPECT_FALSE(cells.at(firstFlow + i).contains(u'e')) << "positional, as a reader expects";
        EXPECT_EQ(poll[QLatin1String("counters")].toArray().at(i).toInteger(), edges[i].counter);
        EXPECT_EQ(poll[QLatin1String("flows")].toArray().at(i).toDouble(), edges[i].reading);
    }
    EXPECT_EQ(cells.at(firstFlow), QStringLiteral("1234567.875"));
    EXPECT_EQ(cells.at(firstFlow + 1), QStringLiteral("123456789"));
    EXPECT_EQ(cells.at(firstFlow + 2), QStringLiteral("100000000"));
}

// Output, counter preset and clock setting, each as the unit recorded it. A
// negative count follows "--", or it would read as options.
TEST_F(CliProcessTest, CommandsReachTheUnit)
{
    startSim({QStringLiteral("--state"), writeFile(QStringLiteral("state.json"), R"({"clockOffsetSeconds": 7200})")});
    for (const QStringList &command : {QStringList{"output", "4", "on"}, QStringList{"output", "1", "OFF"},
                                       QStringList{"counter", "3", "--", "-1500"}, QStringList{"set-clock"}}) {
        const CliRun run = cli(command);
        EXPECT_EQ(run.status, 0) << qPrintable(command.join(' ') + ": " + run.err);
    }
    const QDateTime now = QDateTime::currentDateTime();

    const QJsonObject log = unitLog();
    const QJsonArray outputs = log[QLatin1String("outputs")].toArray();
    ASSERT_EQ(outputs.size(), 2);
    EXPECT_EQ(outputs.at(0)[QLatin1String("output")].toInt(), 4);
    EXPECT_TRUE(outputs.at(0)[QLatin1String("on")].toBool());
    EXPECT_EQ(outputs.at(1)[QLatin1String("output")].toInt(), 1);
    EXPECT_FALSE(outputs.at(1)[QLatin1String("on")].toBool());
    const QJsonArray presets = log[QLatin1String("counterPresets")].toArray();
    ASSERT_EQ(presets.size(), 1);
    EXPECT_EQ(presets.at(0)[QLatin1String("counter")].toInt(), 3);
    EXPECT_EQ(presets.at(0)[QLatin1String("value")].toInt(), -1500);
    const QJsonArray clockSets = log[QLatin1String("clockSets")].toArray();
    ASSERT_EQ(clockSets.size(), 1);
    const QDateTime set = QDateTime::fromString(clockSets.at(0)[QLatin1String("unitClock")].toString(), Qt::ISODate);
    EXPECT_NEAR(set.secsTo(now), 0, 5);
}

// The switch itself is not answered in a way that says whether it happened:
// the live states read afterwards decide.
TEST_F(CliProcessTest, OutputThatDoesNotSwitchEndsWithStatusOne)
{
    startSim({QStringLiteral("--stuck-outputs")});
    const CliRun run = cli({QStringLiteral("output"), QStringLiteral("2"), QStringLiteral("on")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("did not switch output 2 on"))) << qPrintable(run.err);
    EXPECT_EQ(unitLog()[QLatin1String("outputs")].toArray().size(), 1);
}

TEST_F(CliProcessTest, ModemCallNeedsTheRightKey)
{
    startSim({QStringLiteral("--modem"), QStringLiteral("--key"), QStringLiteral("4321")});
    const QStringList call{QStringLiteral("--modem"), QStringLiteral("600123456"), QStringLiteral("--key")};

    const CliRun right = cli(call + QStringList{QStringLiteral("4321"), QStringLiteral("info"), QStringLiteral("--json")});
    EXPECT_EQ(right.status, 0) << qPrintable(right.err);
    EXPECT_EQ(QJsonDocument::fromJson(right.out.toUtf8()).object()[QLatin1String("serial")].toString(),
              QStringLiteral("VS21-004217"));

    const CliRun wrong = cli(call + QStringList{QStringLiteral("1111"), QStringLiteral("info")});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(wrong.out.isEmpty()) << qPrintable(wrong.out);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("refused the access key"))) << qPrintable(wrong.err);

    const QJsonArray logins = unitLog()[QLatin1String("logins")].toArray();
    ASSERT_GE(logins.size(), 2);
    EXPECT_TRUE(logins.at(0)[QLatin1String("accepted")].toBool());
    EXPECT_FALSE(logins.last()[QLatin1String("accepted")].toBool());
}

// The key off the command line: from standard input or from a file's first line.
TEST_F(CliProcessTest, ModemKeyFromStandardInputOrAFile)
{
    startSim({QStringLiteral("--modem"), QStringLiteral("--key"), QStringLiteral("4321")});
    const struct {
        const char *name;
        QStringList keyArguments;
        QByteArray input;
        int status;
    } cases[] = {
        {"stdin, right", {QStringLiteral("--key"), QStringLiteral("-")}, "4321\n", 0},
        {"stdin, wrong", {QStringLiteral("--key"), QStringLiteral("-")}, "1111\n", 1},
        {"file, right", {QStringLiteral("--key-file"), writeFile(QStringLiteral("right.key"), "4321\r\nnot this\n")}, {}, 0},
        {"file, wrong", {QStringLiteral("--key-file"), writeFile(QStringLiteral("wrong.key"), "1111\n")}, {}, 1},
        {"file missing", {QStringLiteral("--key-file"), path(QStringLiteral("none.key"))}, {}, 2},
    };
    for (const auto &c : cases) {
        QProcess process;
        process.start(QStringLiteral(VELKAN_CLI), QStringList{QStringLiteral("--port"), sim.devicePath(),
                                                              QStringLiteral("--modem"), QStringLiteral("600123456")}
                                                      + c.keyArguments + QStringList{QStringLiteral("info")});
        process.write(c.input);
        process.closeWriteChannel();
        ASSERT_TRUE(process.waitForFinished(120000)) << c.name;
        const QByteArray printed = process.readAllStandardOutput() + process.readAllStandardError();
        EXPECT_EQ(process.exitCode(), c.status) << c.name << ": " << printed.constData();
        EXPECT_FALSE(printed.contains("4321") || printed.contains("1111")) << c.name;
    }
}

// The access key is used for the call and kept nowhere: not in the per-user
// settings, the saved configuration, logs or anything else written under the
// program's home and working folder, nor in what it prints.
TEST_F(CliProcessTest, AccessKeyLeavesNoTrace)
{
    const QByteArray key = "918273";
    startSim({QStringLiteral("--modem"), QStringLiteral("--key"), QString::fromLatin1(key)});
    const QString home = path(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    for (const char *folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        environment.insert(QLatin1String(folder), home + QLatin1Char('/') + QLatin1String(folder));

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(home);
    process.start(QStringLiteral(VELKAN_CLI),
                  {QStringLiteral("--port"), sim.devicePath(), QStringLiteral("--modem"), QStringLiteral("600123456"),
                   QStringLiteral("--key"), QString::fromLatin1(key), QStringLiteral("read-config"),
                   home + QStringLiteral("/unit.qcf")});
    ASSERT_TRUE(process.waitForFinished(120000));
    const QByteArray printed = process.readAllStandardOutput() + process.readAllStandardError();
    ASSERT_EQ(process.exitCode(), 0) << printed.constData();
    ASSERT_TRUE(QFile::exists(home + QStringLiteral("/unit.qcf")));
    EXPECT_FALSE(printed.contains(key)) << printed.constData();

    const QByteArray wide = QByteArray::fromRawData(reinterpret_cast<const char *>(QString::fromLatin1(key).utf16()),
                                                    key.size() * 2);
    QDirIterator files(home, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    int looked = 0;
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
        const QByteArray bytes = file.readAll();
        EXPECT_FALSE(bytes.contains(key) || bytes.contains(wide)) << qPrintable(file.fileName());
        ++looked;
    }
    EXPECT_GE(looked, 1);
    ASSERT_TRUE(unitLog()[QLatin1String("logins")].toArray().at(0)[QLatin1String("accepted")].toBool());
}

// The unit answers the connection, then falls silent in the download: the
// link's retries run out, and no file is left behind.
TEST_F(CliProcessTest, UnitThatFallsSilentFailsTheDownloadAndWritesNothing)
{
    startSim({QStringLiteral("--silent-after"), QStringLiteral("2")});
    const QString file = path(QStringLiteral("unit.qcf"));
    const CliRun run = cli({QStringLiteral("--timeout"), QStringLiteral("300"), QStringLiteral("read-config"), file});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("download failed"))) << qPrintable(run.err);
    QStringList left = QDir(dir.path()).entryList(QDir::Files);
    left.removeAll(QStringLiteral("log.json"));
    EXPECT_TRUE(left.isEmpty()) << qPrintable(left.join(' '));
}

TEST_F(CliProcessTest, FileThatIsNotAConfigurationIsNotSent)
{
    startSim();
    const struct {
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"notes.qcf", "[General]\nNOMBRE=Tank3\n"},
        {"binary.qcf", QByteArray("\x00\x01\x02\x03", 4)},
    };
    for (const auto &f : files) {
        const CliRun run = cli({QStringLiteral("write-config"), writeFile(QLatin1String(f.name), f.bytes)});
        EXPECT_EQ(run.status, 3) << f.name;
        EXPECT_TRUE(run.err.contains(QLatin1String(f.name))) << qPrintable(run.err);
    }
    const CliRun missing = cli({QStringLiteral("write-config"), path(QStringLiteral("absent.qcf"))});
    EXPECT_EQ(missing.status, 3);

    const QJsonObject log = unitLog();
    EXPECT_TRUE(log[QLatin1String("uploads")].toArray().isEmpty());
    EXPECT_EQ(log[QLatin1String("commands")].toObject()[QLatin1String("46")].toInt(), 0);
}

// write-config --verify downloads the configuration again: "verified" when
// the unit holds what was sent, the differing lines when it holds something
// else, and a link failure when that download fails.
TEST_F(CliProcessTest, WriteConfigVerifyTellsWhatTheUnitHolds)
{
    const QString file = path(QStringLiteral("unit.qcf"));
    const struct {
        const char *name;
        QStringList simArguments;
        int status;
        QString out;
        QString err; // the start of standard error
    } cases[] = {
        {"equal", {}, 0, QStringLiteral("verified\n"), {}},
        {"altered", {QStringLiteral("--alter"), QStringLiteral("RETRYMAX= 9")}, 1, {},
         QStringLiteral("General\tRETRYMAX\tRETRYMAX= 3\tRETRYMAX= 9\n")},
        {"no download", {QStringLiteral("--drop"), QStringLiteral("42:all")}, 1, {},
         QStringLiteral("The unit confirmed the upload, but the download that checks it failed")},
    };
    for (const auto &c : cases) {
        startSim(c.simArguments);
        if (!QFileInfo::exists(file))
            ASSERT_EQ(cli({QStringLiteral("read-config"), file}).status, 0);
        const CliRun run = cli({QStringLiteral("--timeout"), QStringLiteral("300"), QStringLiteral("write-config"),
                                QStringLiteral("--verify"), file});
        EXPECT_EQ(run.status, c.status) << c.name << qPrintable(run.err);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_TRUE(run.err.startsWith(c.err)) << c.name << qPrintable(run.err);
        sim.stop();
    }
}

// A hand-edited file: a text holding its line's separator, or a number its
// window would show red, refuses the upload before a single line, naming the
// field, and leaves the file as it was; a value that was not taken is warned
// of and sends nothing either.
TEST_F(CliProcessTest, WriteConfigRefusesSeparatorsAndWarnsOfValuesNotTaken)
{
    startSim();
    const QString base = path(QStringLiteral("base.qcf"));
    ASSERT_EQ(cli({QStringLiteral("read-config"), base}).status, 0);
    sim.stop();
    // switchKey, switchValue: the section's key that enables or disables the field's box.
    const auto edited = [&](const char *name, const char *section, const char *key, const char *value,
                            const char *switchKey = nullptr, const char *switchValue = nullptr) {
        IniDocument doc;
        EXPECT_TRUE(doc.load(base));
        doc.writeValue(QLatin1String(section), QLatin1String(key), QLatin1String(value));
        if (switchKey)
            doc.writeValue(QLatin1String(section), QLatin1String(switchKey), QLatin1String(switchValue));
        const QString file = path(QLatin1String(name));
        EXPECT_TRUE(doc.save(file));
        return file;
    };
    const struct {
        const char *name;
        QString file;
        QStringList options;
        int status;
        QString err; // a line standard error holds
        bool sent;
    } cases[] = {
        {"separator", edited("comma.qcf", "DIGITAL 0", "NOMBRE", "Bomba,NC"), {}, 3,
         QStringLiteral("error: [DIGITAL 0] NOMBRE=Bomba,NC holds \",\""), false},
        {"macro brace", edited("brace.qcf", "MACROS", "LINE( 0)", "MACRO0={A}B}"), {}, 3,
         QStringLiteral("error: [MACROS] LINE( 0)=MACRO0={A}B} holds \"}\""), false},
        // Not held by the model either: the default kept in its place is not sent.
        {"out of range", edited("range.qcf", "GENERAL", "RENVN", "70000"), {}, 3,
         QStringLiteral("[GENERAL] RENVN=70000 was not taken"), false},
        {"no number", edited("huge.qcf", "GPRS", "SERVER_PORT", "99999999999999999999"), {}, 3,
         QStringLiteral("Nothing was sent: 1 values"), false},
        {"strict", edited("strict.qcf", "GENERAL", "RENVT", "1e10"), {QStringLiteral("--strict")}, 3,
         QStringLiteral("[GENERAL] RENVT=1e10 was not taken"), false},
        // Held by the model but shown red by its window: one value per kind of range.
        {"port", edited("port.qcf", "GPRS", "SERVER_PORT", "70000"), {}, 3,
         QStringLiteral("error: [GPRS] SERVER_PORT=70000 is outside the range its window takes (0 - 65535)"), false},
        {"count", edited("count.qcf", "GPRS", "APN_RETRIES", "-1"), {}, 3,
         QStringLiteral("error: [GPRS] APN_RETRIES=-1 is outside the range its window takes (0 - 32767)"), false},
        {"long count", edited("minutes.qcf", "GENERAL", "RENVT", "-5"), {}, 3,
         QStringLiteral("error: [GENERAL] RENVT=-5 is outside the range its window takes (0 - 2147483647)"), false},
        {"above zero", edited("ratio.qcf", "CAUDAL 0", "RATIO", "0", "INTERFAZ", " 6"), {}, 3,
         QStringLiteral("error: [CAUDAL 0] RATIO=0 is outside the range its window takes (> 0)"), false},
        {"enabled", edited("days.qcf", "LTIMER 0", "PERIOD", "-3", "HABIL", "True"), {}, 3,
         QStringLiteral("error: [LTIMER 0] PERIOD=-3 is outside the range its window takes (0 - 32767)"), false},
        // A box its record disables is neither red nor refused (a meter without interface).
        {"disabled", edited("off.qcf", "CAUDAL 1", "RATIO", "0", "INTERFAZ", " 0"), {}, 0, QString(), true},
    };
    const auto bytes = [](const QString &name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray before = bytes(c.file);
        QFile::remove(path(QStringLiteral("log.json"))); // a unit that gets nothing writes none
        startSim();
        const CliRun run = cli(c.options + QStringList{QStringLiteral("write-config"), c.file});
        EXPECT_EQ(run.status, c.status) << qPrintable(run.err);
        EXPECT_TRUE(run.err.contains(c.err)) << qPrintable(run.err);
        EXPECT_EQ(unitLog()[QLatin1String("uploads")].toArray().isEmpty(), !c.sent);
        EXPECT_EQ(bytes(c.file), before);
    }
    // Any command that reads a file warns the same way and keeps its status.
    const CliRun diff = cli({QStringLiteral("diff"), base, cases[2].file}, false);
    EXPECT_NE(diff.status, 3) << qPrintable(diff.err);
    EXPECT_TRUE(diff.err.contains(cases[2].err)) << qPrintable(diff.err);
}

// Usage errors need no unit: each ends at once with status 2 and a message.
TEST_F(CliProcessTest, UsageErrorsEndWithStatusTwo)
{
    const QString port = QStringLiteral("/dev/velkan-no-such-port");
    const QStringList cases[] = {
        {},
        {"no-such-command"},
        {"info"},
        {"--port", port, "read-config"},
        {"--port", port, "--modem", "600123456", "info"},
        {"--port", port, "live", "--count", "0"},
        {"--port", port, "live", "--interval", "soon"},
        {"--port", port, "output", "6", "on"},
        {"--port", port, "output", "1", "half"},
        {"--port", port, "counter", "9", "10"},
        {"--port", port, "counter", "0", "lots"},
        {"--port", port, "voice-list", "erase", "x.qcf"},
        {"--port", port, "--verify", "read-config", "x.qcf"},
        {"--no-such-option"},
    };
    for (const QStringList &arguments : cases) {
        const CliRun run = cli(arguments, false);
        EXPECT_EQ(run.status, 2) << qPrintable(arguments.join(' '));
        EXPECT_FALSE(run.err.isEmpty()) << qPrintable(arguments.join(' '));
        EXPECT_TRUE(run.out.isEmpty()) << qPrintable(arguments.join(' '));
    }
}

// The lines of a file's section, from its header to the next section, without blank lines.
QStringList sectionLines(const QString &path, const QString &header)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
    QStringList section;
    for (qsizetype i = lines.indexOf(header); i >= 0 && i < lines.size(); ++i) {
        if (!section.isEmpty() && lines.at(i).startsWith(u'['))
            break;
        if (!lines.at(i).isEmpty())
            section << lines.at(i);
    }
    return section;
}

QByteArray configFile(const QByteArray &sections)
{
    return "[General]\r\nVERSION=" + Product::ProductKey.toLatin1() + "\r\n" + sections;
}

// The file gets the unit's list and macro; its other sections and its
// acknowledgement switch, which the unit does not hold, stay.
TEST_F(CliProcessTest, VoiceListReadSavesTheUnitsListIntoTheFile)
{
    startSim({QStringLiteral("--state"),
              writeFile(QStringLiteral("state.json"), R"({"voiceList": ["+34600123456", "600111222"], "voiceMacro": 12})")},
             kVoiceFeatures);
    const QString file = writeFile(QStringLiteral("unit.qcf"),
                                   configFile("[Notas]\r\nTEXTO=hola\r\n[AUT_VOZ]\r\nMACRO=-1\r\nSEND_ACK=True\r\nTEL 0=old\r\n"));
    const CliRun run = cli({QStringLiteral("voice-list"), QStringLiteral("read"), file});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);

    QStringList expected{"[AUT_VOZ]", "MACRO= 12", "SEND_ACK=True", "TEL 0=+34600123456", "TEL 1=600111222"};
    for (int i = 2; i <= 250; ++i)
        expected << QStringLiteral("TEL %1=").arg(i);
    EXPECT_EQ(sectionLines(file, QStringLiteral("[AUT_VOZ]")).join('\n'), expected.join('\n'));
    EXPECT_EQ(sectionLines(file, QStringLiteral("[Notas]")), QStringList({"[Notas]", "TEXTO=hola"}));

    // A new file holds the product marker and the list only.
    const QString fresh = path(QStringLiteral("fresh.qcf"));
    ASSERT_EQ(cli({QStringLiteral("voice-list"), QStringLiteral("read"), fresh}).status, 0);
    expected[2] = QStringLiteral("SEND_ACK=False");
    EXPECT_EQ(sectionLines(fresh, QStringLiteral("[General]")), QStringList({"[General]", "VERSION=VELKAN_SARN"}));
    EXPECT_EQ(sectionLines(fresh, QStringLiteral("[AUT_VOZ]")).join('\n'), expected.join('\n'));
}

// The file's list is sent packed; a wrong CRC once costs one more attempt.
TEST_F(CliProcessTest, VoiceListWriteSendsTheFilesList)
{
    startSim({QStringLiteral("--bad-crc-once")}, kVoiceFeatures);
    const QString file = writeFile(QStringLiteral("unit.qcf"),
                                   configFile("[AUT_VOZ]\r\nMACRO= 7\r\nTEL 0=600111222\r\nTEL 5=+34600333444\r\n"));
    const CliRun run = cli({QStringLiteral("voice-list"), QStringLiteral("write"), file});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);

    const QJsonObject log = unitLog();
    const QJsonArray writes = log[QLatin1String("voiceWrites")].toArray();
    ASSERT_EQ(writes.size(), 2);
    for (const QJsonValue &write : writes) {
        EXPECT_EQ(write[QLatin1String("lines")].toArray(), QJsonArray({"+TEL=600111222", "+TEL=+34600333444"}));
        EXPECT_TRUE(write[QLatin1String("matched")].toBool());
    }
    const QJsonArray macros = log[QLatin1String("voiceMacros")].toArray();
    ASSERT_EQ(macros.size(), 1);
    EXPECT_EQ(macros.at(0)[QLatin1String("macro")].toInt(), 7);
}

TEST_F(CliProcessTest, VoiceListNeedsTheUnitsSupport)
{
    startSim();
    const QString file = writeFile(QStringLiteral("unit.qcf"), configFile("[AUT_VOZ]\r\nTEL 0=600111222\r\n"));
    for (const char *action : {"read", "write"}) {
        const CliRun run = cli({QStringLiteral("voice-list"), QLatin1String(action), file});
        EXPECT_EQ(run.status, 1) << action;
        EXPECT_TRUE(run.err.contains(QStringLiteral("does not support the voice-call list"))) << qPrintable(run.err);
    }
    const QJsonObject commands = unitLog()[QLatin1String("commands")].toObject();
    for (const char *code : {"41", "45", "46", "4E", "4F"})
        EXPECT_EQ(commands[QLatin1String(code)].toInt(), 0) << code;
}

// Files are checked before connecting: nothing reaches the unit.
TEST_F(CliProcessTest, VoiceListRefusesFilesItCannotUse)
{
    startSim({}, kVoiceFeatures);
    QByteArray tooMany = "[AUT_VOZ]\r\n";
    for (int i = 0; i <= 250; ++i)
        tooMany += "TEL " + QByteArray::number(i) + "=6000" + QByteArray::number(i) + "\r\n";
    const struct {
        const char *action;
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"read", "notes.qcf", "[General]\r\nNOMBRE=Tank3\r\n"},
        {"write", "notes.qcf", "[General]\r\nNOMBRE=Tank3\r\n"},
        {"write", "nolist.qcf", configFile("[Notas]\r\nTEXTO=hola\r\n")},
        {"write", "toomany.qcf", configFile(tooMany)},
        {"write", "absent.qcf", {}},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.name);
        const QString file = f.bytes.isEmpty() ? path(QLatin1String(f.name)) : writeFile(QLatin1String(f.name), f.bytes);
        const CliRun run = cli({QStringLiteral("voice-list"), QLatin1String(f.action), file});
        EXPECT_EQ(run.status, 3) << f.action;
        EXPECT_TRUE(run.err.contains(QLatin1String(f.name))) << qPrintable(run.err);
    }
    EXPECT_TRUE(unitLog()[QLatin1String("commands")].toObject().isEmpty());
}

// The firmware update end to end. The tool paces the port at 9600 baud, so
// the files stay small; --timeout shortens every wait of the update.
TEST_F(CliProcessTest, FirmwareUpdateEndsWithTheStatusOfItsOutcome)
{
    const QByteArray image = hexText(3000, 'A');
    const QByteArray loader = hexText(1000, 'L');
    const QString imagePath = writeFile(QStringLiteral("image.hex"), image);
    const QString loaderPath = writeFile(QStringLiteral("CopyFlash.hex"), loader);
    const QString dotsImagePath = writeFile(QStringLiteral("large.hex"), hexText(12000, 'B'));
    QByteArray badChecksum = image;
    badChecksum[42] = badChecksum[42] == '0' ? '1' : '0'; // the first record's checksum
    const QString history = path(QStringLiteral("data/velkan-sarn/history/VS21-004217"));
    const QStringList noBackup{QStringLiteral("--no-backup")};
    const QStringList dropDownload{QStringLiteral("--drop"), QStringLiteral("42:all")};
    const struct {
        const char *what;
        QStringList simArguments;
        QStringList options;
        QStringList files;
        int status;
        const char *told;
        int copiesKept;
    } cases[] = {
        {"success", {}, {}, {imagePath, loaderPath}, 0, "do not cut its power", 1},
        {"success without the copy", {}, noBackup, {imagePath, loaderPath}, 0, "do not cut its power", 0},
        {"loader without CopyFlash", {}, {}, {imagePath, writeFile(QStringLiteral("loader.hex"), loader)}, 2, "CopyFlash", 0},
        {"missing image", {}, {}, {path(QStringLiteral("absent.hex")), loaderPath}, 3, "Cannot read", 0},
        {"plain-text image", {}, {}, {writeFile(QStringLiteral("notes.hex"), "Release notes\r\n"), loaderPath}, 3,
         "line 1: not a record", 0},
        {"bad checksum in the loader", {}, {}, {imagePath, writeFile(QStringLiteral("CopyFlash2.hex"), badChecksum)}, 3,
         "line 1: the checksum is wrong", 0},
        {"configuration not downloaded", dropDownload, {}, {imagePath, loaderPath}, 1, "--no-backup", 0},
        {"dots stopping", {QStringLiteral("--dots-stop"), QStringLiteral("1000")}, noBackup, {dotsImagePath, loaderPath},
         1, "near byte", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path(QStringLiteral("log.json")));
        QDir(path(QStringLiteral("data"))).removeRecursively();
        startSim(QStringList{QStringLiteral("--erase-delay"), QStringLiteral("50")} + c.simArguments);
        // A download that gets no answer is tried twelve times: short waits.
        const QString timeout = c.simArguments == dropDownload ? QStringLiteral("200") : QStringLiteral("1000");
        const CliRun run = cli(QStringList{QStringLiteral("--timeout"), timeout, QStringLiteral("firmware")} + c.options
                               + c.files);
        EXPECT_EQ(run.status, c.status) << qPrintable(run.err);
        EXPECT_TRUE(run.err.contains(QLatin1String(c.told))) << qPrintable(run.err);
        // A failed step leaves its trace beside the copies; only the copies count here.
        EXPECT_EQ(QDir(history).entryList({QStringLiteral("*.qcf")}, QDir::Files).size(), c.copiesKept);

        const QJsonObject log = unitLog();
        const QJsonArray streams = log[QLatin1String("firmware")].toArray();
        if (c.status == 0) {
            ASSERT_EQ(streams.size(), 2);
            EXPECT_EQ(streams.at(0)[QLatin1String("sha256")].toString(),
                      QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex()));
            EXPECT_EQ(streams.at(1)[QLatin1String("sha256")].toString(),
                      QString::fromLatin1(QCryptographicHash::hash(loader, QCryptographicHash::Sha256).toHex()));
        } else if (c.status != 1) {
            EXPECT_TRUE(log.isEmpty()) << "the unit received something";
        } else {
            EXPECT_EQ(log[QLatin1String("commands")].toObject()[QLatin1String("F1")].toInt(), 0);
        }
        if (c.simArguments == dropDownload && c.status != 0)
            EXPECT_EQ(log[QLatin1String("commands")].toObject()[QLatin1String("F0")].toInt(), 0);
    }
}

} // namespace

namespace {

// The frames a trace shows as received with one of these readings, in order.
QList<QByteArray> receivedFrames(const QByteArray &trace, const QList<QByteArray> &readings = {"accepted"})
{
    QList<QByteArray> frames;
    for (const QByteArray &line : trace.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 4 && fields[1] == "<" && readings.contains(fields[3]))
            frames << fields[2] + ' ' + fields[3];
    }
    return frames;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(CliProcessTest, TraceOfAGoodDownloadHoldsEveryFrameOfTheStream)
{
    startSim();
    const QString trace = path(QStringLiteral("run.trace"));
    const CliRun run = cli({QStringLiteral("--trace"), trace, QStringLiteral("read-config"), path(QStringLiteral("unit.qcf"))});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    const QByteArray text = readAll(trace);
    EXPECT_TRUE(text.contains("# port: " + sim.devicePath().toLatin1()));
    // Every keyword line the unit streamed, framed, in the order it came;
    // the passwords' fields masked.
    SectionRegistry sections;
    registerSections(sections);
    const QList<SecretLineField> secrets = secretLineFields(sections);
    const QList<QByteArray> frames = receivedFrames(text);
    int at = 0;
    for (const QString &line : ConfigStream::asHeld(ConfigStream::defaults(kFeatures), kFeatures)) {
        QStringList fields = line.split(u',');
        for (const SecretLineField &secret : secrets)
            if (fields.first() == secret.streamKeyword && secret.streamField <= fields.size()
                && !fields[secret.streamField - 1].isEmpty())
                fields[secret.streamField - 1] = QStringLiteral("****");
        const QByteArray wanted = fields.join(u',').toLatin1();
        while (at < frames.size() && !frames[at].contains(wanted))
            ++at;
        ASSERT_LT(at, frames.size()) << "missing from the trace: " << wanted.constData();
    }
}

// The key, the login's text and the dialled number stay out of a trace, in any encoding.
TEST_F(CliProcessTest, TraceOfAModemCallHoldsNeitherTheKeyNorTheNumber)
{
    const QByteArray key = "918273";
    startSim({QStringLiteral("--modem"), QStringLiteral("--key"), QString::fromLatin1(key)});
    const QString trace = path(QStringLiteral("modem.trace"));
    const QString keyFile = writeFile(QStringLiteral("unit.key"), key + "\n");
    const CliRun run = cli({QStringLiteral("--modem"), QStringLiteral("600123456"), QStringLiteral("--key-file"), keyFile,
                            QStringLiteral("--trace"), trace, QStringLiteral("info")});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    const QByteArray text = readAll(trace);
    ASSERT_TRUE(text.contains("ATD******456")) << text.constData();
    const QString keyText = QString::fromLatin1(key);
    const QByteArray wide = QByteArray(reinterpret_cast<const char *>(keyText.utf16()), key.size() * 2);
    for (const QByteArray &secret : {key, wide, key.toHex(), QByteArray("600123")})
        EXPECT_FALSE(text.contains(secret)) << secret.constData();
    EXPECT_TRUE(text.contains("\t#**;11****\\r\tsent"));
}

// The GPRS and FTP passwords stay out of the traces of an upload and of a
// download, in any encoding; the download's trace still plays back, with the
// passwords masked.
TEST_F(CliProcessTest, TracesHoldNoPasswordAndStillPlayBack)
{
    const quint32 features = kFeatures | Feature::GprsSettings | Feature::FtpSettings;
    startSim({}, features);
    SectionRegistry sections;
    registerSections(sections);
    auto store = std::make_unique<ConfigStore>();
    sections.clearAll(*store);
    store->Gprs.ApnPassword = QStringLiteral("Apn5ecret");
    store->Gprs.FtpPassword = QStringLiteral("Ftp7secret");
    ASSERT_TRUE(saveConfigFile(path(QStringLiteral("sent.qcf")), *store, sections));
    const QString up = path(QStringLiteral("up.trace"));
    const QString down = path(QStringLiteral("down.trace"));
    const CliRun write = cli({QStringLiteral("--trace"), up, QStringLiteral("--no-history"), QStringLiteral("write-config"),
                              path(QStringLiteral("sent.qcf"))});
    ASSERT_EQ(write.status, 0) << qPrintable(write.err);
    const CliRun read = cli({QStringLiteral("--trace"), down, QStringLiteral("--no-history"), QStringLiteral("read-config"),
                             path(QStringLiteral("held.qcf"))});
    ASSERT_EQ(read.status, 0) << qPrintable(read.err);
    IniDocument held;
    ASSERT_TRUE(held.load(path(QStringLiteral("held.qcf"))));
    EXPECT_EQ(held.readValue(QStringLiteral("GPRS"), QStringLiteral("FTP_PASS")), QStringLiteral("Ftp7secret"));
    sim.stop();

    for (const QString &trace : {up, down}) {
        const QByteArray text = readAll(trace);
        EXPECT_TRUE(text.contains("FTPPASS=****") || text.contains(",****,10,")) << text.constData();
        EXPECT_TRUE(text.contains("# masked: ")) << qPrintable(trace);
        for (const QString &secret : {QStringLiteral("Apn5ecret"), QStringLiteral("Ftp7secret")}) {
            const QByteArray latin = secret.toLatin1();
            const QByteArray wide(reinterpret_cast<const char *>(secret.utf16()), secret.size() * 2);
            for (const QByteArray &form : {latin, wide, latin.toHex(), latin.toHex().toUpper()})
                EXPECT_FALSE(text.contains(form)) << qPrintable(trace) << ' ' << form.constData();
        }
    }

    startSim({QStringLiteral("--replay"), down}, features);
    const CliRun replayed = cli({QStringLiteral("--no-history"), QStringLiteral("read-config"), path(QStringLiteral("replayed.qcf"))});
    EXPECT_EQ(replayed.status, 0) << qPrintable(replayed.err);
    IniDocument again;
    ASSERT_TRUE(again.load(path(QStringLiteral("replayed.qcf"))));
    EXPECT_EQ(again.readValue(QStringLiteral("GPRS"), QStringLiteral("FTP_PASS")), QStringLiteral("****"));
    EXPECT_EQ(again.readValue(QStringLiteral("GPRS"), QStringLiteral("FTP_USER")), held.readValue(QStringLiteral("GPRS"), QStringLiteral("FTP_USER")));
}

// A failed run's trace played back by the simulated unit fails the same way:
// same status, same message. The kept fixtures are such traces.
TEST_F(CliProcessTest, ReplayedTraceGivesTheOutcomeOfTheOriginalRun)
{
    const struct {
        const char *name;
        QStringList fault;
    } cases[] = {
        {"corrupt stream", {QStringLiteral("--corrupt"), QStringLiteral("42:all")}},
        {"skipped line number", {QStringLiteral("--skip-seq"), QStringLiteral("3")}},
        {"stream never comes", {QStringLiteral("--drop"), QStringLiteral("42:all")}},
    };
    const auto outcome = [](const CliRun &run) { return QString::number(run.status) + u' ' + run.err.section(u'\n', 0, 0); };
    for (const auto &c : cases) {
        startSim(c.fault);
        const QString trace = path(QStringLiteral("failed.trace"));
        const QStringList download{QStringLiteral("--timeout"), QStringLiteral("300"), QStringLiteral("--no-history"),
                                   QStringLiteral("read-config"), path(QStringLiteral("unit.qcf"))};
        const CliRun original = cli(QStringList{QStringLiteral("--trace"), trace} + download);
        EXPECT_EQ(original.status, 1) << c.name << qPrintable(original.err);
        sim.stop();

        startSim({QStringLiteral("--replay"), trace});
        const QString again = path(QStringLiteral("replayed.trace"));
        const CliRun replayed = cli(QStringList{QStringLiteral("--trace"), again} + download);
        sim.stop();
        EXPECT_EQ(outcome(replayed), outcome(original)) << c.name;
        // The tool read the same frames, and the same faults in them.
        const QList<QByteArray> readings{"accepted", "bad-checksum", "unexpected"};
        EXPECT_EQ(receivedFrames(readAll(again), readings), receivedFrames(readAll(trace), readings)) << c.name;
    }
}

TEST_F(CliProcessTest, KeptFixtureTracesReplayToTheirFailures)
{
    const struct {
        const char *file;
        const char *message;
    } cases[] = {
        {"corrupt-stream.trace", "download failed"},
        {"skipped-line.trace", "download failed"},
        {"silent-unit.trace", "download failed"},
    };
    for (const auto &c : cases) {
        startSim({QStringLiteral("--replay"), QStringLiteral(VELKAN_TEST_DATA "/traces/") + QLatin1String(c.file)});
        const CliRun run = cli({QStringLiteral("--timeout"), QStringLiteral("300"), QStringLiteral("--no-history"),
                                QStringLiteral("read-config"), path(QStringLiteral("unit.qcf"))});
        sim.stop();
        EXPECT_EQ(run.status, 1) << c.file << qPrintable(run.err);
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << c.file << qPrintable(run.err);
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("unit.qcf")))) << c.file;
    }
}

} // namespace
