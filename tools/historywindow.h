#pragma once

#include <QList>
#include <functional>
#include <QWidget>

#include "files/servicehistory.h"
#include "widgets/usermessage.h"

class DifferenceWindow;
class FileCommands;
class QLabel;
class QLineEdit;
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
    // The team's repository: set, and shared both ways (the only network use).
    void FijarRemoto_Click();
    void Sincronizar_Click();

    QLabel *Titulo;
    QLabel *LabelUnidades;
    QListWidget *Unidades;
    QLabel *LabelOperaciones;
    QTreeWidget *Operaciones;
    QPushButton *Comparar;
    QPushButton *CompararEditor;
    QPushButton *Abrir;
    QLabel *Carpeta;
    QLabel *LabelTecnico;
    QLineEdit *Tecnico;     // "Name <address>", kept in the settings
    QLabel *LabelRemoto;
    QLineEdit *Remoto;
    QPushButton *FijarRemoto;
    QPushButton *Sincronizar;
    QLabel *SinCompartir;   // copies not yet shared

    // Where the technician's name is kept; the window reads it once and
    // writes it as typed.
    std::function<QString()> loadTechnician;
    std::function<void(const QString &)> saveTechnician;
    // Shows the kept technician and makes it the author of the commits.
    void showTechnician();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showEntries();
    void showButtons();
    void showSharing();
    void useTechnician();
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
    QString token_;               // an https remote's, for this session only
};
