#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimer>
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

#include "../support/pseudoterminal.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/devicecommands.h"
#include "link/unitconnection.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

// Answers within this on a pseudo-terminal, even on a busy machine; the
// connection itself keeps the time-outs the rules give it.
constexpr int kShortTimeout = 1000;


class SimLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(SimulatedUnit::defaultProgram()))
            GTEST_SKIP() << "velkan-sim is not built next to the tests";
        if (!pseudoTerminalsWork())
            GTEST_SKIP() << "pseudo-terminals are not available";
        ASSERT_TRUE(dir.isValid());
    }

    void startSim(QStringList arguments = {})
    {
        arguments << QStringLiteral("--log") << logPath();
        sim.setArguments(arguments);
        ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
        comms = std::make_unique<Comms>(std::make_unique<QtSerialPort>());
        comms->timings = LinkTimings::fast();
        comms->timings.cableAnswer = kShortTimeout;
        unit = std::make_unique<UnitConnection>(*comms);
    }

    // Connects as the general window does, then shortens the answer time-out.
    bool connectUnit(const QString &number = {})
    {
        const bool connected = unit->connectUnit({sim.devicePath(), false, number});
        comms->LinkTimeout = kShortTimeout;
        return connected;
    }

    QString logPath() const { return dir.filePath(QStringLiteral("log.json")); }
    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    // What the unit received: read once the program has ended and flushed it.
    QJsonObject unitLog()
    {
        unit.reset();
        comms.reset();
        sim.stop();
        QFile file(logPath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    static int commandCount(const QJsonObject &log, const char *code)
    {
        return log.value(QLatin1String("commands")).toObject().value(QLatin1String(code)).toInt();
    }

    QTemporaryDir dir;
    SimulatedUnit sim;
    std::unique_ptr<Comms> comms;
    std::unique_ptr<UnitConnection> unit;
};

TEST_F(SimLinkTest, CableConnectReadsIdentityCountersLabelsAndLiveValues)
{
    startSim();
    ASSERT_TRUE(connectUnit());
    unit->readInfo();
    const DeviceValues &device = unit->Device;
    EXPECT_EQ(device.FirmwareVersion, 412.0f);
    EXPECT_EQ(device.SerialNumber, QStringLiteral("VS21-004217"));
    EXPECT_EQ(device.SignalLevel, 21);
    EXPECT_TRUE(device.has(Feature::MathChannels));

    ASSERT_TRUE(ReadTotalCount(*comms, unit->Device));
    EXPECT_EQ(device.TotalCounts[0], 152340);
    ASSERT_TRUE(ReadIOParameter(*comms, unit->Device));
    EXPECT_EQ(device.Live.CounterName[1], QStringLiteral("Pozo 2"));
    EXPECT_EQ(device.Live.FlowUnit[0], QStringLiteral("m3/h"));
    EXPECT_EQ(device.Live.MathName[0], QStringLiteral("Volumen total"));
    ASSERT_TRUE(ReadRealTime(*comms, unit->Device));
    EXPECT_EQ(device.Live.FlowRate[1], 7.25f);
    EXPECT_EQ(device.Live.DigitalState, 5);
    EXPECT_EQ(device.Live.MathValue[1], 19.75f);
    EXPECT_EQ(device.Live.MathRegister[2], QStringLiteral("-2.25"));

    const QJsonObject log = unitLog();
    EXPECT_EQ(commandCount(log, "40"), 1);
    EXPECT_EQ(commandCount(log, "44"), 1);
}

TEST_F(SimLinkTest, ClockIsReadAndSetFromTheComputerClock)
{
    startSim({QStringLiteral("--state"), writeFile(QStringLiteral("state.json"), R"({"clockOffsetSeconds": 7200})")});
    ASSERT_TRUE(connectUnit());
    ReadDeviceRTC(*comms, unit->Device);
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_NEAR(now.secsTo(unit->Device.DeviceClock), 7200, 5);
    ASSERT_TRUE(WriteDeviceRTC(*comms));
    ReadDeviceRTC(*comms, unit->Device);
    EXPECT_NEAR(QDateTime::currentDateTime().secsTo(unit->Device.DeviceClock), 0, 5);
    EXPECT_EQ(unitLog().value(QLatin1String("clockSets")).toArray().size(), 1);
}

TEST_F(SimLinkTest, OutputsAndCounterPresetReachTheUnit)
{
    startSim();
    ASSERT_TRUE(connectUnit());
    EXPECT_TRUE(SetSingleOutput(*comms, 3, true));
    EXPECT_TRUE(SetSingleOutput(*comms, 0, false));
    ASSERT_TRUE(ReadRealTime(*comms, unit->Device));
    EXPECT_EQ(unit->Device.Live.OutputState, 0x08);
    EXPECT_TRUE(SetTotalCNT(*comms, 2, 1500));
    ASSERT_TRUE(ReadTotalCount(*comms, unit->Device));
    EXPECT_EQ(unit->Device.TotalCounts[2], 1500);

    const QJsonObject log = unitLog();
    EXPECT_EQ(log.value(QLatin1String("outputs")).toArray().size(), 2);
    const QJsonArray presets = log.value(QLatin1String("counterPresets")).toArray();
    ASSERT_EQ(presets.size(), 1);
    EXPECT_EQ(presets.at(0)[QLatin1String("value")].toInt(), 1500);
}

TEST_F(SimLinkTest, ModemCallWithTheRightKeyConnectsAndHangsUp)
{
    startSim({QStringLiteral("--modem"), QStringLiteral("--key"), QStringLiteral("4321")});
    unit->askPassWord = [] { return QStringLiteral("4321"); };
    ASSERT_TRUE(unit->connectUnit({sim.devicePath(), false, QStringLiteral("600123456")}));
    EXPECT_EQ(comms->LinkTimeout, comms->timings.modemAnswer);
    unit->disconnectUnit();

    const QJsonObject log = unitLog();
    EXPECT_EQ(log.value(QLatin1String("dials")).toArray().at(0)[QLatin1String("number")].toString(),
              QStringLiteral("600123456"));
    EXPECT_EQ(log.value(QLatin1String("logins")).toArray().size(), 1);
    EXPECT_EQ(log.value(QLatin1String("hangups")).toArray().size(), 1);
}

TEST_F(SimLinkTest, ModemCallWithAWrongKeyThreeTimesStaysDisconnected)
{
    startSim({QStringLiteral("--modem"), QStringLiteral("--key"), QStringLiteral("4321")});
    int prompts = 0;
    unit->askPassWord = [&prompts] {
        ++prompts;
        return QStringLiteral("1111");
    };
    EXPECT_FALSE(unit->connectUnit({sim.devicePath(), false, QStringLiteral("600123456")}));
    EXPECT_EQ(unit->lastError().error, LinkError::Refused);
    EXPECT_EQ(prompts, 3);
    EXPECT_FALSE(comms->port().isOpen());

    const QJsonArray logins = unitLog().value(QLatin1String("logins")).toArray();
    ASSERT_EQ(logins.size(), 3);
    for (const QJsonValue &login : logins)
        EXPECT_FALSE(login[QLatin1String("accepted")].toBool());
}

TEST_F(SimLinkTest, ModemThatReportsBusyLeavesThePortClosed)
{
    startSim({QStringLiteral("--modem"), QStringLiteral("--dial-result"), QStringLiteral("BUSY")});
    EXPECT_FALSE(unit->connectUnit({sim.devicePath(), false, QStringLiteral("600123456")}));
    EXPECT_EQ(unit->lastError().error, LinkError::ModemBusy);
    EXPECT_FALSE(comms->port().isOpen());
    EXPECT_EQ(commandCount(unitLog(), "40"), 0);
}

TEST_F(SimLinkTest, ConfigurationDownloadsAndUploads)
{
    startSim({QStringLiteral("--lines"),
              writeFile(QStringLiteral("unit.txt"), "DNAME,Tank3\nSMC,+34609090909\nPTLF,+34600111222\n"
                                                    "REST,Vuelta\nRENVT,600\nRENVN,3\n")});
    ASSERT_TRUE(connectUnit());
    unit->readInfo();
    SectionRegistry sections;
    registerSections(sections);
    ConfigStore store;
    ASSERT_TRUE(unit->download(store, sections));
    EXPECT_EQ(store.General.UnitName, QStringLiteral("Tank3"));
    ASSERT_TRUE(unit->upload(store, sections));

    const QJsonArray uploads = unitLog().value(QLatin1String("uploads")).toArray();
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(uploads.at(0)[QLatin1String("lines")].toArray().at(0).toString(), QStringLiteral("ID=Tank3"));
    EXPECT_TRUE(uploads.at(0)[QLatin1String("matched")].toBool());
}

// Each fault, and the retry its rule prescribes, counted on the unit's side.
TEST_F(SimLinkTest, FaultsProduceTheirRetries)
{
    SectionRegistry sections;
    registerSections(sections);
    const struct Case {
        QStringList arguments;
        std::function<bool(UnitConnection &)> operation;
        const char *command;
        int framesReceived;
    } cases[] = {
        {{"--corrupt", "40:1"}, [](UnitConnection &) { return true; }, "40", 2},
        {{"--noise"}, [](UnitConnection &u) { return ReadTotalCount(u.comms(), u.Device); }, "20", 1},
        {{"--slow", "300"}, [](UnitConnection &u) { return ReadTotalCount(u.comms(), u.Device); }, "20", 1},
        {{"--drop", "20:2"}, [](UnitConnection &u) { return ReadTotalCount(u.comms(), u.Device); }, "20", 3},
        {{"--silent-after", "1"},
         [](UnitConnection &u) {
             u.comms().LinkTimeout = 100;
             return !ReadTotalCount(u.comms(), u.Device);
         },
         "20", 12},
        {{"--skip-seq", "1"},
         [&sections](UnitConnection &u) {
             ConfigStore store;
             return u.download(store, sections);
         },
         "42", 2},
        {{"--refuse-line", "3"},
         [&sections](UnitConnection &u) {
             u.readInfo();
             return u.upload(ConfigStore(), sections);
         },
         "46", 1},
        {{"--withhold-b91", "1"},
         [&sections](UnitConnection &u) {
             u.readInfo();
             return u.upload(ConfigStore(), sections);
         },
         "46", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.arguments.join(QLatin1Char(' '))));
        startSim(c.arguments);
        ASSERT_TRUE(connectUnit());
        const bool succeeded = c.operation(*unit);
        const QJsonObject log = unitLog();
        EXPECT_TRUE(succeeded) << QJsonDocument(log).toJson().constData();
        EXPECT_EQ(commandCount(log, c.command), c.framesReceived);
    }
}

TEST_F(SimLinkTest, EndsCleanlyOnSigtermWithItsLogWritten)
{
    QProcess program;
    program.start(SimulatedUnit::defaultProgram(), {QStringLiteral("--log"), logPath()});
    ASSERT_TRUE(program.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(program.readLine()).trimmed();
    Comms link(std::make_unique<QtSerialPort>());
    UnitConnection connection(link);
    ASSERT_TRUE(connection.connectUnit({device, false, {}}));
    connection.disconnectUnit();

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    QFile log(logPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(commandCount(QJsonDocument::fromJson(log.readAll()).object(), "40"), 1);
}

TEST(SimulatedUnitLauncher, ReportsAProgramThatCannotStart)
{
    QTemporaryDir dir;
    SimulatedUnit sim;
    sim.setProgram(dir.filePath(QStringLiteral("no-such-program")));
    EXPECT_FALSE(sim.start(2000));
    EXPECT_FALSE(sim.isRunning());
    EXPECT_TRUE(sim.devicePath().isEmpty());
    EXPECT_FALSE(sim.errorString().isEmpty());
}

} // namespace

// Closing the program while the simulated unit is still starting: the start
// gives up at once and nothing it waits on is destroyed under it.
TEST(SimulatedUnitLauncher, ShutdownDuringTheStartEndsItCleanly)
{
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("slow-sim"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexec sleep 30\n");
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);

    Comms comms(std::make_unique<QtSerialPort>());
    UnitConnection connection(comms);
    connection.simulatorProgram = script;
    QTimer::singleShot(100, &connection, [&connection] { connection.shutdown(); });
    EXPECT_FALSE(connection.connectUnit({{}, true, {}}));
    // Ended by the shutdown, not by the start's own time-out.
    EXPECT_FALSE(connection.lastError());
    EXPECT_FALSE(connection.isConnected());
    EXPECT_FALSE(comms.port().isOpen());
}
