// What the link leaves behind between units and in the service history.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "files/configcompare.h"
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

// The simulated unit on the in-memory port; plug() puts another unit there.
struct IntegrityLinkTest : ::testing::Test {
    IntegrityLinkTest()
        : port(new FakeSerialPort), comms(std::unique_ptr<SerialPort>(port)), unit(comms),
          history(dir.filePath(QStringLiteral("history")))
    {
        QStandardPaths::setTestModeEnabled(true);
        comms.timings = LinkTimings::fast();
        registerSections(sections);
        sections.clearAll(store);
        unit.keepHistory(&history);
    }

    void plug(const QStringList &lines, EngineSetup setup = {})
    {
        host.reset();
        engine = std::make_unique<UnitEngine>(UnitState::defaults(), lines, std::move(setup));
        host = std::make_unique<FakePortUnit>(*port, *engine);
        if (!unit.isConnected())
            ASSERT_TRUE(unit.connectUnit({QStringLiteral("SIM")}));
        ASSERT_TRUE(unit.readInfo());
    }

    quint32 features() const { return UnitState::defaults().features; }

    QTemporaryDir dir;
    FakeSerialPort *port;
    Comms comms;
    UnitConnection unit;
    ServiceHistory history;
    SectionRegistry sections;
    ConfigStore store;
    std::unique_ptr<UnitEngine> engine;
    std::unique_ptr<FakePortUnit> host;
};

bool anyAction(const ConfigStore &store)
{
    const auto has = [](const ActionList &list) {
        return std::any_of(list.begin(), list.end(), [](qint16 code) { return code != 0; });
    };
    bool found = false;
    const auto timers = [&](const auto &family) {
        for (const auto &t : family)
            found = found || has(t.Actions);
    };
    timers(store.CyclicTimers);
    timers(store.WeeklyTimers);
    timers(store.MonthlyTimers);
    timers(store.LongTimers);
    const auto alarms = [&](const auto &channelSlots) {
        for (const AlarmConfig &a : channelSlots)
            found = found || has(a.ActionsHigh) || has(a.ActionsLow) || has(a.ActionsNormal);
    };
    for (const FlowMeter &m : store.Flow)
        alarms(m.Alarms);
    for (const DigitalInput &d : store.Digital)
        alarms(d.Alarms);
    return found;
}

} // namespace

// Two units read in one run, the second streaming no actions: the model, its
// file and its upload hold exactly what the second unit sent.
TEST_F(IntegrityLinkTest, ASecondDownloadKeepsNothingOfTheFirstUnitsActions)
{
    const QStringList first = ConfigStream::defaults(features());
    plug(first);
    ASSERT_TRUE(unit.download(store, sections));
    ASSERT_TRUE(anyAction(store));

    QStringList second;
    for (const QString &line : first) {
        if (!line.contains(QLatin1String(".ACT")))
            second << line;
    }
    plug(second);
    ASSERT_TRUE(unit.download(store, sections));
    EXPECT_FALSE(anyAction(store));

    const ConfigStore expected = ConfigStream::readLines(sections, second, features());
    EXPECT_TRUE(compareConfigurations(expected, store, sections).isEmpty());
    const UploadContext context{features(), kProductLimits};
    EXPECT_EQ(sections.uploadLines(store, context), sections.uploadLines(expected, context));
}

// The history tells a write, a verified write and one whose check found differences apart.
TEST_F(IntegrityLinkTest, TheHistoryNamesWhatTheWritesCheckFound)
{
    const struct {
        bool verify;
        QStringList alterations;
        HistoryKind kind;
        const char *word;
    } cases[] = {
        {false, {}, HistoryKind::Write, "write"},
        {true, {}, HistoryKind::VerifiedWrite, "write-verified"},
        {true, {QStringLiteral("RETRYMAX= 9")}, HistoryKind::DifferingWrite, "write-differs"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.word);
        EngineSetup setup;
        setup.alterations = c.alterations;
        plug(ConfigStream::defaults(features()), std::move(setup));
        ASSERT_TRUE(unit.download(store, sections));
        QList<ConfigDifference> differences;
        ASSERT_TRUE(c.verify ? unit.uploadVerified(store, sections, differences) : unit.upload(store, sections));
        const HistoryEntry newest = history.entries(unit.Device.SerialNumber).value(0);
        EXPECT_EQ(newest.kind, c.kind);
        EXPECT_TRUE(newest.path.contains(QStringLiteral("Z-") + c.word)) << newest.path.toStdString();
    }
}
