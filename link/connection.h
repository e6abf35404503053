#pragma once

#include <QDateTime>
#include <QStringList>

// The port names worth trying: COM1 to COM256 on Windows; elsewhere the
// serial devices the system lists and the /dev/ttyS*, /dev/ttyUSB* and
// /dev/ttyACM* nodes, in natural order.
QStringList PortCandidates();

// True when the unit's clock is more than 10 minutes away from the PC's, in
// either direction. A clock that was never read is not out of sync.
bool ClockOutOfSync(const QDateTime &deviceClock, const QDateTime &pcClock);
