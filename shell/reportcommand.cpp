#include "reportcommand.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QProcessEnvironment>
#include <QSettings>

#include "filecommands.h"
#include "widgets/filetexts.h"
#include "files/fieldcatalogue.h"
#include "files/langtable.h"
#include "files/servicehistory.h"
#include "link/deviceinfotext.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "model/product.h"
#include "report/commissioningreport.h"

namespace {

const QString kTechnicianKey = QStringLiteral("TechnicianName");

// Where the configuration in the editors came from, in words.
QString sourceText(const FileCommands &files, bool unitConnected)
{
    if (!files.ConfigFilePath.isEmpty())
        return QDir::toNativeSeparators(QFileInfo(files.ConfigFilePath).absoluteFilePath());
    return Translate(unitConnected ? QStringLiteral("Configuracion leida del equipo")
                                   : QStringLiteral("Configuracion sin guardar"));
}

} // namespace

ReportCommand::ReportCommand(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
                             FileCommands &files, QObject *parent)
    : QObject(parent), unit_(unit), store_(store), sections_(sections), files_(files),
      historyRoot(ServiceHistory::defaultRoot())
{
    askTechnician = [] {
        return QInputDialog::getText(QApplication::activeWindow(), Product::ProductTitle,
                                     Translate(QStringLiteral("Nombre del tecnico:")));
    };
}

QString ReportCommand::technician()
{
    QSettings settings(QSettings::UserScope, Product::CompanyName);
    QString name = settings.value(kTechnicianKey).toString().trimmed();
    if (name.isEmpty()) {
        name = askTechnician().trimmed();
        if (!name.isEmpty())
            settings.setValue(kTechnicianKey, name);
    }
    return name;
}

bool ReportCommand::run()
{
    files_.storeEditors();
    const QString technicianName = technician();
    if (technicianName.isEmpty())
        return false;
    const QFileInfo start(files_.saveStart());
    QString path = files_.askSavePath(translatedFilter(QStringLiteral("Documento PDF (*.pdf)|*.pdf")),
                                      start.dir().filePath(start.completeBaseName() + QStringLiteral(".pdf")));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    if (const QString problem = reportTargetProblem(path, files_.ConfigFilePath, historyRoot); !problem.isEmpty()) {
        files_.warn(problem + QStringLiteral(":\n") + QDir::toNativeSeparators(path));
        return false;
    }

    const bool connected = unit_.isConnected();
    ReportFacts facts;
    facts.serial = connected ? unit_.Device.SerialNumber : files_.sourceSerial();
    facts.unitName = store_.General.UnitName;
    if (connected) {
        facts.firmware = FirmwareText(unit_.Device.FirmwareVersion);
        facts.features = featureWords(unit_.Device.DeviceFeatures);
    }
    facts.date = QDateTime::currentDateTime();
    facts.technician = technicianName;
    facts.source = sourceText(files_, connected);
    const QStringList unreadable = addHistoryFacts(facts, ServiceHistory(historyRoot), store_, sections_);
    if (!unreadable.isEmpty())
        files_.warn(Translate(QStringLiteral("Estas copias del historial de servicio no se pueden leer; la ultima "
                                             "escritura se busca sin ellas"))
                    + QStringLiteral(":\n") + QDir::toNativeSeparators(unreadable.join(u'\n')));
    QString error;
    if (!writeCommissioningReport(path, FieldCatalogue(sections_, store_), facts,
                                  reportPageSize(QProcessEnvironment::systemEnvironment()), &error)) {
        files_.warn(Translate(QStringLiteral("No se pudo escribir el informe")) + QStringLiteral(": ")
                    + QDir::toNativeSeparators(path) + QStringLiteral("\n") + error);
        return false;
    }
    emit reportWritten(path);
    return true;
}
