#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "alarmmembers.h"
#include "files/sectioncore.h"

class IniDocument;

// The alarm machinery every alarm-capable kind shares, driven by its row of
// the member table. A kind's section core calls these around its own kind
// fields; nothing here is registered on its own.

// The notification of an alarm slot as the operator chooses it: one of four.
enum class AlarmNotification { None, Sms, SmsAndVoice, Gprs };
// The choice a slot's three switches stand for: the last one set of SMS,
// SMS and voice, GPRS; none when none is set.
AlarmNotification notificationOf(const AlarmConfig &slot);
// Sets the three switches for a choice as a unit reports it back: every
// notification but none carries the SMS switch beside the call or GPRS one
// (SMS and voice is SMS=True, VOZ=True). The editors write this form too, so
// a file saved from them holds what a download of the same unit holds.
void setNotification(AlarmConfig &slot, AlarmNotification choice);

// Every alarm slot of every channel back to its defaults, action lists included.
void clearAlarms(const AlarmMemberRow &row, ConfigStore &store);

// ---- Configuration file ----
// The file section of channel i (fileWord + NumStr(i), "CAUDAL 0"); it also
// holds the kind's own keys, written before the alarm keys.
QString alarmFileSection(const AlarmMemberRow &row, int channel);
// Every key of every slot of one channel, enabled or not, slot after slot.
void saveAlarmKeys(const AlarmMemberRow &row, const ConfigStore &store, int channel,
                   IniDocument &doc);
// Reads the same keys back. A missing key reads as "" (false, 0); a value that
// does not convert (a time that cannot be read, a number out of range) keeps
// what the field held. The caller clears first.
void restoreAlarmKeys(const AlarmMemberRow &row, ConfigStore &store, int channel,
                      const IniDocument &doc);

// How the alarm editor names a key of channel `item`'s file section and
// shows its value in `side`: the record by the editor's heading, the field
// by its caption (the slot's caption first when the kind has several); a key
// outside the alarm block keeps its name. `number`, when given, receives the
// numeric alarm field the key carries (Low, High...), so that a kind can
// show it in its own units. None when `item` is no channel of the kind.
std::optional<FieldTerm> alarmFieldTerm(const AlarmMemberRow &row, const IniDocument &side, const QString &item,
                                        const QString &key, float AlarmConfig::**number = nullptr);

// ---- Upload ----
// How many channels send alarm lines (channels 0 to this - 1): none for a kind
// without lines or when the unit lacks the kind's capability.
int uploadedAlarmChannels(const AlarmMemberRow &row, const UploadContext &context);
// One channel's alarm lines, one per slot in slot order ("+ALMFLOW2=...",
// "-ALMFLOW2,INDEX= 1"); none when the channel is not uploaded.
QStringList alarmUploadLines(const AlarmMemberRow &row, const ConfigStore &store, int channel,
                             const UploadContext &context);
// The unit's side: one of those lines into the slot it names, as a unit with
// these capability flags holds it (an enabled slot whose window has no day
// is held disabled, a whole-day window on every day as "always"). False, the
// store unchanged, when the line is not one of the kind's or cannot be read.
bool applyAlarmUploadLine(const AlarmMemberRow &row, ConfigStore &store, const QString &line,
                          quint32 features);

// ---- Download ----
// The kind's answer keywords: answerWord + ".ALM" and + ".ACT".
QStringList alarmKeywords(const AlarmMemberRow &row);
// Stores one ".ALM" or ".ACT" answer (line: the whole answer, field 1 the key).
// An answer naming no channel or slot of the kind, or with a value that does
// not fit its field, is skipped whole. False when the keyword is not one of
// the kind's alarm answers.
bool parseAlarmLine(const AlarmMemberRow &row, ConfigStore &store, const QString &keyword,
                    const QString &line);
// The unit's side: the ".ALM" and ".ACT" answers (keyword and fields) a unit
// holding this channel's configuration sends, slot after slot.
QStringList alarmDownloadLines(const AlarmMemberRow &row, const ConfigStore &store, int channel);
