// The analog groups' core, and what the pass-through sections upload.
#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/groups/groupcore.h"
#include "sections/sectionlist.h"

namespace {

const GroupCore core;

void feed(ConfigStore &store, const QString &line)
{
    DownloadState state;
    core.parseLine(store, state, LineField(line, 1), QStringLiteral("#BD050") + line, 0);
}

ConfigStore filled()
{
    ConfigStore store;
    store.Groups = {AnalogGroup{1, 12, 150.5f}, AnalogGroup{0, 24, 0.25f}, AnalogGroup{7, 5, 99999},
                    AnalogGroup{-3, 0, 1e-5f}};
    return store;
}

TEST(GroupCore, DownloadLines)
{
    const AnalogGroup before{3, 24, 10};
    const struct {
        const char *line;
        int group;
        AnalogGroup expected;
    } cases[] = {
        {"GROUP,2,1,12,150.5", 2, {1, 12, 150.5f}},
        {"GROUP,0,7,5,-1", 0, {7, 5, -1}}, // outside the domains, carried as numbers
        {"GROUP,3,2", 3, {2, 0, 0}},       // absent fields read as empty
        // Skipped whole: a bad index, a number that does not fit.
        {"GROUP,4,1,12,5", 3, before},
        {"GROUP,x,1,12,5", 0, before},
        {"GROUP,1,70000,12,5", 1, before},
        {"GROUP,1,1,12,1E40", 1, before},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        ConfigStore store;
        store.Groups.fill(before);
        feed(store, QString::fromLatin1(c.line));
        for (int i = 0; i < AnalogGroup::kCount; ++i)
            EXPECT_EQ(store.Groups[i], i == c.group ? c.expected : before) << i;
    }
}

TEST(GroupCore, UnitLinesDownloadBackToTheSameGroups)
{
    const ConfigStore source = filled();
    const QStringList lines = core.downloadLines(source, 0);
    EXPECT_EQ(lines.first(), "GROUP,0,1,12,150.5");
    ConfigStore copy;
    core.clear(copy);
    for (const QString &line : lines)
        feed(copy, line);
    EXPECT_EQ(copy.Groups, source.Groups);
}

TEST(GroupCore, FileSaveAndRestore)
{
    IniDocument doc;
    core.save(filled(), doc);
    EXPECT_TRUE(doc.serialize().startsWith("[GRUPO 0]\r\nSALIDA= 1\r\nVOLTAJE= 12\r\nPERIOD= 150.5\r\n"
                                           "[GRUPO 1]\r\n"));
    ConfigStore restored;
    core.restore(restored, doc);
    EXPECT_EQ(restored.Groups, filled().Groups);

    // Only group 2 in the file: the others are 0; an unfitting value keeps 0.
    IniDocument one;
    one.parse("[GRUPO 2]\r\nSALIDA= 2\r\nVOLTAJE= 99999\r\nPERIOD= 30\r\n");
    restored = filled();
    core.restore(restored, one);
    EXPECT_EQ(restored.Groups, (AnalogGroups{AnalogGroup{}, AnalogGroup{}, AnalogGroup{2, 0, 30}, AnalogGroup{}}));
}

// Groups, bus settings, analog inputs and the voice list never reach the unit through the
// configuration upload, whatever they hold.
TEST(PassThroughSections, FilledUploadsTheSameLinesAsCleared)
{
    SectionRegistry sections;
    registerSections(sections);
    ConfigStore clearedStore;
    sections.clearAll(clearedStore);
    ConfigStore store = filled();
    sections.clearAll(store);
    store.Groups = filled().Groups;
    store.Modbus = {9600, false, 5, 9600};
    store.VoiceList.Numbers[0] = QStringLiteral("600123456");
    PackVoiceList(store.VoiceList);
    store.VoiceList.CallMacro = 3;
    store.Analog[1].Name = QStringLiteral("Nivel");
    store.Analog[1].Interface = 1;
    store.Analog[1].Alarms[0].Enabled = true;
    store.Analog[1].Alarms[0].Text = QStringLiteral("Alto");
    const UploadContext unit{~0u};
    EXPECT_EQ(sections.uploadLines(store, unit), sections.uploadLines(clearedStore, unit));
}

} // namespace
