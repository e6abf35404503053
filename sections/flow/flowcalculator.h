#pragma once

#include <QString>
#include <optional>

// The helper that finds a meter's pulse equivalence from what one pulse
// stands for, the time base and the unit the flow is wanted in.

enum class PulseVolume { Litres, CubicMetres, OtherUnit };
enum class FlowUnit { LitresPerSecond, CubicMetresPerHour, OtherPerSecond, OtherPerHour };

// Engineering units of flow one pulse per time base stands for: pulses ×
// factor / (divisor × time base), as a float. No value when the time base
// is not a whole number that fits 16 bits or is 0, when the pulse text is
// not a number that fits a float, or when the result does not fit a float.
std::optional<float> PulseEquivalence(const QString &pulses, PulseVolume volume,
                                      const QString &timeBase, FlowUnit unit);
