#include "digitaleditor.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

#include "files/langtable.h"
#include "model/configstore.h"
#include "widgets/namedwidget.h"

E_Digital::E_Digital(ConfigStore &store, const SectionRegistry &sections, ActionEditor actions,
                     QWidget *parent)
    : AlarmEditor(alarmMember(AlarmMember::Digital), store, sections, std::move(actions), parent),
      Nombre(named(new QLineEdit(this), "Nombre")),
      Int_NA(named(new QRadioButton(this), "Int_NA")),
      Int_NC(named(new QRadioButton(this), "Int_NC")),
      frameNombre_(named(new QGroupBox(this), "FrameNombre")),
      frameInterfaz_(named(new QGroupBox(this), "FrameInterfaz"))
{
    Nombre->setMaxLength(DigitalInput::kNameLength);
    // The unit's answer splits the name at a comma.
    refuseSeparators(Nombre);
    auto *options = new QButtonGroup(this);
    options->addButton(Int_NA, 0);
    options->addButton(Int_NC, kClosedValue);
    connect(options, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            InterfaceValue = id;
    });

    (new QHBoxLayout(frameNombre_))->addWidget(Nombre);
    auto *contact = new QHBoxLayout(frameInterfaz_);
    contact->addWidget(Int_NA);
    contact->addWidget(Int_NC);
    auto *kind = new QWidget(this);
    auto *row = new QHBoxLayout(kind);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(frameNombre_, 1);
    row->addWidget(frameInterfaz_);
    addKindFrame(kind);
    reload();
}

void E_Digital::LoadText()
{
    AlarmEditor::LoadText();
    // The heading without the input's number.
    setWindowTitle(Translate(QString(member().editor.heading)).trimmed());
    frameNombre_->setTitle(Translate(QStringLiteral("Nombre")));
    frameInterfaz_->setTitle(Translate(QStringLiteral("Interfaz")));
    Int_NA->setText(Translate(QStringLiteral("N.A.")));
    Int_NC->setText(Translate(QStringLiteral("N.C.")));
}

DigitalInput &E_Digital::input() const
{
    return store().Digital[ChannelIndex()];
}

std::optional<int> E_Digital::recordInterface() const
{
    return input().NC ? kClosedValue : 0;
}

void E_Digital::storeInterface(int value)
{
    input().NC = value != 0;
}

void E_Digital::loadKindFields()
{
    showText(Nombre, input().Name);
    (InterfaceValue != 0 ? Int_NC : Int_NA)->setChecked(true);
}

void E_Digital::storeKindFields()
{
    storeIfEdited(Nombre, input().Name);
}
