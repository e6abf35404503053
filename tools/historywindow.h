#pragma once

#include <QList>
#include <QWidget>

#include "files/servicehistory.h"
#include "widgets/usermessage.h"

class DifferenceWindow;
class FileCommands;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class SectionRegistry;
class UnitConnection;
struct ConfigStore;

// "Historial": the copies the service history keeps of each unit's
// configuration, newest first; two of them, or one and the configuration in
// the editors, compared in the difference window; one opened into the editors
// as "Abrir" opens a file. It follows the unit connection's history, and
// tells once when a copy could not be kept.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
                  FileCommands &files, UserMessage message = productMessage, QWidget *parent = nullptr);

    void LoadText();
    // The units and the chosen unit's entries, read again from the folder.
    void refresh();

    void Comparar_Click();
    void CompararEditor_Click();
    void Abrir_Click();

    QLabel *Titulo;
    QLabel *LabelUnidades;
    QListWidget *Unidades;
    QLabel *LabelOperaciones;
    QTreeWidget *Operaciones;
    QPushButton *Comparar;
    QPushButton *CompararEditor;
    QPushButton *Abrir;
    QLabel *Carpeta;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showEntries();
    void showButtons();
    QList<HistoryEntry> chosenEntries() const;
    QString entryCaption(const HistoryEntry &entry) const;
    DifferenceWindow *compare(const ConfigStore &left, const ConfigStore &right, const QString &leftCaption,
                              const QString &rightCaption);
    bool restoreEntry(const HistoryEntry &entry, ConfigStore &scratch);

    UnitConnection &unit_;
    ConfigStore &store_;
    const SectionRegistry &sections_;
    FileCommands &files_;
    UserMessage message_;
    QList<HistoryEntry> entries_; // the chosen unit's, as listed
};
