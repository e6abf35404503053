#include <gtest/gtest.h>

#include "files/sectionregistry.h"
#include "sections/sectionlist.h"

namespace {

TEST(SectionList, EveryRegisteredCoreIsWalkedUnderAKnownName)
{
    SectionRegistry registry;
    registerSections(registry);
    EXPECT_FALSE(registry.names().isEmpty());
    EXPECT_EQ(registry.nameFaults(), QStringList());
}

} // namespace
