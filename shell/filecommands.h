#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class EditorRegistry;
class SectionRegistry;
class UserSettings;
class QWidget;
struct ConfigStore;
struct FileFailure;

// The unit last read, as far as the name of its configuration file goes.
struct UnitIdentity {
    QString name;
    QString serial; // empty while no unit was read
};

// The operator's words for what went wrong with a file: the reason and the
// file (only the file when it is no configuration).
QString fileFailureText(const FileFailure &failure);

// Opening and saving the configuration file from the GUI: the file dialogs,
// the whole-file save and restore around the editors, and what the operator
// is told when either fails. Both dialogs start in the folder last used,
// which the settings (when given) keep for the next start.
class FileCommands : public QObject {
    Q_OBJECT
public:
    FileCommands(ConfigStore &store, const SectionRegistry &sections,
                 const EditorRegistry &editors, QWidget *dialogParent = nullptr,
                 UserSettings *settings = nullptr);

    // The extension of configuration files, added to a saved name without one.
    static const QString kSuffix;

    // "Text|pattern|Text|pattern" filter lists as the file dialogs take them.
    static QString dialogFilter(const QString &pipeFilter);
    // The filter in the language in use; the Spanish one when a translation
    // lost its patterns, so that the dialog never goes without any.
    static QString translatedFilter(const QString &pipeFilter);
    static QString fileFilter();

    // The file the editors were last read from or saved to: only a file that
    // was read whole, or written, ever becomes it.
    QString ConfigFilePath;

    // Every editor's controls into the model, in the file order.
    void storeEditors() const;
    const EditorRegistry &editors() const { return editors_; }
    // Editors' controls into the model, then the model into ConfigFilePath
    // (never into a file that holds no configuration).
    bool SaveConf();
    // The model from ConfigFilePath when it is a configuration file of this
    // product, then shown by the editors; otherwise the model stays as it was.
    // Values of the file that were not taken are reported once.
    bool RestoreConf();

    // The file dialogs, given the filter and where to start (a folder, or a
    // suggested file); they give a path, or empty when cancelled. With the
    // warning box, tests replace them.
    std::function<QString(const QString &filter, const QString &start)> askOpenPath;
    std::function<QString(const QString &filter, const QString &start)> askSavePath;
    std::function<void(const QString &message)> warn;
    // Tells the values of an opened file that were not taken, all in one
    // dialog: a summary and one line per value.
    std::function<void(const QString &summary, const QStringList &lines)> reportNotes;
    // Asked before a save: false (a field the file cannot take, already told
    // to the operator) stops it. Unset: nothing to check.
    std::function<bool()> readyToSave;

    // Asks the operator whether to save the changes before they are replaced
    // or closed: Save, Discard or Cancel. Tests replace it.
    std::function<QMessageBox::StandardButton(const QString &question)> askSaveChanges;

    // The unit whose configuration is saved; a file named after it is suggested.
    std::function<UnitIdentity()> unitIdentity;
    // The unit a copy in the service history belongs to, by where the file
    // lies; empty for a file outside the history. Unset: none.
    std::function<QString(const QString &path)> historyUnit;

    // The serial number of the unit the configuration in the editors came
    // from: the unit downloaded, or the one the opened file records (for an
    // older copy in the service history, the unit of its folder); a save
    // records it. Empty when unknown.
    QString sourceSerial() const { return source_; }

    // Where the dialogs start.
    QString openStart() const;
    QString saveStart() const;

    // What the editors hold now is what was last opened, saved or
    // downloaded: no question until it changes.
    void markUnchanged();
    // The editors now hold the unit's configuration, not a file: "Guardar"
    // asks for a name again.
    void unitLoaded();
    // The editors (stored into the model first) differ from that, or a box
    // is red: what it holds cannot be stored.
    bool changed();
    // Before the editors are replaced or closed: with changes, asks once
    // whether to save them, naming the red boxes whose text would be lost.
    // True to go on (saved, discarded or none), false when the operator
    // cancels or the save fails.
    bool settleChanges();

public slots:
    // "Abrir", "Guardar" and "Guardar como": true when a file was restored or
    // saved. A cancelled dialog does nothing. "Guardar" writes to the file
    // opened or saved last, and asks for a name only when there is none.
    bool openCommand();
    bool saveCommand();
    bool saveAsCommand();
    // What "Abrir" does once the file is chosen: the file into the model and
    // the editors, and it becomes the file the caption names.
    bool openFile(const QString &path);

signals:
    void fileOpened(const QString &path);
    void fileSaved(const QString &path);
    void fileLeft();

private:
    QString lastFolder() const;
    // replaceOther: the operator confirmed replacing what is at path.
    bool saveTo(const QString &path, bool replaceOther);
    bool saveFile(const QString &path, bool replaceOther);
    bool restoreFrom(const QString &path, QString *sourceSerial);
    // The model as the file would hold it.
    QByteArray picture() const;
    void rememberFolder(const QString &path);

    ConfigStore &store_;
    const SectionRegistry &sections_;
    const EditorRegistry &editors_;
    UserSettings *settings_;
    QByteArray unchanged_;
    QString source_;
};
