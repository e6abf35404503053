#include "comparecommands.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

#include "commandsupport.h"
#include "files/configfile.h"
#include "files/configmerge.h"
#include "files/inidocument.h"

namespace {

QJsonValue jsonSide(const ConfigDifference &d, ConfigDifference::Side absent, const QString &value)
{
    return d.side == absent ? QJsonValue() : QJsonValue(value);
}

// A value of BASE that was not taken, and not replaced by the take, or one of
// OTHER that was not taken and is chosen, would be written to OUT as the
// default kept in its place: nothing is written, as write-config sends nothing.
bool mergeable(const QList<RestoreNote> &baseNotes, const QList<RestoreNote> &otherNotes,
               const QList<TakeChoice> &choices)
{
    int unreadable = 0;
    for (const RestoreNote &n : baseNotes)
        unreadable += n.kind == RestoreNote::Kind::NotTaken && !isChosen(choices, n.section, n.key);
    for (const RestoreNote &n : otherNotes)
        unreadable += n.kind == RestoreNote::Kind::NotTaken && isChosen(choices, n.section, n.key);
    if (unreadable > 0)
        printError(QStringLiteral("Nothing was written: %1 values the merge would keep cannot be read as the files "
                                  "hold them (see the warnings).")
                       .arg(unreadable));
    return unreadable == 0;
}

} // namespace

int diff(CliSession &s, const CommandArgs &a)
{
    using Side = ConfigDifference::Side;
    auto left = std::make_unique<ConfigStore>();
    auto right = std::make_unique<ConfigStore>();
    if (!restoreChecked(a.positional.at(0), *left, s.sections(), a)
        || !restoreChecked(a.positional.at(1), *right, s.sections(), a))
        return ExitFileError;
    const QList<ConfigDifference> differences = compareConfigurations(*left, *right, s.sections());
    if (a.json) {
        QJsonArray rows;
        for (const ConfigDifference &d : differences)
            rows.append(QJsonObject{{"section", d.item}, {"registered_section", d.section}, {"key", d.key},
                                    {"a", jsonSide(d, Side::RightOnly, d.left)},
                                    {"b", jsonSide(d, Side::LeftOnly, d.right)}});
        out() << QJsonDocument(rows).toJson(QJsonDocument::Compact) << Qt::endl;
    } else {
        for (const ConfigDifference &d : differences)
            out() << QStringList{d.item, d.key, tabField(d, Side::RightOnly, d.left),
                                 tabField(d, Side::LeftOnly, d.right)}
                         .join(u'\t')
                  << Qt::endl;
    }
    return differences.isEmpty() ? ExitOk : ExitDiffer;
}

// BASE with the chosen sections or keys of OTHER, both as this program reads
// them, written to OUT through the restore rules: a value they refuse is
// warned of and BASE keeps its own.
int merge(CliSession &s, const CommandArgs &a)
{
    const SectionRegistry &sections = s.sections();
    auto base = std::make_unique<ConfigStore>();
    auto other = std::make_unique<ConfigStore>();
    QString baseSource, otherSource;
    QList<RestoreNote> baseNotes, otherNotes;
    if (!restoreChecked(a.positional.at(0), *base, sections, a, &baseSource, &baseNotes)
        || !restoreChecked(a.positional.at(1), *other, sections, a, &otherSource, &otherNotes))
        return ExitFileError;
    IniDocument from;
    sections.saveAll(*other, from);

    QList<TakeChoice> choices;
    QStringList unknown, changed;
    if (!a.takeJson.isEmpty()) {
        QFile json(a.takeJson);
        if (!json.open(QIODevice::ReadOnly) || !takeChoicesFromJson(json.readAll(), choices)) {
            printError(QStringLiteral("Cannot use %1: it is no output of diff --json.").arg(a.takeJson));
            return ExitFileError;
        }
        staleChoices(choices, from, unknown, changed);
    }
    choices += takeChoices(a.takes, from, sections, unknown);
    if (!changed.isEmpty()) {
        printError(QStringLiteral("Nothing was written: %1 holds otherwise what %2 chose: %3")
                       .arg(a.positional.at(1), a.takeJson, changed.join(QStringLiteral("; "))));
        return ExitFileError;
    }
    if (!unknown.isEmpty()) {
        printError(QStringLiteral("%1 holds no %2.").arg(a.positional.at(1), unknown.join(QStringLiteral(", "))));
        return ExitUsage;
    }
    if (!mergeable(baseNotes, otherNotes, choices))
        return ExitFileError;
    const TakeReport report = takeInto(*base, from, choices, sections);
    for (const RestoreNote &n : report.refused)
        printError(QStringLiteral("warning: [%1] %2=%3 was not taken (empty, no number, out of range, or not shown "
                                  "with another value); %4 keeps its value")
                       .arg(n.section, n.key.trimmed(), n.text, a.positional.at(0)));
    if (!report.refused.isEmpty() && a.strict)
        return ExitFileError;
    // OUT is BASE with some values of OTHER, so it carries BASE's unit, as a
    // save would; OTHER's only when BASE records none and OUT took from it.
    // A unit known only by a history folder counts as recorded.
    const auto sourceOf = [&s](const QString &recorded, const QString &path) {
        return normalSerial(recorded).isEmpty() ? s.history().unitOf(path) : recorded;
    };
    SaveTarget target;
    target.sourceSerial = sourceOf(baseSource, a.positional.at(0));
    if (normalSerial(*target.sourceSerial).isEmpty() && report.taken > 0)
        target.sourceSerial = sourceOf(otherSource, a.positional.at(1));
    FileFailure failure;
    if (!saveConfigFile(a.output, *base, sections, &failure, target)) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    printError(QStringLiteral("%1 values taken from %2.").arg(report.taken).arg(a.positional.at(1)));
    return ExitOk;
}

QString mergeOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args)
{
    if (command.is("merge") != (settings.output && (!settings.takes.isEmpty() || settings.takeJson)))
        return QStringLiteral("--take or --take-json, and -o, belong to merge, which needs them.");
    args.takes = settings.takes;
    args.takeJson = settings.takeJson.value_or(QString());
    args.output = settings.output.value_or(QString());
    return {};
}
