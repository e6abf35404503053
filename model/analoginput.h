#pragma once

#include <array>

#include "alarmconfig.h"

// One analog input and its alarm configurations. This product has none on
// the unit; the records still travel between the unit's answers and the file.
struct AnalogInput {
    static constexpr int kAlarmSlots = 4;
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
