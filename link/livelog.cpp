#include "livelog.h"

#include "livesamples.h"

namespace {

// A cell holding the separator, a quote or a line break is quoted, its
// quotes doubled: a label the unit reports never splits a column.
QString cell(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString number(double value)
{
    return QString::number(value, 'g', 7);
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
    case LiveSeries::Flow: return number(live.FlowRate[s.index]);
    case LiveSeries::Probe: return number(live.AnalogValue[s.index]);
    case LiveSeries::Aux: return number(live.AuxValue[s.index]);
    default: return number(live.MathValue[s.index]);
    }
}

} // namespace

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
    QStringList cells{time.toUTC().toString(Qt::ISODateWithMs), device.DeviceClock.toString(Qt::ISODate)};
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
