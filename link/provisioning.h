#pragma once

#include <QObject>
#include <QString>

#include "files/inidocument.h"
#include "files/provisionreport.h"
#include "files/unitstable.h"
#include "unitconnection.h"

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

// Writes a template with each unit's own values to one unit after another on
// one port: waits for a unit, reads its identity, uploads the template with
// the unit's row and checks it, and reports each unit. A unit already
// connected when the run starts is the first one. The port may stay open
// while the cable moves to the next unit or vanish and come back; a unit is
// only taken once its serial differs from the last one's. Each upload keeps
// its copy in the service history the connection keeps.
class Provisioner : public QObject {
    Q_OBJECT
public:
    Provisioner(UnitConnection &unit, const SectionRegistry &sections, ProvisionReport &report,
                QObject *parent = nullptr);

    // Runs until stop(), or until every unit of the table is applied (unless
    // unlisted units are taken too). True when every unit attempted was applied.
    bool run(const ProvisionPlan &plan, const ConnectRequest &request);
    // Calls the units of the table one after another through the modem on
    // `port`, each at the number of its row; the unit that answers must tell
    // its row's serial. Units the report has as applied are not called unless
    // plan.again. Ends after the last row, or at stop(). True when every unit
    // called was applied.
    bool callEach(const ProvisionPlan &plan, const QString &port);
    // Ends the run once the current unit is done; a waiting run ends at once,
    // as it does when the program ends.
    void stop();

    // How long to wait between two looks for the next unit: a second, or the
    // unit's answer time when that is shorter.
    int pollIntervalMs = 1000;

signals:
    // Waiting for a unit other than `lastSerial` (empty at the start).
    void waiting(const QString &lastSerial);
    // A unit is being written.
    void started(const QString &serial);
    void finished(const ProvisionRecord &record);
    // A report line could not be written.
    void reportFailed(const FileFailure &failure);
    void stopRequested();

private:
    QString waitForUnit(const ConnectRequest &request, const QString &lastSerial);
    ProvisionRecord provision(const ProvisionPlan &plan, const QString &serial);
    ProvisionRecord call(const ProvisionPlan &plan, const UnitsRow &row, const QString &port);
    // Reports the unit; false when it failed.
    bool report(const ProvisionRecord &record);
    ProvisionRecord write(const IniDocument &doc, const QString &serial);
    bool everyUnitApplied(const ProvisionPlan &plan) const;
    void pause();

    UnitConnection &unit_;
    const SectionRegistry &sections_;
    ProvisionReport &report_;
    bool stopping_ = false;
};
