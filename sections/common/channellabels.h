#pragma once

#include <QString>
#include <optional>
#include <type_traits>

#include "files/inidocument.h"
#include "model/texthelpers.h"
#include "sections/common/uploadline.h"

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

// The unit's side of a labelled channel's upload line: "<offWord><i>" turns
// record i off; "<onWord><i>=<name>,UNIT=<unit>,..." sets its name and unit,
// and readKind(record, fields) takes the kind's own fields and turns it on.
// Records 0 to count - 1 take lines; a line that does not read changes nothing.
template <typename Records, typename ReadKind>
bool applyChannelLabelLine(Records &records, int count, const QString &line, const QString &onWord,
                           const QString &offWord, ReadKind &&readKind)
{
    using Record = std::decay_t<decltype(records[0])>;
    if (const std::optional<UploadHead> off = ReadUploadHead(line, offWord, count, QChar())) {
        records[off->index].Interface = Record::kDisabled;
        return true;
    }
    const std::optional<UploadHead> on = ReadUploadHead(line, onWord, count, QLatin1Char('='));
    if (!on)
        return false;
    UploadFields fields(on->rest);
    Record record = records[on->index];
    record.Name = *fields.takeFirst();
    const std::optional<QString> unit = fields.take(u"UNIT=");
    if (!unit || !readKind(record, fields) || !fields.empty())
        return false;
    record.Unit = *unit;
    records[on->index] = record;
    return true;
}
