#include "infoframe.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include "files/langtable.h"
#include "link/deviceinfotext.h"
#include "link/devicevalues.h"
#include "widgets/namedwidget.h"

namespace {

QLabel *valueLabel(const char *objectName, QWidget *parent)
{
    QLabel *label = named(new QLabel(parent), objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

InfoFrame::InfoFrame(QWidget *parent)
    : QGroupBox(parent),
      FirmText(valueLabel("FirmText", this)),
      SerialText(valueLabel("SerialText", this)),
      VBatText(valueLabel("VBatText", this)),
      RSSIBar(new QProgressBar(this)),
      Label9(valueLabel("Label9", this)),
      MaxHText(valueLabel("MaxHText", this)),
      UsedHText(valueLabel("UsedHText", this)),
      firmCaption_(caption("FirmCaption")),
      serialCaption_(caption("SerialCaption")),
      vbatCaption_(caption("VBatCaption")),
      gsmCaption_(caption("GsmCaption")),
      maxHCaption_(caption("MaxHCaption")),
      usedHCaption_(caption("UsedHCaption"))
{
    setObjectName(QStringLiteral("FrameInfo"));
    RSSIBar->setObjectName(QStringLiteral("RSSIBar"));
    RSSIBar->setTextVisible(false);
    RSSIBar->setFixedHeight(14);

    auto *signal = new QHBoxLayout;
    signal->addWidget(RSSIBar, 1);
    signal->addWidget(Label9);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setVerticalSpacing(1);
    const std::pair<QLabel *, QLabel *> rows[] = {
        {firmCaption_, FirmText}, {serialCaption_, SerialText}, {vbatCaption_, VBatText}};
    int row = 0;
    for (const auto &[name, value] : rows) {
        grid->addWidget(name, row, 0);
        grid->addWidget(value, row++, 1);
    }
    grid->addWidget(gsmCaption_, row, 0);
    grid->addLayout(signal, row++, 1);
    grid->addWidget(maxHCaption_, row, 0);
    grid->addWidget(MaxHText, row++, 1);
    grid->addWidget(usedHCaption_, row, 0);
    grid->addWidget(UsedHText, row, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row + 1, 1);
    RSSIBar->setRange(0, 32);
}

QLabel *InfoFrame::caption(const char *objectName)
{
    return named(new QLabel(this), objectName);
}

void InfoFrame::LoadText()
{
    setTitle(Translate(QStringLiteral("Informacion del dispositivo")));
    firmCaption_->setText(Translate(QStringLiteral("Firm. Version:")));
    serialCaption_->setText(Translate(QStringLiteral("Numero de serie:")));
    vbatCaption_->setText(Translate(QStringLiteral("VBat:")));
    gsmCaption_->setText(Translate(QStringLiteral("GSM:")));
    maxHCaption_->setText(Translate(QStringLiteral("Profundidad historico:")));
    usedHCaption_->setText(Translate(QStringLiteral("Registros ocupados:")));
}

void InfoFrame::showValues(const DeviceValues &values)
{
    FirmText->setText(FirmwareText(values.FirmwareVersion));
    SerialText->setText(values.SerialNumber);
    VBatText->setText(BatteryText(values.BatteryVoltage));
    RSSIBar->setValue(SignalBarValue(values.SignalLevel));
    Label9->setText(SignalLabel(values.SignalLevel));
    showSignalWarning(values.SignalLevel >= 0 && values.SignalLevel < kWeakSignal);
    MaxHText->setText(LogRecordsText(values.LogSize));
    UsedHText->setText(LogRecordsText(values.LogUsed));
}

void InfoFrame::showNothing()
{
    for (QLabel *text : {FirmText, SerialText, VBatText, Label9, MaxHText, UsedHText})
        text->clear();
    RSSIBar->setValue(0);
    showSignalWarning(false);
}

// A weak signal is shown in red, with the reason it matters.
void InfoFrame::showSignalWarning(bool weak)
{
    Label9->setStyleSheet(weak ? QStringLiteral("color: red;") : QString());
    const QString tip = weak ? Translate(QStringLiteral("Senal debil: las llamadas de datos pueden fallar")) : QString();
    Label9->setToolTip(tip);
    RSSIBar->setToolTip(tip);
}
