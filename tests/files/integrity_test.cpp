// What a file can carry to the unit: texts holding their line's separator are
// named before an upload, and values the model could not take are listed.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "files/configfile.h"
#include "files/inidocument.h"
#include "files/linetexts.h"
#include "files/restorenotes.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "testfiles.h"

namespace {

struct IntegrityTest : ::testing::Test {
    IntegrityTest() { registerSections(registry); }

    // A file holding one key besides the marker, restored into `store`.
    IniDocument restore(const QString &section, const QString &key, const QString &value)
    {
        IniDocument doc;
        doc.writeValue(QStringLiteral("General"), QStringLiteral("VERSION"), QStringLiteral("VELKAN_SARN"));
        doc.writeValue(section, key, value);
        registry.restoreAll(*store, doc);
        return doc;
    }

    SectionRegistry registry;
    std::unique_ptr<ConfigStore> store = std::make_unique<ConfigStore>();
};

} // namespace

// One text of every line family, holding its separator: the check names it
// (registered section, file section, slot, key) and the model keeps it.
TEST_F(IntegrityTest, EveryTextHoldingItsSeparatorIsNamed)
{
    const struct {
        const char *item, *key, *value, *section;
        int slot;
        const char *found;
    } cases[] = {
        {"GENERAL", "NOMBRE", "Tank,7", "General", -1, ","},
        {"GENERAL", "CSM", "+34,6", "General", -1, ","},
        {"GENERAL", "RESTORE", "ok,go", "General", -1, ","},
        {"DIGITAL 0", "NOMBRE", "Bomba,NC", "E_Digital", 0, ","},
        {"DIGITAL 3", "TEXTO( 1)", "Alta,ALM", "E_Digital", 3, ","},
        {"CAUDAL 2", "UNIDAD", "m3,h", "Caudal", 2, ","},
        {"CAUDAL 7", "NOMBRE", "a,b", "Caudal", 7, ","},
        {"MATH 1", "ECUACION", "A,B", "E_Math", 1, ","},
        {"1WIRE 0", "UNIDAD", "C,F", "E_OneWire", 0, ","},
        {"FLAG 5", "TEXTO( 0)", "x,y", "Flags", 5, ","},
        {"GPRS", "APN_SERVER", "apn,x", "GPRS", -1, ","},
        {"GPRS", "FTP_PATH", "/a,b", "GPRS", -1, ","},
        {"MACROS", "LINE( 3)", "MACRO3={A}B}", "Macros", 3, "}"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + c.key);
        store = std::make_unique<ConfigStore>();
        restore(c.item, c.key, c.value);
        const QList<FieldFault> faults = lineTextFaults(*store, registry, SectionRegistry::uploadOrder());
        ASSERT_EQ(faults.size(), 1);
        EXPECT_EQ(faults[0].section, c.section);
        EXPECT_EQ(faults[0].item.toUpper(), c.item);
        EXPECT_EQ(faults[0].key.toUpper(), c.key);
        EXPECT_EQ(faults[0].slot, c.slot);
        EXPECT_EQ(faults[0].text, c.value);
        EXPECT_EQ(faults[0].detail, c.found);
        // Refused before a single line: no upload is even built.
        IniDocument saved;
        registry.saveAll(*store, saved);
        EXPECT_EQ(saved.readValue(c.item, c.key), c.value);
    }
}

TEST_F(IntegrityTest, TextsWithoutSeparatorsAndOtherFamiliesPass)
{
    restore("DIGITAL 0", "NOMBRE", "Bomba}");                 // "}" only ends macro rows
    restore("MACROS", "LINE( 0)", "MACRO0={A,B,NAME=x}");   // a macro body keeps its commas
    EXPECT_TRUE(lineTextFaults(*store, registry, SectionRegistry::uploadOrder()).isEmpty());

    // The voice list is not part of the configuration upload: its own write checks it.
    restore("AUT_VOZ", "TEL 2", "600,1");
    EXPECT_TRUE(lineTextFaults(*store, registry, SectionRegistry::uploadOrder()).isEmpty());
    const QList<FieldFault> voice = lineTextFaults(*store, registry, {QStringLiteral("Aut_Voz")});
    ASSERT_EQ(voice.size(), 1);
    EXPECT_EQ(voice[0].slot, 2);
}

// A value the model cannot hold is listed with its section, key and text;
// whatever it does take (or never reads as a number) is not.
TEST_F(IntegrityTest, ValuesNotTakenAreListed)
{
    const struct {
        const char *item, *key, *value;
        bool listed;
    } cases[] = {
        {"GENERAL", "RENVN", "70000", true},   // past a 16-bit count: the default stays
        {"GENERAL", "RENVT", "1e10", true},
        {"GENERAL", "RENVN", "abc", true},
        {"GENERAL", "RENVN", "12x", true},
        {"CAUDAL 0", "RATIO", "1,5", true},    // a comma is no decimal point
        {"CTIMER 1", "INICIO", "25:00", true},
        {"GENERAL", "RENVN", " 5", false},
        {"GENERAL", "RENVN", "5", false},
        // Present but empty: no number either. (A missing key still reads
        // as 0 without a note: every other key of these files is missing.)
        {"GENERAL", "RENVN", "", true},
        {"GPRS", "SERVER_PORT", "", true},
        {"CTIMER 1", "INICIO", "", true},
        {"GENERAL", "NOMBRE", "", false},      // an empty text is a text
        {"CAUDAL 0", "RATIO", "0.1", false},
        {"CAUDAL 0", "RATIO", "1e10", false},
        {"CTIMER 1", "INICIO", "8:05", false},
        {"GENERAL", "NOMBRE", "70000", false}, // a text is taken as written
        // A switch reads "True" or "False" in any letter case; anything else
        // would read as "False" in silence.
        {"DIGITAL 0", "NC", "true", false},
        {"DIGITAL 0", "NC", "TRUE", false},
        {"DIGITAL 0", "NC", " false", false},
        {"DIGITAL 0", "NC", "1", true},
        {"DIGITAL 0", "NC", "-1", true},
        {"DIGITAL 0", "NC", "Verdadero", true},
        {"DIGITAL 0", "NC", "Tru", true},
        {"DIGITAL 0", "NC", "", true},
        {"CAUDAL 0", "HABIL( 1)", "yes", true},
        {"GPRS", "SERVER_PORT", "5020.5", true},
        {"GPRS", "SERVER_PORT", "5020.999", true}, // a port is whole: not 5021
        {"GPRS", "SERVER_PORT", "5020.0", false},
        // A phone entry keeps every item in its place, or is named.
        {"GENERAL", "TLFM 0", "+34600123456,Prio=9,PRV9,MASKMODE7,DI99", true},
        {"GENERAL", "TLFM 0", "+34600123456,Prio=x,PRV1,MASKMODE0", true},
        {"GENERAL", "TLFM 0", "+34600123456,Prio=1,PRV2,MASKMODE1,DI99", true},
        {"GENERAL", "TLFM 0", "+34600123456,Prio=1,PRV2,MASKMODE0", false},
        {"GENERAL", "TLFM 0", "+34600123456,Prio=1,PRV2,MASKMODE1,DI3,", false},
        {"GENERAL", "TLFM 0", "+34600123456, Prio=1 ,PRV2,MASKMODE1,DI3", true}, // " Prio=1 " is no item
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + c.key + "=" + c.value);
        store = std::make_unique<ConfigStore>();
        const IniDocument doc = restore(c.item, c.key, c.value);
        const QList<RestoreNote> notes = restoreNotes(doc, *store, registry);
        ASSERT_EQ(notes.size(), c.listed ? 1 : 0);
        if (c.listed) {
            EXPECT_EQ(notes[0].section.toUpper(), c.item);
            EXPECT_EQ(notes[0].key.toUpper(), c.key);
            EXPECT_EQ(notes[0].text, c.value);
        }
    }
}

// Every value of a file the tool wrote is taken back.
TEST_F(IntegrityTest, AFileTheToolWroteRestoresWithoutNotes)
{
    QList<RestoreNote> notes{{}};
    ASSERT_EQ(restoreConfigFile(testData("rich_config.qcf"), *store, registry, nullptr, &notes),
              RestoreResult::Restored);
    EXPECT_TRUE(notes.isEmpty()) << notes.value(0).section.toStdString() << " " << notes.value(0).key.toStdString();
}

// An alarm slot set to notify by voice and by GPRS shows only GPRS in its
// window, while its line would tell the unit both: named by the restore and
// refused before an upload, on the voice switch, for every alarm kind. A slot
// that is off sends neither; the forms the window shows pass.
TEST_F(IntegrityTest, VoiceAndGprsTogetherAreNamedAndRefused)
{
    const struct {
        const char *item, *slot;
        bool sms, voice, gprs, on;
        const char *section;
        bool named;
    } cases[] = {
        {"CAUDAL 2", " 1", false, true, true, true, "Caudal", true},
        {"DIGITAL 0", " 3", true, true, true, true, "E_Digital", true},
        {"FLAG 5", " 0", false, true, true, true, "Flags", true},
        {"1WIRE 1", " 2", false, true, true, true, "E_OneWire", true},
        {"CAUDAL 2", " 1", false, true, true, false, "Caudal", false}, // off
        {"CAUDAL 2", " 1", true, true, false, true, "Caudal", false},  // SMS and voice
        {"CAUDAL 2", " 1", true, false, true, true, "Caudal", false},  // GPRS
    };
    const auto text = [](bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.item) + c.slot + (c.on ? " on" : " off"));
        store = std::make_unique<ConfigStore>();
        IniDocument doc;
        doc.writeValue(QStringLiteral("General"), QStringLiteral("VERSION"), QStringLiteral("VELKAN_SARN"));
        const QString item = QString::fromLatin1(c.item);
        const auto key = [&c](const char *word) { return QString::fromLatin1(word) + QLatin1String(c.slot) + u')'; };
        doc.writeValue(item, key("HABIL("), text(c.on));
        doc.writeValue(item, key("SMS("), text(c.sms));
        doc.writeValue(item, key("VOZ("), text(c.voice));
        doc.writeValue(item, key("GPRS("), text(c.gprs));
        registry.restoreAll(*store, doc);

        const QList<RestoreNote> notes = restoreNotes(doc, *store, registry);
        const QList<FieldFault> faults = lineTextFaults(*store, registry, SectionRegistry::uploadOrder());
        ASSERT_EQ(notes.size(), c.named ? 1 : 0);
        ASSERT_EQ(faults.size(), c.named ? 1 : 0);
        if (!c.named)
            continue;
        EXPECT_EQ(std::tie(notes[0].section, notes[0].key, notes[0].kind, notes[0].detail),
                  std::tuple(item, key("VOZ("), RestoreNote::Kind::Conflict, key("GPRS(")));
        EXPECT_EQ(std::tie(faults[0].section, faults[0].item, faults[0].key, faults[0].problem, faults[0].detail),
                  std::tuple(QString::fromLatin1(c.section), item, key("VOZ("), FieldFault::Problem::Conflict,
                             key("GPRS(")));
    }
}

// A value of a file that was not taken stops an upload until its field
// holds another value than the restore left there; only the sections checked
// count.
TEST_F(IntegrityTest, AValueNotTakenIsAFaultUntilTheFieldChanges)
{
    const IniDocument doc = restore(QStringLiteral("GPRS"), QStringLiteral("SERVER_PORT"), QString());
    const QList<RestoreNote> notes = restoreNotes(doc, *store, registry);
    IniDocument restored;
    registry.saveAll(*store, restored);
    const QStringList upload = SectionRegistry::uploadOrder();

    QList<FieldFault> faults = untakenFaults(notes, restored, *store, registry, upload);
    ASSERT_EQ(faults.size(), 1);
    EXPECT_EQ(std::tie(faults[0].section, faults[0].item, faults[0].key, faults[0].problem),
              std::tuple(QStringLiteral("GPRS"), QStringLiteral("GPRS"), QStringLiteral("SERVER_PORT"),
                         FieldFault::Problem::NotTaken));
    EXPECT_TRUE(untakenFaults(notes, restored, *store, registry, {QStringLiteral("Aut_Voz")}).isEmpty());

    store->Gprs.ServerPort = 5000;
    EXPECT_TRUE(untakenFaults(notes, restored, *store, registry, upload).isEmpty());
}
