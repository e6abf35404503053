// The counters' totals, the channel labels and the live values from
// arbitrary answers. Odd-sized inputs come from a unit with math channels.
#include "fuzzunit.h"
#include "link/devicecommands.h"
#include "link/devicevalues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzUnit unit(data, size);
    DeviceValues device;
    device.DeviceFeatures = (size & 1) ? quint32(Feature::MathChannels) : 0u;
    ReadTotalCount(*unit.comms, device);
    ReadIOParameter(*unit.comms, device);
    ReadRealTime(*unit.comms, device);
    return 0;
}
