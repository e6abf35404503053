#include "sectionlist.h"

#include <memory>

#include "macros/macrocore.h"

void registerSections(SectionRegistry &registry)
{
    registry.add(std::make_unique<MacroCore>());
}
