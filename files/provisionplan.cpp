#include "provisionplan.h"

#include "configfile.h"

bool ProvisionPlan::load(const QString &templatePath, const QString &unitsPath, const SectionRegistry &sections,
                         const QString &numberColumn, QList<UnitsTableFault> &faults, FileFailure *failure)
{
    faults.clear();
    templ = IniDocument();
    table = UnitsTable();
    if (loadConfigDocument(templatePath, templ, failure) != RestoreResult::Restored)
        return false;
    table = UnitsTable::load(unitsPath, knownFileKeys(templ, sections), numberColumn);
    faults = checkUnitsTable(table, templ, sections);
    return true;
}

namespace {

// Under `again` only what this run applied counts as done.
bool done(const ProvisionPlan &plan, const ProvisionReport &report, const QSet<QString> &appliedThisRun,
          const QString &serial)
{
    return appliedThisRun.contains(serial) || (!plan.again && report.applied(serial));
}

} // namespace

ProvisionStep nextProvisionStep(const ProvisionPlan &plan, const ProvisionReport &report,
                                const QSet<QString> &appliedThisRun, const QString &serial, bool writtenElsewhere)
{
    if (serial.isEmpty()) {
        if (plan.allowUnlisted)
            return ProvisionStep::Wait;
        if (plan.table.rows().isEmpty())
            return ProvisionStep::NothingToWrite;
        for (const UnitsRow &row : plan.table.rows())
            if (!done(plan, report, appliedThisRun, row.serial))
                return ProvisionStep::Wait;
        return ProvisionStep::Finished;
    }
    if (!plan.table.find(serial) && !plan.allowUnlisted)
        return ProvisionStep::SkipUnlisted;
    if (appliedThisRun.contains(serial))
        return ProvisionStep::SkipAppliedThisRun;
    if (report.applied(serial) && !plan.again)
        return ProvisionStep::SkipAppliedBefore;
    if (writtenElsewhere)
        return ProvisionStep::SkipWrittenElsewhere;
    return report.applied(serial) ? ProvisionStep::WriteAgain : ProvisionStep::Write;
}
