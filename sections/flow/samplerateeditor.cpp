#include "samplerateeditor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sampleratecore.h"
#include "widgets/firmwarewarning.h"
#include "widgets/namedwidget.h"

namespace {

constexpr int kHighRateItem = 1; // "256Hz"

QString indexed(const char *name, int i)
{
    return QLatin1String(name) + QLatin1Char('(') + QString::number(i) + QLatin1Char(')');
}

} // namespace

SampleRate::SampleRate(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
                       QWidget *parent)
    : SectionEditor(parent),
      ComboSampleRate(named(new QComboBox(this), "ComboSampleRate")),
      WarningMsg(named(new QLabel(this), "WarningMsg")),
      Warning(named(new QLabel(this), "Warning")),
      WarningText(named(new QLabel(this), "WarningText")),
      Timer1(named(new QTimer(this), "Timer1")),
      unit_(unit),
      store_(store),
      sections_(sections),
      titulo_(named(new QLabel(this), "Titulo")),
      rateLabel_(new QLabel(this))
{
    setObjectName(QStringLiteral("SampleRate"));

    makeHeading(titulo_);

    ComboSampleRate->addItems({QStringLiteral("64Hz"), QStringLiteral("256Hz")});
    WarningMsg->setWordWrap(true);
    WarningMsg->setStyleSheet(QStringLiteral("color: #c00000"));
    // The warning is about the high rate; it keeps its room when hidden.
    QSizePolicy warningPolicy = WarningMsg->sizePolicy();
    warningPolicy.setRetainSizeWhenHidden(true);
    WarningMsg->setSizePolicy(warningPolicy);
    connect(ComboSampleRate, &QComboBox::currentIndexChanged, this, &SampleRate::showRateWarning);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->addWidget(rateLabel_, 0, 0);
    grid->addWidget(ComboSampleRate, 0, 1);
    grid->addWidget(WarningMsg, 1, 0, 1, 3);
    for (int i = 0; i < kProductLimits.FlowCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(indexed("LabelT", i));
        auto *combo = new QComboBox(this);
        combo->setObjectName(indexed("ComboT", i));
        for (const float weight : kWeights)
            combo->addItem(SampleRateCore::weightText(QString::number(weight)), weight);
        LabelT << label;
        ComboT << combo;
        grid->addWidget(label, i + 2, 0);
        grid->addWidget(combo, i + 2, 1);
    }
    grid->setColumnStretch(2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 6, 12, 12);
    layout->addWidget(titulo_);
    layout->addSpacing(12);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(firmwareWarningRow(Warning, WarningText, this));

    connect(Timer1, &QTimer::timeout, this, &SampleRate::Timer1_Timer);
    LoadText();
    LoadData();
    Timer1_Timer();
    Timer1->start(1000);
}

void SampleRate::LoadText()
{
    const QString title = Translate(QStringLiteral("Configuracion global de caudalimetros"));
    setWindowTitle(title);
    titulo_->setText(title);
    rateLabel_->setText(Translate(QStringLiteral("Frecuencia de muestreo:")));
    WarningMsg->setText(Translate(
        QStringLiteral("¡ATENCION! El muestreo a 256Hz reduce la autonomia del equipo en un 20%")));
    for (int i = 0; i < LabelT.size(); ++i)
        LabelT[i]->setText(Translate(SampleRateCore::totalizerCaption(i)));
    WarningText->setText(Translate(QStringLiteral("La version de firmware del")) + QLatin1Char(' ')
                         + Product::ProductTitle + QLatin1Char(' ')
                         + Translate(QStringLiteral("no soporta la configuracion del peso por pulso "
                                                    "en los totalizadores.")));
    Timer1_Timer();
}

void SampleRate::Clear()
{
    if (const SectionCore *core = sections_.find(QStringLiteral("SampleRate")))
        core->clear(store_);
    LoadData();
}

void SampleRate::LoadData()
{
    ComboSampleRate->setCurrentIndex(store_.SampleRate == SampleRateCore::kHighRate ? kHighRateItem
                                                                                    : 0);
    showRateWarning();
    for (int i = 0; i < ComboT.size(); ++i) {
        // A weight that is none of the items shows no selection, so that a
        // store-back keeps it.
        ComboT[i]->setCurrentIndex(ComboT[i]->findData(store_.Flow[i].TotalRatio));
    }
}

void SampleRate::StoreControls()
{
    store_.SampleRate = ComboSampleRate->currentIndex() == kHighRateItem ? SampleRateCore::kHighRate
                                                                         : SampleRateCore::kLowRate;
    for (int i = 0; i < ComboT.size(); ++i) {
        if (ComboT[i]->currentIndex() >= 0)
            store_.Flow[i].TotalRatio = ComboT[i]->currentData().toFloat();
    }
}

void SampleRate::showRateWarning()
{
    WarningMsg->setVisible(ComboSampleRate->currentIndex() == kHighRateItem);
}

// A unit without pulse weights cannot take them: the combos are disabled
// and tell why; what they hold is kept.
void SampleRate::Timer1_Timer()
{
    const bool unsupported = unit_.isConnected() && !unit_.Device.has(Feature::PulseWeight);
    Warning->setVisible(unsupported);
    WarningText->setVisible(unsupported);
    for (QComboBox *combo : std::as_const(ComboT)) {
        combo->setEnabled(!unsupported);
        combo->setToolTip(unsupported ? WarningText->text() : QString());
    }
}
