#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <array>

#include "model/product.h"

// Capability flags the unit reports in its "FEATURES" line.
namespace Feature {
enum : quint32 {
    RetrySettings = 1u << 0,
    GprsSettings = 1u << 1,
    FlagAlarms = 1u << 2,
    FtpSettings = 1u << 4,
    MathChannels = 1u << 6,
    DigitalNormallyClosed = 1u << 7,
    WideChannelMask = 1u << 8,
    FastLineAck = 1u << 10,
    MonthlyTimers = 1u << 11,
    MissedCallMacro = 1u << 12,
    ModbusSlave = 1u << 13,
    ExtendedPhoneMask = 1u << 16,
    PulseWeight = 1u << 20,
    FlowLimitsRaw = 1u << 21,
};

struct Named {
    const char *name;
    quint32 bit;
};

// Every flag the tool acts on, by the name the program uses for it.
inline constexpr Named kNames[] = {
    {"RetrySettings", RetrySettings},       {"GprsSettings", GprsSettings},
    {"FlagAlarms", FlagAlarms},             {"FtpSettings", FtpSettings},
    {"MathChannels", MathChannels},         {"DigitalNormallyClosed", DigitalNormallyClosed},
    {"WideChannelMask", WideChannelMask},   {"FastLineAck", FastLineAck},
    {"MonthlyTimers", MonthlyTimers},       {"MissedCallMacro", MissedCallMacro},
    {"ModbusSlave", ModbusSlave},           {"ExtendedPhoneMask", ExtendedPhoneMask},
    {"PulseWeight", PulseWeight},           {"FlowLimitsRaw", FlowLimitsRaw},
};
} // namespace Feature

// The unit reports one counter per flow meter and one for the spare meter,
// and one value per probe.
inline constexpr int kCounterCount = kProductLimits.FlowCount + 1;
inline constexpr int kProbeCount = kProductLimits.OneWireCount;

// Live values and channel labels read from the unit. Values are kept as the
// unit sent them: a counter beyond the signed 32-bit range stays whole, and
// a reading keeps every digit a double holds, so the logs can repeat it.
struct LiveData {
    std::array<QString, 5> AnalogName, AnalogUnit;
    std::array<QString, 5> AuxName, AuxUnit;
    std::array<QString, 10> CounterName;
    std::array<QString, 10> FlowName, FlowUnit;
    std::array<QString, 9> MathName, MathUnit;
    std::array<qint64, 10> CounterValue{};
    std::array<double, 10> FlowRate{};
    quint16 DigitalState = 0;
    quint16 OutputState = 0;
    quint32 FlagState = 0;
    std::array<double, 5> AuxValue{};
    std::array<double, 9> MathValue{};
    std::array<QString, 9> MathRegister;
    std::array<double, 5> AnalogValue{};
};

// What the unit told about itself. The values survive a disconnect.
struct DeviceValues {
    quint32 DeviceFeatures = 0;
    float FirmwareVersion = 0; // version times 100
    QString SerialNumber;
    float BatteryVoltage = 0;
    qint16 SignalLevel = 0;
    double LogSize = 0;
    double LogUsed = 0;
    QDateTime DeviceClock;
    std::array<qint32, 10> TotalCounts{};
    LiveData Live;

    bool has(quint32 feature) const { return (DeviceFeatures & feature) != 0; }
};
