#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>

#include "link/livelog.h"
#include "link/livesamples.h"
#include "widgets/usermessage.h"

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QValueAxis;

// The monitor's trends: the live values of its polls over time, a chart of
// the series the operator ticks, a CSV log of every poll and the chart as a
// picture. It only records what the monitor read: no traffic of its own.
class TrendPanel : public QWidget {
    Q_OBJECT
public:
    // The time windows offered, in minutes; 0 is everything kept.
    static constexpr int kWindows[] = {1, 10, 60, 0};

    // device: the unit's values as the monitor reads them (labels, capabilities).
    explicit TrendPanel(const DeviceValues &device, QWidget *parent = nullptr);

    void LoadText();
    // A poll the unit answered, now in the device's values. Polls of another
    // unit (another serial number) start a new set of series, and end a log
    // of the last one.
    void record(const QDateTime &time);
    // The unit went away: the next poll starts a new run, leaving a gap.
    void endRun();
    // Redraws the ticked series over the chosen window, unless paused.
    void redraw();
    // Polls a pixel of the plot stands for: a new poll redraws the chart only
    // once the polls since the last redraw fill a pixel.
    qint64 pixelMsecs() const;

    void tick(LiveSeries series, bool shown);
    // Where a log or a picture goes, given the filter and the name offered;
    // empty when the operator cancelled.
    std::function<QString(const QString &filter, const QString &suggested)> askSavePath;
    UserMessage message = productMessage;

    const LiveSampleStore &samples() const { return samples_; }
    const LiveLogFile &log() const { return log_; }
    // The lines of a ticked series: one per run (none when not ticked).
    QList<QLineSeries *> lines(LiveSeries series) const;

    QListWidget *SeriesList;
    QChartView *ChartView;
    QComboBox *ComboWindow;
    QPushButton *PauseButton;
    QPushButton *LogButton;
    QPushButton *ExportButton;
    QLabel *LogStatus;

    void LogButton_Click();
    void ExportButton_Click();

private:
    void buildSeriesList();
    QString savePath(const QString &filter, const QString &prefix) const;
    void showLabels();
    void showLogState();
    void stopLog(const QString &why = {});
    void drawSeries(int row, qint64 from, int maxPoints);
    qint64 windowStart() const;
    void placeTimeAxis();
    void placeValueAxis(double low, double high);
    int plotPixels() const;
    QString seriesName(LiveSeries series) const;

    const DeviceValues &device_;
    LiveSampleStore samples_;
    LiveLogFile log_;
    QString serial_;      // the unit of the set recorded
    bool logMath_ = false;
    QList<LiveSeries> all_;
    // The labels the list shows, to rename the series only when they change.
    LiveData shown_;
    bool mathShown_ = false;
    bool labelsShown_ = false;
    QChart *chart_;
    QDateTimeAxis *timeAxis_;
    QValueAxis *valueAxis_;
    QHash<int, QList<QLineSeries *>> lines_; // by row of the list
    qint64 drawnUpTo_ = 0;                   // the last poll drawn
    // The time axis's range and the window it was placed for.
    qint64 axisStart_ = 0;
    qint64 axisEnd_ = 0;
    int axisWindow_ = -1;
};
