// The digital inputs' core: upload, download, the unit's lines, file keys.
#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/digital/digitalcore.h"
#include "inikeys.h"

namespace {

const DigitalCore core;

void feed(ConfigStore &store, const QString &line)
{
    DownloadState state;
    core.parseLine(store, state, LineField(line, 1), QStringLiteral("#BD000") + line, 0);
}

QString describe(const DigitalInput &input)
{
    return input.Name + (input.NC ? "|NC" : "|NA");
}

// DI0 normally closed, DI1 normally open, DI8 (never uploaded) named and closed.
ConfigStore inputs()
{
    ConfigStore store;
    core.clear(store);
    store.Digital[0].Name = "Puerta";
    store.Digital[0].NC = true;
    store.Digital[1].Name = "Nivel";
    store.Digital[8].Name = "Red";
    store.Digital[8].NC = true;
    return store;
}

TEST(DigitalUpload, NameLineWithTheContactOnlyWhenTheUnitTakesIt)
{
    const ConfigStore store = inputs();
    const QStringList withNc = core.uploadLines(store, {Feature::DigitalNormallyClosed});
    const QStringList expectedHead{"DINAME0=Puerta,NC",  "-ALMD0,INDEX= 0", "-ALMD0,INDEX= 1",
                                   "-ALMD0,INDEX= 2",    "-ALMD0,INDEX= 3", "DINAME1=Nivel"};
    EXPECT_EQ(withNc.mid(0, expectedHead.size()), expectedHead);
    EXPECT_EQ(withNc.size(), 8 * 5); // DI0-DI7: DI8 keeps what the unit has
    EXPECT_EQ(core.uploadLines(store, {}).first(), "DINAME0=Puerta");
    for (const QString &line : withNc)
        EXPECT_FALSE(line.startsWith("DINAME8") || line.contains("ALMD8")) << line.toStdString();
}

TEST(DigitalDownload, AnswersFillTheInputsAndBadIndicesAreSkipped)
{
    const struct {
        const char *line;
        int input;
        const char *expected;
    } cases[] = {
        {"DIGITAL,8,Red,-1", 8, "Red|NC"},
        {"DIGITAL,2,Pozo,1", 2, "Pozo|NC"},
        {"DIGITAL,0,Puerta,0", 0, "Puerta|NA"},
        {"DIGITAL,0,Puerta", 0, "Puerta|NA"},
        {"DIGITAL,9,Otra,1", 1, "Nivel|NA"},
        {"DIGITAL,1.0,Otra,1", 1, "Nivel|NA"},
    };
    for (const auto &c : cases) {
        ConfigStore store = inputs();
        feed(store, c.line);
        EXPECT_EQ(describe(store.Digital[c.input]), c.expected) << c.line;
    }
}

TEST(DigitalDownload, TheUnitsLinesGiveTheConfigurationBack)
{
    ConfigStore unit = inputs();
    AlarmConfig &alarm = unit.Digital[0].Alarms[1];
    alarm.Enabled = true;
    alarm.Text = "Puerta abierta";
    alarm.Persistence = 2.5f;
    alarm.Rearm = 4;
    alarm.Window.Weekdays = 127;
    const QStringList lines = core.downloadLines(unit, 0);
    EXPECT_EQ(lines.first(), "DIGITAL,0,Puerta,-1");

    ConfigStore tool;
    core.clear(tool);
    for (const QString &line : lines)
        feed(tool, line);
    for (size_t i = 0; i < unit.Digital.size(); ++i)
        EXPECT_EQ(describe(tool.Digital[i]), describe(unit.Digital[i])) << i;
    EXPECT_EQ(tool.Digital[0].Alarms[1].Persistence, 2.5f);
    EXPECT_EQ(tool.Digital[0].Alarms[1].Rearm, 4.f);
}

TEST(DigitalFile, KeysAndRestore)
{
    IniDocument doc;
    core.save(inputs(), doc);
    const QStringList keys = keysOf(doc, "DIGITAL 0");
    EXPECT_EQ(keys.mid(0, 3), (QStringList{"NOMBRE", "NC", "HABIL( 0)"}));
    EXPECT_EQ(doc.readValue("DIGITAL 0", "NC"), "True");
    EXPECT_EQ(doc.readValue("DIGITAL 8", "NOMBRE"), "Red");

    IniDocument reread;
    reread.parse(doc.serialize());
    ConfigStore restored;
    restored.Digital[3].Name = "Stale";
    core.restore(restored, reread);
    const ConfigStore saved = inputs();
    for (size_t i = 0; i < saved.Digital.size(); ++i)
        EXPECT_EQ(describe(restored.Digital[i]), describe(saved.Digital[i])) << i;

    // Only "True" is normally closed.
    for (const char *text : {"true", "-1", "1", ""}) {
        IniDocument other;
        other.writeValue("DIGITAL 0", "NC", text);
        core.restore(restored, other);
        EXPECT_FALSE(restored.Digital[0].NC) << text;
    }
}

} // namespace
