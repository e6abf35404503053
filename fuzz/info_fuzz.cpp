// The unit's identity stream ("#44"), its clock ("#5D") and the 1-Wire
// probe's number ("#FA") from arbitrary answers, then shown as the
// information frame shows them.
#include <QDateTime>

#include "fuzzunit.h"
#include "link/connection.h"
#include "link/devicecommands.h"
#include "link/deviceinfotext.h"
#include "link/devicevalues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzUnit unit(data, size);
    DeviceValues device;
    ReadInfo(*unit.comms, device);
    ReadDeviceRTC(*unit.comms, device);
    ReadProbeId(*unit.comms);
    FirmwareText(device.FirmwareVersion);
    BatteryText(device.BatteryVoltage);
    SignalBarValue(device.SignalLevel);
    SignalLabel(device.SignalLevel);
    LogRecordsText(device.LogSize);
    ClockOutOfSync(device.DeviceClock, QDateTime::currentDateTime());
    return 0;
}
