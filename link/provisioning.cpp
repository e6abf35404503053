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

void Provisioner::stop()
{
    stopping_ = true;
    emit stopRequested();
}

bool Provisioner::run(const ProvisionPlan &plan, const ConnectRequest &request)
{
    stopping_ = false;
    bool allApplied = true;
    QString last;
    while (!stopping_ && !everyUnitApplied(plan)) {
        const QString serial = waitForUnit(request, last);
        if (serial.isEmpty())
            break;
        emit started(serial);
        const ProvisionRecord record = provision(plan, serial);
        unit_.disconnectUnit();
        allApplied = report(record) && allApplied;
        last = serial;
    }
    return allApplied;
}

bool Provisioner::callEach(const ProvisionPlan &plan, const QString &port)
{
    stopping_ = false;
    bool allApplied = true;
    for (const UnitsRow &row : plan.table.rows()) {
        if (stopping_)
            break;
        if (report_.applied(row.serial) && !plan.again)
            continue;
        emit started(row.serial);
        const ProvisionRecord record = call(plan, row, port);
        unit_.disconnectUnit();
        allApplied = report(record) && allApplied;
    }
    return allApplied;
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
    FileFailure failure;
    if (!report_.append(record, &failure))
        emit reportFailed(failure);
    emit finished(record);
    return record.status != ProvisionStatus::Failed;
}

bool Provisioner::everyUnitApplied(const ProvisionPlan &plan) const
{
    if (plan.allowUnlisted)
        return false;
    for (const UnitsRow &row : plan.table.rows())
        if (!report_.applied(row.serial))
            return false;
    return true;
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
QString Provisioner::waitForUnit(const ConnectRequest &request, const QString &lastSerial)
{
    emit waiting(lastSerial);
    while (!stopping_) {
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
    if (!row && !plan.allowUnlisted) {
        record.detail = QStringLiteral("not in the units table");
        return record;
    }
    if (report_.applied(serial) && !plan.again) {
        record.detail = QStringLiteral("applied before");
        return record;
    }
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
