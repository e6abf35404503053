#include "sectionlist.h"

void registerSections(SectionRegistry &registry)
{
    Q_UNUSED(registry);
}
