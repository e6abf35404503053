#include "channelkindeditor.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "widgets/namedwidget.h"

namespace {

constexpr int kNameLength = 19;
constexpr int kUnitLength = 9;

QGroupBox *frameAround(QWidget *parent, const char *objectName, QWidget *content)
{
    auto *frame = named(new QGroupBox(parent), objectName);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 4);
    content->setParent(frame);
    layout->addWidget(content);
    return frame;
}

} // namespace

ChannelKindEditor::ChannelKindEditor(const AlarmMemberRow &member, ConfigStore &store,
                                     const SectionRegistry &sections,
                                     std::span<const InterfaceOption> options,
                                     ActionEditor actions, QWidget *parent)
    : AlarmEditor(member, store, sections, std::move(actions), parent),
      Nombre(named(new QLineEdit(this), "Nombre")),
      Unidad(named(new QLineEdit(this), "Unidad")),
      FrameInterfaz(named(new QGroupBox(this), "FrameInterfaz")),
      frameNombre_(frameAround(this, "FrameNombre", Nombre)),
      frameUnidad_(frameAround(this, "FrameUnidad", Unidad)),
      row_(new QHBoxLayout)
{
    Nombre->setMaxLength(kNameLength);
    Unidad->setMaxLength(kUnitLength);
    refuseSeparators(Nombre);
    refuseSeparators(Unidad);

    auto *choices = new QVBoxLayout(FrameInterfaz);
    choices->setContentsMargins(6, 2, 6, 4);
    choices->setSpacing(2);
    for (const InterfaceOption &option : options) {
        auto *button = named(new QRadioButton(FrameInterfaz), option.objectName);
        choices->addWidget(button);
        options_.push_back({button, option.caption, option.value});
        connect(button, &QRadioButton::toggled, this, [this, value = option.value](bool on) {
            if (on)
                InterfaceValue = value;
        });
    }

    auto *frames = new QWidget(this);
    frames->setLayout(row_);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->addWidget(frameNombre_, 2);
    row_->addWidget(frameUnidad_, 1);
    row_->addWidget(FrameInterfaz);
    addKindFrame(frames);
}

void ChannelKindEditor::LoadText()
{
    AlarmEditor::LoadText();
    frameNombre_->setTitle(Translate(QStringLiteral("Nombre")));
    frameUnidad_->setTitle(Translate(QStringLiteral("Unidad")));
    FrameInterfaz->setTitle(Translate(QStringLiteral("Interfaz")));
    for (const Option &option : options_)
        option.button->setText(Translate(QString::fromLatin1(option.caption)));
}

void ChannelKindEditor::showNameUnit(const QString &name, const QString &unit)
{
    showText(Nombre, name);
    showText(Unidad, unit);
}

void ChannelKindEditor::storeNameUnit(QString &name, QString &unit) const
{
    storeIfEdited(Nombre, name);
    storeIfEdited(Unidad, unit);
}

void ChannelKindEditor::showInterface()
{
    // Unticking every option of an exclusive group takes lifting the rule for a moment.
    const int value = InterfaceValue;
    for (const Option &option : options_) {
        option.button->setAutoExclusive(false);
        option.button->setChecked(option.value == value);
        option.button->setAutoExclusive(true);
    }
    InterfaceValue = value;
}
