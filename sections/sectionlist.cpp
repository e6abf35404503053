#include "sectionlist.h"

#include <memory>

#include "general/generalcore.h"
#include "macros/macrocore.h"
#include "timers/timercore.h"

void registerSections(SectionRegistry &registry)
{
    registry.add(std::make_unique<GeneralCore>());
    registry.add(std::make_unique<MacroCore>());
    for (const TimerFamily &family : timerFamilies())
        registry.add(std::make_unique<TimerCore>(family));
}
