#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <span>

#include "model/alarmconfig.h"
#include "model/product.h"

struct ConfigStore;

// The channel kinds that keep alarm configurations. They share one alarm
// machinery (alarmcore.h); this table holds everything in which they differ.

enum class AlarmMember { Flow, Digital, Math, Flags, OneWire, Analog };

// One numeric field of the alarm block with the key that carries it.
struct AlarmNumber {
    QLatin1String key; // upload segment (",MAX=") or file key word ("MINIMO(")
    float AlarmConfig::*field;
};

// One action list with the keys that carry it.
struct AlarmActions {
    QLatin1String segment; // upload segment (",ACTHI=")
    QLatin1String fileKey; // file key word ("ACTHI(")
    ActionList AlarmConfig::*field;
};

// A field of an ".ALM" answer after the alarm text, in field order.
enum class AlarmAnswerField {
    Low, High, Hysteresis, Persistence, Rearm, // 32-bit floats
    StartSOD, StopSOD,                          // seconds of day, 0-86400
    Week,                                       // weekday mask, 0-255; 0 reads disabled
    Notification,                               // bits 1 SMS, 2 voice, 4 restore, 8 resend, 16 GPRS
    EnableFlag,                                 // 0-16
};

// How a kind writes and reads its alarm block: the threshold layout (flow
// meters, math channels, 1-Wire probes, analog inputs), the digital layout and
// the flag layout.
struct AlarmLayout {
    // Number segments of an enabled slot's line, after ",INDEX=".
    std::span<const AlarmNumber> segments;
    // Number keys of the file, after "TEXTO(".
    std::span<const AlarmNumber> fileNumbers;
    // ",EQ=" segment and "FLAG(" key.
    bool enableFlag;
    // Action lists in upload and file order.
    std::span<const AlarmActions> actions;
    // Action lists in the order the ".ACT" answer gives them for each action slot.
    std::span<ActionList AlarmConfig::*const> answerActions;
    // ".ALM" fields 5 onwards.
    std::span<const AlarmAnswerField> answerFields;
};

// What a member's alarm editor shows; member editors read it, the core does not.
// `Config1`-`Config3` show only for members with more than one slot (slotCount).
struct AlarmEditorShape {
    QLatin1String name;        // the editor window's name ("Caudal"); empty: no editor
    QLatin1String heading;     // `Titulo` before NumStr(ChannelIndex), trailing blank included
    QLatin1String windowTitle; // empty: the member sets no title of its own
    bool thresholdBoxes;       // `Minimo`, `Maximo`, `Histeresis`
    bool persistBox;           // `Persist`
    bool rearmBox;             // `Rearm`
    bool flagCombo;            // `FlagCombo` with its labels "Habilitar sí" and "= TRUE"
    bool normalButton;         // `BotonNormal`
    QLatin1String persistCaption;
    QLatin1String rearmCaption;
};

// One row of the member table.
struct AlarmMemberRow {
    AlarmMember member;
    QLatin1String fileWord;      // file section word: channel i is fileWord + NumStr(i)
    int records;                 // channel records in ConfigStore
    int channels;                // of them, channels the unit has (not DI8 or the spare meter)
    int slotCount;               // alarm configuration slots per channel (4 or 1)
    QLatin1String answerWord;    // answers answerWord + ".ALM" / ".ACT"
    const AlarmLayout *layout;
    QLatin1String uploadKeyword; // after "+" / "-"; empty: the kind sends no alarm lines
    // Channels uploaded: 0 to this count of the product - 1 (null: every channel).
    qint16 ProductLimits::*uploadCount;
    quint32 requiredFeature;     // capability the unit must report for any line; 0: none
    AlarmEditorShape editor;
    // Channel i's alarm slots.
    std::span<AlarmConfig> (*slotsOf)(ConfigStore &store, int channel);
};

// The caption of alarm slot `slot` ("Configuracion 0"), translated.
QString alarmSlotCaption(int slot);

// The six rows: flow meters, digital inputs, math channels, flags, 1-Wire
// probes and analog inputs.
std::span<const AlarmMemberRow> alarmMembers();
const AlarmMemberRow &alarmMember(AlarmMember member);

// Channel i's alarm slots (the row's `slotCount` of them); none for a channel
// outside the row's `records`, so that every function below ignores it.
std::span<AlarmConfig> alarmSlots(const AlarmMemberRow &row, ConfigStore &store, int channel);
std::span<const AlarmConfig> alarmSlots(const AlarmMemberRow &row, const ConfigStore &store,
                                        int channel);
