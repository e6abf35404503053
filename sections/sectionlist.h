#pragma once

#include "files/sectionregistry.h"

// Every section core of this product, registered once.
void registerSections(SectionRegistry &registry);
