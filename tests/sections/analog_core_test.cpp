// The analog inputs' core: the unit's lines, the file sections, Clear.
#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/analog/analogcore.h"

namespace {

const AnalogCore core;

void feed(ConfigStore &store, const QString &line)
{
    DownloadState state;
    core.parseLine(store, state, LineField(line, 1), QStringLiteral("#BD060") + line, 0);
}

// The kind fields as one text, so that two records compare at once.
QString describe(const AnalogInput &a)
{
    return QStringLiteral("%1|%2|if=%3|ie=%4 eqie=%5 fe=%6 eqfe=%7|g=%8")
        .arg(a.Name, a.Unit)
        .arg(a.Interface)
        .arg(a.IE).arg(a.EqIE).arg(a.FE).arg(a.EqFE)
        .arg(a.Group);
}

AnalogInput input(const char *name, qint16 interface, float ie, float eqie, float fe, float eqfe,
                  qint16 group)
{
    AnalogInput a;
    a.Name = QString::fromLatin1(name);
    a.Unit = QStringLiteral("bar");
    a.Interface = interface;
    a.IE = ie;
    a.EqIE = eqie;
    a.FE = fe;
    a.EqFE = eqfe;
    a.Group = group;
    return a;
}

ConfigStore filled()
{
    ConfigStore store;
    core.clear(store);
    store.Analog[0] = input("Presion", 7, 0.5f, -1, 4.5f, 10, 1);
    store.Analog[1] = input("Nivel", 1, 4, 0, 20, 100, 2);
    store.Analog[3] = input("Fuera", 5, 1e-5f, 0, 1e6f, 3, 9); // values outside the domains
    AlarmConfig &alarm = store.Analog[1].Alarms[2];
    alarm.Window.clear();
    alarm.Enabled = alarm.NotifySms = true;
    alarm.Text = QStringLiteral("Nivel bajo");
    alarm.Low = 12.5f;
    alarm.ActionsNormal[0] = 4;
    return store;
}

TEST(AnalogCore, InputLines)
{
    const AnalogInput before = input("Antes", 2, 1, 2, 3, 4, 3);
    const struct {
        const char *line;
        int input;
        AnalogInput expected;
    } cases[] = {
        // The scaling comes as start, start equivalent, end, end equivalent; code 4 is 7.
        {"ANALOG,1,Nivel,m,4,2,4,0,20,100", 1, [] {
             AnalogInput a = input("Nivel", 7, 4, 0, 20, 100, 2);
             a.Unit = QStringLiteral("m");
             return a;
         }()},
        // An unmapped code keeps the interface and is no error.
        {"ANALOG,0,Otra,V,5,1,0,0,10,50", 0, [] {
             AnalogInput a = input("Otra", 2, 0, 0, 10, 50, 1);
             a.Unit = QStringLiteral("V");
             return a;
         }()},
        {"ANALOG,3,Corta", 3, [] { // absent fields read as empty
             AnalogInput a = input("Corta", 0, 0, 0, 0, 0, 0);
             a.Unit.clear();
             return a;
         }()},
        // Skipped whole: a bad index, a number that does not fit.
        {"ANALOG,4,Nivel,m,1,2,4,0,20,100", 0, before},
        {"ANALOG,-1,Nivel,m,1,2,4,0,20,100", 0, before},
        {"ANALOG,2,Nivel,m,1,40000,4,0,20,100", 2, before},
        {"ANALOG,2,Nivel,m,1,2,4,0,20,1E39", 2, before},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        ConfigStore store;
        store.Analog.fill(before);
        feed(store, QString::fromLatin1(c.line));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(describe(store.Analog[i]), describe(i == c.input ? c.expected : before)) << i;
    }
}

// What a unit holding the records streams reads back into the same records,
// alarm slots included, and the pressure sensor goes out as code 4.
TEST(AnalogCore, UnitLinesDownloadBackToTheSameInputs)
{
    const ConfigStore source = filled();
    const QStringList lines = core.downloadLines(source, 0);
    EXPECT_EQ(lines.first(), "ANALOG,0,Presion,bar,4,1,0.5,-1,4.5,10");
    ConfigStore copy;
    core.clear(copy);
    for (const QString &line : lines)
        feed(copy, line);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(describe(copy.Analog[i]), describe(source.Analog[i])) << i;
    const AlarmConfig &alarm = copy.Analog[1].Alarms[2];
    EXPECT_TRUE(alarm.Enabled && alarm.NotifySms);
    EXPECT_EQ(alarm.Text, "Nivel bajo");
    EXPECT_EQ(alarm.Low, 12.5f);
    EXPECT_EQ(alarm.ActionsNormal[0], 4);
}

TEST(AnalogCore, FileSectionsSaveAndRestore)
{
    IniDocument doc;
    core.save(filled(), doc);
    const QByteArray text = doc.serialize();
    // Kind keys in the record's order, then the alarm keys; all four sections.
    EXPECT_TRUE(text.startsWith("[ANALOG 0]\r\nNOMBRE=Presion\r\nUNIDAD=bar\r\nINTERFAZ= 7\r\n"
                                "IE= .5\r\nFE= 4.5\r\nEqIE=-1\r\nEqFE= 10\r\nGRUPO= 1\r\nHABIL( 0)=False\r\n"))
        << text.left(200).constData();
    EXPECT_TRUE(text.contains("[ANALOG 3]\r\nNOMBRE=Fuera\r\n"));
    EXPECT_TRUE(text.contains("ACTNO( 2 0)= 4\r\n"));

    ConfigStore restored;
    core.restore(restored, doc);
    const ConfigStore expected = filled();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(describe(restored.Analog[i]), describe(expected.Analog[i])) << i;
    EXPECT_EQ(restored.Analog[1].Alarms[2].Text, "Nivel bajo");
    EXPECT_EQ(restored.Analog[1].Alarms[2].ActionsNormal[0], 4);

    // Only input 2 in the file: the others read every key as empty; a value
    // that does not fit its field keeps Clear's.
    IniDocument one;
    one.parse("[ANALOG 2]\r\nNOMBRE=Caudal\r\nINTERFAZ= 3\r\nIE= 1\r\nGRUPO= 70000\r\n"
              "HABIL( 0)=True\r\n");
    restored = filled();
    core.restore(restored, one);
    AnalogInput two = input("Caudal", 3, 1, 0, 0, 0, 0);
    two.Unit.clear();
    EXPECT_EQ(describe(restored.Analog[2]), describe(two));
    EXPECT_TRUE(restored.Analog[2].Alarms[0].Enabled);
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(describe(restored.Analog[i]), describe(AnalogInput{})) << i;
        const AlarmConfig &slot = restored.Analog[i].Alarms[0];
        EXPECT_FALSE(slot.Enabled || slot.Window.Always) << i;
        EXPECT_EQ(slot.Window.Weekdays, 0) << i;
    }
}

TEST(AnalogCore, ClearResetsEveryInputAndItsAlarmActions)
{
    ConfigStore store = filled();
    core.clear(store);
    for (const AnalogInput &a : store.Analog)
        EXPECT_EQ(describe(a), describe(AnalogInput{}));
    const AlarmConfig &slot = store.Analog[1].Alarms[2];
    EXPECT_FALSE(slot.Enabled);
    EXPECT_TRUE(slot.Window.Always);
    EXPECT_EQ(slot.ActionsNormal[0], 0);
}

} // namespace
