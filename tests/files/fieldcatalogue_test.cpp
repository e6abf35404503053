#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <memory>

#include "files/configfile.h"
#include "files/fieldcatalogue.h"
#include "files/inidocument.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

// The table shipped with the program in one language while the object lives.
class ShippedLanguage {
public:
    explicit ShippedLanguage(int langSel) : table_(dir_.filePath("Lang.txt"), {QStringLiteral(VELKAN_SHIPPED_FOLDER)})
    {
        table_.Init();
        table_.LangSel = langSel;
        setLang(&table_);
    }
    ~ShippedLanguage() { setLang(nullptr); }

private:
    QTemporaryDir dir_;
    LangTable table_;
};

struct FieldCatalogueTest : ::testing::Test {
    FieldCatalogueTest()
    {
        registerSections(sections);
        sections.clearAll(*store);
        EXPECT_EQ(restoreConfigFile(QStringLiteral(VELKAN_TEST_DATA "/rich_config.qcf"), *store, sections),
                  RestoreResult::Restored);
    }

    const CatalogueField *field(const FieldCatalogue &catalogue, const QString &item, const QString &key) const
    {
        for (const CatalogueField &f : catalogue.fields())
            if (f.item == item && f.key == key)
                return &f;
        return nullptr;
    }

    SectionRegistry sections;
    std::unique_ptr<ConfigStore> store = std::make_unique<ConfigStore>();
};

// Captions that read the same in both languages.
const QSet<QString> kSameInEnglish = {"GPRS", "SMS", "Flag", "MODBUS", "General", "Macros", "Flags"};

QString withoutPlaces(QString caption)
{
    // "Configuracion 1 - Acciones (3)" compares as its words: numbers are no language.
    caption.remove(QRegularExpression(QStringLiteral("[0-9() ]+$")));
    return caption.trimmed();
}

TEST_F(FieldCatalogueTest, EveryKeyOfAFullConfigurationIsNamedInBothLanguages)
{
    IniDocument saved;
    sections.saveAll(*store, saved);
    // The spare records (the ninth flow meter, the mains-failure input) have no window.
    const QStringList spare = {"CAUDAL 8", "DIGITAL 8"};
    qsizetype keys = 0;
    for (const QString &item : saved.sectionNames())
        keys += spare.contains(item) ? 0 : saved.keyValues(item).size();

    ShippedLanguage spanishTable(1);
    const FieldCatalogue spanish(sections, *store);
    ASSERT_EQ(spanish.fields().size(), keys) << "every key saved is in the catalogue once";
    // A record's keys lie together, a flow meter's totaliser with its meter.
    QStringList records;
    for (const CatalogueField &f : spanish.fields()) {
        if (records.isEmpty() || records.constLast() != f.sectionCaption + u'/' + f.record)
            records << f.sectionCaption + u'/' + f.record;
    }
    EXPECT_EQ(records.size(), QSet<QString>(records.begin(), records.end()).size()) << qPrintable(records.join(u'\n'));
    ShippedLanguage englishTable(2);
    const FieldCatalogue english(sections, *store);
    ASSERT_EQ(english.fields().size(), keys);

    for (qsizetype i = 0; i < keys; ++i) {
        const CatalogueField &es = spanish.fields().at(i);
        const CatalogueField &en = english.fields().at(i);
        const QString where = es.item + u' ' + es.key;
        EXPECT_NE(es.caption, es.key.trimmed()) << qPrintable(where) << " has no caption";
        EXPECT_FALSE(es.record.isEmpty()) << qPrintable(where);
        for (const auto &[spanishText, englishText] :
             {std::pair{es.caption, en.caption}, {es.record, en.record}, {es.sectionCaption, en.sectionCaption}}) {
            const QString words = withoutPlaces(spanishText);
            if (!kSameInEnglish.contains(words))
                EXPECT_NE(withoutPlaces(englishText), words) << qPrintable(where) << " is not translated";
        }
    }
}

TEST_F(FieldCatalogueTest, ValuesReadAsTheWindowsShowThem)
{
    store->CyclicTimers[1].Actions[1] = 13; // runs macro 12, which the pool names "bomba"
    store->VoiceList.CallMacro = 12;
    ShippedLanguage spanishTable(1);
    const FieldCatalogue catalogue(sections, *store);
    const struct {
        const char *item, *key, *record, *caption, *value;
    } cases[] = {
        {"CTIMER 1", "SEMANA", "Temporizador ciclico 1", "Rango horario de habilitacion", "Lun, Mar, Mie, Jue, Vie"},
        {"CTIMER 1", "INICIO", "Temporizador ciclico 1", "Inicio", "8:00:00"},
        {"CTIMER 1", "EQ", "Temporizador ciclico 1", "Flag", "F3"},
        {"CTIMER 0", "EQ", "Temporizador ciclico 0", "Flag", "TRUE"},
        {"CTIMER 1", "PERIOD", "Temporizador ciclico 1", "Periodo", "12.5 Seg."},
        {"CTIMER 15", "PERIOD", "Temporizador ciclico 15", "Periodo", "0.5 Seg."},
        {"CTIMER 1", "ACT( 0)", "Temporizador ciclico 1", "Acciones a ejecutar (0)", "Ejecutar macro 2"},
        {"CTIMER 1", "ACT( 1)", "Temporizador ciclico 1", "Acciones a ejecutar (1)", "Ejecutar macro 12 (bomba)"},
        {"WTIMER 0", "ACT( 0)", "Temporizador semanal 0", "Acciones a ejecutar (0)", "Ejecutar macro 11"},
        {"MTIMER 0", "MES", "Temporizador mensual 0", "Dias / Hora de ejecucion", "1, Ultimo del mes"},
        {"AUT_VOZ", "MACRO", "Autorizados Voz", "Macro a ejecutar por llamada de voz", "Macro 12 (bomba)"},
        {"DIGITAL 0", "NC", "Entrada digital 0", "Interfaz", "N.C."},
        {"DIGITAL 0", "SMS( 0)", "Entrada digital 0", "Configuracion 0 - SMS", "Si"},
        {"DIGITAL 0", "FLAG( 0)", "Entrada digital 0", "Configuracion 0 - Flag", "F1"},
        {"DIGITAL 0", "SEMANA( 2)", "Entrada digital 0", "Configuracion 2 - Rango horario de habilitacion",
         "Lun, Mar, Mie, Jue, Vie"},
        {"CAUDAL 0", "MAXIMO( 0)", "Caudalimetro 0", "Configuracion 0 - Maximo", "20 m3/h"},
        {"CAUDAL 0", "INTERFAZ", "Caudalimetro 0", "Interfaz", "Habil."},
        {"CAUDAL 0", "TIMEBASE", "Caudalimetro 0", "Base de tiempo", "60 Seg."},
        {"CAUDAL 0", "ACTLO( 0 1)", "Caudalimetro 0", "Configuracion 0 - Valor bajo (1)", "Ejecutar macro 7"},
        {"1WIRE 0", "INTERFAZ", "Sonda 0", "Interfaz", "Temperatura"},
        {"1WIRE 0", "ADDRESS2", "Sonda 0", "Direccion (2)", "000.000.000.045"},
        {"MATH 0", "ECUACION", "Canal matematico 0", "Ecuacion de conversion", "FL0+FL1"},
        {"GPRS", "APN_RETIME", "GPRS", "Parametros de la APN - Tiempo entre reintentos", "30 Segundos"},
        {"GPRS", "APN_PASS", "GPRS", "Parametros de la APN - APN Password", "********"},
        {"MODBUS", "MASTER", "MODBUS", "Maestro del bus", "Si"},
        {"GRUPO 1", "VOLTAJE", "Grupo analogico 1", "Tension de excitacion", "0"},
    };
    for (const auto &c : cases) {
        const CatalogueField *f = field(catalogue, QString::fromLatin1(c.item), QString::fromLatin1(c.key));
        ASSERT_NE(f, nullptr) << c.item << ' ' << c.key;
        EXPECT_EQ(f->record, QString::fromUtf8(c.record)) << c.key;
        EXPECT_EQ(f->caption, QString::fromUtf8(c.caption)) << c.key;
        EXPECT_EQ(f->shownValue(), QString::fromUtf8(c.value)) << c.item << ' ' << c.key;
    }

    ShippedLanguage englishTable(2);
    const FieldCatalogue english(sections, *store);
    EXPECT_EQ(field(english, "CTIMER 1", "SEMANA")->shownValue(), "Mon, Tue, Wed, Thu, Fri");
    EXPECT_EQ(field(english, "CTIMER 1", "ACT( 1)")->shownValue(), "Run macro 12 (bomba)");
    EXPECT_EQ(field(english, "DIGITAL 0", "SMS( 0)")->shownValue(), "Yes");
}

// A record or alarm slot switched off is marked so, whatever its keys hold.
TEST_F(FieldCatalogueTest, SwitchedOffRecordsAndSlotsAreMarked)
{
    const FieldCatalogue catalogue(sections, *store);
    const struct {
        const char *item, *key;
        bool enabled;
    } cases[] = {
        {"CTIMER 1", "PERIOD", true},    {"CTIMER 2", "PERIOD", false},   {"CTIMER 2", "HABIL", false},
        {"DIGITAL 0", "TEXTO( 0)", true}, {"DIGITAL 0", "TEXTO( 1)", false}, {"DIGITAL 0", "NOMBRE", true},
        {"1WIRE 3", "NOMBRE", false},    {"1WIRE 3", "HABIL( 0)", false}, {"GPRS", "APN_USER", true},
        {"MACROS", "LINE( 0)", true},    {"MACROS", "LINE( 2)", false},   {"AUT_VOZ", "TEL 0", false},
        {"CTIMER 1", "ACT( 0)", true},   {"CTIMER 1", "ACT( 1)", false},  {"CAUDAL 0", "ACTLO( 0 2)", false},
    };
    for (const auto &c : cases) {
        const CatalogueField *f = field(catalogue, QString::fromLatin1(c.item), QString::fromLatin1(c.key));
        ASSERT_NE(f, nullptr) << c.item << ' ' << c.key;
        EXPECT_EQ(f->enabled, c.enabled) << c.item << ' ' << c.key;
    }
    // A spare record holding values, as a hand-edited file can, is never listed.
    store->Flow[8].Name = QStringLiteral("RESERVA");
    store->Flow[8].Interface = FlowMeter::kEnabled;
    store->Digital[8].Alarms[1].Enabled = true;
    store->Digital[8].Alarms[1].Text = QStringLiteral("FALLO_RED");
    const FieldCatalogue withSpares(sections, *store);
    for (const CatalogueField &f : withSpares.fields())
        EXPECT_TRUE(f.item != "CAUDAL 8" && f.item != "DIGITAL 8") << qPrintable(f.item + u' ' + f.key);
    EXPECT_EQ(withSpares.find("reserva").size(), 0);
    EXPECT_EQ(withSpares.find("fallo_red").size(), 0);

    store->Gprs.GprsEnabled = false;
    const FieldCatalogue noGprs(sections, *store);
    EXPECT_FALSE(field(noGprs, "GPRS", "APN_USER")->enabled);
    EXPECT_TRUE(field(noGprs, "GPRS", "ENABLED")->enabled) << "the switch itself shows";
}

TEST_F(FieldCatalogueTest, SearchIgnoresAccentsAndCaseAndListsSwitchedOffRecordsLast)
{
    ShippedLanguage spanishTable(1);
    const FieldCatalogue catalogue(sections, *store);
    const struct {
        const char *query;
        const char *item, *key; // the first match
    } cases[] = {
        {"telefono", "GENERAL", "TLFM 0"},     // "Teléfono"... and the captions without accents
        {"CONTRASENA", "GPRS", "FTP_PASS"},    // "Contraseña": case and tilde ignored
        {"renvn", "GENERAL", "RENVN"},         // a key
        {"deposito sur", "GENERAL", "NOMBRE"}, // a value
        {"name=bomba", "MACROS", "LINE( 3)"},
        {"temporizador ciclico 15", "CTIMER 15", "HABIL"}, // a record
    };
    for (const auto &c : cases) {
        const QList<const CatalogueField *> found = catalogue.find(QString::fromUtf8(c.query));
        ASSERT_FALSE(found.isEmpty()) << c.query;
        EXPECT_EQ(found.first()->item + u' ' + found.first()->key, QString::fromLatin1(c.item) + u' ' + c.key)
            << c.query;
    }
    EXPECT_TRUE(catalogue.find(QStringLiteral("clave")).isEmpty()) << "a password's value is never searched";

    const QList<const CatalogueField *> texts = catalogue.find(QStringLiteral("texto de alarma"));
    const auto firstOff = std::find_if(texts.begin(), texts.end(), [](const CatalogueField *f) { return !f->enabled; });
    ASSERT_NE(firstOff, texts.end());
    EXPECT_TRUE(std::all_of(firstOff, texts.end(), [](const CatalogueField *f) { return !f->enabled; }));
    EXPECT_EQ(catalogue.find(QString()).size(), catalogue.fields().size());
}

} // namespace
