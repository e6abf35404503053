#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

#include "model/generalsettings.h"

// The one text form of an authorised phone, shared by the phone list rows of
// the General window and the "TLFM" file values:
//   number,Prio=<p>,PRV<v>,MASKMODE<m>[,<channel name>]...
// for example "+34600111222,Prio=2,PRV1,MASKMODE1,DI3,FG12". Field 1 is the
// number, fields 2 to 4 the items, fields 5 to 20 the mask channels in slot
// order; a missing field reads as empty.

// The entry text of a slot; mask slots without a channel name are left out.
QString phoneEntryText(const AuthorisedPhone &phone);

// Stores an entry text into a slot, as the phone list is stored back:
// Number = field 1; a "Prio=", "PRV" or "MASKMODE" item that is not one of its
// values leaves that field unchanged; mask slot j takes the code of field j+5,
// or stays empty (255) when the field is empty or names no channel.
// An empty text therefore frees the slot and empties its mask.
void storePhoneEntry(const QString &entry, AuthorisedPhone &phone);

// The items of fields 2 to 4: "Prio=0".."Prio=8", "PRV0".."PRV3",
// "MASKMODE0".."MASKMODE2" give their digit; any other text gives nothing.
std::optional<qint16> priorityItem(const QString &field);
std::optional<qint16> privilegeItem(const QString &field);
std::optional<qint16> maskModeItem(const QString &field);

// The channel code of a mask field, or nothing for a text that names no channel.
std::optional<qint16> maskChannelCode(const QString &name);
