#pragma once

#include <QDateTime>
#include <QHash>
#include <QLockFile>
#include <QSet>
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
//
// Several processes (one per port) may continue one report: each reads it
// again and adds its lines under ProvisionReportLock, so every decision sees
// what the others reported.
class ProvisionReport {
public:
    explicit ProvisionReport(const QString &path) : path_(path) {}

    // Reads what became of each unit in an existing file; a missing file is
    // an empty report. A file that cannot be read leaves what was read before.
    bool load(FileFailure *failure = nullptr);
    // Whether the file is not the one last read or written here: another
    // process added to it.
    bool changedOnDisk() const;

    // A run shared by several processes began when the file held `size`
    // bytes: lines after them are the run's own.
    void setRunStart(qint64 size) { runStart_ = size; }
    // The serials applied by lines of the shared run, as last read.
    const QSet<QString> &appliedInRun() const { return appliedInRun_; }
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
    qint64 runStart_ = -1;
    QSet<QString> appliedInRun_;
    qint64 knownSize_ = 0; // the file's size as last read or written here
};

// The report's lock file ("REPORT.lock"), held while a process reads the
// report to decide and while it adds a line. A lock held by a process that
// no longer runs is taken over. When the lock file cannot be made at all (a
// folder that cannot be written), nothing can be shared there: the holder
// goes on unlocked and the report's own write fails as it would alone.
class ProvisionReportLock {
public:
    explicit ProvisionReportLock(const QString &reportPath, int timeOutMs = 10000);
    // False only when another process held the lock all the time.
    bool ok() const { return ok_; }
    // Whether the lock file was made: where the report's folder cannot hold
    // one, a single port goes on without it, but several ports could write
    // the same unit at once.
    bool held() const { return held_; }

private:
    QLockFile file_;
    bool ok_ = true;
    bool held_ = false;
};

// A unit being written: a lock file beside the report, named after the
// serial, held from the decision to write until its line is in the report.
// A second process that meets the same serial meanwhile cannot take it.
class ProvisionClaim {
public:
    ProvisionClaim(const QString &reportPath, const QString &serial);
    // False when another process holds the serial now.
    bool take();

private:
    QLockFile file_;
};
