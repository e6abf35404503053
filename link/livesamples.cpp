#include "livesamples.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kMath = kProductLimits.MathCount;

// Where each kind's values start among the real-valued columns.
constexpr int realColumn(LiveSeries series)
{
    switch (series.kind) {
    case LiveSeries::Flow: return series.index;
    case LiveSeries::Probe: return kCounterCount + series.index;
    case LiveSeries::Aux: return kCounterCount + kProbeCount + series.index;
    default: return kCounterCount + kProbeCount + kAuxCount + series.index;
    }
}

// The lowest and highest value of a stretch of polls, with their times.
struct Stretch {
    QPointF low, high;
    bool empty = true;

    void take(qint64 msecs, double value)
    {
        const QPointF p(double(msecs), value);
        if (empty || value < low.y())
            low = p;
        if (empty || value > high.y())
            high = p;
        empty = false;
    }
};

// Appends a point to a run; a state's change becomes a vertical edge.
void extend(QList<QPointF> &run, QPointF p, bool step)
{
    if (step && !run.isEmpty() && run.last().y() != p.y())
        run << QPointF(p.x(), run.last().y());
    run << p;
}

void flush(Stretch &stretch, QList<QPointF> &run, bool step)
{
    if (stretch.empty)
        return;
    const bool lowFirst = stretch.low.x() <= stretch.high.x();
    extend(run, lowFirst ? stretch.low : stretch.high, step);
    if (stretch.low != stretch.high)
        extend(run, lowFirst ? stretch.high : stretch.low, step);
    stretch = {};
}

} // namespace

QString LiveSeries::key() const
{
    static const char *const names[] = {"counter", "flow", "probe", "aux", "math", "input", "output", "flag"};
    return QLatin1String(names[kind]) + QString::number(index);
}

QString LiveSeries::label(const LiveData &live) const
{
    switch (kind) {
    case Counter: return live.CounterName[index];
    case Flow: return live.FlowName[index];
    case Probe: return live.AnalogName[index];
    case Aux: return live.AuxName[index];
    case Math: return live.MathName[index];
    default: return {};
    }
}

QString LiveSeries::unit(const LiveData &live) const
{
    switch (kind) {
    case Flow: return live.FlowUnit[index];
    case Probe: return live.AnalogUnit[index];
    case Aux: return live.AuxUnit[index];
    case Math: return live.MathUnit[index];
    default: return {};
    }
}

QString LiveSeries::heading(const LiveData &live) const
{
    const QString name = label(live).trimmed();
    const QString measure = unit(live).trimmed();
    QString text = name.isEmpty() ? key() : name;
    if (!measure.isEmpty())
        text += QStringLiteral(" (") + measure + u')';
    return text;
}

QList<LiveSeries> liveSeries(bool math)
{
    const struct {
        LiveSeries::Kind kind;
        int count;
    } kinds[] = {
        {LiveSeries::Counter, kCounterCount}, {LiveSeries::Flow, kCounterCount},
        {LiveSeries::Probe, kProbeCount},     {LiveSeries::Aux, kAuxCount},
        {LiveSeries::Math, math ? kMath : 0}, {LiveSeries::Input, kLiveInputs},
        {LiveSeries::Output, kProductLimits.OutputCount}, {LiveSeries::Flag, kLiveFlags},
    };
    QList<LiveSeries> all;
    for (const auto &k : kinds) {
        for (int i = 0; i < k.count; ++i)
            all << LiveSeries{k.kind, i};
    }
    return all;
}

namespace {

// A reading as the plot keeps it: beyond single precision's range it stays
// at the edge (a plain conversion would be undefined there).
float plotted(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    return float(std::clamp(value, -kMax, kMax));
}

} // namespace

LiveSampleStore::LiveSampleStore(int capacity) : capacity_(qMax(1, capacity)) {}

void LiveSampleStore::add(qint64 msecs, const LiveData &live)
{
    if (size() == capacity_)
        dropOldest();
    times_.push_back(msecs);
    runStarts_.push_back(breakPending_ || times_.size() == 1);
    breakPending_ = false;
    for (int i = 0; i < kCounterCount; ++i) {
        counters_[i].push_back(live.CounterValue[i]);
        reals_[realColumn({LiveSeries::Flow, i})].push_back(plotted(live.FlowRate[i]));
    }
    for (int i = 0; i < kProbeCount; ++i)
        reals_[realColumn({LiveSeries::Probe, i})].push_back(plotted(live.AnalogValue[i]));
    for (int i = 0; i < kAuxCount; ++i)
        reals_[realColumn({LiveSeries::Aux, i})].push_back(plotted(live.AuxValue[i]));
    for (int i = 0; i < kMath; ++i)
        reals_[realColumn({LiveSeries::Math, i})].push_back(plotted(live.MathValue[i]));
    states_[0].push_back(live.DigitalState);
    states_[1].push_back(live.OutputState);
    states_[2].push_back(live.FlagState);
}

void LiveSampleStore::dropOldest()
{
    times_.pop_front();
    runStarts_.pop_front();
    for (auto &column : counters_)
        column.pop_front();
    for (auto &column : reals_)
        column.pop_front();
    for (auto &column : states_)
        column.pop_front();
    ++dropped_;
}

void LiveSampleStore::breakRun()
{
    breakPending_ = true;
}

void LiveSampleStore::clear()
{
    *this = LiveSampleStore(capacity_);
}

double LiveSampleStore::value(LiveSeries series, int sample) const
{
    switch (series.kind) {
    case LiveSeries::Counter: return counters_[series.index][sample];
    case LiveSeries::Input:
    case LiveSeries::Output:
    case LiveSeries::Flag: return (states_[series.kind - LiveSeries::Input][sample] >> series.index) & 1u;
    default: return reals_[realColumn(series)][sample];
    }
}

int LiveSampleStore::firstFrom(qint64 msecs) const
{
    return int(std::partition_point(times_.begin(), times_.end(), [msecs](qint64 t) { return t < msecs; })
               - times_.begin());
}

// The thinning loop over one column, read in place: `read` turns a stored
// value into the series' value.
template <typename Column, typename Read>
QList<QList<QPointF>> LiveSampleStore::runsOf(const Column &column, Read read, int from, qint64 stretchLength,
                                              bool step) const
{
    QList<QList<QPointF>> runs;
    Stretch stretch;
    auto time = times_.begin() + from;
    auto start = runStarts_.begin() + from;
    auto value = column.begin() + from;
    for (int i = from; i < size(); ++i, ++time, ++start, ++value) {
        if (i == from || *start) {
            if (!runs.isEmpty())
                flush(stretch, runs.last(), step);
            runs.append(QList<QPointF>());
        } else if ((dropped_ + i) % stretchLength == 0) {
            flush(stretch, runs.last(), step);
        }
        stretch.take(*time, read(*value));
    }
    if (!runs.isEmpty())
        flush(stretch, runs.last(), step);
    return runs;
}

QList<QList<QPointF>> LiveSampleStore::runs(LiveSeries series, qint64 fromMsecs, int maxPoints) const
{
    const int from = firstFrom(fromMsecs);
    // Stretches of a power-of-two length counted from the first poll ever
    // kept, so a stretch holds the same polls from one redraw to the next
    // and the thinned line does not flicker as polls come in.
    qint64 stretchLength = 1;
    while ((size() - from) / stretchLength > qMax(2, maxPoints) / 2)
        stretchLength *= 2;
    const bool step = series.isState();
    const auto plain = [](auto v) { return double(v); };
    switch (series.kind) {
    case LiveSeries::Counter: return runsOf(counters_[series.index], plain, from, stretchLength, step);
    case LiveSeries::Input:
    case LiveSeries::Output:
    case LiveSeries::Flag: {
        const int bit = series.index;
        return runsOf(states_[series.kind - LiveSeries::Input], [bit](quint32 v) { return double((v >> bit) & 1u); },
                      from, stretchLength, step);
    }
    default: return runsOf(reals_[realColumn(series)], plain, from, stretchLength, step);
    }
}

size_t LiveSampleStore::memoryBytes() const
{
    size_t bytes = times_.size() * (sizeof(qint64) + sizeof(bool));
    for (const auto &column : counters_)
        bytes += column.size() * sizeof(qint32);
    for (const auto &column : reals_)
        bytes += column.size() * sizeof(float);
    for (const auto &column : states_)
        bytes += column.size() * sizeof(quint32);
    return bytes;
}
