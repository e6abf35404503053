#include "configmerge.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <memory>

#include "inidocument.h"
#include "sectioncore.h"
#include "sectionregistry.h"
#include "model/configstore.h"

namespace {

// The file sections a registered section writes, as `written` holds them.
QStringList itemsOf(const QString &section, const IniDocument &written, const SectionRegistry &registry)
{
    for (const QString &name : SectionRegistry::fileOrder()) {
        const SectionCore *core = registry.find(name);
        if (!core || name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        // The file sections the section writes, whatever the model holds.
        QStringList items;
        IniDocument probe;
        core->save(ConfigStore{}, probe);
        for (const QString &item : probe.sectionNames()) {
            if (written.hasSection(item))
                items << item;
        }
        return items;
    }
    return {};
}

} // namespace

bool isChosen(const QList<TakeChoice> &choices, const QString &item, const QString &key)
{
    return std::any_of(choices.cbegin(), choices.cend(), [&](const TakeChoice &choice) {
        return choice.item.compare(item, Qt::CaseInsensitive) == 0
               && (choice.key.isEmpty() || choice.key.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0);
    });
}

QList<TakeChoice> takeChoices(const QStringList &arguments, const IniDocument &written,
                              const SectionRegistry &registry, QStringList &unknown)
{
    QList<TakeChoice> choices;
    for (const QString &argument : arguments) {
        const qsizetype dot = argument.indexOf(u'.');
        const QString section = dot < 0 ? argument : argument.left(dot);
        const QString key = dot < 0 ? QString() : argument.mid(dot + 1);
        QStringList items = itemsOf(section, written, registry);
        if (items.isEmpty() && written.hasSection(section))
            items << section;
        bool found = false;
        for (const QString &item : items) {
            if (key.isEmpty() || written.hasKey(item, key)) {
                choices.append({item, key});
                found = true;
            }
        }
        if (!found)
            unknown << argument;
    }
    return choices;
}

bool takeChoicesFromJson(const QByteArray &json, QList<TakeChoice> &choices)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isArray())
        return false;
    for (const QJsonValue &row : doc.array()) {
        const QJsonObject o = row.toObject();
        if (!o.value(QLatin1String("section")).isString())
            return false;
        const QJsonValue value = o.value(QLatin1String("b"));
        choices.append({o.value(QLatin1String("section")).toString(), o.value(QLatin1String("key")).toString(),
                        value.isString() ? std::optional(value.toString()) : std::nullopt});
    }
    return true;
}

void staleChoices(const QList<TakeChoice> &choices, const IniDocument &written, QStringList &unknown,
                  QStringList &changed)
{
    for (const TakeChoice &choice : choices) {
        // A row without OTHER's value names what only BASE holds: a whole
        // section, or a key of a section both hold.
        const bool section = written.hasSection(choice.item);
        const bool key = choice.key.isEmpty() || written.hasKey(choice.item, choice.key);
        if (!choice.value ? !section && !choice.key.isEmpty() : !section || !key) {
            unknown << (choice.key.isEmpty() ? choice.item : choice.item + u'.' + choice.key.trimmed());
            continue;
        }
        const QString now = written.readValue(choice.item, choice.key);
        if (choice.value && !choice.key.isEmpty() && now.trimmed() != choice.value->trimmed())
            changed << QStringLiteral("[%1] %2=%3 (was %4)").arg(choice.item, choice.key.trimmed(), now, *choice.value);
    }
}

int takeValues(const QList<TakeChoice> &choices, const IniDocument &from, IniDocument &into)
{
    int taken = 0;
    for (const TakeChoice &choice : choices) {
        for (const auto &[key, value] : from.keyValues(choice.item)) {
            if (!choice.key.isEmpty() && key.compare(choice.key, Qt::CaseInsensitive) != 0)
                continue;
            if (!into.hasKey(choice.item, key) || into.readValue(choice.item, key) != value)
                ++taken;
            into.writeValue(choice.item, key, value);
        }
    }
    return taken;
}

TakeReport takeInto(ConfigStore &store, const IniDocument &from, const QList<TakeChoice> &choices,
                    const SectionRegistry &registry)
{
    IniDocument before;
    registry.saveAll(store, before);
    IniDocument into = before;
    TakeReport report;
    const int copied = takeValues(choices, from, into);
    auto merged = std::make_unique<ConfigStore>();
    registry.restoreAll(*merged, into);
    // The keys of a note: its own, and for switches the window cannot show
    // together, the other one set.
    const auto keysOf = [](const RestoreNote &note) {
        return note.kind == RestoreNote::Kind::Conflict ? QStringList{note.key, note.detail} : QStringList{note.key};
    };
    // Only what the take brought: a value the configuration held already is its own.
    for (const RestoreNote &note : restoreNotes(into, *merged, registry)) {
        const QStringList keys = keysOf(note);
        if (std::any_of(keys.cbegin(), keys.cend(), [&](const QString &key) {
                return into.readValue(note.section, key) != before.readValue(note.section, key);
            }))
            report.refused.append(note);
    }
    if (!report.refused.isEmpty()) {
        // A refused value would leave its field at the default: the field keeps what it had.
        for (const RestoreNote &note : report.refused) {
            for (const QString &key : keysOf(note))
                into.writeValue(note.section, key, before.readValue(note.section, key));
        }
        merged = std::make_unique<ConfigStore>();
        registry.restoreAll(*merged, into);
    }
    report.taken = copied - int(report.refused.size());
    store = *merged;
    return report;
}
