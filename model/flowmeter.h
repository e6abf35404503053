#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

#include "alarmconfig.h"

// One pulse input (flow meter with totalizer) and its alarm configurations.
// Alarm thresholds and hysteresis are kept in pulses (see FlowLimitsRaw).
struct FlowMeter {
    static constexpr int kAlarmSlots = 4;
    static constexpr int kNameLength = 31;
    static constexpr int kUnitLength = 9;
    static constexpr qint16 kEnabled = 6; // `Interface` of a meter that counts

    QString Name;
    QString Unit;              // engineering unit of the flow
    qint16 Interface = 0;      // 0 not enabled, kEnabled enabled
    float Ratio = 1;           // engineering units one pulse stands for
    qint16 TimeBase = 0;       // seconds over which pulses are counted
    float TotalRatio = 1;      // cubic metres one pulse adds to the totalizer
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
