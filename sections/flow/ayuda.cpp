#include "ayuda.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "flowcalculator.h"
#include "model/texthelpers.h"
#include "widgets/namedwidget.h"
#include "widgets/numberbox.h"
#include "shell/programicon.h"

namespace {

// Refills a list with translated items, keeping the chosen one.
void setItems(QComboBox *combo, const QStringList &items)
{
    const int chosen = std::max(0, combo->currentIndex());
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(chosen);
}

} // namespace

Ayuda::Ayuda(QWidget *parent)
    : QDialog(parent),
      TextPulsos(named(new QLineEdit(this), "TextPulsos")),
      ComboPulso(named(new QComboBox(this), "ComboPulso")),
      TextTimeBase(named(new QLineEdit(this), "TextTimeBase")),
      ComboEq(named(new QComboBox(this), "ComboEq")),
      TextEqUn(named(new QLineEdit(this), "TextEqUn")),
      CalcButton(named(new QPushButton(this), "CalcButton")),
      CancelButton(named(new QPushButton(this), "CancelButton")),
      pulsesLabel_(new QLabel(this)),
      timeBaseLabel_(new QLabel(this)),
      secondsLabel_(new QLabel(this)),
      flowLabel_(new QLabel(this)),
      resultLabel_(new QLabel(this))
{
    setObjectName(QStringLiteral("Ayuda"));
    setWindowIcon(programIcon());
    setModal(false);
    TextEqUn->setReadOnly(true);
    makeNumberBox(TextPulsos, NumberRanges::Positive, "Por cada pulso pasan:");
    makeNumberBox(TextTimeBase, NumberRange{true, 0, 32767, true}, "Base de tiempos:");

    auto *grid = new QGridLayout;
    grid->addWidget(pulsesLabel_, 0, 0);
    grid->addWidget(TextPulsos, 0, 1);
    grid->addWidget(ComboPulso, 0, 2);
    grid->addWidget(timeBaseLabel_, 1, 0);
    grid->addWidget(TextTimeBase, 1, 1);
    grid->addWidget(secondsLabel_, 1, 2);
    grid->addWidget(flowLabel_, 2, 0);
    grid->addWidget(ComboEq, 2, 1, 1, 2);
    grid->addWidget(resultLabel_, 3, 0);
    grid->addWidget(TextEqUn, 3, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CalcButton);
    buttons->addWidget(CancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(CalcButton, &QPushButton::clicked, this, &Ayuda::CalcButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::close);
    CalcButton->setDefault(true);
    LoadText();
}

void Ayuda::LoadText()
{
    setWindowTitle(Translate(QStringLiteral("Ayuda")));
    pulsesLabel_->setText(Translate(QStringLiteral("Por cada pulso pasan:")));
    timeBaseLabel_->setText(Translate(QStringLiteral("Base de tiempos:")));
    secondsLabel_->setText(Translate(QStringLiteral("Segundos")));
    flowLabel_->setText(Translate(QStringLiteral("El caudal se debe expresar en:")));
    resultLabel_->setText(Translate(QStringLiteral("Equivalencia pulsos - unidad de ingenieria:")));
    CalcButton->setText(Translate(QStringLiteral("Calcular")));
    CancelButton->setText(Translate(QStringLiteral("Salir")));
    // Item order follows PulseVolume and FlowUnit.
    setItems(ComboPulso, {Translate(QStringLiteral("Litros")), QStringLiteral("m3"),
                          Translate(QStringLiteral("Otra unidad"))});
    setItems(ComboEq, {Translate(QStringLiteral("Litros / segundo")),
                       Translate(QStringLiteral("m3 / hora")),
                       Translate(QStringLiteral("Otra unidad / segundo")),
                       Translate(QStringLiteral("Otra unidad / hora"))});
}

void Ayuda::CalcButton_Click()
{
    if (!numberBoxFault(TextTimeBase).isEmpty() || !numberBoxFault(TextPulsos).isEmpty())
        return;
    const std::optional<float> result =
        PulseEquivalence(TextPulsos->text(), PulseVolume(ComboPulso->currentIndex()),
                         TextTimeBase->text(), FlowUnit(ComboEq->currentIndex()));
    if (result)
        TextEqUn->setText(NumStr(*result));
}
