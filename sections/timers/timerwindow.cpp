#include "timerwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/numberbox.h"

namespace {

// The size the form was designed with: the main window's client area less
// the navigation panel.
constexpr QSize kFormSize(649, 566);
constexpr int kRefreshMs = 1000;
constexpr int kWeekColumns = 7;
constexpr int kWeekRowLength = 4;

template <typename W> W *named(W *widget, const QString &name, int k)
{
    widget->setObjectName(name + QLatin1Char('_') + QString::number(k));
    return widget;
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(4);
    for (QWidget *widget : widgets) {
        if (widget)
            layout->addWidget(widget);
    }
    layout->addStretch();
    return layout;
}

QTimeEdit *timePicker(const QString &name, int k, QWidget *parent)
{
    auto *picker = named(new QTimeEdit(parent), name, k);
    picker->setDisplayFormat(QStringLiteral("H:mm:ss"));
    picker->setTimeRange(QTime(0, 0), QTime(23, 59, 59));
    return picker;
}

QCheckBox *dayBox(const QString &caption, const QString &name, int k, QWidget *parent)
{
    return named(new QCheckBox(caption, parent), name, k);
}

} // namespace

TimerWindow::TimerWindow(const TimerFamily &family, ConfigStore &store, const SectionRegistry &sections,
                         QWidget *parent)
    : SectionEditor(parent, kTimerCount),
      Titulo(new QLabel(this)),
      Timer1(new QTimer(this)),
      family_(family),
      store_(store),
      sections_(sections)
{
    setObjectName(QString(family.name));
    setFixedSize(kFormSize);
    Titulo->setObjectName(QStringLiteral("Titulo"));
    Timer1->setObjectName(QStringLiteral("Timer1"));

    QFont heading = Titulo->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    Titulo->setFont(heading);

    // Two by two, so that the largest element (a month of day boxes) fits.
    auto *page = new QGridLayout;
    page->setSpacing(6);
    for (int k = 0; k < kTimersPerPage; ++k)
        page->addWidget(buildElement(k), k / 2, k % 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(Titulo);
    layout->addLayout(page, 1);

    if (!family_.periodCheck.isEmpty()) {
        connect(Timer1, &QTimer::timeout, this, &TimerWindow::Timer1_Timer);
        Timer1->start(kRefreshMs);
    }
    reload();
}

QWidget *TimerWindow::buildElement(int k)
{
    TimerElement &e = elements_[k];
    e.FrameTimer = named(new QGroupBox(this), QStringLiteral("FrameTimer"), k);
    e.TimerHabil = named(new QCheckBox(e.FrameTimer), QStringLiteral("TimerHabil"), k);
    connect(e.TimerHabil, &QCheckBox::toggled, this, [this, k] { applyEnabling(k); });

    e.FrameAcciones = named(new QGroupBox(e.FrameTimer), QStringLiteral("FrameAcciones"), k);
    e.BotonEditar = named(new QPushButton(e.FrameAcciones), QStringLiteral("BotonEditar"), k);
    (new QHBoxLayout(e.FrameAcciones))->addWidget(e.BotonEditar);
    follow(e, e.BotonEditar, TimerField::Actions);

    auto *column = new QVBoxLayout(e.FrameTimer);
    column->setSpacing(2);
    column->setContentsMargins(6, 2, 6, 4);
    auto *top = new QHBoxLayout;
    top->addWidget(e.TimerHabil, 1, Qt::AlignTop);
    top->addWidget(e.FrameAcciones);
    column->addLayout(top);
    // A timer without a window of its own keeps its period in FrameHorario.
    QLayout *period = periodRow(e, k);
    const bool periodInFrame = !family_.has(TimerField::Start);
    if (period && !periodInFrame)
        column->addLayout(period);
    column->addWidget(buildSchedule(e, k, periodInFrame ? period : nullptr));
    column->addStretch();
    return e.FrameTimer;
}

QLabel *TimerWindow::caption(TimerElement &e, const QString &text, TimerField field)
{
    if (text.isEmpty())
        return nullptr;
    auto *label = new QLabel(this);
    labels_.append({label, text});
    follow(e, label, field);
    return label;
}

QLayout *TimerWindow::periodRow(TimerElement &e, int k)
{
    const TimerField field = family_.has(TimerField::Days) ? TimerField::Days : TimerField::Seconds;
    if (!family_.has(field))
        return nullptr;
    e.Period = named(new QLineEdit(this), QStringLiteral("Period"), k);
    e.Period->setMaxLength(family_.periodLength);
    e.Period->setMaximumWidth(e.Period->fontMetrics().horizontalAdvance(QLatin1Char('0'))
                                  * (family_.periodLength + 2)
                              + 12);
    follow(e, e.Period, field);
    const TimerCaptions &captions = family_.captions;
    return row({caption(e, captions.period, field), e.Period, caption(e, captions.periodUnit, field)});
}

// FrameHorario: the window or time of execution and the day boxes.
QWidget *TimerWindow::buildSchedule(TimerElement &e, int k, QLayout *period)
{
    const TimerCaptions &captions = family_.captions;
    e.FrameHorario = named(new QGroupBox(e.FrameTimer), QStringLiteral("FrameHorario"), k);
    auto *frame = new QVBoxLayout(e.FrameHorario);
    frame->setSpacing(2);
    frame->setContentsMargins(6, 2, 6, 4);
    if (period)
        frame->addLayout(period);
    if (family_.has(TimerField::Always)) {
        e.HorarioHabil = named(new QCheckBox(e.FrameHorario), QStringLiteral("HorarioHabil"), k);
        connect(e.HorarioHabil, &QCheckBox::toggled, this, [this, k] { applyEnabling(k); });
        follow(e, e.HorarioHabil, TimerField::Always);
        frame->addWidget(e.HorarioHabil);
    }
    if (family_.has(TimerField::Start)) {
        e.HoraInicio = timePicker(QStringLiteral("HoraInicio"), k, e.FrameHorario);
        follow(e, e.HoraInicio, TimerField::Start);
        QLabel *startLabel = caption(e, captions.start, TimerField::Start);
        if (family_.has(TimerField::Stop)) {
            e.HoraFinal = timePicker(QStringLiteral("HoraFinal"), k, e.FrameHorario);
            follow(e, e.HoraFinal, TimerField::Stop);
            frame->addLayout(
                row({startLabel, e.HoraInicio, caption(e, captions.stop, TimerField::Stop), e.HoraFinal}));
        } else {
            frame->addLayout(row({startLabel, e.HoraInicio}));
        }
    }
    if (family_.has(TimerField::Weekdays)) {
        // Two rows: seven boxes side by side do not fit half the page.
        auto *days = new QGridLayout;
        days->setHorizontalSpacing(2);
        days->setVerticalSpacing(0);
        const QStringList &names = weekdayCaptions();
        for (int d = 0; d < kWeekColumns; ++d) {
            e.WeekDays[d] = dayBox(QString(), QStringLiteral("Check") + names[d], k, e.FrameHorario);
            follow(e, e.WeekDays[d], TimerField::Weekdays);
            days->addWidget(e.WeekDays[d], d / kWeekRowLength, d % kWeekRowLength);
        }
        frame->addLayout(days);
    }
    if (family_.has(TimerField::DayMask))
        frame->addWidget(buildMonthGrid(e, k));
    return e.FrameHorario;
}

// Check1 to Check31 as a month of seven columns, "Ultimo del mes" after day 31.
QWidget *TimerWindow::buildMonthGrid(TimerElement &e, int k)
{
    auto *month = new QWidget(e.FrameHorario);
    auto *grid = new QGridLayout(month);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(0);
    const QStringList &captions = monthDayCaptions();
    for (int bit = 0; bit < MonthlyTimer::kDayBits; ++bit) {
        QCheckBox *box = dayBox(bit == MonthlyTimer::kLastDayBit ? QString() : captions[bit],
                                QStringLiteral("Check") + QString::number(bit + 1), k, month);
        e.MonthDays[bit] = box;
        follow(e, box, TimerField::DayMask);
        const int column = bit % kWeekColumns;
        grid->addWidget(box, bit / kWeekColumns, column, 1,
                        bit == MonthlyTimer::kLastDayBit ? kWeekColumns - column : 1);
    }
    return month;
}

void TimerWindow::follow(TimerElement &e, QWidget *control, TimerField field)
{
    e.followers.append({control, field});
}

void TimerWindow::LoadText()
{
    const int first = ChannelIndex();
    Titulo->setText(timerPageTitle(family_, first));
    setWindowTitle(Titulo->text());
    for (int k = 0; k < kTimersPerPage; ++k) {
        TimerElement &e = elements_[k];
        e.FrameTimer->setTitle(timerFrameCaption(first + k));
        e.TimerHabil->setText(Translate(QStringLiteral("Habilitar temporiz.")));
        e.FrameAcciones->setTitle(Translate(QStringLiteral("Acciones a ejecutar")));
        e.BotonEditar->setText(Translate(QStringLiteral("Editar")));
        e.FrameHorario->setTitle(Translate(family_.scheduleCaption));
        if (e.HorarioHabil)
            e.HorarioHabil->setText(Translate(family_.captions.always));
        if (e.WeekDays[0]) {
            for (int d = 0; d < kWeekColumns; ++d)
                e.WeekDays[d]->setText(Translate(weekdayCaptions()[d]));
        }
        if (e.MonthDays[0]) {
            e.MonthDays[MonthlyTimer::kLastDayBit]->setText(
                Translate(monthDayCaptions()[MonthlyTimer::kLastDayBit]));
        }
    }
    for (const auto &[label, text] : labels_)
        label->setText(Translate(text));
}

void TimerWindow::Clear()
{
    if (const SectionCore *core = sections_.find(QString(family_.name)))
        core->clear(store_);
    LoadData();
}

void TimerWindow::ChangeIndex(int newIndex)
{
    if (timerPageStart(newIndex))
        SectionEditor::ChangeIndex(newIndex);
}

void TimerWindow::LoadData()
{
    for (int k = 0; k < kTimersPerPage; ++k)
        loadElement(k);
}

void TimerWindow::loadElement(int k)
{
    TimerElement &e = elements_[k];
    const TimerValues v = timerValues(store_, family_, ChannelIndex() + k);
    e.TimerHabil->setChecked(v.Enabled);
    if (e.Period)
        showText(e.Period, timerPeriodText(family_, v));
    if (e.HorarioHabil)
        e.HorarioHabil->setChecked(v.Always);
    if (e.HoraInicio)
        e.HoraInicio->setTime(v.Start);
    if (e.HoraFinal)
        e.HoraFinal->setTime(v.Stop);
    for (int d = 0; d < kWeekColumns; ++d) {
        if (e.WeekDays[d])
            e.WeekDays[d]->setChecked(dayBitSet(v.Weekdays, d));
    }
    for (int bit = 0; bit < MonthlyTimer::kDayBits; ++bit) {
        if (e.MonthDays[bit])
            e.MonthDays[bit]->setChecked(dayBitSet(v.DayMask, bit));
    }
    // Toggles already enable; a state that did not change still needs it.
    applyEnabling(k);
}

void TimerWindow::StoreControls()
{
    for (int k = 0; k < kTimersPerPage; ++k)
        storeElement(k);
    if (family_.checkPeriodOnStore)
        checkPeriods();
}

void TimerWindow::storeElement(int k)
{
    const TimerElement &e = elements_[k];
    const int index = ChannelIndex() + k;
    TimerValues v = timerValues(store_, family_, index);
    v.Enabled = e.TimerHabil->isChecked();
    if (e.Period && edited(e.Period))
        storeTimerPeriod(family_, v, e.Period->text());
    if (e.HorarioHabil)
        v.Always = e.HorarioHabil->isChecked();
    if (e.HoraInicio)
        v.Start = e.HoraInicio->time();
    if (e.HoraFinal)
        v.Stop = e.HoraFinal->time();
    for (int d = 0; d < kWeekColumns; ++d) {
        if (e.WeekDays[d])
            v.Weekdays = quint8(withDayBit(v.Weekdays, d, e.WeekDays[d]->isChecked()));
    }
    for (int bit = 0; bit < MonthlyTimer::kDayBits; ++bit) {
        if (e.MonthDays[bit])
            v.DayMask = withDayBit(v.DayMask, bit, e.MonthDays[bit]->isChecked());
    }
    setTimerValues(store_, family_, index, v);
}

void TimerWindow::applyEnabling(int k)
{
    const TimerElement &e = elements_[k];
    const bool enabled = e.TimerHabil->isChecked();
    const bool always = e.HorarioHabil && e.HorarioHabil->isChecked();
    for (const auto &[control, field] : e.followers)
        control->setEnabled(timerControlEnabled(family_, field, enabled, always));
}

void TimerWindow::Timer1_Timer()
{
    checkPeriods();
}

void TimerWindow::checkPeriods()
{
    for (const TimerElement &e : elements_) {
        if (e.Period)
            CheckNumberBox(e.Period, family_.periodCheck);
    }
}
