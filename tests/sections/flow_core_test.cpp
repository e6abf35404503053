// The flow meters' and the pulse settings' cores: upload, download, the
// unit's lines, file keys; and the pulse-equivalence calculator.
#include <gtest/gtest.h>

#include <functional>

#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/flow/flowcalculator.h"
#include "sections/sectionlist.h"
#include "inikeys.h"

namespace {

const SectionRegistry &registry()
{
    static const SectionRegistry sections = [] {
        SectionRegistry r;
        registerSections(r);
        return r;
    }();
    return sections;
}

const SectionCore &core(const char *name)
{
    return *registry().find(QLatin1String(name));
}

// Every field of a meter but its alarms, so that meters compare at once.
QString describe(const FlowMeter &m)
{
    return QStringLiteral("%1|%2|if=%3|tb=%4|ratio=%5|total=%6")
        .arg(m.Name, m.Unit)
        .arg(m.Interface)
        .arg(m.TimeBase)
        .arg(NumStr(m.Ratio), NumStr(m.TotalRatio));
}

ConfigStore clearedStore()
{
    ConfigStore store;
    registry().clearAll(store);
    return store;
}

// Meter 0 enabled, meter 1 disabled although it holds a time base, and a
// spare meter that must never reach the unit.
ConfigStore twoMeters()
{
    ConfigStore store = clearedStore();
    store.Flow[0] = {"Pozo 1", "m3/h", FlowMeter::kEnabled, 0.01f, 60, 0.5f, store.Flow[0].Alarms};
    store.Flow[1] = {"Pozo 2", "l/s", 0, 2.5f, 30, 10, store.Flow[1].Alarms};
    store.Flow[8] = {"Reserva", "m3", FlowMeter::kEnabled, 1, 5, 3, store.Flow[8].Alarms};
    return store;
}

// Hands one stream line to the core that parses its keyword.
void feed(ConfigStore &store, const QString &line)
{
    DownloadState state;
    const QString keyword = LineField(line, 1);
    const SectionCore *owner = registry().forKeyword(keyword);
    ASSERT_NE(owner, nullptr) << line.toStdString();
    owner->parseLine(store, state, keyword, QStringLiteral("#BD000") + line, 0);
}

// ---- Upload ----

TEST(FlowUpload, MeterLinesWeightsAndAlarmsInOrder)
{
    const ConfigStore store = twoMeters();
    const QStringList weighted = core("Caudal").uploadLines(store, {Feature::PulseWeight});
    const QStringList expectedHead{
        "FLOWCONF0=Pozo 1,UNIT=m3/h,TB= 60,REGDAYMIN,RATIO=0.01",
        "TOTALRATIO0= .5",
        "-ALMFLOW0,INDEX= 0", "-ALMFLOW0,INDEX= 1", "-ALMFLOW0,INDEX= 2", "-ALMFLOW0,INDEX= 3",
        // A disabled meter sends time base 0 whatever it holds.
        "FLOWCONF1=Pozo 2,UNIT=l/s,TB=0,RATIO=2.5",
        "TOTALRATIO1= 10",
    };
    EXPECT_EQ(weighted.mid(0, expectedHead.size()), expectedHead);
    EXPECT_EQ(weighted.size(), 8 * 6); // FL0-FL7 only: the spare meter never goes

    // Without the capability the weights stay out, the rest is the same.
    QStringList plain = weighted;
    plain.removeIf([](const QString &line) { return line.startsWith("TOTALRATIO"); });
    EXPECT_EQ(core("Caudal").uploadLines(store, {}), plain);
    EXPECT_EQ(plain.size(), 8 * 5);
    EXPECT_TRUE(core("SampleRate").uploadLines(store, {Feature::PulseWeight}).isEmpty());
}

// ---- Download ----

TEST(FlowDownload, AnswersFillTheMetersAndTheRate)
{
    using Check = std::function<void(const ConfigStore &)>;
    const struct {
        const char *line;
        Check check;
    } cases[] = {
        {"CAUDAL,3,Pozo,m3/h,30,2.5",
         [](const ConfigStore &s) {
             EXPECT_EQ(describe(s.Flow[3]), "Pozo|m3/h|if=6|tb=30|ratio= 2.5|total= 1");
         }},
        {"CAUDAL,3,Pozo,m3/h,0,2.5",
         [](const ConfigStore &s) {
             EXPECT_EQ(describe(s.Flow[3]), "Pozo|m3/h|if=0|tb=0|ratio= 2.5|total= 1");
         }},
        {"TOTALRATIO,8,0.5", [](const ConfigStore &s) { EXPECT_EQ(s.Flow[8].TotalRatio, 0.5f); }},
        {"SRATE,1", [](const ConfigStore &s) { EXPECT_EQ(s.SampleRate, 256); }},
        {"SRATE,2", [](const ConfigStore &s) { EXPECT_EQ(s.SampleRate, 64); }},
        {"SRATE,0", [](const ConfigStore &s) { EXPECT_EQ(s.SampleRate, 64); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        ConfigStore store = clearedStore();
        store.SampleRate = 0; // neither rate, so that every answer shows
        feed(store, c.line);
        c.check(store);
    }
}

TEST(FlowDownload, LinesNamingNoMeterOrNotFittingAreSkippedWhole)
{
    for (const char *line : {"CAUDAL,9,Pozo,m3/h,30,2.5", "CAUDAL,3,Pozo,m3/h,40000,2.5",
                             "CAUDAL,3,Pozo,m3/h,30,1E39", "CAUDAL,-1,Pozo,m3/h,30,2.5",
                             "CAUDAL,1.5,Pozo,m3/h,30,2.5", "TOTALRATIO,9,0.5",
                             "TOTALRATIO,3,1E39", "TOTALRATIO,x,0.5"}) {
        SCOPED_TRACE(line);
        ConfigStore store = twoMeters();
        const ConfigStore before = store;
        feed(store, line);
        for (size_t i = 0; i < store.Flow.size(); ++i)
            EXPECT_EQ(describe(store.Flow[i]), describe(before.Flow[i])) << i;
    }
}

TEST(FlowDownload, TheUnitsLinesGiveTheConfigurationBack)
{
    ConfigStore unit = twoMeters();
    unit.SampleRate = 256;
    unit.Flow[0].Alarms[2].Enabled = true;
    unit.Flow[0].Alarms[2].Text = "Caudal alto";
    unit.Flow[0].Alarms[2].High = 2000;
    unit.Flow[0].Alarms[2].Window.Weekdays = 127;

    const QStringList lines = core("Caudal").downloadLines(unit, 0)
                              + core("SampleRate").downloadLines(unit, 0);
    EXPECT_TRUE(lines.contains("CAUDAL,1,Pozo 2,l/s,0,2.5")); // disabled: time base 0
    EXPECT_TRUE(lines.contains("SRATE,1"));
    EXPECT_TRUE(lines.contains("TOTALRATIO,8,3"));

    ConfigStore tool = clearedStore();
    for (const QString &line : lines)
        feed(tool, line);
    unit.Flow[1].TimeBase = 0; // what a disabled meter comes back with
    for (size_t i = 0; i < unit.Flow.size(); ++i)
        EXPECT_EQ(describe(tool.Flow[i]), describe(unit.Flow[i])) << i;
    EXPECT_EQ(tool.SampleRate, 256);
    EXPECT_EQ(tool.Flow[0].Alarms[2].High, 2000.f);
    EXPECT_TRUE(tool.Flow[0].Alarms[2].Enabled);
}

// ---- Clear ----

TEST(FlowClear, MetersAndPulseSettingsTakeTheirDefaults)
{
    ConfigStore store = twoMeters();
    store.SampleRate = 256;
    store.Flow[8].TotalRatio = 3;
    core("Caudal").clear(store);
    EXPECT_EQ(describe(store.Flow[0]), "||if=0|tb=0|ratio= 1|total= .5"); // the weight is not its own
    core("SampleRate").clear(store);
    EXPECT_EQ(store.SampleRate, 64);
    EXPECT_EQ(store.Flow[7].TotalRatio, 1.f);
    EXPECT_EQ(store.Flow[8].TotalRatio, 3.f); // the spare's weight only comes from the unit
}

// ---- Configuration file ----

TEST(FlowFile, KeysOfTheMeterSectionsWithTheWeightLast)
{
    IniDocument doc;
    registry().saveAll(twoMeters(), doc);
    const QStringList meter0 = keysOf(doc, "CAUDAL 0");
    const QStringList kind{"NOMBRE", "UNIDAD", "INTERFAZ", "TIMEBASE", "RATIO"};
    EXPECT_EQ(meter0.mid(0, 5), kind);
    EXPECT_EQ(meter0.mid(5, 2), (QStringList{"HABIL( 0)", "REST( 0)"}));
    EXPECT_EQ(meter0.last(), "TOTALRATIO");
    EXPECT_EQ(meter0.count("TOTALRATIO"), 1);
    const QStringList spare = keysOf(doc, "CAUDAL 8");
    EXPECT_EQ(spare.mid(0, 5), kind);
    EXPECT_FALSE(spare.contains("TOTALRATIO"));
    EXPECT_EQ(spare.size(), meter0.size() - 1);
    EXPECT_EQ(doc.readValue("CAUDAL 0", "TOTALRATIO"), ".5"); // the file trims the blank on reading
    EXPECT_EQ(doc.readValue("CAUDAL 1", "RATIO"), "2.5");
    EXPECT_EQ(doc.readValue("CAUDAL 1", "INTERFAZ"), "0");
    EXPECT_TRUE(QString::fromLatin1(doc.serialize()).contains("RATIO= .01\r\n"));
}

TEST(FlowFile, SaveThenRestoreGivesTheMetersBackAndTheRateItsDefault)
{
    ConfigStore saved = twoMeters();
    saved.SampleRate = 256;
    saved.Flow[2].Ratio = 0.5f;
    IniDocument doc;
    registry().saveAll(saved, doc);
    IniDocument reread;
    reread.parse(doc.serialize());

    ConfigStore restored = clearedStore();
    restored.SampleRate = 256;
    registry().restoreAll(restored, reread);
    saved.Flow[8].TotalRatio = restored.Flow[8].TotalRatio; // never saved
    for (size_t i = 0; i < saved.Flow.size(); ++i)
        EXPECT_EQ(describe(restored.Flow[i]), describe(saved.Flow[i])) << i;
    EXPECT_EQ(restored.SampleRate, 64);
}

TEST(FlowFile, MissingKeysGiveZeroAndUnreadableValuesKeepTheDefaults)
{
    IniDocument doc;
    doc.writeValue("CAUDAL 0", "NOMBRE", "Pozo");
    doc.writeValue("CAUDAL 0", "INTERFAZ", " 6");
    doc.writeValue("CAUDAL 0", "TIMEBASE", " 40000");
    doc.writeValue("CAUDAL 1", "RATIO", " 1E+39");
    doc.writeValue("CAUDAL 1", "TOTALRATIO", " 1E+39");
    ConfigStore store = clearedStore();
    registry().restoreAll(store, doc);
    EXPECT_EQ(describe(store.Flow[0]), "Pozo||if=6|tb=0|ratio= 0|total= 0");
    EXPECT_EQ(describe(store.Flow[1]), "||if=0|tb=0|ratio= 1|total= 1");
}

// ---- Calculator ----

TEST(FlowCalculator, PulseEquivalence)
{
    using V = PulseVolume;
    using U = FlowUnit;
    const struct {
        const char *pulses;
        V volume;
        const char *timeBase;
        U unit;
        std::optional<float> result;
    } cases[] = {
        {"10", V::Litres, "60", U::CubicMetresPerHour, 0.6f},
        {"1", V::CubicMetres, "1", U::LitresPerSecond, 1000.f},
        {"2", V::OtherUnit, "4", U::OtherPerSecond, 0.5f},
        {"2", V::OtherUnit, "4", U::OtherPerHour, 1800.f},
        {" 1.5 ", V::Litres, " 3 ", U::LitresPerSecond, 0.5f},
        {"10", V::Litres, "0", U::LitresPerSecond, std::nullopt},
        {"10", V::Litres, "40000", U::LitresPerSecond, std::nullopt},
        {"10", V::Litres, "1.5", U::LitresPerSecond, std::nullopt},
        {"1E39", V::Litres, "60", U::LitresPerSecond, std::nullopt},
        {"1,5", V::Litres, "60", U::LitresPerSecond, std::nullopt},
        {"", V::Litres, "60", U::LitresPerSecond, std::nullopt},
        {"3E38", V::CubicMetres, "1", U::OtherPerHour, std::nullopt}, // beyond a float
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.pulses) + " / " + c.timeBase);
        EXPECT_EQ(PulseEquivalence(c.pulses, c.volume, c.timeBase, c.unit), c.result);
    }
    EXPECT_EQ(NumStr(*PulseEquivalence("10", V::Litres, "60", U::CubicMetresPerHour)), " .6");
    EXPECT_EQ(NumStr(*PulseEquivalence("1", V::CubicMetres, "1", U::LitresPerSecond)), " 1000");
}

} // namespace
