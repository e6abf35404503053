#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

#include "alarmconfig.h"

// One computed channel of the unit and its alarm configuration. The unit
// evaluates the equation; the tool only carries its text.
struct MathChannel {
    static constexpr int kAlarmSlots = 1;
    static constexpr qint16 kDisabled = 0;
    static constexpr qint16 kEnabled = 6;

    QString Name;      // at most 19 characters typed
    QString Unit;      // at most 9 characters typed
    qint16 Interface = kDisabled;
    QString Equation;  // at most 31 characters typed
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
