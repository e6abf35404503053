#include "caudaleditor.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "ayuda.h"
#include "files/langtable.h"
#include "files/servicehistory.h"
#include "link/devicevalues.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "widgets/namedwidget.h"
#include "widgets/numberbox.h"
#include "widgets/unitcontrols.h"

namespace {

constexpr int kTimeBaseLength = 6;

} // namespace

Caudal::Caudal(UnitConnection &unit, ConfigStore &store, const SectionRegistry &sections,
               SetTotalizer setTotal, ActionEditor actions, QWidget *parent)
    : AlarmEditor(alarmMember(AlarmMember::Flow), store, sections, std::move(actions), parent),
      Nombre(textBox("Nombre", FlowMeter::kNameLength, this)),
      Unidad(textBox("Unidad", FlowMeter::kUnitLength, this)),
      Int_Habil(named(new QRadioButton(this), "Int_Habil")),
      Int_NoHabil(named(new QRadioButton(this), "Int_NoHabil")),
      TimeBase(textBox("TimeBase", kTimeBaseLength, this)),
      Ratio(named(new QLineEdit(this), "Ratio")),
      RatioUnit(named(new QLabel(this), "RatioUnit")),
      TotalText(named(new QLabel(this), "TotalText")),
      BotonModificar(named(new QPushButton(this), "BotonModificar")),
      HelpBut(named(new QPushButton(this), "HelpBut")),
      Notice(named(new QLabel(this), "Notice")),
      unit_(unit),
      setTotal_(std::move(setTotal)),
      seconds_(new QLabel(this)),
      ratioLabel_(new QLabel(this))
{
    // Both texts come back inside the unit's comma-separated answer.
    refuseSeparators(Nombre);
    refuseSeparators(Unidad);
    // The counter is read from and written to the unit connected.
    if (setTotal_)
        enableWhileConnected(unit_, this, {BotonModificar});
    else
        BotonModificar->setEnabled(false);
    Notice->setWordWrap(true);

    auto *options = new QButtonGroup(this);
    options->addButton(Int_Habil);
    options->addButton(Int_NoHabil);
    connect(Int_Habil, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseInterface(FlowMeter::kEnabled);
    });
    connect(Int_NoHabil, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseInterface(0);
    });
    connect(BotonModificar, &QPushButton::clicked, this, &Caudal::BotonModificar_Click);
    connect(HelpBut, &QPushButton::clicked, this, &Caudal::HelpBut_Click);
    connect(Timer1, &QTimer::timeout, this, &Caudal::refresh);
    makeNumberBox(TimeBase, QStringLiteral("Caudal"), QStringLiteral("TIMEBASE"), "Base de tiempo");
    makeNumberBox(Ratio, QStringLiteral("Caudal"), QStringLiteral("RATIO"), "Un pulso equivale a:");

    addKindFrame(buildKindFrame());
    auto *notice = new QWidget(this);
    auto *noticeRow = new QHBoxLayout(notice);
    noticeRow->setContentsMargins(6, 0, 6, 0);
    noticeRow->addWidget(Notice);
    layout()->addWidget(notice);
    reload();
    refresh();
}

QWidget *Caudal::buildKindFrame()
{
    auto *kind = new QWidget(this);
    frameNombre_ = frame("FrameNombre", {Nombre}, kind);
    frameUnidad_ = frame("FrameUnidad", {Unidad}, kind);
    frameInterfaz_ = frame("FrameInterfaz", {Int_Habil, Int_NoHabil}, kind);
    frameTimeBase_ = frame("FrameTimeBase", {TimeBase, seconds_}, kind);
    frameRatio_ = frame("FrameRatio", {ratioLabel_, Ratio, RatioUnit, HelpBut}, kind);
    frameTotal_ = frame("FrameTotal", {TotalText, BotonModificar}, kind);
    const int digit = TimeBase->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    TimeBase->setFixedWidth(digit * 7);
    Ratio->setMinimumWidth(digit * 8);
    TotalText->setMinimumWidth(digit * 8);

    // Each row shares its width out on its own.
    auto *rows = new QVBoxLayout(kind);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto *names = new QHBoxLayout;
    names->addWidget(frameNombre_, 3);
    names->addWidget(frameUnidad_, 1);
    names->addWidget(frameInterfaz_);
    auto *counting = new QHBoxLayout;
    counting->addWidget(frameTimeBase_);
    counting->addWidget(frameRatio_, 1);
    counting->addWidget(frameTotal_);
    rows->addLayout(names);
    rows->addLayout(counting);
    return kind;
}

void Caudal::LoadText()
{
    AlarmEditor::LoadText();
    frameNombre_->setTitle(Translate(QStringLiteral("Nombre")));
    frameUnidad_->setTitle(Translate(QStringLiteral("Unidad")));
    frameInterfaz_->setTitle(Translate(QStringLiteral("Interfaz")));
    frameTimeBase_->setTitle(Translate(QStringLiteral("Base de tiempo")));
    frameRatio_->setTitle(Translate(QStringLiteral("Equivalencia pulsos - unidad de ingenieria")));
    frameTotal_->setTitle(Translate(QStringLiteral("Totalizador")));
    Int_Habil->setText(Translate(QStringLiteral("Habil.")));
    Int_NoHabil->setText(Translate(QStringLiteral("No Habil.")));
    seconds_->setText(Translate(QStringLiteral("Seg.")));
    ratioLabel_->setText(Translate(QStringLiteral("Un pulso equivale a:")));
    BotonModificar->setText(Translate(QStringLiteral("Modificar")));
    HelpBut->setText(Translate(QStringLiteral("Ayuda")));
    Notice->setText(Translate(QStringLiteral("* La persistencia se expresa en ciclos de la base de "
                                             "tiempo. T= Persistencia * Base de tiempos.")));
    if (ayuda_)
        ayuda_->LoadText();
}

FlowMeter &Caudal::meter() const
{
    return store().Flow[ChannelIndex()];
}

std::optional<int> Caudal::recordInterface() const
{
    return meter().Interface;
}

void Caudal::storeInterface(int value)
{
    if (const std::optional<qint16> interface = ToInt16(value))
        meter().Interface = *interface;
}

void Caudal::chooseInterface(int value)
{
    InterfaceValue = value;
    const bool enabled = InterfaceValue != 0;
    for (QWidget *control : std::initializer_list<QWidget *>{frameNombre_, frameUnidad_,
                                                              frameTimeBase_, frameRatio_, HelpBut})
        control->setEnabled(enabled);
}

void Caudal::loadKindFields()
{
    const FlowMeter &shown = meter();
    limitsRaw_ = unit_.Device.has(Feature::FlowLimitsRaw);
    showText(Nombre, shown.Name);
    showText(Unidad, shown.Unit);
    showText(TimeBase, NumStr(shown.TimeBase));
    showText(Ratio, NumberText(shown.Ratio));
    // An interface neither option stands for shows no option and is kept.
    const int value = InterfaceValue;
    Int_Habil->group()->setExclusive(false);
    Int_Habil->setChecked(value == FlowMeter::kEnabled);
    Int_NoHabil->setChecked(value == 0);
    Int_Habil->group()->setExclusive(true);
    chooseInterface(value);
    showTotal();
}

void Caudal::storeKindFields()
{
    FlowMeter &stored = meter();
    storeIfEdited(Nombre, stored.Name);
    storeIfEdited(Unidad, stored.Unit);
    storeIfEdited(TimeBase, stored.TimeBase,
                  [](const QString &text) { return ToInt16(ParseNumber(text)); });
    storeIfEdited(Ratio, stored.Ratio,
                  [](const QString &text) { return ToFloat32(ParseNumber(text)); });
}

bool Caudal::scaled(float AlarmConfig::*field) const
{
    if (field == &AlarmConfig::Hysteresis)
        return true;
    return !limitsRaw_ && (field == &AlarmConfig::Low || field == &AlarmConfig::High);
}

float Caudal::shownNumber(float AlarmConfig::*field, const AlarmConfig &slot) const
{
    if (!scaled(field))
        return slot.*field;
    return slot.*field * meter().Ratio; // the product in single precision, as the unit shows it
}

void Caudal::storeNumbers(AlarmConfig &slot, std::span<const AlarmNumberBox> boxes)
{
    const bool ratioEdited = edited(Ratio) && numberBoxFault(Ratio).isEmpty();
    const float ratio = meter().Ratio;
    for (const AlarmNumberBox &number : boxes) {
        // A limit shown in engineering units goes back to pulses when its
        // text or the ratio it was shown with changed; a ratio of 0 cannot
        // convert, and the field keeps its value.
        const bool convert = scaled(number.field);
        if (!numberBoxFault(number.box).isEmpty() || (!number.edited && !(convert && ratioEdited)))
            continue;
        double value = ParseNumber(number.box->text());
        if (convert) {
            if (ratio == 0)
                continue;
            value /= ratio;
        }
        if (const std::optional<float> stored = ToFloat32(value))
            slot.*number.field = *stored;
    }
}

// The counter is the connected unit's; beside another unit's configuration
// (a file of another unit, or none connected) it would tell of the wrong one.
void Caudal::showTotal()
{
    bool ours = unit_.isConnected();
    if (ours && configSource)
        ours = ServiceHistory::sameUnit(configSource().trimmed(), unit_.Device.SerialNumber.trimmed());
    TotalText->setText(ours ? NumStr(unit_.Device.TotalCounts[ChannelIndex()]) : QString());
}

void Caudal::refresh()
{
    RatioUnit->setText(Unidad->text());
}

void Caudal::BotonModificar_Click()
{
    if (!setTotal_)
        return;
    setTotal_(ChannelIndex());
    showTotal();
}

Ayuda *Caudal::helper() const
{
    return ayuda_;
}

void Caudal::HelpBut_Click()
{
    if (!ayuda_)
        ayuda_ = new Ayuda(this);
    ayuda_->show();
    ayuda_->raise();
    ayuda_->activateWindow();
}
