#include "keychangetips.h"

#include <memory>

#include "files/historyfleet.h"
#include "files/langtable.h"
#include "files/servicehistory.h"
#include "shell/differencewindow.h"

namespace {

QString changeText(const KeyChange &change)
{
    if (!change.known)
        return {};
    QString who = change.technician.isEmpty() ? Translate(QStringLiteral("tecnico desconocido")) : change.technician;
    return Translate(QStringLiteral("Ultimo cambio en la unidad: %1, %2 (%3)"))
        .arg(change.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), who,
             historyKindText(change.operation));
}

} // namespace

QString historyKindText(HistoryKind kind)
{
    switch (kind) {
    case HistoryKind::Read:
        return Translate(QStringLiteral("Lectura"));
    case HistoryKind::Write:
        break;
    case HistoryKind::VerifiedWrite:
        return Translate(QStringLiteral("Escritura verificada"));
    case HistoryKind::DifferingWrite:
        return Translate(QStringLiteral("Escritura con diferencias"));
    }
    return Translate(QStringLiteral("Escritura"));
}

QString historyKindText(const QString &word)
{
    for (HistoryKind kind : {HistoryKind::Read, HistoryKind::Write, HistoryKind::VerifiedWrite,
                             HistoryKind::DifferingWrite})
        if (ServiceHistory::kindWord(kind) == word)
            return historyKindText(kind);
    return word;
}

void showKeyChanges(DifferenceWindow &window, const ServiceHistory &history, const QString &serial)
{
    // Each copy of the unit is read once for every key the rows name; a key
    // a refill brings is looked up with the others of its rows.
    auto known = std::make_shared<QHash<FileKey, KeyChange>>();
    const auto lookUp = [&history, serial, known](const QList<ConfigDifference> &rows) {
        QList<FileKey> missing;
        for (const ConfigDifference &d : rows) {
            const FileKey key{d.item, d.key};
            if (!d.key.isEmpty() && !known->contains(key) && !missing.contains(key))
                missing << key;
        }
        if (missing.isEmpty())
            return;
        const QHash<FileKey, KeyChange> found = lastChanges(history, serial, missing);
        for (const FileKey &key : missing)
            known->insert(key, found.value(key));
    };
    lookUp(window.differences());
    window.noteValues([&window, known, lookUp](const ConfigDifference &d) {
        if (d.key.isEmpty())
            return QString();
        const FileKey key{d.item, d.key};
        if (!known->contains(key))
            lookUp(window.differences());
        return changeText(known->value(key));
    });
}
