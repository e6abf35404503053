#include "matheditor.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "model/configstore.h"
#include "widgets/namedwidget.h"

namespace {

constexpr int kEquationLength = 31;

constexpr ChannelKindEditor::InterfaceOption kOptions[] = {
    {"Int_Habil", "Habil.", MathChannel::kEnabled},
    {"Int_NoHabil", "No habil.", MathChannel::kDisabled},
};

} // namespace

E_Math::E_Math(ConfigStore &store, const SectionRegistry &sections, ActionEditor actions,
               QWidget *parent)
    : ChannelKindEditor(alarmMember(AlarmMember::Math), store, sections, kOptions,
                        std::move(actions), parent),
      Ecuacion(named(new QLineEdit(this), "Ecuacion")),
      frameEcuacion_(named(new QGroupBox(this), "FrameEcuacion"))
{
    Ecuacion->setMaxLength(kEquationLength);
    // The unit's "MATH" answer would split the equation at a comma.
    refuseSeparators(Ecuacion);
    auto *layout = new QVBoxLayout(frameEcuacion_);
    layout->setContentsMargins(6, 2, 6, 4);
    Ecuacion->setParent(frameEcuacion_);
    layout->addWidget(Ecuacion);
    addKindFrame(frameEcuacion_);
    reload();
}

void E_Math::LoadText()
{
    ChannelKindEditor::LoadText();
    frameEcuacion_->setTitle(Translate(QStringLiteral("Ecuacion de conversion")));
}

MathChannel *E_Math::channel() const
{
    const int index = ChannelIndex();
    return index >= 0 && index < int(store().Math.size()) ? &store().Math[index] : nullptr;
}

void E_Math::loadKindFields()
{
    if (const MathChannel *math = channel()) {
        showNameUnit(math->Name, math->Unit);
        showInterface();
        showText(Ecuacion, math->Equation);
    }
}

void E_Math::storeKindFields()
{
    if (MathChannel *math = channel()) {
        storeNameUnit(math->Name, math->Unit);
        storeIfEdited(Ecuacion, math->Equation);
    }
}

std::optional<int> E_Math::recordInterface() const
{
    if (const MathChannel *math = channel())
        return math->Interface;
    return std::nullopt;
}

void E_Math::storeInterface(int value)
{
    if (MathChannel *math = channel())
        math->Interface = qint16(value);
}
