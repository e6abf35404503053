#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

#include "alarmconfig.h"

// One probe on the 1-Wire bus and its alarm configurations. A probe is
// addressed by its 64-bit identification number, kept as two texts of four
// byte values ("040.170.187.204"); both halves all zeros tell the unit that
// the bus carries this probe alone.
struct OneWireProbe {
    static constexpr int kAlarmSlots = 4;
    static constexpr qint16 kDisabled = 0;
    static constexpr qint16 kTemperature = 4;
    static constexpr qint16 kHumidity = 5;

    QString Name;      // at most 19 characters typed
    QString Unit;      // at most 9 characters typed
    qint16 Interface = kDisabled;
    bool UseId = false; // kept by Clear
    QString Address1 = QStringLiteral("0");
    QString Address2 = QStringLiteral("0");
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
