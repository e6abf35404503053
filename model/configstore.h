#pragma once

#include "actionbuffer.h"
#include "analoginput.h"
#include "digitalinput.h"
#include "flagchannel.h"
#include "flowmeter.h"
#include "analoggroup.h"
#include "generalsettings.h"
#include "gprsconfig.h"
#include "macropool.h"
#include "mathchannel.h"
#include "onewireprobe.h"
#include "product.h"
#include "timers.h"

#include <array>
#include "modbusbus.h"
#include "voiceauthlist.h"

// The one in-memory configuration of the unit being worked on. Each member
// belongs to one section; a section adds its record here and nowhere else.
// The program keeps one instance for the whole run; tests make their own.
struct ConfigStore {
    GeneralSettings General;
    MacroPool Macros;
    std::array<FlowMeter, 9> Flow;          // FL0-FL7 and a spare record
    std::array<DigitalInput, 9> Digital;    // DI0-DI7 and DI8, the mains-failure input
    std::array<MathChannel, kProductLimits.MathCount> Math;
    std::array<FlagChannel, 16> Flags;      // FG0-FG15
    std::array<OneWireProbe, 4> OneWire;    // PB0-PB3
    std::array<AnalogInput, 4> Analog;      // AI0-AI3
    std::array<CyclicTimer, kTimerCount> CyclicTimers;
    std::array<WeeklyTimer, kTimerCount> WeeklyTimers;
    std::array<MonthlyTimer, kTimerCount> MonthlyTimers;
    std::array<LongTimer, kTimerCount> LongTimers;
    GprsConfig Gprs;
    ModbusBus Modbus;
    AnalogGroups Groups;
    VoiceAuthList VoiceList;
    // Where an editor hands one action list to the action editor and back.
    ::ActionBuffer ActionBuffer;
    qint16 SampleRate = 64;                 // pulse sampling frequency, 64 or 256 Hz
};
