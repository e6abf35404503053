#include "configcompare.h"

#include <QHash>
#include <QSet>

#include "inidocument.h"
#include "sectioncore.h"
#include "sectionregistry.h"

namespace {

using KeyValues = QList<std::pair<QString, QString>>;

// Names compare without regard to case, as the file reads them.
QString folded(const QString &name)
{
    return name.toCaseFolded();
}

QHash<QString, int> positions(const QStringList &names)
{
    QHash<QString, int> index;
    for (int i = 0; i < names.size(); ++i)
        index.insert(folded(names[i]), i);
    return index;
}

QHash<QString, QString> valuesByKey(const KeyValues &pairs)
{
    QHash<QString, QString> values;
    for (const auto &[key, value] : pairs)
        values.insert(folded(key), value);
    return values;
}

void compareItem(const QString &section, const QString &item, KeyValues left, KeyValues right,
                 QList<ConfigDifference> &out)
{
    using Side = ConfigDifference::Side;
    // Both sides were written by the same sections, so their keys nearly always
    // come in the same order: walk them side by side while they do.
    qsizetype same = 0;
    for (; same < left.size() && same < right.size(); ++same) {
        const auto &[key, value] = left[same];
        if (key.compare(right[same].first, Qt::CaseInsensitive) != 0)
            break;
        if (value != right[same].second)
            out.append({section, item, key, value, right[same].second, Side::Both});
    }
    left.remove(0, same);
    right.remove(0, same);
    if (left.isEmpty() && right.isEmpty())
        return;
    const QHash<QString, QString> rightValues = valuesByKey(right);
    QSet<QString> seen;
    for (const auto &[key, value] : left) {
        const QString name = folded(key);
        seen.insert(name);
        const auto other = rightValues.constFind(name);
        if (other == rightValues.cend())
            out.append({section, item, key, value, {}, Side::LeftOnly});
        else if (*other != value)
            out.append({section, item, key, value, *other, Side::Both});
    }
    for (const auto &[key, value] : right) {
        if (!seen.contains(folded(key)))
            out.append({section, item, key, {}, value, Side::RightOnly});
    }
}

ConfigDifference wholeItem(const QString &section, const QString &item, const IniDocument &doc,
                           ConfigDifference::Side side)
{
    const qsizetype keys = doc.keyValues(item).size();
    const QString count = keys == 1 ? QStringLiteral("1 key") : QStringLiteral("%1 keys").arg(keys);
    const bool left = side == ConfigDifference::Side::LeftOnly;
    return {section, item, {}, left ? count : QString(), left ? QString() : count, side};
}

} // namespace

void compareDocuments(const QString &section, const IniDocument &left, const IniDocument &right,
                      QList<ConfigDifference> &out)
{
    using Side = ConfigDifference::Side;
    const QStringList leftItems = left.sectionNames();
    const QStringList rightItems = right.sectionNames();
    const QHash<QString, int> rightIndex = positions(rightItems);
    const QHash<QString, int> leftIndex = positions(leftItems);
    for (const QString &item : leftItems) {
        if (rightIndex.contains(folded(item)))
            compareItem(section, item, left.keyValues(item), right.keyValues(item), out);
        else
            out.append(wholeItem(section, item, left, Side::LeftOnly));
    }
    for (const QString &item : rightItems) {
        if (!leftIndex.contains(folded(item)))
            out.append(wholeItem(section, item, right, Side::RightOnly));
    }
}

QList<ConfigDifference> compareConfigurations(const ConfigStore &left, const ConfigStore &right,
                                              const SectionRegistry &registry)
{
    QList<ConfigDifference> out;
    for (const QString &name : SectionRegistry::fileOrder()) {
        const SectionCore *core = registry.find(name);
        if (!core)
            continue;
        IniDocument leftDoc;
        IniDocument rightDoc;
        core->save(left, leftDoc);
        core->save(right, rightDoc);
        compareDocuments(name, leftDoc, rightDoc, out);
    }
    return out;
}
