#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

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
// keeps what it did; a later run continues the same file.
class ProvisionReport {
public:
    explicit ProvisionReport(const QString &path) : path_(path) {}

    // Reads the serials of the units applied in an existing file; a missing
    // file is an empty report.
    bool load(FileFailure *failure = nullptr);
    bool applied(const QString &serial) const { return applied_.contains(serial); }

    bool append(const ProvisionRecord &record, FileFailure *failure = nullptr);

    // Where the report of a units table goes unless named: beside the table,
    // "UNITS-report.csv".
    static QString besideTable(const QString &unitsPath);

    // "applied", "failed" or "skipped", as the file spells them.
    static QString statusWord(ProvisionStatus status);
    QString path() const { return path_; }

private:
    QString path_;
    QSet<QString> applied_;
};
