#pragma once

#include <QString>
#include <QtGlobal>

#include "model/productversion.h"

// Identity of this product and its channel counts, fixed for the whole run.
// They live with the model because the section cores size their tables by them.
namespace Product {

inline const QString CompanyName = QStringLiteral("Orvane");
inline const QString ProductTitle = QStringLiteral("Velkan Sarn");
inline const QString ProductKey = QStringLiteral("VELKAN_SARN");
inline constexpr int VersionMajor = VELKAN_VERSION_MAJOR;
inline constexpr int VersionMinor = VELKAN_VERSION_MINOR;
// The release as the programs report it (--version, the package).
inline const QString Version = QStringLiteral(VELKAN_VERSION);

} // namespace Product

struct ProductLimits {
    qint16 AnalogCount = 0;
    qint16 DigitalCount = 8;
    qint16 FlowCount = 8;
    qint16 ModbusCount = 0;
    qint16 OneWireCount = 4;
    qint16 OutputCount = 6;
    qint16 AuxCount = 0;
    qint16 MathCount = 4;
};

inline constexpr ProductLimits kProductLimits{};
