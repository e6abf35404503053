#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "../support/pseudoterminal.h"
#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "model/configstore.h"
#include "sections/general/generalcore.h"
#include "sections/gprs/gprscore.h"
#include "sections/sectionlist.h"

namespace {


QStringList stringList(const QJsonValue &array)
{
    QStringList list;
    for (const QJsonValue &v : array.toArray())
        list << v.toString();
    return list;
}

QString emptySlots(int count)
{
    return QStringList(count, QStringLiteral("255")).join(' ');
}

// The general and GPRS settings travel from the unit to a file and back: what
// the unit receives is written out here, not derived from the code under test.
TEST(GeneralRoundTrip, DownloadSaveRestoreUploadGivesTheUnitItsSettingsBack)
{
    if (!QFileInfo::exists(SimulatedUnit::defaultProgram()))
        GTEST_SKIP() << "velkan-sim is not built next to the tests";
    if (!pseudoTerminalsWork())
        GTEST_SKIP() << "pseudo-terminals are not available";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("log.json"));

    // The simulated unit's default capabilities include the extended phone
    // mask, the retry settings and the GPRS and FTP settings.
    SimulatedUnit sim;
    sim.setArguments({QStringLiteral("--lines"), QStringLiteral(VELKAN_TEST_DATA "/general_unit_lines.txt"),
                      QStringLiteral("--log"), log});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    auto comms = std::make_unique<Comms>(std::make_unique<QtSerialPort>());
    ASSERT_TRUE(comms->StartComs(sim.devicePath(), {}));
    comms->LinkTimeout = 1000;
    comms->ReadInfo();
    const UploadContext unit{comms->Device.DeviceFeatures};

    SectionRegistry sections;
    registerSections(sections);
    ConfigStore store;
    sections.clearAll(store);
    ASSERT_TRUE(comms->ReadConf(store, sections));
    const QString file = dir.filePath(QStringLiteral("unit.qcf"));
    ASSERT_TRUE(saveConfigFile(file, store, sections));
    ConfigStore restored;
    sections.clearAll(restored);
    ASSERT_EQ(restoreConfigFile(file, restored, sections), RestoreResult::Restored);
    ASSERT_TRUE(comms->WriteConf(restored, sections));
    comms.reset();
    sim.stop();

    QFile logFile(log);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QJsonArray uploads = QJsonDocument::fromJson(logFile.readAll()).object()[QLatin1String("uploads")].toArray();
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_TRUE(uploads.at(0)[QLatin1String("matched")].toBool());
    const QStringList received = stringList(uploads.at(0)[QLatin1String("lines")]);

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
    ConfigStore cleared;
    sections.clearAll(cleared);
    const QStringList clearedLines = sections.uploadLines(cleared, unit);
    const int clearedGeneral = int(GeneralCore().uploadLines(cleared, unit).size());
    const int clearedGprs = int(GprsCore().uploadLines(cleared, unit).size());
    EXPECT_EQ(received.mid(general.size(), received.size() - general.size() - gprs.size()),
              clearedLines.mid(clearedGeneral, clearedLines.size() - clearedGeneral - clearedGprs));
}

} // namespace
