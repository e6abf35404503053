#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QTabWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "../support/pseudoterminal.h"
#include "files/langtable.h"
#include "link/comms.h"
#include "link/devicecommands.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "link/unitconnection.h"
#include "tools/led.h"
#include "tools/realtimemonitor.h"
#include "tools/trendpanel.h"

// velkan-sim on a pseudo-terminal, a scratch folder and the built-in texts;
// skipped where velkan-sim or pseudo-terminals are missing.
class MonitorSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(SimulatedUnit::defaultProgram()))
            GTEST_SKIP() << "velkan-sim is not built next to the tests";
        if (!pseudoTerminalsWork())
            GTEST_SKIP() << "pseudo-terminals are not available";
        ASSERT_TRUE(dir.isValid());
        setLang(&lang);
    }
    void TearDown() override { setLang(nullptr); }

    QTemporaryDir dir;
    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
};

// The monitor shown and active against velkan-sim: a ticked box switches the
// unit's output, and a later tick shows the state the unit reports.
TEST_F(MonitorSim, AClickedOutputReachesTheUnitAndItsLampAndBoxShowIt)
{
    const QString logPath = dir.filePath(QStringLiteral("log.json"));
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
        EXPECT_FALSE(monitor.CheckCambiarEstado[1]->isChecked());
        EXPECT_TRUE(monitor.CheckCambiarEstado[0]->isChecked()) << "output 0 is on";

        monitor.CheckCambiarEstado[1]->click();
        monitor.Timer1_Timer();
        EXPECT_TRUE(monitor.Led_O[1]->isLit());
        EXPECT_TRUE(monitor.CheckCambiarEstado[1]->isChecked());
        EXPECT_TRUE(monitor.Led_O[0]->isLit()) << "the other outputs keep their state";
        EXPECT_TRUE(monitor.CheckCambiarEstado[0]->isChecked());
    }
    sim.stop();

    QFile file(logPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray outputs = QJsonDocument::fromJson(file.readAll()).object().value("outputs").toArray();
    ASSERT_EQ(outputs.size(), 1);
    EXPECT_EQ(outputs.at(0)[QLatin1String("output")].toInt(), 1);
    EXPECT_TRUE(outputs.at(0)[QLatin1String("on")].toBool());
}

namespace {

// Pixels of a picture drawn in a colour.
int pixelsOf(const QImage &image, QColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
    }
    return count;
}

// The cells after the two times of a CSV line.
QStringList valueCells(const QString &line)
{
    return line.split(u',').mid(2);
}

} // namespace

// The trends against velkan-sim: each answered poll is a point of a ticked
// series and a row of the log, in velkan-cli's format; a disconnect leaves a
// gap; the chart's picture holds the plot.
TEST_F(MonitorSim, TrendsPlotAndLogEachPollLikeTheCommandLine)
{
    const QString csvPath = dir.filePath(QStringLiteral("trend.csv"));
    const QString pngPath = dir.filePath(QStringLiteral("trend.png"));
    const LiveSeries flow{LiveSeries::Flow, 1};
    const LiveSeries output{LiveSeries::Output, 0};
    constexpr int kPolls = 4;

    SimulatedUnit sim;
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    QStringList logged;
    {
        Comms comms(std::make_unique<QtSerialPort>());
        comms.timings = LinkTimings::fast();
        comms.timings.cableAnswer = 1000;
        UnitConnection unit(comms);
        const ConnectRequest request{sim.devicePath(), false, {}};
        ASSERT_TRUE(unit.connectUnit(request));
        // The identity and the labels, as the General window reads them after connecting.
        ASSERT_TRUE(ReadInfo(comms, unit.Device));
        ASSERT_TRUE(ReadIOParameter(comms, unit.Device));

        T_Real_Zelmor monitor(unit);
        monitor.Timer1->stop();
        monitor.resize(900, 640);
        TrendPanel &trends = *monitor.Trends;
        monitor.SSTab1->setCurrentWidget(&trends);
        monitor.show();
        monitor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&monitor));
        trends.tick(flow, true);
        trends.tick(output, true);
        QStringList told;
        trends.message = [&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
            told << text;
            return QMessageBox::Ok;
        };
        trends.askSavePath = [&](const QString &filter, const QString &) {
            return filter.contains("csv") ? csvPath : pngPath;
        };
        trends.LogButton_Click();
        ASSERT_TRUE(trends.log().isOpen());

        for (int i = 0; i < kPolls; ++i)
            monitor.Timer1_Timer();
        ASSERT_EQ(trends.lines(flow).size(), 1);
        EXPECT_EQ(trends.lines(flow).at(0)->count(), kPolls);
        EXPECT_EQ(trends.lines(flow).at(0)->at(0).y(), 7.25);
        EXPECT_EQ(trends.log().rows(), kPolls);
        EXPECT_TRUE(monitor.Trends->LogStatus->text().contains(QString::number(kPolls)));

        // The plot is drawn, in the series' colour, on screen and in the picture exported.
        QCoreApplication::processEvents();
        const QColor colour = trends.lines(flow).at(0)->pen().color();
        EXPECT_GT(pixelsOf(monitor.grab().toImage(), colour), 50);
        trends.ExportButton_Click();
        const QImage exported(pngPath);
        EXPECT_EQ(exported.size(), trends.ChartView->size() * exported.devicePixelRatio());
        EXPECT_GT(pixelsOf(exported, colour), 50);

        // Away and back: the next poll starts a run of its own.
        unit.disconnectUnit();
        ASSERT_TRUE(unit.connectUnit(request));
        monitor.Timer1_Timer();
        ASSERT_EQ(trends.lines(flow).size(), 2);
        EXPECT_EQ(trends.lines(flow).at(1)->count(), 1);
        EXPECT_EQ(trends.lines(output).size(), 2);
        trends.LogButton_Click();
        EXPECT_TRUE(told.isEmpty()) << qPrintable(told.join(u'\n'));
        EXPECT_FALSE(trends.log().isOpen());
        EXPECT_EQ(trends.log().rows(), kPolls + 1);
        unit.disconnectUnit();
    }

    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    logged = QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(logged.size(), kPolls + 2);
    EXPECT_TRUE(QDateTime::fromString(logged.at(1).section(u',', 0, 0), Qt::ISODateWithMs).isValid());
    EXPECT_TRUE(logged.at(1).section(u',', 0, 0).endsWith(u'Z'));

    // velkan-cli on the same unit writes the same header and the same values.
    QProcess cli;
    cli.start(QStringLiteral(VELKAN_CLI), {QStringLiteral("--port"), sim.devicePath(), QStringLiteral("live"),
                                           QStringLiteral("--count"), QStringLiteral("1")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QStringList printed = QString::fromUtf8(cli.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(printed.size(), 2) << qPrintable(cli.readAllStandardError());
    EXPECT_EQ(printed.at(0), logged.at(0));
    EXPECT_EQ(valueCells(printed.at(1)), valueCells(logged.at(1)));
    sim.stop();
}
