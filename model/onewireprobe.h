#pragma once

#include <array>

#include "alarmconfig.h"

// One probe on the 1-Wire bus and its alarm configurations.
struct OneWireProbe {
    static constexpr int kAlarmSlots = 4;
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
