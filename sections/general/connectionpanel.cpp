#include "connectionpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "link/comms.h"
#include "link/connection.h"
#include "link/simulatedunit.h"
#include "model/product.h"
#include "namedwidget.h"

namespace {

const QString kSimulatedEntry = QStringLiteral("Unidad simulada");
constexpr int kSimulatedRole = Qt::UserRole + 1;

} // namespace

ConnectionPanel::ConnectionPanel(Context context, QWidget *parent)
    : QWidget(parent),
      FramePuerto(named(new QGroupBox(this), "FramePuerto")),
      Puerto(named(new QComboBox(FramePuerto), "Puerto")),
      SearchBut(named(new QPushButton(FramePuerto), "SearchBut")),
      ModemCheck(named(new QCheckBox(FramePuerto), "ModemCheck")),
      CallNum(named(new QLineEdit(FramePuerto), "CallNum")),
      IniCom(named(new QPushButton(this), "IniCom")),
      Leer(named(new QPushButton(this), "Leer")),
      Escribir(named(new QPushButton(this), "Escribir")),
      ComStat(named(new QLabel(this), "ComStat")),
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
    ComStat->setWordWrap(true);
    Leer->setEnabled(false);
    Escribir->setEnabled(false);

    auto *port = new QGridLayout(FramePuerto);
    port->setContentsMargins(6, 2, 6, 4);
    port->setVerticalSpacing(2);
    port->addWidget(Puerto, 0, 0);
    port->addWidget(SearchBut, 0, 1);
    port->addWidget(ModemCheck, 1, 0);
    port->addWidget(CallNum, 1, 1);

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

    Comms &comms = ctx_.comms;
    connect(&comms, &Comms::progressChanged, this, [this](int value, int maximum) {
        PBar->setMaximum(qMax(maximum, 1));
        PBar->setValue(qBound(0, value, PBar->maximum()));
    });
    connect(&comms, &Comms::carrierLost, this, [this] {
        ctx_.message(QMessageBox::NoIcon, Translate(QStringLiteral("Se corto la comunicacion")),
                     QMessageBox::Ok);
    });
    connect(&comms, &Comms::portLost, ComStat, &QLabel::setText);

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
    Leer->setText(Translate(QStringLiteral("Leer conf.")));
    Escribir->setText(Translate(QStringLiteral("Escribir conf.")));
    IniCom->setText(Translate(ctx_.comms.Connected ? QStringLiteral("Cerrar comunicacion")
                                                   : QStringLiteral("Iniciar comunicacion")));
    const int simulated = Puerto->findData(true, kSimulatedRole);
    if (simulated >= 0)
        Puerto->setItemText(simulated, Translate(kSimulatedEntry));
}

QString ConnectionPanel::portText() const
{
    return Puerto->currentText();
}

bool ConnectionPanel::simulatedChosen() const
{
    const int simulated = Puerto->findData(true, kSimulatedRole);
    return simulated >= 0 && Puerto->currentText() == Puerto->itemText(simulated);
}

void ConnectionPanel::SearchBut_Click()
{
    if (ctx_.comms.Connected)
        return;
    SearchBut->setEnabled(false);
    Puerto->clear();
    Puerto->addItems(ctx_.comms.ScanPorts());
    Puerto->addItem(Translate(kSimulatedEntry));
    Puerto->setItemData(Puerto->count() - 1, true, kSimulatedRole);
    Puerto->setCurrentIndex(0);
    SearchBut->setEnabled(true);
}

void ConnectionPanel::ModemCheck_Click()
{
    CallNum->setEnabled(ModemCheck->isChecked());
}

void ConnectionPanel::IniCom_Click()
{
    setBusyPointer(true);
    connectRequest_ = true;
}

void ConnectionPanel::Leer_Click()
{
    setBusyPointer(true);
    downloadRequest_ = true;
}

void ConnectionPanel::Escribir_Click()
{
    setBusyPointer(true);
    uploadRequest_ = true;
}

void ConnectionPanel::TimerComms_Timer()
{
    // The exchanges below wait on the event loop, where this timer keeps
    // firing; a tick that comes while an earlier one waits has nothing to add.
    if (ticking_)
        return;
    ticking_ = true;
    Comms &comms = ctx_.comms;
    if (connectRequest_ && !comms.Connected)
        comms.CommsBusy = false;
    if (connectRequest_ && !comms.CommsBusy)
        connectOrDisconnect();
    if (comms.Connected && ctx_.active()) {
        runTransfer(uploadRequest_, QStringLiteral("Escribiendo configuracion..."),
                    QStringLiteral("Configuracion escrita con exito"),
                    [&] { return comms.WriteConf(ctx_.store, ctx_.sections); });
        runTransfer(downloadRequest_, QStringLiteral("Descargando configuracion..."),
                    QStringLiteral("Configuracion descargada con exito"),
                    [&] { return comms.ReadConf(ctx_.store, ctx_.sections); });
        comms.ReadInfo();
    }
    ticking_ = false;
}

void ConnectionPanel::closeLink()
{
    // Once the program quits, a nested wait returns at once without serving
    // the port or its time-out; with the port closed it gives up instead of
    // spinning.
    TimerComms->stop();
    ctx_.comms.CloseComs(false);
    simulated_.reset();
}

void ConnectionPanel::connectOrDisconnect()
{
    Comms &comms = ctx_.comms;
    setBusyPointer(true);
    if (comms.Connected) {
        disconnectUnit();
        comms.Connected = false;
    } else {
        ComStat->setText(Translate(QStringLiteral("Detectando ")) + Product::ProductTitle
                         + QStringLiteral("..."));
        comms.Connected = connectUnit();
        if (comms.Connected)
            afterConnect();
    }
    showConnectionState();
    setBusyPointer(false);
    connectRequest_ = false;
}

bool ConnectionPanel::connectUnit()
{
    Comms &comms = ctx_.comms;
    QString port = Puerto->currentText();
    if (simulatedChosen()) {
        simulated_ = std::make_unique<SimulatedUnit>();
        if (!simulated_->start()) {
            ctx_.message(QMessageBox::Warning, simulated_->errorString(), QMessageBox::Ok);
            simulated_.reset();
            return false;
        }
        port = simulated_->devicePath();
    }
    const QString number = ModemCheck->isChecked() ? CallNum->text() : QString();
    comms.LastError.clear();
    if (comms.StartComs(port, number))
        return true;
    if (!comms.LastError.isEmpty())
        ctx_.message(QMessageBox::Warning, comms.LastError, QMessageBox::Ok);
    simulated_.reset();
    return false;
}

void ConnectionPanel::disconnectUnit()
{
    ctx_.comms.CloseComs(ModemCheck->isChecked());
    simulated_.reset();
}

void ConnectionPanel::afterConnect()
{
    Comms &comms = ctx_.comms;
    comms.ReadInfo();
    comms.ReadTotalCount();
    comms.ReadIOParameter();
    comms.ReadDeviceRTC();
    if (ClockOutOfSync(comms.Device.DeviceClock, QDateTime::currentDateTime())) {
        const auto answer = ctx_.message(
            QMessageBox::Question,
            Translate(QStringLiteral("Parece que la hora del dispositivo no esta sincronizada, "
                                     "desea sincronizarlo con la hora del PC?")),
            QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            comms.WriteDeviceRTC();
    }
}

void ConnectionPanel::showConnectionState()
{
    const bool connected = ctx_.comms.Connected;
    ComStat->setText(Translate(connected ? QStringLiteral("Comunicacion iniciada")
                                         : QStringLiteral("Comunicacion no iniciada")));
    IniCom->setText(Translate(connected ? QStringLiteral("Cerrar comunicacion")
                                        : QStringLiteral("Iniciar comunicacion")));
    Leer->setEnabled(connected);
    Escribir->setEnabled(connected);
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
    ComStat->setText(Translate(running));
    const bool ok = operation();
    ComStat->setText(Translate(ok ? done : QStringLiteral("Error!")));
    Leer->setEnabled(true);
    Escribir->setEnabled(true);
    ctx_.form->setEnabled(true);
    setBusyPointer(false);
    request = false;
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
