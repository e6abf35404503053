#include "onewireeditor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "files/langtable.h"
#include "link/devicecommands.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "widgets/addressbox.h"
#include "widgets/namedwidget.h"

namespace {

constexpr ChannelKindEditor::InterfaceOption kOptions[] = {
    {"Int_NoHabil", "No habil.", OneWireProbe::kDisabled},
    {"Int_1WTemp", "Temperatura", OneWireProbe::kTemperature},
    {"Int_1WHum", "Humedad", OneWireProbe::kHumidity},
};

} // namespace

E_OneWire::E_OneWire(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
                     UserMessage message, ActionEditor actions, QWidget *parent)
    : ChannelKindEditor(alarmMember(AlarmMember::OneWire), store, sections, kOptions,
                        std::move(actions), parent),
      FrameID(named(new QGroupBox(this), "FrameID")),
      OptionId(named(new QRadioButton(FrameID), "OptionId")),
      OptionNoId(named(new QRadioButton(FrameID), "OptionNoId")),
      ID0(named(new AddressBox(FrameID), "ID0")),
      ID1(named(new AddressBox(FrameID), "ID1")),
      BotonLeerId(named(new QPushButton(FrameID), "BotonLeerId")),
      unit_(unit),
      message_(std::move(message))
{

    auto *grid = new QGridLayout(FrameID);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setVerticalSpacing(2);
    grid->addWidget(OptionId, 0, 0);
    grid->addWidget(ID0, 0, 1);
    grid->addWidget(ID1, 0, 2);
    grid->addWidget(BotonLeerId, 0, 3);
    grid->addWidget(OptionNoId, 1, 0);
    grid->setColumnStretch(4, 1);
    addKindFrame(FrameID);
    ID0->setCaption(QStringLiteral("Direccion"));
    ID1->setCaption(QStringLiteral("Direccion"));

    connect(OptionId, &QRadioButton::toggled, this, [this](bool on) { enableAddress(on); });
    // Only the operator's choice zeroes the boxes; LoadData shows the stored address after.
    connect(OptionNoId, &QRadioButton::clicked, this, &E_OneWire::OptionNoId_Click);
    connect(BotonLeerId, &QPushButton::clicked, this, &E_OneWire::BotonLeerId_Click);
    reload();
}

void E_OneWire::LoadText()
{
    ChannelKindEditor::LoadText();
    FrameID->setTitle(Translate(QStringLiteral("Direccion")));
    OptionId->setText(Translate(QStringLiteral("ID de la sonda:")));
    OptionNoId->setText(Translate(QStringLiteral("Modo sonda unica")));
    BotonLeerId->setText(Translate(QStringLiteral("Leer ID")));
    Nombre->setToolTip(Translate(QStringLiteral("Nombre de la señal")));
    Unidad->setToolTip(Translate(QStringLiteral("Unidad de medida de la señal")));
    for (QRadioButton *option : FrameInterfaz->findChildren<QRadioButton *>())
        option->setToolTip(Translate(QStringLiteral("Seleccione la interfaz electrica")));
}

OneWireProbe *E_OneWire::probe() const
{
    const int index = ChannelIndex();
    return index >= 0 && index < int(store().OneWire.size()) ? &store().OneWire[index] : nullptr;
}

void E_OneWire::enableAddress(bool on)
{
    ID0->setEnabled(on);
    ID1->setEnabled(on);
    BotonLeerId->setEnabled(on);
}

void E_OneWire::OptionId_Click()
{
    enableAddress(true);
}

void E_OneWire::OptionNoId_Click()
{
    enableAddress(false);
    ID0->setBytes({});
    ID1->setBytes({});
}

void E_OneWire::loadKindFields()
{
    const OneWireProbe *p = probe();
    if (!p)
        return;
    showNameUnit(p->Name, p->Unit);
    showInterface();
    if (p->UseId) {
        OptionId->setChecked(true);
        OptionId_Click();
    } else {
        OptionNoId->setChecked(true);
        OptionNoId_Click();
    }
    // After the mode: single-probe mode shows the stored address too, in the
    // disabled boxes.
    ID0->showAddress(p->Address1);
    ID1->showAddress(p->Address2);
}

void E_OneWire::storeKindFields()
{
    OneWireProbe *p = probe();
    if (!p)
        return;
    storeNameUnit(p->Name, p->Unit);
    p->UseId = OptionId->isChecked();
    ID0->storeIfEdited(p->Address1);
    ID1->storeIfEdited(p->Address2);
}

std::optional<int> E_OneWire::recordInterface() const
{
    if (const OneWireProbe *p = probe())
        return p->Interface;
    return std::nullopt;
}

void E_OneWire::storeInterface(int value)
{
    if (OneWireProbe *p = probe())
        p->Interface = qint16(value);
}

// Nothing goes to the unit while none is connected or the link is busy, and
// only a whole answer to this command fills the boxes; the model takes them
// at the next store-back.
void E_OneWire::BotonLeerId_Click()
{
    if (!unit_.isConnected()) {
        message_(QMessageBox::Warning, Translate(QStringLiteral("No hay comunicacion con el dispositivo")),
                 QMessageBox::Ok);
        return;
    }
    message_(QMessageBox::Information,
             Translate(QStringLiteral("Recuerde que solo debe haber una sonda conectada")),
             QMessageBox::Ok);
    std::optional<ProbeId> id;
    if (!unit_.exchange([&id](Comms &comms) { return (id = ReadProbeId(comms)).has_value(); }))
        return;
    ID0->setBytes({(*id)[0], (*id)[1], (*id)[2], (*id)[3]});
    ID1->setBytes({(*id)[4], (*id)[5], (*id)[6], (*id)[7]});
}
