#include "historyfleet.h"

#include <QDir>
#include <QHash>

#include "inidocument.h"
#include "servicehistory.h"

namespace {

QString technicianOf(const QHash<QString, CopyCommit> &copies, const QString &relative)
{
    const auto found = copies.find(relative);
    return found == copies.end() ? QString() : found->author.name;
}

QString writeOutcome(HistoryKind kind)
{
    switch (kind) {
    case HistoryKind::VerifiedWrite:
        return QStringLiteral("verified");
    case HistoryKind::DifferingWrite:
        return QStringLiteral("differs");
    case HistoryKind::Write:
        return QStringLiteral("not checked");
    case HistoryKind::Read:
        break;
    }
    return {};
}

} // namespace

QList<FleetUnit> fleetUnits(const ServiceHistory &history)
{
    const QHash<QString, CopyCommit> copies = history.repository().copies();
    const QDir root(history.root());
    QList<FleetUnit> units;
    for (const QString &folder : history.units()) {
        const QList<HistoryEntry> entries = history.entries(folder);
        if (entries.isEmpty())
            continue;
        FleetUnit unit;
        unit.serial = folder;
        const HistoryEntry &last = entries.first();
        const QString lastRelative = root.relativeFilePath(last.path);
        unit.lastOperation = ServiceHistory::kindWord(last.kind);
        unit.lastTime = last.time;
        unit.technician = technicianOf(copies, lastRelative);
        for (const HistoryEntry &e : entries) {
            const auto copy = copies.find(root.relativeFilePath(e.path));
            const QString firmware = copy == copies.end() ? QString() : copy->trailers.value(QStringLiteral("Firmware"));
            if (!firmware.isEmpty() && firmware != QLatin1String("unknown")) {
                unit.firmware = firmware;
                break;
            }
        }
        for (const HistoryEntry &e : entries) {
            if (e.kind != HistoryKind::Read) {
                unit.lastWrite = writeOutcome(e.kind);
                break;
            }
        }
        const auto copy = copies.find(lastRelative);
        if (copy != copies.end())
            unit.name = copy->trailers.value(QStringLiteral("Unit-Name"));
        if (copy == copies.end()) {
            IniDocument doc;
            if (doc.load(last.path))
                unit.name = doc.readValue(QStringLiteral("GENERAL"), QStringLiteral("NOMBRE"));
        }
        units.append(unit);
    }
    return units;
}

KeyChange lastChange(const ServiceHistory &history, const QString &serial, const QString &section,
                     const QString &key)
{
    KeyChange change;
    QList<HistoryEntry> entries = history.entries(serial); // newest first
    const QHash<QString, CopyCommit> copies = history.repository().copies();
    const QDir root(history.root());
    for (const HistoryEntry &e : entries) {
        if (e.kind == HistoryKind::DifferingWrite)
            continue;
        IniDocument doc;
        if (!doc.load(e.path) || !doc.hasKey(section, key))
            continue;
        const QString value = doc.readValue(section, key);
        if (change.known && value != change.value)
            break; // an older value: the change is the copy after it
        change.known = true;
        change.value = value;
        change.time = e.time;
        change.operation = ServiceHistory::kindWord(e.kind);
        change.path = e.path;
        change.technician = technicianOf(copies, root.relativeFilePath(e.path));
    }
    return change;
}
