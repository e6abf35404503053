#include "readcommands.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTextStream>
#include <cstring>
#include <optional>

#include "commandsupport.h"
#include "files/fieldcatalogue.h"
#include "files/langtable.h"
#include "model/configstore.h"
#include "report/commissioningreport.h"

namespace {

// The program's language table in the language --lang asks for while the
// object lives: Spanish unless "en".
class CommandLanguage {
public:
    explicit CommandLanguage(const QString &lang)
    {
        table_.Init();
        table_.LangSel = lang == QLatin1String("en") ? 2 : 1;
        setLang(&table_);
    }
    ~CommandLanguage() { setLang(nullptr); }
    CommandLanguage(const CommandLanguage &) = delete;
    CommandLanguage &operator=(const CommandLanguage &) = delete;

    static bool known(const QString &lang) { return lang.isEmpty() || lang == "es" || lang == "en"; }

private:
    LangTable table_;
};

// A text as one tab-separated field: a tab or a line break would start another.
QString tabField(QString text)
{
    return text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
}

QJsonObject fieldJson(const CatalogueField &f)
{
    return {{"section", f.sectionCaption}, {"record", f.record},   {"caption", f.caption},
            {"value", f.secret ? f.shownValue() : f.value}, {"unit", f.unit}, {"file_section", f.item},
            {"key", f.key.trimmed()}, {"registered_section", f.section}, {"enabled", f.enabled}};
}

// The configuration file of a command restored, its serial found; none after saying why not.
std::unique_ptr<ConfigStore> restored(CliSession &s, const CommandArgs &a, QString *serial = nullptr)
{
    auto store = std::make_unique<ConfigStore>();
    s.sections().clearAll(*store);
    if (!restoreChecked(a.positional.at(0), *store, s.sections(), a, serial))
        return nullptr;
    return store;
}

} // namespace

QString readOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args)
{
    if (settings.lang && !command.is("show") && !command.is("report"))
        return QStringLiteral("--lang belongs to show and report.");
    if (settings.history && !command.is("report"))
        return QStringLiteral("--history belongs to report.");
    args.lang = settings.lang.value_or(QString());
    args.historySerial = settings.history.value_or(QString());
    return {};
}

int showCommand(CliSession &s, const CommandArgs &a)
{
    if (!CommandLanguage::known(a.lang)) {
        printError("--lang takes es or en.");
        return ExitUsage;
    }
    const std::unique_ptr<ConfigStore> store = restored(s, a);
    if (!store)
        return ExitFileError;
    const CommandLanguage language(a.lang);
    const FieldCatalogue catalogue(s.sections(), *store);
    const QList<const CatalogueField *> found = catalogue.find(a.positional.value(1));
    QTextStream out(stdout);
    if (a.json) {
        QJsonArray rows;
        for (const CatalogueField *f : found)
            rows.append(fieldJson(*f));
        out << QJsonDocument(rows).toJson(QJsonDocument::Compact) << Qt::endl;
        return ExitOk;
    }
    for (const CatalogueField *f : found)
        out << QStringList{tabField(f->sectionCaption), tabField(f->record), tabField(f->caption),
                           tabField(f->shownValue())}
                   .join(u'\t')
            << Qt::endl;
    return ExitOk;
}

int reportCommand(CliSession &s, const CommandArgs &a)
{
    if (!CommandLanguage::known(a.lang) || a.output.isEmpty()) {
        printError("Usage: velkan-cli report FILE -o REPORT.pdf [--lang es|en] [--history SERIAL]");
        return ExitUsage;
    }
    const QString path = a.positional.at(0);
    QString serial;
    const std::unique_ptr<ConfigStore> store = restored(s, a, &serial);
    if (!store)
        return ExitFileError;
    if (!a.historySerial.isEmpty())
        serial = a.historySerial;
    else if (serial.isEmpty())
        serial = s.history().unitOf(path);

    const CommandLanguage language(a.lang);
    ReportFacts facts;
    facts.serial = serial;
    facts.unitName = store->General.UnitName;
    facts.date = QDateTime::currentDateTime();
    facts.technician = s.history().technician.name;
    facts.source = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    addHistoryFacts(facts, s.history(), *store, s.sections());
    QString error;
    if (!writeCommissioningReport(a.output, FieldCatalogue(s.sections(), *store), facts,
                                  reportPageSize(QLocale::system()), &error)) {
        printError(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(a.output), error));
        return ExitFileError;
    }
    return ExitOk;
}

std::unique_ptr<QCoreApplication> cliApplication(int &argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "report") != 0)
            continue;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}
