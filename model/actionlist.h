#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// Eight action codes in slot order; 0 marks an empty slot. Only codes above 0
// go to the unit, in slot order; the unit reports all eight.
using ActionList = std::array<qint16, 8>;

// The codes of an upload line's action key: NumStr of each code above 0, in
// slot order (" 5 17"); empty for a list without codes, leaving the key bare.
QString ActionListText(const ActionList &list);
