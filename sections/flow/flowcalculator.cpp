#include "flowcalculator.h"

#include "model/texthelpers.h"

namespace {

constexpr double kLitresPerCubicMetre = 1000;
constexpr double kSecondsPerHour = 3600;

} // namespace

std::optional<float> PulseEquivalence(const QString &pulses, PulseVolume volume,
                                      const QString &timeBase, FlowUnit unit)
{
    if (!IsIntegerText(timeBase) || !IsDecimalText(pulses))
        return std::nullopt;
    const std::optional<qint16> seconds = ToInt16(ParseNumber(timeBase));
    const std::optional<float> perPulse = ToFloat32(ParseNumber(pulses));
    if (!seconds || *seconds == 0 || !perPulse)
        return std::nullopt;

    // Everything in litres (or the operator's own unit) per second first.
    double volumePerPulse = *perPulse;
    if (volume == PulseVolume::CubicMetres)
        volumePerPulse *= kLitresPerCubicMetre;
    const double divisor = unit == FlowUnit::CubicMetresPerHour ? kLitresPerCubicMetre : 1;
    const double factor =
        (unit == FlowUnit::CubicMetresPerHour || unit == FlowUnit::OtherPerHour) ? kSecondsPerHour
                                                                                  : 1;
    return ToFloat32(volumePerPulse * factor / (divisor * *seconds));
}
