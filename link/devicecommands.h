#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// Texts of the clock and counter commands, shared by the link and the
// simulated unit.

// Twelve digits, two each for year, month, day, hour (0 to 23), minute and
// second: 5 March 2012 14:07:09 gives "120305140709".
QString ClockDigits(const QDateTime &clock);

// The unit's clock from a "#A2" answer (two digits each from the 4th
// character on). Parts out of range roll over as date arithmetic does: month
// 13 is January of the next year.
QDateTime ClockFromAnswer(const QString &answer);

// "#41CNT" + counter + "=" + value: counter 2 set to 1500 gives "#41CNT2=1500".
QString CounterCommand(qint16 index, qint32 value);

class Comms;
struct DeviceValues;

// The unit's stand-alone commands. Each holds the link for its exchange and
// does nothing (returning false) while the port is closed or another exchange
// runs; what the unit tells goes into `device`.
bool ReadInfo(Comms &comms, DeviceValues &device);        // "#44": identity stream
bool ReadTotalCount(Comms &comms, DeviceValues &device);  // "#20": the counters' totals
bool ReadDeviceRTC(Comms &comms, DeviceValues &device);   // "#5D": the unit's clock
bool WriteDeviceRTC(Comms &comms);                        // "#5C": the PC's clock to the unit
bool ReadIOParameter(Comms &comms, DeviceValues &device); // channel labels
bool ReadRealTime(Comms &comms, DeviceValues &device);    // live values; true when the states came
// "#47"/"#48": true once sent; the unit's answer is not examined.
bool SetSingleOutput(Comms &comms, qint16 output, bool value);
bool SetTotalCNT(Comms &comms, qint16 index, qint32 newVal);

// "#FA": the identification number of the one 1-Wire probe on the unit's bus,
// its eight byte values in the order of the "#05" answer. None while the link
// is not free, when no "#05" answer to this command came, or when the answer
// does not hold eight whole numbers 0-255.
using ProbeId = std::array<quint8, 8>;
std::optional<ProbeId> ReadProbeId(Comms &comms);
