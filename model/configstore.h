#pragma once

#include "actionbuffer.h"
#include "generalsettings.h"
#include "macropool.h"
#include "timers.h"

#include <array>

// The one in-memory configuration of the unit being worked on. Each member
// belongs to one section; a section adds its record here and nowhere else.
// The program keeps one instance for the whole run; tests make their own.
struct ConfigStore {
    GeneralSettings General;
    MacroPool Macros;
    std::array<CyclicTimer, kTimerCount> CyclicTimers;
    std::array<WeeklyTimer, kTimerCount> WeeklyTimers;
    std::array<MonthlyTimer, kTimerCount> MonthlyTimers;
    std::array<LongTimer, kTimerCount> LongTimers;
    // Where an editor hands one action list to the action editor and back.
    ::ActionBuffer ActionBuffer;
};
