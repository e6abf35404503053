#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Everything the simulated unit reports about itself and its channels.
// Sizes follow what the unit's answers carry; a state file may change any value.
struct UnitState {
    // Identity ("#44").
    int firmwareVersion = 412; // version times 100
    quint32 features = 0;
    QString serialNumber;
    double batteryVoltage = 0;
    int signalLevel = 0;
    double logSize = 0;
    double logUsed = 0;

    // The unit's clock runs this many seconds ahead of the computer's.
    qint64 clockOffsetSeconds = 0;

    // Live values.
    QList<double> counters;      // 9, "#20"
    QList<double> flowRates;     // 9, "#22"
    quint32 digitalStates = 0;   // "#23"
    quint32 outputStates = 0;
    quint32 flagStates = 0;
    QList<double> auxValues;     // 4
    QList<double> mathValues;    // 4, "#29"
    QList<double> mathRegisters; // 8, "#28"
    QList<double> analogValues;  // 4, "#36"

    // Channel labels.
    QStringList counterNames;              // 9, "#26"
    QStringList flowNames, flowUnits;      // 9, "#27"
    QStringList mathNames, mathUnits;      // 4, "#2A"
    QStringList analogNames, analogUnits;  // 4, "#35"
    QStringList auxNames, auxUnits;        // 4, "#25"

    // Voice-call list and the macro run on a call from it (-1: none).
    QStringList voiceList;
    int voiceMacro = -1;

    // Access key asked for over a modem call; empty: no login.
    QString accessKey;

    // Identification number of the one 1-Wire probe on the bus ("#FA").
    QList<int> probeId; // 8 byte values

    // A small, plausible unit: named channels, some flow, a few states set.
    static UnitState defaults();

    // Overlays the values a state file names; others stay. "features" may be a
    // number or a list of flag names. False with a reason for a malformed value.
    bool apply(const QJsonObject &json, QString *error = nullptr);
    bool loadFile(const QString &path, QString *error = nullptr);
};
