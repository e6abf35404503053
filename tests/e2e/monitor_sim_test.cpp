#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "../support/pseudoterminal.h"
#include "files/langtable.h"
#include "link/comms.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "link/unitconnection.h"
#include "tools/led.h"
#include "tools/realtimemonitor.h"

// The monitor shown and active against velkan-sim: a ticked box switches the
// unit's output, and a later tick shows the state the unit reports.
TEST(MonitorSim, TickedOutputReachesTheUnitAndItsLampLights)
{
    if (!QFileInfo::exists(SimulatedUnit::defaultProgram()))
        GTEST_SKIP() << "velkan-sim is not built next to the tests";
    if (!pseudoTerminalsWork())
        GTEST_SKIP() << "pseudo-terminals are not available";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString logPath = dir.filePath(QStringLiteral("log.json"));
    LangTable lang(QStringLiteral("no-such-folder/Lang.txt"));
    setLang(&lang);

    SimulatedUnit sim;
    sim.setArguments({QStringLiteral("--log"), logPath});
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    {
        Comms comms(std::make_unique<QtSerialPort>());
        comms.timings = LinkTimings::fast();
        comms.timings.cableAnswer = 1000; // a busy machine still answers within this
        UnitConnection unit(comms);
        ASSERT_TRUE(unit.connectUnit({sim.devicePath(), false, {}}));

        T_Real_Zelmor monitor(unit);
        monitor.Timer1->stop();
        monitor.show();
        monitor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&monitor));
        monitor.Timer1_Timer();
        ASSERT_FALSE(monitor.Led_O[1]->isLit()) << "the simulated unit starts with output 1 off";

        monitor.CheckCambiarEstado[1]->setChecked(true);
        monitor.Timer1_Timer();
        EXPECT_FALSE(monitor.CheckCambiarEstado[1]->isChecked());
        monitor.Timer1_Timer();
        EXPECT_TRUE(monitor.Led_O[1]->isLit());
        EXPECT_TRUE(monitor.Led_O[0]->isLit()) << "the other outputs keep their state";
    }
    sim.stop();
    setLang(nullptr);

    QFile file(logPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray outputs = QJsonDocument::fromJson(file.readAll()).object().value("outputs").toArray();
    ASSERT_EQ(outputs.size(), 1);
    EXPECT_EQ(outputs.at(0)[QLatin1String("output")].toInt(), 1);
    EXPECT_TRUE(outputs.at(0)[QLatin1String("on")].toBool());
}
