#include "provisioning.h"

#include <algorithm>
#include <memory>

#include "comms.h"
#include "eventwait.h"
#include "files/configcompare.h"
#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"

Provisioner::Provisioner(UnitConnection &unit, const SectionRegistry &sections, ProvisionReport &report,
                         QObject *parent)
    : QObject(parent), unit_(unit), sections_(sections), report_(report)
{
    pollIntervalMs = std::min(pollIntervalMs, unit_.comms().timings.cableAnswer);
}

void Provisioner::stop()
{
    stopping_ = true;
    emit stopRequested();
}

void Provisioner::begin()
{
    stopping_ = false;
    appliedThisRun_.clear();
    records_.clear();
}

bool Provisioner::run(const ProvisionPlan &plan, const ConnectRequest &request)
{
    begin();
    if (nextProvisionStep(plan, report_, appliedThisRun_, {}) == ProvisionStep::NothingToWrite)
        return false;
    bool allApplied = true;
    QString last;
    refreshReport();
    while (!stopping_ && nextProvisionStep(plan, report_, doneThisRun(), {}) == ProvisionStep::Wait) {
        const QString serial = waitForUnit(plan, request, last);
        if (serial.isEmpty())
            break;
        ProvisionClaim claim(report_.path(), serial);
        const ProvisionStep step = decide(plan, serial, claim);
        const ProvisionRecord record = take(plan, step, serial);
        unit_.disconnectUnit();
        // A unit refused because another port writes it was not written here.
        allApplied = report(record) && step != ProvisionStep::SkipWrittenElsewhere && allApplied;
        last = serial;
    }
    return allApplied;
}

ProvisionStep Provisioner::decide(const ProvisionPlan &plan, const QString &serial, ProvisionClaim &claim)
{
    const ProvisionReportLock lock(report_.path());
    if (lock.ok())
        report_.load(); // a report that cannot be read now keeps what was read before
    const ProvisionStep step = nextProvisionStep(plan, report_, doneThisRun(), serial);
    if (step == ProvisionStep::Write || step == ProvisionStep::WriteAgain)
        return claim.take() ? step : nextProvisionStep(plan, report_, doneThisRun(), serial, true);
    return step;
}

void Provisioner::refreshReport()
{
    if (!report_.changedOnDisk())
        return;
    const ProvisionReportLock lock(report_.path());
    if (lock.ok())
        report_.load();
}

bool Provisioner::callEach(const ProvisionPlan &plan, const QString &port)
{
    begin();
    if (plan.table.rows().isEmpty())
        return false;
    bool allApplied = true;
    for (const UnitsRow &row : plan.table.rows()) {
        if (stopping_)
            break;
        const ProvisionStep step = nextProvisionStep(plan, report_, appliedThisRun_, row.serial);
        if (step != ProvisionStep::Write && step != ProvisionStep::WriteAgain)
            continue;
        emit started(row.serial);
        const ProvisionRecord record = call(plan, row, port);
        unit_.disconnectUnit();
        allApplied = report(record) && allApplied;
    }
    return allApplied;
}

ProvisionRecord Provisioner::take(const ProvisionPlan &plan, ProvisionStep step, const QString &serial)
{
    ProvisionRecord skipped{QDateTime::currentDateTimeUtc(), serial, ProvisionStatus::Skipped, 0, {}, {}};
    switch (step) {
    case ProvisionStep::Write:
    case ProvisionStep::WriteAgain:
        emit started(serial);
        return provision(plan, serial);
    case ProvisionStep::SkipAppliedBefore:
        skipped.detail = QStringLiteral("applied before");
        break;
    case ProvisionStep::SkipAppliedThisRun:
        skipped.detail = QStringLiteral("applied in this run");
        break;
    case ProvisionStep::SkipWrittenElsewhere:
        skipped.detail = QStringLiteral("being written on another port at the same time; nothing was sent");
        break;
    case ProvisionStep::SkipUnlisted:
    case ProvisionStep::Wait:
    case ProvisionStep::Finished:
    case ProvisionStep::NothingToWrite:
        skipped.detail = QStringLiteral("not in the units table");
        break;
    }
    return skipped;
}

ProvisionRecord Provisioner::call(const ProvisionPlan &plan, const UnitsRow &row, const QString &port)
{
    ConnectRequest request;
    request.port = port;
    request.modemNumber = plan.table.number(row);
    ProvisionRecord failed{QDateTime::currentDateTimeUtc(), row.serial, ProvisionStatus::Failed, 0, {}, {}};
    if (!unit_.connectUnit(request))
        failed.detail = QStringLiteral("the call to %1 failed").arg(request.modemNumber);
    else if (!unit_.readInfo())
        failed.detail = QStringLiteral("the unit at %1 did not tell its identity").arg(request.modemNumber);
    else if (unit_.Device.SerialNumber != row.serial)
        failed.detail = QStringLiteral("unit %1 answered at %2; nothing was sent")
                            .arg(unit_.Device.SerialNumber, request.modemNumber);
    else
        return provision(plan, row.serial);
    return failed;
}

bool Provisioner::report(const ProvisionRecord &record)
{
    records_ << record;
    if (record.status == ProvisionStatus::Applied)
        appliedThisRun_.insert(record.serial);
    FileFailure failure;
    bool reported = false;
    {
        // Read again first: another process may have added lines (or made
        // the file) since, and this line follows the file as it is now.
        const ProvisionReportLock lock(report_.path());
        if (!lock.ok())
            failure = {FileProblem::Unwritable, report_.path(), QStringLiteral("another program keeps it locked")};
        else
            reported = report_.load(&failure) && report_.append(record, &failure);
    }
    if (!reported) {
        // Nothing would tell the next run what this one did: stop here.
        stopping_ = true;
        emit reportFailed(failure, record);
    }
    emit finished(record);
    return reported && record.status != ProvisionStatus::Failed;
}

// A wait that ends because the program does (or the connection goes) ends
// the run: every later wait would return at once.
void Provisioner::pause()
{
    EventWait wait;
    wait.wakeOn(this, &Provisioner::stopRequested);
    wait.endOn(&unit_);
    if (wait.run(pollIntervalMs) == EventWait::Ended)
        stopping_ = true;
}

// The serial of the next unit that tells one other than lastSerial, connected;
// empty when stopped first.
QString Provisioner::waitForUnit(const ProvisionPlan &plan, const ConnectRequest &request,
                                 const QString &lastSerial)
{
    emit waiting(lastSerial);
    while (!stopping_) {
        // Other ports may finish the table meanwhile.
        refreshReport();
        if (nextProvisionStep(plan, report_, doneThisRun(), {}) != ProvisionStep::Wait)
            return {};
        if (unit_.isConnected() || unit_.connectUnit(request)) {
            if (unit_.readInfo() && !unit_.Device.SerialNumber.isEmpty()
                && unit_.Device.SerialNumber != lastSerial)
                return unit_.Device.SerialNumber;
            unit_.disconnectUnit();
        }
        pause();
    }
    return {};
}

ProvisionRecord Provisioner::provision(const ProvisionPlan &plan, const QString &serial)
{
    const UnitsRow *row = plan.table.find(serial);
    ProvisionRecord record{QDateTime::currentDateTimeUtc(), serial, ProvisionStatus::Skipped, 0, {}, {}};
    if (!row)
        return write(plan.templ, serial);
    // A value the unit's firmware would not take is not reported as applied.
    const UploadContext context{unit_.Device.DeviceFeatures, kProductLimits};
    const QStringList notSent = columnsNotSent(plan.templ, plan.table.columns(), row->cells, sections_, context);
    if (notSent.isEmpty())
        return write(plan.table.unitDocument(plan.templ, *row), serial);
    record.status = ProvisionStatus::Failed;
    record.detail = QStringLiteral("the unit does not take %1; nothing was sent").arg(notSent.join(u' '));
    return record;
}

ProvisionRecord Provisioner::write(const IniDocument &doc, const QString &serial)
{
    auto store = std::make_unique<ConfigStore>();
    sections_.clearAll(*store);
    sections_.restoreAll(*store, doc);
    ProvisionRecord record{{}, serial, ProvisionStatus::Failed, 0, {}, {}};
    const QObject watch; // ends the connection with this function
    QObject::connect(&unit_, &UnitConnection::historyRecorded, &watch,
                     [&record](const HistoryEntry &entry) { record.historyFile = entry.path; });
    QList<ConfigDifference> differences;
    if (!unit_.uploadVerified(*store, sections_, differences))
        record.detail = QStringLiteral("the upload or its check failed");
    else if (!differences.isEmpty())
        record.detail = QStringLiteral("the unit holds otherwise what was sent");
    else
        record.status = ProvisionStatus::Applied;
    record.differences = int(differences.size());
    record.time = QDateTime::currentDateTimeUtc();
    return record;
}
