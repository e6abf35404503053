#pragma once

#include <QObject>
#include <QString>
#include <functional>

class EditorRegistry;
class SectionRegistry;
class QWidget;
struct ConfigStore;

// Opening and saving the configuration file from the GUI: the file dialogs,
// the whole-file save and restore around the editors, and what the operator
// is told when either fails.
class FileCommands : public QObject {
    Q_OBJECT
public:
    FileCommands(ConfigStore &store, const SectionRegistry &sections,
                 const EditorRegistry &editors, QWidget *dialogParent = nullptr);

    // "Text|pattern|Text|pattern" filter lists as the file dialogs take them.
    static QString dialogFilter(const QString &pipeFilter);
    static QString fileFilter();

    // The file last chosen in the open or save dialog.
    QString ConfigFilePath;

    // Editors' controls into the model, then the model into ConfigFilePath.
    bool SaveConf();
    // The model from ConfigFilePath when it is a configuration file of this
    // product, then shown by the editors; otherwise the model stays as it was.
    bool RestoreConf();

    // The file dialogs (a path, or empty when cancelled) and the warning box;
    // tests replace them.
    std::function<QString(const QString &filter)> askOpenPath;
    std::function<QString(const QString &filter)> askSavePath;
    std::function<void(const QString &message)> warn;

public slots:
    // "Abrir" and "Guardar": true when a file was restored or saved. A
    // cancelled dialog does nothing.
    bool openCommand();
    bool saveCommand();

private:
    ConfigStore &store_;
    const SectionRegistry &sections_;
    const EditorRegistry &editors_;
};
