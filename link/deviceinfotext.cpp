#include "deviceinfotext.h"

#include "files/langtable.h"
#include "model/texthelpers.h"

namespace {

constexpr qint16 kSignalMax = 32;

bool signalKnown(qint16 level)
{
    return level >= 0 && level <= kSignalMax;
}

} // namespace

QString FirmwareText(float firmwareVersion)
{
    return CommaToDot(QString::number(double(firmwareVersion) / 100.0, 'f', 2));
}

QString BatteryText(float batteryVoltage)
{
    return NumStr(batteryVoltage) + QLatin1Char('V');
}

int SignalBarValue(qint16 signalLevel)
{
    return signalKnown(signalLevel) ? signalLevel : 0;
}

QString SignalLabel(qint16 signalLevel)
{
    return signalKnown(signalLevel) ? QStringLiteral("(%1)").arg(signalLevel) : QStringLiteral("(?)");
}

QString LogRecordsText(double records)
{
    return NumStr(records) + u' ' + Translate(QStringLiteral("Registros"));
}
