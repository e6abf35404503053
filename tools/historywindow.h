#pragma once

#include <QList>
#include <functional>
#include <QWidget>

#include "files/servicehistory.h"
#include "widgets/usermessage.h"

class DifferenceWindow;
class FileCommands;
class HistorySync;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class QTreeWidget;
class SectionRegistry;
class UnitConnection;
struct ConfigStore;

// "Historial": the copies the service history keeps of each unit's
// configuration, newest first; two of them, or one and the configuration in
// the editors, compared in the difference window, whose values tell who last
// changed them; one opened into the editors as "Abrir" opens a file. Beside
// it, "Unidades": every unit with its last contact, sorted by any column,
// filtered as typed, exported as CSV. It follows the unit connection's
// history, and tells once when a copy could not be kept. "Sincronizar" runs
// on a thread of its own while the window goes on.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
                  FileCommands &files, UserMessage message = productMessage, QWidget *parent = nullptr);
    // A sync under way is stopped and waited for; the copies made meanwhile are committed.
    ~HistoryWindow() override;

    void LoadText();
    // The units and the chosen unit's entries, read again from the folder.
    void refresh();

    void Comparar_Click();
    void CompararEditor_Click();
    void Abrir_Click();
    // The team's repository: set, and shared both ways (the only network use).
    void FijarRemoto_Click();
    void Sincronizar_Click();
    void ExportarUnidades_Click();
    bool syncing() const;

    QLabel *Titulo;
    QTabWidget *Vistas; // the copies of a unit, the units
    QLineEdit *FiltroUnidades;
    QTableView *TablaUnidades;
    QPushButton *ExportarUnidades;
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
    // The save dialog of the units' CSV (filter, suggested name); empty when cancelled.
    std::function<QString(const QString &filter, const QString &suggested)> askSavePath;
    // Shows the kept technician and makes it the author of the commits.
    void showTechnician();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showEntries();
    void showButtons();
    void showSharing();
    void showFleet();
    void showSyncProgress(SyncStage stage, int done, int total);
    void syncFinished(const SyncResult &result);
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
    QStandardItemModel *fleet_;
    QSortFilterProxyModel *fleetShown_;
    HistorySync *sync_;
};
