#include <gtest/gtest.h>

#include "files/sectionnames.h"
#include "files/sectionregistry.h"

namespace {

using SectionNames::NameList;

TEST(SectionNames, EveryOrderOfTheCoreRegistryNamesAKnownSection)
{
    EXPECT_EQ(SectionRegistry().nameFaults(), QStringList());
}

TEST(SectionNames, AMisspeltListedNameOrAnUnlistedRegisteredNameIsAFault)
{
    const QStringList known = {"General", "Macros", "Caudal"};
    struct Case {
        const char *what;
        QList<NameList> walks;
        QStringList registered;
        QStringList faults;
    };
    const Case cases[] = {
        {"all consistent; a known name may be listed and not registered",
         {{"Clear", {"General", "Caudal"}}, {"File", {"Macros", "General"}}},
         {"General", "Macros"},
         {}},
        {"a misspelt entry",
         {{"Clear", {"General", "Macro"}}, {"File", {"Macros"}}},
         {"General", "Macros"},
         {"Clear lists \"Macro\", which is no known name"}},
        {"a misspelt registration",
         {{"Clear", {"General", "Macros"}}},
         {"General", "Macross"},
         {"\"Macross\" is registered but no walk lists it"}},
        {"names match with their case",
         {{"Clear", {"general"}}},
         {"General"},
         {"Clear lists \"general\", which is no known name",
          "\"General\" is registered but no walk lists it"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SectionNames::faults(c.walks, known, c.registered), c.faults) << c.what;
}

} // namespace
