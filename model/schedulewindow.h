#pragma once

#include <QTime>
#include <QtGlobal>

// When an alarm configuration (or a timer) is active. A new window is all
// zero, as the whole model is before the sections' Clear runs.
struct ScheduleWindow {
    bool Always = false;      // whole day, every day; the other fields are kept but ignored
    QTime Start{0, 0};
    QTime Stop{0, 0};
    quint8 Weekdays = 0;      // bit 0 Monday ... bit 6 Sunday; bit 7 carries nothing

    static constexpr quint8 kAllDays = 127;

    void clear()
    {
        *this = ScheduleWindow{};
        Always = true;
        Weekdays = kAllDays;
    }
};
