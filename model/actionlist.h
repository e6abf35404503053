#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <optional>

// Eight action codes in slot order; 0 marks an empty slot. Only codes above 0
// go to the unit, in slot order; the unit reports all eight.
using ActionList = std::array<qint16, 8>;

// The codes of an upload line's action key: NumStr of each code above 0, in
// slot order (" 5 17"); empty for a list without codes, leaving the key bare.
QString ActionListText(const ActionList &list);
// Reads ActionListText's form back into slots 0 onwards, the others 0: at
// most eight whole numbers above 0, separated by blanks. No value for any
// other text.
std::optional<ActionList> ActionListFromText(QStringView text);
