#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QValueAxis>
#include <gtest/gtest.h>

#include "tools/trendpanel.h"

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
