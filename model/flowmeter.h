#pragma once

#include <array>

#include "alarmconfig.h"

// One pulse input (flow meter with totalizer) and its alarm configurations.
struct FlowMeter {
    static constexpr int kAlarmSlots = 4;
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
