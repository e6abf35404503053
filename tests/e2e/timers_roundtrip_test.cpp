#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "../support/pseudoterminal.h"
#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

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
    if (!QFileInfo::exists(SimulatedUnit::defaultProgram()))
        GTEST_SKIP() << "velkan-sim is not built next to the tests";
    if (!pseudoTerminalsWork())
        GTEST_SKIP() << "pseudo-terminals are not available";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("log.json"));

    // The simulated unit's default capabilities include the monthly timers.
    SimulatedUnit sim;
    sim.setArguments({QStringLiteral("--lines"), QStringLiteral(VELKAN_TEST_DATA "/timers_unit_lines.txt"),
                      QStringLiteral("--log"), log});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    auto comms = std::make_unique<Comms>(std::make_unique<QtSerialPort>());
    ASSERT_TRUE(comms->StartComs(sim.devicePath(), {}));
    comms->LinkTimeout = 1000;
    comms->ReadInfo();

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
    QStringList timerLines;
    const QRegularExpression timerLine(QStringLiteral("^-?(LT|CT|WT|MT)\\d"));
    for (const QJsonValue &line : uploads.at(0)[QLatin1String("lines")].toArray()) {
        if (timerLine.match(line.toString()).hasMatch())
            timerLines << line.toString();
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
