#include "realtimemonitor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

#include "digitdisplay.h"
#include "files/langtable.h"
#include "led.h"
#include "trendpanel.h"
#include "link/devicecommands.h"
#include "link/livesamples.h"
#include "link/unitconnection.h"
#include "model/product.h"
#include "model/texthelpers.h"
#include "widgets/namedwidget.h"
#include "widgets/unitcontrols.h"
#include "shell/mainwindow.h"

namespace {

constexpr int kDigitalLeds = kLiveInputs;
constexpr int kOutputs = kProductLimits.OutputCount;
constexpr int kFlags = kLiveFlags;
constexpr int kMathChannels = kProductLimits.MathCount;
constexpr int kMathRegisters = 8;

// Display widths, in characters, of the longest NumberText of each kind of
// value: a 32-bit count ("-2147483648"), a single-precision value
// ("-1.234568E+07") and a math register (15 significant digits and a
// three-digit exponent: "-1.23456789012345E+300").
constexpr int kCountWidth = 11;
constexpr int kFloatWidth = 13;
constexpr int kRegisterWidth = 22;

// The elements of a control array, named as the form's code knows them:
// "Digit_CNT(0)", "Digit_CNT(1)"...
template <typename Make>
auto controlArray(const QString &name, int count, Make make)
{
    QList<decltype(make())> controls;
    for (int i = 0; i < count; ++i) {
        auto *control = make();
        control->setObjectName(QStringLiteral("%1(%2)").arg(name).arg(i));
        controls << control;
    }
    return controls;
}

// A text the unit reports: shown as it is, and never widening the form (a
// long name is cut at the edge of its column).
QLabel *unitLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setMinimumWidth(40);
    return label;
}

// Channels shown as name, value and unit: "Label_AN_Name", "Digit_AN" and
// "Label_AN_Unit" for the tag "AN".
struct ChannelRows {
    QList<QLabel *> names;
    QList<DigitDisplay *> values;
    QList<QLabel *> units;
};

ChannelRows channelRows(const char *tag, int count, int valueWidth, QWidget *parent)
{
    const QString name = QLatin1String(tag);
    return {controlArray("Label_" + name + "_Name", count, [parent] { return unitLabel(parent); }),
            controlArray("Digit_" + name, count, [=] { return new DigitDisplay(valueWidth, parent); }),
            controlArray("Label_" + name + "_Unit", count, [parent] { return unitLabel(parent); })};
}

void addChannelRows(QGridLayout *grid, const ChannelRows &rows, int column)
{
    for (int i = 0; i < rows.names.size(); ++i) {
        grid->addWidget(rows.names[i], i, column);
        grid->addWidget(rows.values[i], i, column + 1);
        grid->addWidget(rows.units[i], i, column + 2);
    }
    grid->setColumnStretch(column, 2);
    grid->setColumnStretch(column + 2, 1);
}

// The channel number under a lamp or beside a display.
QLabel *numberLabel(int number, QWidget *parent)
{
    auto *label = new QLabel(QString::number(number), parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QGroupBox *namedFrame(const char *name, QWidget *parent)
{
    return named(new QGroupBox(parent), name);
}

// The channel numbers shown above a row of lamps.
QList<QLabel *> numberLabels(int count, QWidget *parent)
{
    QList<QLabel *> labels;
    for (int i = 0; i < count; ++i)
        labels << numberLabel(i, parent);
    return labels;
}

// A row of numbered lamps in a grid: numbers above, lamps below.
void addLampRow(QGridLayout *grid, int row, int column, const QList<Led *> &lamps, const QList<QLabel *> &numbers)
{
    for (int i = 0; i < lamps.size(); ++i) {
        grid->addWidget(numbers[i], row, column + i, Qt::AlignCenter);
        grid->addWidget(lamps[i], row + 1, column + i, Qt::AlignCenter);
    }
}

// A reading in the display's single precision (its width holds no more);
// the logs keep every digit.
QString shownReading(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    return NumberText(float(std::clamp(value, -kMax, kMax)));
}

// Lamp i lit when bit i of the unit's state is set.
void showBits(const QList<Led *> &lamps, quint32 bits)
{
    for (int i = 0; i < lamps.size(); ++i)
        lamps[i]->setLit(bits & (1u << i));
}

} // namespace

T_Real_Zelmor::T_Real_Zelmor(UnitConnection &unit, QWidget *parent)
    : QWidget(parent),
      Titulo(named(new QLabel(this), "Titulo")),
      SSTab1(named(new QTabWidget(this), "SSTab1")),
      Trends(named(new TrendPanel(unit.Device, this), "Trends")),
      RTCText(named(new QLabel(this), "RTCText")),
      Timer1(named(new QTimer(this), "Timer1")),
      unit_(unit)
{
    setObjectName(QStringLiteral("T_Real_Zelmor"));
    // The designed size; the page it is shown on scrolls when fonts larger
    // than the designed ones make the form taller or wider.
    resize(MainWindow::kClientSize);

    makeHeading(Titulo);

    FrameModbus = namedFrame("FrameModbus", this);
    SSTab1->addTab(buildGeneralTab(), QString());
    SSTab1->addTab(buildMathTab(), QString());
    auto *modbusPage = new QWidget;
    (new QVBoxLayout(modbusPage))->addWidget(FrameModbus);
    SSTab1->addTab(modbusPage, QString());
    SSTab1->addTab(Trends, QString());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(Titulo);
    layout->addWidget(SSTab1, 1);

    active = [this] { return isVisible() && isActiveWindow(); };
    connect(Timer1, &QTimer::timeout, this, &T_Real_Zelmor::Timer1_Timer);
    // A switch asked for one unit is never sent to the next one connected,
    // no output state is shown without a unit, and the trends leave a gap
    // for the time without one.
    connect(&unit_, &UnitConnection::disconnected, this, [this] {
        wanted_.fill(std::nullopt);
        for (QCheckBox *box : std::as_const(CheckCambiarEstado))
            box->setChecked(false);
        Trends->endRun();
    });
    onLanguageChange(this, &T_Real_Zelmor::LoadText);
    LoadText();
    Timer1->start(500);
}

QWidget *T_Real_Zelmor::buildGeneralTab()
{
    auto *page = new QWidget;
    auto *middle = new QHBoxLayout;
    middle->addWidget(buildProbes(), 1);
    middle->addWidget(buildStates());
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(buildCounters());
    column->addLayout(middle);
    column->addWidget(buildFlags());
    column->addWidget(RTCText);
    column->addStretch(1);
    return page;
}

QGroupBox *T_Real_Zelmor::buildProbes()
{
    Frame1 = namedFrame("Frame1", this);
    const ChannelRows probes = channelRows("AN", kProbeCount, kFloatWidth, this);
    Label_AN_Name = probes.names;
    Digit_AN = probes.values;
    Label_AN_Unit = probes.units;
    auto *grid = new QGridLayout(Frame1);
    grid->setVerticalSpacing(2);
    addChannelRows(grid, probes, 0);
    return Frame1;
}

QGroupBox *T_Real_Zelmor::buildStates()
{
    Frame2 = namedFrame("Frame2", this);
    inputsCaption_ = new QLabel(Frame2);
    outputsCaption_ = new QLabel(Frame2);
    Led_D = controlArray("Led_D", kDigitalLeds, [this] { return new Led(this); });
    Led_O = controlArray("Led_O", kOutputs, [this] { return new Led(this); });
    int number = 0;
    Label2 = controlArray("Label2", kOutputs, [&] { return numberLabel(number++, this); });
    CheckCambiarEstado = controlArray("CheckCambiarEstado", kOutputs, [this] { return new QCheckBox(this); });
    for (int i = 0; i < kOutputs; ++i)
        connect(CheckCambiarEstado[i], &QCheckBox::clicked, this, [this, i](bool on) { wanted_[i] = on; });
    // A switch is asked of the unit connected, and of no other.
    enableWhileConnected(unit_, this, {CheckCambiarEstado.cbegin(), CheckCambiarEstado.cend()});

    auto *grid = new QGridLayout(Frame2);
    grid->setVerticalSpacing(2);
    grid->addWidget(inputsCaption_, 1, 0);
    addLampRow(grid, 0, 1, Led_D, numberLabels(kDigitalLeds, Frame2));
    grid->addWidget(outputsCaption_, 3, 0);
    addLampRow(grid, 2, 1, Led_O, Label2);
    for (int i = 0; i < kOutputs; ++i)
        grid->addWidget(CheckCambiarEstado[i], 4, 1 + i, Qt::AlignCenter);
    return Frame2;
}

QGroupBox *T_Real_Zelmor::buildCounters()
{
    Frame3 = namedFrame("Frame3", this);
    Label_CNT_Name = controlArray("Label_CNT_Name", kCounterCount, [this] { return unitLabel(this); });
    Digit_CNT = controlArray("Digit_CNT", kCounterCount, [this] { return new DigitDisplay(kCountWidth, this); });
    const ChannelRows flows = channelRows("FL", kCounterCount, kFloatWidth, this);
    Label_FL_Name = flows.names;
    Digit_FL = flows.values;
    Label_FL_Unit = flows.units;
    auto *grid = new QGridLayout(Frame3);
    grid->setVerticalSpacing(3);
    for (int i = 0; i < kCounterCount; ++i) {
        grid->addWidget(Label_CNT_Name[i], i, 0);
        grid->addWidget(Digit_CNT[i], i, 1);
    }
    addChannelRows(grid, flows, 2);
    grid->setColumnStretch(0, 2);
    grid->setColumnMinimumWidth(2, 60);
    return Frame3;
}

QGroupBox *T_Real_Zelmor::buildFlags()
{
    Frame4 = namedFrame("Frame4", this);
    Led_F = controlArray("Led_F", kFlags, [this] { return new Led(this); });
    auto *grid = new QGridLayout(Frame4);
    grid->setVerticalSpacing(1);
    addLampRow(grid, 0, 0, Led_F, numberLabels(kFlags, Frame4));
    return Frame4;
}

QWidget *T_Real_Zelmor::buildMathTab()
{
    FrameCMat = namedFrame("FrameCMat", this);
    const ChannelRows math = channelRows("MAT", kMathChannels, kFloatWidth, this);
    Label_MAT_Name = math.names;
    Digit_MAT = math.values;
    Label_MAT_Unit = math.units;
    addChannelRows(new QGridLayout(FrameCMat), math, 0);

    FrameRMat = namedFrame("FrameRMat", this);
    Digit_RMAT = controlArray("Digit_RMAT", kMathRegisters, [this] { return new DigitDisplay(kRegisterWidth, this); });
    auto *registers = new QGridLayout(FrameRMat);
    const int rows = kMathRegisters / 2;
    for (int i = 0; i < kMathRegisters; ++i) {
        const int column = 2 * (i / rows);
        registers->addWidget(numberLabel(i, FrameRMat), i % rows, column);
        registers->addWidget(Digit_RMAT[i], i % rows, column + 1);
    }
    registers->setColumnStretch(1, 1);
    registers->setColumnStretch(3, 1);

    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(FrameCMat);
    column->addWidget(FrameRMat);
    column->addStretch(1);
    return page;
}

void T_Real_Zelmor::LoadText()
{
    setWindowTitle(Translate(QStringLiteral("Tiempo real")));
    Titulo->setText(Translate(QStringLiteral("Tiempo real")));
    SSTab1->setTabText(0, Translate(QStringLiteral("General")));
    SSTab1->setTabText(1, Translate(QStringLiteral("C.Matematicos")));
    SSTab1->setTabText(2, Translate(QStringLiteral("MODBUS")));
    // This product has no MODBUS channels to show.
    SSTab1->setTabEnabled(2, false);
    SSTab1->setTabText(3, Translate(QStringLiteral("Tendencias")));
    Trends->LoadText();
    Frame1->setTitle(Translate(QStringLiteral("Sondas")));
    Frame2->setTitle(Translate(QStringLiteral("Entradas / Salidas digitales")));
    Frame3->setTitle(Translate(QStringLiteral("Contadores / Caudalimetros")));
    Frame4->setTitle(Translate(QStringLiteral("Flags")));
    FrameCMat->setTitle(Translate(QStringLiteral("Canales matematicos")));
    FrameRMat->setTitle(Translate(QStringLiteral("Registros matematicos")));
    FrameModbus->setTitle(Translate(QStringLiteral("Variables MODBUS")));
    inputsCaption_->setText(Translate(QStringLiteral("Entradas")));
    outputsCaption_->setText(Translate(QStringLiteral("Salidas")));
    showClock();
}

// "RTC: " alone until the unit's clock has been read.
void T_Real_Zelmor::showClock()
{
    QString clock;
    if (clockShown_.isValid())
        clock = QLocale::system().toString(clockShown_, QLocale::ShortFormat);
    RTCText->setText(Translate(QStringLiteral("RTC: ")) + clock);
}

bool T_Real_Zelmor::OutputChange(int index, bool on)
{
    if (index < 0 || index >= kOutputs)
        return false;
    return unit_.exchange([&](Comms &comms) { return SetSingleOutput(comms, static_cast<qint16>(index), on); });
}

void T_Real_Zelmor::Timer1_Timer()
{
    // The exchanges below wait on the event loop, where this timer keeps
    // firing; a tick that comes while an earlier one waits has nothing to add.
    // The monitor pauses while another exchange (a transfer above all) holds the link.
    if (ticking_ || !unit_.isConnected() || !active() || unit_.linkBusy())
        return;
    ticking_ = true;
    sendOutputRequests();
    DeviceValues &device = unit_.Device;
    const bool answered = unit_.exchange([&device](Comms &comms) { return ReadRealTime(comms, device); });
    unit_.exchange([&device](Comms &comms) { return ReadDeviceRTC(comms, device); });
    // What was read last stays on show when the unit did not answer; only
    // an answered poll is a sample of the trends.
    showLive();
    if (answered)
        Trends->record(QDateTime::currentDateTimeUtc());
    ticking_ = false;
}

// A click is a request that stays until its command has gone out: a tick
// that finds the link held by another exchange leaves it for the next.
void T_Real_Zelmor::sendOutputRequests()
{
    for (int i = 0; i < kOutputs; ++i) {
        if (wanted_[i] && OutputChange(i, *wanted_[i]))
            wanted_[i].reset();
    }
}

// A box shows the state the unit reported, or the one asked for while its
// command waits to go out.
void T_Real_Zelmor::showOutputs()
{
    const quint32 reported = unit_.Device.Live.OutputState;
    for (int i = 0; i < kOutputs; ++i)
        CheckCambiarEstado[i]->setChecked(wanted_[i].value_or(reported & (1u << i)));
}

void T_Real_Zelmor::showLive()
{
    const DeviceValues &device = unit_.Device;
    const LiveData &live = device.Live;
    for (int i = 0; i < kCounterCount; ++i) {
        Label_CNT_Name[i]->setText(live.CounterName[i]);
        Label_FL_Name[i]->setText(live.FlowName[i]);
        Label_FL_Unit[i]->setText(live.FlowUnit[i]);
        const qint64 count = live.CounterValue[i];
        Digit_CNT[i]->setText(NumberText(count));
        // Shown as sent; a program that reads counters as signed 32-bit would see another number.
        const bool wide = count < std::numeric_limits<qint32>::min() || count > std::numeric_limits<qint32>::max();
        Digit_CNT[i]->setMark(wide ? Translate(QStringLiteral("Contador fuera del rango de 32 bits con signo; "
                                                              "se muestra tal como lo envia la unidad"))
                                   : QString());
        Digit_FL[i]->setText(shownReading(live.FlowRate[i]));
    }
    for (int i = 0; i < kProbeCount; ++i) {
        Label_AN_Name[i]->setText(live.AnalogName[i]);
        Label_AN_Unit[i]->setText(live.AnalogUnit[i]);
        Digit_AN[i]->setText(shownReading(live.AnalogValue[i]));
    }
    for (int i = 0; i < kMathChannels; ++i) {
        Label_MAT_Name[i]->setText(live.MathName[i]);
        Label_MAT_Unit[i]->setText(live.MathUnit[i]);
    }
    showBits(Led_D, live.DigitalState);
    showBits(Led_O, live.OutputState);
    showOutputs();
    showBits(Led_F, live.FlagState);
    if (device.has(Feature::MathChannels)) {
        for (int i = 0; i < kMathChannels; ++i)
            Digit_MAT[i]->setText(shownReading(live.MathValue[i]));
        // The registers are kept as the unit's number text, with all its digits.
        for (int i = 0; i < kMathRegisters; ++i)
            Digit_RMAT[i]->setText(NumberText(ParseNumber(live.MathRegister[i])));
    }
    clockShown_ = device.DeviceClock;
    showClock();
}
