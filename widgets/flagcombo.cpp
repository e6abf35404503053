#include "flagcombo.h"

#include <QHBoxLayout>
#include <QLabel>

#include "files/langtable.h"

FlagCombo::FlagCombo(QWidget *parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("FlagCombo"));
    addItem(QStringLiteral("TRUE"), 0);
    for (int flag = 0; flag < kChoices - 1; ++flag)
        addItem(QStringLiteral("F") + QString::number(flag), flag + 1);
}

void FlagCombo::showFlag(qint16 value)
{
    setCurrentIndex(value >= 0 && value < kChoices ? value : -1);
}

std::optional<qint16> FlagCombo::flag() const
{
    if (currentIndex() < 0)
        return std::nullopt;
    return qint16(currentData().toInt());
}

void FlagCombo::storeTo(qint16 &field) const
{
    if (const auto value = flag())
        field = *value;
}

FlagChoice::FlagChoice(QWidget *parent)
    : QWidget(parent), LabelHabil(new QLabel(this)), Combo(new FlagCombo(this)),
      LabelTrue(new QLabel(this))
{
    LabelTrue->setObjectName(QStringLiteral("LabelTrue"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(LabelHabil);
    row->addWidget(Combo);
    row->addWidget(LabelTrue);
    row->addStretch();
}

void FlagChoice::LoadText()
{
    LabelHabil->setText(Translate(QStringLiteral("Habilitar sí")));
    LabelTrue->setText(Translate(QStringLiteral("= TRUE")));
}
