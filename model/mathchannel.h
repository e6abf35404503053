#pragma once

#include <array>

#include "alarmconfig.h"

// One computed channel of the unit and its alarm configuration.
struct MathChannel {
    static constexpr int kAlarmSlots = 1;
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
