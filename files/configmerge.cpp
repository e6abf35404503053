#include "configmerge.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
        choices.append({o.value(QLatin1String("section")).toString(), o.value(QLatin1String("key")).toString()});
    }
    return true;
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
    report.refused = restoreNotes(into, *merged, registry);
    if (!report.refused.isEmpty()) {
        // A refused value would leave its field at the default: the field keeps what it had.
        for (const RestoreNote &note : report.refused)
            into.writeValue(note.section, note.key, before.readValue(note.section, note.key));
        merged = std::make_unique<ConfigStore>();
        registry.restoreAll(*merged, into);
    }
    report.taken = copied - int(report.refused.size());
    store = *merged;
    return report;
}
