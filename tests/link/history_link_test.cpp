#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

// The simulated unit on the in-memory port, connected, its identity read,
// and the connection keeping a service history in a folder of the test.
struct HistoryLinkTest : ::testing::Test {
    explicit HistoryLinkTest(EngineSetup setup = {})
        : engine(UnitState::defaults(), ConfigStream::defaults(UnitState::defaults().features), std::move(setup)),
          port(new FakeSerialPort),
          host(*port, engine),
          comms(std::unique_ptr<SerialPort>(port)),
          unit(comms),
          history(dir.filePath(QStringLiteral("history")))
    {
        QStandardPaths::setTestModeEnabled(true);
        comms.timings = LinkTimings::fast();
        registerSections(sections);
        unit.keepHistory(&history);
    }

    void SetUp() override
    {
        ASSERT_TRUE(unit.connectUnit({QStringLiteral("SIM")}));
        unit.readInfo();
        ASSERT_FALSE(unit.Device.SerialNumber.isEmpty());
    }

    QTemporaryDir dir;
    UnitEngine engine;
    FakeSerialPort *port;
    FakePortUnit host;
    Comms comms;
    UnitConnection unit;
    ServiceHistory history;
    SectionRegistry sections;
    ConfigStore store;
};

TEST_F(HistoryLinkTest, EverySuccessfulTransferLeavesACopyUnderTheUnitsSerial)
{
    QSignalSpy recorded(&unit, &UnitConnection::historyRecorded);
    ASSERT_TRUE(unit.download(store, sections));
    ASSERT_TRUE(unit.upload(store, sections));

    const QList<HistoryEntry> entries = history.entries(unit.Device.SerialNumber);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries.at(0).kind, HistoryKind::Write);
    EXPECT_EQ(entries.at(1).kind, HistoryKind::Read);
    EXPECT_NE(entries.at(0).path, entries.at(1).path);
    EXPECT_EQ(recorded.size(), 2);

    // The copy holds what was downloaded.
    ConfigStore copy;
    ASSERT_EQ(restoreConfigFile(entries.at(1).path, copy, sections), RestoreResult::Restored);
    EXPECT_EQ(copy.General.UnitName, store.General.UnitName);
    EXPECT_FALSE(copy.General.UnitName.isEmpty());
}

// A history that cannot be written changes nothing of the transfers; it is
// told once for the run of failures, and again only after a copy was kept.
TEST_F(HistoryLinkTest, AnUnwritableHistoryLeavesTheTransfersResultAndIsToldOnce)
{
    QFile blocker(dir.filePath(QStringLiteral("history")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QSignalSpy failed(&unit, &UnitConnection::historyFailed);
    QSignalSpy downloaded(&unit, &UnitConnection::configDownloaded);

    EXPECT_TRUE(unit.download(store, sections));
    EXPECT_EQ(store.General.UnitName, QStringLiteral("Deposito Norte"));
    EXPECT_TRUE(unit.upload(store, sections));
    EXPECT_TRUE(unit.download(store, sections));
    EXPECT_FALSE(unit.lastError());
    EXPECT_EQ(downloaded.size(), 2);
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed.at(0).at(0).value<FileFailure>().problem, FileProblem::Unwritable);

    ASSERT_TRUE(blocker.remove());
    EXPECT_TRUE(unit.download(store, sections));
    EXPECT_EQ(history.entries(unit.Device.SerialNumber).size(), 1);
    ASSERT_TRUE(QFile::rename(dir.filePath(QStringLiteral("history")), dir.filePath(QStringLiteral("moved"))));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_TRUE(unit.download(store, sections));
    EXPECT_EQ(failed.size(), 2);
}

// Every answer of the configuration stream arrives with a bad checksum.
struct CorruptStreamTest : HistoryLinkTest {
    CorruptStreamTest() : HistoryLinkTest(corruptStream()) {}
    static EngineSetup corruptStream()
    {
        EngineSetup setup;
        setup.faults.corrupt.insert(QStringLiteral("42"), -1);
        return setup;
    }
};

TEST_F(CorruptStreamTest, FailedDownloadLeavesATraceWithTheFailingFrameBesideTheCopies)
{
    QSignalSpy kept(&unit, &UnitConnection::traceKept);
    ASSERT_FALSE(unit.download(store, sections));

    ASSERT_EQ(kept.size(), 1);
    const QString path = kept.at(0).at(0).toString();
    EXPECT_EQ(QFileInfo(path).dir().dirName(), ServiceHistory::unitFolder(unit.Device.SerialNumber));
    EXPECT_TRUE(path.endsWith(QLatin1String("-download.trace"))) << qPrintable(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("# port: SIM"));
    EXPECT_TRUE(text.contains("# unit: " + unit.Device.SerialNumber.toLatin1()));
    EXPECT_TRUE(text.contains("timings: cableAnswer=300"));
    EXPECT_TRUE(text.contains("\t>\t#") && text.contains("42\\r\tsent"));
    EXPECT_TRUE(text.contains("\tbad-checksum\n"));
    // Not a configuration: the history's listing leaves it out.
    EXPECT_TRUE(history.entries(unit.Device.SerialNumber).isEmpty());
}

} // namespace
