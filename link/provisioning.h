#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include "files/provisionplan.h"
#include "unitconnection.h"

class SectionRegistry;

// Writes a template with each unit's own values to one unit after another on
// one port: waits for a unit, reads its identity, uploads the template with
// the unit's row and checks it, and reports each unit. A unit already
// connected when the run starts is the first one. The port may stay open
// while the cable moves to the next unit or vanish and come back; a unit is
// only taken once its serial differs from the last one's. Each upload keeps
// its copy in the service history the connection keeps. What to do with a
// unit is nextProvisionStep()'s to say; a run writes each unit at most once.
// A report line that cannot be written ends the run once its unit is done.
//
// Other processes may run the same plan on other ports with the same report:
// the decision for a unit is taken under the report's lock with what they
// reported, a unit is claimed while it is written so that a serial met on two
// ports at once is written on one only, and a run that waits for a unit ends
// once the others have finished the table.
class Provisioner : public QObject {
    Q_OBJECT
public:
    Provisioner(UnitConnection &unit, const SectionRegistry &sections, ProvisionReport &report,
                QObject *parent = nullptr);

    // Runs until stop(), or until every unit of the table is applied (by this
    // run, under plan.again; never when unlisted units are taken too). True
    // when every unit attempted was applied and reported; false at once for a
    // plan with nothing to write.
    bool run(const ProvisionPlan &plan, const ConnectRequest &request);
    // Calls the units of the table one after another through the modem on
    // `port`, each at the number of its row; the unit that answers must tell
    // its row's serial. Units the report has as applied are not called unless
    // plan.again. Ends after the last row, or at stop(). True when every unit
    // called was applied and reported.
    bool callEach(const ProvisionPlan &plan, const QString &port);
    // Ends the run once the current unit is done; a waiting run ends at once,
    // as it does when the program ends.
    void stop();

    // How long to wait between two looks for the next unit: a second, or the
    // unit's answer time when that is shorter.
    int pollIntervalMs = 1000;

    // What the last run did, in order, whether or not the report holds it.
    const QList<ProvisionRecord> &records() const { return records_; }

signals:
    // Waiting for a unit other than `lastSerial` (empty at the start).
    void waiting(const QString &lastSerial);
    // A unit is being written.
    void started(const QString &serial);
    void finished(const ProvisionRecord &record);
    // The record's report line could not be written; the run ends.
    void reportFailed(const FileFailure &failure, const ProvisionRecord &record);
    void stopRequested();

private:
    void begin();
    QString waitForUnit(const ProvisionPlan &plan, const ConnectRequest &request, const QString &lastSerial);
    // What to do with the unit connected now, decided under the report's lock;
    // `claim` is held when the answer is to write.
    ProvisionStep decide(const ProvisionPlan &plan, const QString &serial, ProvisionClaim &claim);
    // Reads what other processes added to the report, when they did.
    void refreshReport();
    // The serials applied in this run, by this process or another of it.
    QSet<QString> doneThisRun() const { return appliedThisRun_ | report_.appliedInRun(); }
    // The record of the step for the unit connected now: written, or skipped.
    ProvisionRecord take(const ProvisionPlan &plan, ProvisionStep step, const QString &serial);
    ProvisionRecord provision(const ProvisionPlan &plan, const QString &serial);
    ProvisionRecord call(const ProvisionPlan &plan, const UnitsRow &row, const QString &port);
    // Reports the unit; false when it failed or its line could not be written.
    bool report(const ProvisionRecord &record);
    ProvisionRecord write(const IniDocument &doc, const QString &serial);
    void pause();

    UnitConnection &unit_;
    const SectionRegistry &sections_;
    ProvisionReport &report_;
    bool stopping_ = false;
    QSet<QString> appliedThisRun_;
    QList<ProvisionRecord> records_;
};
