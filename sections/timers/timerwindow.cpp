#include "timerwindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "widgets/namedwidget.h"
#include "model/configstore.h"
#include "widgets/flagcombo.h"
#include "widgets/numberbox.h"
#include "widgets/scheduleframe.h"

namespace {

constexpr int kWeekColumns = 7;
constexpr int kDaysPerRow = 4;

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

ScheduleWindow scheduleOf(const TimerValues &v)
{
    return {v.Always, v.Start, v.Stop, v.Weekdays};
}

} // namespace

TimerWindow::TimerWindow(const TimerFamily &family, ConfigStore &store, const SectionRegistry &sections,
                         ActionEditor actionEditor, QWidget *parent)
    : SectionEditor(parent, kTimerCount),
      Titulo(new QLabel(this)),
      family_(family),
      store_(store),
      sections_(sections),
      actionEditor_(std::move(actionEditor))
{
    setObjectName(QString(family.name));
    Titulo->setObjectName(QStringLiteral("Titulo"));

    makeHeading(Titulo);

    // Two by two, so that the largest element (a month of day boxes) fits.
    auto *page = new QGridLayout;
    page->setSpacing(6);
    for (int k = 0; k < kTimersPerPage; ++k)
        page->addWidget(buildElement(k), k / 2, k % 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(Titulo);
    layout->addLayout(page, 1);

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
    connect(e.BotonEditar, &QPushButton::clicked, this, [this, k] { BotonEditar_Click(k); });
    follow(e, e.BotonEditar, TimerField::Actions);

    auto *column = new QVBoxLayout(e.FrameTimer);
    column->setSpacing(2);
    column->setContentsMargins(6, 2, 6, 4);
    auto *top = new QHBoxLayout;
    top->addWidget(e.TimerHabil, 1, Qt::AlignTop);
    top->addWidget(e.FrameAcciones);
    column->addLayout(top);
    // The period has its own row: a long timer has no time of day, and so
    // no FrameHorario.
    if (QLayout *period = periodRow(e, k))
        column->addLayout(period);
    if (family_.has(TimerField::Start))
        column->addWidget(buildSchedule(e, k));
    if (family_.has(TimerField::Flag)) {
        e.Flag = named(new FlagChoice(e.FrameTimer), QStringLiteral("FlagChoice"), k);
        follow(e, e.Flag, TimerField::Flag);
        column->addWidget(e.Flag);
    }
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
    // Seconds (decimals allowed) or whole days, as the file's range table gives them.
    makeNumberBox(e.Period, QString(family_.name), QStringLiteral("PERIOD"), captions.period);
    return row({caption(e, captions.period, field), e.Period, caption(e, captions.periodUnit, field)});
}

// FrameHorario: the time of day with the window and day boxes the family has.
QGroupBox *TimerWindow::buildSchedule(TimerElement &e, int k)
{
    // Half the page is too narrow for seven day boxes in a row.
    e.Schedule = new ScheduleFrame({family_.has(TimerField::Always), family_.has(TimerField::Stop),
                                    family_.has(TimerField::Weekdays), kDaysPerRow},
                                   e.FrameTimer);
    e.Schedule->setStartCaption(family_.captions.start);
    e.FrameHorario = named(e.Schedule, QStringLiteral("FrameHorario"), k);
    if (family_.has(TimerField::DayMask))
        static_cast<QVBoxLayout *>(e.FrameHorario->layout())->addWidget(buildMonthGrid(e, k));
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
        const bool last = bit == MonthlyTimer::kLastDayBit;
        auto *box = named(new QCheckBox(last ? QString() : captions[bit], month),
                          QStringLiteral("Check") + QString::number(bit + 1), k);
        e.MonthDays[bit] = box;
        follow(e, box, TimerField::DayMask);
        const int column = bit % kWeekColumns;
        grid->addWidget(box, bit / kWeekColumns, column, 1, last ? kWeekColumns - column : 1);
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
        if (e.Schedule) {
            e.Schedule->LoadText();
        }
        if (e.FrameHorario)
            e.FrameHorario->setTitle(Translate(family_.scheduleCaption));
        if (e.MonthDays[0]) {
            e.MonthDays[MonthlyTimer::kLastDayBit]->setText(
                Translate(monthDayCaptions()[MonthlyTimer::kLastDayBit]));
        }
        if (e.Flag)
            e.Flag->LoadText();
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
    if (e.Schedule)
        e.Schedule->showWindow(scheduleOf(v));
    for (int bit = 0; bit < MonthlyTimer::kDayBits; ++bit) {
        if (e.MonthDays[bit])
            e.MonthDays[bit]->setChecked(dayBitSet(v.DayMask, bit));
    }
    if (e.Flag)
        e.Flag->Combo->showFlag(v.Flag);
    // Toggles already enable; a state that did not change still needs it.
    applyEnabling(k);
}

void TimerWindow::StoreControls()
{
    for (int k = 0; k < kTimersPerPage; ++k)
        storeElement(k);
}

// Each control is stored on its own: one that cannot be stored leaves the others.
void TimerWindow::storeElement(int k)
{
    const TimerElement &e = elements_[k];
    const int index = ChannelIndex() + k;
    TimerValues v = timerValues(store_, family_, index);
    v.Enabled = e.TimerHabil->isChecked();
    if (e.Period && edited(e.Period) && numberBoxFault(e.Period).isEmpty())
        storeTimerPeriod(family_, v, e.Period->text());
    if (e.Schedule) {
        ScheduleWindow window = scheduleOf(v);
        e.Schedule->storeTo(window);
        v.Always = window.Always;
        v.Start = window.Start;
        v.Stop = window.Stop;
        v.Weekdays = window.Weekdays;
    }
    for (int bit = 0; bit < MonthlyTimer::kDayBits; ++bit) {
        if (e.MonthDays[bit])
            v.DayMask = withDayBit(v.DayMask, bit, e.MonthDays[bit]->isChecked());
    }
    if (e.Flag)
        e.Flag->Combo->storeTo(v.Flag);
    setTimerValues(store_, family_, index, v);
}

// The schedule frame applies the window rule ("Siempre") itself.
void TimerWindow::applyEnabling(int k)
{
    const TimerElement &e = elements_[k];
    const bool enabled = e.TimerHabil->isChecked();
    for (const auto &[control, field] : e.followers)
        control->setEnabled(timerControlEnabled(family_, field, enabled, false));
    if (e.Schedule)
        e.Schedule->setActive(enabled);
}

void TimerWindow::BotonEditar_Click(int k)
{
    editActions(timerActions(store_, family_, ChannelIndex() + k), store_.ActionBuffer, actionEditor_);
}
