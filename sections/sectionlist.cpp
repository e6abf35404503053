#include "sectionlist.h"

#include <memory>

#include "general/generalcore.h"
#include "macros/macrocore.h"
#include "timers/timercore.h"
#include "gprs/gprscore.h"
#include "modbus/modbuscore.h"
#include "groups/groupcore.h"
#include "voicelist/voicelistcore.h"
#include "math/mathcore.h"
#include "flags/flagcore.h"
#include "onewire/onewirecore.h"
#include "analog/analogcore.h"
#include "flow/flowcore.h"
#include "flow/sampleratecore.h"
#include "digital/digitalcore.h"

void registerSections(SectionRegistry &registry)
{
    registry.add(std::make_unique<GeneralCore>());
    registry.add(std::make_unique<MacroCore>());
    for (const TimerFamily &family : timerFamilies())
        registry.add(std::make_unique<TimerCore>(family));
    registry.add(std::make_unique<GprsCore>());
    registry.add(std::make_unique<ModbusCore>());
    registry.add(std::make_unique<GroupCore>());
    registry.add(std::make_unique<VoiceListCore>());
    registry.add(std::make_unique<MathCore>());
    registry.add(std::make_unique<FlagCore>());
    registry.add(std::make_unique<OneWireCore>());
    registry.add(std::make_unique<AnalogCore>());
    registry.add(std::make_unique<FlowCore>());
    registry.add(std::make_unique<SampleRateCore>());
    registry.add(std::make_unique<DigitalCore>());
}
