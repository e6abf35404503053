#pragma once

#include <QTime>
#include <QtGlobal>

#include "actionlist.h"
#include "schedulewindow.h"

// The unit's four timer families. Each timer fires its action list; Clear
// (the clear() members) empties the actions and the cyclic flag too, so that
// nothing of the configuration held before survives a download or a file
// that does not carry them.

// Fires every Period seconds, all day or inside a daily window on chosen
// weekdays, while its flag is true.
struct CyclicTimer {
    bool Enabled = false;
    float Period = 0;          // seconds
    ScheduleWindow Window;
    qint16 EnableFlag = 0;     // 0: always; n: only while flag F(n-1) is TRUE
    ActionList Actions{};

    void clear()
    {
        Enabled = false;
        Period = 0;
        Window.clear();
        EnableFlag = 0;
        Actions = {};
    }
};

// Fires once at Time on each chosen weekday.
struct WeeklyTimer {
    bool Enabled = false;
    QTime Time{0, 0};
    quint8 Weekdays = 0;       // bit 0 Monday ... bit 6 Sunday
    ActionList Actions{};

    void clear()
    {
        Enabled = false;
        Time = QTime(0, 0);
        Weekdays = ScheduleWindow::kAllDays;
        Actions = {};
    }
};

// Fires once at Time on each chosen day of the month.
struct MonthlyTimer {
    bool Enabled = false;
    QTime Time{0, 0};
    quint32 DayMask = 0;       // bit d-1: day d (1 to 31); bit 31: the last day of the month
    ActionList Actions{};

    static constexpr int kDayBits = 32;
    static constexpr int kLastDayBit = 31;

    void clear()
    {
        Enabled = false;
        Time = QTime(0, 0);
        DayMask = 0;
        Actions = {};
    }
};

// Fires every Period days.
struct LongTimer {
    bool Enabled = false;
    qint16 Period = 0;         // whole days
    ActionList Actions{};

    static constexpr qint64 kSecondsPerDay = 86400;

    void clear()
    {
        Enabled = false;
        Period = 0;
        Actions = {};
    }
};

// Each family holds this many timers, numbered from 0.
inline constexpr int kTimerCount = 16;
