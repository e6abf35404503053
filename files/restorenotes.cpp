#include "restorenotes.h"

#include <QtMath>
#include <algorithm>

#include "fieldranges.h"
#include "inidocument.h"
#include "model/texthelpers.h"
#include "sectioncore.h"
#include "sectionregistry.h"

namespace {

// Equal to the precision a float field keeps (seven significant digits).
bool sameNumber(double a, double b)
{
    return a == b || qAbs(a - b) <= 1e-6 * std::max(qAbs(a), qAbs(b));
}

// The items of a comma-separated value, blanks around them and empty ones left out.
QStringList listItems(const QString &text)
{
    QStringList items;
    for (const QString &item : text.split(u','))
        if (!item.trimmed().isEmpty())
            items << item.trimmed();
    return items;
}

// Whether the text reads as a flag: "True" or "False" in any letter case.
bool isFlagText(const QString &text)
{
    return TextBool(text) || text.trimmed().compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
}

// Whether the model holds what the file says, judged by the form it writes.
// (A text that reads "True" or "False" is written as the file holds it, so
// only a flag can differ.)
// A field its box keeps whole (a port, a count) takes only the whole number
// itself: 5020.999 would reach the unit as 5021.
bool taken(const QString &fileText, const QString &written, bool whole)
{
    if (fileText == written)
        return true;
    if (IsDecimalText(written)) {
        if (!IsDecimalText(fileText))
            return false;
        const double value = ParseNumber(fileText);
        return whole ? value == ParseNumber(written) : sameNumber(value, ParseNumber(written));
    }
    if (const std::optional<QTime> time = TimeFromText(written))
        return TimeFromText(fileText) == time;
    // A list of items (a phone entry) keeps each item the file gives, in its
    // place; one out of its range would be dropped or replaced in silence.
    if (written.contains(u',') || fileText.contains(u','))
        return listItems(fileText) == listItems(written);
    // A flag reads "True" or "False" in any letter case; anything else would
    // silently read as "False".
    if (written == QLatin1String("True") || written == QLatin1String("False"))
        return isFlagText(fileText) && TextBool(fileText) == TextBool(written);
    return true;
}

} // namespace

QList<RestoreNote> restoreNotes(const IniDocument &file, const ConfigStore &restored,
                                const SectionRegistry &registry, const QStringList &sections)
{
    QList<RestoreNote> notes;
    for (const QString &name : SectionRegistry::fileOrder()) {
        const SectionCore *core = registry.find(name);
        if (!core || (!sections.isEmpty() && !sections.contains(name)))
            continue;
        IniDocument written;
        core->save(restored, written);
        for (const QString &item : written.sectionNames()) {
            for (const auto &[key, value] : written.keyValues(item)) {
                if (!file.hasKey(item, key))
                    continue;
                const QString fileText = file.readValue(item, key);
                const std::optional<NumberRange> box = fieldRange(name, key);
                if (!taken(fileText, value, box && box->whole)) {
                    notes.append({item, key, fileText, RestoreNote::Kind::NotTaken, {}, name});
                } else if (const std::optional<NumberRange> range = valueOutsideRange(name, written, item, key)) {
                    notes.append({item, key, fileText, RestoreNote::Kind::OutOfRange, rangeText(*range), name});
                } else if (const std::optional<QString> other = shownTogetherConflict(written, item, key)) {
                    notes.append({item, key, fileText, RestoreNote::Kind::Conflict, *other, name});
                }
            }
        }
    }
    return notes;
}
