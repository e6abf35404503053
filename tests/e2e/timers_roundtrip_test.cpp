#include <gtest/gtest.h>

#include <QRegularExpression>

#include "simroundtrip.h"

namespace {

// "-LT3" to "-LT15" for off("-LT", 3, 15).
QStringList off(const char *prefix, int from, int to)
{
    QStringList lines;
    for (int i = from; i <= to; ++i)
        lines << QLatin1String(prefix) + QString::number(i);
    return lines;
}

// The timers travel from the unit to a file and back: what the unit receives
// is written out here, not derived from the code under test.
TEST(TimersRoundTrip, DownloadSaveRestoreUploadGivesTheUnitItsTimersBack)
{
    // The simulated unit's default capabilities include the monthly timers.
    SimRoundTrip trip;
    ASSERT_NO_FATAL_FAILURE(runSimRoundTrip(QStringLiteral(VELKAN_TEST_DATA "/timers_unit_lines.txt"), trip));
    if (IsSkipped())
        return;
    EXPECT_TRUE(trip.matched);
    QStringList timerLines;
    const QRegularExpression timerLine(QStringLiteral("^-?(LT|CT|WT|MT)\\d"));
    for (const QString &line : trip.received) {
        if (timerLine.match(line).hasMatch())
            timerLines << line;
    }

    // 3600 s is 0 days and stays enabled; a weekly timer without days is off.
    const QStringList expected = QStringList{QStringLiteral("LT0= 259200,ACT= 7"), QStringLiteral("-LT1"),
                                             QStringLiteral("LT2= 0,ACT=")}
        + off("-LT", 3, 15)
        + QStringList{QStringLiteral("CT0= 60,EQ= 0,ACT= 5 17"), QStringLiteral("-CT1"), QStringLiteral("-CT2"),
                      QStringLiteral("CT3= 2.5,START=8:00:00,STOP=18:30:00,WEEK=1111100,EQ= 3,ACT= 12")}
        + off("-CT", 4, 15)
        + QStringList{QStringLiteral("WT0=7:30:00,WEEK=1010100,ACT= 79")}
        + off("-WT", 1, 15)
        + off("-MT", 0, 3)
        + QStringList{QStringLiteral("MT4=6:00:00,MASK= 2147500033,ACT= 1 42 109")}
        + off("-MT", 5, 14)
        + QStringList{QStringLiteral("MT15=0:00:00,MASK= 2147483648,ACT=")};
    EXPECT_EQ(timerLines, expected);
}

} // namespace
