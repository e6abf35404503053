#include "filecommands.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "editorregistry.h"
#include "files/configfile.h"
#include "files/inidocument.h"
#include "widgets/savename.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/product.h"
#include "busypointer.h"
#include "usersettings.h"

namespace {

QString withReason(const QString &message, const QString &reason)
{
    return reason.isEmpty() ? message : message + "\n\n" + reason;
}

// A text fit for a file name on every system.
QString fileNamePart(const QString &text)
{
    QString part = text.trimmed();
    for (QChar &c : part) {
        if (c < u' ' || QStringView(u"\\/:*?\"<>|").contains(c))
            c = u'_';
    }
    return part;
}

QStringList restoreNoteLines(const QList<RestoreNote> &notes, bool outOfRange)
{
    QStringList lines;
    for (const RestoreNote &note : notes) {
        if (note.outOfRange() != outOfRange)
            continue;
        if (outOfRange)
            lines << QStringLiteral("[%1] %2 = %3 (%4)").arg(note.section, note.key.trimmed(), note.text.trimmed(), note.range);
        else
            lines << QStringLiteral("[%1] %2 = %3").arg(note.section, note.key.trimmed(), note.text);
    }
    return lines;
}

// The values not taken, then those taken but outside their box's range: one
// dialog each, only when there are any.
void reportRestoreNotes(const std::function<void(const QString &, const QStringList &)> &report,
                        const QList<RestoreNote> &notes)
{
    if (const QStringList lines = restoreNoteLines(notes, false); !lines.isEmpty())
        report(Translate(QStringLiteral("Estos valores del archivo no se han tomado (no son un numero o estan "
                                        "fuera de rango); se conservan los valores por defecto")),
               lines);
    if (const QStringList lines = restoreNoteLines(notes, true); !lines.isEmpty())
        report(Translate(QStringLiteral("Estos valores del archivo estan fuera del rango que admite su ventana: "
                                        "se muestran en rojo y no se envian a la unidad hasta corregirlos")),
               lines);
}

} // namespace

QString fileFailureText(const FileFailure &f)
{
    const QString because = f.detail.isEmpty() ? QString() : QStringLiteral(": ") + f.detail;
    switch (f.problem) {
    case FileProblem::None:
    case FileProblem::NotConfiguration:
        return f.path;
    case FileProblem::NoName:
        return Translate(QStringLiteral("No se ha indicado el nombre del archivo"));
    case FileProblem::Unreadable:
        return Translate(QStringLiteral("No se puede leer el archivo")) + u' ' + f.path + because;
    case FileProblem::TooLarge:
        return Translate(QStringLiteral("El archivo es demasiado grande")) + QStringLiteral(": ") + f.path;
    case FileProblem::NotText:
        return Translate(QStringLiteral("El archivo no es un archivo de texto")) + QStringLiteral(": ") + f.path;
    case FileProblem::Unwritable:
        return Translate(QStringLiteral("No se puede guardar el archivo")) + u' ' + f.path + because;
    case FileProblem::NotReplaced:
        return Translate(QStringLiteral("El archivo no es un archivo de configuracion y no se ha modificado; "
                                        "use \"Guardar como\" para elegir otro nombre"))
               + QStringLiteral(": ") + f.path;
    }
    return f.path;
}

const QString FileCommands::kSuffix = QStringLiteral("qcf");

FileCommands::FileCommands(ConfigStore &store, const SectionRegistry &sections,
                           const EditorRegistry &editors, QWidget *dialogParent,
                           UserSettings *settings)
    : QObject(dialogParent), store_(store), sections_(sections), editors_(editors), settings_(settings)
{
    askOpenPath = [dialogParent](const QString &filter, const QString &start) {
        return QFileDialog::getOpenFileName(dialogParent, {}, start, filter);
    };
    askSavePath = [dialogParent](const QString &filter, const QString &start) {
        QFileDialog dialog(dialogParent, {}, start, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The dialog asks before replacing a file under the name completed here.
        dialog.setDefaultSuffix(kSuffix);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    warn = [dialogParent](const QString &message) {
        QMessageBox::warning(dialogParent, Product::ProductTitle, message);
    };
    reportNotes = [dialogParent](const QString &summary, const QStringList &lines) {
        QMessageBox box(QMessageBox::Warning, Product::ProductTitle, summary, QMessageBox::Ok, dialogParent);
        // A long list goes to the details, which scroll; the first lines show at once.
        constexpr int kShown = 12;
        QStringList shown = lines.mid(0, kShown);
        if (lines.size() > kShown)
            shown << QStringLiteral("...");
        box.setInformativeText(shown.join(u'\n'));
        if (lines.size() > kShown)
            box.setDetailedText(lines.join(u'\n'));
        box.exec();
    };
    askSaveChanges = [dialogParent](const QString &question) {
        return QMessageBox::question(dialogParent, Product::ProductTitle, question,
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                     QMessageBox::Save);
    };
}

QByteArray FileCommands::picture() const
{
    IniDocument doc;
    sections_.saveAll(store_, doc);
    return doc.serialize();
}

// Taken through the editors, as changed() is, so that what a store-back
// normalises never counts as a change.
void FileCommands::markUnchanged()
{
    editors_.storeAll(SectionRegistry::fileOrder());
    unchanged_ = picture();
}

void FileCommands::unitLoaded()
{
    ConfigFilePath.clear();
    source_ = unitIdentity ? unitIdentity().serial.trimmed() : QString();
    markUnchanged();
    emit fileLeft();
}

bool FileCommands::changed()
{
    // A red box holds an edit that no store-back takes: it is unsaved too.
    if (!editors_.numberFaults().isEmpty())
        return true;
    if (unchanged_.isNull())
        return false; // nothing marked yet: nothing to compare with
    editors_.storeAll(SectionRegistry::fileOrder());
    return picture() != unchanged_;
}

bool FileCommands::settleChanges()
{
    if (!changed())
        return true;
    QString question = Translate(QStringLiteral("La configuracion ha cambiado. Desea guardar los cambios?"));
    if (const QList<BoxFault> red = editors_.numberFaults(); !red.isEmpty())
        question += QStringLiteral("\n\n")
                    + Translate(QStringLiteral("Los campos en rojo no se pueden guardar; si continua sin "
                                               "corregirlos, se perdera lo escrito en ellos:"))
                    + u'\n' + faultLines(red);
    switch (askSaveChanges(question)) {
    case QMessageBox::Save:
        return saveCommand();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
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

QString FileCommands::translatedFilter(const QString &pipeFilter)
{
    const QString filter = dialogFilter(Translate(pipeFilter));
    return filter.isEmpty() ? dialogFilter(pipeFilter) : filter;
}

QString FileCommands::fileFilter()
{
    return translatedFilter(QStringLiteral("Archivo de configuracion QCF (*.qcf)|*.qcf|Todos los ficheros (*.*)|*.*"));
}

QString FileCommands::lastFolder() const
{
    const QString folder = settings_ ? settings_->lastFolder() : QString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return ConfigFilePath.isEmpty() ? QString() : QFileInfo(ConfigFilePath).absolutePath();
}

void FileCommands::rememberFolder(const QString &path)
{
    if (settings_)
        settings_->setLastFolder(QFileInfo(path).absolutePath());
}

QString FileCommands::openStart() const
{
    return lastFolder();
}

QString FileCommands::saveStart() const
{
    const UnitIdentity unit = unitIdentity ? unitIdentity() : UnitIdentity();
    const QString unitName = fileNamePart(unit.name);
    const QString serial = fileNamePart(unit.serial);
    // A file keeps its own name (it may be another unit's); a download, or
    // a configuration begun here, is named after the unit.
    QString name;
    if (!ConfigFilePath.isEmpty()) {
        name = QFileInfo(ConfigFilePath).fileName();
    } else if (!serial.isEmpty()) {
        name = (unitName.isEmpty() ? serial : unitName + u'_' + serial) + u'.' + kSuffix;
    }
    const QString folder = lastFolder();
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

bool FileCommands::openCommand()
{
    if (!settleChanges())
        return false;
    const QString path = askOpenPath(fileFilter(), openStart());
    if (path.isEmpty())
        return false;
    rememberFolder(path);
    return openFile(path);
}

// The file becomes the open one only once it has been read whole: a refused
// file is never named by the caption, nor the target of the next save.
bool FileCommands::openFile(const QString &path)
{
    QString recorded;
    if (!restoreFrom(path, &recorded))
        return false;
    ConfigFilePath = path;
    source_ = !recorded.trimmed().isEmpty() ? recorded.trimmed() : historyUnit ? historyUnit(path) : QString();
    markUnchanged();
    emit fileOpened(path);
    return true;
}

bool FileCommands::saveCommand()
{
    if (ConfigFilePath.isEmpty())
        return saveAsCommand();
    if (readyToSave && !readyToSave())
        return false;
    return saveTo(ConfigFilePath, false);
}

bool FileCommands::saveAsCommand()
{
    if (readyToSave && !readyToSave())
        return false;
    QString path = askSavePath(fileFilter(), saveStart());
    if (path.isEmpty())
        return false;
    // The dialog asked before replacing the name it gave; one completed here
    // was never confirmed.
    bool confirmed = true;
    // Not every platform's dialog completes the name itself.
    if (const QString completed = withExtension(path, kSuffix); completed != path) {
        path = completed;
        confirmed = false;
    }
    rememberFolder(path);
    return saveTo(path, confirmed);
}

bool FileCommands::saveTo(const QString &path, bool replaceOther)
{
    if (!saveFile(path, replaceOther))
        return false;
    ConfigFilePath = path;
    markUnchanged();
    emit fileSaved(path);
    return true;
}

void FileCommands::storeEditors() const
{
    editors_.storeAll(SectionRegistry::fileOrder());
}

bool FileCommands::SaveConf()
{
    return saveFile(ConfigFilePath, false);
}

bool FileCommands::saveFile(const QString &path, bool replaceOther)
{
    FileFailure failure;
    bool saved = false;
    {
        BusyPointer busy;
        storeEditors();
        SaveTarget target;
        target.replaceOther = replaceOther;
        target.sourceSerial = source_;
        saved = saveConfigFile(path, store_, sections_, &failure, target);
    }
    if (!saved)
        warn(withReason(Translate("No se pudo guardar el archivo de configuracion"), fileFailureText(failure)));
    return saved;
}

bool FileCommands::RestoreConf()
{
    return restoreFrom(ConfigFilePath, nullptr);
}

bool FileCommands::restoreFrom(const QString &path, QString *sourceSerial)
{
    FileFailure failure;
    RestoreResult result;
    QList<RestoreNote> notes;
    {
        BusyPointer busy;
        result = restoreConfigFile(path, store_, sections_, &failure, &notes, sourceSerial);
        if (result == RestoreResult::Restored)
            editors_.loadAll(SectionRegistry::fileOrder());
    }
    if (result != RestoreResult::Restored)
        warn(withReason(Translate("No es un archivo de configuracion valido"), fileFailureText(failure)));
    reportRestoreNotes(reportNotes, notes);
    return result == RestoreResult::Restored;
}
