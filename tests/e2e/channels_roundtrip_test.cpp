#include <gtest/gtest.h>

#include <QRegularExpression>

#include "link/devicevalues.h"
#include "simroundtrip.h"

namespace {

// "-ALMF0,INDEX= 0" to "-ALMF2,INDEX= 0" for off("-ALMF", 0, 2, 1); four slots
// each for probes.
QStringList off(const char *prefix, int from, int to, int slotCount)
{
    QStringList lines;
    for (int i = from; i <= to; ++i) {
        for (int slot = 0; slot < slotCount; ++slot)
            lines << QStringLiteral("%1%2,INDEX= %3").arg(QLatin1String(prefix)).arg(i).arg(slot);
    }
    return lines;
}

// Math channels, flags and probes travel from the unit to a file and back:
// what the unit receives is written out here, not derived from the code under test.
TEST(ChannelsRoundTrip, DownloadSaveRestoreUploadGivesTheUnitItsChannelsBack)
{
    SimRoundTrip trip;
    ASSERT_NO_FATAL_FAILURE(runSimRoundTrip(QStringLiteral(VELKAN_TEST_DATA "/channels_unit_lines.txt"), trip));
    if (IsSkipped())
        return;
    ASSERT_TRUE(trip.features & Feature::MathChannels);
    ASSERT_TRUE(trip.features & Feature::FlagAlarms);
    EXPECT_TRUE(trip.matched);
    const QRegularExpression channelLine(
        QStringLiteral("^(MCCONF|DISMC|[+-]ALMM\\d|[+-]ALMF\\d|ONEWCONF|DISONEW|[+-]ALMOW)"));
    QStringList received;
    for (const QString &line : trip.received) {
        if (channelLine.match(line).hasMatch())
            received << line;
    }

    // The upload sends the flags, then the probes, then the math channels.
    const QStringList expected =
        off("-ALMF", 0, 2, 1)
        + QStringList{QStringLiteral("+ALMF3=Puerta abierta,INDEX= 0,SREST,RING,START=8:00:00,STOP=18:00:00,"
                                     "WEEK=1111100,ACTHI= 5,ACTLO= 7")}
        + off("-ALMF", 4, 9, 1)
        + QStringList{QStringLiteral("+ALMF10=Flag alto,INDEX= 0,NOSEND,ACTHI=,ACTLO=")}
        + off("-ALMF", 11, 15, 1)
        + QStringList{QStringLiteral("ONEWCONF0=Hum,UNIT=%HR,ONEWADD=000.000.000.000.000.000.000.000,1WHUM")}
        + off("-ALMOW", 0, 0, 4)
        + QStringList{QStringLiteral("DISONEW1")}
        + off("-ALMOW", 1, 1, 4)
        + QStringList{QStringLiteral("ONEWCONF2=Temp,UNIT=C,ONEWADD=040.170.187.204.000.000.000.045,1WTEMP"),
                      QStringLiteral("-ALMOW2,INDEX= 0"),
                      QStringLiteral("+ALMOW2=Temp alta,INDEX= 1,MAX= 30.5,MIN=-5,HIST= 1,P= 10,RING,EQ= 4,"
                                     "ACTHI= 3,ACTLO=,ACTNOM= 8"),
                      QStringLiteral("-ALMOW2,INDEX= 2"), QStringLiteral("-ALMOW2,INDEX= 3"),
                      QStringLiteral("DISONEW3")}
        + off("-ALMOW", 3, 3, 4)
        + QStringList{QStringLiteral("MCCONF0=Suma,UNIT=m3,EQ=FL0+FL1"),
                      QStringLiteral("+ALMM0=Caudal alto,INDEX= 0,MAX= 50,MIN= 1.5,HIST= 2,P= 3,EQ= 0,"
                                     "ACTHI= 5 12,ACTLO= 7,ACTNOM= 9"),
                      QStringLiteral("DISMC1"), QStringLiteral("-ALMM1,INDEX= 0"),
                      QStringLiteral("DISMC2"), QStringLiteral("-ALMM2,INDEX= 0"),
                      QStringLiteral("DISMC3"), QStringLiteral("-ALMM3,INDEX= 0")};
    EXPECT_EQ(received, expected);
}

} // namespace
