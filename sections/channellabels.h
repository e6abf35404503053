#pragma once

#include <QString>

#include "files/inidocument.h"
#include "model/texthelpers.h"

// The name, unit and interface that labelled channel kinds (math channels,
// 1-Wire probes) keep first in their file section, under the same keys.
// A record is anything with `Name`, `Unit` and a 16-bit `Interface`.

template <typename Record>
void saveChannelLabels(const Record &record, const QString &section, IniDocument &doc)
{
    doc.writeValue(section, QStringLiteral("NOMBRE"), record.Name);
    doc.writeValue(section, QStringLiteral("UNIDAD"), record.Unit);
    doc.writeValue(section, QStringLiteral("INTERFAZ"), NumStr(record.Interface));
}

// Texts as they stand; an interface that does not fit keeps the record's.
template <typename Record>
void restoreChannelLabels(Record &record, const QString &section, const IniDocument &doc)
{
    record.Name = doc.readValue(section, QStringLiteral("NOMBRE"));
    record.Unit = doc.readValue(section, QStringLiteral("UNIDAD"));
    if (const auto value = ToInt16(ParseNumber(doc.readValue(section, QStringLiteral("INTERFAZ")))))
        record.Interface = *value;
}
