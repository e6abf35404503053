#include "fieldranges.h"

#include <cmath>

#include "inidocument.h"
#include "model/texthelpers.h"

namespace {

// A number key of the file: the key itself, or the key followed by a slot
// number ("MINIMO( 2)"). An empty section stands for every alarm kind.
struct RangeKey {
    QLatin1String section;
    QLatin1String word;
    NumberRange range;
    // A key of the same file section that enables the box ("True" or a
    // number other than 0); a disabled box is neither red for the operator
    // nor a reason to refuse. Empty: always enabled.
    QLatin1String enabledBy = QLatin1String();
};

const RangeKey kRangeKeys[] = {
    {QLatin1String("General"), QLatin1String("RENVT"), NumberRanges::Count32},
    {QLatin1String("General"), QLatin1String("RENVN"), NumberRanges::Count16},
    {QLatin1String("Caudal"), QLatin1String("TIMEBASE"), NumberRanges::Count16, QLatin1String("INTERFAZ")},
    // Every limit is shown and stored through the ratio: 0 would turn them all into 0.
    {QLatin1String("Caudal"), QLatin1String("RATIO"), NumberRanges::Positive, QLatin1String("INTERFAZ")},
    // The unit takes a cyclic period with decimals, and reports one back.
    {QLatin1String("CTimer"), QLatin1String("PERIOD"), NumberRanges::NonNegative, QLatin1String("HABIL")},
    {QLatin1String("LTimer"), QLatin1String("PERIOD"), NumberRanges::Count16, QLatin1String("HABIL")},
    {QLatin1String("GPRS"), QLatin1String("APN_RETRIES"), NumberRanges::Count16},
    {QLatin1String("GPRS"), QLatin1String("APN_RETIME"), NumberRanges::Count16},
    {QLatin1String("GPRS"), QLatin1String("APN_TIMEOUT"), NumberRanges::Count16},
    {QLatin1String("GPRS"), QLatin1String("SERVER_PORT"), NumberRanges::Port},
    {QLatin1String("GPRS"), QLatin1String("SERVER_TIMEOUT"), NumberRanges::Count16},
    {QLatin1String("GPRS"), QLatin1String("FTP_RETRIES"), NumberRanges::Count16},
    {QLatin1String("GPRS"), QLatin1String("FTP_RETIME"), NumberRanges::Count16},
    // The alarm block's number boxes, in every kind that has them.
    {QLatin1String(""), QLatin1String("MINIMO("), NumberRanges::Float},
    {QLatin1String(""), QLatin1String("MAXIMO("), NumberRanges::Float},
    {QLatin1String(""), QLatin1String("HISTERESIS("), NumberRanges::Float},
    {QLatin1String(""), QLatin1String("PERSISTENCIA("), NumberRanges::Float},
    {QLatin1String(""), QLatin1String("PERSIST("), NumberRanges::Float},
    {QLatin1String(""), QLatin1String("REARM("), NumberRanges::Float},
};

const RangeKey *rangeKey(const QString &section, const QString &key);

bool matches(const RangeKey &entry, const QString &section, const QString &key)
{
    if ((!entry.section.isEmpty() && entry.section != section) || !key.startsWith(entry.word, Qt::CaseInsensitive))
        return false;
    const QStringView rest = QStringView(key).mid(entry.word.size());
    return rest.isEmpty() || entry.word.endsWith(u'(');
}

const RangeKey *rangeKey(const QString &section, const QString &key)
{
    for (const RangeKey &entry : kRangeKeys) {
        if (matches(entry, section, key))
            return &entry;
    }
    return nullptr;
}

} // namespace

std::optional<NumberRange> fieldRange(const QString &section, const QString &key)
{
    const RangeKey *entry = rangeKey(section, key);
    return entry ? std::optional(entry->range) : std::nullopt;
}

std::optional<NumberRange> valueOutsideRange(const QString &section, const IniDocument &written, const QString &item,
                                             const QString &key)
{
    const RangeKey *entry = rangeKey(section, key);
    if (!entry)
        return std::nullopt;
    if (!entry->enabledBy.isEmpty()) {
        const QString on = written.readValue(item, entry->enabledBy).trimmed();
        if (on != QLatin1String("True") && (!IsDecimalText(on) || ParseNumber(on) == 0))
            return std::nullopt;
    }
    if (inRange(ParseNumber(written.readValue(item, key)), entry->range))
        return std::nullopt;
    return entry->range;
}

bool inRange(double value, const NumberRange &range)
{
    if (range.whole && value != std::floor(value))
        return false;
    const bool below = range.aboveMin ? !(value > range.min) : !(value >= range.min);
    return !below && value <= range.max;
}

QString rangeText(const NumberRange &range)
{
    if (range.aboveMin)
        return QStringLiteral("> ") + NumberText(range.min);
    return NumberText(range.min) + QStringLiteral(" - ") + NumberText(range.max);
}
