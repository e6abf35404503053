#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class ServiceHistory;

// A unit as its service history knows it: the newest copy's operation, time
// and technician, the firmware it last reported, and how its newest write ended.
struct FleetUnit {
    QString serial; // the unit's folder
    QString name;   // the unit name its newest copy holds
    QString lastOperation;
    QDateTime lastTime;
    QString technician;
    QString firmware;          // "" when no copy named it
    QString lastWrite;         // "verified", "differs", "not checked" or "" (never written)
};

// Every unit of the history, by serial.
QList<FleetUnit> fleetUnits(const ServiceHistory &history);

// Who last changed a key's value on a unit: the oldest copy of the run of
// copies, newest last, that holds the value the newest copy holds. A write
// whose check found differences is left out: the unit may not hold what it sent.
struct KeyChange {
    bool known = false; // false: no copy of the unit holds the key
    QString value;
    QDateTime time;
    QString technician;
    QString operation;
    QString path;
};
KeyChange lastChange(const ServiceHistory &history, const QString &serial, const QString &section,
                     const QString &key);
