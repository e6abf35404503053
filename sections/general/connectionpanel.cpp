#include "connectionpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "files/configcompare.h"
#include "files/langtable.h"
#include "link/comms.h"
#include "link/connection.h"
#include "link/devicecommands.h"
#include "link/unitconnection.h"
#include "linkfailuretext.h"
#include "model/product.h"
#include "widgets/namedwidget.h"

namespace {

const QString kSimulatedEntry = QStringLiteral("Unidad simulada");
constexpr int kSimulatedRole = Qt::UserRole + 1;
// How the settings name the simulated unit, whatever the language shows.
const QString kSimulatedChoice = QStringLiteral("@simulated");

} // namespace

ConnectionPanel::ConnectionPanel(Context context, QWidget *parent)
    : QWidget(parent),
      FramePuerto(named(new QGroupBox(this), "FramePuerto")),
      Puerto(named(new QComboBox(FramePuerto), "Puerto")),
      SearchBut(named(new QPushButton(FramePuerto), "SearchBut")),
      ModemCheck(named(new QCheckBox(FramePuerto), "ModemCheck")),
      CallNumLabel(named(new QLabel(FramePuerto), "CallNumLabel")),
      CallNum(named(new QLineEdit(FramePuerto), "CallNum")),
      IniCom(named(new QPushButton(this), "IniCom")),
      Leer(named(new QPushButton(this), "Leer")),
      Escribir(named(new QPushButton(this), "Escribir")),
      ComStat(named(new StatusLabel(this), "ComStat")),
      PBar(named(new QProgressBar(this), "PBar")),
      TimerComms(named(new QTimer(this), "TimerComms")),
      ctx_(std::move(context))
{
    Puerto->setEditable(true);
    Puerto->setInsertPolicy(QComboBox::NoInsert);
    Puerto->setMinimumContentsLength(12);
    PBar->setTextVisible(false);
    PBar->setFixedHeight(14);
    PBar->setValue(0);
    Leer->setEnabled(false);
    Escribir->setEnabled(false);

    // The port box takes the width the search button leaves, so that a typed
    // device path shows whole; its tooltip holds it in any case.
    auto *choice = new QHBoxLayout;
    choice->addWidget(Puerto, 1);
    choice->addWidget(SearchBut);
    auto *call = new QHBoxLayout;
    call->addWidget(ModemCheck);
    call->addWidget(CallNumLabel);
    call->addWidget(CallNum, 1);
    CallNumLabel->setBuddy(CallNum);
    auto *port = new QVBoxLayout(FramePuerto);
    port->setContentsMargins(6, 2, 6, 4);
    port->setSpacing(2);
    port->addLayout(choice);
    port->addLayout(call);
    connect(Puerto, &QComboBox::currentTextChanged, Puerto, &QWidget::setToolTip);

    auto *transfer = new QHBoxLayout;
    transfer->addWidget(Leer);
    transfer->addWidget(Escribir);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(FramePuerto);
    layout->addWidget(IniCom);
    layout->addLayout(transfer);
    layout->addWidget(ComStat);
    layout->addWidget(PBar);
    layout->addStretch();

    connect(SearchBut, &QPushButton::clicked, this, &ConnectionPanel::SearchBut_Click);
    connect(ModemCheck, &QCheckBox::clicked, this, &ConnectionPanel::ModemCheck_Click);
    connect(IniCom, &QPushButton::clicked, this, &ConnectionPanel::IniCom_Click);
    connect(Leer, &QPushButton::clicked, this, &ConnectionPanel::Leer_Click);
    connect(Escribir, &QPushButton::clicked, this, &ConnectionPanel::Escribir_Click);
    connect(TimerComms, &QTimer::timeout, this, &ConnectionPanel::TimerComms_Timer);

    UnitConnection &unit = ctx_.unit;
    // Other windows connect and disconnect too (a batch of units, the firmware update).
    connect(&unit, &UnitConnection::connected, this, &ConnectionPanel::showConnectionState);
    connect(&unit, &UnitConnection::carrierLost, this, [this] {
        ctx_.message(QMessageBox::NoIcon, Translate(QStringLiteral("Se corto la comunicacion")),
                     QMessageBox::Ok);
    });
    connect(&unit, &UnitConnection::verifying, this,
            [this] { setStatus([] { return Translate(QStringLiteral("Verificando configuracion...")); }); });
    connect(&unit, &UnitConnection::portLost, this, [this](const LinkFailure &failure) {
        setStatus([failure] { return LinkFailureText(failure); });
        showButtons();
    });
    connect(&unit, &UnitConnection::disconnected, this, &ConnectionPanel::linkDropped);

    TimerComms->start(1000);
}

ConnectionPanel::~ConnectionPanel()
{
    setBusyPointer(false);
}

void ConnectionPanel::LoadText()
{
    FramePuerto->setTitle(Translate(QStringLiteral("Puerto")));
    SearchBut->setText(Translate(QStringLiteral("Buscar puertos")));
    ModemCheck->setText(Translate(QStringLiteral("Modem")));
    CallNumLabel->setText(Translate(QStringLiteral("Numero")));
    Leer->setText(Translate(QStringLiteral("Leer conf.")));
    Escribir->setText(Translate(QStringLiteral("Escribir conf.")));
    const bool detecting = !ctx_.unit.isConnected() && (connectRequest_ || ctx_.unit.connecting());
    IniCom->setText(Translate(detecting                   ? QStringLiteral("Cancelar")
                              : ctx_.unit.isConnected() ? QStringLiteral("Cerrar comunicacion")
                                                        : QStringLiteral("Iniciar comunicacion")));
    // Renaming the entry shown would put its name over a typed device path:
    // the choice is taken before and given back after, whatever the language.
    const int simulated = Puerto->findData(true, kSimulatedRole);
    if (simulated >= 0) {
        const QString chosen = portChoice();
        Puerto->setItemText(simulated, Translate(kSimulatedEntry));
        if (chosen != kSimulatedChoice && Puerto->currentText() != chosen)
            Puerto->setEditText(chosen);
    }
    if (status_)
        setStatus(status_);
}

QString ConnectionPanel::portText() const
{
    return Puerto->currentText();
}

QString ConnectionPanel::portChoice() const
{
    return simulatedChosen() ? kSimulatedChoice : Puerto->currentText();
}

void ConnectionPanel::choosePort(const QString &choice)
{
    if (choice.isEmpty())
        return;
    const int index = choice == kSimulatedChoice ? Puerto->findData(true, kSimulatedRole) : Puerto->findText(choice);
    if (index >= 0)
        Puerto->setCurrentIndex(index);
    else if (choice != kSimulatedChoice)
        Puerto->setEditText(choice); // a typed path, such as a pseudo-terminal
}

bool ConnectionPanel::simulatedChosen() const
{
    const int simulated = Puerto->findData(true, kSimulatedRole);
    return simulated >= 0 && Puerto->currentText() == Puerto->itemText(simulated);
}

void ConnectionPanel::SearchBut_Click()
{
    if (ctx_.unit.isConnected())
        return;
    SearchBut->setEnabled(false);
    const QString chosen = portChoice();
    Puerto->clear();
    Puerto->addItems(ctx_.unit.scanPorts());
    Puerto->addItem(Translate(kSimulatedEntry));
    Puerto->setItemData(Puerto->count() - 1, true, kSimulatedRole);
    // The choice stays when the new list still offers it.
    const int offered = chosen == kSimulatedChoice ? Puerto->count() - 1 : Puerto->findText(chosen);
    Puerto->setCurrentIndex(qMax(offered, 0));
    SearchBut->setEnabled(true);
}

void ConnectionPanel::ModemCheck_Click()
{
    CallNumLabel->setEnabled(ModemCheck->isChecked());
    CallNum->setEnabled(ModemCheck->isChecked());
}

// A modem call needs a number to dial: without one nothing starts, and the
// operator is taken to the box.
bool ConnectionPanel::refuseMissingNumber()
{
    if (!ModemCheck->isChecked() || !CallNum->text().trimmed().isEmpty())
        return false;
    const auto text = [] { return Translate(QStringLiteral("Escriba el numero al que debe llamar el modem.")); };
    setStatus(text);
    ctx_.message(QMessageBox::Warning, text(), QMessageBox::Ok);
    CallNum->setFocus();
    return true;
}

// While the unit is being detected the button cancels; a request not yet
// taken up by the timer is simply withdrawn.
void ConnectionPanel::IniCom_Click()
{
    UnitConnection &unit = ctx_.unit;
    if (unit.connecting()) {
        unit.cancelConnect();
        return;
    }
    if (connectRequest_ && !unit.isConnected()) {
        connectRequest_ = false;
        setBusyPointer(false);
        showConnectionState();
        return;
    }
    if (!unit.isConnected() && refuseMissingNumber())
        return;
    setBusyPointer(true);
    connectRequest_ = true;
    if (unit.isConnected()) {
        showRequested(nullptr, QStringLiteral("Cerrando comunicacion..."));
    } else {
        showDetection();
    }
}

void ConnectionPanel::Leer_Click()
{
    if (!ctx_.unit.isConnected())
        return;
    if (ctx_.readyToReplace && !ctx_.readyToReplace())
        return;
    setBusyPointer(true);
    downloadRequest_ = true;
    showRequested(Leer, QStringLiteral("Descargando configuracion..."));
}

// Fields that cannot be sent are told even with no unit to send them to.
void ConnectionPanel::Escribir_Click()
{
    if ((ctx_.readyToSend && !ctx_.readyToSend()) || !ctx_.unit.isConnected() || !confirmOtherUnit())
        return;
    setBusyPointer(true);
    uploadRequest_ = true;
    showRequested(Escribir, QStringLiteral("Escribiendo configuracion..."));
}

// One unit's configuration goes to another only when the operator says so,
// with both named: the caption alone is too easily missed.
bool ConnectionPanel::confirmOtherUnit()
{
    const QString source = ctx_.configSource ? ctx_.configSource().trimmed() : QString();
    const QString target = ctx_.unit.Device.SerialNumber.trimmed();
    if (source.isEmpty() || target.isEmpty() || ServiceHistory::sameUnit(source, target))
        return true;
    const QString question =
        Translate(QStringLiteral("Esta configuracion es de la unidad %1 y la unidad conectada es la %2. "
                                 "Desea escribirla en la unidad %2?"))
            .arg(source, target);
    return ctx_.message(QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// The click is acknowledged at once; the work starts on the next tick.
void ConnectionPanel::showRequested(QPushButton *button, const QString &status)
{
    setStatus([status] { return Translate(status); });
    if (button)
        button->setEnabled(false);
}

// The status line shows what fits; its tooltip, the whole text. The text is
// made again in the language chosen whenever that changes.
void ConnectionPanel::setStatus(std::function<QString()> text)
{
    status_ = std::move(text);
    const QString shown = status_();
    ComStat->setText(shown);
    ComStat->setToolTip(shown);
}

void ConnectionPanel::showDetection()
{
    const QString port = Puerto->currentText();
    setStatus([port] {
        return Translate(QStringLiteral("Detectando ")) + Product::ProductTitle + QStringLiteral(" (") + port
               + QStringLiteral(")...");
    });
    IniCom->setText(Translate(QStringLiteral("Cancelar")));
}

void ConnectionPanel::TimerComms_Timer()
{
    // The exchanges below wait on the event loop, where this timer keeps
    // firing; a tick that comes while an earlier one waits has nothing to add.
    if (ticking_)
        return;
    ticking_ = true;
    UnitConnection &unit = ctx_.unit;
    if (connectRequest_ && !unit.comms().CommsBusy())
        connectOrDisconnect();
    if (unit.isConnected() && ctx_.active()) {
        const auto progress = [this](int value, int maximum) {
            PBar->setMaximum(qMax(maximum, 1));
            PBar->setValue(qBound(0, value, PBar->maximum()));
        };
        if (uploadRequest_ && beforeUpload && !beforeUpload())
            refuseUpload();
        // Every upload is checked by downloading it again on the same bar.
        QList<ConfigDifference> differences;
        runTransfer(uploadRequest_, QStringLiteral("Escribiendo configuracion..."),
                    QStringLiteral("Configuracion verificada"),
                    [&] { return unit.uploadVerified(ctx_.store, ctx_.sections, differences, progress); });
        if (!differences.isEmpty())
            showDifferences(differences);
        runTransfer(downloadRequest_, QStringLiteral("Descargando configuracion..."),
                    QStringLiteral("Configuracion descargada con exito"),
                    [&] { return unit.download(ctx_.store, ctx_.sections, progress); });
        // A transfer may have lost the link: then there is nobody to ask.
        if (unit.isConnected())
            unit.readInfo();
    }
    ticking_ = false;
}

void ConnectionPanel::connectOrDisconnect()
{
    UnitConnection &unit = ctx_.unit;
    setBusyPointer(true);
    if (unit.isConnected()) {
        unit.disconnectUnit();
    } else {
        showDetection();
        if (connectUnit())
            afterConnect();
    }
    showConnectionState();
    if (!unit.isConnected() && unit.lastError())
        showFailure(unit.lastError());
    setBusyPointer(false);
    connectRequest_ = false;
}

ConnectRequest ConnectionPanel::connectRequest() const
{
    ConnectRequest request;
    request.simulated = simulatedChosen();
    request.port = Puerto->currentText();
    if (ModemCheck->isChecked())
        request.modemNumber = CallNum->text();
    return request;
}

bool ConnectionPanel::connectUnit()
{
    if (refuseMissingNumber())
        return false;
    return ctx_.unit.connectUnit(connectRequest());
}

// Failures to open or to start are told in a message box; a unit or a modem
// that does not answer, in the status line.
void ConnectionPanel::showFailure(const LinkFailure &failure)
{
    const QString text = LinkFailureText(failure);
    setStatus([failure] { return LinkFailureText(failure); });
    switch (failure.error) {
    case LinkError::PortMissing:
    case LinkError::PortInUse:
    case LinkError::PortPermission:
    case LinkError::PortOther:
    case LinkError::SimulatorFailed:
        ctx_.message(QMessageBox::Warning, text, QMessageBox::Ok);
        break;
    default:
        break;
    }
}

void ConnectionPanel::afterConnect()
{
    UnitConnection &unit = ctx_.unit;
    Comms &comms = unit.comms();
    unit.readInfo();
    ReadTotalCount(comms, unit.Device);
    ReadIOParameter(comms, unit.Device);
    ReadDeviceRTC(comms, unit.Device);
    const QDateTime pc = QDateTime::currentDateTime();
    if (ClockOutOfSync(unit.Device.DeviceClock, pc)) {
        const QLocale locale;
        const auto answer = ctx_.message(
            QMessageBox::Question,
            Translate(QStringLiteral("Parece que la hora del dispositivo no esta sincronizada, "
                                     "desea sincronizarlo con la hora del PC?"))
                + QStringLiteral("\n\n") + Translate(QStringLiteral("Hora del dispositivo:")) + u' '
                + locale.toString(unit.Device.DeviceClock, QLocale::ShortFormat) + QStringLiteral("\n")
                + Translate(QStringLiteral("Hora del PC:")) + u' ' + locale.toString(pc, QLocale::ShortFormat),
            QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            WriteDeviceRTC(comms);
    }
}

void ConnectionPanel::sourceChanged()
{
    if (!connectRequest_ && !downloadRequest_ && !uploadRequest_)
        showConnectionState();
}

void ConnectionPanel::showConnectionState()
{
    const bool connected = ctx_.unit.isConnected();
    setStatus([connected] {
        return Translate(connected ? QStringLiteral("Comunicacion iniciada") : QStringLiteral("Comunicacion no iniciada"));
    });
    showButtons();
}

// Whatever ended the link (the operator, a lost port, the firmware's
// hand-over to its loader), nothing waits for it: the transfers asked for are
// dropped and what needs the unit stays disabled until the next connection.
void ConnectionPanel::linkDropped()
{
    downloadRequest_ = false;
    uploadRequest_ = false;
    if (ctx_.unit.lastError().error != LinkError::PortLost)
        setStatus([] { return Translate(QStringLiteral("Comunicacion no iniciada")); });
    showButtons();
    if (!connectRequest_)
        setBusyPointer(false);
}

void ConnectionPanel::showButtons()
{
    const bool connected = ctx_.unit.isConnected();
    IniCom->setText(Translate(connected ? QStringLiteral("Cerrar comunicacion")
                                        : QStringLiteral("Iniciar comunicacion")));
    Leer->setEnabled(connected);
    Escribir->setEnabled(connected);
}

void ConnectionPanel::refuseUpload()
{
    uploadRequest_ = false;
    setStatus([] { return Translate(QStringLiteral("Configuracion no enviada")); });
    Escribir->setEnabled(ctx_.unit.isConnected());
    setBusyPointer(false);
}

void ConnectionPanel::runTransfer(bool &request, const QString &running, const QString &done,
                                  const std::function<bool()> &operation)
{
    if (!request)
        return;
    setBusyPointer(true);
    ctx_.form->setEnabled(false);
    Leer->setEnabled(false);
    Escribir->setEnabled(false);
    setStatus([running] { return Translate(running); });
    const bool ok = operation();
    if (ok)
        setStatus([done] { return Translate(done); });
    else
        setStatus([failure = ctx_.unit.lastError()] { return transferFailureText(failure); });
    Leer->setEnabled(ctx_.unit.isConnected());
    Escribir->setEnabled(ctx_.unit.isConnected());
    // The bar shows a transfer only while it runs.
    PBar->setValue(0);
    ctx_.form->setEnabled(true);
    setBusyPointer(false);
    request = false;
}

// A port that went away is named beside the error: nothing but a new
// connection will bring it back.
QString ConnectionPanel::transferFailureText(const LinkFailure &failure)
{
    const QString error = Translate(QStringLiteral("Error!"));
    return failure.error == LinkError::PortLost ? error + u' ' + LinkFailureText(failure) : error;
}

void ConnectionPanel::showDifferences(const QList<ConfigDifference> &differences)
{
    const QString title = Translate(QStringLiteral("La unidad no tiene lo enviado"));
    setStatus([] { return Translate(QStringLiteral("La unidad no tiene lo enviado")); });
    if (ctx_.showDifferences)
        ctx_.showDifferences(title, differences);
    else
        ctx_.message(QMessageBox::Warning,
                     title + QStringLiteral("\n\n") + Translate(QStringLiteral("Lineas distintas:")) + u' '
                         + QString::number(differences.size()),
                     QMessageBox::Ok);
}

// One override at most, so that repeated clicks never leave the hourglass behind.
void ConnectionPanel::setBusyPointer(bool busy)
{
    if (busy == busyPointer_)
        return;
    busyPointer_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
