#pragma once

#include <QtGlobal>

#include "configtransfer.h"

class Comms;
struct VoiceAuthList;

// The voice-call list's own exchanges with the unit. Each holds the link for
// its whole run, makes up to three attempts, each from its first command, and
// reports progress to the caller.

// "#41CLRTEL" empties the unit's list; one numbered "+TEL=" line follows for
// each non-empty number of 0 .. Count - 1, closed by "#46"; the unit's CRC of
// the list ("#4E") must match; then the macro is set. `features` are the
// unit's flags (the fast line acknowledgement shortens the line waits).
// Progress runs to Count.
bool WriteAutVoz(Comms &comms, const VoiceAuthList &list, quint32 features,
                 const TransferProgress &progress = {});

// "#4F": the unit's numbers and macro, checked against its CRC ("#4E"). Only a
// complete, matching read replaces the numbers, Count, CallMacro and ListCrc;
// SendAck, which the unit does not hold, is kept. Progress runs to 250.
bool ReadAutVozList(Comms &comms, VoiceAuthList &list, const TransferProgress &progress = {});
