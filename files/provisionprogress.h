#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "provisionreport.h"

// One event of a provisioning run on one port, as "--progress json" prints it:
// one JSON object a line, so that a script or the window can follow a run.
struct ProvisionEvent {
    QString port;
    // "waiting", "writing", "applied", "failed", "skipped", "report-failed",
    // or "ended" when the port's run is over (with its exit status).
    QString state;
    QString serial;      // the unit; for "waiting", the last one (may be empty)
    int differences = 0; // applied, failed: what the unit holds otherwise than was sent
    QString history;     // the history copy of what was sent, when one was kept
    QString detail;      // why a unit failed or was skipped; a report's fault
    int status = 0;      // ended: the port's exit status

    static ProvisionEvent ofRecord(const QString &port, const ProvisionRecord &record);
    // The line, ending in LF.
    QByteArray jsonLine() const;
    // Nothing when the line is no event (a worker's stray output).
    static std::optional<ProvisionEvent> fromJsonLine(const QByteArray &line);
};
