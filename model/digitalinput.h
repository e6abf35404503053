#pragma once

#include <array>

#include "alarmconfig.h"

// One digital input and its alarm configurations.
struct DigitalInput {
    static constexpr int kAlarmSlots = 4;
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
