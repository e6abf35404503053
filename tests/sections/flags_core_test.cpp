// The flags' core: one alarm line per flag for units with flag alarms, the
// "FLAG" file sections, and the flag, math and probe answers reaching their
// sections through the registry.
#include <gtest/gtest.h>

#include "channel_cores_fixture.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "sections/flags/flagcore.h"
#include "sections/sectionlist.h"

namespace {

const FlagCore core;

TEST(FlagCore, UploadIsOneLinePerFlagWithoutThresholdsOrEnableFlag)
{
    ConfigStore store = clearedBy(core);
    AlarmConfig &alarm = store.Flags[10].Alarms[0];
    alarm.Enabled = true;
    alarm.Text = QStringLiteral("Flag alto");
    alarm.EnableFlag = 3; // a flag's alarm has neither: neither is sent
    alarm.High = 12;
    const QStringList lines = core.uploadLines(store, UploadContext{Feature::FlagAlarms, kProductLimits});
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(lines[0], "-ALMF0,INDEX= 0");
    EXPECT_EQ(lines[10], "+ALMF10=Flag alto,INDEX= 0,NOSEND,ACTHI=,ACTLO=");
    EXPECT_EQ(lines[15], "-ALMF15,INDEX= 0");
    EXPECT_TRUE(core.uploadLines(store, UploadContext{Feature::MathChannels, kProductLimits}).isEmpty());
}

TEST(FlagCore, FileHasSixteenSectionsWithoutThresholdKeys)
{
    ConfigStore store = clearedBy(core);
    store.Flags[15].Alarms[0].Text = QStringLiteral("Fin");
    store.Flags[15].Alarms[0].ActionsLow[7] = 42;
    IniDocument doc;
    core.save(store, doc);
    const QStringList lines = sectionLines(doc, QStringLiteral("FLAG 15"));
    EXPECT_TRUE(lines.contains("TEXTO( 0)=Fin"));
    EXPECT_TRUE(lines.contains("ACTLO( 0 7)= 42"));
    for (const QString &line : lines)
        EXPECT_FALSE(line.startsWith("MINIMO(") || line.startsWith("FLAG(") || line.startsWith("ACTNO(")) << qPrintable(line);

    ConfigStore restored = clearedBy(core);
    core.restore(restored, doc);
    EXPECT_EQ(restored.Flags[15].Alarms[0].Text, "Fin");
    EXPECT_EQ(restored.Flags[15].Alarms[0].ActionsLow[7], 42);
}

TEST(ChannelCores, RegistryRoutesTheirAnswersAndTheUnitLinesReadBack)
{
    SectionRegistry registry;
    registerSections(registry);
    const struct {
        const char *keyword;
        const char *section;
    } routes[] = {{"MATH", "E_Math"},           {"MATH.ALM", "E_Math"},    {"MATH.ACT", "E_Math"},
                  {"FLAG.ALM", "Flags"},        {"FLAG.ACT", "Flags"},     {"ONEWIRE", "E_OneWire"},
                  {"ONEWIRE.ALM", "E_OneWire"}, {"ONEWIRE.ACT", "E_OneWire"}};
    for (const auto &route : routes) {
        const SectionCore *found = registry.forKeyword(QString::fromLatin1(route.keyword));
        ASSERT_NE(found, nullptr) << route.keyword;
        EXPECT_EQ(found->name(), route.section) << route.keyword;
    }

    ConfigStore store = clearedBy(core);
    AlarmConfig &alarm = store.Flags[7].Alarms[0];
    alarm.Enabled = alarm.NotifySms = true;
    alarm.Text = QStringLiteral("Puerta");
    alarm.ActionsHigh[0] = 5;
    EXPECT_TRUE(core.downloadLines(store, 0).isEmpty());
    ConfigStore read = clearedBy(core);
    for (const QString &line : core.downloadLines(store, Feature::FlagAlarms))
        feed(core, read, line);
    EXPECT_EQ(core.uploadLines(read, UploadContext{Feature::FlagAlarms, kProductLimits}),
              core.uploadLines(store, UploadContext{Feature::FlagAlarms, kProductLimits}));
}

} // namespace
