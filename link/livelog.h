#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

#include "devicevalues.h"

// The unit's live values as comma-separated text, the one format of
// velkan-cli's "live" and of the monitor's log: the poll's time and the
// unit's clock in ISO 8601 UTC ("Z"), then one column per value headed by the unit's
// label and its unit of measure ("Caudal 1 (m3/h)"; the column's key, as
// "flow0", when the unit gave no label), numbers with a dot decimal whatever
// the PC's locale, and the digital inputs, outputs and flags as bit masks.
// The math channels have columns only for a unit that has them.
namespace LiveCsv {
// A reading in the fewest digits that read back as the same double, with a
// dot whatever the locale; positional unless tiny or huge (1e8 gives
// 100000000, 1234567.875 stays whole).
QString number(double value);
// A poll's time in ISO 8601 UTC with milliseconds and "Z"; empty when invalid.
QString time(const QDateTime &time);
// The unit's clock, in UTC to the second. The unit keeps the local time of
// the PC that set it (the tool sets it so).
QString unitClock(const QDateTime &clock);
QString header(const LiveData &live, bool math);
QString row(const QDateTime &time, const DeviceValues &device, bool math);
} // namespace LiveCsv

// A log of polls in that format, in a file the operator chose. A write that
// fails closes the log; the rows written before it stay in the file.
class LiveLogFile {
public:
    // Creates (or empties) the file and writes the header; false when the
    // file cannot be written (see error()).
    bool start(const QString &path, const QString &header);
    // One row, on disk before this returns; false, and the log closed, when
    // it could not be written.
    bool append(const QString &row);
    void stop();

    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }
    int rows() const { return rows_; }
    QString error() const { return error_; }

private:
    bool writeLine(const QString &line);

    QFile file_;
    int rows_ = 0;
    QString error_;
};
