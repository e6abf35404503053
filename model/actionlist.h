#pragma once

#include <QtGlobal>

#include <array>

// Eight action codes in slot order; 0 marks an empty slot. Only codes above 0
// go to the unit, in slot order; the unit reports all eight.
using ActionList = std::array<qint16, 8>;
