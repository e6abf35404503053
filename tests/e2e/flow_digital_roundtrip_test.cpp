#include <gtest/gtest.h>

#include <QRegularExpression>

#include "link/devicevalues.h"
#include "simroundtrip.h"

namespace {

// "-ALMFLOW2,INDEX= 0" to "-ALMFLOW2,INDEX= 3" for disabledSlots("-ALMFLOW", 2).
QStringList disabledSlots(const char *prefix, int channel)
{
    QStringList lines;
    for (int slot = 0; slot < 4; ++slot)
        lines << QStringLiteral("%1%2,INDEX= %3").arg(QLatin1String(prefix)).arg(channel).arg(slot);
    return lines;
}

// The flow meters, their weights and the digital inputs travel from the unit
// to a file and back: what the unit receives is written out here, not derived
// from the code under test.
TEST(FlowDigitalRoundTrip, DownloadSaveRestoreUploadGivesTheUnitItsMetersAndInputsBack)
{
    const quint32 features = Feature::PulseWeight | Feature::DigitalNormallyClosed;
    SimRoundTrip trip;
    ASSERT_NO_FATAL_FAILURE(
        runSimRoundTrip(QStringLiteral(VELKAN_TEST_DATA "/flow_digital_unit_lines.txt"), trip,
                        {QStringLiteral("--features"), QString::number(features)}));
    if (IsSkipped())
        return;
    EXPECT_TRUE(trip.matched);
    EXPECT_EQ(trip.features, features);
    QStringList received;
    const QRegularExpression ours(QStringLiteral("^([-+]ALM(FLOW|D)\\d|FLOWCONF|TOTALRATIO|DINAME)"));
    for (const QString &line : trip.received) {
        if (ours.match(line).hasMatch())
            received << line;
    }

    QStringList expected{
        QStringLiteral("DINAME0=Puerta,NC"),
        QStringLiteral("+ALMD0=Puerta abierta,INDEX= 0,PC= 2.5,PO= 4,RING,START=8:00:00,"
                       "STOP=18:00:00,WEEK=1111100,EQ= 2,ACTCLOSE= 12,ACTOPEN= 7"),
        QStringLiteral("-ALMD0,INDEX= 1"), QStringLiteral("-ALMD0,INDEX= 2"),
        QStringLiteral("-ALMD0,INDEX= 3"),
        QStringLiteral("DINAME1=Nivel")};
    expected << disabledSlots("-ALMD", 1);
    for (int i = 2; i < 8; ++i)
        expected << QStringLiteral("DINAME%1=").arg(i) << disabledSlots("-ALMD", i);
    expected << QStringLiteral("FLOWCONF0=Pozo 1,UNIT=m3/h,TB= 60,REGDAYMIN,RATIO=0.01")
             << QStringLiteral("TOTALRATIO0= .5") << QStringLiteral("-ALMFLOW0,INDEX= 0")
             << QStringLiteral("+ALMFLOW0=Caudal alto,INDEX= 1,MAX= 2000,MIN= 0,HIST= 50,P= 3,"
                               "RING,EQ= 0,ACTHI= 4 12,ACTLO= 7,ACTNOM=")
             << QStringLiteral("-ALMFLOW0,INDEX= 2") << QStringLiteral("-ALMFLOW0,INDEX= 3")
             << QStringLiteral("FLOWCONF1=Pozo 2,UNIT=l/s,TB=0,RATIO=2.5")
             << QStringLiteral("TOTALRATIO1= 10") << disabledSlots("-ALMFLOW", 1);
    for (int i = 2; i < 8; ++i) {
        expected << QStringLiteral("FLOWCONF%1=,UNIT=,TB=0,RATIO=1").arg(i)
                 << QStringLiteral("TOTALRATIO%1= 1").arg(i) << disabledSlots("-ALMFLOW", i);
    }
    EXPECT_EQ(received, expected);
}

} // namespace
