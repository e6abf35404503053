#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include "../sections/langfixture.h"
#include "files/configcompare.h"
#include "files/uploadcompare.h"
#include "link/devicevalues.h"
#include <QSet>
#include <tuple>
#include "files/langtable.h"
#include "fakeeditor.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "shell/differencewindow.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"

namespace {

using Side = ConfigDifference::Side;

struct DifferenceWindowTest : ::testing::Test {
    DifferenceWindowTest() { setLang(&lang); }
    ~DifferenceWindowTest() override { setLang(nullptr); }

    static QStringList row(const QTableWidget *table, int r)
    {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->item(r, c)->text();
        return cells;
    }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    // In file order, which is not the tree's.
    const QList<ConfigDifference> differences = {
        {"Grupos", "GRUPO1", "MIEMBROS", "1", "2", Side::Both},
        {"Caudal", "CAUDAL2", "RATIO", ".5", "1", Side::Both},
        {"Macros", "MACROS", "M1", {}, "DO1", Side::RightOnly},
        {"General", "GENERAL", "NOMBRE", "Norte", "Sur", Side::Both},
        {"CTimer", "CTIMER3", {}, "12", {}, Side::LeftOnly},
        {"Caudal", "CAUDAL1", "RATIO", "2", "3", Side::Both},
    };
};

TEST_F(DifferenceWindowTest, RowsFollowTheTreeAndOneSidedItemsReadAsSuch)
{
    DifferenceWindow window(differences, QStringLiteral("Historial - VS21"));
    window.setSideCaptions(QStringLiteral("antes"), QStringLiteral("despues"));
    const QTableWidget *table = window.Tabla;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Historial - VS21"));
    EXPECT_EQ(table->horizontalHeaderItem(2)->text(), QStringLiteral("antes"));
    EXPECT_EQ(table->horizontalHeaderItem(3)->text(), QStringLiteral("despues"));
    ASSERT_EQ(table->rowCount(), 6);
    const QList<QStringList> expected = {
        {"General", "NOMBRE", "Norte", "Sur", "[GENERAL] NOMBRE"},
        {"Ciclicos 3", "(toda la seccion)", "12 claves", "(ausente)", "[CTIMER3]"},
        {"Caudalimetros 2", "RATIO", "0.5", "1", "[CAUDAL2] RATIO"}, // a section keeps its own order
        {"Caudalimetros 1", "RATIO", "2", "3", "[CAUDAL1] RATIO"},
        {"Macros", "M1", "(ausente)", "DO1", "[MACROS] M1"},
        {"Grupos 1", "MIEMBROS", "1", "2", "[GRUPO1] MIEMBROS"}, // no node opens it
    };
    for (int r = 0; r < table->rowCount(); ++r)
        EXPECT_EQ(row(table, r), expected.at(r)) << r;
}

TEST_F(DifferenceWindowTest, FilterMatchesAnyColumnAndTheCountFollows)
{
    DifferenceWindow window(differences, QStringLiteral("x"));
    EXPECT_EQ(window.Cuenta->text(), QStringLiteral("Diferencias: 6 / 6"));
    const struct {
        const char *filter;
        int shown;
    } cases[] = {{"caudal", 2}, {"ratio", 2}, {"norte", 1}, {"DO1", 1}, {"(ausente)", 2}, {"  ", 6}, {"zzz", 0}};
    for (const auto &c : cases) {
        window.Filtro->setText(QString::fromLatin1(c.filter));
        EXPECT_EQ(window.shownRows(), c.shown) << c.filter;
        EXPECT_EQ(window.Cuenta->text(), QStringLiteral("Diferencias: %1 / 6").arg(c.shown)) << c.filter;
    }

    DifferenceWindow equal({}, QStringLiteral("x"));
    EXPECT_EQ(equal.Cuenta->text(), QStringLiteral("Las configuraciones son iguales"));
}

// A section's tick ticks its rows; "Tomar seleccionados" hands the ticked
// rows to the take and tells what it took and what it refused.
TEST_F(DifferenceWindowTest, TickedRowsAreTakenAndTheOutcomeTold)
{
    DifferenceWindow window(differences, QStringLiteral("x"));
    EXPECT_TRUE(window.Tomar->isHidden());
    QList<TakeChoice> asked;
    window.offerTake([&asked](const QList<TakeChoice> &choices) {
        asked = choices;
        return TakeReport{2, {{"CAUDAL2", "RATIO", "7e99"}}};
    });
    QString told;
    window.inform = [&told](const QString &message) { told = message; };
    QSignalSpy changed(&window, &DifferenceWindow::configurationChanged);
    EXPECT_FALSE(window.Tomar->isHidden());

    QStringList sections;
    for (int i = 0; i < window.Secciones->count(); ++i)
        sections << window.Secciones->item(i)->toolTip();
    EXPECT_EQ(sections, QStringList({"General", "CTimer", "Caudal", "Macros", "Grupos"}));
    EXPECT_EQ(window.Secciones->item(0)->text(), QStringLiteral("General (1)"));
    EXPECT_TRUE(window.Secciones->item(2)->text().endsWith(QStringLiteral(" (2)")));

    window.Secciones->item(2)->setCheckState(Qt::Checked); // Caudal: both its rows
    window.Tabla->item(1, 0)->setCheckState(Qt::Checked);  // the whole CTIMER3
    window.Tomar->click();
    const QList<std::pair<QString, QString>> expected = {{"CTIMER3", ""}, {"CAUDAL2", "RATIO"}, {"CAUDAL1", "RATIO"}};
    ASSERT_EQ(asked.size(), expected.size());
    for (int i = 0; i < asked.size(); ++i)
        EXPECT_EQ(std::make_pair(asked[i].item, asked[i].key), expected[i]) << i;
    EXPECT_TRUE(told.startsWith(QStringLiteral("Valores tomados: 2"))) << qPrintable(told);
    EXPECT_TRUE(told.endsWith(QStringLiteral("[CAUDAL2] RATIO=7e99"))) << qPrintable(told);
    EXPECT_EQ(changed.count(), 1);

    window.Secciones->item(2)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(window.tickedChoices().size(), 1);
}

// Rows of a real comparison read as the flow meter window shows them, in the
// language chosen: the record by the window's heading, the field by its slot
// and caption, limits kept in pulses in engineering units; the file's key and
// text stay on show.
TEST_F(DifferenceWindowTest, RowsShowTheEditorsCaptionsAndUnitsWithTheFileKey)
{
    EnglishTable english({"{Configuracion caudalimetro}{Flow meter}", "{Configuracion 1}{Configuration 1}",
                          "{Maximo:}{Maximum:}", "{Un pulso equivale a:}{One pulse is:}",
                          "{Caudalimetros}{Flow meters}", "{Ciclicos}{Cyclic}",
                          "{Habilitar temporiz.}{Enable timer}", "{Si}{Yes}"});
    SectionRegistry sections;
    registerSections(sections);
    auto left = std::make_unique<ConfigStore>();
    sections.clearAll(*left);
    FlowMeter &meter = left->Flow[2];
    meter.Unit = QStringLiteral("m3");
    meter.Ratio = 0.5f;
    meter.Alarms[1].High = 40;
    auto right = std::make_unique<ConfigStore>(*left);
    right->Flow[2].Alarms[1].High = 60;
    right->Flow[2].Ratio = 0.25f;
    right->CyclicTimers[3].Enabled = true;

    DifferenceWindow window(compareConfigurations(*left, *right, sections), QStringLiteral("x"));
    window.showFieldTerms(sections, *left);
    const QTableWidget *table = window.Tabla;
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(row(table, 0), (QStringList{"Cyclic 3", "Enable timer", "No", "Yes", "[CTIMER 3] HABIL"}));
    EXPECT_EQ(row(table, 1), (QStringList{"Flow meter 2", "One pulse is", "0.5", "0.25", "[CAUDAL 2] RATIO"}));
    EXPECT_EQ(row(table, 2), (QStringList{"Flow meter 2", "Configuration 1 - Maximum", "20 m3", "15 m3",
                                          "[CAUDAL 2] MAXIMO( 1)"}))
        << "pulses times each side's own ratio";
    EXPECT_EQ(table->item(2, 2)->toolTip(), "40");
    EXPECT_EQ(window.Secciones->item(1)->text(), "Flow meters (2)");
}

// The sections outside the alarm and timer families name each key as their
// window does: the frame where two frames share a caption, a list's place
// after the caption, the unit beside the box, a switch as "Si"/"No" and a
// choice by its item.
TEST_F(DifferenceWindowTest, KeysOfTheOtherSectionsReadAsTheirWindowsShowThem)
{
    SectionRegistry sections;
    registerSections(sections);
    auto store = std::make_unique<ConfigStore>();
    sections.clearAll(*store);
    store->General.UnitName = QStringLiteral("Norte");
    store->General.ResendMinutes = 15;
    store->General.Phones[2].Number = QStringLiteral("+34600111222");
    store->Gprs.ApnRetryTime = 30;
    store->Gprs.ServerPort = 5000;
    store->Gprs.GprsEnabled = true;
    store->Gprs.FtpRetries = 3;
    store->Macros.Rows[3] = QStringLiteral("MACRO3={DO1}");
    store->VoiceList.CallMacro = 4;
    store->VoiceList.Numbers[1] = QStringLiteral("600222333");
    store->Groups[1].Voltage = 12;
    store->Flow[2].TotalRatio = 0.01f;
    IniDocument doc;
    sections.saveAll(*store, doc);
    doc.writeValue(QStringLiteral("GPRS"), QStringLiteral("APN_TIMEOUT"), QString());

    const struct {
        const char *section, *item, *key, *field, *value;
    } cases[] = {
        {"General", "GENERAL", "NOMBRE", "Nombre del equipo", "Norte"},
        {"General", "GENERAL", "RENVT", "Tiempo reenvios", "15 Min."},
        {"General", "GENERAL", "TLFM 2", "Telefono (2)", "+34600111222,Prio=0,PRV0,MASKMODE0"},
        {"General", "GENERAL", "OTRA", "OTRA", ""}, // a key the window has no box for
        {"GPRS", "GPRS", "APN_RETIME", "Parametros de la APN - Tiempo entre reintentos", "30 Segundos"},
        {"GPRS", "GPRS", "APN_TIMEOUT", "Parametros de la APN - Timeout desconexion", ""}, // no unit alone
        {"GPRS", "GPRS", "SERVER_PORT", "Parametros GPRS - Puerto", "5000"},
        {"GPRS", "GPRS", "FTP_RETRIES", "Parametros FTP - Reintentos de conexion", "3"},
        {"GPRS", "GPRS", "FTP_PASS", "Parametros FTP - Contraseña", ""},
        {"GPRS", "GPRS", "ENABLED", "Habilitar comunicacion GPRS", "Si"},
        {"Macros", "MACROS", "LINE( 3)", "Macro / Equacion (3)", "MACRO3={DO1}"},
        {"Macros", "MACROS", "LINE(x)", "LINE(x)", ""},
        {"Aut_Voz", "AUT_VOZ", "MACRO", "Macro a ejecutar por llamada de voz", "4"},
        {"Aut_Voz", "AUT_VOZ", "SEND_ACK", "Habilitar acuse de recibo", "No"},
        {"Aut_Voz", "AUT_VOZ", "TEL 1", "Telefono (1)", "600222333"},
        {"Grupos", "GRUPO 1", "VOLTAJE", "Tension de excitacion", "12"},
        {"SampleRate", "CAUDAL 2", "TOTALRATIO", "Totalizador 2, un pulso equivale a", "0.01m3"},
    };
    for (const auto &c : cases) {
        const SectionCore *core = sections.find(QString::fromLatin1(c.section));
        ASSERT_NE(core, nullptr) << c.section;
        const std::optional<FieldTerm> term = core->fieldTerm(doc, QString::fromLatin1(c.item), QString::fromLatin1(c.key));
        ASSERT_TRUE(term) << c.key;
        EXPECT_EQ(term->record, QString()) << c.key;
        EXPECT_EQ(term->field, QString::fromUtf8(c.field)) << c.key;
        EXPECT_EQ(term->value, QString::fromLatin1(c.value)) << c.key;
    }
    EXPECT_FALSE(sections.find(QStringLiteral("GPRS"))->fieldTerm(doc, QStringLiteral("GENERAL"), QStringLiteral("NOMBRE")));
    EXPECT_FALSE(sections.find(QStringLiteral("Grupos"))->fieldTerm(doc, QStringLiteral("GRUPO 4"), QStringLiteral("SALIDA")))
        << "no such group";

    // A macro choice the window's list does not hold shows as its "No".
    doc.writeValue(QStringLiteral("AUT_VOZ"), QStringLiteral("MACRO"), QStringLiteral("-7"));
    EXPECT_EQ(sections.find(QStringLiteral("Aut_Voz"))->fieldTerm(doc, "AUT_VOZ", "MACRO")->value, "No");
}

// The check after a verified write compares upload lines: every differing
// line shows what was sent beside what the unit holds, GPRS's included,
// though that section is named as its file section is.
TEST_F(DifferenceWindowTest, CheckRowsShowTheLineSentAndTheLineHeld)
{
    SectionRegistry sections;
    registerSections(sections);
    auto sent = std::make_unique<ConfigStore>();
    sections.clearAll(*sent);
    GprsConfig &s = sent->Gprs;
    std::tie(s.ApnServer, s.ServerIp, s.ServerPort, s.FtpUser, s.FtpIp, s.FtpPath, s.FtpPassword) =
        std::tuple{QStringLiteral("internet"), QStringLiteral("10.20.30.40"), 5000, QStringLiteral("op"),
                   QStringLiteral("10.0.0.1"), QStringLiteral("/logs"), QStringLiteral("secret")};
    auto held = std::make_unique<ConfigStore>(*sent);
    GprsConfig &h = held->Gprs;
    std::tie(h.ApnServer, h.ServerIp, h.ServerPort, h.FtpUser, h.FtpIp, h.FtpPath, h.FtpPassword) =
        std::tuple{QStringLiteral("movil"), QStringLiteral("10.20.30.25"), 5001, QStringLiteral("op2"),
                   QStringLiteral("10.0.0.2"), QStringLiteral("/"), QStringLiteral("other")};
    const QList<ConfigDifference> differences =
        compareUploads(*sent, *held, sections, {Feature::GprsSettings | Feature::FtpSettings});
    ASSERT_EQ(differences.size(), 7);

    DifferenceWindow window(differences, QStringLiteral("x"));
    window.showFieldTerms(sections, *sent);
    QSet<QString> shownSent, shownHeld, expectedSent, expectedHeld;
    for (const ConfigDifference &d : differences) {
        expectedSent << d.left;
        expectedHeld << d.right;
    }
    for (int r = 0; r < window.Tabla->rowCount(); ++r) {
        shownSent << row(window.Tabla, r).at(2);
        shownHeld << row(window.Tabla, r).at(3);
    }
    EXPECT_EQ(shownSent, expectedSent);
    EXPECT_EQ(shownHeld, expectedHeld);
    EXPECT_TRUE(expectedSent.contains(QStringLiteral("SERVERIP=10.20.30.40")));
}

// In English the frame, the caption and the unit are each translated.
TEST_F(DifferenceWindowTest, FrameCaptionAndUnitAreEachTranslated)
{
    EnglishTable english({"{Parametros de la APN}{APN parameters}",
                          "{Tiempo entre reintentos:}{Time between retries:}", "{Segundos}{Seconds}"});
    SectionRegistry sections;
    registerSections(sections);
    auto left = std::make_unique<ConfigStore>();
    sections.clearAll(*left);
    auto right = std::make_unique<ConfigStore>(*left);
    right->Gprs.ApnRetryTime = 45;

    DifferenceWindow window(compareConfigurations(*left, *right, sections), QStringLiteral("x"));
    window.showFieldTerms(sections, *left);
    ASSERT_EQ(window.Tabla->rowCount(), 1);
    EXPECT_EQ(row(window.Tabla, 0).mid(1), (QStringList{"APN parameters - Time between retries", "60 Seconds",
                                                        "45 Seconds", "[GPRS] APN_RETIME"}));
}

// A key with a box of its name in its section's editor reads with the box's
// tip; the others stay as the file names them.
TEST_F(DifferenceWindowTest, KeysReadWithTheCaptionsOfTheirFields)
{
    QStringList log;
    EditorRegistry editors;
    auto *general = new FakeEditor(log, QStringLiteral("General"));
    editors.addEditor(QStringLiteral("General"), general);
    auto *box = new QLineEdit(general);
    box->setObjectName(QStringLiteral("NOMBRE"));
    box->setToolTip(QStringLiteral("Nombre de la unidad"));
    DifferenceWindow window(differences, QStringLiteral("x"));
    window.showFieldCaptions(editors);
    EXPECT_EQ(window.Tabla->item(0, 1)->text(), QStringLiteral("NOMBRE: Nombre de la unidad"));
    EXPECT_EQ(window.Tabla->item(2, 1)->text(), QStringLiteral("RATIO"));

    // A take into the editors stores their boxes first and shows the model after.
    auto store = std::make_unique<ConfigStore>();
    const SectionRegistry none;
    DifferenceWindow::editorsTake(editors, *store, none, IniDocument())({{"GENERAL", "NOMBRE"}});
    EXPECT_EQ(log, QStringList({"General StoreControls", "General LoadData"}));
    delete general;
}

} // namespace
