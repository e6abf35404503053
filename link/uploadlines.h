#pragma once

#include <QString>
#include <QtGlobal>

class Comms;

// The numbered lines shared by the configuration upload and the voice-list
// write: "#45" + number + line, closed by "#46" + the count, which the unit
// confirms with "#B91".

// Line numbers have at least three digits: "000", "057", "281", "1000".
QString UploadLineNumber(int number);

// How long a line's refusal is awaited: short when the unit acknowledges lines fast.
int LineReplyWait(const Comms &comms, quint32 features);

// Sends comms.TxBuf as line `number`. Silence, or any reply but a refusal,
// counts as acceptance; a late reply is read as the next line's.
bool SendConfigLine(Comms &comms, int number, int replyWait);

// Sends the closing command for `linesSent` lines and reads its answer.
// Replies to the last lines that came after their short wait may still be
// queued ahead of it: acceptances are passed over (at most one per line
// sent), a refusal fails.
bool CloseUpload(Comms &comms, int linesSent);
