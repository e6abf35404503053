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

// Whether the model holds what the file says, judged by the form it writes.
bool taken(const QString &fileText, const QString &written)
{
    if (fileText == written)
        return true;
    if (IsDecimalText(written))
        return IsDecimalText(fileText) && sameNumber(ParseNumber(fileText), ParseNumber(written));
    if (const std::optional<QTime> time = TimeFromText(written))
        return TimeFromText(fileText) == time;
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
                const QString fileText = file.readValue(item, key);
                if (fileText.trimmed().isEmpty())
                    continue;
                if (!taken(fileText, value)) {
                    notes.append({item, key, fileText});
                } else if (const std::optional<NumberRange> range = valueOutsideRange(name, written, item, key)) {
                    notes.append({item, key, fileText, rangeText(*range)});
                }
            }
        }
    }
    return notes;
}
