#include "voicelistwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/unitconnection.h"
#include "link/voicelisttransfer.h"
#include "model/configstore.h"
#include "model/product.h"
#include "model/texthelpers.h"
#include "widgets/firmwarewarning.h"
#include "widgets/namedwidget.h"
#include "shell/busypointer.h"

namespace {

constexpr int kPhoneLength = 16;

} // namespace

Aut_Voz::Aut_Voz(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections, UserMessage message,
                 QWidget *parent)
    : SectionEditor(parent),
      PhoneLabel(named(new QLabel(this), "PhoneLabel")),
      PhoneText(named(new QLineEdit(this), "PhoneText")),
      PhoneList(named(new QListWidget(this), "PhoneList")),
      Add(named(new QPushButton(this), "Add")),
      Del(named(new QPushButton(this), "Del")),
      SearchBut(named(new QPushButton(this), "SearchBut")),
      ReadBut(named(new QPushButton(this), "ReadBut")),
      WriteBut(named(new QPushButton(this), "WriteBut")),
      MacroLabel(named(new QLabel(this), "MacroLabel")),
      PNMacro(named(new QComboBox(this), "PNMacro")),
      ACKCheck(named(new QCheckBox(this), "ACKCheck")),
      StateLabel(named(new QLabel(this), "StateLabel")),
      PBar(named(new QProgressBar(this), "PBar")),
      Warning(named(new QLabel(this), "Warning")),
      WarningText(named(new QLabel(this), "WarningText")),
      Timer1(named(new QTimer(this), "Timer1")),
      unit_(unit),
      store_(store),
      sections_(sections),
      message_(std::move(message)),
      titulo_(named(new QLabel(this), "Titulo"))
{
    setObjectName(QStringLiteral("Aut_Voz"));

    makeHeading(titulo_);
    PhoneText->setMaxLength(kPhoneLength);
    refuseSeparators(PhoneText);
    PhoneList->setSelectionMode(QAbstractItemView::SingleSelection);
    MacroLabel->setWordWrap(true);
    StateLabel->setWordWrap(true);
    PBar->setTextVisible(false);
    PBar->setFixedHeight(14);
    PBar->setValue(0);

    auto *entry = new QGridLayout;
    entry->addWidget(PhoneLabel, 0, 0);
    entry->addWidget(PhoneText, 0, 1, 1, 3);
    entry->addWidget(Add, 1, 1);
    entry->addWidget(Del, 1, 2);
    entry->addWidget(SearchBut, 1, 3);
    auto *list = new QVBoxLayout;
    list->addLayout(entry);
    list->addWidget(PhoneList, 1);

    auto *side = new QVBoxLayout;
    side->addWidget(MacroLabel);
    side->addWidget(PNMacro);
    side->addWidget(ACKCheck);
    side->addSpacing(16);
    auto *transfer = new QHBoxLayout;
    transfer->addWidget(ReadBut);
    transfer->addWidget(WriteBut);
    side->addLayout(transfer);
    side->addWidget(StateLabel);
    side->addWidget(PBar);
    side->addStretch();
    auto *middle = new QHBoxLayout;
    middle->addLayout(list, 3);
    middle->addLayout(side, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(titulo_);
    layout->addLayout(middle, 1);
    layout->addWidget(firmwareWarningRow(Warning, WarningText, this));

    connect(Add, &QPushButton::clicked, this, &Aut_Voz::Add_Click);
    connect(Del, &QPushButton::clicked, this, &Aut_Voz::Del_Click);
    connect(SearchBut, &QPushButton::clicked, this, &Aut_Voz::SearchBut_Click);
    connect(ReadBut, &QPushButton::clicked, this, &Aut_Voz::ReadBut_Click);
    connect(WriteBut, &QPushButton::clicked, this, &Aut_Voz::WriteBut_Click);
    connect(PhoneText, &QLineEdit::returnPressed, this, &Aut_Voz::Add_Click);
    connect(Timer1, &QTimer::timeout, this, &Aut_Voz::Timer1_Timer);

    Warning->hide();
    WarningText->hide();
    LoadText();
    LoadData();
    updateEnabling();
    Timer1->start(1000);
}

void Aut_Voz::LoadText()
{
    setWindowTitle(Translate(QStringLiteral("Autorizados llamada de voz")));
    titulo_->setText(windowTitle());
    PhoneLabel->setText(Translate(QStringLiteral("Telefono:")));
    Add->setText(Translate(QStringLiteral("Añadir")));
    Del->setText(Translate(QStringLiteral("Borrar")));
    SearchBut->setText(Translate(QStringLiteral("Buscar")));
    ReadBut->setText(Translate(QStringLiteral("Leer")));
    WriteBut->setText(Translate(QStringLiteral("Escribir")));
    MacroLabel->setText(Translate(QStringLiteral("Macro a ejecutar por llamada de voz:")));
    ACKCheck->setText(Translate(QStringLiteral("Habilitar acuse de recibo")));
    WarningText->setText(Translate(QStringLiteral("La version de firmware del")) + QLatin1Char(' ')
                         + Product::ProductTitle + QLatin1Char(' ')
                         + Translate(QStringLiteral("no soporta la funcion de ejecucion de macro por llamada perdida")));
    showState(state_);

    // Item k + 1 is macro k; the choice survives the refill.
    const int chosen = PNMacro->currentIndex();
    PNMacro->clear();
    PNMacro->addItem(Translate(QStringLiteral("No")));
    for (int macro = 0; macro <= VoiceAuthList::kLastMacro; ++macro)
        PNMacro->addItem(NumStr(macro));
    PNMacro->setCurrentIndex(std::max(chosen, 0));
}

void Aut_Voz::Clear()
{
    if (const SectionCore *core = sections_.find(QStringLiteral("Aut_Voz")))
        core->clear(store_);
    PhoneText->clear();
    LoadData();
}

void Aut_Voz::LoadData()
{
    const VoiceAuthList &list = store_.VoiceList;
    PhoneList->clear();
    for (const QString &number : list.Numbers) {
        if (!number.isEmpty())
            PhoneList->addItem(number);
    }
    PNMacro->setCurrentIndex(list.CallMacro + 1);
    ACKCheck->setChecked(list.SendAck);
}

void Aut_Voz::StoreControls()
{
    VoiceAuthList &list = store_.VoiceList;
    for (int slot = 0; slot < VoiceAuthList::kSlots; ++slot)
        list.Numbers[slot] = slot < PhoneList->count() ? PhoneList->item(slot)->text() : QString();
    PackVoiceList(list);
    list.CallMacro = qint16(std::max(PNMacro->currentIndex(), 0) - 1);
    list.SendAck = ACKCheck->isChecked();
}

bool Aut_Voz::phoneTextValid()
{
    const QString text = PhoneText->text();
    if (text.isEmpty() || IsIntegerText(text))
        return true;
    message_(QMessageBox::Warning, Translate(QStringLiteral("Numero de telefono invalido")), QMessageBox::Ok);
    PhoneText->setFocus();
    return false;
}

void Aut_Voz::clearPhoneText()
{
    PhoneText->clear();
    PhoneText->setFocus();
}

void Aut_Voz::Add_Click()
{
    if (!phoneTextValid())
        return;
    const QString number = PhoneText->text().trimmed();
    if (!number.isEmpty()) {
        if (PhoneList->count() >= VoiceAuthList::kMaxNumbers)
            message_(QMessageBox::Information,
                     Translate(QStringLiteral("Imposible añadir, se ha alcanzado el numero maximo de entradas en "
                                              "la lista de numeros autorizados")),
                     QMessageBox::Ok);
        else
            PhoneList->addItem(number);
    }
    clearPhoneText();
}

void Aut_Voz::Del_Click()
{
    const QList<QListWidgetItem *> selected = PhoneList->selectedItems();
    if (!selected.isEmpty())
        delete selected.first();
}

void Aut_Voz::SearchBut_Click()
{
    if (!phoneTextValid())
        return;
    const QString number = PhoneText->text().trimmed();
    if (number.isEmpty())
        return;
    const QList<QListWidgetItem *> found = PhoneList->findItems(number, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty()) {
        message_(QMessageBox::Warning, Translate(QStringLiteral("No se ha encontrado")), QMessageBox::Ok);
        return;
    }
    PhoneList->setCurrentItem(found.first());
    PhoneList->setFocus();
}

void Aut_Voz::WriteBut_Click()
{
    StoreControls();
    if (beforeWrite && !beforeWrite())
        return;
    // The unit gets the list as it stands now, whatever the window stores while the write waits.
    const VoiceAuthList list = store_.VoiceList;
    runTransfer(State::Writing, State::Written, [&](const TransferProgress &progress) {
        return unit_.writeVoiceList(list, progress);
    });
}

void Aut_Voz::ReadBut_Click()
{
    if (runTransfer(State::Reading, State::ReadDone, [&](const TransferProgress &progress) {
            return unit_.readVoiceList(store_.VoiceList, progress);
        }))
        LoadData();
}

bool Aut_Voz::runTransfer(State running, State done,
                          const std::function<bool(const TransferProgress &)> &operation)
{
    if (transferRunning_)
        return false;
    const BusyPointer busy;
    transferRunning_ = true;
    updateEnabling();
    showState(running);
    const bool ok = operation([this](int value, int maximum) {
        PBar->setMaximum(std::max(maximum, 1));
        PBar->setValue(std::clamp(value, 0, PBar->maximum()));
    });
    showState(ok ? done : State::Failed);
    transferRunning_ = false;
    updateEnabling();
    return ok;
}

void Aut_Voz::showState(State state)
{
    state_ = state;
    switch (state) {
    case State::Ready:
        StateLabel->setText(Translate(QStringLiteral("Preparado")));
        break;
    case State::Writing:
        StateLabel->setText(Translate(QStringLiteral("Escribiendo...")));
        break;
    case State::Written:
        StateLabel->setText(Translate(QStringLiteral("Lista escrita con exito")));
        break;
    case State::Reading:
        StateLabel->setText(Translate(QStringLiteral("Leyendo...")));
        break;
    case State::ReadDone:
        StateLabel->setText(Translate(QStringLiteral("Lista leida con exito")));
        break;
    case State::Failed:
        StateLabel->setText(Translate(QStringLiteral("Error!")));
        break;
    }
}

void Aut_Voz::updateEnabling()
{
    const bool connected = unit_.isConnected();
    const bool supported = unit_.Device.has(Feature::MissedCallMacro);
    ReadBut->setEnabled(connected && supported && !transferRunning_);
    WriteBut->setEnabled(connected && supported && !transferRunning_);
    // What the transfer sends or replaces stays as it is until it ends.
    for (QWidget *control : std::initializer_list<QWidget *>{PhoneText, PhoneList, Add, Del, SearchBut, PNMacro, ACKCheck})
        control->setEnabled(!transferRunning_);
    Warning->setVisible(connected && !supported);
    WarningText->setVisible(connected && !supported);
}

void Aut_Voz::Timer1_Timer()
{
    updateEnabling();
}
