#include "timerfamily.h"

#include <type_traits>

#include "files/langtable.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"

namespace {

using F = TimerField;
using L = QLatin1String;

const QString kScheduleCaption = QStringLiteral("Rango horario de habilitacion");

// The rows stand in TimerKind order.
QList<TimerFamily> makeFamilies()
{
    return {
        {TimerKind::Cyclic, L("CTimer"), L("CTIMER"), L("CT"), 0,
         {F::Enabled, F::Seconds, F::Always, F::Start, F::Stop, F::Weekdays, F::Flag, F::Actions},
         {F::Start, F::Stop, F::Weekdays},
         {{F::Weekdays, true}, {F::Start, false}, {F::Stop, false}, {F::Seconds, true}, {F::Flag, false}},
         F::Seconds,
         {{L(""), F::Seconds, false}, {L(",START="), F::Start, true}, {L(",STOP="), F::Stop, true},
          {L(",WEEK="), F::Weekdays, true}, {L(",EQ="), F::Flag, false}},
         {{L("HABIL"), F::Enabled}, {L("PERIOD"), F::Seconds}, {L("SIEMPRE"), F::Always},
          {L("INICIO"), F::Start}, {L("FINAL"), F::Stop}, {L("SEMANA"), F::Weekdays}, {L("EQ"), F::Flag}},
         QStringLiteral("Configuracion temporizadores ciclicos "), kScheduleCaption,
         {QStringLiteral("Periodo"), QStringLiteral("Seg."), QStringLiteral("Inicio:")},
         10},
        {TimerKind::Weekly, L("WTimer"), L("WTIMER"), L("WT"), 0,
         {F::Enabled, F::Start, F::Weekdays, F::Actions},
         {},
         {{F::Weekdays, true}, {F::Start, false}},
         F::Weekdays,
         {{L(""), F::Start, false}, {L(",WEEK="), F::Weekdays, false}},
         {{L("HABIL"), F::Enabled}, {L("INICIO"), F::Start}, {L("SEMANA"), F::Weekdays}},
         QStringLiteral("Configuracion temporizadores semanales "), kScheduleCaption,
         {{}, {}, QStringLiteral("Ejecutar a las:")},
         0},
        {TimerKind::Monthly, L("MTimer"), L("MTIMER"), L("MT"), Feature::MonthlyTimers,
         {F::Enabled, F::Start, F::DayMask, F::Actions},
         {},
         {{F::DayMask, true}, {F::Start, false}},
         F::DayMask,
         {{L(""), F::Start, false}, {L(",MASK="), F::DayMask, false}},
         {{L("HABIL"), F::Enabled}, {L("INICIO"), F::Start}, {L("MES"), F::DayMask}},
         QStringLiteral("Configuracion temporizadores mensuales "),
         QStringLiteral("Dias / Hora de ejecucion"),
         {{}, {}, QStringLiteral("Ejecutar a las:")},
         0},
        {TimerKind::Long, L("LTimer"), L("LTIMER"), L("LT"), 0,
         {F::Enabled, F::Days, F::Actions},
         {},
         {{F::Days, true}},
         F::Days,
         {{L(""), F::Days, false}},
         {{L("HABIL"), F::Enabled}, {L("PERIOD"), F::Days}},
         QStringLiteral("Configuracion temporizadores largos "), {},
         {QStringLiteral("Ejecutar cada:"), QStringLiteral("Dias")},
         4},
    };
}

// Calls f with the family's array of records.
template <typename Store, typename Fn> void withTimers(Store &store, TimerKind kind, Fn &&f)
{
    switch (kind) {
    case TimerKind::Cyclic:
        f(store.CyclicTimers);
        return;
    case TimerKind::Weekly:
        f(store.WeeklyTimers);
        return;
    case TimerKind::Monthly:
        f(store.MonthlyTimers);
        return;
    case TimerKind::Long:
        f(store.LongTimers);
        return;
    }
}

template <typename R> TimerValues valuesOf(const R &timer)
{
    TimerValues v;
    v.Enabled = timer.Enabled;
    v.Actions = timer.Actions;
    if constexpr (requires { timer.Window; }) {
        v.Always = timer.Window.Always;
        v.Start = timer.Window.Start;
        v.Stop = timer.Window.Stop;
        v.Weekdays = timer.Window.Weekdays;
        v.Seconds = timer.Period;
        v.Flag = timer.EnableFlag;
    }
    if constexpr (requires { timer.Time; })
        v.Start = timer.Time;
    if constexpr (requires { timer.Weekdays; })
        v.Weekdays = timer.Weekdays;
    if constexpr (requires { timer.DayMask; })
        v.DayMask = timer.DayMask;
    if constexpr (std::is_same_v<R, LongTimer>)
        v.Days = timer.Period;
    return v;
}

template <typename R> void storeValues(R &timer, const TimerValues &v)
{
    timer.Enabled = v.Enabled;
    timer.Actions = v.Actions;
    if constexpr (requires { timer.Window; }) {
        timer.Window.Always = v.Always;
        timer.Window.Start = v.Start;
        timer.Window.Stop = v.Stop;
        timer.Window.Weekdays = v.Weekdays;
        timer.Period = v.Seconds;
        timer.EnableFlag = v.Flag;
    }
    if constexpr (requires { timer.Time; })
        timer.Time = v.Start;
    if constexpr (requires { timer.Weekdays; })
        timer.Weekdays = v.Weekdays;
    if constexpr (requires { timer.DayMask; })
        timer.DayMask = v.DayMask;
    if constexpr (std::is_same_v<R, LongTimer>)
        timer.Period = v.Days;
}

QStringList numberTexts(int from, int to)
{
    QStringList texts;
    for (int n = from; n <= to; ++n)
        texts << QString::number(n);
    return texts;
}

} // namespace

const QList<TimerFamily> &timerFamilies()
{
    static const QList<TimerFamily> families = makeFamilies();
    return families;
}

const TimerFamily &timerFamily(TimerKind kind)
{
    return timerFamilies()[int(kind)];
}

const TimerFamily *findTimerFamily(QStringView name)
{
    for (const TimerFamily &family : timerFamilies()) {
        if (name == family.name)
            return &family;
    }
    return nullptr;
}

TimerValues timerValues(const ConfigStore &store, const TimerFamily &family, int index)
{
    TimerValues values;
    withTimers(store, family.kind, [&](const auto &timers) { values = valuesOf(timers[index]); });
    return values;
}

void setTimerValues(ConfigStore &store, const TimerFamily &family, int index, const TimerValues &values)
{
    withTimers(store, family.kind, [&](auto &timers) { storeValues(timers[index], values); });
}

ActionList &timerActions(ConfigStore &store, const TimerFamily &family, int index)
{
    ActionList *actions = nullptr;
    withTimers(store, family.kind, [&](auto &timers) { actions = &timers[index].Actions; });
    return *actions;
}

void clearTimers(ConfigStore &store, const TimerFamily &family)
{
    withTimers(store, family.kind, [](auto &timers) {
        for (auto &timer : timers)
            timer.clear();
    });
}

std::optional<int> timerPageStart(int newIndex)
{
    if (newIndex < 0 || newIndex >= kTimerCount || newIndex % kTimersPerPage != 0)
        return std::nullopt;
    return newIndex;
}

QString timerPageTitle(const TimerFamily &family, int first)
{
    return Translate(family.title) + QString::number(first) + Translate(QStringLiteral(" a"))
        + NumStr(first + kTimersPerPage - 1);
}

QString timerFrameCaption(int index)
{
    return Translate(QStringLiteral("Temporizador ")) + QString::number(index);
}

const QStringList &weekdayCaptions()
{
    static const QStringList captions = {"Lun", "Mar", "Mie", "Jue", "Vie", "Sab", "Dom"};
    return captions;
}

const QStringList &monthDayCaptions()
{
    static const QStringList captions = numberTexts(1, 31) << QStringLiteral("Ultimo del mes");
    return captions;
}

bool timerControlEnabled(const TimerFamily &family, TimerField control, bool enabled, bool always)
{
    if (control == TimerField::Enabled)
        return true;
    return enabled && !(always && family.windowFields.contains(control));
}

bool dayBitSet(quint32 bits, int bit)
{
    return (bits >> bit) & 1u;
}

quint32 withDayBit(quint32 bits, int bit, bool set)
{
    const quint32 mask = 1u << bit;
    return set ? bits | mask : bits & ~mask;
}

QString timerPeriodText(const TimerFamily &family, const TimerValues &values)
{
    return family.has(TimerField::Days) ? NumStr(values.Days) : NumStr(values.Seconds);
}

bool storeTimerPeriod(const TimerFamily &family, TimerValues &values, QStringView text)
{
    const double number = ParseNumber(text);
    if (family.has(TimerField::Days)) {
        const std::optional<qint16> days = ToInt16(number);
        if (days)
            values.Days = *days;
        return days.has_value();
    }
    const std::optional<float> seconds = ToFloat32(number);
    if (seconds)
        values.Seconds = *seconds;
    return seconds.has_value();
}
