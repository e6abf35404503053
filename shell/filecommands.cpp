#include "filecommands.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "editorregistry.h"
#include "files/configfile.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/product.h"

namespace {

// The busy pointer for the length of a scope.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

QString withReason(const QString &message, const QString &reason)
{
    return reason.isEmpty() ? message : message + "\n\n" + reason;
}

} // namespace

FileCommands::FileCommands(ConfigStore &store, const SectionRegistry &sections,
                           const EditorRegistry &editors, QWidget *dialogParent)
    : QObject(dialogParent), store_(store), sections_(sections), editors_(editors)
{
    askOpenPath = [dialogParent](const QString &filter) {
        return QFileDialog::getOpenFileName(dialogParent, {}, {}, filter);
    };
    askSavePath = [dialogParent](const QString &filter) {
        return QFileDialog::getSaveFileName(dialogParent, {}, {}, filter);
    };
    warn = [dialogParent](const QString &message) {
        QMessageBox::warning(dialogParent, Product::ProductTitle, message);
    };
}

QString FileCommands::dialogFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString text = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).split(';', Qt::SkipEmptyParts).join(' ').trimmed();
        if (patterns.isEmpty())
            continue;
        // The dialog takes its patterns from the parentheses of each entry.
        filters.append(text.contains('(' + patterns + ')') ? text : text + " (" + patterns + ")");
    }
    return filters.join(";;");
}

QString FileCommands::fileFilter()
{
    const QString base = QStringLiteral(
        "Archivo de configuracion QCF (*.qcf)|*.qcf|Todos los ficheros (*.*)|*.*");
    const QString filter = dialogFilter(Translate(base));
    // A translation that lost its patterns must not leave the dialog without any.
    return filter.isEmpty() ? dialogFilter(base) : filter;
}

bool FileCommands::openCommand()
{
    const QString path = askOpenPath(fileFilter());
    if (path.isEmpty())
        return false;
    ConfigFilePath = path;
    return RestoreConf();
}

bool FileCommands::saveCommand()
{
    const QString path = askSavePath(fileFilter());
    if (path.isEmpty())
        return false;
    ConfigFilePath = path;
    return SaveConf();
}

bool FileCommands::SaveConf()
{
    QString error;
    bool saved = false;
    {
        BusyPointer busy;
        editors_.storeAll(SectionRegistry::fileOrder());
        saved = saveConfigFile(ConfigFilePath, store_, sections_, &error);
    }
    if (!saved)
        warn(withReason(Translate("No se pudo guardar el archivo de configuracion"), error));
    return saved;
}

bool FileCommands::RestoreConf()
{
    QString error;
    RestoreResult result;
    {
        BusyPointer busy;
        result = restoreConfigFile(ConfigFilePath, store_, sections_, &error);
        if (result == RestoreResult::Restored)
            editors_.loadAll(SectionRegistry::fileOrder());
    }
    if (result != RestoreResult::Restored)
        warn(withReason(Translate("No es un archivo de configuracion valido"), error));
    return result == RestoreResult::Restored;
}
