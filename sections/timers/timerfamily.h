#pragma once

#include <QLatin1String>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTime>
#include <QtGlobal>

#include <optional>

#include "model/actionlist.h"

struct ConfigStore;

// The four timer families differ only in which fields they have and how
// those travel; the rows of timerFamilies() say so, and one implementation
// (the core, the editor, the tests) follows them.

enum class TimerKind { Cyclic, Weekly, Monthly, Long };

// The fields a timer can have; each is shown by one control of the editor.
enum class TimerField {
    Enabled,  // TimerHabil
    Seconds,  // Period of a cyclic timer, in seconds
    Days,     // Period of a long timer, in whole days
    Always,   // HorarioHabil ("Siempre")
    Start,    // HoraInicio: a cyclic window's start, or the weekly and monthly Time
    Stop,     // HoraFinal
    Weekdays, // CheckLun to CheckDom
    DayMask,  // Check1 to Check32
    Flag,     // FlagCombo
    Actions,  // BotonEditar
};

// Every field of any family in one shape, so that one piece of code serves
// all four. A family reads and writes only the fields its row lists.
struct TimerValues {
    bool Enabled = false;
    float Seconds = 0;
    qint16 Days = 0;
    bool Always = false;
    QTime Start{0, 0};
    QTime Stop{0, 0};
    quint8 Weekdays = 0;
    quint32 DayMask = 0;
    qint16 Flag = 0;
    ActionList Actions{};
};

// A number of the unit's timer line, after the keyword and the index.
struct TimerStreamField {
    TimerField field;
    bool enabling; // the timer is enabled when every enabling number is above 0
};

// A part of the upload line after the index: label + the field's text.
struct TimerUploadPart {
    QLatin1String label;
    TimerField field;
    bool windowOnly; // sent only while Always is false
};

// The editor's labels of the family's own; empty where the family has no such label.
struct TimerCaptions {
    QString period;     // before the Period box
    QString periodUnit; // after it
    QString start;      // before HoraInicio
};

struct TimerFileKey {
    QLatin1String key;
    TimerField field;
};

// One row per family.
struct TimerFamily {
    TimerKind kind;
    QLatin1String name;   // section and editor form: "CTimer"
    QLatin1String word;   // download keyword and file section word: "CTIMER"
    QLatin1String prefix; // upload line: "CT" + index
    quint32 feature;      // the unit capability the upload needs; 0: none
    QList<TimerField> fields;          // fields held, controls shown
    QList<TimerField> windowFields;    // enabled only while Always is clear
    QList<TimerStreamField> stream;    // unit line numbers, in order
    TimerField offField;               // sent as 0 by a unit whose timer is disabled
    QList<TimerUploadPart> upload;     // upload line, before ",ACT="
    QList<TimerFileKey> fileKeys;      // before the action keys

    // Editor data.
    QString title;            // followed by the page's first and last timer
    QString scheduleCaption;  // FrameHorario; empty for a family without a time of day
    TimerCaptions captions;
    int periodLength;         // characters the Period box takes when typing; 0: no box

    bool has(TimerField field) const { return fields.contains(field); }
};

const QList<TimerFamily> &timerFamilies();
const TimerFamily &timerFamily(TimerKind kind);
// The row of a section or form name ("WTimer"); null for any other name.
const TimerFamily *findTimerFamily(QStringView name);

// ---- Access to one timer (index 0 to kTimerCount - 1) ----
TimerValues timerValues(const ConfigStore &store, const TimerFamily &family, int index);
// Writes the family's fields back; the others are ignored.
void setTimerValues(ConfigStore &store, const TimerFamily &family, int index, const TimerValues &values);
ActionList &timerActions(ConfigStore &store, const TimerFamily &family, int index);

// The family's defaults for all of its timers (the records' clear()).
void clearTimers(ConfigStore &store, const TimerFamily &family);

// ---- Helpers for the editor ----
inline constexpr int kTimersPerPage = 4;
inline constexpr int kFlagChoices = 17; // "TRUE", "F0" to "F15"

// The first timer of the page that starts at newIndex: only 0, 4, 8 and 12 start a page.
std::optional<int> timerPageStart(int newIndex);
// "Configuracion temporizadores ciclicos 4 a 7" (the caption translated).
QString timerPageTitle(const TimerFamily &family, int first);
// "Temporizador 4" (translated).
QString timerFrameCaption(int index);
// "Lun" to "Dom", and "1" to "31" with "Ultimo del mes": the day boxes' captions, untranslated.
const QStringList &weekdayCaptions();
const QStringList &monthDayCaptions();

// Whether a control of a timer is enabled: every control follows TimerHabil,
// and the window's controls also need "Siempre" clear.
bool timerControlEnabled(const TimerFamily &family, TimerField control, bool enabled, bool always);

// Day boxes: bit n of a weekday set or day mask.
bool dayBitSet(quint32 bits, int bit);
quint32 withDayBit(quint32 bits, int bit, bool set);

// The Period box: NumStr of the period, and the typed text stored back as
// ParseNumber reads it (whole days for a long timer). False, leaving the
// values alone, when the number is outside the field's range.
QString timerPeriodText(const TimerFamily &family, const TimerValues &values);
bool storeTimerPeriod(const TimerFamily &family, TimerValues &values, QStringView text);
