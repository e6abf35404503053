#include "livelog.h"

#include "livesamples.h"

#include <QLocale>
#include <cmath>

namespace {

// A cell holding the separator, a quote or a line break is quoted, its
// quotes doubled: a label the unit reports never splits a column.
QString cell(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}


// The valued series of a log's columns: every series but the states, which
// go as three bit masks.
QList<LiveSeries> valueColumns(bool math)
{
    QList<LiveSeries> columns;
    for (const LiveSeries &s : liveSeries(math)) {
        if (!s.isState())
            columns << s;
    }
    return columns;
}

QString value(const LiveSeries &s, const LiveData &live)
{
    switch (s.kind) {
    case LiveSeries::Counter: return QString::number(live.CounterValue[s.index]);
    case LiveSeries::Flow: return LiveCsv::number(live.FlowRate[s.index]);
    case LiveSeries::Probe: return LiveCsv::number(live.AnalogValue[s.index]);
    case LiveSeries::Aux: return LiveCsv::number(live.AuxValue[s.index]);
    default: return LiveCsv::number(live.MathValue[s.index]);
    }
}

} // namespace

QString LiveCsv::number(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // no "-0"
    const QString shortest = QString::number(value, 'g', QLocale::FloatingPointShortest);
    const double magnitude = std::abs(value);
    if (!shortest.contains(u'e') || magnitude < 1e-6 || magnitude >= 1e17)
        return shortest;
    // Positional where a reader expects it: 1e8 as 100000000.
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString LiveCsv::time(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QString LiveCsv::unitClock(const QDateTime &clock)
{
    return clock.isValid() ? clock.toUTC().toString(Qt::ISODate) : QString();
}

QString LiveCsv::header(const LiveData &live, bool math)
{
    QStringList cells{QStringLiteral("time"), QStringLiteral("unit_clock")};
    for (const LiveSeries &s : valueColumns(math))
        cells << cell(s.heading(live));
    cells << QStringLiteral("digital") << QStringLiteral("outputs") << QStringLiteral("flags");
    return cells.join(u',');
}

QString LiveCsv::row(const QDateTime &time, const DeviceValues &device, bool math)
{
    const LiveData &live = device.Live;
    QStringList cells{LiveCsv::time(time), LiveCsv::unitClock(device.DeviceClock)};
    for (const LiveSeries &s : valueColumns(math))
        cells << value(s, live);
    cells << QString::number(live.DigitalState) << QString::number(live.OutputState)
          << QString::number(live.FlagState);
    return cells.join(u',');
}

bool LiveLogFile::start(const QString &path, const QString &header)
{
    stop();
    rows_ = 0;
    error_.clear();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error_ = file_.errorString();
        return false;
    }
    return writeLine(header);
}

bool LiveLogFile::append(const QString &row)
{
    if (!isOpen() || !writeLine(row))
        return false;
    ++rows_;
    return true;
}

void LiveLogFile::stop()
{
    if (isOpen())
        file_.close();
}

bool LiveLogFile::writeLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    if (file_.write(bytes) == bytes.size() && file_.flush())
        return true;
    error_ = file_.errorString();
    file_.close();
    return false;
}
