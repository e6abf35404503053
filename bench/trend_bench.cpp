// The monitor's trends with a day of polls: memory of the sample store after
// 24 hours at 500 ms, and the processor time each poll costs the chart with
// 16 series ticked, for each time window (median and mean of 400 polls).
// Goals on the project's machines: under 40 MB and under 2 ms per poll.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "link/livesamples.h"
#include "tools/trendpanel.h"

namespace {

double cpuMsecs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Resident memory of the process, in bytes.
double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * 4096;
}

// Values that move as a plant's would: slow waves, a counter that climbs,
// outputs and flags that switch now and then.
void poll(LiveData &live, qint64 n)
{
    for (int i = 0; i < kCounterCount; ++i) {
        live.CounterValue[i] = qint32(n / (i + 1));
        live.FlowRate[i] = float(10 + 5 * std::sin(n / (300.0 + 40 * i)));
    }
    for (int i = 0; i < kProbeCount; ++i)
        live.AnalogValue[i] = float(20 + std::sin(n / 1000.0 + i));
    live.OutputState = quint16((n / 97) & 0x3f);
    live.DigitalState = quint16((n / 31) & 0x1ff);
    live.FlagState = quint32(n / 13);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double mean(const std::vector<double> &values)
{
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum / values.size();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr qint64 kStart = 1'700'000'000'000;
    const qint64 polls = LiveSampleStore::kDefaultCapacity;
    DeviceValues device;

    const double before = residentBytes();
    {
        LiveSampleStore store;
        for (qint64 n = 0; n < polls; ++n) {
            poll(device.Live, n);
            store.add(kStart + n * 500, device.Live);
        }
        std::printf("sample store, 24 h at 500 ms (%d polls): %.1f MB of values, %.1f MB resident\n", store.size(),
                    store.memoryBytes() / 1048576.0, (residentBytes() - before) / 1048576.0);
    }

    TrendPanel panel(device);
    panel.resize(640, 480);
    for (qint64 n = 0; n < polls; ++n) {
        poll(device.Live, n);
        panel.record(QDateTime::fromMSecsSinceEpoch(kStart + n * 500, Qt::UTC));
    }
    // Sixteen series: the flow rates, the probes and three states.
    const QList<LiveSeries> all = liveSeries(false);
    int ticked = 0;
    for (const LiveSeries &s : all) {
        if (ticked < 16 && (s.kind == LiveSeries::Flow || s.kind == LiveSeries::Probe || s.kind == LiveSeries::Output))
            panel.tick(s, true), ++ticked;
    }
    panel.show();
    QCoreApplication::processEvents();

    qint64 n = polls;
    // With a window's number as the argument, only that window is timed.
    const int only = argc > 1 ? QByteArray(argv[1]).toInt() : -1;
    for (int window = 0; window < panel.ComboWindow->count(); ++window) {
        if (only >= 0 && window != only)
            continue;
        panel.ComboWindow->setCurrentIndex(window);
        QCoreApplication::processEvents();
        std::vector<double> update, painted;
        for (int i = 0; i < 400; ++i, ++n) {
            poll(device.Live, n);
            const double start = cpuMsecs();
            panel.record(QDateTime::fromMSecsSinceEpoch(kStart + n * 500, Qt::UTC));
            const double recorded = cpuMsecs();
            QCoreApplication::processEvents();
            update.push_back(recorded - start);
            painted.push_back(cpuMsecs() - start);
        }
        std::printf("%2d series, window %-10s: CPU per poll to update the chart %.2f ms median, %.2f ms mean; "
                    "with its repaint %.2f ms median, %.2f ms mean\n",
                    ticked, qPrintable(panel.ComboWindow->itemText(window)), median(update), mean(update),
                    median(painted), mean(painted));
    }
    return 0;
}
