#pragma once

#include <QString>
#include <QtGlobal>

#include "actionlist.h"
#include "schedulewindow.h"

// One alarm configuration slot of an alarm-capable channel. The three
// notification flags are edited as one choice: at most one is set.
struct AlarmConfig {
    bool Enabled = false;
    bool RestoreMessage = false; // a message also when the condition ends
    bool Resend = false;
    bool NotifySms = false;
    bool NotifyVoice = false;    // SMS and voice call
    bool NotifyGprs = false;
    QString Text;                // at most kTextLength characters
    float Low = 0;
    float High = 0;
    float Hysteresis = 0;
    float Persistence = 0;
    float Rearm = 0;             // digital inputs only
    ScheduleWindow Window;
    qint16 EnableFlag = 0;       // 0: always; n: only while flag F(n-1) is TRUE
    ActionList ActionsHigh{};    // digital inputs: on closing
    ActionList ActionsLow{};     // digital inputs: on opening
    ActionList ActionsNormal{};

    static constexpr int kTextLength = 49;

    // Back to the defaults, action lists included: a stream or a file that
    // carries no actions must not leave the previous unit's in place.
    void clear()
    {
        AlarmConfig fresh;
        fresh.Window.clear();
        *this = fresh;
    }
};
