#pragma once

#include <array>

#include "alarmconfig.h"

// One internal flag of the unit and the alarm it can raise.
struct FlagChannel {
    static constexpr int kAlarmSlots = 1;
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
