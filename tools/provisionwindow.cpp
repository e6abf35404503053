#include "provisionwindow.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <tuple>
#include <optional>
#include <utility>

#include "files/inidocument.h"
#include "files/langtable.h"
#include "files/provisionprogress.h"
#include "link/connection.h"
#include "link/provisionworkers.h"
#include "link/unitconnection.h"
#include "shell/filecommands.h"
#include "widgets/namedwidget.h"
#include "widgets/runlock.h"
#include "widgets/savename.h"

namespace {

const QString kTableFilter = QStringLiteral("Tabla de unidades CSV (*.csv)|*.csv|Todos los ficheros (*.*)|*.*");

// The queue's columns, and where a row keeps its status untranslated.
enum QueueColumn { SerialColumn, NameColumn, StatusColumn, DifferencesColumn, PortColumn };
constexpr int kStatusRole = Qt::UserRole;
constexpr int kWorkerErrorRole = Qt::UserRole + 1; // a port's last line on standard error
enum PortsColumn { PortNameColumn, PortStateColumn };

#ifdef Q_OS_WIN
const QString kWorkerProgram = QStringLiteral("velkan-cli.exe");
#else
const QString kWorkerProgram = QStringLiteral("velkan-cli");
#endif

const QString kPending = QStringLiteral("pendiente");
const QString kWriting = QStringLiteral("escribiendo");

QString statusKey(ProvisionStatus status)
{
    switch (status) {
    case ProvisionStatus::Applied:
        return QStringLiteral("aplicada");
    case ProvisionStatus::Failed:
        return QStringLiteral("fallida");
    case ProvisionStatus::Skipped:
        break;
    }
    return QStringLiteral("omitida");
}

std::optional<ProvisionStatus> statusOfState(const QString &state)
{
    if (state == QLatin1String("applied"))
        return ProvisionStatus::Applied;
    if (state == QLatin1String("failed"))
        return ProvisionStatus::Failed;
    if (state == QLatin1String("skipped"))
        return ProvisionStatus::Skipped;
    return std::nullopt;
}

// What a fault of the table or the template says, in the language in use.
QString faultText(const UnitsTableFault &fault)
{
    using Kind = UnitsTableFault::Kind;
    QString format;
    switch (fault.kind) {
    case Kind::EmptyTable:
        format = Translate(QStringLiteral("La tabla esta vacia"));
        break;
    case Kind::Unreadable:
        format = Translate(QStringLiteral("No se puede leer %1: %2"));
        break;
    case Kind::UnknownColumn:
        format = Translate(QStringLiteral("Columna desconocida \"%1\""));
        break;
    case Kind::RepeatedColumn:
        format = Translate(QStringLiteral("La columna \"%1\" da un valor que otra columna ya da"));
        break;
    case Kind::NoNumberColumn:
        format = Translate(QStringLiteral("No hay columna \"%1\" con los numeros de telefono"));
        break;
    case Kind::NoSerial:
        format = Translate(QStringLiteral("Falta el numero de serie"));
        break;
    case Kind::RepeatedSerial:
        format = Translate(QStringLiteral("El numero de serie %1 ya esta en la fila %2"));
        break;
    case Kind::PastLastColumn:
        format = Translate(QStringLiteral("Un valor despues de la ultima columna"));
        break;
    case Kind::NoNumber:
        format = Translate(QStringLiteral("Falta el numero de telefono"));
        break;
    case Kind::TextCannotGo:
        format = Translate(QStringLiteral("%1 %2 contiene \"%3\", que su linea a la unidad no puede llevar"));
        break;
    case Kind::TemplateTextCannotGo:
        format = Translate(QStringLiteral("Plantilla: %1 %2 contiene \"%3\", que su linea a la unidad no puede llevar"));
        break;
    case Kind::NotKept:
        format = Translate(QStringLiteral("\"%1\" se escribiria como \"%2\""));
        break;
    case Kind::ControlCharacter:
        format = Translate(QStringLiteral("Un caracter de control (%1) en la celda"));
        break;
    case Kind::NotDialable:
        format = Translate(QStringLiteral("\"%1\" no es un numero que el modem pueda marcar"));
        break;
    case Kind::OutOfRange:
        format = Translate(QStringLiteral("%1 %2 tiene %3, fuera de rango: %4"));
        break;
    case Kind::TemplateOutOfRange:
        format = Translate(QStringLiteral("Plantilla: %1 %2 tiene %3, fuera de rango: %4"));
        break;
    }
    return fillArgs(format, fault.args);
}

// A line or column number of a fault; none for a fault of the whole file.
QString faultPlace(int number)
{
    return number > 0 ? QString::number(number) : QString();
}

} // namespace

ProvisionWindow::ProvisionWindow(UnitConnection &unit, const SectionRegistry &sections,
                                 std::function<ConnectRequest()> request, std::function<void(bool)> lockNavigation,
                                 UserMessage message, QWidget *parent)
    : QWidget(parent),
      Titulo(named(new QLabel(this), "Titulo")),
      LabelPlantilla(named(new QLabel(this), "LabelPlantilla")),
      PlantillaPath(named(new QLineEdit(this), "PlantillaPath")),
      PlantillaBut(named(new QPushButton(this), "PlantillaBut")),
      LabelTabla(named(new QLabel(this), "LabelTabla")),
      TablaPath(named(new QLineEdit(this), "TablaPath")),
      TablaBut(named(new QPushButton(this), "TablaBut")),
      LabelInforme(named(new QLabel(this), "LabelInforme")),
      InformePath(named(new QLineEdit(this), "InformePath")),
      InformeBut(named(new QPushButton(this), "InformeBut")),
      OtraVez(named(new QCheckBox(this), "OtraVez")),
      NoListadas(named(new QCheckBox(this), "NoListadas")),
      LabelPuertos(named(new QLabel(this), "LabelPuertos")),
      Puertos(named(new QTreeWidget(this), "Puertos")),
      PuertoNuevo(named(new QLineEdit(this), "PuertoNuevo")),
      AgregarPuerto(named(new QPushButton(this), "AgregarPuerto")),
      BuscarPuertos(named(new QPushButton(this), "BuscarPuertos")),
      LabelCola(named(new QLabel(this), "LabelCola")),
      Cola(named(new QTreeWidget(this), "Cola")),
      LabelFaltas(named(new QLabel(this), "LabelFaltas")),
      Faltas(named(new QTreeWidget(this), "Faltas")),
      Iniciar(named(new QPushButton(this), "Iniciar")),
      Detener(named(new QPushButton(this), "Detener")),
      Estado(named(new QLabel(this), "Estado")),
      unit_(unit),
      sections_(sections),
      request_(std::move(request)),
      lockNavigation_(std::move(lockNavigation)),
      message_(std::move(message))
{
    setObjectName(QStringLiteral("Provisionar"));
    askOpenPath = [this](const QString &filter) { return QFileDialog::getOpenFileName(this, {}, {}, filter); };
    // The report is added to, never replaced.
    askReportPath = [this](const QString &filter, const QString &suggested) {
        return QFileDialog::getSaveFileName(this, {}, suggested, filter, nullptr, QFileDialog::DontConfirmOverwrite);
    };

    makeHeading(Titulo);
    for (QTreeWidget *list : {Puertos, Cola, Faltas}) {
        list->setRootIsDecorated(false);
        list->setSelectionMode(QAbstractItemView::NoSelection);
    }
    Puertos->setColumnCount(2);
    Puertos->header()->setSectionResizeMode(PortNameColumn, QHeaderView::ResizeToContents);
    Puertos->header()->setStretchLastSection(true);
    Cola->setColumnCount(5);
    Faltas->setColumnCount(3);
    Faltas->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Faltas->header()->setStretchLastSection(true);
    Estado->setWordWrap(true);
    Detener->setEnabled(false);

    auto *files = new QGridLayout;
    const QList<std::tuple<QLabel *, QLineEdit *, QPushButton *>> rows = {
        {LabelPlantilla, PlantillaPath, PlantillaBut}, {LabelTabla, TablaPath, TablaBut},
        {LabelInforme, InformePath, InformeBut}};
    for (int row = 0; row < rows.size(); ++row) {
        const auto &[label, path, button] = rows.at(row);
        files->addWidget(label, row, 0);
        files->addWidget(path, row, 1);
        files->addWidget(button, row, 2);
        connect(path, &QLineEdit::editingFinished, this, &ProvisionWindow::reload);
    }
    files->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Iniciar);
    buttons->addWidget(Detener);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(6);
    layout->addWidget(Titulo);
    layout->addLayout(files);
    layout->addWidget(OtraVez);
    layout->addWidget(NoListadas);
    layout->addWidget(LabelPuertos);
    auto *ports = new QHBoxLayout;
    ports->addWidget(Puertos, 1);
    auto *portButtons = new QVBoxLayout;
    portButtons->addWidget(PuertoNuevo);
    portButtons->addWidget(AgregarPuerto);
    portButtons->addWidget(BuscarPuertos);
    portButtons->addStretch(1);
    ports->addLayout(portButtons);
    layout->addLayout(ports, 1);
    layout->addWidget(LabelCola);
    layout->addWidget(Cola, 3);
    layout->addWidget(LabelFaltas);
    layout->addWidget(Faltas, 1);
    layout->addLayout(buttons);
    layout->addWidget(Estado);

    connect(PlantillaBut, &QPushButton::clicked, this, &ProvisionWindow::PlantillaBut_Click);
    connect(TablaBut, &QPushButton::clicked, this, &ProvisionWindow::TablaBut_Click);
    connect(InformeBut, &QPushButton::clicked, this, &ProvisionWindow::InformeBut_Click);
    connect(Iniciar, &QPushButton::clicked, this, &ProvisionWindow::Iniciar_Click);
    connect(Detener, &QPushButton::clicked, this, &ProvisionWindow::Detener_Click);
    connect(AgregarPuerto, &QPushButton::clicked, this, &ProvisionWindow::AgregarPuerto_Click);
    connect(PuertoNuevo, &QLineEdit::returnPressed, this, &ProvisionWindow::AgregarPuerto_Click);
    connect(BuscarPuertos, &QPushButton::clicked, this, &ProvisionWindow::BuscarPuertos_Click);
    onLanguageChange(this, &ProvisionWindow::LoadText);

    LoadText();
    showButtons();
}

// Closing the program while workers run stops them; ProvisionWorkers waits
// for their current units.
ProvisionWindow::~ProvisionWindow()
{
    if (workers_)
        workers_->stop();
}

void ProvisionWindow::LoadText()
{
    Titulo->setText(Translate(QStringLiteral("Provisionar unidades")));
    LabelPlantilla->setText(Translate(QStringLiteral("Plantilla:")));
    LabelTabla->setText(Translate(QStringLiteral("Tabla de unidades:")));
    LabelInforme->setText(Translate(QStringLiteral("Informe:")));
    for (QPushButton *button : {PlantillaBut, TablaBut, InformeBut})
        button->setText(Translate(QStringLiteral("Buscar")));
    OtraVez->setText(Translate(QStringLiteral("Escribir tambien las unidades que el informe tiene como aplicadas")));
    NoListadas->setText(Translate(QStringLiteral("Escribir la plantilla sola en las unidades que no estan en la tabla")));
    LabelPuertos->setText(
        Translate(QStringLiteral("Puertos donde se conectan las unidades (sin ninguno marcado, el de la ventana General)")));
    Puertos->setHeaderLabels({Translate(QStringLiteral("Puerto")), Translate(QStringLiteral("Estado"))});
    AgregarPuerto->setText(Translate(QStringLiteral("Agregar")));
    BuscarPuertos->setText(Translate(QStringLiteral("Buscar puertos")));
    LabelCola->setText(Translate(QStringLiteral("Unidades")));
    Cola->setHeaderLabels({Translate(QStringLiteral("Serie")), Translate(QStringLiteral("Nombre")),
                           Translate(QStringLiteral("Estado")), Translate(QStringLiteral("Diferencias")),
                           Translate(QStringLiteral("Puerto"))});
    LabelFaltas->setText(Translate(QStringLiteral("Errores de la tabla y la plantilla")));
    Faltas->setHeaderLabels({Translate(QStringLiteral("Fila")), Translate(QStringLiteral("Columna")),
                             Translate(QStringLiteral("Motivo"))});
    Iniciar->setText(Translate(QStringLiteral("Iniciar")));
    Detener->setText(Translate(QStringLiteral("Detener")));
    for (int i = 0; i < Cola->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = Cola->topLevelItem(i);
        row->setText(StatusColumn, Translate(row->data(StatusColumn, kStatusRole).toString()));
    }
    // The reasons and the state line are made again in the language chosen.
    for (int i = 0; i < Faltas->topLevelItemCount() && i < faultReasons_.size(); ++i)
        Faltas->topLevelItem(i)->setText(2, faultReasons_.at(i)());
    if (state_)
        Estado->setText(state_());
}

// The ports are looked for when the window is first shown, not when the
// program starts: opening every port takes a while on some systems.
void ProvisionWindow::showEvent(QShowEvent *event)
{
    if (!std::exchange(portsListed_, true))
        BuscarPuertos_Click();
    QWidget::showEvent(event);
}

void ProvisionWindow::BuscarPuertos_Click()
{
    if (isRunning())
        return;
    portsListed_ = true;
    // Scanning closes nothing that is open: while connected it finds nothing.
    const QStringList found = unit_.scanPorts();
    for (int i = Puertos->topLevelItemCount() - 1; i >= 0; --i) {
        const QTreeWidgetItem *item = Puertos->topLevelItem(i);
        if (item->checkState(PortNameColumn) != Qt::Checked && !found.contains(item->text(PortNameColumn)))
            delete item;
    }
    for (const QString &port : found)
        addPort(port, false);
}

void ProvisionWindow::AgregarPuerto_Click()
{
    const QString port = PuertoNuevo->text().trimmed();
    if (port.isEmpty() || isRunning())
        return;
    addPort(port, true);
    PuertoNuevo->clear();
}

void ProvisionWindow::addPort(const QString &port, bool ticked)
{
    const QList<QTreeWidgetItem *> found = Puertos->findItems(port, Qt::MatchExactly, PortNameColumn);
    QTreeWidgetItem *item = found.isEmpty() ? new QTreeWidgetItem(Puertos, {port}) : found.first();
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    if (found.isEmpty() || ticked)
        item->setCheckState(PortNameColumn, ticked ? Qt::Checked : Qt::Unchecked);
}

QStringList ProvisionWindow::chosenPorts() const
{
    QStringList ports;
    for (int i = 0; i < Puertos->topLevelItemCount(); ++i)
        if (Puertos->topLevelItem(i)->checkState(PortNameColumn) == Qt::Checked)
            ports << Puertos->topLevelItem(i)->text(PortNameColumn);
    return ports;
}

void ProvisionWindow::PlantillaBut_Click()
{
    const QString chosen = askOpenPath(FileCommands::fileFilter());
    if (chosen.isEmpty())
        return;
    PlantillaPath->setText(chosen);
    reload();
}

void ProvisionWindow::TablaBut_Click()
{
    const QString chosen = askOpenPath(FileCommands::translatedFilter(kTableFilter));
    if (chosen.isEmpty())
        return;
    TablaPath->setText(chosen);
    reload();
}

void ProvisionWindow::InformeBut_Click()
{
    const QString chosen = askReportPath(FileCommands::translatedFilter(kTableFilter), InformePath->text());
    if (chosen.isEmpty())
        return;
    // The report is added to, so a name typed without extension is simply completed.
    InformePath->setText(withExtension(chosen, QStringLiteral("csv")));
    reload();
}

// A table brings its report beside it, unless the operator named another.
void ProvisionWindow::reload()
{
    if (isRunning())
        return;
    const QString table = TablaPath->text();
    if (!table.isEmpty() && (InformePath->text().isEmpty() || InformePath->text() == suggestedReport_)) {
        suggestedReport_ = QDir::toNativeSeparators(ProvisionReport::besideTable(table));
        InformePath->setText(suggestedReport_);
    }
    Cola->clear();
    Faltas->clear();
    faultReasons_.clear();
    ready_ = false;
    showState({});
    if (!PlantillaPath->text().isEmpty() && !table.isEmpty()) {
        QList<UnitsTableFault> faults;
        FileFailure failure;
        if (!plan_.load(PlantillaPath->text(), table, sections_, {}, faults, &failure)) {
            addFault(0, 0, [failure] {
                return Translate(QStringLiteral("No es un archivo de configuracion valido")) + u' '
                       + fileFailureText(failure);
            });
        } else {
            for (const UnitsTableFault &fault : std::as_const(faults))
                addFault(fault.line, fault.column, [fault] { return faultText(fault); });
            ProvisionReport report(InformePath->text());
            const bool reportRead = loadReport(report);
            ready_ = faults.isEmpty() && reportRead;
            showQueue(report);
        }
    }
    LabelFaltas->setVisible(Faltas->topLevelItemCount() > 0);
    Faltas->setVisible(Faltas->topLevelItemCount() > 0);
    showButtons();
}

// A report that cannot be read is a fault: the run could not tell which
// units it has already written.
bool ProvisionWindow::loadReport(ProvisionReport &report)
{
    FileFailure failure;
    if (!report.path().isEmpty() && report.load(&failure))
        return true;
    addFault(0, 0, [missing = report.path().isEmpty(), failure] {
        return missing ? Translate(QStringLiteral("Falta el archivo del informe")) : fileFailureText(failure);
    });
    return false;
}

void ProvisionWindow::addFault(int line, int column, std::function<QString()> reason)
{
    Faltas->addTopLevelItem(new QTreeWidgetItem({faultPlace(line), faultPlace(column), reason()}));
    faultReasons_.append(std::move(reason));
}

void ProvisionWindow::showState(std::function<QString()> text)
{
    state_ = std::move(text);
    Estado->setText(state_ ? state_() : QString());
}

// The table's units in its order, each with the name it will get; the units
// the report has as applied say so.
void ProvisionWindow::showQueue(const ProvisionReport &report)
{
    for (const UnitsRow &unit : plan_.table.rows()) {
        QTreeWidgetItem *row = addQueueRow(unit.serial);
        row->setText(NameColumn, plan_.table.unitDocument(plan_.templ, unit).readValue("General", "NOMBRE"));
        showStatus(row, report.applied(unit.serial) ? statusKey(ProvisionStatus::Applied) : kPending);
    }
    Cola->resizeColumnToContents(SerialColumn);
}

QTreeWidgetItem *ProvisionWindow::addQueueRow(const QString &serial)
{
    auto *row = new QTreeWidgetItem(Cola, {serial});
    row->setTextAlignment(DifferencesColumn, Qt::AlignRight);
    return row;
}

// The queue's row of a serial; a unit not in the table gets one at the end.
QTreeWidgetItem *ProvisionWindow::queueRow(const QString &serial)
{
    const QList<QTreeWidgetItem *> found = Cola->findItems(serial, Qt::MatchExactly, SerialColumn);
    return found.isEmpty() ? addQueueRow(serial) : found.first();
}

void ProvisionWindow::showStatus(QTreeWidgetItem *row, const QString &status)
{
    row->setData(StatusColumn, kStatusRole, status);
    row->setText(StatusColumn, Translate(status));
}

void ProvisionWindow::showRecord(const ProvisionRecord &record, const QString &port)
{
    QTreeWidgetItem *row = queueRow(record.serial);
    // A unit another port is writing, or wrote in this run, keeps that row
    // when it is refused elsewhere: the refusal must not hide the write.
    if (record.status == ProvisionStatus::Skipped && takenThisRun_.contains(record.serial))
        return;
    if (record.status == ProvisionStatus::Failed)
        takenThisRun_.remove(record.serial);
    showStatus(row, statusKey(record.status));
    row->setText(PortColumn, port);
    row->setText(DifferencesColumn,
                 record.status == ProvisionStatus::Skipped ? QString() : QString::number(record.differences));
    // Why a unit was not applied, or where its copy went.
    const QString detail = record.detail.isEmpty() ? QDir::toNativeSeparators(record.historyFile) : record.detail;
    for (int column = 0; column < Cola->columnCount(); ++column)
        row->setToolTip(column, detail);
    Cola->scrollToItem(row);
}

void ProvisionWindow::showButtons()
{
    Iniciar->setEnabled(ready_ && !isRunning());
    Detener->setEnabled(isRunning());
}

QList<QWidget *> ProvisionWindow::lockedForRun() const
{
    return {PlantillaPath, PlantillaBut, TablaPath,   TablaBut,      InformePath,  InformeBut,
            OtraVez,       NoListadas,   Puertos,     PuertoNuevo,   AgregarPuerto, BuscarPuertos};
}

void ProvisionWindow::Iniciar_Click()
{
    if (isRunning())
        return;
    reload();
    if (!ready_)
        return;
    const QStringList ports = chosenPorts();
    ConnectRequest request;
    if (!ports.isEmpty())
        request.port = ports.first();
    else
        request = request_();
    // Waiting for the next unit on a modem would call the same number again
    // and again; the simulated unit ends with each disconnect, and every look
    // for the next unit would start another one with the same serial.
    if (!request.modemNumber.isEmpty() || request.simulated) {
        message_(QMessageBox::Information,
                 request.simulated
                     ? Translate(QStringLiteral("Las unidades se escriben por cable: elija en la ventana General el puerto donde se conectan, no la unidad simulada"))
                     : Translate(QStringLiteral("Las unidades se escriben por cable: desmarque Modem en la ventana General")),
                 QMessageBox::Ok);
        return;
    }
    ProvisionReport report(InformePath->text());
    if (!loadReport(report))
        return;
    plan_.again = OtraVez->isChecked();
    plan_.allowUnlisted = NoListadas->isChecked();
    // A unit connected elsewhere is not one of the batch, and a worker could
    // not open a port the program holds.
    if (!ports.isEmpty() && unit_.isConnected()
        && (ports.size() > 1 || unit_.portName() != request.port || unit_.modemCall())) {
        unit_.disconnectUnit();
        if (unit_.isConnected())
            return; // an exchange still runs: the operator tries again
    }
    takenThisRun_.clear();
    if (ports.size() > 1)
        runOnPorts(ports);
    else
        run(report, request);
}

// The run holds the window and the tree: between two units it owns the
// connection, and the General window's transfers must not reach for it.
void ProvisionWindow::run(ProvisionReport &report, const ConnectRequest &request)
{
    Provisioner provisioner(unit_, sections_, report);
    connect(&provisioner, &Provisioner::waiting, this, [this, port = request.port](const QString &last) {
        showState([last, port] {
            return last.isEmpty() ? Translate(QStringLiteral("Esperando una unidad en %1...")).arg(port)
                                  : Translate(QStringLiteral("Unidad %1 terminada. Conecte la siguiente unidad en %2."))
                                        .arg(last, port);
        });
    });
    const QString port = request.port;
    connect(&provisioner, &Provisioner::started, this, [this, port](const QString &serial) {
        QTreeWidgetItem *row = queueRow(serial);
        showStatus(row, kWriting);
        row->setText(PortColumn, port);
        takenThisRun_.insert(serial);
        showState([serial] { return Translate(QStringLiteral("Unidad %1: escribiendo la configuracion...")).arg(serial); });
    });
    connect(&provisioner, &Provisioner::finished, this,
            [this, port](const ProvisionRecord &record) { showRecord(record, port); });
    // The run stops with it; the queue keeps what was done.
    bool reportFailed = false;
    connect(&provisioner, &Provisioner::reportFailed, this, [this, &reportFailed](const FileFailure &failure) {
        reportFailed = true;
        message_(QMessageBox::Warning,
                 Translate(QStringLiteral("No se pudo escribir la linea del informe")) + QStringLiteral("\n\n")
                     + fileFailureText(failure),
                 QMessageBox::Ok);
    });

    bool allApplied = false;
    running_ = &provisioner;
    {
        const RunLock lock(lockNavigation_, lockedForRun(), false);
        showButtons();
        allApplied = provisioner.run(plan_, request);
    }
    running_ = nullptr;
    showButtons();
    reportFailed_ = reportFailed;
    showEnd(allApplied);
}

void ProvisionWindow::showEnd(bool allApplied)
{
    showState([allApplied, reportFailed = reportFailed_] {
        if (reportFailed)
            return Translate(QStringLiteral("Provision detenida: el informe no se puede escribir"));
        return allApplied ? Translate(QStringLiteral("Provision terminada: cada unidad escrita quedo aplicada"))
                          : Translate(QStringLiteral("Provision terminada: hay unidades que no quedaron aplicadas"));
    });
}

// Several ports: one velkan-cli worker each, run as the command line runs
// them, so that they share the report, its lock and the claims on units.
// The window returns to its event loop at once and follows their lines.
void ProvisionWindow::runOnPorts(const QStringList &ports)
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(kWorkerProgram);
    if (!QFileInfo::exists(program)) {
        message_(QMessageBox::Warning,
                 Translate(QStringLiteral("No se encuentra %1, que escribe en varios puertos a la vez"))
                     .arg(QDir::toNativeSeparators(program)),
                 QMessageBox::Ok);
        return;
    }
    const QString report = QFileInfo(InformePath->text()).absoluteFilePath();
    qint64 runStart = 0;
    {
        // Where this run's lines begin: the workers tell the run's own
        // applied units from earlier runs' by it.
        const ProvisionReportLock lock(report);
        if (!lock.held()) {
            message_(QMessageBox::Warning,
                     Translate(QStringLiteral("No se puede crear el archivo de bloqueo junto al informe %1: en varios "
                                              "puertos la misma unidad podria escribirse dos veces"))
                         .arg(QDir::toNativeSeparators(report)),
                     QMessageBox::Ok);
            return;
        }
        runStart = QFileInfo::exists(report) ? QFileInfo(report).size() : 0;
    }
    QStringList options{"--progress", "json", "--report", report, "--run-start", QString::number(runStart)};
    if (plan_.again)
        options << "--again";
    if (plan_.allowUnlisted)
        options << "--allow-unlisted";
    const QStringList files{"provision", QFileInfo(PlantillaPath->text()).absoluteFilePath(),
                            QFileInfo(TablaPath->text()).absoluteFilePath()};

    reportFailed_ = false;
    for (int i = 0; i < Puertos->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = Puertos->topLevelItem(i);
        item->setText(PortStateColumn, {});
        item->setToolTip(PortStateColumn, {});
        item->setData(PortStateColumn, kWorkerErrorRole, {});
    }
    workers_ = new ProvisionWorkers(this);
    connect(workers_, &ProvisionWorkers::event, this, &ProvisionWindow::followEvent);
    // What a worker says on standard error (a port that does not open, a
    // file it cannot read) is shown on its port as it says it.
    connect(workers_, &ProvisionWorkers::errorLine, this, [this](const QString &port, const QString &line) {
        const QList<QTreeWidgetItem *> found = Puertos->findItems(port, Qt::MatchExactly, PortNameColumn);
        if (line.isEmpty() || found.isEmpty())
            return;
        found.first()->setData(PortStateColumn, kWorkerErrorRole, line);
        showPortState(port, line);
    });
    connect(workers_, &ProvisionWorkers::finished, this, &ProvisionWindow::endRunOnPorts);
    runLock_ = std::make_unique<RunLock>(lockNavigation_, lockedForRun(), false);
    showButtons();
    showState([count = ports.size()] { return Translate(QStringLiteral("Escribiendo unidades en %1 puertos...")).arg(count); });
    workers_->start(program, ports, [&](const QString &port) { return QStringList{"--port", port} + options + files; });
}

void ProvisionWindow::showPortState(const QString &port, const QString &text)
{
    const QList<QTreeWidgetItem *> found = Puertos->findItems(port, Qt::MatchExactly, PortNameColumn);
    if (found.isEmpty())
        return;
    found.first()->setText(PortStateColumn, text);
    found.first()->setToolTip(PortStateColumn, text);
}

void ProvisionWindow::followEvent(const ProvisionEvent &e)
{
    if (e.state == QLatin1String("waiting")) {
        showPortState(e.port, e.serial.isEmpty()
                                  ? Translate(QStringLiteral("Esperando una unidad"))
                                  : Translate(QStringLiteral("Unidad %1 terminada. Conecte la siguiente unidad.")).arg(e.serial));
    } else if (e.state == QLatin1String("writing")) {
        QTreeWidgetItem *row = queueRow(e.serial);
        showStatus(row, kWriting);
        row->setText(PortColumn, e.port);
        takenThisRun_.insert(e.serial);
        showPortState(e.port, Translate(QStringLiteral("Unidad %1: escribiendo la configuracion...")).arg(e.serial));
    } else if (const std::optional<ProvisionStatus> status = statusOfState(e.state)) {
        ProvisionRecord record;
        record.serial = e.serial;
        record.status = *status;
        record.differences = e.differences;
        record.historyFile = e.history;
        record.detail = e.detail;
        showRecord(record, e.port);
    } else if (e.state == QLatin1String("report-failed")) {
        // Told once: every port stops on it. The message waits for the
        // window's loop, so that no dialog runs inside a worker's signal.
        if (!std::exchange(reportFailed_, true))
            QMetaObject::invokeMethod(this, [this, detail = e.detail] {
                message_(QMessageBox::Warning,
                         Translate(QStringLiteral("No se pudo escribir la linea del informe")) + QStringLiteral("\n\n")
                             + detail,
                         QMessageBox::Ok);
            }, Qt::QueuedConnection);
    } else if (e.state == QLatin1String("ended")) {
        // A port that ended badly keeps the worker's last words in view.
        const QList<QTreeWidgetItem *> found = Puertos->findItems(e.port, Qt::MatchExactly, PortNameColumn);
        const QString said = found.isEmpty() ? QString() : found.first()->data(PortStateColumn, kWorkerErrorRole).toString();
        if (e.status == 0)
            showPortState(e.port, Translate(QStringLiteral("Terminado")));
        else if (said.isEmpty())
            showPortState(e.port, Translate(QStringLiteral("Terminado: hay unidades que no quedaron aplicadas")));
        else
            showPortState(e.port, Translate(QStringLiteral("Terminado: %1")).arg(said));
    }
}

void ProvisionWindow::endRunOnPorts(int status)
{
    // Released later: this runs inside the workers' own signal.
    workers_->deleteLater();
    workers_ = nullptr;
    runLock_.reset();
    showButtons();
    showEnd(status == 0);
}

void ProvisionWindow::Detener_Click()
{
    if (workers_) {
        workers_->stop();
        Detener->setEnabled(false);
        showState([] { return Translate(QStringLiteral("Se detendra al terminar la unidad en curso")); });
        return;
    }
    if (!running_)
        return;
    running_->stop();
    Detener->setEnabled(false);
    showState([] { return Translate(QStringLiteral("Se detendra al terminar la unidad en curso")); });
}

// The program is closing: a waiting run ends now, a unit being written first.
void ProvisionWindow::closeEvent(QCloseEvent *event)
{
    if (running_)
        running_->stop();
    if (workers_)
        workers_->stop();
    QWidget::closeEvent(event);
}
