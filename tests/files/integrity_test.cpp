// What a file can carry to the unit: texts holding their line's separator are
// named before an upload, and values the model could not take are listed.
#include <gtest/gtest.h>

#include <memory>

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
        {"GENERAL", "RENVN", "", false},       // an empty key reads as it always has
        {"CAUDAL 0", "RATIO", "0.1", false},
        {"CAUDAL 0", "RATIO", "1e10", false},
        {"CTIMER 1", "INICIO", "8:05", false},
        {"GENERAL", "NOMBRE", "70000", false}, // a text is taken as written
        {"DIGITAL 0", "NC", "true", false},    // a switch reads as false, as always
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
