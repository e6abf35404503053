#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include "csv.h"
#include "filefailure.h"

// What writing the template to one unit came to.
enum class ProvisionStatus { Applied, Failed, Skipped };

struct ProvisionRecord {
    QDateTime time; // UTC, to the second
    QString serial;
    ProvisionStatus status = ProvisionStatus::Skipped;
    int differences = 0; // what the unit holds otherwise than was sent
    QString historyFile; // the copy of what was sent; empty when none was kept
    QString detail;      // why a unit failed or was skipped
};

// The record of a batch of units, one CSV line per unit attempted or skipped:
// "time,serial,status,differences,history,detail" under a header line. Lines
// are only ever added, each written out at once, so a run that is cut short
// keeps what it did; a later run continues the same file. A report a
// spreadsheet saved again is read as the units table is read, and later lines
// follow its separator, encoding and line ending.
class ProvisionReport {
public:
    explicit ProvisionReport(const QString &path) : path_(path) {}

    // Reads what became of each unit in an existing file; a missing file is
    // an empty report.
    bool load(FileFailure *failure = nullptr);
    // Whether the last attempt at the serial (its text exactly) applied it:
    // a later failed line undoes an earlier applied one, a skipped line
    // changes nothing.
    bool applied(const QString &serial) const
    {
        return lastAttempt_.value(serial, ProvisionStatus::Skipped) == ProvisionStatus::Applied;
    }

    // Adds the record's line. What it says about the unit counts from now on
    // even when the line cannot be written.
    bool append(const ProvisionRecord &record, FileFailure *failure = nullptr);
    // The record's line as append() writes it to this report.
    QByteArray line(const ProvisionRecord &record) const;

    // Where the report of a units table goes unless named: beside the table,
    // "UNITS-report.csv".
    static QString besideTable(const QString &unitsPath);

    // "applied", "failed" or "skipped", as the file spells them.
    static QString statusWord(ProvisionStatus status);
    QString path() const { return path_; }

private:
    QString path_;
    CsvText format_; // a new file: UTF-8, commas, LF
    QHash<QString, ProvisionStatus> lastAttempt_; // applied or failed

};
