#pragma once

#include <QList>
#include <QSet>
#include <QString>

#include "inidocument.h"
#include "provisionreport.h"
#include "unitstable.h"

class SectionRegistry;

// What a batch writes: a checked template and units table, and how the units
// already applied and the units not in the table are treated.
struct ProvisionPlan {
    IniDocument templ;
    UnitsTable table;
    bool again = false;         // write units the report has as applied once more
    bool allowUnlisted = false; // a unit not in the table gets the template alone

    // Reads the template and the units table (a column headed `numberColumn`
    // holds the phone numbers) and checks them whole: `faults` lists every
    // fault of both, by line then column. False, with `failure`, when the
    // template cannot be read.
    bool load(const QString &templatePath, const QString &unitsPath, const SectionRegistry &sections,
              const QString &numberColumn, QList<UnitsTableFault> &faults, FileFailure *failure);
};

// What a run does next.
enum class ProvisionStep {
    Wait,               // no unit yet: wait for one
    Finished,           // nothing of the table is left to write
    NothingToWrite,     // the table lists no unit and unlisted units are not taken
    Write,              // the unit gets its row (or the template alone, when unlisted units are taken)
    WriteAgain,         // applied before, written once more
    SkipAppliedBefore,  // the report has it as applied
    SkipAppliedThisRun, // this run applied it already; a run writes a unit once
    SkipUnlisted,       // not in the table
    SkipWrittenElsewhere, // another port writes the same serial now
};

// The one place that decides. `serial` is the unit connected now, empty
// before one is: then the answer is Wait, Finished or NothingToWrite.
// `appliedThisRun` holds the serials the run itself applied (on every port
// of a shared run); `writtenElsewhere` says another port is writing the
// serial at this moment.
ProvisionStep nextProvisionStep(const ProvisionPlan &plan, const ProvisionReport &report,
                                const QSet<QString> &appliedThisRun, const QString &serial,
                                bool writtenElsewhere = false);
