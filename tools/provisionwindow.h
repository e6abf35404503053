#pragma once

#include <QList>
#include <QString>
#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>

#include "link/provisioning.h"
#include "widgets/usermessage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class ProvisionWorkers;
class RunLock;
class SectionRegistry;
struct ProvisionEvent;

// "Provisionar": one template with each unit's own values from a units table,
// written to one unit after another on the program's connection. The queue
// shows each unit of the table and what became of it; the faults of the table
// and the template are listed by row and column, and while there is one
// nothing can start. Each unit is written with a verified upload, keeps its
// copy in the service history and gets a line in the report.
//
// The units may be connected on several ports at once, ticked in the port
// list: then each port is served by a velkan-cli process of its own (one link
// and one event loop each) whose progress lines the window follows, and the
// window itself never waits on a link. One port ticked is written on the
// program's connection; none ticked, on the General window's port.
class ProvisionWindow : public QWidget {
    Q_OBJECT
public:
    // `request` tells where the units are connected (the General window's
    // port); lockNavigation(true) locks the navigation tree for a run.
    ProvisionWindow(UnitConnection &unit, const SectionRegistry &sections, std::function<ConnectRequest()> request,
                    std::function<void(bool)> lockNavigation, UserMessage message = productMessage,
                    QWidget *parent = nullptr);
    ~ProvisionWindow() override;

    void LoadText();
    // Reads the template, the table and the report named again, and shows
    // the queue and the faults.
    void reload();

    void PlantillaBut_Click();
    void TablaBut_Click();
    void InformeBut_Click();
    // Runs until every unit of the table is applied or "Detener".
    void Iniciar_Click();
    // Ends the run once the unit being written is done, on every port.
    void Detener_Click();
    // Lists the ports that open again, keeping the ones ticked or typed.
    void BuscarPuertos_Click();
    // Adds the typed port (a device path, a pseudo-terminal) to the list, ticked.
    void AgregarPuerto_Click();
    // The ports ticked in the list, in its order.
    QStringList chosenPorts() const;
    // Puts the port in the list, ticked or not, unless it is there already.
    void addPort(const QString &port, bool ticked);
    bool isRunning() const { return running_ || workers_; }

    // The file dialogs, given the filter; empty when cancelled. Tests replace them.
    std::function<QString(const QString &filter)> askOpenPath;
    std::function<QString(const QString &filter, const QString &suggested)> askReportPath;

    QLabel *Titulo;
    QLabel *LabelPlantilla;
    QLineEdit *PlantillaPath;
    QPushButton *PlantillaBut;
    QLabel *LabelTabla;
    QLineEdit *TablaPath;
    QPushButton *TablaBut;
    QLabel *LabelInforme;
    QLineEdit *InformePath;
    QPushButton *InformeBut;
    QCheckBox *OtraVez;
    QCheckBox *NoListadas;
    QLabel *LabelPuertos;
    QTreeWidget *Puertos;
    QLineEdit *PuertoNuevo;
    QPushButton *AgregarPuerto;
    QPushButton *BuscarPuertos;
    QLabel *LabelCola;
    QTreeWidget *Cola;
    QLabel *LabelFaltas;
    QTreeWidget *Faltas;
    QPushButton *Iniciar;
    QPushButton *Detener;
    QLabel *Estado;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool loadReport(ProvisionReport &report);
    void addFault(int line, int column, std::function<QString()> reason);
    void showState(std::function<QString()> text);
    void showQueue(const ProvisionReport &report);
    QTreeWidgetItem *addQueueRow(const QString &serial);
    QTreeWidgetItem *queueRow(const QString &serial);
    void showStatus(QTreeWidgetItem *row, const QString &status);
    void showRecord(const ProvisionRecord &record, const QString &port);
    void showButtons();
    QList<QWidget *> lockedForRun() const;
    void run(ProvisionReport &report, const ConnectRequest &request);
    void runOnPorts(const QStringList &ports);
    void followEvent(const ProvisionEvent &event);
    void showPortState(const QString &port, const QString &text);
    void endRunOnPorts(int status);
    void showEnd(bool allApplied);

    UnitConnection &unit_;
    const SectionRegistry &sections_;
    std::function<ConnectRequest()> request_;
    std::function<void(bool)> lockNavigation_;
    UserMessage message_;
    ProvisionPlan plan_;
    bool ready_ = false;          // the plan loaded without a fault
    QString suggestedReport_;     // the report path offered for the table
    Provisioner *running_ = nullptr;
    QList<std::function<QString()>> faultReasons_;
    std::function<QString()> state_;
    // A run on several ports: the workers, and the lock held until they end.
    ProvisionWorkers *workers_ = nullptr;
    std::unique_ptr<RunLock> runLock_;
    bool reportFailed_ = false;
    QSet<QString> takenThisRun_; // serials written or being written by this run
    bool portsListed_ = false;
};
