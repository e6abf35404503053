#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <array>
#include <deque>
#include <vector>

#include "devicevalues.h"

// One value the unit reports live, followed over time: a counter, a flow
// rate, a probe, an auxiliary analog value, a math channel, or one digital
// input, output or flag (a state, 0 or 1).
struct LiveSeries {
    enum Kind { Counter, Flow, Probe, Aux, Math, Input, Output, Flag };
    Kind kind = Counter;
    int index = 0;

    bool isState() const { return kind >= Input; }
    bool operator==(const LiveSeries &) const = default;

    // "counter0", "flow3", "input8"...: the column name of a value the unit
    // gave no label.
    QString key() const;
    // The unit's label for it (empty when it gave none) and its unit of measure.
    QString label(const LiveData &live) const;
    QString unit(const LiveData &live) const;
    // The label and unit as a heading, "Caudal 1 (m3/h)"; the key when the
    // unit gave no label.
    QString heading(const LiveData &live) const;
};

// The auxiliary analog values the unit reports with its states.
inline constexpr int kAuxCount = 4;
inline constexpr int kLiveInputs = kProductLimits.DigitalCount + 1;
inline constexpr int kLiveFlags = 16;

// Every series of the unit, in the order the monitor and the logs list
// them; the math channels only for a unit that has them.
QList<LiveSeries> liveSeries(bool math);

// The live values of the unit's polls over time, one column per value, up
// to a fixed number of polls (24 hours at the monitor's rate by default):
// the oldest go as new ones come, so a monitor left open for days uses a
// bounded amount of memory. A disconnect leaves a gap: the next poll starts
// a new run, and no line is drawn across the missing time.
class LiveSampleStore {
public:
    static constexpr int kPollMsecs = 500;
    static constexpr int kDefaultCapacity = 24 * 3600 * 1000 / kPollMsecs;

    explicit LiveSampleStore(int capacity = kDefaultCapacity);

    // One poll's values, taken at `msecs` (UTC milliseconds since the epoch).
    void add(qint64 msecs, const LiveData &live);
    // The poll after this starts a new run.
    void breakRun();
    void clear();

    int size() const { return int(times_.size()); }
    qint64 firstMsecs() const { return times_.empty() ? 0 : times_.front(); }
    qint64 lastMsecs() const { return times_.empty() ? 0 : times_.back(); }
    double value(LiveSeries series, int sample) const;

    // The series from `fromMsecs` on, as runs of points (x: UTC milliseconds
    // since the epoch): each run a line of its own. Where the range holds
    // more than `maxPoints` polls they are thinned to the lowest and highest
    // value of each stretch of polls, so peaks stay in view. States step:
    // a change is drawn as a vertical edge, never as a slope.
    QList<QList<QPointF>> runs(LiveSeries series, qint64 fromMsecs, int maxPoints) const;

    // Bytes the stored polls take.
    size_t memoryBytes() const;

private:
    int firstFrom(qint64 msecs) const;
    template <typename Column, typename Read>
    QList<QList<QPointF>> runsOf(const Column &column, Read read, int from, qint64 stretchLength, bool step) const;
    void dropOldest();

    int capacity_;
    bool breakPending_ = false;
    qint64 dropped_ = 0; // polls dropped as the store filled
    // Columns of equal length, oldest first.
    std::deque<qint64> times_;
    std::deque<bool> runStarts_;
    std::array<std::deque<qint64>, kCounterCount> counters_;
    // Flows, probes, auxiliary values and math channels, in that order. A
    // plot needs no more than single precision, and a day of polls in double
    // would double the store; the logs write every digit from the poll itself.
    static constexpr int kReals = kCounterCount + kProbeCount + kAuxCount + kProductLimits.MathCount;
    std::array<std::deque<float>, kReals> reals_;
    std::array<std::deque<quint32>, 3> states_; // inputs, outputs, flags
};
