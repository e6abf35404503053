#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QValueAxis>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tools/trendpanel.h"
#include "widgets/savename.h"

// The value axis follows the values with some room: every value stays in
// view, a spike included, while values that wander within the room leave
// the axis (and so every line's geometry) where it was.
TEST(TrendPanelAxis, EveryValueStaysInViewAndSmallMovesKeepTheAxis)
{
    DeviceValues device;
    device.SerialNumber = QStringLiteral("A-1");
    TrendPanel panel(device);
    panel.resize(640, 480);
    panel.show();
    const LiveSeries flow{LiveSeries::Flow, 0};
    panel.tick(flow, true);
    auto *axis = qobject_cast<QValueAxis *>(panel.ChartView->chart()->axes(Qt::Vertical).value(0));
    ASSERT_NE(axis, nullptr);

    const QDateTime start = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);
    int moves = 0;
    const float values[] = {10, 10.4f, 9.8f, 10.1f, 10.3f, 9.9f, 10.2f, 10, 250, 10.1f, -40, 10};
    for (int i = 0; i < int(std::size(values)); ++i) {
        device.Live.FlowRate[0] = values[i];
        const double min = axis->min(), max = axis->max();
        panel.record(start.addMSecs(500 * i));
        panel.redraw();
        moves += axis->min() != min || axis->max() != max;
        EXPECT_LE(axis->min(), values[i]) << "poll " << i;
        EXPECT_GE(axis->max(), values[i]) << "poll " << i;
    }
    // The first poll, the spike and the dip move it; the small wander does not.
    EXPECT_LE(moves, 4);
}

// The log and the picture are offered a name of the unit and the time with
// the filter's extension; a name typed without one gets it.
TEST(TrendPanelFiles, NamesOfferedAndTheExtensionCompleted)
{
    QTemporaryDir dir;
    DeviceValues device;
    device.SerialNumber = QStringLiteral("VS 21/7");
    TrendPanel panel(device);
    panel.message = [](QMessageBox::Icon, const QString &, QMessageBox::StandardButtons) { return QMessageBox::Ok; };
    const struct {
        QPushButton *button;
        const char *typed;
        const char *offered; // a pattern
        const char *written;
    } cases[] = {
        {panel.LogButton, "live_B", "^live_VS_21_7_20\\d{6}-\\d{6}\\.csv$", "live_B.csv"},
        {panel.ExportButton, "trend_B", "^trend_VS_21_7_20\\d{6}-\\d{6}\\.png$", "trend_B.png"},
        {panel.ExportButton, "chart.PNG", "", "chart.PNG"},
        {panel.ExportButton, "dot.", "", "dot.png"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        QString offered;
        panel.askSavePath = [&](const QString &, const QString &suggested) {
            offered = suggested;
            return dir.filePath(c.typed);
        };
        c.button->click();
        if (panel.log().isOpen())
            panel.LogButton->click(); // ends the log
        if (*c.offered)
            EXPECT_TRUE(QRegularExpression(c.offered).match(offered).hasMatch()) << qPrintable(offered);
        EXPECT_TRUE(QFile::exists(dir.filePath(c.written)));
    }
    const struct {
        const char *path, *extension, *completed;
    } names[] = {{"", "csv", ""}, {"a/b", "csv", "a/b.csv"}, {"a.b/c", "png", "a.b/c.png"}, {"c.txt", "csv", "c.txt"}};
    for (const auto &n : names)
        EXPECT_EQ(withExtension(n.path, n.extension), n.completed) << n.path;
    EXPECT_EQ(filterExtension("Archivo de texto enriquecido (*.rtf);;Todos los ficheros (*)"), "rtf");
    EXPECT_EQ(suggestedFileName("trace", "", "trace", QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7))),
              "trace_20260304-050607.trace");
}
