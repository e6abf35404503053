#pragma once

#include <QString>
#include <QtGlobal>

// Display texts of the unit's identity values in the information frame.

// The version times 100 as a version text: 123 gives "1.23".
QString FirmwareText(float firmwareVersion);
// " 3.61V".
QString BatteryText(float batteryVoltage);
// The signal bar runs from 0 to 32; a level outside it (99: no level
// available) leaves the bar empty instead of overflowing it.
int SignalBarValue(qint16 signalLevel);
// "(17)", or "(?)" when the level is unknown.
QString SignalLabel(qint16 signalLevel);
// " 1000 Registros", the word in the language in use.
QString LogRecordsText(double records);
