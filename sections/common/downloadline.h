#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Helpers the section parsers share for the lines of a configuration download
// ("#BD012DIGITAL,3,..."). A line the unit garbled must never crash the tool
// or write outside a table: parsers skip it instead.

// The item number in field 2, counted from 0: present only when the field is
// an integer text naming one of `count` items (0 .. count - 1).
std::optional<int> ItemIndex(const QString &line, int count);
// The same rule for any field, counted from 1 ("DIGITAL.ALM" names its slot in field 3).
std::optional<int> FieldIndex(const QString &line, int field, int count);

// The "always" test of a schedule window as the unit reports it: every day of
// the week (the low 7 bits of Week) and the whole day, from second 0 to at
// least 86399.
bool CheckSiempre(qint32 StartSOD, qint32 StopSOD, quint8 Week);
