#include <gtest/gtest.h>

#include "sections/general/generalcore.h"
#include "sections/gprs/gprscore.h"
#include "simroundtrip.h"

namespace {

QString emptySlots(int count)
{
    return QStringList(count, QStringLiteral("255")).join(' ');
}

// The general and GPRS settings travel from the unit to a file and back: what
// the unit receives is written out here, not derived from the code under test.
TEST(GeneralRoundTrip, DownloadSaveRestoreUploadGivesTheUnitItsSettingsBack)
{
    // The simulated unit's default capabilities include the extended phone
    // mask, the retry settings and the GPRS and FTP settings.
    SimRoundTrip trip;
    ASSERT_NO_FATAL_FAILURE(runSimRoundTrip(QStringLiteral(VELKAN_TEST_DATA "/general_unit_lines.txt"), trip));
    if (IsSkipped())
        return;
    EXPECT_TRUE(trip.matched);
    const QStringList &received = trip.received;
    const UploadContext unit{trip.features};

    // Minutes from 150 s; slot 20 stays behind; codes DI0 21, DI2 23, FL1 13,
    // AI0 0, FG3 64, PB1 106.
    const QStringList general = {
        QStringLiteral("ID=Dep\u00f3sito Sur"),
        QStringLiteral("CSM=+34607003003"),
        QStringLiteral("PTLF=+34600111222"),
        QStringLiteral("REST=Reinicio tras corte"),
        QStringLiteral("RETRYMAX= 4"),
        QStringLiteral("RETRYTIME= 120"),
        QStringLiteral("CLRTLF"),
        QStringLiteral("+TLF=+34600123456,Prio=1,PRV2,MASKMODE0"),
        QStringLiteral("+TLF=+34600654321,Prio=0,PRV1,MASK= 21 23 13 ") + emptySlots(13) + QStringLiteral(",MASKMODE1"),
        QStringLiteral("+TLF=+34611222333,Prio=8,PRV3,MASK= 0 64 106 ") + emptySlots(13) + QStringLiteral(",MASKMODE2"),
    };
    ASSERT_GE(received.size(), general.size());
    EXPECT_EQ(received.mid(0, general.size()), general);

    // The GPRS section closes the upload.
    const QStringList gprs = {
        QStringLiteral("APNSERVER=m2m.apn"), QStringLiteral("APNPASS=clave"),
        QStringLiteral("APNUSER=usuario"), QStringLiteral("APNRETRIES= 5"),
        QStringLiteral("APNRETRYTIME= 30"), QStringLiteral("APNTIMEOUT= 90"),
        QStringLiteral("APNALCON=1"), QStringLiteral("SERVERIP=192.168.1.10"),
        QStringLiteral("SERVERPORT= 5020"), QStringLiteral("SERVERTIMEOUT= 600"),
        QStringLiteral("GPRSEN"), QStringLiteral("FTPIP=ftp.example.net"),
        QStringLiteral("FTPPATH=/datos/velkan"), QStringLiteral("FTPUSER=ftpuser"),
        QStringLiteral("FTPPASS=ftppass"), QStringLiteral("FTPRETRIES= 3"),
        QStringLiteral("FTPRETRYTIME= 45"),
    };
    ASSERT_GE(received.size(), general.size() + gprs.size());
    EXPECT_EQ(received.mid(received.size() - gprs.size()), gprs);

    // The other sections were never filled: they send what a cleared model sends.
    SectionRegistry sections;
    registerSections(sections);
    ConfigStore cleared;
    sections.clearAll(cleared);
    const QStringList clearedLines = sections.uploadLines(cleared, unit);
    const int clearedGeneral = int(GeneralCore().uploadLines(cleared, unit).size());
    const int clearedGprs = int(GprsCore().uploadLines(cleared, unit).size());
    EXPECT_EQ(received.mid(general.size(), received.size() - general.size() - gprs.size()),
              clearedLines.mid(clearedGeneral, clearedLines.size() - clearedGeneral - clearedGprs));
}

} // namespace
