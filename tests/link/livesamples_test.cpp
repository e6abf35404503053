#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "link/livelog.h"
#include "link/livesamples.h"

namespace {

constexpr qint64 kStart = 1'700'000'000'000; // a UTC instant, ms since the epoch
const LiveSeries kFlow0{LiveSeries::Flow, 0};
const LiveSeries kOutput2{LiveSeries::Output, 2};

LiveData liveWith(float flow, quint16 outputs = 0)
{
    LiveData live;
    live.FlowRate[0] = flow;
    live.OutputState = outputs;
    return live;
}

// Polls every 500 ms from kStart, one per value.
void feed(LiveSampleStore &store, const QList<float> &flows, qint64 from = kStart)
{
    for (int i = 0; i < flows.size(); ++i)
        store.add(from + 500 * i, liveWith(flows[i]));
}

QList<double> ys(const QList<QPointF> &run)
{
    QList<double> values;
    for (const QPointF &p : run)
        values << p.y();
    return values;
}

TEST(LiveSampleStore, AWindowTakesThePollsFromItsStartAndADisconnectLeavesAGap)
{
    LiveSampleStore store;
    feed(store, {1, 2, 3, 4});
    store.breakRun();
    feed(store, {7, 8}, kStart + 10'000);

    const auto all = store.runs(kFlow0, 0, 100);
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(ys(all[0]), (QList<double>{1, 2, 3, 4}));
    EXPECT_EQ(ys(all[1]), (QList<double>{7, 8}));
    EXPECT_EQ(all[1][0].x(), double(kStart + 10'000));

    const auto recent = store.runs(kFlow0, kStart + 1000, 100);
    ASSERT_EQ(recent.size(), 2);
    EXPECT_EQ(ys(recent[0]), (QList<double>{3, 4}));
    EXPECT_TRUE(store.runs(kFlow0, kStart + 20'000, 100).isEmpty());

    store.clear();
    EXPECT_EQ(store.size(), 0);
    feed(store, {5});
    EXPECT_EQ(store.runs(kFlow0, 0, 100).size(), 1);
}

// Thinned to the lowest and highest of each stretch: a one-poll spike stays
// in view, the points stay within the limit, and time only goes forward.
TEST(LiveSampleStore, ThinningKeepsPeaksWithinTheLimit)
{
    LiveSampleStore store;
    QList<float> flows(10'000, 1.0f);
    flows[4321] = 50.0f;
    flows[8765] = -20.0f;
    feed(store, flows);
    const auto runs = store.runs(kFlow0, 0, 200);
    ASSERT_EQ(runs.size(), 1);
    const QList<QPointF> &run = runs[0];
    EXPECT_LE(run.size(), 200);
    EXPECT_GE(run.size(), 50); // at least a point for each stretch
    const QList<double> values = ys(run);
    EXPECT_EQ(*std::max_element(values.begin(), values.end()), 50.0);
    EXPECT_EQ(*std::min_element(values.begin(), values.end()), -20.0);
    for (int i = 1; i < run.size(); ++i)
        EXPECT_LE(run[i - 1].x(), run[i].x());
}

TEST(LiveSampleStore, KeepsAtMostItsCapacityAndADayOfPollsFitsTheBudget)
{
    LiveSampleStore small(3);
    feed(small, {1, 2, 3, 4, 5});
    EXPECT_EQ(small.size(), 3);
    EXPECT_EQ(small.firstMsecs(), kStart + 1000);
    EXPECT_EQ(ys(small.runs(kFlow0, 0, 100).value(0)), (QList<double>{3, 4, 5}));

    LiveSampleStore day;
    const LiveData live = liveWith(2.5f, 0x15);
    for (int i = 0; i < LiveSampleStore::kDefaultCapacity + 10; ++i)
        day.add(kStart + 500 * qint64(i), live);
    EXPECT_EQ(day.size(), 24 * 3600 * 2);
    EXPECT_LT(day.memoryBytes(), size_t(40) << 20);
}

// States are drawn as steps: a change is a vertical edge at the poll that saw it.
TEST(LiveSampleStore, StatesStepAndCountersKeepEveryDigit)
{
    LiveSampleStore store;
    store.add(kStart, liveWith(0, 0));
    store.add(kStart + 500, liveWith(0, 1u << 2));
    store.add(kStart + 1000, liveWith(0, 1u << 2));
    LiveData big;
    big.CounterValue[3] = 2147483647;
    store.add(kStart + 1500, big);
    const auto runs = store.runs(kOutput2, 0, 100);
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0], (QList<QPointF>{{double(kStart), 0}, {double(kStart + 500), 0}, {double(kStart + 500), 1},
                                       {double(kStart + 1000), 1}, {double(kStart + 1500), 1},
                                       {double(kStart + 1500), 0}}));
    EXPECT_EQ(store.value({LiveSeries::Counter, 3}, 3), 2147483647.0);
}

TEST(LiveSeries, EveryValueTheUnitReportsIsASeries)
{
    const QList<LiveSeries> withMath = liveSeries(true);
    EXPECT_EQ(withMath.size(), kCounterCount * 2 + kProbeCount + kAuxCount + kProductLimits.MathCount
                                   + kLiveInputs + kProductLimits.OutputCount + kLiveFlags);
    EXPECT_EQ(liveSeries(false).size(), withMath.size() - kProductLimits.MathCount);
    EXPECT_EQ(withMath.last().key(), "flag15");
}

// The log's format, shared with velkan-cli: header of labels and units (keys
// where the unit gave none, quoted where a label holds the separator), UTC
// time, counters whole, reals with a dot whatever the locale.
TEST(LiveCsv, HeaderAndRowsAreTheSameWhateverTheLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    DeviceValues device;
    LiveData &live = device.Live;
    live.CounterName[0] = QStringLiteral("Pozo 1");
    live.FlowName[0] = QStringLiteral("Caudal, norte");
    live.FlowUnit[0] = QStringLiteral("m3/h");
    live.AnalogName[1] = QStringLiteral("Sonda \"B\"");
    live.MathName[0] = QStringLiteral("Volumen");
    live.CounterValue[0] = 2147483647;
    live.FlowRate[0] = 1234.5f;
    live.AnalogValue[1] = -0.125f;
    live.MathValue[0] = 12345678.0f;
    live.DigitalState = 5;
    live.FlagState = 0x8000;
    device.DeviceClock = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    const QDateTime time = QDateTime(QDate(2024, 5, 6), QTime(5, 8, 9, 250), Qt::UTC);

    const QStringList header = LiveCsv::header(live, false).split(u',');
    EXPECT_EQ(header.mid(0, 4), (QStringList{"time", "unit_clock", "Pozo 1", "counter1"}));
    EXPECT_TRUE(LiveCsv::header(live, false).contains("\"Caudal, norte (m3/h)\",flow1,"));
    EXPECT_TRUE(LiveCsv::header(live, false).contains(",\"Sonda \"\"B\"\"\","));
    EXPECT_TRUE(LiveCsv::header(live, false).endsWith(",aux3,digital,outputs,flags"));
    EXPECT_TRUE(LiveCsv::header(live, true).endsWith(",aux3,Volumen,math1,math2,math3,digital,outputs,flags"));

    const QString row = LiveCsv::row(time.toLocalTime(), device, true);
    const QString clock = device.DeviceClock.toUTC().toString(Qt::ISODate); // the unit keeps the PC's local time
    EXPECT_TRUE(clock.endsWith(u'Z'));
    EXPECT_TRUE(row.startsWith("2024-05-06T05:08:09.250Z," + clock + ",2147483647,0,")) << qPrintable(row);
    EXPECT_TRUE(row.contains(",1234.5,")) << qPrintable(row);
    EXPECT_TRUE(row.contains(",-0.125,")) << qPrintable(row);
    EXPECT_TRUE(row.endsWith(",12345678,0,0,0,5,0,32768")) << qPrintable(row);
    EXPECT_EQ(row.count(u','), LiveCsv::header(live, true).count(u',') - 1); // one comma inside quotes
    QLocale::setDefault(before);
}

TEST(LiveLogFile, WritesHeaderAndRowsAndFailsCleanly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LiveLogFile log;
    ASSERT_TRUE(log.start(dir.filePath("a.csv"), "time,x"));
    EXPECT_TRUE(log.append("t1,1"));
    EXPECT_TRUE(log.append("t2,2"));
    EXPECT_EQ(log.rows(), 2);
    QFile written(dir.filePath("a.csv"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "time,x\nt1,1\nt2,2\n") << "each row is on disk as it is appended";
    log.stop();
    EXPECT_FALSE(log.append("t3,3"));
    EXPECT_EQ(log.rows(), 2);

    EXPECT_FALSE(log.start(dir.filePath("no-such-folder/b.csv"), "time"));
    EXPECT_FALSE(log.isOpen());
    EXPECT_FALSE(log.error().isEmpty());
    if (QFileInfo::exists("/dev/full")) {
        EXPECT_FALSE(log.start("/dev/full", "time"));
        EXPECT_FALSE(log.isOpen());
    }
}

} // namespace
