#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

#include "alarmconfig.h"

// One analog input and its alarm configurations. This product has none on
// the unit; the records still travel between the unit's answers and the file.
// The scaling is the straight line through (IE, EqIE) and (FE, EqFE); the unit
// applies it, the tool only carries the four values.
struct AnalogInput {
    static constexpr int kAlarmSlots = 4;

    QString Name;
    QString Unit;           // of measure
    qint16 Interface = 0;   // 0 off, 1 4-20 mA, 2 0-5 V, 3 0-10 V, 7 pressure sensor
    float IE = 0;           // start of scale, electrical
    float FE = 0;           // end of scale, electrical
    float EqIE = 0;         // engineering value at the start of scale
    float EqFE = 0;         // engineering value at the end of scale
    qint16 Group = 0;       // analog group, 0..3
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
