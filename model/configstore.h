#pragma once

#include "actionbuffer.h"
#include "analoggroup.h"
#include "generalsettings.h"
#include "gprsconfig.h"
#include "macropool.h"
#include "modbusbus.h"
#include "voiceauthlist.h"

// The one in-memory configuration of the unit being worked on. Each member
// belongs to one section; a section adds its record here and nowhere else.
// The program keeps one instance for the whole run; tests make their own.
struct ConfigStore {
    GeneralSettings General;
    MacroPool Macros;
    GprsConfig Gprs;
    ModbusBus Modbus;
    AnalogGroups Groups;
    VoiceAuthList VoiceList;
    // Where an editor hands one action list to the action editor and back.
    ::ActionBuffer ActionBuffer;
};
