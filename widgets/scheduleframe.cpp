#include "scheduleframe.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "files/langtable.h"
#include "sections/timers/timerfamily.h"
#include "widgets/timebox.h"

namespace {

constexpr const char *kDayNames[] = {"CheckLun", "CheckMar", "CheckMie", "CheckJue",
                                     "CheckVie", "CheckSab", "CheckDom"};

TimeBox *timePicker(const char *objectName, const QString &caption, QWidget *parent)
{
    auto *picker = new TimeBox(caption, parent);
    picker->setObjectName(QString::fromLatin1(objectName));
    return picker;
}

} // namespace

ScheduleFrame::ScheduleFrame(Parts parts, QWidget *parent)
    : QGroupBox(parent), HorarioHabil(new QCheckBox(this)), LabelInicio(new QLabel(this)),
      HoraInicio(timePicker("HoraInicio", QStringLiteral("Inicio:"), this)), LabelFinal(new QLabel(this)),
      HoraFinal(timePicker("HoraFinal", QStringLiteral("Final:"), this)), parts_(parts)
{
    setObjectName(QStringLiteral("FrameHorario"));
    HorarioHabil->setObjectName(QStringLiteral("HorarioHabil"));
    HorarioHabil->setVisible(parts.always);
    LabelFinal->setVisible(parts.stop);
    HoraFinal->setVisible(parts.stop);

    auto *times = new QHBoxLayout;
    times->addWidget(LabelInicio);
    times->addWidget(HoraInicio);
    times->addSpacing(12);
    times->addWidget(LabelFinal);
    times->addWidget(HoraFinal);
    times->addStretch();

    auto *days = new QGridLayout;
    days->setHorizontalSpacing(4);
    for (int day = 0; day < int(Days.size()); ++day) {
        Days[day] = new QCheckBox(this);
        Days[day]->setObjectName(QString::fromLatin1(kDayNames[day]));
        Days[day]->setVisible(parts.weekdays);
        days->addWidget(Days[day], day / parts.dayColumns, day % parts.dayColumns);
    }

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(6, 2, 6, 4);
    column->setSpacing(2);
    if (parts.always)
        column->addWidget(HorarioHabil);
    column->addLayout(times);
    column->addLayout(days);

    connect(HorarioHabil, &QCheckBox::toggled, this, &ScheduleFrame::applyEnabling);
    applyEnabling();
}

void ScheduleFrame::LoadText()
{
    setTitle(Translate(QStringLiteral("Rango horario de habilitacion")));
    HorarioHabil->setText(Translate(QStringLiteral("Siempre")));
    LabelInicio->setText(Translate(startCaption_));
    LabelFinal->setText(Translate(QStringLiteral("Final:")));
    const QStringList &captions = weekdayCaptions();
    for (int day = 0; day < int(Days.size()); ++day)
        Days[day]->setText(Translate(captions.at(day)));
}

void ScheduleFrame::setStartCaption(const QString &caption)
{
    startCaption_ = caption;
    HoraInicio->setCaption(caption);
    LabelInicio->setText(Translate(caption));
}

void ScheduleFrame::showWindow(const ScheduleWindow &window)
{
    HorarioHabil->setChecked(window.Always);
    HoraInicio->setTime(window.Start);
    HoraFinal->setTime(window.Stop);
    showWeekdays(window.Weekdays);
}

void ScheduleFrame::storeTo(ScheduleWindow &window) const
{
    if (parts_.always)
        window.Always = HorarioHabil->checkState() != Qt::Unchecked;
    if (const std::optional<QTime> start = HoraInicio->time())
        window.Start = *start;
    if (const std::optional<QTime> stop = HoraFinal->time(); parts_.stop && stop)
        window.Stop = *stop;
    if (parts_.weekdays)
        window.Weekdays = weekdays();
}

quint8 ScheduleFrame::weekdays() const
{
    quint8 bits = 0;
    for (int day = 0; day < int(Days.size()); ++day) {
        if (Days[day]->isChecked())
            bits |= quint8(1u << day);
    }
    return bits;
}

void ScheduleFrame::showWeekdays(quint8 weekdays)
{
    for (int day = 0; day < int(Days.size()); ++day)
        Days[day]->setChecked(weekdays & (1u << day));
}

void ScheduleFrame::setActive(bool active)
{
    active_ = active;
    applyEnabling();
}

void ScheduleFrame::applyEnabling()
{
    for (QWidget *control : {static_cast<QWidget *>(HorarioHabil), static_cast<QWidget *>(LabelInicio),
                             static_cast<QWidget *>(LabelFinal)})
        control->setEnabled(active_);
    const bool window = active_ && !HorarioHabil->isChecked();
    HoraInicio->setEnabled(window);
    HoraFinal->setEnabled(window);
    for (QCheckBox *day : Days)
        day->setEnabled(window);
}
