#pragma once

#include <QString>
#include <array>

#include "alarmconfig.h"

// One digital input and its alarm configurations.
struct DigitalInput {
    static constexpr int kAlarmSlots = 4;
    static constexpr int kNameLength = 19;

    QString Name;
    bool NC = false; // normally-closed contact
    std::array<AlarmConfig, kAlarmSlots> Alarms;
};
