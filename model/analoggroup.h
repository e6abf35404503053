#pragma once

#include <QtGlobal>
#include <array>

// How the unit powers a set of analog sensors before reading them.
struct AnalogGroup {
    static constexpr int kCount = 4;

    qint16 Output = 0;       // output that feeds the group, 0..3
    qint16 Voltage = 0;      // excitation volts: 0, 12 or 24
    float ActivePeriod = 0;  // power-on time before reading, hundredths of a second

    friend bool operator==(const AnalogGroup &, const AnalogGroup &) = default;
};

using AnalogGroups = std::array<AnalogGroup, AnalogGroup::kCount>;
