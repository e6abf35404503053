// Taking chosen values of another configuration into one: exactly those
// values change, through the rules of a file restore.
#include <gtest/gtest.h>

#include <memory>

#include "files/configcompare.h"
#include "files/configmerge.h"
#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

struct ConfigMergeTest : ::testing::Test {
    ConfigMergeTest()
    {
        registerSections(registry);
        registry.clearAll(*base);
        base->General.ResendCount = 3;
        auto other = std::make_unique<ConfigStore>(*base);
        other->Flow[1].Ratio = 2.5f;
        other->Flow[1].Name = QStringLiteral("Entrada");
        other->Digital[0].Name = QStringLiteral("Bomba");
        other->Digital[3].Alarms[1].Text = QStringLiteral("Puerta");
        other->General.ResendCount = 7;
        registry.saveAll(*other, from);
    }

    // "item/key" of what differs between BASE and `store`.
    QStringList changedKeys(const ConfigStore &store) const
    {
        QStringList keys;
        for (const ConfigDifference &d : compareConfigurations(*base, store, registry))
            keys << d.item + u'/' + d.key;
        return keys;
    }

    SectionRegistry registry;
    std::unique_ptr<ConfigStore> base = std::make_unique<ConfigStore>();
    IniDocument from;
};

TEST_F(ConfigMergeTest, OnlyTheChosenValuesChange)
{
    QStringList unknown;
    const struct {
        const char *name;
        QList<TakeChoice> choices;
        QStringList changed;
    } cases[] = {
        {"section", takeChoices({"E_Digital"}, from, registry, unknown), {"DIGITAL 0/NOMBRE", "DIGITAL 3/TEXTO( 1)"}},
        {"slot", {{"DIGITAL 3", {}}}, {"DIGITAL 3/TEXTO( 1)"}},
        {"key", {{"CAUDAL 1", "ratio"}}, {"CAUDAL 1/RATIO"}},
    };
    ASSERT_TRUE(unknown.isEmpty());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto store = std::make_unique<ConfigStore>(*base);
        const TakeReport report = takeInto(*store, from, c.choices, registry);
        EXPECT_EQ(changedKeys(*store), c.changed);
        EXPECT_EQ(report.taken, c.changed.size());
        EXPECT_TRUE(report.refused.isEmpty());
    }
}

// A value the restore rules refuse is reported; the field keeps what it had,
// not the default a file restore would leave, and the other values are taken.
TEST_F(ConfigMergeTest, ARefusedValueIsReportedAndNotTaken)
{
    from.writeValue(QStringLiteral("GENERAL"), QStringLiteral("RENVN"), QStringLiteral("70000"));
    auto store = std::make_unique<ConfigStore>(*base);
    const TakeReport report =
        takeInto(*store, from, {{"GENERAL", "RENVN"}, {"CAUDAL 1", "RATIO"}}, registry);
    ASSERT_EQ(report.refused.size(), 1);
    EXPECT_EQ(report.refused[0].key.toUpper(), QStringLiteral("RENVN"));
    EXPECT_EQ(report.refused[0].text, QStringLiteral("70000"));
    EXPECT_EQ(report.taken, 1);
    EXPECT_EQ(store->General.ResendCount, 3);
    EXPECT_EQ(changedKeys(*store), QStringList{"CAUDAL 1/RATIO"});
}

} // namespace
