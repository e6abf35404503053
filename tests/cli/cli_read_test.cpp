#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

#include "clirun.h"
#include "files/configfile.h"
#include "files/fieldcatalogue.h"
#include "files/sectionregistry.h"
#include "files/servicehistory.h"
#include "model/configstore.h"
#include "report/commissioningreport.h"
#include "sections/sectionlist.h"

namespace {

const QString kSerial = QStringLiteral("VS21-000123");

// The rich configuration with a switched-off alarm slot and timer whose
// texts must not reach the report, written to unit.qcf; its verified write
// is in the service history.
struct CliReadTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        registerSections(sections);
        sections.clearAll(*store);
        ASSERT_EQ(restoreConfigFile(QStringLiteral(VELKAN_TEST_DATA "/rich_config.qcf"), *store, sections),
                  RestoreResult::Restored);
        AlarmConfig &off = store->Digital[0].Alarms[1];
        off.Enabled = false;
        off.Text = QStringLiteral("SlotApagadoXyz");
        store->CyclicTimers[3].Enabled = false;
        store->CyclicTimers[3].Period = 4321;
        ASSERT_TRUE(saveConfigFile(file(), *store, sections));
    }

    QString file() const { return dir.filePath("unit.qcf"); }

    CliRun run(const QStringList &arguments) const { return runCli(arguments, dir.filePath("data")); }

    void keepVerifiedWrite() const
    {
        ServiceHistory history(dir.filePath("data/velkan-sarn/history"));
        ASSERT_TRUE(history.record(kSerial, HistoryKind::VerifiedWrite, *store, sections));
    }

    // The report's text as its pages hold it, in the order written; empty when it cannot be read.
    QString pdfText(const QString &pdf) const
    {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
            return {};
        // The font joins "fi" into one glyph, which the text gives back as one character.
        return QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    }

    QTemporaryDir dir;
    SectionRegistry sections;
    std::unique_ptr<ConfigStore> store = std::make_unique<ConfigStore>();
};

QString withoutBlanks(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

TEST_F(CliReadTest, ShowListsFieldsFilteredAsTheSearchDoes)
{
    const struct {
        const char *filter;
        const char *firstLine; // section, record, caption, value
        int lines;             // -1: any number
    } cases[] = {
        {"RENVN", "General\tGeneral\tNumero reenvios\t4", 1},
        {"deposito", "General\tGeneral\tNombre del equipo\tDeposito Sur", 1},
        {"CONTRASEÑA", "GPRS\tGPRS\tParametros FTP - Contraseña\t********", 1},
        {"temporizador semanal 7", "Temporizadores semanales\tTemporizador semanal 7\tHabilitar temporiz.\tSi", -1},
        {"nada de esto", "", 0},
    };
    for (const auto &c : cases) {
        const CliRun shown = run({"show", file(), QString::fromUtf8(c.filter)});
        ASSERT_EQ(shown.status, 0) << c.filter << qPrintable(shown.err);
        const QStringList lines = shown.out.split(u'\n', Qt::SkipEmptyParts);
        if (c.lines >= 0)
            EXPECT_EQ(lines.size(), c.lines) << c.filter << '\n' << qPrintable(shown.out);
        EXPECT_EQ(lines.value(0), QString::fromUtf8(c.firstLine)) << c.filter;
    }

    const CliRun english = run({"show", "--lang", "en", file(), "RENVN"});
    EXPECT_EQ(english.out.trimmed(), "General\tGeneral\tResend count\t4") << qPrintable(english.err);
    EXPECT_EQ(run({"show", "--lang", "fr", file()}).status, 2);
    EXPECT_EQ(run({"show", dir.filePath("none.qcf")}).status, 3);
}

TEST_F(CliReadTest, ShowAsJsonGivesEveryFieldWithItsKeyAndState)
{
    const CliRun shown = run({"show", "--json", file(), "texto de alarma"});
    ASSERT_EQ(shown.status, 0) << qPrintable(shown.err);
    const QJsonArray rows = QJsonDocument::fromJson(shown.out.toUtf8()).array();
    ASSERT_FALSE(rows.isEmpty());
    const QJsonObject first = rows.first().toObject();
    EXPECT_EQ(first.value("file_section").toString(), "1WIRE 0");
    EXPECT_EQ(first.value("key").toString(), "TEXTO( 0)");
    EXPECT_EQ(first.value("record").toString(), "Sonda 0");
    EXPECT_EQ(first.value("caption").toString(), "Configuracion 0 - Texto de alarma");
    EXPECT_EQ(first.value("value").toString(), "Temperatura alta");
    EXPECT_TRUE(first.value("enabled").toBool());
    const auto off = std::find_if(rows.begin(), rows.end(), [](const QJsonValue &row) {
        return row.toObject().value("value").toString() == QLatin1String("SlotApagadoXyz");
    });
    ASSERT_NE(off, rows.end());
    EXPECT_FALSE(off->toObject().value("enabled").toBool());
    EXPECT_TRUE(std::all_of(off, rows.end(), [](const QJsonValue &row) { return !row.toObject().value("enabled").toBool(); }))
        << "switched-off records come last";
}

TEST_F(CliReadTest, ReportHoldsTheIdentityTheCheckAndEveryRecordInUseInOrder)
{
    keepVerifiedWrite();
    const QString pdf = dir.filePath("informe.pdf");
    const CliRun report = run({"report", file(), "-o", pdf, "--history", kSerial});
    ASSERT_EQ(report.status, 0) << qPrintable(report.err);
    const QString text = pdfText(pdf);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext could not read the report";
    for (const char *expected : {"Informe de puesta en marcha", "VS21-000123", "Deposito Sur", "Verificada",
                                 "Observaciones", "Firma del cliente"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected;
    // Dates in the report's language with the year in full: the report's and the write's.
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("\\b\\d\\d/\\d\\d/20\\d\\d \\d\\d:\\d\\d\\b"))), 2);

    // Every field in use, caption then value, in the catalogue's order.
    const QString flat = withoutBlanks(text);
    const FieldCatalogue catalogue(sections, *store);
    qsizetype at = flat.indexOf(withoutBlanks(QStringLiteral("Ultima escritura")));
    int fields = 0;
    for (const CatalogueField &f : catalogue.fields()) {
        if (!f.enabled)
            continue;
        const qsizetype caption = flat.indexOf(withoutBlanks(f.caption), at);
        ASSERT_GE(caption, 0) << qPrintable(f.item + u' ' + f.key) << " missing or out of order";
        at = flat.indexOf(withoutBlanks(f.shownValue()), caption + withoutBlanks(f.caption).size());
        ASSERT_GE(at, 0) << qPrintable(f.item + u' ' + f.key + u'=' + f.shownValue());
        ++fields;
    }
    EXPECT_GT(fields, 100);
    // Nothing of what is switched off.
    for (const char *absent : {"SlotApagadoXyz", "4321", "Apagada", "Temporizador ciclico 3\n", "clave"})
        EXPECT_FALSE(text.contains(QLatin1String(absent))) << absent;
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("Temporizador ciclico 3\\b"))));

    // In English, and without a write of this configuration in the history.
    ServiceHistory history(dir.filePath("data/velkan-sarn/history"));
    ASSERT_TRUE(history.record("VS21-000999", HistoryKind::Read, *store, sections));
    const CliRun english = run({"report", "--lang", "en", file(), "-o", pdf, "--history", "VS21-000999"});
    ASSERT_EQ(english.status, 0) << qPrintable(english.err);
    const QString englishText = pdfText(pdf);
    for (const char *expected : {"Commissioning report", "Not checked", "Cyclic timer 1", "Remarks"})
        EXPECT_TRUE(englishText.contains(QLatin1String(expected))) << expected;
    EXPECT_TRUE(englishText.contains(QRegularExpression(QStringLiteral("\\b20\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d\\b"))));
}

TEST(ReportPageSize, LetterWhereTheLocaleUsesItA4Elsewhere)
{
    const struct {
        const char *locale;
        QPageSize::PageSizeId size;
    } cases[] = {{"es_ES", QPageSize::A4}, {"en_GB", QPageSize::A4}, {"de_DE", QPageSize::A4},
                 {"en_US", QPageSize::Letter}, {"es_MX", QPageSize::Letter}, {"fr_CA", QPageSize::Letter}};
    for (const auto &c : cases)
        EXPECT_EQ(reportPageSize(QLocale(QString::fromLatin1(c.locale))), c.size) << c.locale;
}

TEST(ReportPageSize, PaperFromLcAllElseLcPaperElseLang)
{
    const struct {
        const char *lcAll, *lcPaper, *lang;
        QPageSize::PageSizeId size;
    } cases[] = {
        {"", "en_US.UTF-8", "es_ES.UTF-8", QPageSize::Letter}, {"", "es_ES.UTF-8", "en_US.UTF-8", QPageSize::A4},
        {"es_ES.UTF-8", "en_US.UTF-8", "", QPageSize::A4},     {"en_CA.UTF-8", "de_DE", "", QPageSize::Letter},
        {"", "", "es_MX.UTF-8@euro", QPageSize::Letter},       {"C", "en_US.UTF-8", "", QPageSize::A4},
        {"", "", "de_DE.UTF-8", QPageSize::A4},
    };
    for (const auto &c : cases) {
        QProcessEnvironment environment;
        for (const auto &[variable, value] : {std::pair{"LC_ALL", c.lcAll}, {"LC_PAPER", c.lcPaper}, {"LANG", c.lang}}) {
            if (*value)
                environment.insert(QString::fromLatin1(variable), QString::fromLatin1(value));
        }
        EXPECT_EQ(reportPageSize(environment), c.size) << c.lcAll << '/' << c.lcPaper << '/' << c.lang;
    }
}

TEST_F(CliReadTest, ReportRefusesWhatItCannotWrite)
{
    EXPECT_EQ(run({"report", file()}).status, 2) << "no -o";
    EXPECT_EQ(run({"report", dir.filePath("none.qcf"), "-o", dir.filePath("a.pdf")}).status, 3);
    EXPECT_EQ(run({"report", file(), "-o", dir.filePath("no/such/folder/a.pdf")}).status, 3);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(CliReadTest, ReportNeverReplacesTheConfigurationAHistoryCopyOrAnotherFile)
{
    keepVerifiedWrite();
    const QString copy = ServiceHistory(dir.filePath("data/velkan-sarn/history")).entries(kSerial).value(0).path;
    ASSERT_FALSE(copy.isEmpty());
    ASSERT_TRUE(QFile::link(file(), dir.filePath("link.qcf")));
    ASSERT_TRUE(QFile::copy(file(), dir.filePath("other.qcf")));
    {
        QFile notes(dir.filePath("notes.txt"));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        notes.write("site notes\n");
    }
    const QString historyFolder = QFileInfo(copy).absolutePath();
    const struct {
        QString output;
        const char *says;
    } refused[] = {
        {file(), "configuration it describes"},
        {dir.path() + "/./unit.qcf", "configuration it describes"},
        {dir.filePath("link.qcf"), "configuration it describes"},
        {dir.filePath("other.qcf"), "not a PDF"},
        {dir.filePath("notes.txt"), "not a PDF"},
        {copy, "service history"},
        {historyFolder + "/informe.pdf", "service history"},
    };
    for (const auto &c : refused) {
        const QByteArray before = bytesOf(c.output);
        const CliRun report = run({"report", file(), "-o", c.output});
        EXPECT_EQ(report.status, 3) << qPrintable(c.output);
        EXPECT_TRUE(report.err.contains(QLatin1String(c.says))) << qPrintable(c.output + ": " + report.err);
        EXPECT_EQ(bytesOf(c.output), before) << qPrintable(c.output);
    }
    EXPECT_FALSE(QFile::exists(historyFolder + "/informe.pdf"));

    // An earlier report is replaced.
    const QString pdf = dir.filePath("informe.pdf");
    ASSERT_EQ(run({"report", file(), "-o", pdf}).status, 0);
    const CliRun again = run({"report", file(), "-o", pdf});
    EXPECT_EQ(again.status, 0) << qPrintable(again.err);
    EXPECT_TRUE(bytesOf(pdf).startsWith("%PDF"));
}

TEST_F(CliReadTest, ReportOfAHistorySerialIsRefusedWithoutItsCopiesAndWarnsOfAnotherUnit)
{
    const QString pdf = dir.filePath("informe.pdf");
    const CliRun none = run({"report", file(), "-o", pdf, "--history", "VS21-000999"});
    EXPECT_EQ(none.status, 3);
    EXPECT_TRUE(none.err.contains("no copy of unit VS21-000999")) << qPrintable(none.err);
    EXPECT_FALSE(QFile::exists(pdf));

    // The file records another unit than the history's copies: the report is
    // written, with a warning naming both.
    keepVerifiedWrite();
    SaveTarget other;
    other.sourceSerial = QStringLiteral("VS21-000777");
    ASSERT_TRUE(saveConfigFile(file(), *store, sections, nullptr, other));
    const CliRun mixed = run({"report", file(), "-o", pdf, "--history", kSerial});
    EXPECT_EQ(mixed.status, 0) << qPrintable(mixed.err);
    EXPECT_TRUE(mixed.err.contains("Warning") && mixed.err.contains("VS21-000777") && mixed.err.contains(kSerial))
        << qPrintable(mixed.err);
    EXPECT_TRUE(pdfText(pdf).contains("VS21-000123"));

    // A damaged copy of a write is named, not passed over.
    const QString unitFolder = QFileInfo(ServiceHistory(dir.filePath("data/velkan-sarn/history"))
                                             .entries(kSerial).value(0).path).absolutePath();
    const QString damaged = unitFolder + "/2099-01-01T00-00-00Z-write-verified.qcf";
    {
        QFile empty(damaged);
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    const CliRun warned = run({"report", file(), "-o", pdf, "--history", kSerial});
    EXPECT_EQ(warned.status, 0) << qPrintable(warned.err);
    EXPECT_TRUE(warned.err.contains("cannot be read") && warned.err.contains("2099-01-01T00-00-00Z"))
        << qPrintable(warned.err);
}

} // namespace
